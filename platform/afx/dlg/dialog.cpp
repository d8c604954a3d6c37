#include "platform/afx/dlg/dialog.h"

#include <QDialog>
#include <QFont>

#include "platform/afx/afxwin.h"

IMPLEMENT_DYNAMIC(CUserException, CException)
IMPLEMENT_DYNAMIC(CDialog, CWnd)

namespace {

AfxModalHook& ModalHook() {
    static AfxModalHook hook;
    return hook;
}

// The dialog's Qt window: Enter, Escape and the close box become the dialog's own commands.
class DialogWidget : public QDialog {
public:
    explicit DialogWidget(CDialog* owner) : m_owner(owner) {}
    void accept() override { m_owner->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, 0), 0); }
    void reject() override { m_owner->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0); }

private:
    CDialog* m_owner;
};

} // namespace

void AfxThrowUserException() {
    throw new CUserException;
}

AfxModalHook AfxSetModalHook(AfxModalHook hook) {
    AfxModalHook old = ModalHook();
    ModalHook() = std::move(hook);
    return old;
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
ON_WM_CLOSE()
ON_MESSAGE(WM_INITDIALOG, OnInitDialogMessage)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {
    m_nIDHelp = nIDTemplate;
}

CDialog::~CDialog() {
    if (GetSafeHwnd() != nullptr)
        CWnd::DestroyWindow();
    m_controls.clear();
}

BOOL CDialog::CreateFromTemplate(CWnd* pParentWnd) {
    const AFX_DLG_TEMPLATE* dialog = AfxFindDialog(m_nIDTemplate);
    if (dialog == nullptr)
        return FALSE;
    auto* widget = new DialogWidget(this);
    widget->setWindowTitle(QString::fromUtf8(dialog->caption.GetString()));
    widget->resize(AfxDluX(dialog->cx), AfxDluY(dialog->cy));
    if (!dialog->fontName.IsEmpty()) {
        QFont font(QString::fromUtf8(dialog->fontName.GetString()));
        font.setPointSize(dialog->fontSize);
        widget->setFont(font);
    }
    if (pParentWnd != nullptr && pParentWnd->GetWidget() != nullptr)
        widget->setParent(pParentWnd->GetWidget()->window(), Qt::Dialog);
    if (!AttachWidget(widget, pParentWnd, 0, WS_POPUP | WS_CAPTION, false)) {
        delete widget;
        return FALSE;
    }
    m_controls.clear();
    AfxCreateDialogControls(this, *dialog, m_controls);
    return TRUE;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    if (!CreateFromTemplate(pParentWnd))
        return FALSE;
    m_bEnded = false;
    SendMessage(WM_INITDIALOG);
    ShowWindow(SW_SHOW);
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    if (GetSafeHwnd() == nullptr && !CreateFromTemplate(m_pParentWnd))
        return -1;
    m_bEnded = false;
    m_nModalResult = IDCANCEL;
    m_bInModal = true;
    SendMessage(WM_INITDIALOG);
    if (ModalHook()) {
        ModalHook()(this);
    } else if (!m_bEnded) {
        auto* dialog = static_cast<QDialog*>(GetWidget());
        dialog->QDialog::exec();
    }
    m_bInModal = false;
    const INT_PTR result = m_bEnded ? m_nModalResult : IDCANCEL;
    DestroyWindow();
    m_controls.clear();
    return result;
}

LRESULT CDialog::OnInitDialogMessage(WPARAM, LPARAM) {
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return; // the user was told; the dialog stays open
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::OnClose() {
    OnCancel();
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    m_bEnded = true;
    // The dialog's window may host it below other parts (the file dialog's template).
    auto* dialog = GetWidget() != nullptr ? qobject_cast<QDialog*>(GetWidget()->window()) : nullptr;
    if (dialog == nullptr)
        return;
    if (m_bInModal && dialog->isVisible())
        dialog->QDialog::done(nResult);
    else if (!m_bInModal)
        dialog->hide();
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
    if (pWndCtrl != nullptr)
        pWndCtrl->SetFocus();
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (CUserException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}
