// A report-style list of the bars: rows of text cells with an item value and an image index, one
// selected row at most.
#pragma once

#include <functional>
#include <vector>

#include "platform/afx/afxwin.h"

class QTreeWidget;

class CBarReportList : public CWnd {
    DECLARE_DYNAMIC(CBarReportList)
public:
    BOOL Create(CWnd* pParentWnd, const RECT& rect, UINT nID, const std::vector<CString>& columns);

    // Inserts before index (at the end when index is past it); returns the row's index or -1.
    int InsertItem(int index, LPCTSTR text, int image = 0);
    BOOL SetItemText(int item, int subItem, LPCTSTR text);
    CString GetItemText(int item, int subItem) const;
    BOOL SetItemData(int item, DWORD_PTR data);
    DWORD_PTR GetItemData(int item) const;
    int GetItemImage(int item) const;
    BOOL DeleteItem(int item);
    BOOL DeleteAllItems();
    int GetItemCount() const;
    // The row whose item value is data, or -1.
    int FindItemData(DWORD_PTR data) const;
    BOOL SelectItem(int item);
    // The selected row, or -1.
    int GetSelectedItem() const;
    int GetSelectedCount() const { return GetSelectedItem() >= 0 ? 1 : 0; }
    // Called with the row the user clicked.
    void SetOnClick(std::function<void(int)> onClick) { m_onClick = std::move(onClick); }
    // As a click of the user on the row.
    void ClickItem(int item);

private:
    QTreeWidget* Tree() const;
    std::function<void(int)> m_onClick;
};
