// Panning with the mouse, the wheel and the scroll bars, and the mouse modes with capture and cursors.
#include <QScrollBar>

#include "control/posin_fixture.h"

namespace {

class PanTest : public PosInFixture {};

TEST_F(PanTest, ScrollBarRequestsMoveThePictureAndKeepTheBarInStep) {
    Make(800, 600, 416, 316);
    view->SetZoom(2, 1, FALSE);
    view->ScrollToImage(0, 0, FALSE);
    int mapMode = 0;
    SIZE total{}, page{}, line{};
    view->GetDeviceScrollSizes(mapMode, total, page, line);
    EXPECT_EQ(total.cx, 1600);
    EXPECT_EQ(total.cy, 1200);
    view->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), 0);
    EXPECT_EQ(view->GetImageOrigin().x, line.cx / 2);
    EXPECT_EQ(view->GetScrollPos(SB_HORZ), view->GetImageOrigin().x * 2);
    view->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_PAGERIGHT, 0), 0);
    EXPECT_EQ(view->GetImageOrigin().x, (line.cx + 400) / 2);
    view->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 301), 0);
    EXPECT_EQ(view->GetImageOrigin().y, 150);
    EXPECT_EQ(view->GetScrollPos(SB_VERT), 300);
    view->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0), 0);
    EXPECT_EQ(view->GetImageOrigin().x, 800 - 400 / 2); // the last screenful
    view->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_LEFT, 0), 0);
    EXPECT_EQ(view->GetImageOrigin().x, 0);
    // The Qt bar's own actions arrive as the same requests.
    QScrollBar* bar = view->GetQtScrollBar(SB_VERT);
    ASSERT_NE(bar, nullptr);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(view->GetImageOrigin().y, (300 + 300) / 2);
    EXPECT_EQ(bar->value(), 600);
}

TEST_F(PanTest, WheelNotchMovesOneHundredTwentyScreenPixels) {
    Make(800, 600, 416, 316);
    view->ScrollToImage(0, 100, FALSE);
    view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(view->GetImageOrigin().y, 220);
    view->SetZoom(2, 1, FALSE);
    view->ScrollToImage(0, 100, FALSE);
    view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_EQ(view->GetImageOrigin().y, 40);
    view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_EQ(view->GetImageOrigin().y, 0);
    EXPECT_EQ(view->GetScrollPos(SB_VERT), 0);
}

TEST_F(PanTest, MoveModeDragsThePictureWithinItsBounds) {
    Make(800, 600, 416, 316);
    view->ScrollToImage(100, 100, FALSE);
    view->SetMouseMode(CPosInView::ModeMoveArmed);
    Send(WM_MOUSEMOVE, 50, 50);
    EXPECT_TRUE(view->m_bCaptured);
    EXPECT_EQ(AfxCursorId(GetCursor()), 32646u); // four-way arrow
    Send(WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);
    EXPECT_EQ(view->GetMouseMode(), CPosInView::ModeMoving);
    Send(WM_MOUSEMOVE, 80, 70, MK_LBUTTON);
    EXPECT_EQ(view->GetImageOrigin(), CPoint(70, 80));
    Send(WM_MOUSEMOVE, 380, 290, MK_LBUTTON);
    EXPECT_EQ(view->GetImageOrigin(), CPoint(0, 0));
    Send(WM_LBUTTONUP, 380, 290);
    EXPECT_EQ(view->GetMouseMode(), CPosInView::ModeMoveArmed);
    // Leaving the picture without a button releases the capture and restores the cursor.
    view->SetZoom(1, 4, FALSE);
    Send(WM_MOUSEMOVE, 399, 299);
    EXPECT_FALSE(view->m_bCaptured);
}

TEST_F(PanTest, RubberBandFallsBackWhenTheButtonIsUpAndIsDrawnWhileDragging) {
    Make(800, 600, 416, 316);
    view->SetMouseMode(CPosInView::ModeRectArmed);
    Send(WM_LBUTTONDOWN, 100, 100, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 150, 140, MK_LBUTTON);
    const QImage* surface = view->GetSurface();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->pixel(120, 100) & 0xFFFFFF, 0xFF0000u); // the band's top edge in red
    EXPECT_EQ(surface->pixel(100, 120) & 0xFFFFFF, 0xFF0000u);
    Send(WM_MOUSEMOVE, 150, 140, 0);
    EXPECT_EQ(view->GetMouseMode(), CPosInView::ModeRectArmed);
}

} // namespace
