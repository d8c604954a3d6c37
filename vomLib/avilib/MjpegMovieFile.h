// An AVI file that receives Motion-JPEG frames compressed by the library's own JPEG code.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "vomLib/avilib/MovieFile.h"
#include "vomLib/avilib/MovieStream.h"

class NOTES;

// The 68-byte stream format of a Motion-JPEG stream: the bitmap header, the offset of the JPEG
// information (44) and that information (baseline, YCbCr, 8 bits, 2 x 1 subsampling).
#pragma pack(push, 4)
struct MjpegStreamFormat {
    BITMAPINFOHEADER header;
    DWORD jpegInfoOffset;
    DWORD jpegSize;
    DWORD jpegProcess;
    DWORD jpegColorSpace;
    DWORD jpegBitsPerSample;
    DWORD jpegHSubsampling;
    DWORD jpegVSubsampling;
};
#pragma pack(pop)
static_assert(sizeof(MjpegStreamFormat) == 68);

class CMjpegMovieFile : public CMovieFile {
public:
    // The quality is kept on the compression options' scale (0..10000; 7500 = JPEG quality 75).
    static constexpr DWORD kDefaultQuality = 7500;

    CMjpegMovieFile();
    CMjpegMovieFile(LPCSTR name, UINT mode);
    explicit CMjpegMovieFile(PAVIFILE handle);
    ~CMjpegMovieFile() override;

    // Creates the file (replacing an existing one) with one 'MJPG' stream of width x height at rate
    // frames per second. quality: 0..10000. Returns the first failing result, else that of SetFormat.
    virtual HRESULT Create(LPCSTR name, DWORD reserved, LONG width, LONG height, DWORD rate, DWORD quality);
    using CMovieFile::Create;
    // A key frame of already-compressed data.
    virtual HRESULT WriteFrame(LONG position, LPVOID data, LONG size);
    // Compresses a packed 24-bit frame of the file's size as one JPEG image and writes it.
    virtual HRESULT CompressAndWrite(LONG position, const BYTE* pixels, DWORD reserved);
    // As Create on the file already open: a new stream replaces the current one.
    virtual HRESULT Recreate(DWORD reserved, LONG width, LONG height, DWORD rate, DWORD quality);
    // The 'CSTS' and 'NOTE' chunks of every stream list of fileName; 0 or -1.
    virtual int ReadInfoChunks(LPCSTR fileName, std::vector<std::string>& cstsList,
                               std::vector<NOTES>& notesList);

    const MjpegStreamFormat& Format() const { return m_format; }
    DWORD Quality() const { return m_quality; }
    CMovieStream* Stream() const { return m_stream.get(); }

private:
    HRESULT MakeStream(LONG width, LONG height, DWORD rate, DWORD quality);

    MjpegStreamFormat m_format{};
    std::unique_ptr<CMovieStream> m_stream;
    DWORD m_quality = kDefaultQuality;
};
