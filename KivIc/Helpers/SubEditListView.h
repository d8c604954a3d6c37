// A list view whose sub-items can be edited in place: an edit field over the sub-item; when it loses
// the focus the parent is asked (end of label edit) whether to keep the new text.
#pragma once

#include "platform/afx/afxwin.h"

class CSubEditListView;

// The in-place field: takes every key itself and ends the edit when it loses the focus.
class CSubEdit : public CEdit {
public:
    CSubEditListView* m_pView = nullptr;

protected:
    void OnKillFocus(CWnd* pNewWnd);
    UINT OnGetDlgCode();
    DECLARE_MESSAGE_MAP()
};

class CSubEditListView : public CListView {
    DECLARE_DYNCREATE(CSubEditListView)
public:
    enum { kEditId = 1, kSingleSelectOnEnd = 4 };
    CSubEditListView();
    ~CSubEditListView() override;

    // Opens the field over the sub-item with its text.
    BOOL EditSubItem(int nItem, int nSubItem);
    void EndEdit();
    void HideEdit();
    BOOL IsEditing() const { return m_bEditing; }
    CEdit& GetEditCtrl() { return m_edit; }

    BOOL m_bEditing = FALSE;
    int m_nStyleFlags = 0;
    int m_nEditItem = -1;
    int m_nEditSubItem = -1;

protected:
    void OnListScrolled(int value) override;
    void PlaceEdit();
    CSubEdit m_edit;
};
