// 'MJPG' through the library's JPEG codec: 24-bit frames (packed or padded rows) in, one JFIF image per
// frame out; JPEG frames (one image, or two fields) decoded to 24-bit DIBs.
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/vfw/compman.h"
#include "platform/win32/memory.h"
#include "vomLib/Jpeg/jpglib32.h"
#include "vomLib/avilib/MjpgCodec.h"

namespace {

constexpr FOURCC kMjpg = mmioFOURCC('M', 'J', 'P', 'G');

bool SizeOk(const BITMAPINFOHEADER& h) {
    return h.biWidth > 0 && h.biHeight != 0 && h.biWidth <= 65500 && ICFrameRows(&h) <= 65500;
}

class MjpgCodec : public VideoCodec {
public:
    LRESULT CompressQuery(const BITMAPINFO* in, const BITMAPINFO* out) override {
        const BITMAPINFOHEADER& h = in->bmiHeader;
        if (h.biCompression != BI_RGB || h.biBitCount != 24 || !SizeOk(h))
            return ICERR_BADFORMAT;
        if (out && !ICFourccEqual(out->bmiHeader.biCompression, kMjpg))
            return ICERR_BADFORMAT;
        return ICERR_OK;
    }
    LRESULT CompressGetFormat(const BITMAPINFO* in, BITMAPINFO* out) override {
        if (CompressQuery(in, nullptr) != ICERR_OK)
            return ICERR_BADFORMAT;
        if (out) {
            BITMAPINFOHEADER o{};
            o.biSize = sizeof o;
            o.biWidth = in->bmiHeader.biWidth;
            o.biHeight = static_cast<LONG>(ICFrameRows(&in->bmiHeader));
            o.biPlanes = 1;
            o.biBitCount = 24;
            o.biCompression = kMjpg;
            o.biSizeImage = static_cast<DWORD>(in->bmiHeader.biWidth) * 3u * ICFrameRows(&in->bmiHeader);
            out->bmiHeader = o;
        }
        return sizeof(BITMAPINFOHEADER);
    }
    LRESULT CompressGetSize(const BITMAPINFO* in, const BITMAPINFO*) override {
        // A JPEG image can outgrow its raw pixels at the highest qualities.
        return static_cast<LRESULT>(
            static_cast<std::uint64_t>(in->bmiHeader.biWidth) * 3u * ICFrameRows(&in->bmiHeader) * 2 + 65536);
    }
    LRESULT Compress(const BITMAPINFO* in, const void* inBits, BITMAPINFO* out, void* outBits, DWORD quality,
                     DWORD* flags) override {
        if (CompressQuery(in, nullptr) != ICERR_OK)
            return ICERR_BADFORMAT;
        const BITMAPINFOHEADER& h = in->bmiHeader;
        const DWORD stride = ICInputRowStride(&h);
        const JpgRows rows =
            stride == static_cast<DWORD>(h.biWidth) * 3u ? JpgRows::Packed : JpgRows::Padded4;
        const BYTE* pixels = static_cast<const BYTE*>(inBits);
        std::vector<BYTE> flipped;
        if (h.biHeight < 0) {
            // The codec takes bottom-up rows.
            const DWORD n = ICFrameRows(&h);
            flipped.resize(static_cast<std::size_t>(stride) * n);
            for (DWORD y = 0; y < n; ++y)
                std::memcpy(flipped.data() + static_cast<std::size_t>(stride) * y,
                            pixels + static_cast<std::size_t>(stride) * (n - 1 - y), stride);
            pixels = flipped.data();
        }
        const long option =
            quality == ICQUALITY_DEFAULT || quality > 10000 ? 7500 : static_cast<long>(quality);
        BYTE* block = nullptr;
        long length = 0;
        const int result =
            jpg_compress_rgb_full(pixels, h.biWidth, static_cast<int>(ICFrameRows(&h)), rows, &block, &length,
                                  jpg_quality_from_option(option), JPG_DCT_ACCURATE);
        if (result != JPG_OK) {
            if (block)
                GlobalFree(block);
            return result == JPG_ERR_MEMORY ? ICERR_MEMORY : ICERR_INTERNAL;
        }
        const bool fits = static_cast<DWORD>(length) <= out->bmiHeader.biSizeImage;
        if (fits)
            std::memcpy(outBits, block, static_cast<std::size_t>(length));
        GlobalFree(block);
        if (!fits)
            return ICERR_BADSIZE;
        out->bmiHeader.biSizeImage = static_cast<DWORD>(length);
        if (flags)
            *flags = AVIIF_KEYFRAME;
        return ICERR_OK;
    }

    LRESULT DecompressQuery(const BITMAPINFO* in, const BITMAPINFO* out) override {
        const BITMAPINFOHEADER& h = in->bmiHeader;
        if (!ICFourccEqual(h.biCompression, kMjpg) || !SizeOk(h))
            return ICERR_BADFORMAT;
        if (out && (out->bmiHeader.biCompression != BI_RGB || out->bmiHeader.biBitCount != 24))
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
        const BYTE* data = static_cast<const BYTE*>(inBits);
        JpgImageInfo info;
        if (jpg_read_header(data, static_cast<long>(inSize), &info) != JPG_OK ||
            info.width != in->bmiHeader.biWidth ||
            info.height != static_cast<int>(ICFrameRows(&in->bmiHeader)))
            return ICERR_BADFORMAT;
        const std::size_t size = static_cast<std::size_t>(DibRowBytes(info.width, 24)) * info.height;
        BYTE* target = static_cast<BYTE*>(outBits);
        if (info.outputComponents == 3)
            return jpg_decompress_dib(data, target, static_cast<long>(inSize), JPG_DCT_ACCURATE, size,
                                      JpgRows::Padded4) == JPG_OK
                       ? ICERR_OK
                       : ICERR_BADFORMAT;
        if (info.outputComponents != 1)
            return ICERR_BADFORMAT;
        // Grey pictures become three equal components.
        const std::size_t greyStride = static_cast<std::size_t>(DibRowBytes(info.width, 8));
        std::vector<BYTE> grey(greyStride * info.height);
        if (jpg_decompress_dib(data, grey.data(), static_cast<long>(inSize), JPG_DCT_ACCURATE, grey.size(),
                               JpgRows::Padded4) != JPG_OK)
            return ICERR_BADFORMAT;
        const std::size_t stride = static_cast<std::size_t>(DibRowBytes(info.width, 24));
        for (int y = 0; y < info.height; ++y) {
            BYTE* row = target + stride * y;
            std::memset(row, 0, stride);
            for (int x = 0; x < info.width; ++x)
                row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = grey[greyStride * y + x];
        }
        return ICERR_OK;
    }
};

} // namespace

void InstallMjpgCodec() {
    static std::once_flag once;
    std::call_once(once, [] {
        VideoCodecDescription description;
        description.fccHandler = kMjpg;
        description.name = "MJPG";
        description.description = "Motion JPEG";
        description.flags = VIDCF_QUALITY;
        ICInstallCodec(description, [] { return std::make_unique<MjpgCodec>(); });
    });
}
