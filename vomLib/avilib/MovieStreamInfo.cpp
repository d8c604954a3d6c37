// Stream headers built in one step.
#include "vomLib/avilib/MovieStreamInfo.h"

CMovieStreamInfo::CMovieStreamInfo(LONG width, LONG height, DWORD suggestedBufferSize, DWORD fccType,
                                   DWORD fccHandler, DWORD scale, DWORD rate)
    : CMovieStreamInfo(RECT{0, 0, width, height}, suggestedBufferSize, fccType, fccHandler, scale, rate) {}

CMovieStreamInfo::CMovieStreamInfo(const RECT& frame, DWORD suggestedBufferSize, DWORD fccType,
                                   DWORD fccHandler, DWORD scale, DWORD rate)
    : AVISTREAMINFOA{} {
    this->fccType = fccType;
    this->fccHandler = fccHandler;
    dwScale = scale;
    dwRate = rate;
    dwSuggestedBufferSize = suggestedBufferSize;
    rcFrame = frame;
}

CMovieStreamInfo::CMovieStreamInfo(LONG left, LONG top, LONG right, LONG bottom, DWORD suggestedBufferSize,
                                   DWORD fccHandler, DWORD scale, DWORD rate)
    : CMovieStreamInfo(RECT{left, top, right, bottom}, suggestedBufferSize, streamtypeVIDEO, fccHandler,
                       scale, rate) {}

CMovieStreamInfo CMovieStreamInfo::Video(LONG width, LONG height, DWORD suggestedBufferSize, DWORD fccHandler,
                                         DWORD scale, DWORD rate) {
    return CMovieStreamInfo(width, height, suggestedBufferSize, streamtypeVIDEO, fccHandler, scale, rate);
}

CMovieStreamInfo CMovieStreamInfo::Mjpeg(LONG width, LONG height, DWORD scale, DWORD rate, DWORD quality,
                                         DWORD suggestedBufferSize) {
    CMovieStreamInfo info(width, height, suggestedBufferSize, streamtypeVIDEO, mmioFOURCC('M', 'J', 'P', 'G'),
                          scale, rate);
    info.dwQuality = quality;
    return info;
}

CMovieStreamInfo CMovieStreamInfo::Yrjq(LONG width, LONG height, DWORD suggestedBufferSize, DWORD scale,
                                        DWORD rate, DWORD quality) {
    CMovieStreamInfo info(width, height, suggestedBufferSize, streamtypeVIDEO, mmioFOURCC('Y', 'R', 'J', 'Q'),
                          scale, rate);
    info.dwQuality = quality;
    return info;
}
