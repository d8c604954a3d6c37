// Two file dialogs with dialog 180 below the file list: a check box "Auto Format Conversion", two
// numbers with up-down buttons, a "Simple" button and a list. When the window goes, each keeps the two
// numbers as the fields show them and the check box's state. "Simple" ends CQuibFileFrames as OK; in
// CQuibFileSelect it does nothing. The list and the up-down buttons have no behaviour of their own.
#pragma once

#include "platform/afx/afxwin.h"

// What the fields of dialog 180 held when the window went.
struct QuibFileFields {
    enum {
        IDD = 180,
        IDC_AUTO_CONVERSION = 1050,
        IDC_FIRST_NUMBER = 1051,
        IDC_FIRST_SPIN = 1052,
        IDC_SECOND_NUMBER = 1053,
        IDC_SECOND_SPIN = 1055,
        IDC_SIMPLE = 1073,
        IDC_LIST = 1074,
    };
    // Numbers are read as atoi reads them, from the first 256 characters; one too large for an int is
    // held at the nearest end.
    int nFirstNumber = 0;
    int nSecondNumber = 0;
    int nAutoConversion = BST_UNCHECKED;

    void Store(const CWnd& dialog);
    // Puts dialog 180 below the file list of the dialog.
    static void UseTemplate(CFileDialog& dialog);
};

class CQuibFileFrames : public CFileDialog {
    DECLARE_DYNAMIC(CQuibFileFrames)
public:
    explicit CQuibFileFrames(BOOL bOpenFileDialog, LPCTSTR lpszFilter = nullptr, CWnd* pParentWnd = nullptr);
    QuibFileFields m_fields;

protected:
    void OnDestroy();
    void OnSimple();
    DECLARE_MESSAGE_MAP()
};

class CQuibFileSelect : public CFileDialog {
    DECLARE_DYNAMIC(CQuibFileSelect)
public:
    explicit CQuibFileSelect(BOOL bOpenFileDialog, LPCTSTR lpszFilter = nullptr, CWnd* pParentWnd = nullptr);
    QuibFileFields m_fields;
    // Part of the class's data; nothing in it reads or writes it.
    DWORD m_dwSelection = 0;

protected:
    void OnDestroy();
    DECLARE_MESSAGE_MAP()
};
