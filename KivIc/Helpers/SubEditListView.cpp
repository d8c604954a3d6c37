#include "KivIc/Helpers/SubEditListView.h"

#include <QTreeWidget>

IMPLEMENT_DYNCREATE(CSubEditListView, CListView)

BEGIN_MESSAGE_MAP(CSubEdit, CEdit)
ON_WM_KILLFOCUS()
ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

void CSubEdit::OnKillFocus(CWnd* pNewWnd) {
    CEdit::OnKillFocus(pNewWnd);
    if (m_pView != nullptr)
        m_pView->EndEdit();
}

UINT CSubEdit::OnGetDlgCode() {
    return CEdit::OnGetDlgCode() | DLGC_WANTALLKEYS;
}

CSubEditListView::CSubEditListView() {
    m_edit.m_pView = this;
}

CSubEditListView::~CSubEditListView() {
    m_edit.m_pView = nullptr;
    if (m_edit.GetSafeHwnd() != nullptr)
        m_edit.DestroyWindow();
}

BOOL CSubEditListView::EditSubItem(int nItem, int nSubItem) {
    CListCtrl& list = GetListCtrl();
    if (nItem < 0 || nItem >= list.GetItemCount() || nSubItem < 0)
        return FALSE;
    if (m_bEditing)
        EndEdit();
    if (m_edit.GetSafeHwnd() == nullptr &&
        !m_edit.Create(WS_CHILD | WS_BORDER, CRect(0, 0, 10, 10), this, kEditId))
        return FALSE;
    m_nEditItem = nItem;
    m_nEditSubItem = nSubItem;
    m_edit.SetWindowText(list.GetItemText(nItem, nSubItem));
    PlaceEdit();
    m_bEditing = TRUE;
    m_edit.ShowWindow(SW_SHOW);
    m_edit.SetFocus();
    m_edit.SetSel(0, -1);
    return TRUE;
}

void CSubEditListView::PlaceEdit() {
    CRect rc;
    if (!GetListCtrl().GetSubItemRect(m_nEditItem, m_nEditSubItem, LVIR_LABEL, rc))
        return;
    // One pixel higher at the top and three lower at the bottom than the label.
    m_edit.MoveWindow(rc.left, rc.top - 1, rc.Width(), rc.Height() + 4);
    m_edit.Invalidate();
}

void CSubEditListView::OnListScrolled(int) {
    if (m_bEditing)
        PlaceEdit();
}

void CSubEditListView::HideEdit() {
    m_bEditing = FALSE;
    m_edit.ShowWindow(SW_HIDE);
    CListCtrl& list = GetListCtrl();
    if (m_nStyleFlags & kSingleSelectOnEnd) {
        ModifyStyle(0, LVS_SINGLESEL);
        if (QTreeWidget* tree = list.GetTree())
            tree->setSelectionMode(QAbstractItemView::SingleSelection);
    } else if (!(list.GetItemState(m_nEditItem, LVIS_SELECTED) & LVIS_SELECTED)) {
        list.SetItemState(m_nEditItem, LVIS_SELECTED, LVIS_SELECTED);
    }
}

void CSubEditListView::EndEdit() {
    if (!m_bEditing)
        return;
    CString text;
    m_edit.GetWindowText(text);
    HideEdit();
    CWnd* parent = GetParent();
    if (parent == nullptr)
        return;
    std::vector<char> buffer(static_cast<size_t>(text.GetLength()) + 64, '\0');
    std::copy(text.GetString(), text.GetString() + text.GetLength(), buffer.begin());
    LV_DISPINFO info{};
    info.hdr.hwndFrom = GetSafeHwnd();
    info.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    info.hdr.code = LVN_ENDLABELEDIT;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = m_nEditItem;
    info.item.iSubItem = m_nEditSubItem;
    info.item.pszText = buffer.data();
    info.item.cchTextMax = text.GetLength() + 64;
    const LRESULT keep = parent->SendMessage(WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    if (keep != 0 && !text.IsEmpty())
        GetListCtrl().SetItemText(m_nEditItem, m_nEditSubItem, text);
}
