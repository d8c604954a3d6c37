// Drawing with pens and brushes, and DCs on Qt surfaces, pixel by pixel.
#include <QGuiApplication>

#include "gdi_fixture.h"

namespace {

constexpr COLORREF kPen = RGB(255, 0, 0);
constexpr COLORREF kBrush = RGB(0, 0, 255);
constexpr COLORREF kBack = RGB(0, 0, 0);

// Selects a pen and a brush for one test and puts the previous ones back.
struct Tools {
    HDC dc;
    HPEN pen;
    HBRUSH brush;
    HGDIOBJ oldPen, oldBrush;
    Tools(HDC d, int penStyle = PS_SOLID, int width = 1, bool nullBrush = false)
        : dc(d), pen(CreatePen(penStyle, width, kPen)),
          brush(nullBrush ? reinterpret_cast<HBRUSH>(GetStockObject(NULL_BRUSH)) : CreateSolidBrush(kBrush)) {
        oldPen = SelectObject(dc, pen);
        oldBrush = SelectObject(dc, brush);
    }
    ~Tools() {
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(pen);
        DeleteObject(brush);
    }
};

TEST_F(GdiTest, LinesLeaveOutTheirLastPixel) {
    Surface s(8, 8);
    Tools tools(s.dc);
    POINT previous{};
    MoveToEx(s.dc, 1, 1, nullptr);
    ASSERT_TRUE(LineTo(s.dc, 6, 1));
    MoveToEx(s.dc, 0, 7, &previous);
    EXPECT_EQ(previous.x, 6); // LineTo moved the current position
    LineTo(s.dc, 0, 3);
    MoveToEx(s.dc, 2, 3, nullptr);
    LineTo(s.dc, 6, 7);
    EXPECT_EQ(s.Row(0, kPen, kBrush, kBack), "........");
    EXPECT_EQ(s.Row(1, kPen, kBrush, kBack), ".#####..");
    EXPECT_EQ(s.Row(2, kPen, kBrush, kBack), "........");
    EXPECT_EQ(s.Row(3, kPen, kBrush, kBack), "..#.....");
    EXPECT_EQ(s.Row(4, kPen, kBrush, kBack), "#..#....");
    EXPECT_EQ(s.Row(5, kPen, kBrush, kBack), "#...#...");
    EXPECT_EQ(s.Row(6, kPen, kBrush, kBack), "#....#..");
    EXPECT_EQ(s.Row(7, kPen, kBrush, kBack), "#.......");
}

TEST_F(GdiTest, VeryLongLinesAreCutToTheDevice) {
    Surface s(8, 4);
    Tools tools(s.dc);
    MoveToEx(s.dc, -2000000000, 1, nullptr);
    ASSERT_TRUE(LineTo(s.dc, 2000000000, 1));
    MoveToEx(s.dc, 3, -1000000, nullptr);
    LineTo(s.dc, 3, 1000000);
    EXPECT_EQ(s.Row(0, kPen, kBrush, kBack), "...#....");
    EXPECT_EQ(s.Row(1, kPen, kBrush, kBack), "########");
    EXPECT_EQ(s.Row(3, kPen, kBrush, kBack), "...#....");
    // A huge polygon fills what is visible of it.
    const POINT big[] = {{-100000000, -100000000}, {100000000, -100000000}, {100000000, 100000000}};
    Tools fill(s.dc, PS_NULL);
    ASSERT_TRUE(Polygon(s.dc, big, 3));
    EXPECT_EQ(s.Row(0, kPen, kBrush, kBack), "oooooooo");
    EXPECT_EQ(GetPixel(s.dc, 7, 3), kBrush); // above the diagonal y = x
    EXPECT_EQ(GetPixel(s.dc, 0, 3), kBack);
}

TEST_F(GdiTest, WidePensAndXorPens) {
    Surface s(8, 5);
    {
        Tools tools(s.dc, PS_SOLID, 3);
        MoveToEx(s.dc, 1, 2, nullptr);
        LineTo(s.dc, 6, 2);
    }
    EXPECT_EQ(s.Row(0, kPen, kBrush, kBack), "........");
    // Pixels 1..5 of the line, each widened to a 3 x 3 square.
    EXPECT_EQ(s.Row(1, kPen, kBrush, kBack), "#######.");
    EXPECT_EQ(s.Row(2, kPen, kBrush, kBack), "#######.");
    EXPECT_EQ(s.Row(3, kPen, kBrush, kBack), "#######.");
    EXPECT_EQ(s.Row(4, kPen, kBrush, kBack), "........");
    // An XOR pen drawn twice gives the picture back, even where a wide pen overlaps itself.
    Tools xorTools(s.dc, PS_SOLID, 3);
    EXPECT_EQ(SetROP2(s.dc, R2_XORPEN), R2_COPYPEN);
    const POINT zigzag[] = {{0, 0}, {4, 4}, {7, 0}};
    Polyline(s.dc, zigzag, 3);
    EXPECT_EQ(GetPixel(s.dc, 0, 0), kPen ^ kBack);
    Polyline(s.dc, zigzag, 3);
    EXPECT_EQ(s.Row(0, kPen, kBrush, kBack), "........");
    EXPECT_EQ(s.Row(2, kPen, kBrush, kBack), "#######.");
    SetROP2(s.dc, R2_COPYPEN);
}

TEST_F(GdiTest, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
    Surface s(8, 6);
    {
        Tools tools(s.dc);
        ASSERT_TRUE(Rectangle(s.dc, 1, 1, 6, 5));
    }
    EXPECT_EQ(s.Row(0, kPen, kBrush, kBack), "........");
    EXPECT_EQ(s.Row(1, kPen, kBrush, kBack), ".#####..");
    EXPECT_EQ(s.Row(2, kPen, kBrush, kBack), ".#ooo#..");
    EXPECT_EQ(s.Row(3, kPen, kBrush, kBack), ".#ooo#..");
    EXPECT_EQ(s.Row(4, kPen, kBrush, kBack), ".#####..");
    EXPECT_EQ(s.Row(5, kPen, kBrush, kBack), "........");

    // Without a pen the brush covers one pixel less each way; FillRect covers the whole rectangle.
    Surface t(8, 4);
    {
        Tools tools(t.dc, PS_NULL);
        Rectangle(t.dc, 0, 0, 4, 3);
    }
    HBRUSH red = CreateSolidBrush(kPen);
    RECT r{5, 1, 7, 4};
    EXPECT_EQ(FillRect(t.dc, &r, red), 1);
    DeleteObject(red);
    EXPECT_EQ(t.Row(0, kPen, kBrush, kBack), "ooo.....");
    EXPECT_EQ(t.Row(1, kPen, kBrush, kBack), "ooo..##.");
    EXPECT_EQ(t.Row(2, kPen, kBrush, kBack), ".....##.");
    EXPECT_EQ(t.Row(3, kPen, kBrush, kBack), ".....##.");
}

TEST_F(GdiTest, EllipseStaysInItsBoxAndIsSymmetric) {
    Surface s(12, 9);
    {
        Tools tools(s.dc);
        ASSERT_TRUE(Ellipse(s.dc, 1, 1, 11, 8));
    }
    std::vector<std::string> rows;
    for (int y = 0; y < 9; ++y)
        rows.push_back(s.Row(y, kPen, kBrush, kBack));
    EXPECT_EQ(rows[0], "............");
    EXPECT_EQ(rows[8], "............");
    for (int y = 1; y < 8; ++y) {
        EXPECT_EQ(rows[y][0], '.');
        EXPECT_EQ(rows[y][11], '.');
        // Mirror images left to right and top to bottom.
        EXPECT_EQ(rows[y], std::string(rows[y].rbegin(), rows[y].rend())) << y;
        EXPECT_EQ(rows[y], rows[8 - y]) << y;
        EXPECT_EQ(rows[y].find('?'), std::string::npos);
    }
    EXPECT_EQ(rows[4][1], '#');  // the box's left edge is touched at mid height
    EXPECT_EQ(rows[4][10], '#'); // and its right edge less one
    EXPECT_EQ(rows[1][5], '#');
    EXPECT_EQ(rows[7][5], '#');
    EXPECT_EQ(rows[4][5], 'o');
    EXPECT_EQ(rows[1][1], '.'); // corners stay free
    EXPECT_EQ(rows[7][10], '.');
    // The outline is closed: every brush pixel has only pen or brush pixels around it.
    for (int y = 1; y < 8; ++y)
        for (int x = 1; x < 11; ++x)
            if (rows[y][x] == 'o') {
                for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                    EXPECT_NE(rows[y + dy][x + dx], '.') << x << "," << y;
            }
}

TEST_F(GdiTest, PolygonFillRules) {
    // A triangle, outline included.
    Surface s(7, 5);
    {
        Tools tools(s.dc);
        const POINT triangle[] = {{0, 0}, {6, 0}, {0, 4}};
        ASSERT_TRUE(Polygon(s.dc, triangle, 3));
    }
    EXPECT_EQ(s.Row(0, kPen, kBrush, kBack), "#######");
    EXPECT_EQ(s.Row(1, kPen, kBrush, kBack)[0], '#');
    EXPECT_EQ(s.Row(1, kPen, kBrush, kBack)[1], 'o');
    EXPECT_EQ(s.Row(4, kPen, kBrush, kBack), "#......");

    // Two overlapping squares in one outline: the overlap is a hole with ALTERNATE, filled with WINDING.
    const POINT twice[] = {{0, 0}, {6, 0}, {6, 6}, {0, 6}, {0, 0}, {6, 0}, {6, 6}, {0, 6}};
    Surface a(8, 8), w(8, 8);
    {
        Tools tools(a.dc, PS_NULL);
        Polygon(a.dc, twice, 8);
    }
    {
        Tools tools(w.dc, PS_NULL);
        EXPECT_EQ(SetPolyFillMode(w.dc, WINDING), ALTERNATE);
        Polygon(w.dc, twice, 8);
    }
    EXPECT_EQ(GetPixel(a.dc, 3, 3), kBack);
    EXPECT_EQ(GetPixel(w.dc, 3, 3), kBrush);
    EXPECT_EQ(w.Row(0, kPen, kBrush, kBack), "oooooo..");
    EXPECT_EQ(w.Row(6, kPen, kBrush, kBack), "........");
}

TEST_F(GdiTest, DashedPenLeavesGaps) {
    Surface s(30, 1);
    Tools tools(s.dc, PS_DASH);
    SetBkMode(s.dc, TRANSPARENT);
    MoveToEx(s.dc, 0, 0, nullptr);
    LineTo(s.dc, 30, 0);
    EXPECT_EQ(s.Row(0, kPen, kBrush, kBack),
              std::string(18, '#') + std::string(6, '.') + std::string(6, '#'));
}

TEST_F(GdiTest, DcOnImageAndOnPainterDrawTheSame) {
    QImage direct(6, 4, QImage::Format_RGB32), painted(6, 4, QImage::Format_RGB32);
    direct.fill(Qt::black);
    painted.fill(Qt::black);
    auto draw = [](HDC dc) {
        Tools tools(dc);
        Rectangle(dc, 0, 0, 5, 4);
        SetPixel(dc, 5, 3, RGB(1, 2, 3));
    };
    HDC d = CreateDCOnImage(&direct);
    ASSERT_NE(d, nullptr);
    draw(d);
    EXPECT_EQ(GetPixel(d, 1, 1), kBrush);
    DeleteDC(d);
    {
        QPainter painter(&painted);
        HDC p = CreateDCOnPainter(&painter, 6, 4);
        ASSERT_NE(p, nullptr);
        draw(p);
        DeleteDC(p);
    }
    EXPECT_EQ(direct, painted);
    EXPECT_EQ(RgbToColorRef(direct.pixel(5, 3)), RGB(1, 2, 3));
    EXPECT_EQ(RgbToColorRef(direct.pixel(4, 0)), kPen);
    QImage indexed(4, 4, QImage::Format_Indexed8);
    EXPECT_EQ(CreateDCOnImage(&indexed), nullptr);
}

TEST_F(GdiTest, WindowDcsUseTheProvidersSurface) {
    QImage backing(4, 4, QImage::Format_RGB32);
    backing.fill(Qt::white);
    HWND window = reinterpret_cast<HWND>(0x1234);
    HWND released = nullptr;
    WindowSurfaceProvider old = SetWindowSurfaceProvider(
        {[&](HWND w) { return w == window ? &backing : nullptr; }, [&](HWND w) { released = w; }});
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 4);
    SetPixel(dc, 2, 1, RGB(7, 8, 9));
    EXPECT_EQ(ReleaseDC(reinterpret_cast<HWND>(0x99), dc), 0); // not that window's DC
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    EXPECT_EQ(released, window);
    EXPECT_EQ(RgbToColorRef(backing.pixel(2, 1)), RGB(7, 8, 9));
    // A window without a surface draws nowhere, and reads nothing.
    HDC other = GetDC(reinterpret_cast<HWND>(0x99));
    EXPECT_EQ(GetPixel(other, 0, 0), CLR_INVALID);
    ReleaseDC(reinterpret_cast<HWND>(0x99), other);
    SetWindowSurfaceProvider(old);
}

TEST_F(GdiTest, TextOutPaintsInTheTextColour) {
    int argc = 1;
    char name[] = "test_gdi";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    Surface s(60, 20, RGB(255, 255, 255));
    SetTextColor(s.dc, RGB(0, 0, 0));
    SetBkMode(s.dc, TRANSPARENT);
    ASSERT_TRUE(TextOutA(s.dc, 2, 2, "Hi", 2));
    int dark = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x)
            dark += GetPixel(s.dc, x, y) != RGB(255, 255, 255);
    EXPECT_GT(dark, 5);
    EXPECT_EQ(GetPixel(s.dc, 59, 19), RGB(255, 255, 255));
}

} // namespace
