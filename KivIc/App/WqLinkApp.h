// The application object: starts the program (COM, the framework's profile, the root folder from the
// program's ini file, the document templates, the main frame), applies the command-line options and
// writes the root folder back at exit.
#pragma once

#include <functional>
#include <vector>

#include "KivIc/App/VomCmdLineInfo.h"
#include "platform/afx/afxwin.h"

class CMainFrame;

// Section and key of the root folder in the program's ini file.
constexpr const char* kIniSectionOption = "OPTION";
constexpr const char* kIniKeyRootFolder = "ROOT_FOLDER";
// Entries of the recent-file list.
constexpr UINT kRecentFileCount = 10;

class CWqLinkApp : public CWinApp {
public:
    CWqLinkApp();
    ~CWqLinkApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    // Opens the file (an open one is brought forward) and lists the document in the image-list bar.
    CDocument* OpenDocumentFile(LPCTSTR lpszFileName) override;
    // The open document of that file (the same file however the path names it), or null.
    CDocument* FindDocument(LPCTSTR lpszPathName) const;

    // The root folder from the ini file, made the current folder; the folder current before is kept
    // as the start folder. A value that names no existing folder, or that cannot be made current,
    // leaves the current folder as the root folder. FALSE when the current folder cannot be read (the
    // user is told the system error code).
    BOOL ReadRootFolder();
    BOOL WriteRootFolder();

    // The program's arguments into rCmdInfo; relative file names are taken from the folder the
    // program was started in.
    void ParseCommandLine(CVomCmdLineInfo& rCmdInfo);
    void ParseCommandLine(CVomCmdLineInfo& rCmdInfo, const std::vector<CString>& args);
    // Runs the options in command-line order; TRUE when any ran and every file opened.
    BOOL ProcessOptions(CVomCmdLineInfo& rCmdInfo);

    // The document templates of the file documents.
    void RegisterDocTemplates();
    // Further templates registered after the program's own (test programs add their document types).
    void SetExtraTemplates(std::function<void(CWinApp&)> registrar) {
        m_extraTemplates = std::move(registrar);
    }

    CMainFrame* GetMainFrame() const;
    const CString& GetRootFolder() const { return m_strRootFolder; }
    const CString& GetIniPath() const { return m_strIniPath; }
    const CString& GetStartFolder() const { return m_strStartFolder; }

protected:
    void OnAppAbout();
    void OnNothing() {}
    DECLARE_MESSAGE_MAP()

private:
    // The options' single steps.
    BOOL OpenOption(const CVomCmdOptionBase& option);
    void SetRateOption(const CVomCmdOptionBase& option);
    // Synchronised mode on, looping on for bLoop, and playing: each only when it is not so yet.
    void SyncPlayOption(BOOL bLoop, BOOL& rbPlayStarted);
    void SetRangeOption(const CVomCmdOptionBase& option);
    void SendMainCommand(UINT nID);

    CString m_strRootFolder;
    CString m_strIniPath;
    // The current folder when the program started, before the root folder became current.
    CString m_strStartFolder;
    std::function<void(CWinApp&)> m_extraTemplates;
};

// The command without a menu text that the application accepts and ignores.
enum : UINT { ID_APP_NOTHING = 32776 };
