// Reads a .bmp file: its file and information headers, the bytes between them and the pixels (the
// palette), and the pixels.
#pragma once

#include <memory>

#include "platform/win32/bitmap.h"
#include "vomLib/Image/BmpImgObject.h"

class CFile;

class BmpFileReader {
public:
    BmpFileReader() = default;
    virtual ~BmpFileReader() = default;
    BmpFileReader(const BmpFileReader&) = delete;
    BmpFileReader& operator=(const BmpFileReader&) = delete;

    // Reads the file. A file that cannot be opened, is not "BM", has a short header or palette, or a
    // pixel offset outside [54, file length] throws the framework's file exception (CFileException*).
    // When the file holds fewer pixel bytes than its header's uncompressed image needs, the reader
    // keeps no pixels (GetPixels() is null) and does not throw. Run-length encoded pixels (8 and 4
    // bits) are kept decoded, as the uncompressed rows; runs cut short leave no pixels either.
    virtual void ReadFile(LPCSTR path);

    const BITMAPFILEHEADER& GetFileHeader() const { return m_fileHeader; }
    const BITMAPINFOHEADER& GetInfoHeader() const { return m_infoHeader; }
    const BYTE* GetPixels() const { return m_pixels.get(); }
    DWORD GetPixelBytes() const { return m_pixelBytes; }
    const BYTE* GetPalette() const { return m_palette.get(); }
    DWORD GetPaletteBytes() const { return m_paletteBytes; }

    // Bytes of the uncompressed pixel rows the header describes (rows padded to 4 bytes); 0 when the
    // header is not an uncompressed bitmap of 1, 4, 8, 16, 24 or 32 bits with a valid size, or run-length
    // encoded at 8 or 4 bits, bottom-up and at most kMaxRleSide pixels wide and high. Bit
    // fields count as uncompressed when their masks are those of the plain layout (x8r8g8b8 at 32
    // bits, x1r5g5b5 at 16), as other programs write them with version 4 and 5 headers, or r5g6b5.
    std::uint64_t ImageBytes() const;
    // Fills image with the pixels as packed rows (samples: 4 at 32 bits, 3 at 24, else 1) and, up to
    // 8 bits, the file's colour table as palette; r5g6b5 pixels become 24-bit bottom-up rows. FALSE
    // when there are no pixels or the format is not an uncompressed one of ImageBytes().
    BOOL MakeImage(BmpImgObject& image) const;

private:
    // BI_RLE8 at 8 bits or BI_RLE4 at 4 bits.
    bool IsRunLength() const;
    // Reads the runs that start at offset and keeps them decoded into needed bytes of rows.
    void ReadRunLength(CFile& file, DWORD offset, DWORD available, std::uint64_t needed);
    // The header's red, green and blue masks; false when the pixels are not 16 or 32-bit bit fields.
    bool BitFieldMasks(DWORD (&masks)[3]) const;
    // The header's bit-field masks describe the same pixels as BI_RGB at its depth.
    bool PlainBitFields() const;
    // 16-bit bit fields of 5 red, 6 green and 5 blue bits.
    bool Rgb565() const;
    BOOL MakeImageFrom565(BmpImgObject& image) const;

    BITMAPFILEHEADER m_fileHeader{};
    BITMAPINFOHEADER m_infoHeader{};
    std::unique_ptr<BYTE[]> m_pixels;
    DWORD m_pixelBytes = 0;
    std::unique_ptr<BYTE[]> m_palette;
    DWORD m_paletteBytes = 0;
};
