// Tone curves: the shape of each gamma mode, then setup, gain, white balance and offset.
#include <gtest/gtest.h>

#include "fc/WqFc/GammaCorrect.h"
#include "support.h"

using namespace wqfc_test;

namespace {
GammaCorrect Base(double exponent, int knee) {
    GammaCorrect curve;
    curve.Build(860, 0, 1023, exponent, knee);
    return curve;
}
} // namespace

TEST(WqFcCurves, LinearModeHasNoKnee) {
    GammaCorrect curve = Base(1.0, 0);
    EXPECT_EQ(curve[0], 0);
    EXPECT_EQ(curve[512], 609); // 512 * 1023 / 860 = 609.04
    EXPECT_EQ(curve[859], 1022);
    for (int i = 860; i < 1024; ++i)
        ASSERT_EQ(curve[i], 1023) << i;
}

TEST(WqFcCurves, KneeJoinsThePowerCurve) {
    // Exponent 0.8, knee 50: a straight line up to 50, then round(1023 * (i / 860)^0.8).
    GammaCorrect mode2 = Base(0.8, 50);
    EXPECT_EQ(mode2[1], 2);
    EXPECT_EQ(mode2[25], 53);
    EXPECT_EQ(mode2[49], 103);
    EXPECT_EQ(mode2[50], 105);
    EXPECT_EQ(mode2[100], 183);
    EXPECT_EQ(mode2[512], 676);
    EXPECT_EQ(mode2[1023], 1023);
    // Exponent 0.6, knee 80.
    GammaCorrect mode3 = Base(0.6, 80);
    EXPECT_EQ(mode3[1], 3);
    EXPECT_EQ(mode3[25], 77);
    EXPECT_EQ(mode3[79], 243);
    EXPECT_EQ(mode3[80], 246);
    EXPECT_EQ(mode3[512], 749);
    // Both rise monotonically.
    for (int i = 1; i < 1024; ++i) {
        ASSERT_LE(mode2[i - 1], mode2[i]);
        ASSERT_LE(mode3[i - 1], mode3[i]);
    }
}

TEST(WqFcCurves, ShiftAndScaleClampTheirIndexes) {
    GammaCorrect base = Base(1.0, 0);
    GammaCorrect up = base;
    up.Shift(100);
    EXPECT_EQ(up[0], base[100]);
    EXPECT_EQ(up[1000], 1023);
    GammaCorrect down = base;
    down.Shift(-100);
    EXPECT_EQ(down[50], 0);
    EXPECT_EQ(down[300], base[200]);
    GammaCorrect twice = base;
    twice.Scale(2560, 1280); // dB value 20 at gain 128 over DbGain "D" 10
    EXPECT_EQ(twice[256], base[512]);
    EXPECT_EQ(twice[700], 1023);
    GammaCorrect negative = base;
    negative.Scale(-5, 3);
    EXPECT_EQ(negative[500], 0);
}

TEST(WqFcCurves, PipelineCurvesCarryGainWhiteBalanceSetupAndOffset) {
    TempDir dir;
    const std::string path = dir.Write("BREMFC.zop", "[Setup]\nR=10\nG=-20\nB=0\n[Offset]\nR=5\nG=0\nB=-7\n");
    BremIc p(Recording(8, 4), path);
    p.SetWhiteBalance(1); // 136, 128, 173
    for (int gamma : {0, 2, 4}) {
        p.SetGamma(gamma);
        for (int gain : {0, 6, 12, 18}) {
            p.SetGain(gain);
            const ref::Settings s = SettingsOf(p);
            const int setups[3] = {10, -20, 0};
            const int offsets[3] = {5, 0, -7};
            for (int c = 0; c < 3; ++c) {
                const std::vector<int> expected =
                    ref::Curve(gamma, s.dbValue, s.wbGain[c], p.Params().DbGainD, setups[c], offsets[c]);
                for (int i = 0; i < 1024; ++i)
                    ASSERT_EQ(p.Curve(c)[i], expected[i])
                        << "gamma " << gamma << " gain " << gain << " c " << c;
            }
        }
    }
    // 18 dB uses the 12 dB value, so its curves equal those of 12 dB.
    p.SetGain(12);
    const GammaCorrect at12 = p.Curve(0);
    p.SetGain(18);
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ(p.Curve(0)[i], at12[i]);
}

TEST(WqFcCurves, HandComputedScaleOfOneChannel) {
    // Gain 6 dB (20) over DbGain "D" 10 doubles the index; white balance 1 adds 173/128 on blue.
    BremIc p(Recording(8, 4), NoParameterFile());
    p.SetWhiteBalance(4);
    p.SetGain(6);
    GammaCorrect base = Base(1.0, 0);
    EXPECT_EQ(p.Curve(1)[100], base[200]);
    p.SetWhiteBalance(1);
    // floor(100 * 20 * 173 / 1280) = 270
    EXPECT_EQ(p.Curve(2)[100], base[270]);
}
