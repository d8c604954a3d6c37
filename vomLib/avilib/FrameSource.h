// Frame sources: any frame of a video stream turned into a two-field Motion-JPEG frame of 640 x 480
// pixels. Each source owns a 921600-byte buffer (640 x 480 x 3) and always hands out that buffer;
// the sizes it reports are the bytes really there.
#pragma once

#include <memory>

#include "vomLib/avilib/MovieBase.h"
#include "vomLib/avilib/MovieGetFrame.h"
#include "vomLib/avilib/MovieJpeg.h"

class CMovieStream;

class CMovieFrameSource : public CMovieBase {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;
    static constexpr DWORD kBufferSize = kWidth * kHeight * 3;

    // Opens a frame getter with the decoder's default format; its failure ("Failed GetFrameOpen. not
    // codec.") ends the construction.
    explicit CMovieFrameSource(CMovieStream& stream);
    ~CMovieFrameSource() override;

    // Returns the decoded frame of position (owned by the getter), or null when there is none; *out
    // receives the Motion-JPEG frame (this source's buffer) and *outSize its length.
    virtual LPBITMAPINFOHEADER GetFrame(LONG position, BYTE** out, DWORD* outSize) = 0;
    // Places a decoded 24-bit frame into the black 640 x 480 buffer, centred (cropped centrally when
    // larger), and returns the buffer.
    virtual BYTE* CenterFrameInBuffer(const BITMAPINFOHEADER* frame);

    const BYTE* Buffer() const { return m_buffer.get(); }

protected:
    LPBITMAPINFOHEADER DecodedFrame(LONG position);
    // Compresses the buffer as two fields at quality 75 and copies the result into the buffer.
    bool CompressBufferAsFields(const BYTE* pixels, BYTE** out, DWORD* outSize);

    std::unique_ptr<BYTE[]> m_buffer;
    PAVISTREAM m_stream = nullptr; // own reference
    CMovieGetFrame m_getter;
};

// The stored frame (JPEG data behind the getter's 40-byte header, both fields in one scan split by a
// restart marker) rebuilt as a two-field frame.
class CJfifFrameSource : public CMovieFrameSource {
public:
    explicit CJfifFrameSource(CMovieStream& stream);
    LPBITMAPINFOHEADER GetFrame(LONG position, BYTE** out, DWORD* outSize) override;

private:
    CMovieJpeg m_jpeg;
};

// 640 x 480 frames: the stored sample as it is; other sizes: the decoded frame centred and compressed.
class CMjpegFrameSource : public CMovieFrameSource {
public:
    explicit CMjpegFrameSource(CMovieStream& stream);
    LPBITMAPINFOHEADER GetFrame(LONG position, BYTE** out, DWORD* outSize) override;
};

// Always the decoded frame (centred when not 640 x 480) compressed as two fields.
class CDibMjpegFrameSource : public CMovieFrameSource {
public:
    explicit CDibMjpegFrameSource(CMovieStream& stream);
    LPBITMAPINFOHEADER GetFrame(LONG position, BYTE** out, DWORD* outSize) override;
};
