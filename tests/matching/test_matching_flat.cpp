// Windows and templates without variance: every correlation method scores them exactly -1.0, whatever
// their size, on the whole-area and the plain paths alike, so that they never win over a real match.
#include "matching/matcher_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kCorrelationMethods[] = {0, 1, 2, 3, 6};

std::string Describe(int method, bool fast, int w, int h, int value, const char* what) {
    return std::string(what) + " of " + std::to_string(value) + ", template " + std::to_string(w) + "x" +
           std::to_string(h) + ", method " + std::to_string(method) + (fast ? " fast" : " plain");
}

// With the threshold below every score, Match gives the raw best: for areas whose every window or
// template is flat, -1.0 and a map of -1.0 only.
void ExpectNothingFound(const reference::Result& r, const std::string& what) {
    EXPECT_EQ(r.value, -1.0) << what;
    std::size_t other = 0;
    for (float s : r.map) {
        if (s != -1.0f && other++ == 0) {
            ADD_FAILURE() << what << ": map holds " << s;
        }
    }
    EXPECT_EQ(other, 0u) << what;
    EXPECT_FALSE(r.map.empty()) << what;
}

// The frame for a template of w x h: area (margin, margin) of (w + 2 margin) x (h + 2 margin).
struct Layout {
    int w;
    int h;
    static constexpr int kMargin = 3;
    int areaWidth() const { return w + 2 * kMargin; }
    int areaHeight() const { return h + 2 * kMargin; }
    Picture Frame(unsigned seed) const { return Picture::Random(areaWidth() + 6, areaHeight() + 6, seed); }
};

constexpr Layout kNonSquareCounts[] = {{2, 3}, {3, 2}, {5, 7}, {21, 20}};

// Every correlation method on both paths finds nothing in the layout's area of the frame.
void ExpectNothingFoundByAnyMethod(const Picture& frame, const std::vector<unsigned char>& templ,
                                   const Layout& l, int value, const char* what) {
    for (bool fast : {true, false}) {
        PathChoice choice(fast);
        for (int method : kCorrelationMethods) {
            ExpectNothingFound(RunMatcher(method, frame, templ.data(), l.w, l.h, Layout::kMargin,
                                          Layout::kMargin, l.areaWidth(), l.areaHeight(), -2.0),
                               Describe(method, fast, l.w, l.h, value, what));
        }
    }
}

TEST(FlatCorrelation, FlatTemplateOfNonSquareCount) {
    // A flat 2 x 3 template of 153 in an area of alternating 0 and 255 once scored 0.0 everywhere.
    Picture alternating(3, 3);
    for (std::size_t i = 0; i < alternating.pixels.size(); ++i) {
        alternating.pixels[i] = i % 2 == 0 ? 0 : 255;
    }
    const std::vector<unsigned char> flat153(6, 153);
    for (bool fast : {true, false}) {
        PathChoice choice(fast);
        ExpectNothingFound(RunMatcher(6, alternating, flat153.data(), 2, 3, 0, 0, 3, 3, -2.0),
                           Describe(6, fast, 2, 3, 153, "alternating area, template"));
        ExpectNothingFound(RunMatcher(6, alternating, flat153.data(), 3, 2, 0, 0, 3, 3, -2.0),
                           Describe(6, fast, 3, 2, 153, "alternating area, template"));
    }
    unsigned seed = 40;
    for (const Layout& l : kNonSquareCounts) {
        for (int value : {0, 1, 77, 153, 254, 255}) {
            const Picture frame = l.Frame(seed++);
            const std::vector<unsigned char> flat(static_cast<std::size_t>(l.w) * l.h,
                                                  static_cast<unsigned char>(value));
            ExpectNothingFoundByAnyMethod(frame, flat, l, value, "flat template");
        }
    }
}

TEST(FlatCorrelation, FlatWindowsOfNonSquareCount) {
    // A flat 3 x 2 window of 156 under this template once scored +1.18e-8.
    const std::vector<unsigned char> templ = {204, 25, 251, 220, 109, 17};
    const Picture window(3, 2, 156);
    for (bool fast : {true, false}) {
        PathChoice choice(fast);
        ExpectNothingFound(RunMatcher(6, window, templ.data(), 3, 2, 0, 0, 3, 2, -2.0),
                           Describe(6, fast, 3, 2, 156, "window"));
    }
    unsigned seed = 60;
    for (const Layout& l : kNonSquareCounts) {
        const std::vector<unsigned char> random = Picture::Random(l.w, l.h, seed++).pixels;
        for (int value : {0, 1, 77, 156, 254, 255}) {
            const Picture frame(l.areaWidth() + 6, l.areaHeight() + 6, static_cast<unsigned char>(value));
            ExpectNothingFoundByAnyMethod(frame, random, l, value, "flat area");
        }
    }
}

TEST(FlatCorrelation, RandomSizesAndLevels) {
    // Any size from 2 to 39 either way: the template flat in a random area, or a random template in a
    // flat area. About a quarter of these once scored above -1.0 with method 6.
    std::mt19937 gen(77);
    std::uniform_int_distribution<int> size(2, 39);
    std::uniform_int_distribution<int> level(0, 255);
    for (int round = 0; round < 150; ++round) {
        const int w = size(gen);
        const int h = size(gen);
        const int value = level(gen);
        const unsigned seed = static_cast<unsigned>(1000 + round);
        const std::vector<unsigned char> flat(static_cast<std::size_t>(w) * h,
                                              static_cast<unsigned char>(value));
        const std::vector<unsigned char> random = Picture::Random(w, h, seed).pixels;
        const Picture texture = Picture::Random(w + 4, h + 3, seed + 1);
        const Picture even(w + 4, h + 3, static_cast<unsigned char>(value));
        for (bool fast : {true, false}) {
            PathChoice choice(fast);
            for (int method : {3, 6}) {
                ExpectNothingFound(RunMatcher(method, texture, flat.data(), w, h, 1, 1, w + 2, h + 2, -2.0),
                                   Describe(method, fast, w, h, value, "flat template"));
                ExpectNothingFound(RunMatcher(method, even, random.data(), w, h, 1, 1, w + 2, h + 2, -2.0),
                                   Describe(method, fast, w, h, value, "flat area"));
            }
        }
    }
}

TEST(FlatCorrelation, FlatWindowsNeverWinOverARealMatch) {
    // The first two candidate rows are flat; the rows below hold real windows that correlate negatively
    // with the template. The best of a real match, however poor, lies above the -1.0 of a flat window.
    // The wider area leaves room for the serpentine search.
    const std::vector<unsigned char> templ = {204, 25, 251, 220, 109, 17};
    for (int width : {3, 4}) {
        Picture frame(width, 5, 156);
        frame.Paste({94, 176, 148, 35, 85, 81}, width - 3, 3, 3, 2);
        const std::size_t columns = static_cast<std::size_t>(width) - 2;
        for (bool fast : {true, false}) {
            PathChoice choice(fast);
            for (int method : kCorrelationMethods) {
                const std::string what = Describe(method, fast, 3, 2, 156, "flat rows above a real match") +
                                         ", area width " + std::to_string(width);
                const auto r = RunMatcher(method, frame, templ.data(), 3, 2, 0, 0, width, 5, -2.0);
                if (method == 3 && width == 3) {
                    // Running sums need room in both directions: this narrow area is refused.
                    EXPECT_EQ(r.value, 0.0) << what;
                    continue;
                }
                ASSERT_EQ(r.map.size(), 4 * columns) << what;
                for (std::size_t i = 0; i < 2 * columns; ++i) {
                    EXPECT_EQ(r.map[i], -1.0f) << what << ", entry " << i;
                }
                EXPECT_GE(r.bestY, 2) << what;
                EXPECT_GT(r.value, -1.0) << what;
                EXPECT_EQ(static_cast<float>(r.value),
                          *std::max_element(r.map.begin() + 2 * columns, r.map.end()))
                    << what;
            }
        }
    }
}

} // namespace
