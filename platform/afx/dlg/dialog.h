// Dialogs built from registered templates, with data exchange between members and controls
// (integers with range checks and the standard messages, texts, check boxes, radio groups, list
// selections) and the common file dialog.
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

#define OFN_READONLY 0x00000001u
#define OFN_OVERWRITEPROMPT 0x00000002u
#define OFN_HIDEREADONLY 0x00000004u
#define OFN_PATHMUSTEXIST 0x00000800u
#define OFN_FILEMUSTEXIST 0x00001000u

struct OPENFILENAME {
    DWORD Flags;
    LPCSTR lpstrFilter;
    LPCSTR lpstrDefExt;
};

class CFileDialog : public CDialog {
    DECLARE_DYNAMIC(CFileDialog)
public:
    CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                CWnd* pParentWnd = nullptr);
    INT_PTR DoModal() override;
    CString GetPathName() const { return m_strPath; }
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    // The filter as Qt writes it ("Reticle Files (*.csv);;All Files (*.*)").
    CString GetQtFilter() const;
    // Sets the chosen path (used by the answer hook).
    void SetPathName(LPCTSTR lpszPath) { m_strPath = lpszPath; }

    OPENFILENAME m_ofn{};
    BOOL m_bOpenFileDialog;
    CString m_strDefExt;
    CString m_strFilter;
    CString m_strInitialName;

private:
    CString m_strPath;
};

// Scripted answers to file dialogs: the hook fills in the path and returns IDOK or IDCANCEL.
using AfxFileDialogHook = std::function<INT_PTR(CFileDialog*)>;
AfxFileDialogHook AfxSetFileDialogHook(AfxFileDialogHook hook);
