// The tracking view: over the picture it draws the tracked points of the shown frame (a red circle on
// each found point and a green frame around its template), and while the document's point input is on,
// a click sets the point selected in the position list.
//
// Positions are those of the point-frame table: x along the row and y = picture height - row, where a
// whole number names a pixel's centre. A click is taken at the centre of the screen pixel clicked, so
// at any zoom it lands on the picture pixel shown there, and a position is drawn on the screen pixel
// that shows it.
#pragma once

#include "KivIc/Playback/VesloView.h"

class CTrackingDoc;

class CTrackingView : public CVesloView {
    DECLARE_DYNCREATE(CTrackingView)
public:
    static constexpr int kMarkerSize = 5;
    static constexpr COLORREF kMarkerColour = RGB(255, 0, 0);
    static constexpr COLORREF kTemplateColour = RGB(0, 255, 0);

    CTrackingView();
    CTrackingDoc* GetTrackingDoc() const;

    // The reticle's crosshair, then the tracked points of the shown frame.
    void DrawOverlay(CDC* pDC) override;
    // The position list follows the frame shown.
    LRESULT OnFrameChanged() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    // The table position of a client point; FALSE off the picture (or without one).
    BOOL ClientToTablePoint(CPoint point, double* pX, double* pY) const;
    // The client pixel that shows a table position.
    CPoint TablePointToClient(double x, double y) const;
    // The client rectangle (right and bottom exclusive) of the picture pixels from (left, top) to
    // (right, bottom), rows counted from the top.
    CRect PixelsToClient(int left, int top, int right, int bottom) const;

protected:
    void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    long PictureHeight() const;
};
