// The tracking view: the marker and the template frame of a found point drawn on the pixel it names at
// 1:4, 1:1 and 4:1, clicks that land on the pixel clicked, and what a view draws and takes without
// parameters or without point input.
#include <gtest/gtest.h>

#include <climits>

#include <QImage>
#include <QMdiSubWindow>
#include <QWidget>

#include "tests/kivic_tracking_layer/tracking_fixture.h"

namespace {

// The smallest rectangle (right and bottom inclusive) holding every pixel of the colour; empty when none.
CRect BoundsOf(const QImage& image, QRgb colour) {
    CRect box(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((row[x] & 0xFFFFFF) != (colour & 0xFFFFFF))
                continue;
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x);
            box.bottom = std::max<LONG>(box.bottom, y);
        }
    }
    return box;
}

bool IsEmptyBox(const CRect& box) {
    return box.left > box.right;
}

class TrackingViewTest : public TrackingLayerTest {
protected:
    // A recording of 160 x 120 with one point set by hand at picture pixel (41, 25) and a template radius
    // of 3; the 4 x 4 pixels from (40, 24) are painted blue in the shown picture, so that the screen shows
    // where that pixel lies at every zoom.
    void SetUp() override {
        TrackingLayerTest::SetUp();
        doc = OpenTracked("width=160,height=120", 1);
        ASSERT_NE(doc, nullptr);
        view = ViewOf(doc);
        ASSERT_NE(view, nullptr);
        main->GetWidget()->resize(1200, 900);
        TrackingFrameOf(doc)->GetSubWindow()->resize(760, 600);
        Pump();
        doc->GetJobTable()->params.Get(0)->Get(0)->templateRadiusX = 3;
        doc->GetJobTable()->params.Get(0)->Get(0)->templateRadiusY = 3;
        SetByHand(doc, 0, 41.0, 25.0);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, doc->GetFrameBitmap());
        HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
        const RECT block{40, 24, 44, 28};
        FillRect(dc, &block, blue);
        DeleteObject(blue);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    QImage Show(int numerator, int denominator) {
        view->SetZoom(numerator, denominator, FALSE);
        view->CenterOn(41, 25, FALSE);
        view->m_painter.Refresh(view->GetSafeHwnd(), TRUE);
        Pump();
        return view->GetWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    CGenRecordingDoc* doc = nullptr;
    CGenRecordingView* view = nullptr;
};

TEST_F(TrackingViewTest, MarkerAndTemplateFrameLieOnThePixelAtEveryZoom) {
    for (const auto& [n, d] : {std::pair{1, 4}, std::pair{1, 1}, std::pair{4, 1}}) {
        SCOPED_TRACE(std::to_string(n) + ":" + std::to_string(d));
        const QImage shot = Show(n, d);
        const CRect block = BoundsOf(shot, qRgb(0, 0, 255));
        ASSERT_FALSE(IsEmptyBox(block)) << "the painted pixels are not on the screen";
        // Screen pixels per picture pixel (at 1:4 four picture pixels share one screen pixel).
        const int size = n / d;
        const int blockSize = std::max(4 * n / d, 1);
        EXPECT_EQ(block.Width() + 1, blockSize);
        // Where picture pixel 41 of row 25 lies on the screen.
        const CRect pixel = size >= 1 ? CRect(block.left + size, block.top + size, block.left + 2 * size - 1,
                                              block.top + 2 * size - 1)
                                      : CRect(block.left, block.top, block.left, block.top);

        const CRect marker = BoundsOf(shot, qRgb(255, 0, 0));
        ASSERT_FALSE(IsEmptyBox(marker)) << "no marker drawn";
        const CPoint centre((marker.left + marker.right + 1) / 2, (marker.top + marker.bottom + 1) / 2);
        EXPECT_GE(centre.x, pixel.left);
        EXPECT_LE(centre.x, pixel.right);
        EXPECT_GE(centre.y, pixel.top);
        EXPECT_LE(centre.y, pixel.bottom);
        EXPECT_EQ(marker.Width() + 1, 2 * CTrackingView::kMarkerSize);

        // The frame encloses the template's pixels 38..44 x 22..28 and nothing more.
        const CRect frame = BoundsOf(shot, qRgb(0, 255, 0));
        ASSERT_FALSE(IsEmptyBox(frame)) << "no template frame drawn";
        if (size >= 1) {
            EXPECT_EQ(frame.left, pixel.left - 3 * size);
            EXPECT_EQ(frame.top, pixel.top - 3 * size);
            EXPECT_EQ(frame.right, pixel.right + 3 * size);
            EXPECT_EQ(frame.bottom, pixel.bottom + 3 * size);
        } else {
            const CPoint origin = view->GetImageOrigin();
            RECT dst{};
            ASSERT_TRUE(view->m_painter.GetRects(nullptr, &dst));
            EXPECT_EQ(frame.left, dst.left + (38 - origin.x) / 4);
            EXPECT_EQ(frame.right, dst.left + (44 - origin.x) / 4);
            EXPECT_EQ(frame.top, dst.top + (22 - origin.y) / 4);
            EXPECT_EQ(frame.bottom, dst.top + (28 - origin.y) / 4);
        }
    }
}

TEST_F(TrackingViewTest, AClickLandsOnThePixelClickedAtEveryZoom) {
    for (const auto& [n, d] : {std::pair{1, 4}, std::pair{1, 1}, std::pair{4, 1}}) {
        SCOPED_TRACE(std::to_string(n) + ":" + std::to_string(d));
        const QImage shot = Show(n, d);
        const CRect block = BoundsOf(shot, qRgb(0, 0, 255));
        ASSERT_FALSE(IsEmptyBox(block));
        const int size = std::max(n / d, 1);
        // Every screen pixel of picture pixel (41, 25) (at 1:4 the one of its block).
        const int first = n / d >= 1 ? size : 0;
        for (int dy = 0; dy < size; ++dy) {
            for (int dx = 0; dx < size; ++dx) {
                const CPoint click(block.left + first + dx, block.top + first + dy);
                double x = 0.0;
                double y = 0.0;
                ASSERT_TRUE(view->ClientToTablePoint(click, &x, &y));
                if (n / d >= 1) {
                    EXPECT_EQ(std::lround(x), 41);
                    EXPECT_EQ(std::lround(120.0 - y), 25) << "y counts up from the bottom edge";
                }
                EXPECT_EQ(view->TablePointToClient(x, y), click) << "drawn where it was clicked";
            }
        }
    }
    // A click through the window: the selected point takes it and the next row is selected.
    Show(4, 1);
    doc->ApplySetup2d(2, 100);
    PosBar()->SelectRow(1);
    const CPoint at = view->TablePointToClient(80.0, 120.0 - 60.0);
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    const PointEntry* entry = EntryOf(doc, 0, 1);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->state, 0);
    EXPECT_EQ(entry->flag, 1);
    EXPECT_NEAR(entry->x / 1000.0, 80.0, 0.5);
    EXPECT_NEAR(entry->y / 1000.0, 60.0, 0.5);
    EXPECT_EQ(PosBar()->GetSelectedRow(), 1);
}

TEST_F(TrackingViewTest, ClicksOffThePictureOrWithoutARowSetNothing) {
    Show(1, 1);
    PosBar()->SelectRow(-1);
    const CPoint at = view->TablePointToClient(60.0, 60.0);
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    EXPECT_EQ(EntryOf(doc, 0, 0)->x, 41000);
    PosBar()->SelectRow(0);
    RECT dst{};
    ASSERT_TRUE(view->m_painter.GetRects(nullptr, &dst));
    double x = 0.0;
    double y = 0.0;
    EXPECT_FALSE(view->ClientToTablePoint(CPoint(dst.right + 1, dst.top), &x, &y));
    // Point input off: the click is the reticle layer's, which has no file open either.
    doc->SetPointInputMode(0);
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    EXPECT_EQ(EntryOf(doc, 0, 0)->x, 41000);
}

TEST_F(TrackingViewTest, APointWithoutParametersIsMarkedWithoutFrameAndNothingShowsWithoutPointInput) {
    doc->GetJobTable()->params.Get(0)->Clear();
    QImage shot = Show(1, 1);
    EXPECT_FALSE(IsEmptyBox(BoundsOf(shot, qRgb(255, 0, 0))));
    EXPECT_TRUE(IsEmptyBox(BoundsOf(shot, qRgb(0, 255, 0))));

    doc->SetPointInputMode(0);
    shot = Show(1, 1);
    EXPECT_TRUE(IsEmptyBox(BoundsOf(shot, qRgb(255, 0, 0))));
    doc->SetPointInputMode(1);
    doc->SetPoint(0, 0, 0.0, 0.0, TRUE, FALSE); // lost: not drawn
    shot = Show(1, 1);
    EXPECT_TRUE(IsEmptyBox(BoundsOf(shot, qRgb(255, 0, 0))));
}

} // namespace
