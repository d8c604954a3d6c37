// DrawDib onto device contexts of the GDI layer.
#include <gtest/gtest.h>

#include <QImage>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdiqt.h"
#include "platform/vfw/vfw.h"
#include "vfw/avi_test_util.h"

namespace {

// A 2 x 2 picture: bottom row red, green; top row blue, white (24 bits, rows padded to 8 bytes).
std::vector<uint8_t> Quad() {
    std::vector<uint8_t> dib(40 + 16, 0);
    BITMAPINFOHEADER h{40, 2, 2, 1, 24, BI_RGB, 16, 0, 0, 0, 0};
    std::memcpy(dib.data(), &h, sizeof h);
    const uint8_t rows[16] = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    std::memcpy(dib.data() + 40, rows, 16);
    return dib;
}

} // namespace

TEST(DrawDib, StretchesAnUncompressedPictureOntoTheDeviceContext) {
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::black);
    HDC dc = CreateDCOnImage(&image);
    ASSERT_NE(dc, nullptr);
    HDRAWDIB hdd = DrawDibOpen();
    ASSERT_NE(hdd, nullptr);
    auto dib = Quad();
    auto* header = reinterpret_cast<LPBITMAPINFOHEADER>(dib.data());
    ASSERT_TRUE(DrawDibDraw(hdd, dc, 0, 0, 40, 20, header, nullptr, 0, 0, -1, -1, 0));
    DeleteDC(dc);
    EXPECT_EQ(image.pixel(5, 5), qRgb(0, 0, 255)) << "top left: blue";
    EXPECT_EQ(image.pixel(35, 5), qRgb(255, 255, 255)) << "top right: white";
    EXPECT_EQ(image.pixel(5, 15), qRgb(255, 0, 0)) << "bottom left: red";
    EXPECT_EQ(image.pixel(35, 15), qRgb(0, 255, 0)) << "bottom right: green";
    EXPECT_TRUE(DrawDibClose(hdd));
    EXPECT_FALSE(DrawDibClose(nullptr));
    EXPECT_FALSE(DrawDibDraw(nullptr, dc, 0, 0, 1, 1, header, nullptr, 0, 0, -1, -1, 0));
}

TEST(DrawDib, DecodesCompressedPicturesFirst) {
    // An 8 x 4 picture of two flat halves compressed with Microsoft Video 1, then drawn 1:1.
    const int width = 8, height = 4;
    std::vector<uint8_t> pixels(width * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &pixels[(y * width + x) * 3];
            p[0] = x < 4 ? 255 : 0; // blue left, red right
            p[2] = x < 4 ? 0 : 255;
        }
    HIC hic = ICOpen(ICTYPE_VIDEO, mmioFOURCC('m', 's', 'v', 'c'), ICMODE_COMPRESS);
    ASSERT_NE(hic, nullptr);
    BITMAPINFO in{};
    in.bmiHeader = {40, width, height, 1, 24, BI_RGB, static_cast<DWORD>(pixels.size()), 0, 0, 0, 0};
    std::vector<uint8_t> dib(40 + 200);
    auto* out = reinterpret_cast<BITMAPINFO*>(dib.data());
    ASSERT_GT(ICCompressGetFormat(hic, &in, out), 0);
    out->bmiHeader.biSizeImage = 200;
    ASSERT_EQ(ICCompress(hic, 0, &out->bmiHeader, dib.data() + 40, &in.bmiHeader, pixels.data(), nullptr,
                         nullptr, 0, 0, 10000, nullptr, nullptr),
              ICERR_OK);
    ICClose(hic);

    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    HDC dc = CreateDCOnImage(&image);
    HDRAWDIB hdd = DrawDibOpen();
    ASSERT_TRUE(DrawDibDraw(hdd, dc, 0, 0, -1, -1, &out->bmiHeader, nullptr, 0, 0, -1, -1, 0));
    DrawDibClose(hdd);
    DeleteDC(dc);
    EXPECT_EQ(image.pixel(1, 1), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(6, 2), qRgb(255, 0, 0));
}
