// Zoom steps and limits, direct ratios, typed percentages, zoom to a rectangle and the zoom mouse mode.
#include "control/posin_fixture.h"

namespace {

class ZoomTest : public PosInFixture {};

TEST_F(ZoomTest, ThirtyOneStepsFromSixteenToOneDownToOneToSixteen) {
    ASSERT_EQ(CPosInView::kZoomSteps, 31);
    EXPECT_EQ(CPosInView::s_zoomTable[0][0], 16);
    EXPECT_EQ(CPosInView::s_zoomTable[15][0], 1);
    EXPECT_EQ(CPosInView::s_zoomTable[15][1], 1);
    EXPECT_EQ(CPosInView::s_zoomTable[30][1], 16);
    Make(2000, 1500, 416, 316);
    std::vector<DWORD> seen{view->GetZoom()};
    for (int i = 0; i < 15; ++i) {
        view->OnZoomIn(FALSE);
        seen.push_back(view->GetZoom());
    }
    EXPECT_EQ(view->GetZoom(), MakeZoom(16, 1));
    const CPoint origin = view->GetImageOrigin();
    view->OnZoomIn(FALSE); // at the top nothing changes, the view does not move
    EXPECT_EQ(view->GetZoom(), MakeZoom(16, 1));
    EXPECT_EQ(view->GetImageOrigin(), origin);
    for (int i = 0; i < 30; ++i) {
        view->OnZoomOut(FALSE);
        seen.push_back(view->GetZoom());
    }
    EXPECT_EQ(view->GetZoom(), MakeZoom(1, 16));
    const CPoint low = view->GetImageOrigin();
    view->OnZoomOut(FALSE);
    EXPECT_EQ(view->GetZoom(), MakeZoom(1, 16));
    EXPECT_EQ(view->GetImageOrigin(), low);
    // Up through every step and down through every step.
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(seen[static_cast<size_t>(i)],
                  MakeZoom(CPosInView::s_zoomTable[15 - i][0], CPosInView::s_zoomTable[15 - i][1]));
    for (int i = 0; i < 31; ++i)
        EXPECT_EQ(seen[static_cast<size_t>(15 + i)],
                  MakeZoom(CPosInView::s_zoomTable[i][0], CPosInView::s_zoomTable[i][1]));
}

TEST_F(ZoomTest, DirectRatiosAreClampedToTheLimitsInFullWidth) {
    Make(800, 600, 416, 316);
    EXPECT_TRUE(view->SetZoom(150, 100, FALSE));
    EXPECT_EQ(view->GetZoom(), MakeZoom(150, 100));
    EXPECT_EQ(view->GetZoomPercent(), 150);
    view->OnZoomIn(FALSE);
    EXPECT_EQ(view->GetZoom(), MakeZoom(2, 1));
    view->SetZoom(150, 100, FALSE);
    view->OnZoomOut(FALSE);
    EXPECT_EQ(view->GetZoom(), MakeZoom(1, 1));
    EXPECT_FALSE(view->SetZoom(1, 17, FALSE));
    EXPECT_EQ(view->GetZoom(), MakeZoom(1, 16));
    EXPECT_FALSE(view->SetZoom(17, 1, FALSE));
    EXPECT_EQ(view->GetZoom(), MakeZoom(16, 1));
    // Beyond 16 bits: still the upper limit, never a wrapped word.
    view->SetZoom(1, 1, FALSE);
    EXPECT_FALSE(view->SetZoom(40000, 100, FALSE));
    EXPECT_EQ(view->GetZoom(), MakeZoom(16, 1));
    EXPECT_FALSE(view->SetZoom(100, 70000, FALSE));
    EXPECT_EQ(view->GetZoom(), MakeZoom(1, 16));
    EXPECT_TRUE(view->SetZoom(20000, 40000, FALSE));
    EXPECT_EQ(view->GetZoomPercent(), 50);
}

TEST_F(ZoomTest, TypedPercentagesAreCheckedBeforeNarrowing) {
    Make(800, 600, 416, 316);
    EXPECT_FALSE(view->SetZoomPercent(6, FALSE));
    EXPECT_EQ(view->GetZoomPercent(), 100);
    EXPECT_FALSE(view->SetZoomPercent(70000, FALSE)); // 70000 as 16 bits would read 4464
    EXPECT_FALSE(view->SetZoomPercent(-100, FALSE));
    EXPECT_EQ(view->GetZoomPercent(), 100);
    EXPECT_TRUE(view->SetZoomPercent(7, FALSE));
    EXPECT_EQ(view->GetZoom(), MakeZoom(7, 100));
    EXPECT_TRUE(view->SetZoomPercent(1600, FALSE));
    EXPECT_EQ(view->GetZoomPercent(), 1600);
    EXPECT_FALSE(view->SetZoomPercent(1601, FALSE));
}

TEST_F(ZoomTest, WithoutBitmapNothingIsStored) {
    Make(800, 600, 416, 316);
    view->SetBitmap(nullptr);
    EXPECT_TRUE(view->SetZoom(3, 1, FALSE));
    EXPECT_FALSE(view->SetZoom(99, 1, FALSE));
    EXPECT_EQ(view->GetZoom(), MakeZoom(1, 1));
}

TEST_F(ZoomTest, DraggedRectangleSetsTheRatioAndCentresOnIt) {
    Make(800, 600, 416, 316);
    ASSERT_EQ(Client(), CSize(400, 300));
    view->SetMouseMode(CPosInView::ModeRectArmed);
    Send(WM_LBUTTONDOWN, 100, 100, MK_LBUTTON);
    EXPECT_EQ(view->GetMouseMode(), CPosInView::ModeRubberBand);
    Send(WM_MOUSEMOVE, 109, 104, MK_LBUTTON);
    Send(WM_LBUTTONUP, 109, 104);
    // Scale min(400 / 10, 300 / 5) = 40: 4000:100, clamped to 16:1.
    EXPECT_EQ(view->GetZoom(), MakeZoom(16, 1));
    EXPECT_EQ(view->GetViewCenter(), CPoint(105, 102));
    EXPECT_EQ(view->GetMouseMode(), CPosInView::ModeNone);
    EXPECT_EQ(view->zoomNotices, 1);

    view->SetZoom(1, 1, FALSE);
    view->ScrollToImage(0, 0, FALSE);
    view->SetMouseMode(CPosInView::ModeRectArmed);
    Send(WM_LBUTTONDOWN, 50, 60, MK_LBUTTON);
    Send(WM_LBUTTONUP, 249, 159);
    EXPECT_EQ(view->GetZoom(), MakeZoom(200, 100));
    EXPECT_EQ(view->GetViewCenter(), CPoint(150, 110));
}

TEST_F(ZoomTest, ZoomModeClickZoomsInAroundThePixelAndDragBecomesARectangle) {
    Make(800, 600, 416, 316);
    view->SetMouseMode(CPosInView::ModeZoom);
    Send(WM_LBUTTONDOWN, 200, 150, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 201, 151, MK_LBUTTON); // within the tolerance: still a click
    Send(WM_LBUTTONUP, 201, 151);
    EXPECT_EQ(view->GetZoom(), MakeZoom(2, 1));
    EXPECT_EQ(view->GetViewCenter(), CPoint(200, 150));
    // Right click zooms out around the pressed point.
    Send(WM_RBUTTONDOWN, 0, 0);
    Send(WM_RBUTTONUP, 0, 0);
    EXPECT_EQ(view->GetZoom(), MakeZoom(1, 1));
    // A drag beyond one pixel turns into a rubber band.
    view->ScrollToImage(0, 0, FALSE);
    view->SetMouseMode(CPosInView::ModeZoom);
    Send(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 30, 30, MK_LBUTTON);
    EXPECT_EQ(view->GetMouseMode(), CPosInView::ModeRubberBand);
    Send(WM_LBUTTONUP, 209, 109);
    EXPECT_EQ(view->GetZoom(), MakeZoom(200, 100)); // min(400 / 200, 300 / 100) = 2
}

} // namespace
