// DrawDib: draws device-independent bitmaps, stretched, onto a device context of the GDI layer.
// Compressed bitmaps are decoded through the compressor manager first.
#pragma once

#include "platform/vfw/avifile.h"

struct DRAWDIB;
using HDRAWDIB = DRAWDIB*;

#define DDF_HALFTONE 0x1000u

HDRAWDIB DrawDibOpen();
// Null-safe; TRUE when a handle was closed.
BOOL DrawDibClose(HDRAWDIB hdd);
// Draws the source rectangle (xSrc, ySrc, dxSrc, dySrc; a dxSrc of -1 means the whole bitmap) of the
// bitmap header + bits (bits null: they follow the header and its colour table) to the destination
// rectangle (a dxDst of -1 means the source size). Source coordinates count from the bitmap's top-left.
// With DDF_HALFTONE the picture is averaged when shrunk, otherwise the DC's stretch mode applies.
BOOL DrawDibDraw(HDRAWDIB hdd, HDC dc, int xDst, int yDst, int dxDst, int dyDst, LPBITMAPINFOHEADER header,
                 LPVOID bits, int xSrc, int ySrc, int dxSrc, int dySrc, UINT flags);
