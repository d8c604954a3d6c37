// A decompressing frame reader on one stream (it keeps its own reference to the stream).
#pragma once

#include "platform/vfw/vfw.h"

class CMovieStream;

class CMovieGetFrame {
public:
    // wanted: the format to decode to, or null for the decoder's default. Throws CMovieException
    // {1, "Failed GetFrameOpen. not codec."} when no decoder fits.
    CMovieGetFrame(CMovieStream& stream, LPBITMAPINFOHEADER wanted);
    virtual ~CMovieGetFrame();
    CMovieGetFrame(const CMovieGetFrame&) = delete;
    CMovieGetFrame& operator=(const CMovieGetFrame&) = delete;

    // The packed DIB of the frame (header, colour table, pixels), owned by the getter and valid until the
    // next call or the getter's destruction; null when the frame cannot be delivered.
    virtual LPVOID GetFrame(LONG position);

private:
    PAVISTREAM m_stream = nullptr;
    PGETFRAME m_getter = nullptr;
};
