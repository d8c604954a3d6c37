// The application object: start-up and exit, document templates, opening files by extension, the
// recent-file list and the framework profile (a settings file), idle-time updates of the bars.
#pragma once

#include <memory>
#include <vector>

#include "platform/afx/doc/document.h"
#include "platform/afx/wnd/resources.h"

class CWnd;
class QApplication;
class QTimer;

class CCmdUI;

// The recently opened files, newest first, shown in a menu as commands nStart, nStart + 1, ...
class CRecentFileList {
public:
    CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize);
    void Add(LPCTSTR lpszPathName);
    void Remove(int nIndex);
    // The index of a listed name (compared without regard to case), or -1.
    int Find(LPCTSTR lpszPathName) const;
    int GetSize() const { return m_nSize; }
    int GetCount() const { return static_cast<int>(m_names.size()); }
    const CString& operator[](int nIndex) const { return m_names[static_cast<size_t>(nIndex)]; }
    void ReadList();
    void WriteList();
    // The menu text of an entry: its number as the mnemonic ("&1 " ... "1&0 "), then the path.
    CString GetMenuText(int nIndex) const;
    // Puts the list into the menu in place of the item of the first command (the placeholder) and
    // moves pCmdUI past the entries; an empty list shows the placeholder disabled. Without a menu
    // (a button or a check before the command runs) only the enabled state is set.
    void UpdateMenu(CCmdUI* pCmdUI);

private:
    UINT m_nStart;
    CString m_strSection;
    CString m_strEntryFormat;
    int m_nSize;
    std::vector<CString> m_names;
    CString m_strPlaceholder; // the text of the menu item the list replaces
};

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    // Most entries a recent-file list can have (the command ids ID_FILE_MRU_FILE1 to ID_FILE_MRU_FILE16).
    static constexpr int kMaxRecentFiles = 16;

    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance();
    // InitInstance, the Qt event loop while the main window lives, ExitInstance.
    virtual int Run();
    // Idle-time work: the main window's bars update their buttons. FALSE: nothing more to do.
    virtual BOOL OnIdle(LONG lCount);
    void PostQuit();

    void AddDocTemplate(CDocTemplate* pTemplate);
    POSITION GetFirstDocTemplatePosition() const;
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
    // The template that fits the file best; a file that is already open is activated, not opened again.
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
    // Puts the name at the top of the recent-file list and writes the list to the profile.
    virtual void AddToRecentFileList(LPCTSTR lpszPathName);
    void CloseAllDocuments(BOOL bEndSession);
    // Asks every open document whether it may close now (its SaveModified); FALSE at the first that
    // refuses, and the program then stays open.
    virtual BOOL SaveAllModified();
    void OnFileNew();
    // The file dialog with a filter per document template and "All Files"; opens what was chosen.
    void OnFileOpen();
    // The file dialog's filter: each template's filter name and extension, then all files.
    CString GetOpenFilter() const;

    // Profile: the settings file (KIVIC_AFX_PROFILE, else the program path with ".profile").
    // Reads the recent-file list (section "Recent File List"); nMaxMRU entries at most (up to 16).
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    // Several entries of one section in one write of the file.
    BOOL WriteProfileStrings(LPCTSTR lpszSection, const std::vector<std::pair<CString, CString>>& entries);
    CString GetProfilePath() const;
    // The handle of an icon resource (AfxRegisterIcon); null when none has the id.
    HICON LoadIcon(UINT nIDResource) const { return AfxIconHandle(nIDResource); }
    void Enable3dControlsStatic() {}
    void AfxEnableControlContainer() {}

    CWnd* m_pMainWnd = nullptr;
    CString m_strAppName;
    std::unique_ptr<CRecentFileList> m_pRecentFileList;

protected:
    // The recent files in every menu that has an ID_FILE_MRU_FILE1 item; choosing one opens it, and a
    // file that no longer opens leaves the list.
    void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);
    void OnOpenRecentFile(UINT nID);
    DECLARE_MESSAGE_MAP()

    std::vector<CDocTemplate*> m_templates; // owned
    QTimer* m_pIdleTimer = nullptr;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
// The Qt application object, made on first use when the program has none yet (tests, tools); the C
// numeric locale is forced after making it.
QApplication* AfxEnsureQtApp();
// Makes "." the decimal point of printf and atof again: creating the Qt application takes the user's
// locale, and the files the program reads and writes are in the C form. CWinApp::Run calls it before
// InitInstance; a program that makes its own QApplication calls it right after.
void AfxForceCNumericLocale();
