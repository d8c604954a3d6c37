// The provisional-mean method's whole-area path: its divisions done as multiplications, and its scores
// against the plain reference around the pixel where the running mean settles.
#include "Matching/RunningMeanDivision.h"
#include "matching/matcher_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace kivic::matching;

constexpr std::int64_t kLargestProduct = 255 * 255;

// Every quotient that the sums take from a factor below c / (k + 1): the integers u with u * c at most
// 255 * 255, times the factor, rounded up.
void ExpectExactCeilings(std::int64_t k, std::int64_t c, float factor) {
    std::int64_t wrong = 0;
    for (std::int64_t u = 0; u * c <= kLargestProduct; ++u) {
        const std::int64_t exact = (u * c + k) / (k + 1);
        if (static_cast<std::int64_t>(std::ceil(static_cast<float>(u) * factor)) != exact) {
            ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0) << "k = " << k << ", c = " << c;
}

// Every step of the moving mean, d / (k + 1) for |d| <= 255.
void ExpectExactMeanSteps(std::int64_t k, float factor) {
    std::int64_t wrong = 0;
    for (std::int64_t d = -255; d <= 255; ++d) {
        if (static_cast<std::int64_t>(std::trunc(static_cast<float>(d) * factor)) != d / (k + 1)) {
            ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0) << "k = " << k;
}

TEST(RunningMeanDivision, FactorsDivideEveryNumeratorExactly) {
    // The first pixels, where the mean still moves and the quotients are largest, from the table of a
    // 201 x 201 template; pixel counts of templates far larger straight from the factors' rule.
    const RunningMeanFactors& f = RunningMeanFactorsFor(201 * 201);
    ASSERT_EQ(f.below.size(), 201u * 201u);
    ASSERT_EQ(f.above.size(), static_cast<std::size_t>(kMovingPixels));
    for (std::int64_t k = 0; k < 300; ++k) {
        ExpectExactCeilings(k, 1, f.below[static_cast<std::size_t>(k)]);
        if (k < kMovingPixels) {
            ExpectExactMeanSteps(k, f.above[static_cast<std::size_t>(k)]);
        }
    }
    for (std::int64_t k : {511LL, 1023LL, 4095LL, 40399LL, 40400LL}) {
        ExpectExactCeilings(k, 1, f.below[static_cast<std::size_t>(k)]);
    }
    for (std::int64_t k : {65023LL, 65024LL, 65535LL, (1LL << 24) - 1, (1LL << 31) - 2}) {
        ExpectExactCeilings(k, 1, FloatNotAbove(1.0, static_cast<double>(k + 1)));
    }
    // The product sums' factors c / (k + 1) for every deviation c.
    for (std::int64_t k : {0LL, 1LL, 2LL, 6LL, 254LL, 255LL, 256LL, 1000LL, 40400LL, (1LL << 31) - 2}) {
        for (std::int64_t c = 1; c <= 255; ++c) {
            ExpectExactCeilings(k, c, FloatNotAbove(static_cast<double>(c), static_cast<double>(k + 1)));
        }
    }
}

TEST(RunningMeanDivision, WholePartsTakenOutGiveTheIntegerQuotients) {
    // The identities the vector sums rest on, for every deviation pair: a window's d and the
    // template's d_k, both within -255 ... 255.
    for (std::int64_t k : {0LL, 1LL, 3LL, 254LL, 255LL, 300LL, 40400LL}) {
        const double next = static_cast<double>(k + 1);
        const float below = FloatNotAbove(1.0, next);
        std::int64_t wrong = 0;
        for (std::int64_t d = -255; d <= 255; ++d) {
            const float squared = static_cast<float>(d * d);
            if (d * d - static_cast<std::int64_t>(std::ceil(squared * below)) != d * d * k / (k + 1)) {
                ++wrong;
            }
            for (std::int64_t t = -255; t <= 255; ++t) {
                const float weight = std::copysign(FloatNotAbove(static_cast<double>(std::abs(t)), next),
                                                   static_cast<float>(t));
                const float q = static_cast<float>(d) * weight;
                const float away = std::copysign(std::ceil(std::fabs(q)), q);
                if (d * t - static_cast<std::int64_t>(away) != d * t * k / (k + 1)) {
                    ++wrong;
                }
            }
        }
        EXPECT_EQ(wrong, 0) << "k = " << k;
    }
}

TEST(RunningMeanDivision, FactorsLieOnTheirSideOfTheQuotient) {
    const RunningMeanFactors& small = RunningMeanFactorsFor(7);
    EXPECT_EQ(small.count, 7);
    EXPECT_EQ(small.below.size(), 7u);
    EXPECT_EQ(small.above.size(), 7u);
    EXPECT_EQ(small.below[0], 1.0f);
    EXPECT_EQ(small.below[1], 0.5f);
    EXPECT_EQ(small.above[3], 0.25f);
    // Not a power of two: the factors lie one step on either side of the quotient.
    EXPECT_LT(static_cast<double>(small.below[2]), 1.0 / 3.0);
    EXPECT_GT(static_cast<double>(small.above[2]), 1.0 / 3.0);
    EXPECT_EQ(std::nextafter(small.below[2], 1.0f), small.above[2]);
    EXPECT_EQ(FloatNotAbove(6.0, 3.0), 2.0f);
    EXPECT_EQ(FloatNotBelow(6.0, 3.0), 2.0f);
    EXPECT_EQ(FloatNotAbove(0.0, 5.0), 0.0f);
    // The products in long double are exact: 24 bits of the float times at most 31 of the denominator.
    const auto times = [](float q, double d) { return static_cast<long double>(q) * d; };
    for (double n : {1.0, 2.0, 7.0, 254.0, 255.0}) {
        for (double d : {3.0, 7.0, 255.0, 40401.0, 2147483647.0}) {
            const float low = FloatNotAbove(n, d);
            const float high = FloatNotBelow(n, d);
            EXPECT_LE(times(low, d), n) << n << " / " << d;
            EXPECT_GT(times(std::nextafter(low, HUGE_VALF), d), n) << n << " / " << d;
            EXPECT_GE(times(high, d), n) << n << " / " << d;
            EXPECT_LT(times(std::nextafter(high, 0.0f), d), n) << n << " / " << d;
        }
    }
    const RunningMeanFactors& large = RunningMeanFactorsFor(300);
    EXPECT_EQ(large.below.size(), 300u);
    EXPECT_EQ(large.above.size(), static_cast<std::size_t>(kMovingPixels));
}

struct Shape {
    int w;
    int h;
};

TEST(RunningMeanScores, AroundThePixelWhereTheMeanSettles) {
    // 255 pixels (the mean moves at every one), 256 (one settled pixel), the settling pixel inside the
    // first row or in a later one, and odd candidate counts so that groups end part-filled.
    const Shape shapes[] = {{15, 17}, {17, 15}, {16, 16}, {300, 1}, {1, 300}, {256, 2}, {23, 23}, {40, 7}};
    unsigned seed = 90;
    for (const Shape& s : shapes) {
        const int sw = s.w + 19;
        const int sh = s.h + 6;
        // Dark but for a bright corner that one candidate meets first at its pixel 254, the last one at
        // which a full step of 255 still moves the mean.
        Picture corner(sw + 4, sh + 3, 0);
        for (int y = 1 + 254 / s.w + 3; y < corner.height; ++y) {
            for (int x = 2 + 254 % s.w + 5; x < corner.width; ++x) {
                corner.at(x, y) = 255;
            }
        }
        const Picture pictures[] = {Picture::Random(sw + 4, sh + 3, seed), Alternating(sw + 4, sh + 3),
                                    Picture::Random(sw + 4, sh + 3, seed + 1, 250, 255),
                                    Picture::Random(sw + 4, sh + 3, seed + 2, 0, 1), corner};
        const char* kinds[] = {"random", "alternating 0 and 255", "bright", "dark", "bright corner"};
        for (std::size_t p = 0; p < std::size(pictures); ++p) {
            const Picture& frame = pictures[p];
            // A template of the same kind from elsewhere, and its negative: the largest deviations.
            std::vector<unsigned char> templ = frame.Cut(3, 2, s.w, s.h);
            std::vector<unsigned char> negative = templ;
            for (auto& v : negative) {
                v = static_cast<unsigned char>(255 - v);
            }
            for (const auto* t : {&templ, &negative}) {
                const std::string what = std::string(kinds[p]) + ", template " + std::to_string(s.w) + "x" +
                                         std::to_string(s.h) + (t == &negative ? " negative" : "");
                const auto reference = RunReference(1, frame, t->data(), s.w, s.h, 2, 1, sw, sh, -2.0);
                ExpectSame(RunMatcher(1, frame, t->data(), s.w, s.h, 2, 1, sw, sh, -2.0), reference, what);
            }
        }
        seed += 3;
    }
}

TEST(RunningMeanScores, LargeTemplateOfExtremeContrast) {
    // 101 x 101 pixels of 0 and 255 in an area of the same: numerators up to 255 * 255 at every pixel,
    // sums far past 2^32.
    Picture frame = Picture::Random(140, 120, 95);
    for (auto& v : frame.pixels) {
        v = v < 128 ? 0 : 255;
    }
    const auto templ = frame.Cut(20, 9, 101, 101);
    const auto fast = RunMatcher(1, frame, templ.data(), 101, 101, 3, 4, 135, 113, -2.0);
    ExpectSame(fast, RunReference(1, frame, templ.data(), 101, 101, 3, 4, 135, 113, -2.0),
               "extreme contrast");
    EXPECT_EQ(fast.bestX, 20);
    EXPECT_EQ(fast.bestY, 9);
}

} // namespace
