// The playback view of every recording window: redraws when the play thread reports a new frame,
// resets the zoom when the picture's size changes and keeps the control bar's zoom field current.
#pragma once

#include "KivIc/Play/PlayEvent.h"
#include "KivIc/Reticle/ReticleView.h"

class CVesloDoc;

class CVesloView : public CReticleView {
    DECLARE_DYNCREATE(CVesloView)
public:
    CVesloView();
    CVesloDoc* GetVesloDoc() const;

    // A picture of another size than the last one puts the zoom back to 1:1.
    void SetBitmap(HBITMAP hBitmap) override;
    // Shows the zoom in per cent in the control bar.
    void OnZoomChanged() override;
    void OnInitialUpdate() override;
    // The play thread moved the document: the whole view repaints at once.
    virtual LRESULT OnFrameChanged();
    // The zoom ratio as per cent: numerator x 100 / denominator.
    int GetZoomPercentShown() const;

    unsigned short GetShownWidth() const { return m_nBitmapWidth; }
    unsigned short GetShownHeight() const { return m_nBitmapHeight; }

protected:
    // The document's display bitmap into the view, for views that show it as it is (none while the
    // document has none). Set every time, also when the handle is the one shown: a handle the
    // document deleted may come back as a later picture's.
    void TakeDocumentBitmap();
    LRESULT OnFrameChangedMessage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    unsigned short m_nBitmapWidth = 0;
    unsigned short m_nBitmapHeight = 0;
};
