// One uncompressed TIFF image: the entries of its first directory and one pixel block.
//
// The writer makes single-strip files in a fixed layout: a 640-byte header block (file header, the
// directory in the order the tags were set, then the larger values), followed by the pixels. The
// reader takes either byte order and gathers the pixels of one or more strips, contiguous or
// planar-separate; compressed, palette and other unsupported layouts are refused with a vomException
// that says why.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "platform/gdi/gdi.h"
#include "vomLib/Image/TiffIfdEntry.h"

// The tags the class reads or writes.
enum : WORD {
    TIFFTAG_NEWSUBFILETYPE = 254,
    TIFFTAG_IMAGEWIDTH = 256,
    TIFFTAG_IMAGELENGTH = 257,
    TIFFTAG_BITSPERSAMPLE = 258,
    TIFFTAG_COMPRESSION = 259,
    TIFFTAG_PHOTOMETRIC = 262,
    TIFFTAG_STRIPOFFSETS = 273,
    TIFFTAG_SAMPLESPERPIXEL = 277,
    TIFFTAG_ROWSPERSTRIP = 278,
    TIFFTAG_STRIPBYTECOUNTS = 279,
    TIFFTAG_PLANARCONFIG = 284,
    TIFFTAG_RESOLUTIONUNIT = 296,
    TIFFTAG_SOFTWARE = 305,
    TIFFTAG_DATETIME = 306,
    TIFFTAG_YCBCRSUBSAMPLING = 530,
    TIFFTAG_YCBCRPOSITIONING = 531,
    TIFFTAG_COPYRIGHT = 33432,
    // Private: bits per pixel of the source image before its samples were widened to whole bytes.
    TIFFTAG_SOURCEBITS = 30976,
};

class TiffFile {
public:
    TiffFile();
    virtual ~TiffFile();
    TiffFile(const TiffFile&) = delete;
    TiffFile& operator=(const TiffFile&) = delete;

    // Reads the file whole and parses it (with its pixels). FALSE when the file cannot be opened or
    // read, or ParseMemory gives FALSE; malformed or unsupported files throw vomException.
    virtual BOOL LoadFile(LPCSTR path, BOOL swapRedBlue);
    // Replaces the pixel block by a zero-filled copy of size bytes of pixels (null: zeros only). Source
    // samples of sourceBits bits (0: as stored) are shifted up to the stored sample width.
    virtual void SetPixels(const BYTE* pixels, DWORD size, DWORD sourceBits);
    // Parses a whole file held in memory. FALSE when it is shorter than a header or lacks width, height
    // or strips; throws vomException for a bad header, directory, value or strip outside the data, and
    // for layouts that cannot be read. With copyPixels the pixels become the pixel block (chunky order,
    // red and blue exchanged for 24-bit non-YCbCr images when swapRedBlue).
    virtual BOOL ParseMemory(const BYTE* data, DWORD size, BOOL swapRedBlue, BOOL copyPixels);

    // Tags: setting one removes an entry with the same tag and appends the new one at the end.
    BOOL SetTag(WORD tag, WORD type, DWORD value);
    // count elements taken from the bytes of value (little-endian) when they fit in 4 bytes, else from
    // data + value; FALSE when those bytes lie outside data's dataSize bytes.
    BOOL SetTagArray(WORD tag, WORD type, DWORD count, DWORD value, const BYTE* data, DWORD dataSize);
    BOOL SetTagText(WORD tag, const char* text);
    BOOL RemoveTag(WORD tag);
    void RemoveAllTags();
    TiffIfdEntry* FindTag(WORD tag) const;
    const std::vector<std::unique_ptr<TiffIfdEntry>>& Entries() const { return m_entries; }

    // Tag values; nothing when the tag is absent.
    std::optional<DWORD> GetTagValue(WORD tag, DWORD index = 0) const;
    std::optional<DWORD> ImageWidth() const { return GetTagValue(TIFFTAG_IMAGEWIDTH); }
    std::optional<DWORD> ImageLength() const { return GetTagValue(TIFFTAG_IMAGELENGTH); }
    std::optional<DWORD> SamplesPerPixel() const { return GetTagValue(TIFFTAG_SAMPLESPERPIXEL); }
    std::optional<DWORD> StripOffset() const { return GetTagValue(TIFFTAG_STRIPOFFSETS); }
    // Bits of all samples of a pixel; a single value counts for each sample.
    std::optional<DWORD> BitsPerPixel() const;
    // Sum of the strip byte counts (0 when absent).
    std::uint64_t StripBytes() const;
    // YCbCr images: photometric 6, or both YCbCr tags present.
    bool IsYCbCr() const;
    // Bytes of the image the tags describe: samples x height x width x bytes per sample (for YCbCr
    // 4:2:2, 4 bytes per pair of pixels); 0 when a tag is missing.
    std::uint64_t ImageBytes() const;

    // The writer's tags for an image (width x height, samples, bits per pixel over all samples) and
    // its pixels (top row first, samples in RGB order).
    BOOL SetImage(DWORD width, DWORD height, WORD samples, WORD bitsPerPixel, const BYTE* pixels);
    // Writes the file; FALSE (and no file left behind) when it cannot be created or written, when the
    // directory and its values do not fit in the header block, or the strip is larger than the pixels.
    BOOL SaveFile(LPCSTR path);

    BYTE* GetPixels() const { return m_pixels; }
    DWORD GetImageSize() const { return m_pixelSize; }
    const char* GetByteOrder() const { return m_order; }

    // A device bitmap of the image for a window (the screen when null); null when the pixels do not
    // hold the image or the format has no display form.
    HBITMAP CreateBitmap(HWND window) const;
    // Every entry as text.
    void Dump(std::ostream& out) const;

private:
    void AppendEntry(std::unique_ptr<TiffIfdEntry> entry);
    void FreePixels();
    std::vector<BYTE> GatherStrips(const BYTE* data, DWORD size) const;
    HBITMAP CreateYCbCrBitmap() const;

    char m_order[3] = {'I', 'I', 0};
    WORD m_version = 42;
    DWORD m_firstIfd = 10;
    std::vector<std::unique_ptr<TiffIfdEntry>> m_entries;
    BYTE* m_pixels = nullptr; // fixed global block
    DWORD m_pixelSize = 0;
};
