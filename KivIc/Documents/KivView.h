// The raw camera view: while the document's white-balance sample mode is on, a left click on the
// picture picks the sample point (and ends the mode); otherwise clicks are the tracking view's.
#pragma once

#include "KivIc/Documents/Ovisk.h"

class CFcDoc;

class CKivView : public COvisk {
    DECLARE_DYNCREATE(CKivView)
public:
    CKivView();
    CFcDoc* GetFcDoc() const;

    // The sample point at a picture pixel (column, row from the top) of the shown frame: inside the
    // picture the white balance is taken there and the mode ends (TRUE); outside nothing happens and
    // the mode stays on.
    BOOL PickSamplePoint(CPoint picture);

protected:
    void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};
