#include "KivIc/App/WqLinkApp.h"

#include <filesystem>

#include "KivIc/App/AboutDlg.h"
#include "KivIc/App/AppIcon.h"
#include "KivIc/Conversion/CompressOptionsDlg.h"
#include "KivIc/Dialogs/SHBFolder.h"
#include "KivIc/Documents/AviTemplate.h"
#include "KivIc/Documents/BmpTemplate.h"
#include "KivIc/Documents/KivTemplate.h"
#include "KivIc/Main/MainFrame.h"
#include "KivIc/Playback/VesloDoc.h"
#include "platform/com/objects.h"
#include "vomLib/avilib/MjpgCodec.h"
#include "vomLib/Utility/IniProfile.h"

BEGIN_MESSAGE_MAP(CWqLinkApp, CWinApp)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
ON_COMMAND(ID_FILE_NEW, OnFileNew)
ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
ON_COMMAND(ID_APP_NOTHING, OnNothing)
END_MESSAGE_MAP()

CWqLinkApp::CWqLinkApp() : CWinApp("KivIc") {}

CWqLinkApp::~CWqLinkApp() = default;

BOOL CWqLinkApp::InitInstance() {
    CoInitialize(nullptr);
    AfxEnableControlContainer();
    Enable3dControlsStatic();
    LoadStdProfileSettings(kRecentFileCount);
    // Motion-JPEG is offered among the compressors before any AVI file was opened.
    InstallMjpgCodec();
    // The compressor choice of the conversion's save dialog.
    InstallCompressOptionsDialog();

    m_strRootFolder.Empty();
    m_strIniPath.Empty();
    ReadRootFolder();

    RegisterDocTemplates();

    InstallProgramIcon();
    auto* pMainFrame = new CMainFrame;
    if (!pMainFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE)) {
        delete pMainFrame;
        return FALSE;
    }
    m_pMainWnd = pMainFrame;

    // The options open the files themselves; no empty document is made when none is named.
    CVomCmdLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    cmdInfo.m_nShellCommand =
        cmdInfo.m_strFileName.IsEmpty() ? CCommandLineInfo::FileNothing : CCommandLineInfo::FileOpen;
    ProcessOptions(cmdInfo);

    pMainFrame->ShowWindow(SW_SHOWMAXIMIZED);
    pMainFrame->UpdateWindow();
    return TRUE;
}

int CWqLinkApp::ExitInstance() {
    WriteRootFolder();
    CoUninitialize();
    return CWinApp::ExitInstance();
}

void CWqLinkApp::RegisterDocTemplates() {
    // The file documents: raw camera files, AVI files, BMP sequences, in that order.
    RegisterKivTemplate(this);
    RegisterAviTemplate(this);
    RegisterBmpTemplate(this);
    if (m_extraTemplates)
        m_extraTemplates(*this);
}

CMainFrame* CWqLinkApp::GetMainFrame() const {
    if (m_pMainWnd == nullptr || !m_pMainWnd->IsKindOf(RUNTIME_CLASS(CMainFrame)))
        return nullptr;
    return static_cast<CMainFrame*>(m_pMainWnd);
}

// --- Root folder -------------------------------------------------------------------------------------

BOOL CWqLinkApp::ReadRootFolder() {
    const IniProfile profile;
    m_strIniPath = profile.FileName();
    const CSHBFolder current; // tells the user when the current folder cannot be read
    if (current.GetPath().IsEmpty())
        return FALSE;
    // Relative names on the command line mean the folder the user started the program in, not the
    // root folder that becomes current now.
    m_strStartFolder = current.GetPath();
    m_strRootFolder = current.GetPath();
    const CString value = profile.GetString(kIniSectionOption, kIniKeyRootFolder, current.GetPath()).c_str();
    if (!current.IsValidFolder(value) || !SetCurrentDirectoryA(value)) {
        CString text;
        text.Format("ROOT_FOLDER \"%s\" is no folder; staying in \"%s\"\n", value.GetString(),
                    m_strRootFolder.GetString());
        OutputDebugStringA(text);
        return TRUE;
    }
    // Kept as an absolute path, so the next start finds it from wherever it is started.
    m_strRootFolder = std::filesystem::path(value.str()).is_absolute() ? value : CSHBFolder().GetPath();
    return TRUE;
}

BOOL CWqLinkApp::WriteRootFolder() {
    if (m_strIniPath.IsEmpty() || m_strRootFolder.IsEmpty())
        return FALSE;
    return IniProfileWriter(m_strIniPath).WriteString(kIniSectionOption, kIniKeyRootFolder, m_strRootFolder)
               ? TRUE
               : FALSE;
}

// --- Documents ---------------------------------------------------------------------------------------

CDocument* CWqLinkApp::OpenDocumentFile(LPCTSTR lpszFileName) {
    CDocument* pDoc = CWinApp::OpenDocumentFile(lpszFileName);
    CMainFrame* pMainFrame = GetMainFrame();
    if (pDoc == nullptr || pMainFrame == nullptr || !pDoc->IsKindOf(RUNTIME_CLASS(CVesloDoc)))
        return pDoc;
    auto* pListed = static_cast<IImgListDocument*>(static_cast<CVesloDoc*>(pDoc));
    CDlgBarImgList* pBar = pMainFrame->GetImgListBar();
    if (pBar->GetList().FindItemData(reinterpret_cast<DWORD_PTR>(pListed)) < 0) {
        CString text = "XXXX";
        CString name;
        if (pDoc->GetDocTemplate() != nullptr &&
            pDoc->GetDocTemplate()->GetDocString(name, CDocTemplate::docName) && !name.IsEmpty())
            text = name;
        pBar->AddDocument(pListed, text);
    }
    // The window became active before its document was listed: the list selects it now.
    CMDIChildWnd* pActive = pMainFrame->MDIGetActive();
    if (pActive != nullptr && pActive->GetActiveDocument() == pDoc)
        pBar->SelectDocument(pListed);
    return pDoc;
}

CDocument* CWqLinkApp::FindDocument(LPCTSTR lpszPathName) const {
    if (lpszPathName == nullptr || *lpszPathName == '\0')
        return nullptr;
    // The document opening would bring forward: the file by any of its names, a sequence by any of
    // its files.
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != nullptr) {
        CDocument* pOpen = nullptr;
        if (GetNextDocTemplate(pos)->MatchDocType(lpszPathName, pOpen) == CDocTemplate::yesAlreadyOpen)
            return pOpen;
    }
    return nullptr;
}

void CWqLinkApp::OnAppAbout() {
    CAboutDlg dialog;
    dialog.DoModal();
}
