// Device contexts, bitmaps, pens and brushes on Qt's raster painter.
//
// Every device-dependent bitmap is a 32-bit image (the screen's format); device-independent bitmaps
// (BITMAPINFO + bits) are converted on the way in and out. Drawing follows the pixel rules that the
// code above relies on: rectangles and fills cover [left, right) x [top, bottom), lines leave out
// their last pixel, COLORONCOLOR stretching picks source pixel floor(i * srcExtent / dstExtent).
//
// Kinds of device context:
// - the screen DC (GetDC(nullptr)): a 32-bit device with the primary screen's size; drawing on it is
//   discarded, it serves as the reference for compatible DCs and bitmaps;
// - window DCs (GetDC(window)): the surface comes from the provider that the window layer installs
//   (see gdiqt.h); without a provider a window DC behaves like the screen DC;
// - memory DCs (CreateCompatibleDC): draw into the bitmap selected into them (a 1x1 stand-in
//   bitmap until one is selected);
// - DCs on a QImage or on an active QPainter (gdiqt.h), for Qt paint events and tests.
//
// Handles are checked against the live object table: a stale or foreign handle makes the call fail
// instead of touching freed memory. Objects are not shared between threads; the table is.
#pragma once

#include <type_traits>

#include "platform/win32/bitmap.h"
#include "platform/win32/types.h"

// --- Raster operations of BitBlt / StretchBlt ---------------------------------------------------------
#define SRCCOPY 0x00CC0020u
#define SRCPAINT 0x00EE0086u
#define SRCAND 0x008800C6u
#define SRCINVERT 0x00660046u
#define SRCERASE 0x00440328u
#define NOTSRCCOPY 0x00330008u
#define NOTSRCERASE 0x001100A6u
#define MERGEPAINT 0x00BB0226u
#define PATCOPY 0x00F00021u
#define PATINVERT 0x005A0049u
#define DSTINVERT 0x00550009u
#define BLACKNESS 0x00000042u
#define WHITENESS 0x00FF0062u

// --- Stretch modes -------------------------------------------------------------------------------------
#define BLACKONWHITE 1
#define WHITEONBLACK 2
#define COLORONCOLOR 3
#define HALFTONE 4
#define STRETCH_ANDSCANS BLACKONWHITE
#define STRETCH_ORSCANS WHITEONBLACK
#define STRETCH_DELETESCANS COLORONCOLOR
#define STRETCH_HALFTONE HALFTONE

// --- Binary raster operations of pens and fills (SetROP2) ----------------------------------------------
#define R2_BLACK 1
#define R2_NOTMERGEPEN 2
#define R2_MASKNOTPEN 3
#define R2_NOTCOPYPEN 4
#define R2_MASKPENNOT 5
#define R2_NOT 6
#define R2_XORPEN 7
#define R2_NOTMASKPEN 8
#define R2_MASKPEN 9
#define R2_NOTXORPEN 10
#define R2_NOP 11
#define R2_MERGENOTPEN 12
#define R2_COPYPEN 13
#define R2_MERGEPENNOT 14
#define R2_MERGEPEN 15
#define R2_WHITE 16

// --- Pens, brushes, background, polygon filling --------------------------------------------------------
#define PS_SOLID 0
#define PS_DASH 1
#define PS_DOT 2
#define PS_DASHDOT 3
#define PS_DASHDOTDOT 4
#define PS_NULL 5
#define PS_INSIDEFRAME 6

#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL

#define TRANSPARENT 1
#define OPAQUE 2

#define ALTERNATE 1
#define WINDING 2

// --- Stock objects ---------------------------------------------------------------------------------------
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define SYSTEM_FONT 13
#define DEFAULT_GUI_FONT 17

// --- Object types (GetObjectType) ----------------------------------------------------------------------
#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_FONT 6
#define OBJ_BITMAP 7
#define OBJ_MEMDC 10

// --- CreateDIBitmap, GetDeviceCaps, errors ----------------------------------------------------------------
#define CBM_INIT 0x04u
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define LOGPIXELSX 88
#define LOGPIXELSY 90
#define CLR_INVALID 0xFFFFFFFFu
#define HGDI_ERROR (reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(-1)))

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};
using LPBITMAP = BITMAP*;

struct LOGPEN {
    UINT lopnStyle;
    POINT lopnWidth;
    COLORREF lopnColor;
};

struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    ULONG_PTR lbHatch;
};

// The handles that SelectObject, DeleteObject and GetObject take besides HGDIOBJ itself (on Windows all
// GDI handles convert to HGDIOBJ; here they are distinct types, so these overloads do the conversion).
template <typename H>
concept GdiObjectHandle =
    std::is_same_v<H, HBITMAP> || std::is_same_v<H, HPEN> || std::is_same_v<H, HBRUSH> ||
    std::is_same_v<H, HFONT> || std::is_same_v<H, HPALETTE> || std::is_same_v<H, HRGN>;

// --- Device contexts ------------------------------------------------------------------------------------
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
int GetDeviceCaps(HDC dc, int index);
// Replaces the DC's current pen, brush, font or bitmap and returns the previous one; null when the
// object cannot be selected (a bitmap already selected into another DC, or into a non-memory DC).
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
// A stock object, a pen, brush or bitmap still selected into a DC is not deleted (FALSE, except stock
// objects, which report TRUE and stay).
BOOL DeleteObject(HGDIOBJ object);
HGDIOBJ GetStockObject(int index);
DWORD GetObjectType(HGDIOBJ object);
// BITMAP for bitmaps, LOGPEN for pens, LOGBRUSH for brushes; returns the bytes written (the needed size
// when buffer is null), 0 on failure.
int GetObjectA(HGDIOBJ object, int bytes, LPVOID buffer);
#define GetObject GetObjectA
template <GdiObjectHandle H> inline HGDIOBJ SelectObject(HDC dc, H object) {
    return SelectObject(dc, reinterpret_cast<HGDIOBJ>(object));
}
template <GdiObjectHandle H> inline BOOL DeleteObject(H object) {
    return DeleteObject(reinterpret_cast<HGDIOBJ>(object));
}
template <GdiObjectHandle H> inline int GetObjectA(H object, int bytes, LPVOID buffer) {
    return GetObjectA(reinterpret_cast<HGDIOBJ>(object), bytes, buffer);
}
// Live GDI objects of the process (DCs included, stock objects excluded): lets tests see leaks.
DWORD GetGdiObjectCount();

// --- Attributes --------------------------------------------------------------------------------------
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
int SetROP2(HDC dc, int mode);
int GetROP2(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
int GetPolyFillMode(HDC dc);

// --- Pens and brushes ----------------------------------------------------------------------------------
HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* pen);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);

// --- Bitmaps -----------------------------------------------------------------------------------------
// A device bitmap of the DC's format (always 32 bits here), black.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// A device bitmap of the header's size (height taken as |height|); with CBM_INIT the DIB bits are
// converted into it (DIB_RGB_COLORS only). Supported DIBs: BI_RGB at 1, 4, 8, 16, 24 and 32 bits,
// BI_BITFIELDS at 16 and 32 bits. The bits must hold |height| rows of DibRowBytes(width, bitCount).
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, LPCVOID bits,
                       const BITMAPINFO* info, UINT usage);
// Copies scan lines [start, start + lines) (counted from the bottom for a bottom-up DIB) between a bitmap
// and a DIB. GetDIBits writes 16 (5-5-5), 24 or 32 bits; with null bits it fills in the header (for
// biBitCount 0 the bitmap's own format) and returns nonzero. Both return the lines copied, 0 on failure.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info, UINT usage);
int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPCVOID bits, const BITMAPINFO* info,
              UINT usage);

// --- Transfers ------------------------------------------------------------------------------------
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop);
// COLORONCOLOR (and the two scan-combining modes, treated alike) picks pixels; HALFTONE averages the
// source pixels that each destination pixel covers. A negative extent mirrors.
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sourceWidth,
                int sourceHeight, DWORD rop);
// The source rectangle of a bottom-up DIB is measured from its lower-left corner. Returns the number of
// scan lines drawn, 0 on failure.
int StretchDIBits(HDC dc, int x, int y, int width, int height, int sx, int sy, int sourceWidth,
                  int sourceHeight, LPCVOID bits, const BITMAPINFO* info, UINT usage, DWORD rop);

// --- Drawing -------------------------------------------------------------------------------------------
BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous);
BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* points, int count);
// Outline with the pen, inside with the brush; covers [left, right) x [top, bottom).
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
BOOL Polygon(HDC dc, const POINT* points, int count);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// A one-pixel border in the brush's colour just inside the rectangle.
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
// CLR_INVALID outside the surface or on a DC whose pixels cannot be read (screen, painter on a widget).
COLORREF GetPixel(HDC dc, int x, int y);
// Draws text with the top-left of its cell at (x, y) in the text colour; the background cell is filled
// with the background colour in OPAQUE mode. Needs a running QGuiApplication for its fonts.
BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length);
#define TextOut TextOutA
