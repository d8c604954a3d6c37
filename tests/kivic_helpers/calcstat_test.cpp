// Peak statistics of score maps.
#include <vector>

#include <gtest/gtest.h>

#include "KivIc/Helpers/CalcStat.h"

namespace {

struct Result {
    BOOL ok;
    double cx, cy, sx, sy;
};

Result Stats(int levels, std::vector<float> map, int w, int h, int px, int py) {
    Result r{};
    r.ok = CCalcStat::Analyse(levels, map.data(), w, h, px, py, &r.cx, &r.cy, &r.sx, &r.sy);
    return r;
}

TEST(CalcStatTest, SymmetricPeakIsCentredOnItself) {
    // 5 x 5, a cross-shaped peak at (2, 2) over a floor of 0.1.
    std::vector<float> map(25, 0.1f);
    map[2 * 5 + 2] = 0.9f;
    map[2 * 5 + 1] = map[2 * 5 + 3] = 0.7f;
    map[1 * 5 + 2] = map[3 * 5 + 2] = 0.7f;
    const Result r = Stats(2, map, 5, 5, 2, 2);
    EXPECT_TRUE(r.ok);
    EXPECT_DOUBLE_EQ(r.cx, 2.0);
    EXPECT_DOUBLE_EQ(r.cy, 2.0);
    // Threshold 0.5: weights 0.2, 0.4, 0.2 at distances 1, 0, 1.
    EXPECT_NEAR(r.sx, (0.2 + 0.2) / 0.8, 1e-6);
    EXPECT_NEAR(r.sy, (0.2 + 0.2) / 0.8, 1e-6);
}

TEST(CalcStatTest, TwoLevelsPutTheThresholdHalfway) {
    // Row 0.0 0.4 0.6 1.0: threshold 0.5 keeps 0.6 and 1.0 (weights 0.1 and 0.5).
    const Result r = Stats(2, {0.0f, 0.4f, 0.6f, 1.0f}, 4, 1, 3, 0);
    EXPECT_NEAR(r.cx, (2 * 0.1 + 3 * 0.5) / 0.6, 1e-6);
    EXPECT_NEAR(r.sx, (1 * 0.1) / 0.6, 1e-6);
    EXPECT_NEAR(r.cy, 0.0, 1e-9);
}

TEST(CalcStatTest, TwoSeparateRegionsInThePeakRowGiveNoCentre) {
    const Result r = Stats(2, {0.9f, 0.1f, 0.1f, 1.0f, 0.1f}, 5, 1, 3, 0);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.cx, -1.0);
    EXPECT_EQ(r.cy, -1.0); // the column is not analysed without a row centre
    EXPECT_EQ(r.sx, 0.0);
}

TEST(CalcStatTest, ExtremesStartFromTheFirstMeaningfulValue) {
    // All scores negative (above -1.0): the maximum is -0.2, not a made-up 0.0.
    // Threshold (-0.2 + -0.9) / 2 = -0.55; weights 0.05, 0.35, 0.15 at x = 1, 2, 3.
    const Result r = Stats(2, {-0.9f, -0.5f, -0.2f, -0.4f, -0.9f}, 5, 1, 2, 0);
    EXPECT_NEAR(r.cx, (1 * 0.05 + 2 * 0.35 + 3 * 0.15) / 0.55, 1e-5);
    // All scores above 1: the minimum is 2, not a made-up 1.0. Three levels: threshold 2 + 7 * 2 / 3.
    const Result big = Stats(3, {2.0f, 5.0f, 9.0f, 7.0f, 2.0f}, 5, 1, 2, 0);
    EXPECT_NEAR(big.cx, (2 * (9 - 6.6666667) + 3 * (7 - 6.6666667)) / (9 + 7 - 2 * 6.6666667), 1e-5);
    // Values at or below -1.0 do not count.
    const Result masked = Stats(2, {-1.0f, -5.0f, 0.2f, 0.8f, -1.0f}, 5, 1, 3, 0);
    EXPECT_NEAR(masked.cx, 3.0, 1e-9);
}

TEST(CalcStatTest, RefusesZeroLevelsPeaksOutsideAndMissingMaps) {
    std::vector<float> map(9, 0.5f);
    for (int levels : {0, -2}) {
        const Result r = Stats(levels, map, 3, 3, 1, 1);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.cx, -1.0);
    }
    EXPECT_FALSE(Stats(2, map, 3, 3, 3, 1).ok);
    EXPECT_FALSE(Stats(2, map, 3, 3, 1, -1).ok);
    EXPECT_FALSE(Stats(2, map, 0, 3, 0, 0).ok);
    EXPECT_FALSE(Stats(2, std::vector<float>(9, -1.0f), 3, 3, 1, 1).ok);
    double cx = 0, cy = 0, sx = 0, sy = 0;
    std::vector<float*> maps{map.data()};
    EXPECT_FALSE(CCalcStat::Calc(2, maps, 1, 3, 3, 1, 1, &cx, &cy, &sx, &sy));
    EXPECT_FALSE(CCalcStat::Calc(2, maps, -1, 3, 3, 1, 1, &cx, &cy, &sx, &sy));
    map[4] = 0.9f;
    EXPECT_TRUE(CCalcStat::Calc(2, maps, 0, 3, 3, 1, 1, &cx, &cy, &sx, &sy));
    EXPECT_DOUBLE_EQ(cx, 1.0);
    EXPECT_DOUBLE_EQ(cy, 1.0);
}

} // namespace
