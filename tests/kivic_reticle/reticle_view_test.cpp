// The reticle view: clicks as positions from the picture's bottom edge, the origin set by a right click,
// rows written by left clicks, the origin's crosshair, the grey background.
#include <QWidget>

#include "KivIc/Reticle/ReticleView.h"
#include "afx/afx_test_app.h"
#include "afx_core/temp_dir.h"
#include "kivic_reticle/reticle_fixture.h"
#include "platform/gdi/gdiqt.h"

namespace {

class OwnedReticleView : public CReticleView {
public:
    void PostNcDestroy() override {}
};

class ReticleViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQt();
        QImage image(100, 80, QImage::Format_RGB32);
        image.fill(qRgb(0, 0, 0));
        bitmap = CreateBitmapFromImage(image);
        doc = new TestReticleDoc;
        doc->height = 80;
        ASSERT_TRUE(view.Create(nullptr, "reticle", WS_OVERLAPPED, CRect(0, 0, 301, 201), nullptr, 0));
        doc->AddView(&view);
        view.OnInitialUpdate();
        view.SetBitmap(bitmap);
        view.SetZoom(1, 1, FALSE);
        view.GetWidget()->show();
        Pump();
        ASSERT_TRUE(view.m_painter.GetRects(nullptr, &dst));
    }
    void TearDown() override {
        doc->CloseCsv();
        doc->RemoveView(&view);
        view.DestroyWindow();
        delete doc;
        DeleteObject(bitmap);
        AfxSetFileDialogHook(nullptr);
        Pump();
    }
    void Click(UINT down, int x, int y) { view.SendMessage(down, 0, MAKELPARAM(x, y)); }

    HBITMAP bitmap = nullptr;
    TestReticleDoc* doc = nullptr;
    OwnedReticleView view;
    RECT dst{};
    TempDir dir;
};

TEST_F(ReticleViewTest, PositionsAreCountedFromTheBottomEdge) {
    double x = 0, y = 0;
    view.ClientToImageBottomUp(CPoint(dst.left + 10, dst.bottom), &x, &y);
    EXPECT_DOUBLE_EQ(x, 10.0);
    EXPECT_DOUBLE_EQ(y, 0.0); // the bottom row
    view.ClientToImageBottomUp(CPoint(dst.left, dst.top), &x, &y);
    EXPECT_DOUBLE_EQ(y, 79.0); // the top row
    EXPECT_DOUBLE_EQ(view.ImageYFromBottom(80, 79.0), 0.0);
    EXPECT_DOUBLE_EQ(view.ImageYFromBottom(80, view.ImageYFromBottom(80, 12.0)), 12.0);
    view.SetZoom(2, 1, FALSE);
    EXPECT_DOUBLE_EQ(view.ImageYFromBottom(80, 10.0), 69.5);
}

TEST_F(ReticleViewTest, RightClickSetsTheOriginOnlyWhilePointInputIsOn) {
    Click(WM_RBUTTONDOWN, dst.left + 30, dst.bottom - 20);
    EXPECT_EQ(doc->GetOriginX(), 0.0);
    const std::string path = dir.Path("r.csv");
    ASSERT_TRUE(doc->OpenCsv(path.c_str()));
    Click(WM_RBUTTONDOWN, dst.left + 30, dst.bottom - 20);
    EXPECT_DOUBLE_EQ(doc->GetOriginX(), 30.0);
    EXPECT_DOUBLE_EQ(doc->GetOriginY(), 20.0);
    doc->frame = 9;
    doc->rate = 1000;
    Click(WM_LBUTTONDOWN, dst.left + 42, dst.bottom - 25);
    doc->CloseCsv();
    const std::string text = TempDir::ReadAll(path);
    const std::string row = "9,9.00,12.00,5.00,30.00,20.00\r\n";
    ASSERT_GE(text.size(), row.size());
    EXPECT_EQ(text.substr(text.size() - row.size()), row);
}

TEST_F(ReticleViewTest, LeftClickWithoutPointInputKeepsTheViewsMouseModes) {
    view.SetMouseMode(CPosInView::ModeMoveArmed);
    Click(WM_LBUTTONDOWN, dst.left + 5, dst.top + 5);
    EXPECT_EQ(view.GetMouseMode(), CPosInView::ModeMoving);
}

TEST_F(ReticleViewTest, TheOriginIsDrawnAsACrosshairOverTheGreyBackground) {
    AfxSetFileDialogHook([&](CFileDialog* d) {
        d->SetPathName(dir.Path("t.csv").c_str());
        return static_cast<INT_PTR>(IDOK);
    });
    EXPECT_TRUE(view.TogglePointInput());
    EXPECT_TRUE(view.m_painter.m_bCrosshair);
    doc->SetReticleOrigin(40.0, 30.0); // 30 rows above the bottom edge: top-down row 49
    view.Invalidate(TRUE);
    view.UpdateWindow();
    const QImage shot = view.GetWidget()->grab().toImage();
    const int cx = dst.left + 40;
    const int cy = dst.top + 49;
    EXPECT_EQ(shot.pixel(cx, dst.top + 3) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(shot.pixel(dst.left + 3, cy) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(shot.pixel(cx + 2, cy + 2) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(shot.pixel(2, 2) & 0xFFFFFF, 0xB4B4B4u); // background RGB(180, 180, 180)
    EXPECT_FALSE(view.TogglePointInput());
    view.Invalidate(TRUE);
    view.UpdateWindow();
    const QImage plain = view.GetWidget()->grab().toImage();
    EXPECT_EQ(plain.pixel(cx, dst.top + 3) & 0xFFFFFF, 0x000000u);
}

TEST_F(ReticleViewTest, AFailedRowEndsPointInputAndTellsTheUser) {
    if (GetFileAttributesA("/dev/full") == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no /dev/full";
    MessageBoxRecorder boxes;
    ASSERT_TRUE(doc->OpenCsv("/dev/full"));
    Click(WM_LBUTTONDOWN, dst.left + 1, dst.top + 1);
    EXPECT_FALSE(doc->IsPointInput());
    EXPECT_EQ(boxes.texts.size(), 1u);
}

} // namespace
