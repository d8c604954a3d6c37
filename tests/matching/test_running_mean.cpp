// The provisional-mean method's whole-area path: its divisions done as multiplications, and its scores
// against the plain reference around the pixel where the running mean settles.
#include "Matching/CrossCorrelation.h"
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

// Every numerator the running sums form (|n| <= 255 * 255) divided by k + 1, as the factors do it.
void ExpectExactDivisions(std::int64_t k, double fraction, double reciprocal) {
    std::int64_t wrong = 0;
    for (std::int64_t n = -kLargestProduct; n <= kLargestProduct; ++n) {
        const double x = static_cast<double>(n);
        if (static_cast<std::int64_t>(std::trunc(x * fraction)) != n * k / (k + 1)) {
            ++wrong;
        }
        if (reciprocal != 0.0 && static_cast<std::int64_t>(std::trunc(x * reciprocal)) != n / (k + 1)) {
            ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0) << "k = " << k;
}

TEST(RunningMeanDivision, FactorsDivideEveryNumeratorExactly) {
    // The first pixels, where the mean still moves and the quotients are largest, come from the table
    // of a 201 x 201 template; pixel counts of templates far larger straight from the factors' rule.
    const RunningMeanFactors& f = RunningMeanFactorsFor(201 * 201);
    ASSERT_EQ(f.fraction.size(), 201u * 201u);
    ASSERT_EQ(f.reciprocal.size(), static_cast<std::size_t>(kMovingPixels));
    for (std::int64_t k = 0; k < 300; ++k) {
        const auto i = static_cast<std::size_t>(k);
        ExpectExactDivisions(k, f.fraction[i], k < kMovingPixels ? f.reciprocal[i] : 0.0);
    }
    for (std::int64_t k : {1023LL, 4095LL, 40399LL, 40400LL}) {
        ExpectExactDivisions(k, f.fraction[static_cast<std::size_t>(k)], 0.0);
    }
    for (std::int64_t k : {65535LL, 65536LL, (1LL << 24) - 1, (1LL << 31) - 2}) {
        const double next = static_cast<double>(k + 1);
        ExpectExactDivisions(k, LeastNotBelow(static_cast<double>(k), next), LeastNotBelow(1.0, next));
    }
}

TEST(RunningMeanDivision, FactorsFollowTheCountAskedFor) {
    const RunningMeanFactors& small = RunningMeanFactorsFor(7);
    EXPECT_EQ(small.count, 7);
    EXPECT_EQ(small.fraction.size(), 7u);
    EXPECT_EQ(small.reciprocal.size(), 7u);
    EXPECT_EQ(small.fraction[0], 0.0);
    EXPECT_EQ(small.fraction[1], 0.5);
    EXPECT_EQ(small.reciprocal[0], 1.0);
    EXPECT_EQ(small.reciprocal[3], 0.25);
    // Not a power of two: the factor lies above the quotient.
    EXPECT_GT(small.reciprocal[2], 1.0 / 3.0);
    EXPECT_EQ(std::nextafter(small.reciprocal[2], 0.0), 1.0 / 3.0);
    const RunningMeanFactors& large = RunningMeanFactorsFor(300);
    EXPECT_EQ(large.fraction.size(), 300u);
    EXPECT_EQ(large.reciprocal.size(), static_cast<std::size_t>(kMovingPixels));
}

Picture Alternating(int w, int h) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            p.at(x, y) = (x + y) % 2 == 0 ? 0 : 255;
        }
    }
    return p;
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
