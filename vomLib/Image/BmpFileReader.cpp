#include "vomLib/Image/BmpFileReader.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "vomLib/Image/BmpRle.h"

namespace {

constexpr DWORD kHeadersBytes = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);

} // namespace

void BmpFileReader::ReadFile(LPCSTR path) {
    m_pixels.reset();
    m_pixelBytes = 0;
    m_palette.reset();
    m_paletteBytes = 0;

    CFile file(path, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary);
    const ULONGLONG length = file.GetLength();
    if (file.Read(&m_fileHeader, sizeof(m_fileHeader)) != sizeof(m_fileHeader))
        AfxThrowFileException(CFileException::endOfFile, -1, path);
    if (m_fileHeader.bfType != MAKEWORD('B', 'M'))
        AfxThrowFileException(CFileException::invalidFile, -1, path);
    if (file.Read(&m_infoHeader, sizeof(m_infoHeader)) != sizeof(m_infoHeader))
        AfxThrowFileException(CFileException::endOfFile, -1, path);
    // The pixels must start after the headers and inside the file.
    const DWORD offset = m_fileHeader.bfOffBits;
    if (offset < kHeadersBytes || offset > length)
        AfxThrowFileException(CFileException::invalidFile, -1, path);

    m_paletteBytes = offset - kHeadersBytes;
    if (m_paletteBytes) {
        m_palette.reset(new BYTE[m_paletteBytes]);
        if (file.Read(m_palette.get(), m_paletteBytes) != m_paletteBytes)
            AfxThrowFileException(CFileException::endOfFile, -1, path);
    }

    const ULONGLONG available = length - offset;
    const std::uint64_t needed = ImageBytes();
    if (IsRunLength()) {
        if (needed != 0 && available != 0 && available <= 0xFFFFFFFFu)
            ReadRunLength(file, offset, static_cast<DWORD>(available), needed);
        return;
    }
    if (available == 0 || available > 0xFFFFFFFFu || (needed && available < needed))
        return; // no pixels, or fewer than the image needs: the reader keeps none
    m_pixels.reset(new (std::nothrow) BYTE[available]);
    if (!m_pixels)
        return;
    file.Seek(offset, CFile::begin);
    const UINT got = file.Read(m_pixels.get(), static_cast<UINT>(available));
    if (got != available || (needed && got < needed)) {
        m_pixels.reset();
        return;
    }
    m_pixelBytes = got;
}

void BmpFileReader::ReadRunLength(CFile& file, DWORD offset, DWORD available, std::uint64_t needed) {
    std::unique_ptr<BYTE[]> runs(new (std::nothrow) BYTE[available]);
    std::unique_ptr<BYTE[]> pixels(new (std::nothrow) BYTE[needed]());
    if (!runs || !pixels)
        return;
    file.Seek(offset, CFile::begin);
    const BITMAPINFOHEADER& h = m_infoHeader;
    if (file.Read(runs.get(), available) != available ||
        !DecodeBmpRle(runs.get(), available, h.biBitCount, h.biWidth, h.biHeight, pixels.get()))
        return; // cut short: the reader keeps no pixels, as for uncompressed rows
    m_pixels = std::move(pixels);
    m_pixelBytes = static_cast<DWORD>(needed);
}

bool BmpFileReader::IsRunLength() const {
    const BITMAPINFOHEADER& h = m_infoHeader;
    return (h.biCompression == BI_RLE8 && h.biBitCount == 8) ||
           (h.biCompression == BI_RLE4 && h.biBitCount == 4);
}

bool BmpFileReader::BitFieldMasks(DWORD (&masks)[3]) const {
    // The red, green and blue masks follow the 40-byte header: inside a version 4 or 5 header, or
    // right behind a plain one. Either way they start the bytes read after it.
    const WORD bits = m_infoHeader.biBitCount;
    if (m_infoHeader.biCompression != BI_BITFIELDS || m_paletteBytes < 3 * sizeof(DWORD) ||
        (bits != 16 && bits != 32))
        return false;
    std::memcpy(masks, m_palette.get(), sizeof masks);
    return true;
}

bool BmpFileReader::PlainBitFields() const {
    DWORD masks[3];
    if (!BitFieldMasks(masks))
        return false;
    if (m_infoHeader.biBitCount == 32)
        return masks[0] == 0x00FF0000u && masks[1] == 0x0000FF00u && masks[2] == 0x000000FFu;
    return masks[0] == 0x7C00u && masks[1] == 0x03E0u && masks[2] == 0x001Fu;
}

bool BmpFileReader::Rgb565() const {
    DWORD masks[3];
    return m_infoHeader.biBitCount == 16 && BitFieldMasks(masks) && masks[0] == 0xF800u &&
           masks[1] == 0x07E0u && masks[2] == 0x001Fu;
}

std::uint64_t BmpFileReader::ImageBytes() const {
    const BITMAPINFOHEADER& h = m_infoHeader;
    const WORD bits = h.biBitCount;
    if (h.biSize < sizeof(BITMAPINFOHEADER) ||
        (h.biCompression != BI_RGB && !PlainBitFields() && !Rgb565() && !IsRunLength()) || h.biWidth <= 0 ||
        h.biHeight == 0 || (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return 0;
    // Runs are stored bottom-up only, and a few of them can declare a picture of any size.
    if (IsRunLength() && (h.biHeight < 0 || h.biWidth > kMaxRleSide || h.biHeight > kMaxRleSide))
        return 0;
    return DibRowBytes(h.biWidth, bits) * IMGObject::Rows(h.biHeight);
}

BOOL BmpFileReader::MakeImage(BmpImgObject& image) const {
    const std::uint64_t bytes = ImageBytes();
    if (!m_pixels || bytes == 0 || bytes > m_pixelBytes)
        return FALSE;
    if (Rgb565())
        return MakeImageFrom565(image);
    const BITMAPINFOHEADER& h = m_infoHeader;
    const WORD bits = h.biBitCount;
    const WORD samples = bits == 32 ? 4 : bits == 24 ? 3 : 1;
    const std::uint64_t rows = IMGObject::Rows(h.biHeight);
    const std::uint64_t padded = DibRowBytes(h.biWidth, bits);
    const std::uint64_t packed = IMGObject::PackedRowBytes(static_cast<DWORD>(h.biWidth), bits);
    std::vector<BYTE> packedRows(packed * rows);
    for (std::uint64_t r = 0; r < rows; ++r)
        std::memcpy(packedRows.data() + r * packed, m_pixels.get() + r * padded, packed);
    if (!image.SetImage(static_cast<DWORD>(h.biWidth), h.biHeight, samples, bits, packedRows.data()))
        return FALSE;
    if (bits <= 8) {
        // The colour table follows the information header, whatever its size.
        const DWORD skip = h.biSize - sizeof(BITMAPINFOHEADER);
        const DWORD inTable = m_paletteBytes > skip ? (m_paletteBytes - skip) / sizeof(RGBQUAD) : 0;
        const DWORD wanted = h.biClrUsed ? std::min<DWORD>(h.biClrUsed, 1u << bits) : 1u << bits;
        if (inTable)
            image.SetPalette(reinterpret_cast<const RGBQUAD*>(m_palette.get() + skip),
                             std::min(inTable, wanted));
        else if (bits == 8)
            image.MakeGreyPalette();
    }
    return TRUE;
}

BOOL BmpFileReader::MakeImageFrom565(BmpImgObject& image) const {
    // The display's own conversion widens each channel by repeating its top bits; its 24-bit rows
    // become the image.
    struct {
        BITMAPINFOHEADER header;
        DWORD masks[3];
    } info{m_infoHeader, {0xF800u, 0x07E0u, 0x001Fu}};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    const LONG width = m_infoHeader.biWidth;
    const auto rows = static_cast<LONG>(IMGObject::Rows(m_infoHeader.biHeight));
    HDC screen = GetDC(nullptr);
    const auto* bitmapInfo = reinterpret_cast<const BITMAPINFO*>(&info);
    HBITMAP bitmap =
        CreateDIBitmap(screen, &info.header, CBM_INIT, m_pixels.get(), bitmapInfo, DIB_RGB_COLORS);
    BITMAPINFO wide{};
    wide.bmiHeader = {sizeof(BITMAPINFOHEADER), width, rows, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const std::uint64_t padded = DibRowBytes(width, 24);
    std::vector<BYTE> pixels(padded * static_cast<std::uint64_t>(rows));
    const bool read = bitmap && GetDIBits(screen, bitmap, 0, static_cast<UINT>(rows), pixels.data(), &wide,
                                          DIB_RGB_COLORS) == rows;
    if (bitmap)
        DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    if (!read)
        return FALSE;
    const std::uint64_t packed = 3 * static_cast<std::uint64_t>(width);
    for (LONG r = 1; r < rows; ++r)
        std::memmove(pixels.data() + r * packed, pixels.data() + r * padded, packed);
    return image.SetImage(static_cast<DWORD>(width), rows, 3, 24, pixels.data());
}
