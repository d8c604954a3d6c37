// Device bitmaps: creation, and the transfer of their pixels to and from device-independent bitmaps.
#include <cstring>
#include <vector>

#include "platform/gdi/gdiobjects.h"

using namespace kivic::gdi;

namespace {

bool validExtent(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxExtent && height <= kMaxExtent &&
           width * height <= kMaxPixels;
}

HBITMAP registerBitmap(QImage image) {
    if (image.isNull())
        return nullptr;
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->image = std::move(image);
    return static_cast<HBITMAP>(Register(std::move(bitmap)));
}

// Bytes of the colour table or bit-field masks that follow a DIB header.
std::size_t tableBytes(const BITMAPINFOHEADER& h) {
    if (h.biBitCount <= 8) {
        const DWORD maxColors = 1u << h.biBitCount;
        return (h.biClrUsed && h.biClrUsed < maxColors ? h.biClrUsed : maxColors) * sizeof(RGBQUAD);
    }
    if (h.biCompression == BI_BITFIELDS && h.biSize == sizeof(BITMAPINFOHEADER))
        return 3 * sizeof(DWORD);
    return 0;
}

} // namespace

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (!FindDc(dc) || !validExtent(width, height))
        return nullptr;
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return nullptr;
    image.fill(Qt::black);
    return registerBitmap(std::move(image));
}

HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, LPCVOID bits,
                       const BITMAPINFO* info, UINT usage) {
    if ((dc && !FindDc(dc)) || !header)
        return nullptr;
    const std::int64_t width = header->biWidth;
    const std::int64_t height = header->biHeight < 0 ? -std::int64_t(header->biHeight) : header->biHeight;
    if (!validExtent(width, height))
        return nullptr;
    if (!(init & CBM_INIT)) {
        QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
        if (!image.isNull())
            image.fill(Qt::black);
        return registerBitmap(std::move(image));
    }
    QImage image;
    if (!DibToImage(info, bits, usage, image))
        return nullptr;
    return registerBitmap(std::move(image));
}

int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info, UINT usage) {
    Bitmap* b = FindBitmap(bitmap);
    if (!FindDc(dc) || !b || !info || usage != DIB_RGB_COLORS)
        return 0;
    BITMAPINFOHEADER& h = info->bmiHeader;
    const QImage& image = b->image;
    if (h.biBitCount == 0) {
        h.biWidth = image.width();
        h.biHeight = image.height();
        h.biPlanes = 1;
        h.biBitCount = 32;
        h.biCompression = BI_RGB;
        h.biSizeImage = static_cast<DWORD>(DibRowBytes(image.width(), 32) * image.height());
        h.biClrUsed = 0;
        h.biClrImportant = 0;
        return bits ? 0 : image.height();
    }
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biCompression != BI_RGB ||
        (h.biBitCount != 16 && h.biBitCount != 24 && h.biBitCount != 32) || h.biWidth != image.width())
        return 0;
    h.biPlanes = 1;
    h.biSizeImage = static_cast<DWORD>(DibRowBytes(image.width(), h.biBitCount) * image.height());
    if (!bits)
        return image.height();
    const UINT total = static_cast<UINT>(image.height());
    if (start >= total)
        return 0;
    if (lines > total - start)
        lines = total - start;
    const bool bottomUp = h.biHeight > 0;
    const std::uint64_t stride = DibRowBytes(image.width(), h.biBitCount);
    for (UINT k = 0; k < lines; ++k) {
        const UINT scan = start + k;
        const int row = static_cast<int>(bottomUp ? total - 1 - scan : scan);
        EncodeRow(image, row, h.biBitCount, static_cast<BYTE*>(bits) + k * stride);
    }
    return static_cast<int>(lines);
}

int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPCVOID bits, const BITMAPINFO* info,
              UINT usage) {
    Bitmap* b = FindBitmap(bitmap);
    if ((dc && !FindDc(dc)) || !b || !info || !bits || lines == 0)
        return 0;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER))
        return 0;
    const UINT total = static_cast<UINT>(b->image.height());
    if (start >= total)
        return 0;
    if (lines > total - start)
        lines = total - start;
    // Decode just the given scan lines as a DIB of their own height.
    std::vector<BYTE> header(h.biSize + tableBytes(h));
    std::memcpy(header.data(), info, header.size());
    auto* part = reinterpret_cast<BITMAPINFO*>(header.data());
    const bool bottomUp = h.biHeight > 0;
    part->bmiHeader.biHeight = bottomUp ? static_cast<LONG>(lines) : -static_cast<LONG>(lines);
    QImage decoded;
    if (!DibToImage(part, bits, usage, decoded))
        return 0;
    const int firstRow = static_cast<int>(bottomUp ? total - start - lines : start);
    QPainter painter(&b->image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, firstRow, decoded);
    return static_cast<int>(lines);
}

const QImage* GetBitmapImage(HBITMAP bitmap) {
    Bitmap* b = FindBitmap(bitmap);
    return b ? &b->image : nullptr;
}

HBITMAP CreateBitmapFromImage(const QImage& image) {
    if (image.isNull() || !validExtent(image.width(), image.height()))
        return nullptr;
    return registerBitmap(image.convertToFormat(QImage::Format_RGB32));
}
