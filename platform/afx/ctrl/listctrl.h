// Report-style list controls on a Qt tree widget: columns, items with sub-item texts and item data,
// selection and focus states, and the notifications their parent gets (click, item changed, end of
// label edit). The list view is a view whose window is such a list.
#pragma once

#include "platform/afx/doc/view.h"

class QTreeWidget;

#define LVS_REPORT 0x0001u
#define LVS_SINGLESEL 0x0004u
#define LVS_SHOWSELALWAYS 0x0008u
#define LVS_EDITLABELS 0x0200u
#define LVIF_TEXT 0x0001u
#define LVIF_IMAGE 0x0002u
#define LVIF_PARAM 0x0004u
#define LVIF_STATE 0x0008u
#define LVIS_FOCUSED 0x0001u
#define LVIS_SELECTED 0x0002u
#define LVNI_ALL 0x0000u
#define LVNI_FOCUSED 0x0001u
#define LVNI_SELECTED 0x0002u
#define LVIR_BOUNDS 0
#define LVIR_LABEL 2
#define LVCFMT_LEFT 0
#define NM_CLICK (0u - 2u)
#define LVN_ITEMCHANGED (0u - 101u)
#define LVN_ENDLABELEDIT (0u - 106u)

struct LVITEM {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    LPSTR pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
};
using LV_ITEM = LVITEM;

struct LV_DISPINFO {
    NMHDR hdr;
    LVITEM item;
};
using NMLVDISPINFO = LV_DISPINFO;

struct NMITEMACTIVATE {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
    UINT uKeyFlags;
};

struct NMLISTVIEW {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
};

class CListCtrl : public CWnd {
    DECLARE_DYNAMIC(CListCtrl)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1);
    int InsertItem(int nItem, LPCTSTR lpszItem);
    int InsertItem(const LVITEM* pItem);
    BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText);
    CString GetItemText(int nItem, int nSubItem) const;
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    DWORD_PTR GetItemData(int nItem) const;
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    int GetItemCount() const;
    int GetSelectedCount() const;
    int GetNextItem(int nItem, int nFlags) const;
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    UINT GetItemState(int nItem, UINT nMask) const;
    BOOL GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const;
    BOOL EnsureVisible(int nItem, BOOL bPartialOK);
    // The Qt list (also when this object speaks for a list view's window).
    QTreeWidget* GetTree() const { return m_pTree; }
    // Binds the operations to a list made elsewhere; notifications name pSource.
    void BindTree(QTreeWidget* pTree, CWnd* pSource);

protected:
    void Notify(UINT code, int item, int subItem, UINT newState, UINT oldState);

    QTreeWidget* m_pTree = nullptr;
    CWnd* m_pSource = nullptr;
    bool m_bQuiet = false;
};

class CListView : public CView {
    DECLARE_DYNCREATE(CListView)
public:
    CListView();
    ~CListView() override;
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr) override;
    CListCtrl& GetListCtrl() const { return *m_pList; }
    void OnDraw(CDC*) override {}

protected:
    // The list scrolled vertically (the bar's new position).
    virtual void OnListScrolled(int) {}

private:
    CListCtrl* m_pList;
};
