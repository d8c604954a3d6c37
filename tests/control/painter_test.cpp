// The view's painting without a bitmap, the crosshair lines at the pointer, the cursors of the mouse
// modes, and the library's small child frame.
#include "control/posin_fixture.h"
#include "vomLib/Control/PosInFrame.h"

namespace {

class PainterTest : public PosInFixture {};

TEST_F(PainterTest, WithoutBitmapOnlyTheBackgroundIsPainted) {
    Make(50, 40, 200, 150);
    view->SetBitmap(nullptr);
    const int before = view->overlays;
    const QImage shot = Shot();
    EXPECT_EQ(view->overlays, before);
    for (int y = 0; y < 150; y += 7)
        for (int x = 0; x < 200; x += 7)
            ASSERT_EQ(shot.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu);
    view->ScrollToImage(10, 10, FALSE); // ignored without a bitmap
    EXPECT_EQ(view->GetImageOrigin(), CPoint(0, 0));
}

TEST_F(PainterTest, CrosshairLinesFollowThePointerOverThePicture) {
    Make(120, 100, 200, 150);
    view->m_painter.m_bCrosshair = true;
    view->SetCrosshairLines(true, LoadCursor(nullptr, IDC_UPARROW));
    RECT dst{};
    view->m_painter.GetRects(nullptr, &dst);
    Send(WM_MOUSEMOVE, dst.left + 30, dst.top + 20);
    EXPECT_DOUBLE_EQ(view->m_painter.m_dPointerX, 30.0);
    EXPECT_EQ(AfxCursorId(GetCursor()), 32516u); // the point cursor
    const QImage shot = Shot();
    EXPECT_EQ(shot.pixel(dst.left + 30, dst.top + 70) & 0xFFFFFF, 0xFFFFFFu); // vertical line
    EXPECT_EQ(shot.pixel(dst.left + 90, dst.top + 20) & 0xFFFFFF, 0xFFFFFFu); // horizontal line
    EXPECT_EQ(PixelAt(shot, dst.left + 31, dst.top + 21), CPoint(31, 21));
    view->SetCrosshairLines(false);
    const QImage plain = Shot();
    EXPECT_EQ(PixelAt(plain, dst.left + 30, dst.top + 70), CPoint(30, 70));
}

TEST_F(PainterTest, EachMouseModeShowsItsCursor) {
    Make(800, 600, 416, 316);
    struct Case {
        int mode;
        UINT cursor;
    };
    for (const Case c : {Case{CPosInView::ModeZoom, 32645u}, Case{CPosInView::ModeRectArmed, 32515u},
                         Case{CPosInView::ModeMoveArmed, 32646u}}) {
        ::ReleaseCapture();
        view->m_bCaptured = FALSE;
        view->SetMouseMode(c.mode);
        Send(WM_MOUSEMOVE, 100, 100);
        EXPECT_TRUE(view->m_bCaptured);
        EXPECT_EQ(AfxCursorId(GetCursor()), c.cursor) << c.mode;
    }
}

TEST(PosInFrameTest, AnswersTheLibrarysMessagesWithZero) {
    EnsureQt();
    CObject* object = RUNTIME_CLASS(CPosInFrame)->CreateObject();
    ASSERT_NE(object, nullptr);
    auto* frame = static_cast<CPosInFrame*>(object);
    EXPECT_EQ(frame->m_nFlag, 1);
    auto* main = new CMDIFrameWnd;
    ASSERT_TRUE(main->Create(nullptr, "main", WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200), nullptr, 0));
    ASSERT_TRUE(frame->Create(nullptr, "child", WS_OVERLAPPEDWINDOW, CRect(0, 0, 100, 100), main, 0));
    for (UINT msg : {0xBD0u, 0xBD1u, 0xFB8u, 0xFB9u, 0xFBAu})
        EXPECT_EQ(frame->SendMessage(msg, 1, 2), 0);
    main->DestroyWindow(); // takes the child with it
    Pump();
}

} // namespace
