// The reticle view: clicks become image positions counted from the picture's bottom edge; while point
// input is on, a left click writes a row and a right click moves the origin, which is drawn as a
// crosshair over the picture.
#pragma once

#include "KivIc/Reticle/ReticleDoc.h"
#include "vomLib/Control/PosInView.h"

class CReticleView : public CPosInView {
    DECLARE_DYNAMIC(CReticleView)
public:
    CReticleView();
    CReticleDoc* GetReticleDoc() const;

    using CPosInView::ClientToImage;
    // The image position of a client point relative to the origin (X0, Y0).
    void ClientToImage(CPoint point, double* pX, double* pY) const;
    // The image position of a client point, y counted from the bottom edge.
    void ClientToImageBottomUp(CPoint point, double* pX, double* pY) const;
    // (H - y) - d / n: converts between top-down and bottom-up rows in both directions.
    double ImageYFromBottom(long height, double y) const;
    // Point input on or off, as the frame's command switches it: on asks for the file (and reports a file
    // that cannot be opened), sets the crosshair and redraws; off closes the file and redraws.
    BOOL TogglePointInput();

    void DrawOverlay(CDC* pDC) override;
    void OnInitialUpdate() override;
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;

    int m_nActive = 0;

protected:
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};
