#include "KivIc/Bars/DlgBarImgList.h"

IMPLEMENT_DYNAMIC(CDlgBarImgList, CDialogBar)

void CDlgBarImgList::RegisterTemplate() {
    if (AfxFindDialog(IDD_IMGLISTBAR) != nullptr)
        return;
    AFX_DLG_TEMPLATE dialog;
    dialog.cx = 160;
    dialog.cy = 120;
    AfxRegisterDialog(IDD_IMGLISTBAR, std::move(dialog));
}

BOOL CDlgBarImgList::CreateBar(CWnd* pParent) {
    RegisterTemplate();
    if (!Create(pParent, IDD_IMGLISTBAR, CBRS_LEFT, IDD_IMGLISTBAR))
        return FALSE;
    const CRect rect(AfxDluX(2), AfxDluY(2), AfxDluX(158), AfxDluY(118));
    if (!m_list.Create(this, rect, IDC_IMGLIST, {CString("Path"), CString("Kind")}))
        return FALSE;
    m_list.SetOnClick([this](int item) { OnItemClicked(item); });
    return TRUE;
}

void CDlgBarImgList::AddDocument(IImgListDocument* document, LPCTSTR text) {
    if (GetSafeHwnd() == nullptr || m_list.GetSafeHwnd() == nullptr || document == nullptr)
        return;
    const int item =
        m_list.InsertItem(m_list.GetItemCount(), document->GetPathName(), document->GetDocKind());
    if (item < 0)
        return;
    m_list.SetItemText(item, 1, text);
    m_list.SetItemData(item, reinterpret_cast<DWORD_PTR>(document));
    m_nItems = m_list.GetItemCount();
    m_list.Invalidate();
}

void CDlgBarImgList::RemoveDocument(IImgListDocument* document) {
    const int item = m_list.FindItemData(reinterpret_cast<DWORD_PTR>(document));
    if (item >= 0)
        m_list.DeleteItem(item);
    m_nItems = m_list.GetItemCount();
}

void CDlgBarImgList::SelectDocument(IImgListDocument* document) {
    const int item = m_list.FindItemData(reinterpret_cast<DWORD_PTR>(document));
    if (item >= 0)
        m_list.SelectItem(item);
}

BOOL CDlgBarImgList::IsOpen(LPCTSTR name) {
    if (name == nullptr)
        return FALSE;
    const int count = m_list.GetItemCount();
    for (int i = 0; i < count; ++i) {
        auto* document = reinterpret_cast<IImgListDocument*>(m_list.GetItemData(i));
        if (document != nullptr && document->GetBaseName().CompareNoCase(name) == 0)
            return TRUE;
    }
    return FALSE;
}

int CDlgBarImgList::GetSelectedCount() const {
    return m_list.GetSelectedCount();
}

void CDlgBarImgList::OnItemClicked(int item) {
    if (auto* document = reinterpret_cast<IImgListDocument*>(m_list.GetItemData(item)))
        document->ActivateFirstView();
}
