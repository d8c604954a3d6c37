#include "platform/afx/dlg/filedialog.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>

#include "platform/afx/afxwin.h"

IMPLEMENT_DYNAMIC(CFileDialog, CDialog)

namespace {

AfxFileDialogHook& FileHook() {
    static AfxFileDialogHook hook;
    return hook;
}

QString ToQt(const CString& text) {
    return QString::fromUtf8(text.GetString());
}

} // namespace

AfxFileDialogHook AfxSetFileDialogHook(AfxFileDialogHook hook) {
    AfxFileDialogHook old = FileHook();
    FileHook() = std::move(hook);
    return old;
}

// Qt's dialog with the name check between its own checks (existence, overwrite prompt) and closing.
class CFileDialog::Widget : public QFileDialog {
public:
    Widget(CFileDialog* owner, QWidget* parent) : QFileDialog(parent), m_owner(owner) {
        setOption(QFileDialog::DontUseNativeDialog);
    }
    void Press() { accept(); }
    void done(int result) override {
        if (result == QDialog::Accepted) {
            const QStringList files = selectedFiles();
            if (files.isEmpty() || !m_owner->AcceptChosen(CString(files.first().toUtf8().constData())))
                return;
        }
        m_owner->CloseWithResult(result == QDialog::Accepted ? IDOK : IDCANCEL);
        QFileDialog::done(result);
    }

private:
    CFileDialog* m_owner;
};

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog) {
    m_pParentWnd = pParentWnd;
    m_strDefExt = lpszDefExt != nullptr ? lpszDefExt : "";
    m_strInitialName = lpszFileName != nullptr ? lpszFileName : "";
    m_strFilter = lpszFilter != nullptr ? lpszFilter : "";
    m_ofn.Flags = dwFlags;
    m_ofn.lpstrFilter = m_strFilter;
    m_ofn.lpstrDefExt = m_strDefExt;
    m_ofn.nFilterIndex = 1;
}

CString CFileDialog::GetQtFilter() const {
    // "Name|pattern|Name|pattern||": Qt needs only the names, which carry the patterns.
    CString out;
    int start = 0;
    bool name = true;
    while (start < m_strFilter.GetLength()) {
        const int bar = m_strFilter.Find('|', start);
        const CString part = bar < 0 ? m_strFilter.Mid(start) : m_strFilter.Mid(start, bar - start);
        if (name && !part.IsEmpty()) {
            if (!out.IsEmpty())
                out += ";;";
            out += part;
        }
        name = !name;
        if (bar < 0)
            break;
        start = bar + 1;
    }
    return out;
}

INT_PTR CFileDialog::DoModal() {
    QWidget* parent = m_pParentWnd != nullptr && m_pParentWnd->GetWidget() != nullptr
                          ? m_pParentWnd->GetWidget()->window()
                          : nullptr;
    auto* widget = new Widget(this, parent);
    m_pFileWidget = widget;
    widget->setAcceptMode(m_bOpenFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    widget->setFileMode(m_bOpenFileDialog ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!m_bOpenFileDialog && !(m_ofn.Flags & OFN_OVERWRITEPROMPT))
        widget->setOption(QFileDialog::DontConfirmOverwrite);
    if (!m_bOpenFileDialog && !m_strDefExt.IsEmpty())
        widget->setDefaultSuffix(ToQt(m_strDefExt));
    if (m_ofn.lpstrTitle != nullptr)
        widget->setWindowTitle(QString::fromUtf8(m_ofn.lpstrTitle));
    const QStringList filters = ToQt(GetQtFilter()).split(";;", Qt::SkipEmptyParts);
    if (!filters.isEmpty()) {
        widget->setNameFilters(filters);
        const qsizetype index = m_ofn.nFilterIndex == 0 ? 0 : static_cast<qsizetype>(m_ofn.nFilterIndex) - 1;
        widget->selectNameFilter(filters.value(index, filters.first()));
    }
    if (!m_strInitialName.IsEmpty())
        widget->selectFile(ToQt(m_strInitialName));
    // Connected after the initial selection: only the user's picks are type changes.
    QObject::connect(widget, &QFileDialog::filterSelected, widget, [this]() {
        SyncFilterIndex();
        OnTypeChange();
    });

    // The template (or an empty place for it) below the file list; its controls are this window's
    // children, so their commands reach the derived class's message map.
    auto* host = new QWidget;
    const AFX_DLG_TEMPLATE* extra =
        (m_ofn.Flags & OFN_ENABLETEMPLATE) ? AfxFindDialog(m_ofn.nIDTemplate) : nullptr;
    if (extra != nullptr)
        host->setMinimumSize(AfxDluX(extra->cx), AfxDluY(extra->cy));
    else
        host->hide();
    if (auto* grid = qobject_cast<QGridLayout*>(widget->layout()))
        grid->addWidget(host, grid->rowCount(), 0, 1, grid->columnCount());
    else if (widget->layout() != nullptr)
        widget->layout()->addWidget(host);
    INT_PTR result = IDCANCEL;
    if (AttachWidget(host, m_pParentWnd, 0, WS_POPUP, false)) {
        m_controls.clear();
        if (extra != nullptr)
            AfxCreateDialogControls(this, *extra, m_controls);
        m_bEnded = false;
        m_nModalResult = IDCANCEL;
        m_bInModal = true;
        SendMessage(WM_INITDIALOG);
        if (FileHook()) {
            const INT_PTR answer = FileHook()(this);
            result = m_bEnded ? m_nModalResult : answer;
        } else if (!m_bEnded) {
            widget->exec();
            result = m_bEnded ? m_nModalResult : IDCANCEL;
        } else {
            result = m_nModalResult;
        }
        m_bInModal = false;
        SyncFilterIndex();
        DestroyWindow();
        m_controls.clear();
    } else {
        delete host;
    }
    m_pFileWidget = nullptr;
    delete widget;
    return result;
}

void CFileDialog::PickFilter(int nFilterIndex) {
    if (m_pFileWidget == nullptr)
        return;
    // The type list as the user works it: its activation is what the dialog answers.
    auto* types = m_pFileWidget->findChild<QComboBox*>("fileTypeCombo");
    if (types == nullptr || nFilterIndex < 1 || nFilterIndex > types->count())
        return;
    types->setCurrentIndex(nFilterIndex - 1);
    // What the list itself sends when the user activates an entry.
    emit types->activated(nFilterIndex - 1);
    emit types->textActivated(types->currentText());
}

void CFileDialog::TypeFileName(LPCTSTR lpszName) {
    if (m_pFileWidget != nullptr)
        m_pFileWidget->selectFile(QString::fromUtf8(lpszName != nullptr ? lpszName : ""));
}

void CFileDialog::PressOK() {
    if (m_pFileWidget != nullptr)
        m_pFileWidget->Press();
}

void CFileDialog::OnOK() {
    PressOK();
}

bool CFileDialog::AcceptChosen(const CString& path) {
    m_strPath = path;
    SyncFilterIndex();
    return !OnFileNameOK();
}

void CFileDialog::CloseWithResult(int nResult) {
    m_nModalResult = nResult;
    m_bEnded = true;
}

void CFileDialog::SyncFilterIndex() {
    if (m_pFileWidget == nullptr)
        return;
    const qsizetype index = m_pFileWidget->nameFilters().indexOf(m_pFileWidget->selectedNameFilter());
    if (index >= 0)
        m_ofn.nFilterIndex = static_cast<DWORD>(index + 1);
}

CString CFileDialog::GetFileName() const {
    const int slash = std::max(m_strPath.ReverseFind('/'), m_strPath.ReverseFind('\\'));
    return m_strPath.Mid(slash + 1);
}

CString CFileDialog::GetFileExt() const {
    const CString name = GetFileName();
    const int dot = name.ReverseFind('.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

CString CFileDialog::GetFileTitle() const {
    const CString name = GetFileName();
    const int dot = name.ReverseFind('.');
    return dot < 0 ? name : name.Left(dot);
}
