// Frames of a stream through the frame getter.
#include "vomLib/avilib/MovieException.h"
#include "vomLib/avilib/MovieGetFrame.h"
#include "vomLib/avilib/MovieStream.h"

CMovieGetFrame::CMovieGetFrame(CMovieStream& stream, LPBITMAPINFOHEADER wanted) {
    m_getter = AVIStreamGetFrameOpen(stream.GetHandle(), wanted);
    if (!m_getter)
        throw CMovieException(1, "Failed GetFrameOpen. not codec.");
    m_stream = stream.GetHandle();
    AVIStreamAddRef(m_stream);
}

CMovieGetFrame::~CMovieGetFrame() {
    AVIStreamGetFrameClose(m_getter);
    AVIStreamRelease(m_stream);
}

LPVOID CMovieGetFrame::GetFrame(LONG position) {
    return AVIStreamGetFrame(m_getter, position);
}
