// The provisional-mean method's vector path, eight neighbouring candidates per vector: every count of
// candidates in a row, template rows longer than the float sums hold exactly, sums past 32 bits. Each
// search against the plain path and the reference, bit for bit.
#include "Matching/CrossCorrelation.h"
#include "matching/matcher_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kMethod = 1;

struct Search {
    int w;
    int h;
    int columns; // candidates per row
    int rows;    // candidate rows
};

std::string Describe(const char* kind, const Search& s) {
    return std::string(kind) + ", template " + std::to_string(s.w) + "x" + std::to_string(s.h) + ", " +
           std::to_string(s.columns) + "x" + std::to_string(s.rows) + " candidates";
}

// The search at (1, 2) of the frame with the vector path, and the same on the plain path and with the
// reference; the threshold lets every score through. Returns the vector path's result.
reference::Result ExpectAllAgree(const Picture& frame, const std::vector<unsigned char>& templ,
                                 const Search& s, const std::string& what) {
    const int sw = s.columns + s.w - 1;
    const int sh = s.rows + s.h - 1;
    const auto reference = RunReference(kMethod, frame, templ.data(), s.w, s.h, 1, 2, sw, sh, -2.0);
    {
        PathChoice plain(false);
        ExpectSame(RunMatcher(kMethod, frame, templ.data(), s.w, s.h, 1, 2, sw, sh, -2.0), reference,
                   what + ", plain");
    }
    const auto fast = RunMatcher(kMethod, frame, templ.data(), s.w, s.h, 1, 2, sw, sh, -2.0);
    ExpectSame(fast, reference, what + ", vector");
    return fast;
}

class RunningMeanVector : public ::testing::Test {
protected:
    void SetUp() override {
        if (!kivic::matching::VectorPathAvailable()) {
            GTEST_SKIP() << "no vector instructions on this processor";
        }
    }
};

TEST_F(RunningMeanVector, EveryCandidateCountOfARow) {
    // 1 ... 26 candidates in a row: every remainder after whole vectors of eight and after whole groups
    // of vectors, on one to three rows. The small template never lets the mean settle; the larger one
    // does, in its first row.
    const struct {
        int w;
        int h;
    } shapes[] = {{5, 4}, {17, 16}, {1, 1}, {16, 2}};
    unsigned seed = 300;
    for (const auto& shape : shapes) {
        for (int columns = 1; columns <= 26; ++columns) {
            for (int rows = 1; rows <= 3; ++rows) {
                const Search s{shape.w, shape.h, columns, rows};
                const int fw = columns + shape.w + 3;
                const int fh = rows + shape.h + 4;
                const Picture pictures[] = {Picture::Random(fw, fh, seed), Alternating(fw, fh),
                                            Picture(fw, fh, 255), Picture::Random(fw, fh, seed + 1, 0, 1)};
                const char* kinds[] = {"random", "checker of 0 and 255", "all 255", "0 and 1"};
                const Picture templates = Picture::Random(shape.w, shape.h, seed + 2);
                for (std::size_t p = 0; p < std::size(pictures); ++p) {
                    ExpectAllAgree(pictures[p], templates.pixels, s, Describe(kinds[p], s));
                }
                // A window of the area itself: its score is the largest.
                const auto own = pictures[0].Cut(1 + columns / 2, 2 + rows / 2, shape.w, shape.h);
                ExpectAllAgree(pictures[0], own, s, Describe("own window", s));
                seed += 3;
            }
        }
    }
}

TEST_F(RunningMeanVector, TemplateRowsLongerThanExactFloatSums) {
    // After 255 pixels of 0 the running mean stays 0, so every later pixel of 255 adds almost 255^2 to
    // both sums: past 2^24 within a row of about 520 pixels, where float sums would start to round.
    // Rows of 257 to 600 pixels, one to three of them, with the step from 0 to 255 at several places.
    const int widths[] = {257, 258, 259, 300, 520, 600};
    for (int w : widths) {
        for (int h : {1, 3}) {
            const Search s{w, h, 11, 2};
            Picture frame(s.columns + w + 2, s.rows + h + 3, 0);
            for (int y = 0; y < frame.height; ++y) {
                for (int x = 256 + y; x < frame.width; ++x) {
                    frame.at(x, y) = 255;
                }
            }
            const auto same = frame.Cut(1, 2, w, h);
            std::vector<unsigned char> negative = same;
            for (auto& v : negative) {
                v = static_cast<unsigned char>(255 - v);
            }
            ExpectAllAgree(frame, same, s, Describe("step", s));
            ExpectAllAgree(frame, negative, s, Describe("step, negative template", s));
        }
    }
}

TEST_F(RunningMeanVector, SumsPastThirtyTwoBits) {
    // A 201 x 201 template of 255 pixels of 0 and then 255 only: its energy and, for the window that
    // holds the same, both sums are about 40146 * 255^2, past 2^31; against the negative template the
    // product sum is about -2.6e9, past what 32 bits hold either way. Any narrower sum changes the
    // score of that window.
    constexpr int kSide = 201;
    std::vector<unsigned char> step(kSide * kSide, 255);
    std::fill(step.begin(), step.begin() + 255, 0);
    std::vector<unsigned char> negative = step;
    for (auto& v : negative) {
        v = static_cast<unsigned char>(255 - v);
    }
    const Search s{kSide, kSide, 7, 5};
    Picture frame = Picture::Random(s.columns + kSide + 2, s.rows + kSide + 3, 310);
    frame.Paste(step, 4, 3, kSide, kSide);
    const auto same = ExpectAllAgree(frame, step, s, "step template");
    EXPECT_EQ(same.bestX, 4);
    EXPECT_EQ(same.bestY, 3);
    EXPECT_NEAR(same.value, 1.0, 1e-12);
    const auto opposite = ExpectAllAgree(frame, negative, s, "negative step template");
    ASSERT_EQ(opposite.mapWidth, s.columns);
    EXPECT_NEAR(opposite.map[static_cast<std::size_t>(1 * s.columns + 3)], -1.0f, 1e-6f);
}

} // namespace
