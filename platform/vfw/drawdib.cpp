// DrawDib on the GDI layer: uncompressed bitmaps go straight to StretchDIBits, compressed ones are
// decoded to 24 bits first.
#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/vfw/codecs_builtin.h"
#include "platform/vfw/drawdib.h"

struct DRAWDIB {
    std::vector<BYTE> decoded; // the last decoded picture (header + pixels)
};

HDRAWDIB DrawDibOpen() {
    return new DRAWDIB;
}

BOOL DrawDibClose(HDRAWDIB hdd) {
    if (!hdd)
        return FALSE;
    delete hdd;
    return TRUE;
}

BOOL DrawDibDraw(HDRAWDIB hdd, HDC dc, int xDst, int yDst, int dxDst, int dyDst, LPBITMAPINFOHEADER header,
                 LPVOID bits, int xSrc, int ySrc, int dxSrc, int dySrc, UINT flags) {
    if (!hdd || !dc || !header || header->biSize < sizeof(BITMAPINFOHEADER) || header->biWidth <= 0 ||
        header->biHeight == 0)
        return FALSE;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(header);
    const void* pixels = bits ? bits : reinterpret_cast<const BYTE*>(header) + kivic::vfw::FormatSize(info);
    if (header->biCompression != BI_RGB) {
        HIC hic = ICLocate(ICTYPE_VIDEO, header->biCompression, header, nullptr, ICMODE_DECOMPRESS);
        if (!hic)
            return FALSE;
        BITMAPINFO out{};
        bool ok =
            ICDecompressGetFormat(hic, info, &out) >= 0 && ICDecompressBegin(hic, info, &out) == ICERR_OK;
        if (ok) {
            hdd->decoded.resize(sizeof(BITMAPINFOHEADER) + out.bmiHeader.biSizeImage);
            std::memcpy(hdd->decoded.data(), &out.bmiHeader, sizeof out.bmiHeader);
            ok = static_cast<LONG>(ICDecompress(hic, 0, header, const_cast<void*>(pixels),
                                                reinterpret_cast<LPBITMAPINFOHEADER>(hdd->decoded.data()),
                                                hdd->decoded.data() + sizeof(BITMAPINFOHEADER))) == ICERR_OK;
        }
        ICClose(hic);
        if (!ok)
            return FALSE;
        info = reinterpret_cast<const BITMAPINFO*>(hdd->decoded.data());
        pixels = hdd->decoded.data() + sizeof(BITMAPINFOHEADER);
    }
    const int width = info->bmiHeader.biWidth;
    const int height = info->bmiHeader.biHeight < 0 ? -info->bmiHeader.biHeight : info->bmiHeader.biHeight;
    if (dxSrc < 0 || dySrc < 0) {
        xSrc = ySrc = 0;
        dxSrc = width;
        dySrc = height;
    }
    if (dxDst < 0 || dyDst < 0) {
        dxDst = dxSrc;
        dyDst = dySrc;
    }
    // StretchDIBits measures a bottom-up source from its lower-left corner.
    const int sy = info->bmiHeader.biHeight > 0 ? height - ySrc - dySrc : ySrc;
    int previous = 0;
    if (flags & DDF_HALFTONE)
        previous = SetStretchBltMode(dc, HALFTONE);
    const int lines = StretchDIBits(dc, xDst, yDst, dxDst, dyDst, xSrc, sy, dxSrc, dySrc, pixels, info,
                                    DIB_RGB_COLORS, SRCCOPY);
    if (flags & DDF_HALFTONE)
        SetStretchBltMode(dc, previous);
    return lines > 0 ? TRUE : FALSE;
}
