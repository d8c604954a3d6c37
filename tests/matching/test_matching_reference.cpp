// The fast paths against the plain pixel-by-pixel reference, bit for bit.
#include "Matching/CrossCorrelation.h"
#include "matching/matcher_run.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct Case {
    int w;
    int h;
    int marginX;
    int marginY;
};

std::string Name(int method, const Case& c, const char* kind) {
    return std::string(kind) + " method " + std::to_string(method) + " template " + std::to_string(c.w) +
           "x" + std::to_string(c.h) + " margin " + std::to_string(c.marginX) + "," +
           std::to_string(c.marginY);
}

void CompareOn(const Picture& frame, const char* kind, unsigned seed) {
    const Case cases[] = {{21, 21, 5, 5}, {1, 1, 3, 2},  {7, 4, 6, 9}, {16, 17, 3, 0},
                          {33, 5, 0, 4},  {5, 33, 2, 2}, {2, 2, 1, 1}, {12, 12, 0, 0}};
    std::mt19937 gen(seed);
    for (const Case& c : cases) {
        const int sw = c.w + 2 * c.marginX;
        const int sh = c.h + 2 * c.marginY;
        std::uniform_int_distribution<int> px(0, frame.width - sw);
        std::uniform_int_distribution<int> py(0, frame.height - sh);
        const int x0 = px(gen);
        const int y0 = py(gen);
        // The template from somewhere else in the frame, slightly disturbed.
        std::vector<unsigned char> templ =
            frame.Cut(px(gen) % (frame.width - c.w + 1), py(gen) % (frame.height - c.h + 1), c.w, c.h);
        for (std::size_t i = 0; i < templ.size(); i += 7) {
            templ[i] = static_cast<unsigned char>(templ[i] ^ 1);
        }
        for (int method = 0; method <= 7; ++method) {
            ExpectSame(RunMatcher(method, frame, templ.data(), c.w, c.h, x0, y0, sw, sh),
                       RunReference(method, frame, templ.data(), c.w, c.h, x0, y0, sw, sh),
                       Name(method, c, kind));
        }
    }
}

TEST(MatchingAgainstReference, RandomTextures) {
    CompareOn(Picture::Random(90, 80, 1), "random", 11);
}

TEST(MatchingAgainstReference, PlainPathsToo) {
    // Each candidate on its own, and the window copies of the image-library methods.
    Matching::UseFastPaths(false);
    CompareOn(Picture::Random(70, 60, 5), "plain", 15);
    CompareOn(Picture::Random(70, 60, 6, 100, 101), "plain two levels", 16);
    Matching::UseFastPaths(true);
}

TEST(MatchingAgainstReference, FewGrayLevelsMakeTies) {
    // Two gray levels: many windows score alike, so the order of the search decides.
    CompareOn(Picture::Random(90, 80, 2, 100, 101), "two levels", 12);
}

TEST(MatchingAgainstReference, PeriodicTextureMakesExactTies) {
    Picture frame(90, 80);
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            frame.at(x, y) = static_cast<unsigned char>((x % 4) * 40 + (y % 3) * 25);
        }
    }
    CompareOn(frame, "periodic", 13);
}

TEST(MatchingAgainstReference, FlatAreasAndFlatTemplates) {
    Picture frame = Picture::Random(90, 80, 3);
    for (int y = 20; y < 70; ++y) {
        for (int x = 10; x < 80; ++x) {
            frame.at(x, y) = 77;
        }
    }
    CompareOn(frame, "partly flat", 14);
    const std::vector<unsigned char> flat(21 * 21, 77);
    for (int method = 0; method <= 6; ++method) {
        ExpectSame(RunMatcher(method, frame, flat.data(), 21, 21, 5, 5, 41, 41),
                   RunReference(method, frame, flat.data(), 21, 21, 5, 5, 41, 41), "flat template");
    }
}

TEST(MatchingAgainstReference, LargeTemplateSumsNeedSixtyFourBits) {
    // A 201 x 201 template of high contrast: several of the sums pass 2^31.
    Picture frame = Picture::Random(205, 204, 4);
    for (std::size_t i = 0; i < frame.pixels.size(); ++i) {
        frame.pixels[i] = frame.pixels[i] < 128 ? 0 : 255;
    }
    const std::vector<unsigned char> templ = frame.Cut(2, 1, 201, 201);
    for (int method = 0; method <= 6; ++method) {
        const auto fast = RunMatcher(method, frame, templ.data(), 201, 201, 0, 0, 205, 204);
        ExpectSame(fast, RunReference(method, frame, templ.data(), 201, 201, 0, 0, 205, 204),
                   "large, method " + std::to_string(method));
        if (method != 3) {
            EXPECT_EQ(fast.bestX, 2) << method;
            EXPECT_EQ(fast.bestY, 1) << method;
            EXPECT_NEAR(fast.value, 1.0, 1e-12) << method;
        }
    }
}

TEST(MatchingAgainstReference, LargeAreasGoThroughSpectra) {
    using namespace kivic::matching;
    if (!VectorPathAvailable()) {
        GTEST_SKIP() << "no vector instructions on this processor";
    }
    ASSERT_EQ(ChosenProductEngine(160, 150, 65, 65), ProductEngine::Fourier);
    ASSERT_EQ(ChosenProductEngine(31, 31, 21, 21), ProductEngine::Vector);
    const Picture frame = Picture::Random(170, 160, 7);
    auto templ = frame.Cut(50, 40, 65, 65);
    templ[100] = static_cast<unsigned char>(templ[100] ^ 0x10);
    for (int method : {0, 2, 3, 6}) {
        ExpectSame(RunMatcher(method, frame, templ.data(), 65, 65, 4, 6, 160, 150),
                   RunReference(method, frame, templ.data(), 65, 65, 4, 6, 160, 150),
                   "spectra, method " + std::to_string(method));
    }
}

TEST(WindowProducts, EveryEngineGivesTheSameIntegers) {
    using namespace kivic::matching;
    struct Size {
        int areaW, areaH, w, h;
    };
    const Size sizes[] = {
        {31, 31, 21, 21}, {40, 9, 1, 1}, {70, 65, 33, 17}, {64, 64, 64, 64}, {150, 131, 61, 60}};
    unsigned seed = 20;
    for (const Size& s : sizes) {
        const Picture area = Picture::Random(s.areaW + 3, s.areaH, seed++);
        const Picture templ = Picture::Random(s.w, s.h, seed++);
        const AreaView view{area.pixels.data() + 3, area.width, s.areaW, s.areaH};
        const std::size_t count = static_cast<std::size_t>(s.areaW - s.w + 1) * (s.areaH - s.h + 1);
        std::vector<std::int64_t> plain(count), vector(count), fourier(count);
        ComputeWindowProducts(view, templ.pixels.data(), s.w, s.h, plain.data(), ProductEngine::Plain);
        ComputeWindowProducts(view, templ.pixels.data(), s.w, s.h, vector.data(), ProductEngine::Vector);
        ComputeWindowProducts(view, templ.pixels.data(), s.w, s.h, fourier.data(), ProductEngine::Fourier);
        EXPECT_EQ(plain, vector) << s.w << "x" << s.h << " in " << s.areaW << "x" << s.areaH;
        EXPECT_EQ(plain, fourier) << s.w << "x" << s.h << " in " << s.areaW << "x" << s.areaH;
        std::vector<std::int64_t> sadPlain(count), sadVector(count);
        ComputeWindowAbsDifferences(view, templ.pixels.data(), s.w, s.h, sadPlain.data(), false);
        ComputeWindowAbsDifferences(view, templ.pixels.data(), s.w, s.h, sadVector.data(), true);
        EXPECT_EQ(sadPlain, sadVector) << s.w << "x" << s.h;
    }
}

TEST(WindowProducts, AbsDifferencesOfEveryTemplateWidth) {
    // Widths with every remainder after whole blocks of 8 pixels, rows longer than the 257 pixels of 255
    // a 16-bit sum holds, candidate rows that end in part-filled groups, and the largest differences.
    using namespace kivic::matching;
    const int widths[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 15, 16, 17, 21, 31, 32, 33, 255, 256, 257, 258, 300};
    unsigned seed = 50;
    for (int w : widths) {
        for (int h : {1, 2, 5}) {
            for (int margin : {0, 1, 15, 16, 17}) {
                const int areaW = w + margin;
                const int areaH = h + 2;
                const Picture random = Picture::Random(areaW + 2, areaH, seed++);
                const Picture bright(areaW + 2, areaH, 255);
                const Picture templ = Picture::Random(w, h, seed++);
                const Picture dark(w, h, 0);
                const std::size_t count = static_cast<std::size_t>(margin + 1) * 3;
                for (int kind = 0; kind < 2; ++kind) {
                    const Picture& area = kind == 0 ? random : bright;
                    const Picture& t = kind == 0 ? templ : dark;
                    const AreaView view{area.pixels.data() + 1, area.width, areaW, areaH};
                    std::vector<std::int64_t> plain(count), vector(count);
                    ComputeWindowAbsDifferences(view, t.pixels.data(), w, h, plain.data(), false);
                    ComputeWindowAbsDifferences(view, t.pixels.data(), w, h, vector.data(), true);
                    EXPECT_EQ(plain, vector) << (kind == 0 ? "random " : "255 against 0 ") << w << "x" << h
                                             << " in " << areaW << "x" << areaH;
                    if (kind == 1) {
                        EXPECT_EQ(vector.front(), 255LL * w * h);
                    }
                }
            }
        }
    }
}

TEST(WindowProducts, SpectraStayExactForTheLargestSums) {
    // All pixels 255: every product sum is 255^2 * 201^2, the largest a 201 x 201 template can give.
    using namespace kivic::matching;
    const Picture area(401, 401, 255);
    const Picture templ(201, 201, 255);
    const AreaView view{area.pixels.data(), area.width, area.width, area.height};
    std::vector<std::int64_t> fourier(201 * 201);
    ComputeWindowProducts(view, templ.pixels.data(), 201, 201, fourier.data(), ProductEngine::Fourier);
    for (std::int64_t v : fourier) {
        ASSERT_EQ(v, 255LL * 255 * 201 * 201);
    }
}

} // namespace
