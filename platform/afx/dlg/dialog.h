// Dialogs built from registered templates, with data exchange between members and controls
// (integers with range checks and the standard messages, texts, check boxes, radio groups, list
// selections); the common file dialog is in filedialog.h.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/afx/ctrl/controls.h"

class CDialog;

// Thrown (as a pointer) when data exchange fails after the user was told why.
class CUserException : public CException {
    DECLARE_DYNAMIC(CUserException)
};
[[noreturn]] void AfxThrowUserException();

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Puts the focus back on the last prepared control and throws CUserException.
    [[noreturn]] void Fail();

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    int m_idLastControl = 0;
    BOOL m_bEditLastControl = FALSE;
};

void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// The index of the checked button in the radio group whose first button is nIDC; -1 when none is
// checked (loading -1 clears them all).
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// The selected entry of the combo box nIDC; -1 when none.
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal);
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Modeless: the dialog stays until DestroyWindow.
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int nResult);
    void GotoDlgCtrl(CWnd* pWndCtrl);
    BOOL IsModalRunning() const { return m_bInModal; }
    INT_PTR GetModalResult() const { return m_nModalResult; }

    UINT m_nIDHelp = 0;

protected:
    BOOL CreateFromTemplate(CWnd* pParentWnd);
    void OnClose();
    LRESULT OnInitDialogMessage(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;
    std::vector<std::unique_ptr<CWnd>> m_controls;
    bool m_bInModal = false;
    bool m_bEnded = false;
    INT_PTR m_nModalResult = -1;
};

// Tests and scripted runs answer modal dialogs without a loop: the hook gets the dialog after its
// initialisation and ends it (OnOK, OnCancel, EndDialog); a dialog it leaves open counts as cancelled.
using AfxModalHook = std::function<void(CDialog*)>;
AfxModalHook AfxSetModalHook(AfxModalHook hook);

#include "platform/afx/dlg/filedialog.h"
