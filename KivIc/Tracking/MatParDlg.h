// The matching parameters of the tracked points (dialog 272): template and search sizes, rotation and
// prediction of one point at a time, applied to that point or to all of them. The parameters are
// edited in place, and the window to notify hears of every apply so that it redraws.
#pragma once

#include "platform/afx/afxwin.h"

class MatchingParam;
class TrackingJobPar;

// Sent (wParam 0, lParam 0) to the dialog's notify window after each apply.
constexpr UINT WM_MATPAR_APPLIED = WM_USER + 0x64;

class CMatParDlg : public CDialog {
public:
    enum {
        IDD = 272,
        IDC_MATPAR_ROTATE_ENABLE = 1170,
        IDC_MATPAR_ROTATE_DISABLE = 1171,
        IDC_MATPAR_TEMPLATE_WIDTH = 1172,
        IDC_MATPAR_TEMPLATE_WIDTH_SPIN = 1173,
        IDC_MATPAR_TEMPLATE_HEIGHT = 1174,
        IDC_MATPAR_TEMPLATE_HEIGHT_SPIN = 1175,
        IDC_MATPAR_SEARCH_WIDTH = 1176,
        IDC_MATPAR_SEARCH_HEIGHT = 1177,
        IDC_MATPAR_SEARCH_HEIGHT_SPIN = 1178,
        IDC_MATPAR_SEARCH_WIDTH_SPIN = 1179,
        IDC_MATPAR_APPLY = 1180,
        IDC_MATPAR_APPLY_ALL = 1181,
        IDC_MATPAR_POINT = 1182,
        IDC_MATPAR_PREDICT_ENABLE = 1183,
        IDC_MATPAR_PREDICT_DISABLE = 1184,
    };
    // Radius and margin fields take up to this; larger values would overflow the size arithmetic of the
    // matchers. A radius may be 0 (a 1 x 1 template); a margin must be at least 1, since the default
    // matcher refuses a search area no wider and taller than the template.
    static constexpr int kMaxSize = 32767;
    static constexpr int kMinMargin = 1;

    // pParams: the per-point parameters, edited in place (not owned; null shows no points);
    // pNotifyWnd: gets WM_MATPAR_APPLIED after each apply (may be null).
    CMatParDlg(CWnd* pNotifyWnd, TrackingJobPar* pParams, CWnd* pParent = nullptr);

    // Fills the members from the first parameter set of the point (0-based); a point without a set
    // shows the defaults.
    void LoadPoint(int index);
    // Writes the members into mp.
    void StoreToParam(MatchingParam& mp) const;

    // Radio choices: 0 Enable, 1 Disable, -1 none.
    int m_nRotation = -1;
    int m_nTemplateWidth = 0;
    int m_nTemplateHeight = 0;
    int m_nSearchWidth = 0;
    int m_nSearchHeight = 0;
    // The point chosen in the combo box (0-based), -1 when none.
    int m_nPoint = -1;
    int m_nPrediction = -1;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnApply();
    void OnApplyAll();
    void OnSelChangePoint();
    DECLARE_MESSAGE_MAP()

private:
    // Reads the fields; on a bad field the user was told, the members keep their values and false
    // comes back.
    bool ReadFields();
    bool Apply();
    void NotifyApplied();
    // The point's first set, made with the defaults when the point has none; null without the point.
    MatchingParam* FirstParam(int index, bool create) const;

    CWnd* m_pNotifyWnd;
    TrackingJobPar* m_pParams;
};
