// Control bars at the four edges of a frame: docking by style and by dock-bar id, the edges a frame
// and a bar allow, and the bars' edges, order and visibility kept in the profile across two frames.
#include <QMainWindow>
#include <QToolBar>

#include "afx/mdi_fixture.h"

namespace {

constexpr UINT kLeftBar = 971;
constexpr UINT kRightBar = 972;
constexpr UINT kTopBar = 973;
constexpr UINT kToolRes = 974;

void RegisterBarTemplates() {
    for (UINT id : {kLeftBar, kRightBar, kTopBar}) {
        AFX_DLG_TEMPLATE dialog;
        dialog.cx = 80;
        dialog.cy = 40;
        dialog.items.emplace_back(AfxControl::PushButton, static_cast<int>(id) + 100, CString("B"), 2, 2, 20,
                                  12);
        AfxRegisterDialog(id, dialog);
    }
    AfxRegisterToolBar(kToolRes, {{41101, "A"}, {41102, "B"}});
}

// A frame with a toolbar, three dialog bars and a status bar, made the same way at every start.
struct BarFrame {
    BarFrame() {
        RegisterBarTemplates();
        frame = new CFrameWnd;
        EXPECT_TRUE(frame->Create(nullptr, "bars", WS_OVERLAPPEDWINDOW, CRect(0, 0, 800, 600), nullptr, 0));
        EXPECT_TRUE(tool.CreateEx(frame));
        EXPECT_TRUE(tool.LoadToolBar(kToolRes));
        EXPECT_TRUE(top.Create(frame, kTopBar, CBRS_TOP, kTopBar));
        EXPECT_TRUE(left.Create(frame, kLeftBar, CBRS_TOP, kLeftBar));
        EXPECT_TRUE(right.Create(frame, kRightBar, CBRS_TOP, kRightBar));
        EXPECT_TRUE(status.Create(frame));
        frame->EnableDocking(CBRS_ALIGN_ANY);
    }
    ~BarFrame() {
        status.DestroyWindow();
        right.DestroyWindow();
        left.DestroyWindow();
        top.DestroyWindow();
        tool.DestroyWindow();
        frame->DestroyWindow(); // deletes the frame
    }
    int X(CControlBar& bar) const { return bar.m_pDockHost->geometry().x(); }
    CFrameWnd* frame = nullptr;
    CToolBar tool;
    CDialogBar top, left, right;
    CStatusBar status;
};

TEST(DockingTest, BarsDockAtTheEdgeTheirStyleOrTheirDockBarNames) {
    EnsureQt();
    RegisterBarTemplates();
    auto* frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "dock", WS_OVERLAPPEDWINDOW, CRect(0, 0, 600, 400), nullptr, 0));
    CDialogBar side, bottom;
    ASSERT_TRUE(side.Create(frame, kLeftBar, CBRS_LEFT, kLeftBar));
    ASSERT_TRUE(bottom.Create(frame, kRightBar, CBRS_BOTTOM, kRightBar));
    CToolBar tool;
    ASSERT_TRUE(tool.CreateEx(frame));
    EXPECT_EQ(frame->GetControlBarSide(&side), CBRS_ALIGN_LEFT);
    EXPECT_EQ(frame->GetControlBarSide(&bottom), CBRS_ALIGN_BOTTOM);
    EXPECT_EQ(frame->GetControlBarSide(&tool), CBRS_ALIGN_TOP);
    EXPECT_EQ(side.m_pDockHost->orientation(), Qt::Vertical);

    frame->DockControlBar(&side, AFX_IDW_DOCKBAR_RIGHT);
    frame->DockControlBar(&tool, AFX_IDW_DOCKBAR_LEFT);
    frame->DockControlBar(&bottom, AFX_IDW_DOCKBAR_TOP);
    EXPECT_EQ(frame->GetControlBarSide(&side), CBRS_ALIGN_RIGHT);
    EXPECT_EQ(frame->GetControlBarSide(&tool), CBRS_ALIGN_LEFT);
    EXPECT_EQ(frame->GetControlBarSide(&bottom), CBRS_ALIGN_TOP);
    EXPECT_EQ(bottom.m_pDockHost->orientation(), Qt::Horizontal);

    // The user may drag a bar only to edges that both the frame and the bar allow.
    frame->EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT);
    side.EnableDocking(CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT);
    EXPECT_TRUE(side.m_pDockHost->isAreaAllowed(Qt::LeftToolBarArea));
    EXPECT_FALSE(side.m_pDockHost->isAreaAllowed(Qt::TopToolBarArea));
    EXPECT_FALSE(tool.m_pDockHost->isAreaAllowed(Qt::BottomToolBarArea));
    EXPECT_TRUE(tool.m_pDockHost->isMovable());
    bottom.EnableDocking(0);
    EXPECT_FALSE(bottom.m_pDockHost->isMovable());

    // Shown, the side bars sit at the window's left and right edges.
    frame->ShowWindow(SW_SHOW);
    Pump();
    const int width = frame->GetWidget()->width();
    EXPECT_EQ(tool.m_pDockHost->geometry().left(), 0);
    EXPECT_EQ(side.m_pDockHost->geometry().right(), width - 1);
    EXPECT_TRUE(side.GetWidget()->isVisible());
    tool.DestroyWindow();
    bottom.DestroyWindow();
    side.DestroyWindow();
    frame->DestroyWindow();
}

class BarStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQt();
        setenv("KIVIC_AFX_PROFILE", dir.Path("bars.ini").c_str(), 1);
        app = std::make_unique<CWinApp>("bars");
    }
    void TearDown() override {
        app.reset();
        Pump();
        unsetenv("KIVIC_AFX_PROFILE");
    }
    TempDir dir;
    std::unique_ptr<CWinApp> app;
};

TEST_F(BarStateTest, EdgesOrderAndVisibilityComeBackOnTheNextStart) {
    {
        BarFrame first;
        first.frame->LoadBarState("KIVTOOLBARS"); // nothing kept yet: the bars stay where they are
        EXPECT_EQ(first.frame->GetControlBarSide(&first.left), CBRS_ALIGN_TOP);
        first.frame->ShowWindow(SW_SHOW);
        Pump();
        ASSERT_LT(first.X(first.tool), first.X(first.top)); // the order they were made in
        first.frame->DockControlBar(&first.left, AFX_IDW_DOCKBAR_LEFT);
        first.frame->DockControlBar(&first.right, AFX_IDW_DOCKBAR_RIGHT);
        first.frame->DockControlBar(&first.tool, AFX_IDW_DOCKBAR_TOP); // now after the top bar
        first.frame->ShowControlBar(&first.right, FALSE, FALSE);
        first.frame->ShowControlBar(&first.status, FALSE, FALSE);
        Pump();
        ASSERT_LT(first.X(first.top), first.X(first.tool));
        first.frame->SaveBarState("KIVTOOLBARS");
    }
    // Restored while the frame is made, before it is shown, as a program does at start.
    BarFrame second;
    second.frame->LoadBarState("KIVTOOLBARS");
    second.frame->ShowWindow(SW_SHOW);
    Pump();
    EXPECT_EQ(second.frame->GetControlBarSide(&second.left), CBRS_ALIGN_LEFT);
    EXPECT_EQ(second.frame->GetControlBarSide(&second.right), CBRS_ALIGN_RIGHT);
    EXPECT_EQ(second.frame->GetControlBarSide(&second.top), CBRS_ALIGN_TOP);
    EXPECT_EQ(second.frame->GetControlBarSide(&second.tool), CBRS_ALIGN_TOP);
    EXPECT_LT(second.X(second.top), second.X(second.tool));
    EXPECT_TRUE(second.left.IsVisible());
    EXPECT_FALSE(second.right.IsVisible());
    EXPECT_FALSE(second.status.IsVisible());
    EXPECT_TRUE(second.tool.IsVisible());
}

TEST_F(BarStateTest, ADamagedLayoutLeavesTheBarsWhereTheyAre) {
    app->WriteProfileString("KIVTOOLBARS", "Layout", "bm90IGEgbGF5b3V0");
    BarFrame frame;
    frame.frame->DockControlBar(&frame.left, AFX_IDW_DOCKBAR_LEFT);
    frame.frame->LoadBarState("KIVTOOLBARS");
    EXPECT_EQ(frame.frame->GetControlBarSide(&frame.left), CBRS_ALIGN_LEFT);
    EXPECT_EQ(frame.frame->GetControlBarSide(&frame.right), CBRS_ALIGN_TOP);
    EXPECT_TRUE(frame.right.IsVisible());
}

} // namespace
