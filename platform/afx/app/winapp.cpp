#include "platform/afx/app/winapp.h"

#include <QApplication>
#include <QSettings>
#include <QTimer>

#include "platform/afx/afxwin.h"

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

namespace {
CWinApp* g_app = nullptr;
}

CWinApp* AfxGetApp() {
    return g_app;
}

CWnd* AfxGetMainWnd() {
    return g_app != nullptr ? g_app->m_pMainWnd : nullptr;
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT) {
    const char* caption =
        g_app != nullptr && !g_app->m_strAppName.IsEmpty() ? g_app->m_strAppName.GetString() : "";
    CWnd* main = AfxGetMainWnd();
    return MessageBoxA(main != nullptr ? main->GetSafeHwnd() : nullptr, lpszText, caption, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    return AfxMessageBox(AfxString(nIDPrompt), nType, nIDHelp);
}

QApplication* AfxEnsureQtApp() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return app;
    static int argc = 1;
    static char name[] = "KivIc";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
}

// --- Recent files ----------------------------------------------------------------------------------

CRecentFileList::CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize)
    : m_nStart(nStart), m_strSection(lpszSection), m_strEntryFormat(lpszEntryFormat), m_nSize(nSize) {}

void CRecentFileList::Add(LPCTSTR lpszPathName) {
    // Newest first; a name already listed moves to the top.
    for (size_t i = 0; i < m_names.size(); ++i) {
        if (m_names[i].CompareNoCase(lpszPathName) == 0) {
            m_names.erase(m_names.begin() + static_cast<long>(i));
            break;
        }
    }
    m_names.insert(m_names.begin(), CString(lpszPathName));
    if (static_cast<int>(m_names.size()) > m_nSize)
        m_names.resize(static_cast<size_t>(m_nSize));
}

void CRecentFileList::Remove(int nIndex) {
    if (nIndex >= 0 && nIndex < GetCount())
        m_names.erase(m_names.begin() + nIndex);
}

void CRecentFileList::ReadList() {
    m_names.clear();
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return;
    for (int i = 0; i < m_nSize; ++i) {
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        CString name = app->GetProfileString(m_strSection, entry, "");
        if (!name.IsEmpty())
            m_names.push_back(name);
    }
}

void CRecentFileList::WriteList() {
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return;
    for (int i = 0; i < m_nSize; ++i) {
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        app->WriteProfileString(m_strSection, entry,
                                i < GetCount() ? m_names[static_cast<size_t>(i)].GetString() : "");
    }
    (void)m_nStart;
}

// --- Application -------------------------------------------------------------------------------------

CWinApp::CWinApp(LPCTSTR lpszAppName) {
    g_app = this;
    m_strAppName = lpszAppName != nullptr ? lpszAppName : "";
}

CWinApp::~CWinApp() {
    if (m_pMainWnd != nullptr && m_pMainWnd->GetSafeHwnd() != nullptr)
        m_pMainWnd->DestroyWindow();
    for (CDocTemplate* t : m_templates)
        delete t;
    m_templates.clear();
    delete m_pIdleTimer;
    if (g_app == this)
        g_app = nullptr;
}

int CWinApp::ExitInstance() {
    if (m_pRecentFileList)
        m_pRecentFileList->WriteList();
    return 0;
}

int CWinApp::Run() {
    QApplication* qt = AfxEnsureQtApp();
    if (!InitInstance()) {
        if (m_pMainWnd != nullptr)
            m_pMainWnd->DestroyWindow();
        return ExitInstance();
    }
    if (m_pIdleTimer == nullptr) {
        m_pIdleTimer = new QTimer;
        QObject::connect(m_pIdleTimer, &QTimer::timeout, [this]() { OnIdle(0); });
        m_pIdleTimer->start(100);
    }
    if (m_pMainWnd != nullptr)
        qt->exec();
    m_pIdleTimer->stop();
    return ExitInstance();
}

void CWinApp::PostQuit() {
    if (QCoreApplication::instance() != nullptr)
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), []() { QCoreApplication::quit(); }, Qt::QueuedConnection);
}

BOOL CWinApp::OnIdle(LONG) {
    if (m_pMainWnd != nullptr && m_pMainWnd->GetSafeHwnd() != nullptr) {
        m_pMainWnd->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
        if (m_pMainWnd->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd))) {
            if (CMDIChildWnd* child = static_cast<CMDIFrameWnd*>(m_pMainWnd)->MDIGetActive())
                child->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
        }
    }
    return FALSE;
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate) {
    m_templates.push_back(pTemplate);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const {
    return m_templates.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<uintptr_t>(1));
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const {
    const auto index = reinterpret_cast<uintptr_t>(pos) - 1;
    if (pos == nullptr || index >= m_templates.size()) {
        pos = nullptr;
        return nullptr;
    }
    pos = index + 1 < m_templates.size() ? reinterpret_cast<POSITION>(index + 2) : nullptr;
    return m_templates[index];
}

CDocument* CWinApp::OpenDocumentFile(LPCTSTR lpszFileName) {
    CDocTemplate* best = nullptr;
    CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
    for (CDocTemplate* t : m_templates) {
        CDocument* open = nullptr;
        const CDocTemplate::Confidence match = t->MatchDocType(lpszFileName, open);
        if (match == CDocTemplate::yesAlreadyOpen) {
            // Bring the open one forward instead of opening it twice.
            POSITION pos = open->GetFirstViewPosition();
            CView* view = pos != nullptr ? open->GetNextView(pos) : nullptr;
            if (view != nullptr) {
                CFrameWnd* frame = view->GetParentFrame();
                if (frame != nullptr && frame->IsMDIChild())
                    static_cast<CMDIChildWnd*>(frame)->MDIActivate();
            }
            return open;
        }
        if (match > bestMatch) {
            bestMatch = match;
            best = t;
        }
    }
    if (best == nullptr) {
        AfxMessageBox("Unable to open document.");
        return nullptr;
    }
    return best->OpenDocumentFile(lpszFileName);
}

void CWinApp::AddToRecentFileList(LPCTSTR lpszPathName) {
    if (m_pRecentFileList)
        m_pRecentFileList->Add(lpszPathName);
}

void CWinApp::CloseAllDocuments(BOOL bEndSession) {
    for (CDocTemplate* t : m_templates)
        t->CloseAllDocuments(bEndSession);
}

void CWinApp::OnFileNew() {
    if (!m_templates.empty())
        m_templates.front()->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen() {
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, "All Files (*.*)|*.*||");
    if (dialog.DoModal() == IDOK)
        OpenDocumentFile(dialog.GetPathName());
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU) {
    m_pRecentFileList =
        std::make_unique<CRecentFileList>(0, "Recent File List", "File%d", static_cast<int>(nMaxMRU));
    m_pRecentFileList->ReadList();
}

CString CWinApp::GetProfilePath() const {
    if (const char* env = std::getenv("KIVIC_AFX_PROFILE"); env != nullptr && *env != '\0')
        return env;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    return CString(path) + ".profile";
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault) {
    QSettings settings(QString::fromUtf8(GetProfilePath().GetString()), QSettings::IniFormat);
    const QString key = QString::fromUtf8(lpszSection) + "/" + QString::fromUtf8(lpszEntry);
    const QVariant v = settings.value(key);
    if (!v.isValid())
        return lpszDefault != nullptr ? lpszDefault : "";
    return v.toString().toUtf8().constData();
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault) {
    QSettings settings(QString::fromUtf8(GetProfilePath().GetString()), QSettings::IniFormat);
    bool ok = false;
    const int v =
        settings.value(QString::fromUtf8(lpszSection) + "/" + QString::fromUtf8(lpszEntry)).toInt(&ok);
    return static_cast<UINT>(ok ? v : nDefault);
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue) {
    QSettings settings(QString::fromUtf8(GetProfilePath().GetString()), QSettings::IniFormat);
    settings.setValue(QString::fromUtf8(lpszSection) + "/" + QString::fromUtf8(lpszEntry),
                      QString::fromUtf8(lpszValue != nullptr ? lpszValue : ""));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue) {
    QSettings settings(QString::fromUtf8(GetProfilePath().GetString()), QSettings::IniFormat);
    settings.setValue(QString::fromUtf8(lpszSection) + "/" + QString::fromUtf8(lpszEntry), nValue);
    settings.sync();
    return settings.status() == QSettings::NoError;
}
