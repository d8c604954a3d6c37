// Block transfers: BitBlt, StretchBlt, StretchDIBits and PatBlt.
#include <algorithm>
#include <climits>
#include <vector>

#include "platform/gdi/gdiobjects.h"

using namespace kivic::gdi;

namespace {

// Whether the raster operation reads the source, and how it combines with the destination.
bool sourceMode(DWORD rop, QPainter::CompositionMode& mode) {
    switch (rop) {
    case SRCCOPY:
        mode = QPainter::CompositionMode_Source;
        return true;
    case SRCPAINT:
        mode = QPainter::RasterOp_SourceOrDestination;
        return true;
    case SRCAND:
        mode = QPainter::RasterOp_SourceAndDestination;
        return true;
    case SRCINVERT:
        mode = QPainter::RasterOp_SourceXorDestination;
        return true;
    case SRCERASE:
        mode = QPainter::RasterOp_SourceAndNotDestination;
        return true;
    case NOTSRCCOPY:
        mode = QPainter::RasterOp_NotSource;
        return true;
    case NOTSRCERASE:
        mode = QPainter::RasterOp_NotSourceAndNotDestination;
        return true;
    case MERGEPAINT:
        mode = QPainter::RasterOp_NotSourceOrDestination;
        return true;
    default:
        return false;
    }
}

// The operations without a source, as a fill with a binary raster op; false for unknown codes.
bool patternFill(Dc& dc, int x, int y, int width, int height, DWORD rop) {
    int rop2 = 0;
    COLORREF color = dc.brush ? dc.brush->color : 0;
    switch (rop) {
    case PATCOPY:
        rop2 = R2_COPYPEN;
        break;
    case PATINVERT:
        rop2 = R2_XORPEN;
        break;
    case DSTINVERT:
        rop2 = R2_NOT;
        break;
    case BLACKNESS:
        rop2 = R2_BLACK;
        break;
    case WHITENESS:
        rop2 = R2_WHITE;
        break;
    default:
        return false;
    }
    if ((rop == PATCOPY || rop == PATINVERT) && (!dc.brush || dc.brush->style == BS_NULL))
        return true;
    if (width < 0) {
        x += width;
        width = -width;
    }
    if (height < 0) {
        y += height;
        height = -height;
    }
    Canvas canvas(dc);
    canvas.fill(x, y, x + width, y + height, color, rop2);
    return true;
}

// For the destination pixels [from, to) along one axis, the first and one-past-last source pixel each
// takes, or -1 when it maps outside the source. COLORONCOLOR takes one pixel: floor(i * srcExtent /
// dstExtent).
struct AxisMap {
    std::vector<int> first, last; // indexed by i - from
    int begin = 0, end = 0;       // the destination range that maps inside the source
};

AxisMap mapAxis(int dstExtent, int srcStart, int srcExtent, bool mirror, bool average, int srcSize, int from,
                int to) {
    AxisMap m;
    m.first.resize(std::max(0, to - from));
    m.last.resize(m.first.size());
    m.begin = to;
    m.end = from;
    for (int i = from; i < to; ++i) {
        const std::int64_t a = std::int64_t(i) * srcExtent / dstExtent;
        std::int64_t b = a + 1;
        if (average)
            b = std::max<std::int64_t>(b, (std::int64_t(i + 1) * srcExtent + dstExtent - 1) / dstExtent);
        std::int64_t lo = mirror ? srcExtent - b : a;
        std::int64_t hi = mirror ? srcExtent - a : b;
        lo += srcStart;
        hi += srcStart;
        lo = std::max<std::int64_t>(lo, 0);
        hi = std::min<std::int64_t>(hi, srcSize);
        if (lo >= hi) {
            m.first[i - from] = m.last[i - from] = -1;
            continue;
        }
        m.first[i - from] = static_cast<int>(lo);
        m.last[i - from] = static_cast<int>(hi);
        m.begin = std::min(m.begin, i);
        m.end = i + 1;
    }
    return m;
}

BOOL stretch(Dc& dest, int x, int y, int width, int height, const QImage& source, int sx, int sy,
             int sourceWidth, int sourceHeight, DWORD rop) {
    QPainter::CompositionMode mode;
    if (!sourceMode(rop, mode))
        return patternFill(dest, x, y, width, height, rop) ? TRUE : FALSE;
    bool mirrorX = false, mirrorY = false;
    if (width < 0) {
        x += width;
        width = -width;
        mirrorX = !mirrorX;
    }
    if (height < 0) {
        y += height;
        height = -height;
        mirrorY = !mirrorY;
    }
    if (sourceWidth < 0) {
        sx += sourceWidth;
        sourceWidth = -sourceWidth;
        mirrorX = !mirrorX;
    }
    if (sourceHeight < 0) {
        sy += sourceHeight;
        sourceHeight = -sourceHeight;
        mirrorY = !mirrorY;
    }
    if (width == 0 || height == 0 || sourceWidth == 0 || sourceHeight == 0)
        return TRUE;
    // Only the part of the destination that lies on the device is computed.
    const int colFrom = static_cast<int>(std::clamp<std::int64_t>(-std::int64_t(x), 0, width));
    const int colTo =
        static_cast<int>(std::clamp<std::int64_t>(std::int64_t(dest.surfaceWidth()) - x, 0, width));
    const int rowFrom = static_cast<int>(std::clamp<std::int64_t>(-std::int64_t(y), 0, height));
    const int rowTo =
        static_cast<int>(std::clamp<std::int64_t>(std::int64_t(dest.surfaceHeight()) - y, 0, height));
    if (colFrom >= colTo || rowFrom >= rowTo)
        return TRUE;
    if (std::int64_t(colTo - colFrom) * (rowTo - rowFrom) > kMaxPixels)
        return FALSE;
    const bool average = dest.stretchMode == HALFTONE;
    const AxisMap cols = mapAxis(width, sx, sourceWidth, mirrorX, average, source.width(), colFrom, colTo);
    const AxisMap rows = mapAxis(height, sy, sourceHeight, mirrorY, average, source.height(), rowFrom, rowTo);
    if (cols.begin >= cols.end || rows.begin >= rows.end)
        return TRUE;

    QImage scratch(cols.end - cols.begin, rows.end - rows.begin, QImage::Format_RGB32);
    if (scratch.isNull())
        return FALSE;
    for (int j = rows.begin; j < rows.end; ++j) {
        auto* out = reinterpret_cast<QRgb*>(scratch.scanLine(j - rows.begin));
        for (int i = cols.begin; i < cols.end; ++i) {
            QRgb& o = out[i - cols.begin];
            const int r0 = rows.first[j - rowFrom], r1 = rows.last[j - rowFrom];
            const int c0 = cols.first[i - colFrom], c1 = cols.last[i - colFrom];
            if (r0 < 0 || c0 < 0) {
                o = qRgb(0, 0, 0);
                continue;
            }
            if (!average || (r1 - r0 == 1 && c1 - c0 == 1)) {
                o = reinterpret_cast<const QRgb*>(source.constScanLine(r0))[c0];
                continue;
            }
            std::uint64_t r = 0, g = 0, b = 0, n = 0;
            for (int sr = r0; sr < r1; ++sr) {
                const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(sr));
                for (int sc = c0; sc < c1; ++sc) {
                    r += qRed(line[sc]);
                    g += qGreen(line[sc]);
                    b += qBlue(line[sc]);
                    ++n;
                }
            }
            o = qRgb(static_cast<int>((r + n / 2) / n), static_cast<int>((g + n / 2) / n),
                     static_cast<int>((b + n / 2) / n));
        }
    }
    Canvas canvas(dest);
    if (!canvas.isActive())
        return dest.dcKind == DcKind::Screen || dest.dcKind == DcKind::Window ? TRUE : FALSE;
    canvas.painter().setCompositionMode(mode);
    canvas.painter().drawImage(x + cols.begin, y + rows.begin, scratch);
    return TRUE;
}

// The source pixels of a DC as a 32-bit image (a converted copy when the surface has alpha).
const QImage* sourceImage(Dc* dc, QImage& converted) {
    const QImage* image = dc ? dc->surface() : nullptr;
    if (!image || image->isNull())
        return nullptr;
    if (image->format() == QImage::Format_RGB32)
        return image;
    converted = image->convertToFormat(QImage::Format_RGB32);
    return &converted;
}

} // namespace

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
    return StretchBlt(dest, x, y, width, height, source, sx, sy, width, height, rop);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sourceWidth,
                int sourceHeight, DWORD rop) {
    Dc* d = FindDc(dest);
    if (!d)
        return FALSE;
    QPainter::CompositionMode mode;
    if (!sourceMode(rop, mode))
        return patternFill(*d, x, y, width, height, rop) ? TRUE : FALSE;
    QImage converted;
    const QImage* image = sourceImage(FindDc(source), converted);
    if (!image)
        return FALSE;
    // The destination may be the source itself: work from a copy.
    const QImage copy = *image;
    return stretch(*d, x, y, width, height, copy, sx, sy, sourceWidth, sourceHeight, rop);
}

int StretchDIBits(HDC dc, int x, int y, int width, int height, int sx, int sy, int sourceWidth,
                  int sourceHeight, LPCVOID bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
    Dc* d = FindDc(dc);
    if (!d || !info)
        return 0;
    QImage image;
    if (!DibToImage(info, bits, usage, image))
        return 0;
    if (info->bmiHeader.biHeight > 0) {
        const std::int64_t fromTop = std::int64_t(image.height()) - sy - sourceHeight;
        sy = static_cast<int>(std::clamp<std::int64_t>(fromTop, INT_MIN / 2, INT_MAX / 2));
    }
    if (!stretch(*d, x, y, width, height, image, sx, sy, sourceWidth, sourceHeight, rop))
        return 0;
    return sourceHeight < 0 ? -sourceHeight : sourceHeight;
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
    Dc* d = FindDc(dc);
    return d && patternFill(*d, x, y, width, height, rop) ? TRUE : FALSE;
}
