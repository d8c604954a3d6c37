// The root of the AVI file classes and of the frame sources, with the one conversion they share: a
// decoded uncompressed frame turned into a packed 24-bit frame bitmap.
#pragma once

#include "platform/win32/bitmap.h"

class CMovieBase {
public:
    CMovieBase() = default;
    virtual ~CMovieBase() = default;
    CMovieBase(const CMovieBase&) = delete;
    CMovieBase& operator=(const CMovieBase&) = delete;

    // source: a BITMAPINFOHEADER, its colour table and its pixels (rows padded to 4 bytes, top-down when
    // biHeight < 0). destination (ConvertedSize bytes): a packed 24-bit frame bitmap.
    // - 24-bit sources are copied as they are: the header and biSizeImage pixel bytes (width x 3 x height
    //   when biSizeImage is 0); *outSize = biSize + that size.
    // - 1, 4, 8 and 16-bit (5-5-5) sources become a 40-byte header and bottom-up rows of exactly 3 x width
    //   bytes; palette indexes outside the colour table give black.
    // Returns FALSE, leaving destination alone, for sources of more than 24 bits, compressed sources and
    // headers that do not describe a bitmap.
    virtual BOOL ConvertTo24Bit(const BITMAPINFOHEADER* source, BYTE* destination, DWORD* outSize);

    // The bytes ConvertTo24Bit writes for source (0 when it would refuse it).
    static DWORD ConvertedSize(const BITMAPINFOHEADER* source);
};
