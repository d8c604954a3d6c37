// Marker painters: outline shapes around a point, nothing for unknown shapes, rectangle outlines.
#include <QImage>

#include <gtest/gtest.h>

#include "platform/gdi/gdiqt.h"
#include "vomLib/Control/PosInMarker.h"

namespace {

struct Canvas {
    QImage image{40, 40, QImage::Format_RGB32};
    HDC dc;
    Canvas() {
        image.fill(Qt::black);
        dc = CreateDCOnImage(&image);
    }
    ~Canvas() { DeleteDC(dc); }
    bool Red(int x, int y) const { return (image.pixel(x, y) & 0xFFFFFF) == 0xFF0000u; }
    int Count() const {
        int n = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                n += Red(x, y) ? 1 : 0;
        return n;
    }
};

TEST(MarkerTest, SquareAndDiamondAreOutlinesAroundThePoint) {
    Canvas square;
    PosInWnd::DrawMarker(square.dc, POINT{20, 20}, PosInWnd::MarkerSquare, 5, RGB(255, 0, 0));
    EXPECT_TRUE(square.Red(15, 15));
    EXPECT_TRUE(square.Red(15, 20));
    EXPECT_FALSE(square.Red(20, 20)); // hollow
    EXPECT_FALSE(square.Red(13, 20));
    Canvas diamond;
    PosInWnd::DrawMarker(diamond.dc, POINT{20, 20}, PosInWnd::MarkerDiamond, 5, RGB(255, 0, 0));
    EXPECT_TRUE(diamond.Red(15, 20));
    EXPECT_TRUE(diamond.Red(20, 15));
    EXPECT_FALSE(diamond.Red(20, 20));
    EXPECT_FALSE(diamond.Red(15, 15));
}

TEST(MarkerTest, CircleTrianglesAndUnknownShapes) {
    Canvas circle;
    PosInWnd::DrawMarker(circle.dc, POINT{20, 20}, PosInWnd::MarkerCircle, 6, RGB(255, 0, 0));
    EXPECT_GT(circle.Count(), 20);
    EXPECT_FALSE(circle.Red(20, 20));
    Canvas up;
    PosInWnd::DrawMarker(up.dc, POINT{20, 20}, PosInWnd::MarkerTriangleUp, 6, RGB(255, 0, 0));
    EXPECT_TRUE(up.Red(20, 14)); // apex up
    EXPECT_FALSE(up.Red(20, 26) && up.Red(20, 13));
    Canvas down;
    PosInWnd::DrawMarker(down.dc, POINT{20, 20}, PosInWnd::MarkerTriangleDown, 6, RGB(255, 0, 0));
    EXPECT_TRUE(down.Red(20, 14)); // the base is at the top
    for (int shape : {0, 1, 7, 99}) {
        Canvas none;
        PosInWnd::DrawMarker(none.dc, POINT{20, 20}, shape, 6, RGB(255, 0, 0));
        EXPECT_EQ(none.Count(), 0) << shape;
    }
}

TEST(MarkerTest, RectangleOutlineWithItsPenWidth) {
    Canvas thin;
    PosInWnd::DrawRect(thin.dc, RECT{5, 5, 30, 20}, 1, RGB(255, 0, 0));
    EXPECT_TRUE(thin.Red(5, 10));
    EXPECT_TRUE(thin.Red(10, 5));
    EXPECT_FALSE(thin.Red(6, 10));
    EXPECT_FALSE(thin.Red(15, 12));
}

} // namespace
