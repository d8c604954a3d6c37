// 'DIB ': full frames, uncompressed. Takes 24-bit frames with packed or padded rows and writes valid
// 24-bit DIB samples (bottom-up rows padded to 4 bytes); decodes every BI_RGB depth to 24 bits.
#include <cstring>

#include "platform/vfw/codecs_builtin.h"
#include "platform/vfw/dib_convert.h"

namespace kivic::vfw {

namespace {

bool Is24BitInput(const BITMAPINFO* in) {
    const BITMAPINFOHEADER& h = in->bmiHeader;
    return h.biCompression == BI_RGB && h.biBitCount == 24 && h.biWidth > 0 && h.biHeight != 0 &&
           h.biWidth <= 65535 && h.biHeight <= 65535 && h.biHeight >= -65535;
}

bool SameSize24(const BITMAPINFO* in, const BITMAPINFO* out) {
    if (!out)
        return true;
    const BITMAPINFOHEADER& o = out->bmiHeader;
    return o.biCompression == BI_RGB && o.biBitCount == 24 && o.biWidth == in->bmiHeader.biWidth &&
           (o.biHeight == static_cast<LONG>(ICFrameRows(&in->bmiHeader)) ||
            o.biHeight == -static_cast<LONG>(ICFrameRows(&in->bmiHeader)));
}

class DibCodec : public VideoCodec {
public:
    LRESULT CompressQuery(const BITMAPINFO* in, const BITMAPINFO* out) override {
        return Is24BitInput(in) && SameSize24(in, out) ? ICERR_OK : ICERR_BADFORMAT;
    }
    LRESULT CompressGetFormat(const BITMAPINFO* in, BITMAPINFO* out) override {
        if (!Is24BitInput(in))
            return ICERR_BADFORMAT;
        if (out)
            out->bmiHeader = ICOutputFormat24(&in->bmiHeader);
        return sizeof(BITMAPINFOHEADER);
    }
    LRESULT CompressGetSize(const BITMAPINFO* in, const BITMAPINFO*) override {
        return Is24BitInput(in) ? static_cast<LRESULT>(ICOutputFormat24(&in->bmiHeader).biSizeImage) : 0;
    }
    LRESULT Compress(const BITMAPINFO* in, const void* inBits, BITMAPINFO* out, void* outBits, DWORD,
                     DWORD* flags) override {
        if (!Is24BitInput(in))
            return ICERR_BADFORMAT;
        const BITMAPINFOHEADER& h = in->bmiHeader;
        const DWORD rows = ICFrameRows(&h);
        const std::size_t inStride = ICInputRowStride(&h);
        const std::size_t outStride = static_cast<std::size_t>(DibRowBytes(h.biWidth, 24));
        if (out->bmiHeader.biSizeImage < outStride * rows)
            return ICERR_BADSIZE;
        const std::size_t rowBytes = 3u * static_cast<std::size_t>(h.biWidth);
        const BYTE* src = static_cast<const BYTE*>(inBits);
        BYTE* dst = static_cast<BYTE*>(outBits);
        for (DWORD y = 0; y < rows; ++y) {
            const DWORD from = h.biHeight < 0 ? rows - 1 - y : y;
            std::memcpy(dst + outStride * y, src + inStride * from, rowBytes);
            std::memset(dst + outStride * y + rowBytes, 0, outStride - rowBytes);
        }
        out->bmiHeader = ICOutputFormat24(&h);
        if (flags)
            *flags = AVIIF_KEYFRAME;
        return ICERR_OK;
    }

    LRESULT DecompressQuery(const BITMAPINFO* in, const BITMAPINFO* out) override {
        return CanDecodeRgbDib(&in->bmiHeader) && SameSize24(in, out) ? ICERR_OK : ICERR_BADFORMAT;
    }
    LRESULT DecompressGetFormat(const BITMAPINFO* in, BITMAPINFO* out) override {
        if (!CanDecodeRgbDib(&in->bmiHeader))
            return ICERR_BADFORMAT;
        if (out)
            out->bmiHeader = ICOutputFormat24(&in->bmiHeader);
        return sizeof(BITMAPINFOHEADER);
    }
    LRESULT Decompress(DWORD, const BITMAPINFO* in, const void* inBits, DWORD inSize, const BITMAPINFO* out,
                       void* outBits) override {
        if (!SameSize24(in, out))
            return ICERR_BADFORMAT;
        return DecodeRgbDib(reinterpret_cast<const BYTE*>(in), FormatSize(in),
                            static_cast<const BYTE*>(inBits), inSize, static_cast<BYTE*>(outBits))
                   ? ICERR_OK
                   : ICERR_BADFORMAT;
    }
};

} // namespace

std::unique_ptr<VideoCodec> NewDibCodec() {
    return std::make_unique<DibCodec>();
}

} // namespace kivic::vfw
