// In-place sub-item editing: the parent decides at the end of the edit whether the text is kept.
#include <QLineEdit>
#include <QScrollBar>
#include <QTreeWidget>

#include "KivIc/Helpers/SubEditListView.h"
#include "afx/afx_test_app.h"

namespace {

constexpr UINT kListId = 77;

class ListParent : public CWnd {
public:
    LRESULT answer = 1;
    std::vector<std::tuple<int, int, std::string, int, UINT>> edits;

protected:
    void OnEndLabelEdit(NMHDR* hdr, LRESULT* result) {
        auto* info = reinterpret_cast<LV_DISPINFO*>(hdr);
        edits.emplace_back(info->item.iItem, info->item.iSubItem, info->item.pszText, info->item.cchTextMax,
                           info->item.mask);
        *result = answer;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ListParent, CWnd)
ON_NOTIFY(LVN_ENDLABELEDIT, kListId, OnEndLabelEdit)
END_MESSAGE_MAP()

class OwnedSubEditView : public CSubEditListView {
public:
    void PostNcDestroy() override {}
};

class SubEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQt();
        ASSERT_TRUE(parent.Create(nullptr, "p", WS_OVERLAPPED, CRect(0, 0, 400, 300), nullptr, 0));
        ASSERT_TRUE(view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 380, 280),
                                &parent, kListId));
        CListCtrl& list = view.GetListCtrl();
        list.InsertColumn(0, "No");
        list.InsertColumn(1, "X");
        list.InsertColumn(2, "Y");
        for (int i = 0; i < 40; ++i) {
            CString no;
            no.Format("%d", i + 1);
            list.InsertItem(i, no);
            list.SetItemText(i, 1, "1.0");
            list.SetItemText(i, 2, "2.0");
        }
        parent.ShowWindow(SW_SHOW);
        Pump();
    }
    void TearDown() override {
        view.DestroyWindow();
        parent.DestroyWindow();
        Pump();
    }
    void Type(const char* text) {
        auto* edit = qobject_cast<QLineEdit*>(view.GetEditCtrl().GetWidget());
        ASSERT_NE(edit, nullptr);
        edit->setText(text);
    }
    ListParent parent;
    OwnedSubEditView view;
};

TEST_F(SubEditTest, TheParentKeepsOrRefusesTheNewText) {
    ASSERT_TRUE(view.EditSubItem(3, 2));
    EXPECT_TRUE(view.IsEditing());
    CString start;
    view.GetEditCtrl().GetWindowText(start);
    EXPECT_STREQ(start, "2.0");
    Type("12.5");
    view.EndEdit();
    EXPECT_FALSE(view.IsEditing());
    ASSERT_EQ(parent.edits.size(), 1u);
    EXPECT_EQ(parent.edits[0],
              std::make_tuple(3, 2, std::string("12.5"), 4 + 64, static_cast<UINT>(LVIF_TEXT)));
    EXPECT_STREQ(view.GetListCtrl().GetItemText(3, 2), "12.5");
    EXPECT_TRUE(view.GetListCtrl().GetItemState(3, LVIS_SELECTED) & LVIS_SELECTED);
    // Refused by the parent, or empty: the old text stays.
    parent.answer = 0;
    view.EditSubItem(4, 1);
    Type("9.9");
    view.EndEdit();
    EXPECT_STREQ(view.GetListCtrl().GetItemText(4, 1), "1.0");
    parent.answer = 1;
    view.EditSubItem(5, 1);
    Type("");
    view.EndEdit();
    EXPECT_STREQ(view.GetListCtrl().GetItemText(5, 1), "1.0");
    EXPECT_EQ(parent.edits.size(), 3u);
    view.EndEdit(); // not editing: nothing more is sent
    EXPECT_EQ(parent.edits.size(), 3u);
}

TEST_F(SubEditTest, LosingTheFocusEndsTheEditAndScrollingMovesTheField) {
    view.EditSubItem(1, 1);
    Type("3.25");
    CRect before;
    view.GetListCtrl().GetSubItemRect(1, 1, LVIR_LABEL, before);
    CRect field;
    view.GetEditCtrl().GetWindowRect(&field);
    view.GetListCtrl().GetTree()->verticalScrollBar()->setValue(5);
    Pump();
    CRect moved;
    view.GetEditCtrl().GetWindowRect(&moved);
    EXPECT_LT(moved.top, field.top);
    view.GetEditCtrl().SendMessage(WM_KILLFOCUS);
    EXPECT_FALSE(view.IsEditing());
    EXPECT_STREQ(view.GetListCtrl().GetItemText(1, 1), "3.25");
    EXPECT_EQ(view.GetEditCtrl().SendMessage(WM_GETDLGCODE) & DLGC_WANTALLKEYS,
              static_cast<LRESULT>(DLGC_WANTALLKEYS));
}

TEST_F(SubEditTest, StyleFlagFourMakesTheListSingleSelectInstead) {
    view.m_nStyleFlags = CSubEditListView::kSingleSelectOnEnd;
    view.EditSubItem(2, 1);
    view.EndEdit();
    EXPECT_TRUE(view.GetStyle() & LVS_SINGLESEL);
    EXPECT_EQ(view.GetListCtrl().GetTree()->selectionMode(), QAbstractItemView::SingleSelection);
}

} // namespace
