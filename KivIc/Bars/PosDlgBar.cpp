#include "KivIc/Bars/PosDlgBar.h"

#include <cstdint>
#include <locale>
#include <sstream>

#include <QTreeWidget>

IMPLEMENT_DYNAMIC(CPosDlgBar, CDialogBar)

namespace {

constexpr std::uint16_t kStateLost = 1;
constexpr std::uint16_t kStateNoPosition = 65535;

// A number as a text stream writes it by default (six significant digits).
CString StreamText(double value) {
    std::ostringstream stream;
    stream.imbue(std::locale::classic());
    stream << value;
    return CString(stream.str().c_str());
}

} // namespace

void CPosDlgBar::RegisterTemplate() {
    if (AfxFindDialog(IDD_POSBAR) != nullptr)
        return;
    AFX_DLG_TEMPLATE dialog;
    dialog.cx = 160;
    dialog.cy = 150;
    dialog.items.emplace_back(AfxControl::Static, -1, CString("Position List:"), 2, 2, 80, 10);
    dialog.items.emplace_back(AfxControl::PushButton, IDC_POS_STARTTRACKING, CString("Start Tracking"), 2,
                              120, 76, 12);
    dialog.items.emplace_back(AfxControl::PushButton, IDC_POS_VANISH, CString("Vanish"), 82, 120, 76, 12);
    dialog.items.emplace_back(AfxControl::PushButton, IDC_POS_TRACE, CString("Trace"), 2, 134, 76, 12);
    dialog.items.emplace_back(AfxControl::PushButton, IDC_POS_MATCHINGPARAM, CString("Matching Param"), 82,
                              134, 76, 12);
    AfxRegisterDialog(IDD_POSBAR, std::move(dialog));
}

BOOL CPosDlgBar::CreateBar(CWnd* pParent) {
    RegisterTemplate();
    if (!Create(pParent, IDD_POSBAR, CBRS_LEFT, IDD_POSBAR))
        return FALSE;
    const CRect rect(AfxDluX(2), AfxDluY(14), AfxDluX(158), AfxDluY(116));
    return m_list.Create(this, rect, IDC_POS_LIST, {CString("No."), CString("X"), CString("Y")});
}

void CPosDlgBar::FormatPosition(const PositionRow& row, CString& x, CString& y) {
    const auto state = static_cast<std::uint16_t>(row.state);
    if (state == kStateLost) {
        x = "Vanish";
        y = "Vanish";
    } else if (state == kStateNoPosition) {
        x = " ";
        y = " ";
    } else {
        x = StreamText(row.x);
        y = StreamText(row.y);
    }
}

int CPosDlgBar::AddRow(int index, const PositionRow& row) {
    if (m_list.GetSafeHwnd() == nullptr)
        return -1;
    // Points are numbered from 1, as the matching-parameter dialog and the exported positions name them.
    CString number;
    number.Format("%d", index + 1);
    const int item = m_list.InsertItem(m_list.GetItemCount(), number);
    if (item < 0)
        return -1;
    CString x;
    CString y;
    FormatPosition(row, x, y);
    m_list.SetItemText(item, 1, x);
    m_list.SetItemText(item, 2, y);
    if (item == m_nKeptRow)
        m_list.SelectItem(item);
    return item;
}

BOOL CPosDlgBar::DeleteAllRows() {
    m_nKeptRow = m_list.GetSelectedItem();
    return m_list.DeleteAllItems();
}

BOOL CPosDlgBar::SelectRow(int row) {
    if (row == -1) {
        if (auto* tree = qobject_cast<QTreeWidget*>(m_list.GetWidget()))
            tree->clearSelection();
        m_nKeptRow = -1;
        return TRUE;
    }
    return m_list.SelectItem(row);
}
