// Enhance, the YC matrix and the YUV to BGR stage on small hand-computed inputs, on every path.
#include <gtest/gtest.h>

#include <vector>

#include "fc/WqFc/EnhanceCorrect.h"
#include "fc/WqFc/YcMatrix.h"
#include "fc/WqFc/YuvToBgr.h"
#include "support.h"

using namespace wqfc_test;

namespace {

const WqFcPath kPaths[] = {WqFcPath::Plain, WqFcPath::Sse2, WqFcPath::Avx2};

// Enhances a w x h picture in place through the row interface, top to bottom, on every path; the
// paths must agree.
std::vector<std::int32_t> Enhanced(const std::vector<std::int32_t>& picture, int w, int h, int level) {
    std::vector<std::int32_t> first;
    for (WqFcPath path : kPaths) {
        std::vector<std::int32_t> plane(static_cast<std::size_t>((h + 4) * w), 0);
        std::copy(picture.begin(), picture.end(), plane.begin() + 2 * w);
        EnhanceCorrect enhance;
        enhance.SetLevel(level);
        for (int y = 0; y < h; ++y)
            enhance.FilterRow(plane.data() + 2 * w, w, y, path);
        std::vector<std::int32_t> out(plane.begin() + 2 * w, plane.begin() + 2 * w + w * h);
        if (first.empty())
            first = out;
        EXPECT_EQ(out, first) << PathName(path);
    }
    return first;
}

struct Pixel {
    int b, g, r;
};

// One pixel through the output stage, as the first of a row of 16 equal pixels (so the vector
// kernels take it) on every path; all paths must agree.
Pixel Output(int y, int u, int v, const YuvToBgr::Params& params) {
    std::vector<std::int32_t> ys(16, y);
    std::vector<std::int16_t> us(16, static_cast<std::int16_t>(u)), vs(16, static_cast<std::int16_t>(v));
    std::vector<std::uint8_t> first;
    for (WqFcPath path : kPaths) {
        ForcedPath forced(path);
        std::vector<std::uint8_t> bgr(48);
        YuvToBgr::Row(ys.data(), us.data(), vs.data(), 16, params, bgr.data());
        if (first.empty())
            first = bgr;
        EXPECT_EQ(bgr, first) << PathName(path);
    }
    return {first[0], first[1], first[2]};
}

YuvToBgr::Params Defaults() {
    DspParams dsp;
    dsp.Read(NoParameterFile());
    return YuvToBgr::MakeParams(100, 0, 100, dsp);
}

} // namespace

TEST(WqFcEnhance, LevelZeroHalvesTwice) {
    EXPECT_EQ(Enhanced({609, 0, 1, 1023, 7, 8, 9, 10, 11, 12, 13, 5}, 12, 1, 0),
              (std::vector<std::int32_t>{608, 0, 0, 1022, 6, 8, 8, 10, 10, 12, 12, 4}));
}

TEST(WqFcEnhance, LevelOneUsesFilteredValuesAboveAndLeft) {
    // Worked by hand: each output feeds the pixels right of it and below it, and the right-hand
    // column reads on into the next row's unfiltered start.
    EXPECT_EQ(Enhanced({10, 20, 30, 40, 50, 60}, 3, 2, 1),
              (std::vector<std::int32_t>{5, 18, 30, 58, 65, 95}));
    // Quotients truncate toward zero: -75 / 100 is 0 and -150 / 100 is -1.
    EXPECT_EQ(Enhanced({0, 3, 0}, 3, 1, 1), (std::vector<std::int32_t>{0, 6, -1}));
    EXPECT_EQ(Enhanced({0, 100, 0}, 3, 1, 1), (std::vector<std::int32_t>{-25, 206, -51}));
}

TEST(WqFcEnhance, LevelThreeOnOnePixel) {
    EnhanceCorrect unknown;
    unknown.SetLevel(7);
    EXPECT_EQ(unknown.Level(), 0);
    // Level 3 on a single bright pixel at (1, 3), worked by hand through the first two rows: the
    // pixel above it goes negative first, and that feeds both the pixel and the next row's start.
    const std::vector<std::int32_t> out =
        Enhanced({0, 0, 0, 0, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, 0}, 4, 4, 3);
    EXPECT_EQ(std::vector<std::int32_t>(out.begin(), out.begin() + 8),
              (std::vector<std::int32_t>{0, 0, 0, -50, 25, -25, -43, 452}));
}

TEST(WqFcMatrix, HandComputedYuvOnEveryPath) {
    YcMatrix m;
    // Five pixels repeated past the vector width.
    std::vector<std::int16_t> r1, g1, b1;
    const int rgb[5][3] = {{609, 609, 609}, {1023, 0, 0}, {0, 1023, 0}, {0, 0, 1023}, {100, 200, 300}};
    for (int i = 0; i < 20; ++i) {
        r1.push_back(static_cast<std::int16_t>(rgb[i % 5][0]));
        g1.push_back(static_cast<std::int16_t>(rgb[i % 5][1]));
        b1.push_back(static_cast<std::int16_t>(rgb[i % 5][2]));
    }
    const int expected[5][3] = {{609, 0, 0},       // grey
                                {305, -305, 717},  // 305.877, -305.877, 717.123
                                {600, -600, -600}, // 600.501
                                {116, 906, -116},  // 116.622, 906.378
                                {181, 118, -81}};  // 181500, 118500, -81500 over 1000
    for (WqFcPath path : kPaths) {
        ForcedPath forced(path);
        std::vector<std::int32_t> y(20);
        std::vector<std::int16_t> u(20), v(20);
        m.MatrixRow(r1.data(), g1.data(), b1.data(), 20, y.data(), u.data(), v.data());
        for (int i = 0; i < 20; ++i) {
            EXPECT_EQ(y[i], expected[i % 5][0]) << PathName(path) << " " << i;
            EXPECT_EQ(u[i], expected[i % 5][1]) << PathName(path) << " " << i;
            EXPECT_EQ(v[i], expected[i % 5][2]) << PathName(path) << " " << i;
        }
    }
}

TEST(WqFcMatrix, CurveIndexIsClamped) {
    GammaCorrect curve;
    curve.Build(860, 0, 1023, 1.0, 0);
    std::vector<std::int16_t> in = {-40, 0, 1023, 1024, 4080}, out(5), g(5), b(5);
    YcMatrix::CurveRow(in.data(), in.data(), in.data(), 5, curve, curve, curve, out.data(), g.data(),
                       b.data());
    EXPECT_EQ(out, (std::vector<std::int16_t>{0, 0, 1023, 1023, 1023}));
}

TEST(WqFcOutput, HandComputedPixels) {
    const YuvToBgr::Params p = Defaults();
    EXPECT_EQ(p.contrast, 128);
    EXPECT_EQ(p.brightness, 0);
    EXPECT_EQ(p.chroma, 128);
    Pixel grey = Output(608, 0, 0, p);
    EXPECT_EQ(grey.b, 152);
    EXPECT_EQ(grey.g, 152);
    EXPECT_EQ(grey.r, 152);
    // Y8 = 400 * 128 >> 9 = 100; Uc = 100, Vc = -50; green += (-25 * -520 + 50 * -190) >> 10 = 3.
    Pixel c = Output(400, 100, -50, p);
    EXPECT_EQ(c.b, 150);
    EXPECT_EQ(c.g, 103);
    EXPECT_EQ(c.r, 75);
    // Halving rounds toward minus infinity: -3 >> 1 = -2.
    Pixel odd = Output(400, 0, -3, p);
    EXPECT_EQ(odd.r, 98);
    EXPECT_EQ(odd.g, 101);
}

TEST(WqFcOutput, BrightnessContrastAndCoring) {
    DspParams dsp;
    dsp.Read(NoParameterFile());
    YuvToBgr::Params p = YuvToBgr::MakeParams(200, 10, 100, dsp);
    EXPECT_EQ(p.contrast, 256);
    EXPECT_EQ(p.brightness, 10);
    EXPECT_EQ(Output(400, 0, 0, p).g, 205); // (410 * 256) >> 9
    dsp.YGainY = 32;                        // brightness is divided by Y/D = 0.5
    p = YuvToBgr::MakeParams(100, 10, 100, dsp);
    EXPECT_EQ(p.contrast, 64);
    EXPECT_EQ(p.brightness, 20);
    dsp.YGainY = 64;
    dsp.CyClipR = 10;
    p = YuvToBgr::MakeParams(100, 0, 100, dsp);
    EXPECT_EQ(Output(400, 0, -30, p).r, 90); // -30 cored to -20, halved
    EXPECT_EQ(Output(400, 0, 5, p).r, 100);  // below the clip
    EXPECT_EQ(Output(400, 0, 10, p).r, 100); // exactly the clip leaves 0
}

TEST(WqFcOutput, ContrastAndBrightnessTruncateTowardZero) {
    DspParams dsp;
    dsp.Read(NoParameterFile());
    // C = -37 * 64 * 128 / (64 * 100) = -47.36 -> -47; Y8 = (-400 * -47) >> 9 = 18800 >> 9 = 36.
    YuvToBgr::Params p = YuvToBgr::MakeParams(-37, 0, 100, dsp);
    EXPECT_EQ(p.contrast, -47);
    Pixel negative = Output(-400, 0, 0, p);
    EXPECT_EQ(negative.b, 36);
    EXPECT_EQ(negative.g, 36);
    EXPECT_EQ(negative.r, 36);
    // The positive contrast mirrors it: 47.36 -> 47.
    p = YuvToBgr::MakeParams(37, 0, 100, dsp);
    EXPECT_EQ(p.contrast, 47);
    EXPECT_EQ(Output(400, 0, 0, p).g, 36);

    // With YGain Y / D = 2 the brightness term halves: -7 / 2 = -3.5 -> -3, and C = 256.
    dsp.YGainY = 128;
    p = YuvToBgr::MakeParams(100, -7, 100, dsp);
    EXPECT_EQ(p.contrast, 256);
    EXPECT_EQ(p.brightness, -3);
    EXPECT_EQ(Output(401, 0, 0, p).r, 199); // (398 * 256) >> 9
    p = YuvToBgr::MakeParams(100, 7, 100, dsp);
    EXPECT_EQ(p.brightness, 3);
    EXPECT_EQ(Output(401, 0, 0, p).r, 202); // (404 * 256) >> 9
    // Setup Y joins before the truncation: 3 / 2 - 2 = -0.5 -> 0.
    dsp.SetupY = -2;
    p = YuvToBgr::MakeParams(100, 3, 100, dsp);
    EXPECT_EQ(p.brightness, 0);
    EXPECT_EQ(Output(400, 0, 0, p).b, 200); // (400 * 256) >> 9
    dsp.SetupY = 0;

    // Both negative: C = -37 * 128 * 128 / 6400 = -94.72 -> -94, P = -3;
    // Y8 = (-403 * -94) >> 9 = 37882 >> 9 = 73; Uc = 40 halves to 20 on blue, green drops by 4.
    p = YuvToBgr::MakeParams(-37, -7, 100, dsp);
    EXPECT_EQ(p.contrast, -94);
    EXPECT_EQ(p.brightness, -3);
    Pixel both = Output(-400, 40, 0, p);
    EXPECT_EQ(both.b, 93);
    EXPECT_EQ(both.g, 69); // (20 * -190) >> 10 = -3800 >> 10 = -4
    EXPECT_EQ(both.r, 73);
}

TEST(WqFcOutput, BrightLumaSaturatesInsteadOfWrapping) {
    DspParams dsp;
    dsp.Read(NoParameterFile());
    const YuvToBgr::Params p = YuvToBgr::MakeParams(32767, 0, 100, dsp);
    Pixel white = Output(20000, 0, 0, p);
    EXPECT_EQ(white.b, 255);
    EXPECT_EQ(white.g, 255);
    EXPECT_EQ(white.r, 255);
    Pixel black = Output(-20000, 0, 0, p);
    EXPECT_EQ(black.r, 0);
}

TEST(WqFcOutput, HugeChromaIsComputedWide) {
    DspParams dsp;
    dsp.Read(NoParameterFile());
    dsp.CyGainR = 100000;
    const YuvToBgr::Params p = YuvToBgr::MakeParams(100, 0, 32767, dsp);
    // Vc = (41941 * ((717 * 128000) >> 7)) >> 7 = 234935132: far past 32 bits before the shift.
    Pixel red = Output(0, 0, 717, p);
    EXPECT_EQ(red.r, 255);
    EXPECT_EQ(red.g, 0);
    EXPECT_EQ(red.b, 0);
}
