// Client and image coordinates: a shown pixel converts to that very pixel, also at odd margins of a
// centred picture, and the grabbed window shows the bitmap's pixels where the conversions say.
#include "control/posin_fixture.h"

namespace {

class ConvertTest : public PosInFixture {
protected:
    // Every client pixel of the picture names the image pixel drawn there; the conversion must agree
    // (exactly when magnifying, within one pixel when minifying).
    void CheckAgreement(int n, int d) {
        view->SetZoom(n, d, FALSE);
        const QImage shot = Shot();
        RECT dst{};
        ASSERT_TRUE(view->m_painter.GetRects(nullptr, &dst));
        const int tolerance = n >= d ? 0 : 1;
        int checked = 0;
        for (int y = dst.top; y <= dst.bottom; y += 3) {
            for (int x = dst.left; x <= dst.right; x += 3) {
                const CPoint shown = PixelAt(shot, x, y);
                const CPoint converted = view->ClientToImage(CPoint(x, y), TRUE);
                ASSERT_LE(std::abs(shown.x - converted.x), tolerance)
                    << n << ":" << d << " at " << x << "," << y;
                ASSERT_LE(std::abs(shown.y - converted.y), tolerance)
                    << n << ":" << d << " at " << x << "," << y;
                double fx = 0, fy = 0;
                view->ClientToImageF(CPoint(x, y), TRUE, &fx, &fy);
                ASSERT_LE(std::abs(static_cast<int>(std::floor(fx)) - shown.x), tolerance);
                ++checked;
            }
        }
        EXPECT_GT(checked, 20);
    }
};

TEST_F(ConvertTest, ShownPixelsConvertToThemselvesWithCentredOddMargins) {
    Make(61, 45, 401, 301); // smaller than the client: centred, no bars
    ASSERT_EQ(Client(), CSize(401, 301));
    for (auto [n, d] : {std::pair{1, 1}, {2, 1}, {3, 1}, {5, 1}, {150, 100}, {1, 2}, {1, 3}})
        CheckAgreement(n, d);
}

TEST_F(ConvertTest, ShownPixelsConvertToThemselvesWhenScrolled) {
    Make(700, 500, 416, 316);
    view->SetZoom(3, 1, FALSE);
    view->ScrollToImage(123, 77, FALSE);
    CheckAgreement(3, 1);
    view->ScrollToImage(0, 0, FALSE);
    CheckAgreement(1, 2);
}

TEST_F(ConvertTest, ImageToClientAndBackIsTheSamePixel) {
    Make(61, 45, 401, 301);
    for (auto [n, d] : {std::pair{1, 1}, {4, 1}, {7, 1}}) {
        view->SetZoom(n, d, FALSE);
        for (int y = 0; y < 45; y += 4) {
            for (int x = 0; x < 61; x += 5) {
                const CPoint client = view->ImageToClientF(x, y, TRUE);
                EXPECT_EQ(view->ClientToImage(client, TRUE), CPoint(x, y)) << n << ":" << d;
            }
        }
    }
}

TEST_F(ConvertTest, AClickInTheLeftMarginIsANegativeImageX) {
    Make(61, 45, 401, 301);
    RECT dst{};
    view->m_painter.GetRects(nullptr, &dst);
    EXPECT_GT(dst.left, 100);
    EXPECT_EQ(view->ClientToImage(CPoint(dst.left - 1, dst.top), TRUE).x, -1);
    EXPECT_EQ(view->ClientToImage(CPoint(0, dst.top), TRUE).x, -dst.left);
    EXPECT_EQ(view->ClientToImage(CPoint(dst.left, dst.top), TRUE), CPoint(0, 0));
}

TEST_F(ConvertTest, GrabbedWindowShowsTheBitmapAtTheExpectedPlaces) {
    Make(1000, 800, 416, 316);
    struct Case {
        int n, d, ox, oy;
    };
    for (const Case c : {Case{1, 1, 10, 20}, Case{4, 1, 50, 60}, Case{1, 2, 0, 0}}) {
        view->SetZoom(c.n, c.d, FALSE);
        view->ScrollToImage(c.ox, c.oy, FALSE);
        const QImage shot = Shot();
        const CPoint o = view->GetImageOrigin();
        // Client (0, 0) shows the origin pixel; (n * k, n * k) shows origin + k when magnified.
        EXPECT_EQ(PixelAt(shot, 0, 0), o);
        if (c.n >= c.d) {
            EXPECT_EQ(PixelAt(shot, c.n * 7, c.n * 5), CPoint(o.x + 7, o.y + 5));
            EXPECT_EQ(PixelAt(shot, c.n * 7 + c.n - 1, c.n * 5), CPoint(o.x + 7, o.y + 5));
        } else {
            EXPECT_EQ(PixelAt(shot, 30, 20), CPoint(60, 40));
        }
    }
    EXPECT_GT(view->overlays, 0);
}

TEST_F(ConvertTest, SmallPictureLeavesTheBackgroundAroundIt) {
    Make(61, 45, 401, 301);
    const QImage shot = Shot();
    RECT dst{};
    view->m_painter.GetRects(nullptr, &dst);
    EXPECT_EQ(shot.pixel(dst.left - 1, dst.top) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(PixelAt(shot, dst.left, dst.top), CPoint(0, 0));
    EXPECT_EQ(PixelAt(shot, dst.right, dst.bottom), CPoint(60, 44));
    EXPECT_EQ(shot.pixel(dst.right + 1, dst.bottom) & 0xFFFFFF, 0xFFFFFFu);
}

} // namespace
