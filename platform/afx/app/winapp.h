// The application object: start-up and exit, document templates, opening files by extension, the
// recent-file list and the framework profile (a settings file), idle-time updates of the bars.
#pragma once

#include <memory>
#include <vector>

#include "platform/afx/doc/document.h"

class CWnd;
class QApplication;
class QTimer;

class CRecentFileList {
public:
    CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize);
    void Add(LPCTSTR lpszPathName);
    void Remove(int nIndex);
    int GetSize() const { return m_nSize; }
    int GetCount() const { return static_cast<int>(m_names.size()); }
    const CString& operator[](int nIndex) const { return m_names[static_cast<size_t>(nIndex)]; }
    void ReadList();
    void WriteList();

private:
    UINT m_nStart;
    CString m_strSection;
    CString m_strEntryFormat;
    int m_nSize;
    std::vector<CString> m_names;
};

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
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
    virtual void AddToRecentFileList(LPCTSTR lpszPathName);
    void CloseAllDocuments(BOOL bEndSession);
    BOOL SaveAllModified() { return TRUE; }
    void OnFileNew();
    void OnFileOpen();

    // Profile: the settings file (KIVIC_AFX_PROFILE, else the program path with ".profile").
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    CString GetProfilePath() const;
    void Enable3dControlsStatic() {}
    void AfxEnableControlContainer() {}

    CWnd* m_pMainWnd = nullptr;
    CString m_strAppName;
    std::unique_ptr<CRecentFileList> m_pRecentFileList;

protected:
    std::vector<CDocTemplate*> m_templates; // owned
    QTimer* m_pIdleTimer = nullptr;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
// The Qt application object, made on first use when the program has none yet (tests, tools).
QApplication* AfxEnsureQtApp();
