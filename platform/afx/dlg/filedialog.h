// The common file dialog: Qt's own (not the desktop's) file dialog, so that a registered dialog
// template can sit below the file list with its controls reachable by id and their commands going
// through the derived class's message map; the filter index goes in and comes back, a type change
// and the name check before closing reach the derived class.
#pragma once

#include <functional>

#include "platform/afx/dlg/dialog.h"

#define OFN_READONLY 0x00000001u
#define OFN_OVERWRITEPROMPT 0x00000002u
#define OFN_HIDEREADONLY 0x00000004u
#define OFN_ENABLETEMPLATE 0x00000040u
#define OFN_PATHMUSTEXIST 0x00000800u
#define OFN_FILEMUSTEXIST 0x00001000u
#define OFN_EXPLORER 0x00080000u

struct OPENFILENAME {
    DWORD Flags;
    LPCSTR lpstrFilter;
    LPCSTR lpstrDefExt;
    // 1-based entry of the filter; 0 counts as the first. Holds the user's choice after DoModal.
    DWORD nFilterIndex;
    // The window title; null for the dialog's own.
    LPCSTR lpstrTitle;
    // The registered dialog template shown below the file list when Flags has OFN_ENABLETEMPLATE.
    UINT nIDTemplate;
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

    // What the user does, for scripted answers while the dialog runs: pick the 1-based filter entry
    // (as from the type list: OnTypeChange follows), type a name, press the dialog's OK button (the
    // name is checked and OnFileNameOK may refuse it, the dialog then stays open).
    void PickFilter(int nFilterIndex);
    void TypeFileName(LPCTSTR lpszName);
    void PressOK();

    OPENFILENAME m_ofn{};
    BOOL m_bOpenFileDialog;
    CString m_strDefExt;
    CString m_strFilter;
    CString m_strInitialName;

protected:
    // After the user picked another entry of the filter; m_ofn.nFilterIndex already holds it.
    virtual void OnTypeChange() {}
    // The chosen name before the dialog closes (GetPathName and the rest give it): TRUE refuses it
    // and keeps the dialog open.
    virtual BOOL OnFileNameOK() { return FALSE; }
    // The template's OK command presses the dialog's own OK button.
    void OnOK() override;

private:
    class Widget;
    // The chosen name passed the dialog's own checks: takes it and asks OnFileNameOK.
    bool AcceptChosen(const CString& path);
    void CloseWithResult(int nResult);
    void SyncFilterIndex();

    CString m_strPath;
    Widget* m_pFileWidget = nullptr;
};

// Scripted answers to file dialogs: the hook gets the dialog after its initialisation. It may act as
// the user would (PickFilter, TypeFileName, the template's buttons, PressOK, OnCancel); a dialog it
// ended gives that result. Otherwise its return value is the answer, with the path it set by
// SetPathName for IDOK.
using AfxFileDialogHook = std::function<INT_PTR(CFileDialog*)>;
AfxFileDialogHook AfxSetFileDialogHook(AfxFileDialogHook hook);
