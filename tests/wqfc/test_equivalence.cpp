// The fast paths against the reference: random frames and random settings on every path.
#include <gtest/gtest.h>

#include "platform/win32/system.h"
#include "support.h"

using namespace wqfc_test;

namespace {

std::string RandomParameterFile(const TempDir& dir, std::mt19937& rng, int index) {
    auto pick = [&](int lo, int hi) {
        return std::to_string(std::uniform_int_distribution<int>(lo, hi)(rng));
    };
    std::string text = "[DbGain]\n0=" + pick(5, 15) + "\n6=" + pick(15, 25) + "\n12=" + pick(30, 50) +
                       "\nD=" + pick(0, 12) + "\n[YGain]\nY=" + pick(0, 80) + "\nD=" + pick(40, 80) +
                       "\n[Setup]\nR=" + pick(-20, 20) + "\nG=" + pick(-20, 20) + "\nB=" + pick(-20, 20) +
                       "\nY=" + pick(-10, 10) + "\n[Offset]\nR=" + pick(-30, 30) + "\nG=" + pick(-30, 30) +
                       "\nB=" + pick(-30, 30) + "\n[CyGain]\nR=" + pick(50, 200) + "\nB=" + pick(50, 200) +
                       "\n[CyClip]\nR=" + pick(0, 8) + "\nG=" + pick(0, 8) + "\n";
    return dir.Write("BREMFC" + std::to_string(index) + ".zop", text);
}

void RandomKernels(BremIc& p, std::mt19937& rng) {
    const int kind = std::uniform_int_distribution<int>(0, 3)(rng);
    if (kind == 0)
        return; // defaults
    std::uniform_int_distribution<int> colour(0, 2), phase(0, 3), pos(0, 8);
    // kind 1: small non-negative changes (vector path with the low-pass kernels), kind 2: signed
    // weights within 16 bits, kind 3: weights too large for 16-bit sums (plain loops).
    for (int i = 0; i < 6; ++i) {
        int weight = kind == 1   ? std::uniform_int_distribution<int>(0, 2)(rng)
                     : kind == 2 ? std::uniform_int_distribution<int>(-2, 2)(rng)
                                 : std::uniform_int_distribution<int>(-300, 300)(rng);
        p.SetBayerFilter(colour(rng), phase(rng), pos(rng), static_cast<std::int16_t>(weight));
    }
}

} // namespace

TEST(WqFcEquivalence, RandomFramesAndSettingsMatchTheReferenceOnEveryPath) {
    TempDir dir;
    std::mt19937 rng(20261208);
    const int sizes[][2] = {{37, 23}, {64, 48}, {16, 3}, {1, 4}, {3, 1}, {33, 2}, {200, 9}, {18, 17}};
    int round = 0;
    for (const auto& size : sizes) {
        for (int trial = 0; trial < 12; ++trial, ++round) {
            const int w = size[0], h = size[1];
            BremIcRecording rec = Recording(w, h, std::uniform_int_distribution<int>(0, 1)(rng) ? 100 : 200);
            BremIc p(rec, RandomParameterFile(dir, rng, round));
            const int gammas[] = {0, 2, 4}, gains[] = {0, 6, 12, 18}, enhances[] = {0, 2, 4, 6};
            p.SetGamma(gammas[trial % 3]);
            p.SetGain(gains[std::uniform_int_distribution<int>(0, 3)(rng)]);
            p.SetEnhance(enhances[trial % 4]);
            p.SetWhiteBalance(std::uniform_int_distribution<int>(0, 4)(rng));
            p.SetChroma(std::uniform_int_distribution<int>(0, 200)(rng));
            p.SetBrightness(std::uniform_int_distribution<int>(-40, 40)(rng));
            p.SetContrast(std::uniform_int_distribution<int>(40, 250)(rng));
            if (trial % 5 == 4)
                p.SetFilterPos(1, 1);
            RandomKernels(p, rng);
            p.SetEnableLPF(std::uniform_int_distribution<int>(0, 1)(rng) == 1);
            const std::vector<std::uint8_t> raw = RandomFrame(w, h, rng);
            if (p.WhiteBalance() == 0 && w > 2 && h > 2) {
                p.Unpack(raw.data());
                p.SetAwbSamplePos(w / 2, h / 2);
            }
            const std::vector<std::uint8_t> expected = ref::Convert(raw.data(), SettingsOf(p));
            for (WqFcPath path : {WqFcPath::Plain, WqFcPath::Sse2, WqFcPath::Avx2}) {
                ForcedPath forced(path);
                std::vector<std::uint8_t> out(static_cast<std::size_t>(3 * w * h), 0xAB);
                p.Convert(raw.data(), out.data());
                ASSERT_EQ(out, expected)
                    << PathName(path) << " " << w << "x" << h << " trial " << trial << " gamma " << p.Gamma()
                    << " enhance " << p.Enhance() << " lpf " << p.EnableLPF();
            }
        }
    }
}

TEST(WqFcEquivalence, FullSizeFrameOnEveryPath) {
    std::mt19937 rng(5);
    const std::vector<std::uint8_t> raw = RandomFrame(512, 480, rng);
    BremIc p(Recording(512, 480), NoParameterFile());
    p.SetEnhance(6);
    p.SetChroma(150);
    p.SetWhiteBalance(2);
    const std::vector<std::uint8_t> expected = ref::Convert(raw.data(), SettingsOf(p));
    for (WqFcPath path : {WqFcPath::Plain, WqFcPath::Sse2, WqFcPath::Avx2}) {
        ForcedPath forced(path);
        std::vector<std::uint8_t> out(512 * 480 * 3);
        p.Convert(raw.data(), out.data());
        ASSERT_EQ(out, expected) << PathName(path);
    }
}

TEST(WqFcEquivalence, AutomaticChoiceFollowsTheProcessor) {
    WqFcForcePath(WqFcPath::Auto);
    if (CpuHasMmx())
        EXPECT_NE(WqFcActivePath(), WqFcPath::Plain);
    else
        EXPECT_EQ(WqFcActivePath(), WqFcPath::Plain);
    {
        ForcedPath forced(WqFcPath::Plain);
        EXPECT_EQ(WqFcActivePath(), WqFcPath::Plain);
    }
    {
        ForcedPath forced(WqFcPath::Sse2);
        EXPECT_EQ(WqFcActivePath(), WqFcPath::Sse2);
    }
    EXPECT_EQ(WqFcForcedPath(), WqFcPath::Auto);
}

TEST(WqFcEquivalence, ChangingEnhanceBetweenFramesKeepsMatching) {
    std::mt19937 rng(3);
    BremIc p(Recording(45, 14), NoParameterFile());
    for (int enhance : {0, 6, 2, 0, 4, 6}) {
        p.SetEnhance(enhance);
        const std::vector<std::uint8_t> raw = RandomFrame(45, 14, rng);
        std::vector<std::uint8_t> out(45 * 14 * 3);
        p.Convert(raw.data(), out.data());
        ASSERT_EQ(out, ref::Convert(raw.data(), SettingsOf(p))) << "enhance " << enhance;
    }
}

TEST(WqFcEquivalence, ExtremeParametersStayExactOnEveryPath) {
    // Gains and clips far outside real use push the output stage past 32 bits; the vector kernels must
    // notice and hand those rows to the wide loops.
    TempDir dir;
    const std::string path =
        dir.Write("BREMFC.zop", "[YGain]\nY=1\nD=64\n[Setup]\nY=-30000\n"
                                "[CyGain]\nR=2000000\nB=-900000\n[CyClip]\nR=70000\nG=-5\n");
    std::mt19937 rng(9);
    BremIc p(Recording(40, 10), path);
    p.SetChroma(32767);
    p.SetContrast(32767);
    p.SetBrightness(-32768);
    for (int enhance : {0, 6}) {
        p.SetEnhance(enhance);
        const std::vector<std::uint8_t> raw = RandomFrame(40, 10, rng);
        const std::vector<std::uint8_t> expected = ref::Convert(raw.data(), SettingsOf(p));
        for (WqFcPath forcedPath : {WqFcPath::Plain, WqFcPath::Sse2, WqFcPath::Avx2}) {
            ForcedPath forced(forcedPath);
            std::vector<std::uint8_t> out(40 * 10 * 3);
            p.Convert(raw.data(), out.data());
            ASSERT_EQ(out, expected) << PathName(forcedPath) << " enhance " << enhance;
        }
    }
}
