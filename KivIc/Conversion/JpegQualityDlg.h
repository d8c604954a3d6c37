// Asks for the JPEG quality of a conversion: a slider of 1 to 100 whose position times 100 is the
// quality (100 to 10000, the Video for Windows scale the conversion keeps), shown in the field beside it.
#pragma once

#include "platform/afx/afxwin.h"

class CJpegQualityDlg : public CDialog {
    DECLARE_DYNAMIC(CJpegQualityDlg)
public:
    enum { IDD = 259, IDC_QUALITY_SLIDER = 1163, IDC_QUALITY_EDIT = 1164 };
    // nQuality: the value shown at the start (slider at nQuality / 100).
    explicit CJpegQualityDlg(int nQuality, CWnd* pParent = nullptr);

    CSliderCtrl* GetSlider();

    // The quality; after OK the one chosen.
    int m_nQuality;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    DECLARE_MESSAGE_MAP()
};
