// The image-processing subset: headers, memory, regions, pixels, norms, products, conversions and
// rotation.
#include "platform/ipl/ipl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

IplImage* Make(int w, int h, int depth = IPL_DEPTH_8U, int channels = 1, const char* model = "GRAY",
               const char* seq = "GRAY") {
    IplImage* image =
        iplCreateImageHeader(channels, 0, depth, model, seq, IPL_DATA_ORDER_PIXEL, IPL_ORIGIN_TL,
                             IPL_ALIGN_DWORD, w, h, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(image, nullptr);
    iplAllocateImage(image, 1, 0);
    return image;
}

void Put8(IplImage* image, int x, int y, int v) {
    const auto b = static_cast<std::uint8_t>(v);
    iplPutPixel(image, x, y, &b);
}

int Get8(const IplImage* image, int x, int y) {
    std::uint8_t b = 0;
    iplGetPixel(image, x, y, &b);
    return b;
}

void Put16(IplImage* image, int x, int y, int v) {
    const auto w = static_cast<std::uint16_t>(v);
    iplPutPixel(image, x, y, &w);
}

int Get16(const IplImage* image, int x, int y) {
    std::uint16_t w = 0;
    iplGetPixel(image, x, y, &w);
    return w;
}

struct Released {
    std::vector<IplImage*> images;
    ~Released() {
        for (IplImage* i : images) {
            iplDeallocate(i, IPL_IMAGE_ALL);
        }
    }
    IplImage* operator()(IplImage* i) {
        images.push_back(i);
        return i;
    }
};

TEST(IplImages, HeaderRowsAreAlignedAndDataFilled) {
    Released keep;
    IplImage* a =
        keep(iplCreateImageHeader(1, 0, IPL_DEPTH_8U, "GRAY", "GRAY", IPL_DATA_ORDER_PIXEL, IPL_ORIGIN_TL,
                                  IPL_ALIGN_DWORD, 7, 3, nullptr, nullptr, nullptr, nullptr));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->nSize, static_cast<int>(sizeof(IplImage)));
    EXPECT_EQ(a->widthStep, 8);
    EXPECT_EQ(a->imageSize, 24);
    EXPECT_EQ(a->imageData, nullptr);
    EXPECT_STREQ(std::string(a->colorModel, 4).c_str(), "GRAY");
    iplAllocateImage(a, 1, 0x1AB);
    ASSERT_NE(a->imageData, nullptr);
    EXPECT_EQ(static_cast<unsigned char>(a->imageData[23]), 0xAB);
    IplImage* b = keep(Make(5, 2, IPL_DEPTH_16U));
    EXPECT_EQ(b->widthStep, 12);
    IplImage* c = keep(Make(3, 2, IPL_DEPTH_8U, 3, "RGB", "BGR"));
    EXPECT_EQ(c->widthStep, 12);
    EXPECT_EQ(iplCreateImageHeader(0, 0, IPL_DEPTH_8U, "GRAY", "GRAY", 0, 0, 4, 3, 3, nullptr, nullptr,
                                   nullptr, nullptr),
              nullptr);
    EXPECT_EQ(
        iplCreateImageHeader(1, 0, 12345, "GRAY", "GRAY", 0, 0, 4, 3, 3, nullptr, nullptr, nullptr, nullptr),
        nullptr);
}

TEST(IplImages, PixelsCopiesAndRegions) {
    Released keep;
    IplImage* src = keep(Make(6, 5));
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            Put8(src, x, y, 10 * y + x);
        }
    }
    EXPECT_EQ(Get8(src, 4, 3), 34);
    IplImage* dst = keep(Make(3, 2));
    src->roi = iplCreateROI(0, 2, 1, 3, 2);
    iplCopy(src, dst);
    EXPECT_EQ(Get8(dst, 0, 0), 12);
    EXPECT_EQ(Get8(dst, 2, 1), 24);
    iplSetROI(src->roi, 0, 0, 3, 3, 2);
    iplCopy(src, dst);
    EXPECT_EQ(Get8(dst, 1, 1), 41);
    // The destination's region decides where the copy lands.
    IplImage* big = keep(Make(6, 5));
    big->roi = iplCreateROI(0, 3, 3, 3, 2);
    iplCopy(dst, big);
    EXPECT_EQ(Get8(big, 3, 3), 30);
    EXPECT_EQ(Get8(big, 0, 0), 0);
    IplImage* clone = keep(iplCloneImage(src));
    ASSERT_NE(clone->roi, nullptr);
    EXPECT_NE(clone->roi, src->roi);
    EXPECT_NE(clone->imageData, src->imageData);
    EXPECT_EQ(Get8(clone, 5, 4), 45);
    Put8(clone, 5, 4, 0);
    EXPECT_EQ(Get8(src, 5, 4), 45);
}

TEST(IplImages, ErrorStatusRecordsFailures) {
    iplSetErrStatus(IPL_StsOk);
    iplCopy(nullptr, nullptr);
    EXPECT_EQ(iplGetErrStatus(), IPL_StsNullPtr);
    iplSetErrStatus(IPL_StsOk);
    Released keep;
    IplImage* a = keep(Make(4, 4));
    Put8(a, 4, 0, 1);
    EXPECT_EQ(iplGetErrStatus(), IPL_StsBadArg);
    iplSetErrStatus(IPL_StsOk);
    IplImage* b = keep(Make(4, 4, IPL_DEPTH_16U));
    iplCopy(a, b);
    EXPECT_EQ(iplGetErrStatus(), IPL_StsUnsupportedFormat);
    iplSetErrStatus(IPL_StsOk);
    EXPECT_EQ(iplNorm(a, nullptr, 99), 0.0);
    EXPECT_EQ(iplGetErrStatus(), IPL_StsBadArg);
    EXPECT_EQ(iplSetErrStatus(IPL_StsOk), IPL_StsBadArg);
}

TEST(IplArithmetic, NormsOfImagesAndDifferences) {
    Released keep;
    IplImage* a = keep(Make(3, 2, IPL_DEPTH_16U));
    IplImage* b = keep(Make(3, 2, IPL_DEPTH_16U));
    const int va[] = {1, 2, 3, 4, 5, 60000};
    const int vb[] = {3, 2, 1, 0, 9, 0};
    for (int i = 0; i < 6; ++i) {
        Put16(a, i % 3, i / 3, va[i]);
        Put16(b, i % 3, i / 3, vb[i]);
    }
    EXPECT_EQ(iplNorm(a, nullptr, IPL_L1), 60015.0);
    EXPECT_EQ(iplNorm(a, nullptr, IPL_L2), std::sqrt(1.0 + 4 + 9 + 16 + 25 + 3600000000.0));
    EXPECT_EQ(iplNorm(a, nullptr, IPL_C), 60000.0);
    EXPECT_EQ(iplNorm(a, b, IPL_L1), 2 + 0 + 2 + 4 + 4 + 60000.0);
    EXPECT_EQ(iplNorm(a, b, IPL_L2), std::sqrt(4 + 0 + 4 + 16 + 16 + 3600000000.0));
    a->roi = iplCreateROI(0, 1, 0, 2, 1);
    EXPECT_EQ(iplNorm(a, nullptr, IPL_L1), 5.0);
    // Large exact sums: 255^2 over 40401 pixels.
    IplImage* big = keep(Make(201, 201));
    std::memset(big->imageData, 255, static_cast<std::size_t>(big->imageSize));
    EXPECT_EQ(iplNorm(big, nullptr, IPL_L1), 255.0 * 40401);
    EXPECT_EQ(iplNorm(big, nullptr, IPL_L2), std::sqrt(65025.0 * 40401));
}

TEST(IplArithmetic, MultiplySaturatesToTheDestination) {
    Released keep;
    IplImage* a = keep(Make(2, 1));
    IplImage* b = keep(Make(2, 1));
    Put8(a, 0, 0, 255);
    Put8(b, 0, 0, 255);
    Put8(a, 1, 0, 10);
    Put8(b, 1, 0, 12);
    IplImage* narrow = keep(Make(2, 1));
    iplMultiply(a, b, narrow);
    EXPECT_EQ(Get8(narrow, 0, 0), 255);
    EXPECT_EQ(Get8(narrow, 1, 0), 120);
    IplImage* wa = keep(Make(2, 1, IPL_DEPTH_16U));
    IplImage* wb = keep(Make(2, 1, IPL_DEPTH_16U));
    IplImage* wide = keep(Make(2, 1, IPL_DEPTH_16U));
    Put16(wa, 0, 0, 255);
    Put16(wb, 0, 0, 255);
    Put16(wa, 1, 0, 300);
    Put16(wb, 1, 0, 300);
    iplMultiply(wa, wb, wide);
    EXPECT_EQ(Get16(wide, 0, 0), 65025);
    EXPECT_EQ(Get16(wide, 1, 0), 65535);
}

TEST(IplArithmetic, ColourToGrayOnBlueGreenRed) {
    Released keep;
    IplImage* colour = keep(Make(4, 1, IPL_DEPTH_8U, 3, "RGB", "BGR"));
    const unsigned char px[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 50, 100, 150};
    for (int x = 0; x < 4; ++x) {
        iplPutPixel(colour, x, 0, px + 3 * x);
    }
    IplImage* gray = keep(Make(4, 1));
    iplColorToGray(colour, gray);
    EXPECT_EQ(Get8(gray, 0, 0), 18);  // 0.072169 * 255 = 18.40
    EXPECT_EQ(Get8(gray, 1, 0), 182); // 0.715160 * 255 = 182.37
    EXPECT_EQ(Get8(gray, 2, 0), 54);  // 0.212671 * 255 = 54.23
    EXPECT_EQ(Get8(gray, 3, 0), 107); // 31.90 + 71.52 + 3.61 = 107.03
    // Red first when the sequence says so.
    std::memcpy(colour->channelSeq, "RGB", 4);
    iplColorToGray(colour, gray);
    EXPECT_EQ(Get8(gray, 0, 0), 54);
}

TEST(IplArithmetic, DepthConversionShiftsAndConstants) {
    Released keep;
    IplImage* s16 = keep(Make(3, 1, IPL_DEPTH_16S));
    const std::int16_t v[] = {-32768, 0, 32767};
    for (int x = 0; x < 3; ++x) {
        iplPutPixel(s16, x, 0, &v[x]);
    }
    // The viewer's scaling of signed 16-bit images: shift right by 8, add 128.
    IplImage* work = keep(iplCloneImage(s16));
    iplRShiftS(work, work, 8);
    iplAddS(work, work, 128);
    IplImage* out = keep(Make(3, 1));
    iplConvert(work, out);
    EXPECT_EQ(Get8(out, 0, 0), 0);
    EXPECT_EQ(Get8(out, 1, 0), 128);
    EXPECT_EQ(Get8(out, 2, 0), 255);
    // Conversion saturates.
    iplConvert(s16, out);
    EXPECT_EQ(Get8(out, 0, 0), 0);
    EXPECT_EQ(Get8(out, 2, 0), 255);
    IplImage* small = keep(Make(2, 1));
    Put8(small, 0, 0, 200);
    Put8(small, 1, 0, 3);
    iplLShiftS(small, small, 1);
    EXPECT_EQ(Get8(small, 0, 0), 255);
    EXPECT_EQ(Get8(small, 1, 0), 6);
    iplAddS(small, small, -10);
    EXPECT_EQ(Get8(small, 1, 0), 0);
    IplImage* bits =
        keep(iplCreateImageHeader(1, 0, IPL_DEPTH_1U, "GRAY", "GRAY", IPL_DATA_ORDER_PIXEL, IPL_ORIGIN_TL,
                                  IPL_ALIGN_DWORD, 10, 1, nullptr, nullptr, nullptr, nullptr));
    iplAllocateImage(bits, 1, 0);
    bits->imageData[0] = static_cast<char>(0xA0); // pixels 0 and 2
    bits->imageData[1] = static_cast<char>(0x40); // pixel 9
    IplImage* expanded = keep(Make(10, 1));
    iplBitonalToGray(bits, expanded, 0, 255);
    EXPECT_EQ(Get8(expanded, 0, 0), 255);
    EXPECT_EQ(Get8(expanded, 1, 0), 0);
    EXPECT_EQ(Get8(expanded, 2, 0), 255);
    EXPECT_EQ(Get8(expanded, 9, 0), 255);
}

TEST(IplRotation, QuarterTurnsAreExactAndCounterClockwise) {
    Released keep;
    IplImage* src = keep(Make(5, 5));
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            Put8(src, x, y, 1 + 5 * y + x);
        }
    }
    IplImage* dst = keep(Make(5, 5));
    double xs = 0;
    double ys = 0;
    iplGetRotateShift(2, 2, 90, &xs, &ys);
    iplRotate(src, dst, 90, xs, ys, IPL_INTER_LINEAR);
    // The pixel right of the centre moves above it.
    EXPECT_EQ(Get8(dst, 2, 1), Get8(src, 3, 2));
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            ASSERT_EQ(Get8(dst, x, y), Get8(src, 4 - y, x));
        }
    }
    iplGetRotateShift(2, 2, -180, &xs, &ys);
    iplRotate(src, dst, -180, xs, ys, IPL_INTER_LINEAR);
    EXPECT_EQ(Get8(dst, 0, 0), Get8(src, 4, 4));
    EXPECT_EQ(Get8(dst, 4, 1), Get8(src, 0, 3));
    iplGetRotateShift(2, 2, 720, &xs, &ys);
    EXPECT_EQ(xs, 0.0);
    EXPECT_EQ(ys, 0.0);
}

TEST(IplRotation, BilinearRoundsToNearestAndReplicatesTheBorder) {
    Released keep;
    IplImage* src = keep(Make(2, 1));
    Put8(src, 0, 0, 10);
    Put8(src, 1, 0, 21);
    IplImage* dst = keep(Make(4, 3));
    // A pure shift by half a pixel: the mean of the two, rounded to nearest.
    iplRotate(src, dst, 0, 0.5, 0, IPL_INTER_LINEAR);
    EXPECT_EQ(Get8(dst, 1, 0), 16); // 15.5 rounds up
    EXPECT_EQ(Get8(dst, 0, 0), 10); // left of the source: the border pixel
    EXPECT_EQ(Get8(dst, 3, 2), 21); // right and below: the border pixel
    iplRotate(src, dst, 0, 0.5, 0, IPL_INTER_NN);
    EXPECT_EQ(Get8(dst, 1, 0), 21);
    // 45 degrees about a centre: the centre stays, and the shift keeps it there.
    IplImage* grid = keep(Make(9, 9));
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 9; ++x) {
            Put8(grid, x, y, 20 * x);
        }
    }
    IplImage* turned = keep(Make(9, 9));
    double xs = 0;
    double ys = 0;
    iplGetRotateShift(4, 4, 45, &xs, &ys);
    iplRotate(grid, turned, 45, xs, ys, IPL_INTER_LINEAR);
    EXPECT_EQ(Get8(turned, 4, 4), 80);
    // Destination (5, 4) comes from (4 + cos 45, 4 + sin 45): x = 4.7071, value 94.14.
    EXPECT_EQ(Get8(turned, 5, 4), 94);
    // Destination (4, 3) comes from (4 + sin 45, ...): a point above the centre came from its right.
    EXPECT_EQ(Get8(turned, 4, 3), 94);
}

TEST(IplRotation, EightAndSixteenBitImagesTurnAlike) {
    Released keep;
    IplImage* a8 = keep(Make(13, 11));
    IplImage* a16 = keep(Make(13, 11, IPL_DEPTH_16U));
    for (int y = 0; y < 11; ++y) {
        for (int x = 0; x < 13; ++x) {
            const int v = (x * 37 + y * 91 + x * y * 13) % 256;
            Put8(a8, x, y, v);
            Put16(a16, x, y, v);
        }
    }
    IplImage* b8 = keep(Make(13, 11));
    IplImage* b16 = keep(Make(13, 11, IPL_DEPTH_16U));
    for (double angle : {30.0, 135.0, -75.0, 300.0}) {
        double xs = 0;
        double ys = 0;
        iplGetRotateShift(6, 5, angle, &xs, &ys);
        iplRotate(a8, b8, angle, xs, ys, IPL_INTER_LINEAR);
        iplRotate(a16, b16, angle, xs, ys, IPL_INTER_LINEAR);
        for (int y = 0; y < 11; ++y) {
            for (int x = 0; x < 13; ++x) {
                ASSERT_EQ(Get8(b8, x, y), Get16(b16, x, y)) << angle << " at " << x << "," << y;
            }
        }
        EXPECT_EQ(Get8(b8, 6, 5), Get8(a8, 6, 5)) << angle;
    }
}

TEST(IplImages, DeallocateReleasesWhatItIsTold) {
    IplImage* a = Make(4, 4);
    a->roi = iplCreateROI(0, 0, 0, 2, 2);
    iplDeallocate(a, IPL_IMAGE_DATA);
    EXPECT_EQ(a->imageData, nullptr);
    EXPECT_NE(a->roi, nullptr);
    iplDeallocate(a, IPL_IMAGE_ROI);
    EXPECT_EQ(a->roi, nullptr);
    iplDeallocate(a, IPL_IMAGE_ALL);
    iplDeallocate(nullptr, IPL_IMAGE_ALL);
}

} // namespace
