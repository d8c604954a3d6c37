// The point-position bar (dialog 288): one row per tracked point of the shown frame, with the point's
// number and its X and Y position, and the tracking buttons whose commands go to the active frame.
#pragma once

#include "KivIc/Bars/BarReportList.h"
#include "ZopDat/PositionRow.h"
#include "platform/afx/afxwin.h"

enum : UINT {
    IDD_POSBAR = 288,
    IDC_POS_LIST = 1167,
    IDC_POS_STARTTRACKING = 1168,
    IDC_POS_VANISH = 1169,
    IDC_POS_TRACE = 1170,
    IDC_POS_MATCHINGPARAM = 1171,
};

class CPosDlgBar : public CDialogBar {
    DECLARE_DYNAMIC(CPosDlgBar)
public:
    static void RegisterTemplate();
    BOOL CreateBar(CWnd* pParent);

    // Appends the row of the point at index (0-based; the row shows its number, index + 1); returns the
    // row's index, or -1 when the bar has no list yet. The row that was selected when the rows were
    // last deleted is selected again as it comes back, so a refresh of the list keeps the selection.
    int AddRow(int index, const PositionRow& row);
    BOOL DeleteAllRows();
    // Selects the row (-1: none); FALSE when there is no such row.
    BOOL SelectRow(int row);
    // The selected row, or -1.
    int GetSelectedRow() const { return m_list.GetSelectedItem(); }
    int GetRowCount() const { return m_list.GetItemCount(); }
    CString GetRowText(int row, int column) const { return m_list.GetItemText(row, column); }

    // The X and Y cells of a point: its numbers, "Vanish" for a lost point, a blank without position.
    static void FormatPosition(const PositionRow& row, CString& x, CString& y);

private:
    CBarReportList m_list;
    int m_nKeptRow = -1;
};
