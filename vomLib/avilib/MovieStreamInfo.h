// An AVISTREAMINFO built in one step; every field not named is zero. The constructors whose argument
// lists would collide (all six integers) are named factories.
#pragma once

#include "platform/vfw/avifile.h"

struct CMovieStreamInfo : AVISTREAMINFOA {
    // rcFrame = (0, 0, width, height).
    CMovieStreamInfo(LONG width, LONG height, DWORD suggestedBufferSize, DWORD fccType, DWORD fccHandler,
                     DWORD scale, DWORD rate);
    CMovieStreamInfo(const RECT& frame, DWORD suggestedBufferSize, DWORD fccType, DWORD fccHandler,
                     DWORD scale, DWORD rate);
    // A video stream with a frame rectangle.
    CMovieStreamInfo(LONG left, LONG top, LONG right, LONG bottom, DWORD suggestedBufferSize,
                     DWORD fccHandler, DWORD scale, DWORD rate);

    // A video stream of width x height.
    static CMovieStreamInfo Video(LONG width, LONG height, DWORD suggestedBufferSize, DWORD fccHandler,
                                  DWORD scale, DWORD rate);
    // Motion-JPEG ('MJPG'); note the argument order.
    static CMovieStreamInfo Mjpeg(LONG width, LONG height, DWORD scale, DWORD rate, DWORD quality,
                                  DWORD suggestedBufferSize);
    // The recording system's Motion-JPEG ('YRJQ'); note the argument order.
    static CMovieStreamInfo Yrjq(LONG width, LONG height, DWORD suggestedBufferSize, DWORD scale, DWORD rate,
                                 DWORD quality);
};
static_assert(sizeof(CMovieStreamInfo) == sizeof(AVISTREAMINFOA));
