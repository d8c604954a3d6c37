// The image painter of the zoom-and-point view: which part of the bitmap shows where in the client
// area at the current zoom ratio and alignment, drawing it, and the crosshair.
#pragma once

#include "platform/afx/afxwin.h"

// Alignment flags of the picture inside a larger client area.
#define POSIN_ALIGN_TOP 0x01
#define POSIN_ALIGN_VCENTER 0x02
#define POSIN_ALIGN_BOTTOM 0x04
#define POSIN_ALIGN_VFILL 0x80
#define POSIN_ALIGN_HFILL 0x08
#define POSIN_ALIGN_LEFT 0x10
#define POSIN_ALIGN_HCENTER 0x20
#define POSIN_ALIGN_RIGHT 0x40

// The zoom word: numerator in the high 16 bits, denominator in the low 16 bits.
inline int ZoomNumerator(DWORD zoom) {
    return static_cast<short>(HIWORD(zoom));
}
inline int ZoomDenominator(DWORD zoom) {
    return static_cast<short>(LOWORD(zoom));
}
inline DWORD MakeZoom(int numerator, int denominator) {
    return (static_cast<DWORD>(static_cast<WORD>(numerator)) << 16) | static_cast<WORD>(denominator);
}

class CPosInPainter {
public:
    CPosInPainter() = default;
    virtual ~CPosInPainter() = default;

    // The image, then the crosshair when both crosshair flags are set and the pointer is on the picture.
    virtual void Draw(HDC hDC);
    // Takes the client size, invalidates (erasing when asked) and paints at once.
    virtual void Refresh(HWND hWnd, BOOL bErase);

    // Source rectangle (image pixels) and destination rectangle (client pixels), both inclusive. FALSE
    // without a bitmap.
    BOOL GetRects(RECT* pSource, RECT* pDestination) const;
    // Inside the destination rectangle, edges included.
    BOOL HitTest(POINT point) const;
    // Full crosshair through the point across the destination rectangle, in the crosshair pen.
    void DrawCross(HDC hDC, POINT point) const;
    // Where the picture begins in the client area beyond the destination origin (the alignment offset of
    // the drawn placement); drawing and every client-to-image conversion use this one offset.
    POINT GetAlignOffset() const;
    // The bitmap's size; FALSE without a bitmap.
    BOOL GetBitmapSize(LONG* pWidth, LONG* pHeight) const;

    SHORT m_nClientWidth = 0;
    SHORT m_nClientHeight = 0;
    SHORT m_nDestX = 0;
    SHORT m_nDestY = 0;
    HBITMAP m_hBitmap = nullptr;
    DWORD m_dwAlign = POSIN_ALIGN_VCENTER | POSIN_ALIGN_HCENTER;
    DWORD m_dwZoom = 0x10001;
    int m_nOriginX = 0;
    int m_nOriginY = 0;
    bool m_bCrosshair = false;
    bool m_bCrosshairLines = false;
    int m_nCrossPenStyle = PS_SOLID;
    int m_nCrossWidth = 1;
    COLORREF m_crCross = RGB(255, 255, 255);
    double m_dPointerX = 0.0;
    double m_dPointerY = 0.0;
};

// The mouse drag state of the view.
class CPosInDrag {
public:
    virtual ~CPosInDrag() = default;
    CPoint m_ptPress;
    CPoint m_ptRightPress;
    COLORREF m_crRubberBand = RGB(255, 0, 0);
    int m_nToleranceX = 1;
    int m_nToleranceY = 1;
};
