// 'msvc': Microsoft Video 1. The picture is cut into 4 x 4 blocks, coded from the bottom block row up
// and left to right; pixels inside a block go bottom row first, left to right, one flag bit each
// (lowest bit first). Each block starts with a 16-bit little-endian code word:
// - 0x84xx..0x87xx: skip (code - 0x8400) blocks (they keep the previous frame);
// - below 0x8000: two colours follow; a set flag bit picks the first. In 16-bit frames a first colour
//   with its top bit set means eight colours instead: a pair for each 2 x 2 quadrant;
// - 8-bit frames: 0x9000 and above: eight colours follow (one byte each), as above;
// - anything else: the whole block has one colour (8-bit: the low byte; 16-bit: the word itself).
// Colours are 5-5-5 words in 16-bit frames and palette indexes in 8-bit frames.
//
// The encoder writes key frames only. Quality (0..10000) sets how far a block may stray from the
// picture before it gets more colours.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/vfw/codecs_builtin.h"
#include "platform/vfw/dib_convert.h"

namespace kivic::vfw {

namespace {

constexpr FOURCC kCram = mmioFOURCC('C', 'R', 'A', 'M');

struct Rgb {
    int b = 0, g = 0, r = 0;
};

int Distance(const Rgb& a, const Rgb& b) {
    const int db = a.b - b.b, dg = a.g - b.g, dr = a.r - b.r;
    return db * db + dg * dg + dr * dr;
}

int Expand5(int v) {
    return (v << 3) | (v >> 2);
}

std::uint16_t To555(const Rgb& c) {
    // The nearest 5-bit level of the widening that the decoder applies.
    auto q = [](int v) { return std::clamp((v * 31 + 127) / 255, 0, 31); };
    return static_cast<std::uint16_t>((q(c.r) << 10) | (q(c.g) << 5) | q(c.b));
}

Rgb From555(std::uint16_t v) {
    return {Expand5(v & 0x1F), Expand5((v >> 5) & 0x1F), Expand5((v >> 10) & 0x1F)};
}

bool IsMsvc(FOURCC c) {
    return ICFourccEqual(c, kCram) || ICFourccEqual(c, mmioFOURCC('M', 'S', 'V', 'C')) ||
           ICFourccEqual(c, mmioFOURCC('W', 'H', 'A', 'M'));
}

// A block's pixels as colours (and, for 8-bit frames, the palette indexes they came from).
struct Block {
    std::array<Rgb, 16> px;
    std::array<int, 16> index{};
};

// Splits the pixels in `members` into two clusters; returns the error and sets the flag bits (set:
// first colour) and the two colours.
int TwoMeans(const Block& block, const int* members, int count, std::uint32_t& bits, Rgb& a, Rgb& b,
             const std::vector<Rgb>* palette, int& ia, int& ib) {
    // Seeds: the darkest and the brightest pixel.
    auto luma = [&](int i) { return block.px[i].r * 3 + block.px[i].g * 6 + block.px[i].b; };
    int lo = members[0], hi = members[0];
    for (int k = 1; k < count; ++k) {
        if (luma(members[k]) < luma(lo))
            lo = members[k];
        if (luma(members[k]) > luma(hi))
            hi = members[k];
    }
    a = block.px[hi];
    b = block.px[lo];
    for (int round = 0; round < 3; ++round) {
        Rgb sa, sb;
        int na = 0, nb = 0;
        for (int k = 0; k < count; ++k) {
            const Rgb& p = block.px[members[k]];
            Rgb& s = Distance(p, a) <= Distance(p, b) ? (++na, sa) : (++nb, sb);
            s.b += p.b;
            s.g += p.g;
            s.r += p.r;
        }
        if (na)
            a = {(sa.b + na / 2) / na, (sa.g + na / 2) / na, (sa.r + na / 2) / na};
        if (nb)
            b = {(sb.b + nb / 2) / nb, (sb.g + nb / 2) / nb, (sb.r + nb / 2) / nb};
    }
    // What the decoder will show: 5-5-5 colours, or the nearest palette colour among the block's own.
    if (palette) {
        auto nearest = [&](const Rgb& c) {
            int best = block.index[members[0]];
            for (int k = 1; k < count; ++k)
                if (Distance((*palette)[block.index[members[k]]], c) < Distance((*palette)[best], c))
                    best = block.index[members[k]];
            return best;
        };
        ia = nearest(a);
        ib = nearest(b);
        a = (*palette)[ia];
        b = (*palette)[ib];
    } else {
        a = From555(To555(a));
        b = From555(To555(b));
    }
    int error = 0;
    bits = 0;
    for (int k = 0; k < count; ++k) {
        const Rgb& p = block.px[members[k]];
        const int da = Distance(p, a), db = Distance(p, b);
        if (da <= db) {
            bits |= 1u << members[k];
            error += da;
        } else {
            error += db;
        }
    }
    return error;
}

class MsvcCodec : public VideoCodec {
public:
    // --- Compression -------------------------------------------------------------------------------
    LRESULT CompressQuery(const BITMAPINFO* in, const BITMAPINFO* out) override {
        const BITMAPINFOHEADER& h = in->bmiHeader;
        if (h.biCompression != BI_RGB || (h.biBitCount != 24 && h.biBitCount != 8) || h.biWidth <= 0 ||
            h.biHeight == 0 || h.biWidth % 4 != 0 || ICFrameRows(&h) % 4 != 0 || h.biWidth > 65535 ||
            ICFrameRows(&h) > 65535)
            return ICERR_BADFORMAT;
        if (out && (!IsMsvc(out->bmiHeader.biCompression) || out->bmiHeader.biWidth != h.biWidth))
            return ICERR_BADFORMAT;
        return ICERR_OK;
    }
    LRESULT CompressGetFormat(const BITMAPINFO* in, BITMAPINFO* out) override {
        if (CompressQuery(in, nullptr) != ICERR_OK)
            return ICERR_BADFORMAT;
        const BITMAPINFOHEADER& h = in->bmiHeader;
        const DWORD colours = h.biBitCount == 8 ? std::min<DWORD>(DibColorCount(&h), 256) : 0;
        const LRESULT size = static_cast<LRESULT>(sizeof(BITMAPINFOHEADER) + 4 * colours);
        if (!out)
            return size;
        BITMAPINFOHEADER o{};
        o.biSize = sizeof o;
        o.biWidth = h.biWidth;
        o.biHeight = static_cast<LONG>(ICFrameRows(&h));
        o.biPlanes = 1;
        o.biBitCount = h.biBitCount == 8 ? 8 : 16;
        o.biCompression = kCram;
        o.biSizeImage = static_cast<DWORD>(CompressGetSize(in, nullptr));
        o.biClrUsed = colours;
        out->bmiHeader = o;
        if (colours)
            std::memcpy(out->bmiColors, reinterpret_cast<const BYTE*>(in) + h.biSize, 4 * colours);
        return size;
    }
    LRESULT CompressGetSize(const BITMAPINFO* in, const BITMAPINFO*) override {
        const BITMAPINFOHEADER& h = in->bmiHeader;
        const std::uint64_t blocks = static_cast<std::uint64_t>(h.biWidth / 4) * (ICFrameRows(&h) / 4);
        return static_cast<LRESULT>(blocks * (h.biBitCount == 8 ? 10 : 18) + 2);
    }
    LRESULT Compress(const BITMAPINFO* in, const void* inBits, BITMAPINFO* out, void* outBits, DWORD quality,
                     DWORD* flags) override {
        if (CompressQuery(in, nullptr) != ICERR_OK)
            return ICERR_BADFORMAT;
        const BITMAPINFOHEADER& h = in->bmiHeader;
        if (out->bmiHeader.biSizeImage < static_cast<DWORD>(CompressGetSize(in, nullptr)))
            return ICERR_BADSIZE;
        if (quality > 10000)
            quality = 7500;
        // Allowed squared error per pixel (8-bit units): none at 10000, an RMS of 24 at 0.
        const int rms = static_cast<int>((10000 - quality) * 24 / 10000);
        const int budget = rms * rms * 3 * 16;
        const bool eight = h.biBitCount == 8;
        std::vector<Rgb> palette;
        if (eight) {
            const DWORD colours = std::min<DWORD>(DibColorCount(&h), 256);
            palette.resize(256);
            const BYTE* table = reinterpret_cast<const BYTE*>(in) + h.biSize;
            for (DWORD i = 0; i < colours; ++i)
                palette[i] = {table[4 * i], table[4 * i + 1], table[4 * i + 2]};
        }
        const std::size_t stride = h.biBitCount == 24 ? ICInputRowStride(&h) : DibRowBytes(h.biWidth, 8);
        const DWORD rows = ICFrameRows(&h);
        const BYTE* src = static_cast<const BYTE*>(inBits);
        BYTE* dst = static_cast<BYTE*>(outBits);
        BYTE* p = dst;
        for (DWORD by = 0; by < rows / 4; ++by)
            for (LONG bx = 0; bx < h.biWidth / 4; ++bx) {
                Block block;
                for (int y = 0; y < 4; ++y) {
                    const DWORD row = by * 4 + y;
                    const BYTE* line = src + stride * (h.biHeight < 0 ? rows - 1 - row : row);
                    for (int x = 0; x < 4; ++x) {
                        const std::size_t col = static_cast<std::size_t>(bx) * 4 + x;
                        if (eight) {
                            block.index[y * 4 + x] = line[col];
                            block.px[y * 4 + x] = palette[line[col]];
                        } else {
                            block.px[y * 4 + x] = {line[3 * col], line[3 * col + 1], line[3 * col + 2]};
                        }
                    }
                }
                p = eight ? EncodeBlock8(block, palette, budget, p) : EncodeBlock16(block, budget, p);
            }
        out->bmiHeader.biSizeImage = static_cast<DWORD>(p - dst);
        if (flags)
            *flags = AVIIF_KEYFRAME;
        return ICERR_OK;
    }

    // --- Decompression -----------------------------------------------------------------------------
    LRESULT DecompressQuery(const BITMAPINFO* in, const BITMAPINFO* out) override {
        const BITMAPINFOHEADER& h = in->bmiHeader;
        if (!IsMsvc(h.biCompression) || (h.biBitCount != 8 && h.biBitCount != 16) || h.biWidth <= 0 ||
            h.biHeight == 0 || h.biWidth > 65535 || ICFrameRows(&h) > 65535)
            return ICERR_BADFORMAT;
        if (out && (out->bmiHeader.biCompression != BI_RGB || out->bmiHeader.biBitCount != 24 ||
                    out->bmiHeader.biWidth != h.biWidth))
            return ICERR_BADFORMAT;
        return ICERR_OK;
    }
    LRESULT DecompressGetFormat(const BITMAPINFO* in, BITMAPINFO* out) override {
        if (DecompressQuery(in, nullptr) != ICERR_OK)
            return ICERR_BADFORMAT;
        if (out)
            out->bmiHeader = ICOutputFormat24(&in->bmiHeader);
        return sizeof(BITMAPINFOHEADER);
    }
    LRESULT Decompress(DWORD, const BITMAPINFO* in, const void* inBits, DWORD inSize, const BITMAPINFO* out,
                       void* outBits) override {
        if (DecompressQuery(in, out) != ICERR_OK)
            return ICERR_BADFORMAT;
        const BITMAPINFOHEADER& h = in->bmiHeader;
        const std::size_t width = static_cast<std::size_t>(h.biWidth), rows = ICFrameRows(&h);
        if (frame_.size() != width * rows)
            frame_.assign(width * rows, 0);
        const bool eight = h.biBitCount == 8;
        std::vector<Rgb> palette(256);
        if (eight) {
            const DWORD colours = std::min<DWORD>(DibColorCount(&h), 256);
            const BYTE* table = reinterpret_cast<const BYTE*>(in) + h.biSize;
            for (DWORD i = 0; i < colours; ++i)
                palette[i] = {table[4 * i], table[4 * i + 1], table[4 * i + 2]};
        }
        DecodeFrame(static_cast<const BYTE*>(inBits), inSize, width, rows, eight);
        // To 24 bits, bottom-up, rows padded.
        const std::size_t stride = static_cast<std::size_t>(DibRowBytes(h.biWidth, 24));
        BYTE* dst = static_cast<BYTE*>(outBits);
        for (std::size_t y = 0; y < rows; ++y) {
            BYTE* line = dst + stride * y;
            for (std::size_t x = 0; x < width; ++x) {
                const std::uint16_t v = frame_[y * width + x];
                const Rgb c = eight ? palette[v & 0xFF] : From555(v);
                line[3 * x] = static_cast<BYTE>(c.b);
                line[3 * x + 1] = static_cast<BYTE>(c.g);
                line[3 * x + 2] = static_cast<BYTE>(c.r);
            }
            std::memset(line + 3 * width, 0, stride - 3 * width);
        }
        return ICERR_OK;
    }

private:
    static BYTE* Put16(BYTE* p, std::uint32_t v) {
        p[0] = static_cast<BYTE>(v);
        p[1] = static_cast<BYTE>(v >> 8);
        return p + 2;
    }

    // The four quadrants of a block (pixel numbers), in colour-pair order.
    static constexpr int kQuadrants[4][4] = {{0, 1, 4, 5}, {2, 3, 6, 7}, {8, 9, 12, 13}, {10, 11, 14, 15}};

    static BYTE* EncodeBlock16(const Block& block, int budget, BYTE* p) {
        int all[16];
        for (int i = 0; i < 16; ++i)
            all[i] = i;
        // One colour.
        Rgb mean;
        for (const Rgb& c : block.px) {
            mean.b += c.b;
            mean.g += c.g;
            mean.r += c.r;
        }
        mean = {(mean.b + 8) / 16, (mean.g + 8) / 16, (mean.r + 8) / 16};
        const std::uint16_t single = To555(mean);
        int error1 = 0;
        for (const Rgb& c : block.px)
            error1 += Distance(c, From555(single));
        // Two colours.
        std::uint32_t bits2 = 0;
        Rgb a, b;
        int ia = 0, ib = 0;
        const int error2 = TwoMeans(block, all, 16, bits2, a, b, nullptr, ia, ib);
        std::uint16_t ca = To555(a), cb = To555(b);
        const bool twoUsable = bits2 != 0 && bits2 != 0xFFFF;
        // Eight colours.
        std::uint32_t bits8 = 0;
        std::array<std::uint16_t, 8> colours8{};
        int error8 = 0;
        for (int q = 0; q < 4; ++q) {
            std::uint32_t bits = 0;
            Rgb qa, qb;
            error8 += TwoMeans(block, kQuadrants[q], 4, bits, qa, qb, nullptr, ia, ib);
            bits8 |= bits;
            colours8[2 * q] = To555(qa);
            colours8[2 * q + 1] = To555(qb);
        }
        const bool oneCodable = ((single >> 8) & 0x7C) != 0x04; // 0x84..0x87 would read as a skip
        if (error1 <= budget || (!twoUsable && error1 <= error8)) {
            if (oneCodable)
                return Put16(p, 0x8000u | single);
            p = Put16(p, 0x0001);
            p = Put16(p, single);
            return Put16(p, single);
        }
        if (twoUsable && (error2 <= budget || error2 <= error8)) {
            if (bits2 & 0x8000u) {
                bits2 ^= 0xFFFFu;
                std::swap(ca, cb);
            }
            p = Put16(p, bits2);
            p = Put16(p, ca);
            return Put16(p, cb);
        }
        // The top-right quadrant's pair is swapped when needed so that the code word stays below 0x8000.
        if (bits8 & 0x8000u) {
            for (int k : kQuadrants[3])
                bits8 ^= 1u << k;
            std::swap(colours8[6], colours8[7]);
        }
        p = Put16(p, bits8);
        colours8[0] |= 0x8000u;
        for (std::uint16_t c : colours8)
            p = Put16(p, c);
        return p;
    }

    static BYTE* EncodeBlock8(const Block& block, const std::vector<Rgb>& palette, int budget, BYTE* p) {
        int all[16];
        for (int i = 0; i < 16; ++i)
            all[i] = i;
        // One colour: the block's own index that fits best.
        int single = block.index[0], error1 = -1;
        for (int candidate : block.index) {
            int e = 0;
            for (const Rgb& c : block.px)
                e += Distance(c, palette[candidate]);
            if (error1 < 0 || e < error1) {
                error1 = e;
                single = candidate;
            }
        }
        std::uint32_t bits2 = 0;
        Rgb a, b;
        int ia = 0, ib = 0;
        const int error2 = TwoMeans(block, all, 16, bits2, a, b, &palette, ia, ib);
        const bool twoUsable = bits2 != 0 && bits2 != 0xFFFF && ia != ib;
        std::uint32_t bits8 = 0;
        std::array<int, 8> colours8{};
        int error8 = 0;
        for (int q = 0; q < 4; ++q) {
            std::uint32_t bits = 0;
            Rgb qa, qb;
            int qia = 0, qib = 0;
            error8 += TwoMeans(block, kQuadrants[q], 4, bits, qa, qb, &palette, qia, qib);
            bits8 |= bits;
            colours8[2 * q] = qia;
            colours8[2 * q + 1] = qib;
        }
        if (error1 <= budget || error1 <= std::min(twoUsable ? error2 : error1, error8)) {
            p[0] = static_cast<BYTE>(single);
            p[1] = 0x80;
            return p + 2;
        }
        if (twoUsable && (error2 <= budget || error2 <= error8)) {
            if (bits2 & 0x8000u) {
                bits2 ^= 0xFFFFu;
                std::swap(ia, ib);
            }
            p = Put16(p, bits2);
            p[0] = static_cast<BYTE>(ia);
            p[1] = static_cast<BYTE>(ib);
            return p + 2;
        }
        // Eight colours need a code word of 0x9000 or more: the top-right pixel must pick its first
        // colour, and one of the other three top-row pixels too.
        auto swapQuadrant = [&](int q) {
            for (int k : kQuadrants[q])
                bits8 ^= 1u << k;
            std::swap(colours8[2 * q], colours8[2 * q + 1]);
        };
        if (!(bits8 & 0x8000u))
            swapQuadrant(3);
        if (!(bits8 & 0x7000u))
            swapQuadrant(2);
        p = Put16(p, bits8);
        for (int c : colours8)
            *p++ = static_cast<BYTE>(c);
        return p;
    }

    // Decodes into frame_ (one 16-bit value per pixel: a 5-5-5 colour or a palette index), bottom row first.
    void DecodeFrame(const BYTE* data, std::size_t size, std::size_t width, std::size_t rows, bool eight) {
        const std::size_t blocksWide = width / 4, blocksHigh = rows / 4;
        std::size_t remaining = blocksWide * blocksHigh, block = 0, at = 0;
        auto have = [&](std::size_t n) { return at + n <= size; };
        auto word = [&]() {
            const std::uint16_t v = static_cast<std::uint16_t>(data[at] | (data[at + 1] << 8));
            at += 2;
            return v;
        };
        while (remaining > 0 && have(2)) {
            const BYTE lo = data[at], hi = data[at + 1];
            at += 2;
            if ((hi & 0xFC) == 0x84) {
                const std::size_t skip = std::min<std::size_t>(((hi - 0x84u) << 8) + lo, remaining);
                block += skip;
                remaining -= skip;
                continue;
            }
            std::uint16_t colours[8] = {};
            const std::uint32_t flags = static_cast<std::uint32_t>(lo | (hi << 8));
            int mode; // 1, 2 or 8 colours
            if (eight) {
                if (hi < 0x80) {
                    if (!have(2))
                        return;
                    colours[0] = data[at];
                    colours[1] = data[at + 1];
                    at += 2;
                    mode = 2;
                } else if (hi >= 0x90) {
                    if (!have(8))
                        return;
                    for (int i = 0; i < 8; ++i)
                        colours[i] = data[at + i];
                    at += 8;
                    mode = 8;
                } else {
                    colours[0] = lo;
                    mode = 1;
                }
            } else if (hi < 0x80) {
                if (!have(4))
                    return;
                colours[0] = word();
                colours[1] = word();
                mode = 2;
                if (colours[0] & 0x8000u) {
                    if (!have(12))
                        return;
                    for (int i = 2; i < 8; ++i)
                        colours[i] = word();
                    mode = 8;
                }
            } else {
                colours[0] = static_cast<std::uint16_t>(flags);
                mode = 1;
            }
            const std::size_t bx = block % blocksWide, by = block / blocksWide;
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 4; ++x) {
                    const int bit = (flags >> (y * 4 + x)) & 1;
                    std::uint16_t c;
                    if (mode == 1)
                        c = colours[0];
                    else if (mode == 2)
                        c = colours[bit ? 0 : 1];
                    else
                        c = colours[((y & 2) << 1) + (x & 2) + (bit ? 0 : 1)];
                    frame_[(by * 4 + y) * width + bx * 4 + x] = static_cast<std::uint16_t>(c & 0x7FFF);
                }
            ++block;
            --remaining;
        }
    }

    std::vector<std::uint16_t> frame_; // the previous frame, for skipped blocks
};

} // namespace

std::unique_ptr<VideoCodec> NewMsvcCodec() {
    return std::make_unique<MsvcCodec>();
}

} // namespace kivic::vfw
