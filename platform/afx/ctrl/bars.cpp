#include "platform/afx/ctrl/bars.h"

#include <algorithm>

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QToolBar>
#include <QWidget>

#include "platform/afx/afxwin.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)
IMPLEMENT_DYNAMIC(CDialogBar, CControlBar)
IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

CControlBar::~CControlBar() {
    if (m_pDockSite != nullptr)
        std::erase(m_pDockSite->m_listControlBars, this);
}

void CControlBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    for (CWnd* child : GetChildren()) {
        const int id = child->GetDlgCtrlID();
        if (id <= 0)
            continue;
        CCmdUI state;
        state.m_pOther = child;
        state.m_nID = static_cast<UINT>(id);
        // Only buttons are disabled for want of a handler; fields stay usable.
        const BOOL isButton = child->IsKindOf(RUNTIME_CLASS(CButton));
        state.DoUpdate(pTarget, bDisableIfNoHndler && isButton);
    }
}

BOOL CControlBar::IsVisible() const {
    if (m_pDockHost != nullptr)
        return !m_pDockHost->isHidden();
    return GetWidget() != nullptr && !GetWidget()->isHidden();
}

BOOL CControlBar::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    CWnd* owner = GetOwner();
    if (owner == nullptr)
        return FALSE;
    owner->SendMessage(WM_COMMAND, wParam, lParam);
    return TRUE;
}

BOOL CControlBar::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (CWnd::OnNotify(wParam, lParam, pResult))
        return TRUE;
    CWnd* owner = GetOwner();
    if (owner == nullptr)
        return FALSE;
    *pResult = owner->SendMessage(WM_NOTIFY, wParam, lParam);
    return TRUE;
}

CDialogBar::CDialogBar() = default;

CDialogBar::~CDialogBar() {
    if (GetSafeHwnd() != nullptr)
        DestroyWindow();
}

BOOL CDialogBar::Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID) {
    const AFX_DLG_TEMPLATE* dialog = AfxFindDialog(nIDTemplate);
    if (dialog == nullptr)
        return FALSE;
    auto* widget = new QWidget;
    widget->setMinimumSize(AfxDluX(dialog->cx), AfxDluY(dialog->cy));
    m_dwBarStyle = nStyle;
    SetOwner(pParentWnd);
    if (!AttachWidget(widget, pParentWnd, nID, WS_CHILD | WS_VISIBLE, false)) {
        delete widget;
        return FALSE;
    }
    AfxCreateDialogControls(this, *dialog, m_controls);
    // The bar's buttons and fields prompt for the command they carry now (ids may be renumbered).
    for (const auto& control : m_controls) {
        if (control->GetDlgCtrlID() <= 0)
            continue;
        const HWND hControl = control->GetSafeHwnd();
        AfxAttachCommandPrompt(control->GetWidget(), GetSafeHwnd(), [hControl]() {
            CWnd* wnd = CWnd::FromHandle(hControl);
            return wnd != nullptr && wnd->GetDlgCtrlID() > 0 ? static_cast<UINT>(wnd->GetDlgCtrlID()) : 0u;
        });
    }
    return TRUE;
}

// --- Status bar ---------------------------------------------------------------------------------------

CStatusBar::~CStatusBar() {
    if (GetSafeHwnd() != nullptr)
        DestroyWindow();
}

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    auto* bar = new QStatusBar;
    m_dwBarStyle = dwStyle;
    SetOwner(pParentWnd);
    if (!AttachWidget(bar, pParentWnd, nID, WS_CHILD | WS_VISIBLE, false)) {
        delete bar;
        return FALSE;
    }
    return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
    auto* bar = qobject_cast<QStatusBar*>(GetWidget());
    if (bar == nullptr)
        return FALSE;
    for (auto& pane : m_panes)
        delete pane.second;
    m_panes.clear();
    for (int i = 0; i < nIDCount; ++i) {
        const UINT id = lpIDArray[i];
        CString text;
        if (id == ID_INDICATOR_CAPS)
            text = "CAP";
        else if (id == ID_INDICATOR_NUM)
            text = "NUM";
        else if (id == ID_INDICATOR_SCRL)
            text = "SCRL";
        else if (id != ID_SEPARATOR)
            AfxLoadString(id, text);
        auto* label = new QLabel(QString::fromUtf8(text.GetString()));
        if (i == 0)
            bar->addWidget(label, 1);
        else
            bar->addPermanentWidget(label);
        m_panes.emplace_back(id, label);
    }
    return TRUE;
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL) {
    if (nIndex < 0 || nIndex >= GetCount())
        return FALSE;
    m_panes[static_cast<size_t>(nIndex)].second->setText(
        QString::fromUtf8(lpszNewText != nullptr ? lpszNewText : ""));
    return TRUE;
}

CString CStatusBar::GetPaneText(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount())
        return CString();
    return m_panes[static_cast<size_t>(nIndex)].second->text().toUtf8().constData();
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd*, BOOL) {}

// --- Toolbar ----------------------------------------------------------------------------------------------

namespace {

// The update-UI state of one toolbar button.
class ToolCmdUI : public CCmdUI {
public:
    explicit ToolCmdUI(QAction* action) : m_action(action) {}
    void Enable(BOOL bOn) override {
        CCmdUI::Enable(bOn);
        m_action->setEnabled(bOn != FALSE);
    }
    void SetCheck(int nCheck) override {
        CCmdUI::SetCheck(nCheck);
        m_action->setCheckable(true);
        m_action->setChecked(nCheck != 0);
    }
    void SetText(LPCTSTR) override {}

private:
    QAction* m_action;
};

} // namespace

CToolBar::~CToolBar() {
    if (GetSafeHwnd() != nullptr)
        DestroyWindow();
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD, DWORD dwStyle, CRect, UINT nID) {
    auto* bar = new QToolBar;
    m_pDockHost = bar; // the bar docks itself
    m_dwBarStyle = dwStyle;
    SetOwner(pParentWnd);
    if (!AttachWidget(bar, pParentWnd, nID, WS_CHILD | WS_VISIBLE, false)) {
        m_pDockHost = nullptr;
        delete bar;
        return FALSE;
    }
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT nIDResource) {
    auto* bar = qobject_cast<QToolBar*>(GetWidget());
    const std::vector<AFX_TOOLBAR_ITEM>* items = AfxFindToolBar(nIDResource);
    if (bar == nullptr || items == nullptr)
        return FALSE;
    bar->clear();
    m_buttons.clear();
    // A button's face is the icon of its command, else its image in a strip registered under the
    // toolbar's id (one image per button, separators have none, all of the same width).
    const QImage* strip = AfxFindBitmap(nIDResource);
    const auto images = static_cast<int>(std::count_if(
        items->begin(), items->end(), [](const AFX_TOOLBAR_ITEM& i) { return i.id != ID_SEPARATOR; }));
    const int imageWidth =
        strip != nullptr && images > 0 && strip->width() % images == 0 ? strip->width() / images : 0;
    int image = 0;
    for (const AFX_TOOLBAR_ITEM& item : *items) {
        if (item.id == ID_SEPARATOR) {
            m_buttons.emplace_back(0, bar->addSeparator());
            continue;
        }
        // The text shows only on a button without a face.
        QAction* action = bar->addAction(QString::fromUtf8(item.text.GetString()));
        QIcon icon = AfxFindIcon(item.id);
        if (icon.isNull() && imageWidth > 0)
            icon = QIcon(QPixmap::fromImage(strip->copy(image * imageWidth, 0, imageWidth, strip->height())));
        ++image;
        if (!icon.isNull())
            action->setIcon(icon);
        const CString tip = AfxCommandToolTip(item.id);
        action->setToolTip(QString::fromUtf8(tip.IsEmpty() ? item.text.GetString() : tip.GetString()));
        const size_t index = m_buttons.size();
        QObject::connect(action, &QAction::triggered, bar,
                         [this, index]() { PressButton(static_cast<int>(index)); });
        AfxAttachCommandPrompt(bar->widgetForAction(action), GetSafeHwnd(),
                               [this, index]() { return GetItemID(static_cast<int>(index)); });
        m_buttons.emplace_back(item.id, action);
    }
    return TRUE;
}

UINT CToolBar::GetItemID(int nIndex) const {
    return nIndex >= 0 && nIndex < GetCount() ? m_buttons[static_cast<size_t>(nIndex)].first : 0;
}

int CToolBar::CommandToIndex(UINT nIDFind) const {
    for (int i = 0; i < GetCount(); ++i) {
        if (m_buttons[static_cast<size_t>(i)].first == nIDFind)
            return i;
    }
    return -1;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT, int) {
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    auto& button = m_buttons[static_cast<size_t>(nIndex)];
    button.first = nID;
    // The face stays; the tip is the new command's when it has one.
    const CString tip = AfxCommandToolTip(nID);
    if (!tip.IsEmpty() && button.second != nullptr)
        button.second->setToolTip(QString::fromUtf8(tip.GetString()));
}

void CToolBar::PressButton(int nIndex) {
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    const auto& button = m_buttons[static_cast<size_t>(nIndex)];
    // Qt toggles checkable actions itself; the update handlers own the check state.
    if (button.second->isCheckable())
        button.second->setChecked(!button.second->isChecked());
    if (button.first == 0 || !button.second->isEnabled())
        return;
    if (CWnd* owner = GetOwner())
        owner->SendMessage(WM_COMMAND, MAKEWPARAM(button.first, BN_CLICKED), 0);
}

BOOL CToolBar::IsButtonEnabled(int nIndex) const {
    return nIndex >= 0 && nIndex < GetCount() && m_buttons[static_cast<size_t>(nIndex)].second->isEnabled();
}

BOOL CToolBar::IsButtonChecked(int nIndex) const {
    return nIndex >= 0 && nIndex < GetCount() && m_buttons[static_cast<size_t>(nIndex)].second->isChecked();
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    for (const auto& button : m_buttons) {
        if (button.first == 0)
            continue;
        ToolCmdUI state(button.second);
        state.m_nID = button.first;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}
