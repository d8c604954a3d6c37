// Device contexts and bitmaps: transfers, stretching and DIB conversions, pixel by pixel.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "gdi_fixture.h"

namespace {

// A bottom-up 24-bit DIB whose pixel (x, y) (y counted from the top) is Colour(x, y).
struct Dib24 {
    BITMAPINFO info{};
    std::vector<BYTE> bits;
    Dib24(int width, int height, bool topDown = false) {
        info.bmiHeader = {40, width, topDown ? -height : height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        const auto stride = DibRowBytes(width, 24);
        bits.assign(stride * height, 0xEE); // padding bytes that must never show
        for (int y = 0; y < height; ++y) {
            BYTE* row = bits.data() + stride * (topDown ? y : height - 1 - y);
            for (int x = 0; x < width; ++x) {
                const COLORREF c = Colour(x, y);
                row[3 * x] = GetBValue(c);
                row[3 * x + 1] = GetGValue(c);
                row[3 * x + 2] = GetRValue(c);
            }
        }
    }
    static COLORREF Colour(int x, int y) { return RGB(10 + 20 * x, 5 + 30 * y, (x * 7 + y * 3) & 0xFF); }
};

TEST_F(GdiTest, BitBltCopiesTheSourceRectangleExactly) {
    Surface src(8, 6), dst(8, 6, RGB(1, 2, 3));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            SetPixel(src.dc, x, y, RGB(x * 30, y * 40, 99));
    ASSERT_TRUE(BitBlt(dst.dc, 2, 1, 3, 2, src.dc, 4, 3, SRCCOPY));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 5 && y >= 1 && y < 3;
            const COLORREF want = inside ? RGB((x + 2) * 30, (y + 2) * 40, 99) : RGB(1, 2, 3);
            EXPECT_EQ(GetPixel(dst.dc, x, y), want) << x << "," << y;
        }
    // Source pixels outside the source bitmap leave the destination alone.
    ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 8, 6, src.dc, 6, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(dst.dc, 1, 0), RGB(7 * 30, 0, 99));
    EXPECT_EQ(GetPixel(dst.dc, 2, 0), RGB(1, 2, 3));
}

TEST_F(GdiTest, RasterOperationsCombineSourceAndDestination) {
    Surface src(2, 1), dst(2, 1);
    SetPixel(src.dc, 0, 0, RGB(0xF0, 0x0F, 0x55));
    SetPixel(src.dc, 1, 0, RGB(0x00, 0xFF, 0x80));
    auto reset = [&] {
        SetPixel(dst.dc, 0, 0, RGB(0x3C, 0x3C, 0x0F));
        SetPixel(dst.dc, 1, 0, RGB(0x12, 0x34, 0x56));
    };
    struct Case {
        DWORD rop;
        COLORREF first;
    } cases[] = {
        {SRCCOPY, RGB(0xF0, 0x0F, 0x55)},    {SRCPAINT, RGB(0xFC, 0x3F, 0x5F)},
        {SRCAND, RGB(0x30, 0x0C, 0x05)},     {SRCINVERT, RGB(0xCC, 0x33, 0x5A)},
        {NOTSRCCOPY, RGB(0x0F, 0xF0, 0xAA)}, {DSTINVERT, RGB(0xC3, 0xC3, 0xF0)},
        {SRCERASE, RGB(0xC0, 0x03, 0x50)},   {BLACKNESS, RGB(0, 0, 0)},
        {WHITENESS, RGB(255, 255, 255)},     {MERGEPAINT, RGB(0x3F, 0xFC, 0xAF)},
    };
    for (const Case& c : cases) {
        reset();
        ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, c.rop)) << std::hex << c.rop;
        EXPECT_EQ(GetPixel(dst.dc, 0, 0), c.first) << std::hex << c.rop;
        EXPECT_EQ(GetPixel(dst.dc, 1, 0), RGB(0x12, 0x34, 0x56)) << std::hex << c.rop;
    }
    // XOR twice gives the destination back.
    reset();
    BitBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, SRCINVERT);
    BitBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, SRCINVERT);
    EXPECT_EQ(GetPixel(dst.dc, 1, 0), RGB(0x12, 0x34, 0x56));
}

TEST_F(GdiTest, StretchDIBitsColorOnColorDoublesAndHalves) {
    Dib24 dib(4, 3);
    Surface big(8, 6), small(2, 2, RGB(9, 9, 9));
    SetStretchBltMode(big.dc, COLORONCOLOR);
    ASSERT_EQ(
        StretchDIBits(big.dc, 0, 0, 8, 6, 0, 0, 4, 3, dib.bits.data(), &dib.info, DIB_RGB_COLORS, SRCCOPY),
        3);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(GetPixel(big.dc, x, y), Dib24::Colour(x / 2, y / 2)) << x << "," << y;

    // Halving keeps source pixels 0 and 2 of each axis.
    SetStretchBltMode(small.dc, COLORONCOLOR);
    ASSERT_EQ(
        StretchDIBits(small.dc, 0, 0, 2, 2, 0, 0, 4, 3, dib.bits.data(), &dib.info, DIB_RGB_COLORS, SRCCOPY),
        3);
    EXPECT_EQ(GetPixel(small.dc, 0, 0), Dib24::Colour(0, 0));
    EXPECT_EQ(GetPixel(small.dc, 1, 0), Dib24::Colour(2, 0));
    EXPECT_EQ(GetPixel(small.dc, 0, 1), Dib24::Colour(0, 1));
    EXPECT_EQ(GetPixel(small.dc, 1, 1), Dib24::Colour(2, 1));

    // A bottom-up DIB's source rectangle starts at its lower-left corner: (1, 0, 2, 1) is the
    // bottom row's pixels 1 and 2.
    Surface strip(2, 1);
    StretchDIBits(strip.dc, 0, 0, 2, 1, 1, 0, 2, 1, dib.bits.data(), &dib.info, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(GetPixel(strip.dc, 0, 0), Dib24::Colour(1, 2));
    EXPECT_EQ(GetPixel(strip.dc, 1, 0), Dib24::Colour(2, 2));
    // A top-down DIB measures from its top.
    Dib24 topDown(4, 3, true);
    StretchDIBits(strip.dc, 0, 0, 2, 1, 1, 0, 2, 1, topDown.bits.data(), &topDown.info, DIB_RGB_COLORS,
                  SRCCOPY);
    EXPECT_EQ(GetPixel(strip.dc, 0, 0), Dib24::Colour(1, 0));
    // A negative destination width mirrors.
    StretchDIBits(strip.dc, 2, 0, -2, 1, 1, 0, 2, 1, topDown.bits.data(), &topDown.info, DIB_RGB_COLORS,
                  SRCCOPY);
    EXPECT_EQ(GetPixel(strip.dc, 0, 0), Dib24::Colour(2, 0));
    EXPECT_EQ(GetPixel(strip.dc, 1, 0), Dib24::Colour(1, 0));
}

TEST_F(GdiTest, HugeStretchesComputeOnlyWhatIsOnTheDevice) {
    // A 16-fold zoom far larger than the device: only the visible part is worked out.
    Dib24 dib(4, 3, true);
    Surface view(10, 6);
    SetStretchBltMode(view.dc, COLORONCOLOR);
    ASSERT_EQ(StretchDIBits(view.dc, -40000, -20000, 400000, 300000, 0, 0, 4, 3, dib.bits.data(), &dib.info,
                            DIB_RGB_COLORS, SRCCOPY),
              3);
    // Source column = (x + 40000) * 4 / 400000 = 0; row = (y + 20000) * 3 / 300000 = 0.
    EXPECT_EQ(GetPixel(view.dc, 9, 5), Dib24::Colour(0, 0));
    ASSERT_TRUE(StretchDIBits(view.dc, -150000, -110000, 400000, 300000, 0, 0, 4, 3, dib.bits.data(),
                              &dib.info, DIB_RGB_COLORS, SRCCOPY));
    EXPECT_EQ(GetPixel(view.dc, 0, 0), Dib24::Colour(1, 1));
    // Nothing on the device: nothing to do, and no failure.
    EXPECT_TRUE(StretchDIBits(view.dc, 100, 100, 400000, 300000, 0, 0, 4, 3, dib.bits.data(), &dib.info,
                              DIB_RGB_COLORS, SRCCOPY));
    // A fresh memory DC holds only the shared stand-in bitmap, which nothing draws into.
    HDC fresh = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetPixel(fresh, 0, 0), CLR_INVALID);
    EXPECT_EQ(SetPixel(fresh, 0, 0, RGB(1, 1, 1)), CLR_INVALID);
    DeleteDC(fresh);
}

TEST_F(GdiTest, HalftoneAveragesTheCoveredPixels) {
    Surface src(4, 2), dst(2, 1);
    const COLORREF values[2][4] = {
        {RGB(0, 0, 0), RGB(100, 0, 40), RGB(255, 255, 255), RGB(255, 255, 255)},
        {RGB(200, 0, 80), RGB(100, 100, 0), RGB(255, 255, 255), RGB(255, 255, 255)}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            SetPixel(src.dc, x, y, values[y][x]);
    EXPECT_EQ(SetStretchBltMode(dst.dc, HALFTONE), BLACKONWHITE);
    ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, 4, 2, SRCCOPY));
    EXPECT_EQ(GetPixel(dst.dc, 0, 0), RGB(100, 25, 30));
    EXPECT_EQ(GetPixel(dst.dc, 1, 0), RGB(255, 255, 255));
}

TEST_F(GdiTest, DibRoundTripThroughDeviceBitmap) {
    // Width 5: 15 bytes of pixels and one padding byte per 24-bit row.
    Dib24 dib(5, 3);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap =
        CreateDIBitmap(screen, &dib.info.bmiHeader, CBM_INIT, dib.bits.data(), &dib.info, DIB_RGB_COLORS);
    ASSERT_NE(bitmap, nullptr);
    BITMAP bm{};
    ASSERT_EQ(GetObject(bitmap, sizeof(bm), &bm), static_cast<int>(sizeof(bm)));
    EXPECT_EQ(bm.bmWidth, 5);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmBitsPixel, 32);

    BITMAPINFO query{};
    query.bmiHeader.biSize = 40;
    EXPECT_NE(GetDIBits(screen, bitmap, 0, 3, nullptr, &query, DIB_RGB_COLORS), 0);
    EXPECT_EQ(query.bmiHeader.biWidth, 5);
    EXPECT_EQ(query.bmiHeader.biBitCount, 32);

    BITMAPINFO out = dib.info;
    std::vector<BYTE> back(dib.bits.size(), 0xAB);
    ASSERT_EQ(GetDIBits(screen, bitmap, 0, 3, back.data(), &out, DIB_RGB_COLORS), 3);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(0, std::memcmp(back.data() + 16 * row, dib.bits.data() + 16 * row, 15)) << row;
    EXPECT_EQ(back[15], 0); // padding is written as zero

    // Top-down 32-bit rows, and a partial read of scan lines 1..2 counted from the bottom.
    out.bmiHeader.biBitCount = 32;
    out.bmiHeader.biHeight = -3;
    std::vector<DWORD> rgb32(15);
    ASSERT_EQ(GetDIBits(screen, bitmap, 0, 3, rgb32.data(), &out, DIB_RGB_COLORS), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const COLORREF c = Dib24::Colour(x, y);
            EXPECT_EQ(rgb32[y * 5 + x],
                      (DWORD(GetRValue(c)) << 16) | (DWORD(GetGValue(c)) << 8) | GetBValue(c));
        }
    out.bmiHeader.biBitCount = 24;
    out.bmiHeader.biHeight = 3;
    std::vector<BYTE> part(32, 0);
    ASSERT_EQ(GetDIBits(screen, bitmap, 1, 5, part.data(), &out, DIB_RGB_COLORS), 2);
    EXPECT_EQ(0, std::memcmp(part.data(), dib.bits.data() + 16, 15));
    EXPECT_EQ(0, std::memcmp(part.data() + 16, dib.bits.data() + 32, 15));

    // SetDIBits writes scan lines back the same way.
    Dib24 other(5, 1);
    ASSERT_EQ(SetDIBits(screen, bitmap, 2, 1, other.bits.data(), &other.info, DIB_RGB_COLORS), 1);
    const QImage* image = GetBitmapImage(bitmap);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(RgbToColorRef(image->pixel(3, 0)), Dib24::Colour(3, 0)); // top row = scan line 2
    EXPECT_EQ(RgbToColorRef(image->pixel(3, 1)), Dib24::Colour(3, 1));

    EXPECT_TRUE(DeleteObject(bitmap));
    ReleaseDC(nullptr, screen);
}

TEST_F(GdiTest, PalettedAndSixteenBitDibsDecode) {
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colors[16];
    } info{};
    info.h = {40, 9, 2, 1, 4, BI_RGB, 0, 0, 0, 3, 0};
    info.colors[0] = {0, 0, 0, 0};
    info.colors[1] = {255, 0, 0, 0}; // blue
    info.colors[2] = {0, 0, 255, 0}; // red
    // 4 bits: rows of 9 pixels take 5 bytes, padded to 8. Bottom row first.
    const BYTE bits4[16] = {0x12, 0x00, 0x00, 0x00, 0x10, 0, 0, 0, 0x21, 0x11, 0x11, 0x11, 0x20, 0, 0, 0};
    Surface s(9, 2);
    StretchDIBits(s.dc, 0, 0, 9, 2, 0, 0, 9, 2, bits4, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                  SRCCOPY);
    EXPECT_EQ(GetPixel(s.dc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(s.dc, 1, 0), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(s.dc, 8, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(s.dc, 0, 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(s.dc, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(s.dc, 8, 1), RGB(0, 0, 255));

    // 1 bit: the high bit is the leftmost pixel.
    info.h.biBitCount = 1;
    info.h.biWidth = 10;
    info.h.biClrUsed = 0;
    info.colors[0] = {0, 0, 0, 0};
    info.colors[1] = {255, 255, 255, 0};
    const BYTE bits1[8] = {0x80, 0x40, 0, 0, 0x01, 0x00, 0, 0};
    StretchDIBits(s.dc, 0, 0, 9, 2, 0, 0, 9, 2, bits1, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                  SRCCOPY);
    EXPECT_EQ(GetPixel(s.dc, 7, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(s.dc, 6, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(s.dc, 0, 1), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(s.dc, 1, 1), RGB(0, 0, 0));

    // 16 bits 5-5-5, and the same with explicit 5-6-5 bit fields.
    BITMAPINFO rgb16{};
    rgb16.bmiHeader = {40, 2, 1, 1, 16, BI_RGB, 0, 0, 0, 0, 0};
    const WORD px555[2] = {0x7C00, 0x001F};
    Surface t(2, 1);
    StretchDIBits(t.dc, 0, 0, 2, 1, 0, 0, 2, 1, px555, &rgb16, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(GetPixel(t.dc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(t.dc, 1, 0), RGB(0, 0, 255));
    struct {
        BITMAPINFOHEADER h;
        DWORD masks[3];
    } fields{{40, 2, 1, 1, 16, BI_BITFIELDS, 0, 0, 0, 0, 0}, {0xF800, 0x07E0, 0x001F}};
    const WORD px565[2] = {0x07E0, 0xF800};
    StretchDIBits(t.dc, 0, 0, 2, 1, 0, 0, 2, 1, px565, reinterpret_cast<BITMAPINFO*>(&fields), DIB_RGB_COLORS,
                  SRCCOPY);
    EXPECT_EQ(GetPixel(t.dc, 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(t.dc, 1, 0), RGB(255, 0, 0));

    // Formats that cannot be decoded are refused, not guessed.
    rgb16.bmiHeader.biCompression = BI_RLE8;
    EXPECT_EQ(StretchDIBits(t.dc, 0, 0, 2, 1, 0, 0, 2, 1, px555, &rgb16, DIB_RGB_COLORS, SRCCOPY), 0);
    rgb16.bmiHeader.biCompression = BI_RGB;
    rgb16.bmiHeader.biWidth = 0;
    EXPECT_EQ(StretchDIBits(t.dc, 0, 0, 2, 1, 0, 0, 2, 1, px555, &rgb16, DIB_RGB_COLORS, SRCCOPY), 0);
}

TEST_F(GdiTest, HandlesAreCheckedAndCounted) {
    const DWORD before = GetGdiObjectCount();
    HDC screen = GetDC(nullptr);
    HDC a = CreateCompatibleDC(screen);
    HDC b = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(a)), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(screen)), static_cast<DWORD>(OBJ_DC));
    HGDIOBJ old = SelectObject(a, bitmap);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(SelectObject(b, bitmap), nullptr);      // already selected into a
    EXPECT_EQ(SelectObject(screen, bitmap), nullptr); // only memory DCs hold bitmaps
    EXPECT_FALSE(DeleteObject(bitmap));               // still selected
    EXPECT_EQ(GetCurrentObject(a, OBJ_BITMAP), reinterpret_cast<HGDIOBJ>(bitmap));
    SelectObject(a, old);
    EXPECT_NE(SelectObject(b, bitmap), nullptr);
    EXPECT_TRUE(DeleteDC(b)); // deleting the DC releases the bitmap
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap)); // stale handle
    EXPECT_EQ(GetPixel(b, 0, 0), CLR_INVALID);
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN))); // stock objects survive
    LOGPEN pen{};
    EXPECT_EQ(GetObject(GetStockObject(BLACK_PEN), sizeof(pen), &pen), static_cast<int>(sizeof(pen)));
    EXPECT_EQ(pen.lopnStyle, static_cast<UINT>(PS_SOLID));
    EXPECT_TRUE(DeleteDC(a));
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_EQ(GetGdiObjectCount(), before);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 4, 4), nullptr);
    HDC other = GetDC(nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(other, 0x7FFFFFFF, 0x7FFFFFFF), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(other, -1, 5), nullptr);
    ReleaseDC(nullptr, other);
    EXPECT_EQ(GetGdiObjectCount(), before);
}

} // namespace
