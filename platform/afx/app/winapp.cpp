#include "platform/afx/app/winapp.h"

#include <clocale>

#include <QApplication>
#include <QSettings>
#include <QTimer>

#include "platform/afx/afxwin.h"

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, OnUpdateRecentFileMenu)
ON_COMMAND_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, OnOpenRecentFile)
END_MESSAGE_MAP()

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
    auto* app = new QApplication(argc, argv);
    AfxForceCNumericLocale();
    return app;
}

void AfxForceCNumericLocale() {
    std::setlocale(LC_NUMERIC, "C");
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
    AfxForceCNumericLocale();
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
    const CString path = lpszFileName != nullptr ? lpszFileName : "";
    if (best == nullptr) {
        AfxMessageBox("Unable to open document \"" + path + "\".");
        return nullptr;
    }
    // A name without extension is left to the first template to try; an extension that no template
    // lists is not tried as something it is not.
    const CString ext = AfxFileExtension(path);
    if (bestMatch < CDocTemplate::yesAttemptNative && !ext.IsEmpty()) {
        AfxMessageBox("Unable to open document \"" + path + "\": no document type opens \"" + ext +
                      "\" files.");
        return nullptr;
    }
    return best->OpenDocumentFile(lpszFileName);
}

BOOL CWinApp::SaveAllModified() {
    for (CDocTemplate* t : m_templates) {
        if (!t->SaveAllModified())
            return FALSE;
    }
    return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession) {
    for (CDocTemplate* t : m_templates)
        t->CloseAllDocuments(bEndSession);
}

void CWinApp::OnFileNew() {
    if (!m_templates.empty())
        m_templates.front()->OpenDocumentFile(nullptr);
}

CString CWinApp::GetOpenFilter() const {
    CString filter;
    for (const CDocTemplate* t : m_templates) {
        CString name, ext;
        if (!t->GetDocString(name, CDocTemplate::filterName) ||
            !t->GetDocString(ext, CDocTemplate::filterExt))
            continue;
        // Several extensions may be given as ".a;.b".
        CString patterns;
        int start = 0;
        while (start <= ext.GetLength()) {
            int semi = ext.Find(';', start);
            if (semi < 0)
                semi = ext.GetLength();
            const CString one = ext.Mid(start, semi - start);
            if (!one.IsEmpty())
                patterns += (patterns.IsEmpty() ? "*" : ";*") + one;
            start = semi + 1;
        }
        if (!patterns.IsEmpty())
            filter += name + "|" + patterns + "|";
    }
    return filter + "All Files (*.*)|*.*||";
}

void CWinApp::OnFileOpen() {
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, GetOpenFilter());
    if (dialog.DoModal() == IDOK)
        OpenDocumentFile(dialog.GetPathName());
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

BOOL CWinApp::WriteProfileStrings(LPCTSTR lpszSection,
                                  const std::vector<std::pair<CString, CString>>& entries) {
    QSettings settings(QString::fromUtf8(GetProfilePath().GetString()), QSettings::IniFormat);
    for (const auto& [entry, value] : entries)
        settings.setValue(QString::fromUtf8(lpszSection) + "/" + QString::fromUtf8(entry.GetString()),
                          QString::fromUtf8(value.GetString()));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue) {
    QSettings settings(QString::fromUtf8(GetProfilePath().GetString()), QSettings::IniFormat);
    settings.setValue(QString::fromUtf8(lpszSection) + "/" + QString::fromUtf8(lpszEntry), nValue);
    settings.sync();
    return settings.status() == QSettings::NoError;
}
