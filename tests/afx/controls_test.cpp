// List controls: items with texts and data, selection and focus states, and the click and
// item-changed notifications that reach the parent.
#include <QTreeWidget>

#include "afx/afx_test_app.h"

namespace {

constexpr UINT kList = 55;

class Parent : public CWnd {
public:
    std::vector<std::pair<UINT, int>> notes;

protected:
    void OnClick(NMHDR* hdr, LRESULT*) {
        notes.emplace_back(hdr->code, reinterpret_cast<NMLISTVIEW*>(hdr)->iItem);
    }
    void OnChanged(NMHDR* hdr, LRESULT*) {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(hdr);
        if (nm->uNewState & LVIS_SELECTED)
            notes.emplace_back(hdr->code, nm->iItem);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Parent, CWnd)
ON_NOTIFY(NM_CLICK, kList, OnClick)
ON_NOTIFY(LVN_ITEMCHANGED, kList, OnChanged)
END_MESSAGE_MAP()

TEST(ListCtrlTest, ItemsDataSelectionAndNotifications) {
    EnsureQt();
    Parent parent;
    ASSERT_TRUE(parent.Create(nullptr, "p", WS_OVERLAPPED, CRect(0, 0, 300, 200), nullptr, 0));
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL, CRect(0, 0, 300, 200),
                            &parent, kList));
    list.InsertColumn(0, "Path");
    list.InsertColumn(1, "Name");
    EXPECT_EQ(list.InsertItem(0, "/a.cm8"), 0);
    EXPECT_EQ(list.InsertItem(5, "/b.avi"), 1); // past the end: appended
    EXPECT_EQ(list.InsertItem(0, "/c.bmp"), 0);
    list.SetItemText(1, 1, "Kiv");
    list.SetItemData(1, 0xABCDEF);
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_STREQ(list.GetItemText(1, 0), "/a.cm8");
    EXPECT_STREQ(list.GetItemText(1, 1), "Kiv");
    EXPECT_EQ(list.GetItemData(1), 0xABCDEFu);
    EXPECT_FALSE(list.SetItemText(1, 5, "no such column"));
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);
    list.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 2);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED | LVNI_SELECTED), 2);
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED); // single selection: the other goes
    EXPECT_EQ(list.GetSelectedCount(), 1);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 0);
    ASSERT_GE(parent.notes.size(), 2u);
    EXPECT_EQ(parent.notes[0], (std::pair<UINT, int>(LVN_ITEMCHANGED, 2)));
    emit list.GetTree()->itemClicked(list.GetTree()->topLevelItem(1), 0);
    EXPECT_EQ(parent.notes.back(), (std::pair<UINT, int>(NM_CLICK, 1)));
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_STREQ(list.GetItemText(0, 0), "/a.cm8");
    list.DeleteAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
    list.DestroyWindow();
    parent.DestroyWindow();
}

} // namespace

namespace {

constexpr UINT kCmdA = 41001;
constexpr UINT kCmdB = 41002;
constexpr UINT kCmdNone = 41003;

class BarFrame : public CFrameWnd {
public:
    std::vector<UINT> ran;
    bool checkB = true;

protected:
    void OnA() { ran.push_back(kCmdA); }
    void OnB() { ran.push_back(kCmdB); }
    void OnUpdateB(CCmdUI* ui) { ui->SetCheck(checkB ? 1 : 0); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(BarFrame, CFrameWnd)
ON_COMMAND(kCmdA, OnA)
ON_COMMAND(kCmdB, OnB)
ON_UPDATE_COMMAND_UI(kCmdB, OnUpdateB)
END_MESSAGE_MAP()

TEST(BarsTest, ToolbarButtonsFollowUpdateUiAndSendTheirCurrentIds) {
    EnsureQt();
    AfxRegisterToolBar(930, {{kCmdA, "A"}, {0, ""}, {kCmdB, "B"}, {kCmdNone, "None"}});
    auto* frame = new BarFrame;
    ASSERT_TRUE(frame->Create(nullptr, "bars", WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200), nullptr, 0));
    CToolBar bar;
    ASSERT_TRUE(bar.CreateEx(frame));
    ASSERT_TRUE(bar.LoadToolBar(930));
    EXPECT_EQ(bar.GetCount(), 4);
    EXPECT_EQ(bar.CommandToIndex(kCmdB), 2);
    frame->OnIdleUpdateCmdUI();
    EXPECT_TRUE(bar.IsButtonEnabled(0));
    EXPECT_TRUE(bar.IsButtonChecked(2));
    EXPECT_FALSE(bar.IsButtonEnabled(3));
    frame->checkB = false;
    frame->OnIdleUpdateCmdUI();
    EXPECT_FALSE(bar.IsButtonChecked(2));
    bar.PressButton(0);
    bar.PressButton(3); // disabled: nothing
    EXPECT_EQ(frame->ran, std::vector<UINT>{kCmdA});
    bar.SetButtonInfo(0, kCmdB, TBBS_BUTTON, 0); // renumbered
    bar.PressButton(0);
    EXPECT_EQ(frame->ran, (std::vector<UINT>{kCmdA, kCmdB}));
    frame->ShowControlBar(&bar, FALSE, FALSE);
    EXPECT_FALSE(bar.IsVisible());
    frame->ShowControlBar(&bar, TRUE, FALSE);
    EXPECT_TRUE(bar.IsVisible());

    CStatusBar status;
    ASSERT_TRUE(status.Create(frame));
    const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
    ASSERT_TRUE(status.SetIndicators(indicators, 4));
    EXPECT_EQ(status.GetCount(), 4);
    EXPECT_STREQ(status.GetPaneText(1), "CAP");
    frame->SetMessageText("Ready");
    EXPECT_STREQ(status.GetPaneText(0), "Ready");
    status.DestroyWindow();
    bar.DestroyWindow();
    frame->DestroyWindow(); // deletes the frame
}

TEST(SpinTest, StepsWithinItsRangeAndWritesTheBuddy) {
    EnsureQt();
    CWnd parent;
    ASSERT_TRUE(parent.Create(nullptr, "p", WS_OVERLAPPED, CRect(0, 0, 100, 50), nullptr, 0));
    CEdit buddy;
    ASSERT_TRUE(buddy.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 40, 20), &parent, 1017));
    CSpinButtonCtrl spin;
    ASSERT_TRUE(spin.Create(WS_CHILD | WS_VISIBLE, CRect(40, 0, 56, 20), &parent, 1110));
    spin.SetBuddy(&buddy);
    spin.SetRange(0, 24);
    spin.SetPos(23);
    CString text;
    buddy.GetWindowText(text);
    EXPECT_STREQ(text, "23");
    spin.Step(1);
    spin.Step(1);
    EXPECT_EQ(spin.GetPos(), 24);
    buddy.SetWindowText("3"); // typed by the user
    spin.Step(-1);
    EXPECT_EQ(spin.GetPos(), 2);
    spin.SetPos(-7);
    EXPECT_EQ(spin.GetPos(), 0);
    int lo = -1, hi = -1;
    spin.GetRange32(lo, hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 24);
    spin.DestroyWindow();
    buddy.DestroyWindow();
    parent.DestroyWindow();
}

TEST(BitmapButtonTest, PaintsTheFaceOfItsState) {
    EnsureQt();
    auto face = [](QRgb c) {
        QImage image(20, 16, QImage::Format_RGB32);
        image.fill(c);
        return image;
    };
    AfxRegisterBitmap(135, face(qRgb(255, 0, 0)));
    AfxRegisterBitmap(140, face(qRgb(0, 255, 0)));
    AfxRegisterBitmap(134, face(qRgb(0, 0, 255)));
    AfxRegisterBitmap(136, face(qRgb(90, 90, 90)));
    CWnd parent;
    ASSERT_TRUE(parent.Create(nullptr, "p", WS_OVERLAPPED, CRect(0, 0, 100, 50), nullptr, 0));
    CBitmapButton button;
    ASSERT_TRUE(button.Create(nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 1028));
    ASSERT_TRUE(button.LoadBitmaps(135, 140, 134, 136));
    EXPECT_FALSE(button.LoadBitmaps(999));
    ASSERT_TRUE(button.LoadBitmaps(135, 140, 134, 136));
    button.SizeToContent();
    EXPECT_EQ(button.GetWidget()->size(), QSize(20, 16));
    auto shown = [&]() { return button.GetWidget()->grab().toImage().pixel(5, 5) & 0xFFFFFF; };
    EXPECT_EQ(shown(), 0xFF0000u);
    button.EnableWindow(FALSE);
    EXPECT_EQ(shown(), 0x5A5A5Au);
    button.EnableWindow(TRUE);
    button.SetCheck(1);
    EXPECT_EQ(shown(), 0x00FF00u);
    button.DestroyWindow();
    parent.DestroyWindow();
}

} // namespace
