// The zoom-and-point view: shows one bitmap at a zoom ratio between 1:16 and 16:1, scrolls and pans
// it, zooms by steps around a point or to a dragged rectangle, and converts between client and image
// coordinates for the overlays and the point input of the layers above.
#pragma once

#include "vomLib/Control/PosInPainter.h"

class CPosInView : public CScrollView {
    DECLARE_DYNAMIC(CPosInView)
public:
    enum MouseMode {
        ModeNone = 0,
        ModeZoom = 1,
        ModeMoveArmed = 2,
        ModeMoving = 3,
        ModeRectArmed = 4,
        ModeRubberBand = 5
    };
    static constexpr int kZoomSteps = 31;
    // The zoom steps from 16:1 down to 1:16 as (numerator, denominator).
    static const int s_zoomTable[kZoomSteps][2];

    CPosInView();
    ~CPosInView() override;

    virtual void SetBitmap(HBITMAP hBitmap);
    virtual void DrawOverlay(CDC* pDC) = 0;
    virtual void OnZoomChanged() {}
    virtual void NotifyZoomChanged() { OnZoomChanged(); }
    void OnDraw(CDC*) override {}

    // Ratios are compared as numerator / denominator (full-width integers); outside [1:16, 16:1] the
    // nearer limit is set and the result is FALSE. Without a bitmap nothing is stored.
    BOOL SetZoom(int numerator, int denominator, BOOL bRedraw);
    // A percentage typed by the user: outside 7..1600 (1:16 and 16:1 as whole per cent) it is refused
    // and nothing changes.
    BOOL SetZoomPercent(long percent, BOOL bRedraw);
    int GetZoomPercent() const;
    DWORD GetZoom() const { return m_painter.m_dwZoom; }
    void ZoomIn(int x, int y, BOOL bRedraw);
    void ZoomOut(int x, int y, BOOL bRedraw);
    void OnZoomIn(BOOL bRedraw);
    void OnZoomOut(BOOL bRedraw);
    void CenterOn(int x, int y, BOOL bRedraw);
    CPoint GetViewCenter() const;
    void ScrollToImage(int x, int y, BOOL bRedraw);
    void SyncScrollBars(BOOL bRedraw);
    void UpdateScrollSizes();
    CPoint ClientToImage(CPoint point, BOOL bAlign) const;
    void ClientToImageF(CPoint point, BOOL bAlign, double* pX, double* pY) const;
    CPoint ImageToClientF(double x, double y, BOOL bAddDestination) const;
    HBITMAP GetBitmap() const { return m_painter.m_hBitmap; }
    CPoint GetImageOrigin() const { return CPoint(m_painter.m_nOriginX, m_painter.m_nOriginY); }
    int GetMouseMode() const { return m_nMouseMode; }
    void SetMouseMode(int mode) { m_nMouseMode = mode; }
    // Crosshair lines with the point cursor (nothing in the program turns them on by itself).
    void SetCrosshairLines(bool bOn, HCURSOR hPointCursor = nullptr);

    int m_nMouseMode = ModeNone;
    BOOL m_bCaptured = FALSE;
    HCURSOR m_hPointCursor = nullptr;
    HCURSOR m_hCrossCursor = nullptr;
    HCURSOR m_hSavedCursor = nullptr;
    HCURSOR m_hMoveCursor = nullptr;
    HCURSOR m_hZoomCursor = nullptr;
    HCURSOR m_hRectCursor = nullptr;
    HCURSOR m_hCross2Cursor = nullptr;
    CPosInPainter m_painter;
    CPosInDrag m_drag;

protected:
    // Image pixels for a client distance, rounding toward minus infinity.
    int ToImage(long long client) const;
    void ZoomToRect(CPoint a, CPoint b);
    void OnScrollBar(int nBar, UINT nSBCode, UINT nPos);
    void RestoreCursor();

    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    DECLARE_MESSAGE_MAP()
};
