// An image with an optional 256-entry palette, converted to and from the bottom-up BGR rows of
// device-independent bitmaps, and turned into device bitmaps for display.
#pragma once

#include "platform/gdi/gdi.h"
#include "vomLib/Image/IMGObject.h"

class BmpImgObject : public IMGObject {
    DECLARE_DYNAMIC(BmpImgObject)
public:
    BmpImgObject() = default;
    // SetImage, then the grey palette for a 1-sample 8-bit image.
    BmpImgObject(DWORD width, int height, WORD samples, WORD bitsPerPixel, const BYTE* pixels);
    ~BmpImgObject() override;

    // Stores an image. Up to 24 bits per pixel, or other than 3 samples, the packed rows are copied as
    // they are; 3 samples of more than 8 bits each (16-bit words up to 16 bits, 32-bit words beyond)
    // are reduced to 8 bits each by dropping their low bits. pixels may be null (block only). FALSE
    // when the geometry is invalid or the block cannot be allocated.
    BOOL SetImage(DWORD width, int height, WORD samples, WORD bitsPerPixel, const BYTE* pixels);
    // As SetImage for fewer than 24 bits per pixel or other than 3 samples; otherwise stores 24-bit
    // pixels bottom-up with the sample order reversed (top-down RGB in, bottom-up BGR out).
    BOOL SetImageFlipped(DWORD width, int height, WORD samples, WORD bitsPerPixel, const BYTE* pixels);

    // Replaces the palette by the grey ramp (entry i = i, i, i) and returns it.
    RGBQUAD* MakeGreyPalette();
    // Replaces the palette by count entries (at most 256; the rest black); null colors removes it.
    void SetPalette(const RGBQUAD* colors, DWORD count);
    const RGBQUAD* GetPalette() const { return m_palette; }

    // A device bitmap of the image on the window's DC (the screen when window is null).
    HBITMAP CreateBitmap(HWND window) const;
    // A device bitmap of the image on dc; null when there is no image or the DC refuses it. The caller
    // owns the bitmap.
    HBITMAP CreateBitmapOnDC(HDC dc) const;

private:
    RGBQUAD* m_palette = nullptr;
};
