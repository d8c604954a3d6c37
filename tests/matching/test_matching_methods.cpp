// What each method promises: perfect scores, tie order, flat areas, threshold, refusals, the factory.
#include "Matching/CalcTest.h"
#include "Matching/CorrChkMatching.h"
#include "Matching/Image.h"
#include "matching/matcher_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kMethods = 7;

TEST(MatchingMethods, IdenticalWindowScoresTheMaximum) {
    const Picture frame = Picture::Random(80, 70, 5);
    const auto templ = frame.Cut(33, 29, 21, 21);
    for (int method = 0; method < kMethods; ++method) {
        const auto r = RunMatcher(method, frame, templ.data(), 21, 21, 20, 15, 41, 41);
        EXPECT_EQ(r.bestX, 33) << method;
        EXPECT_EQ(r.bestY, 29) << method;
        EXPECT_NEAR(r.value, 1.0, 1e-12) << method;
        if (method != 6) {
            EXPECT_EQ(r.value, 1.0) << method; // exact integer identities
        }
    }
}

TEST(MatchingMethods, TiesGoToTheFirstCandidateInSearchOrder) {
    // The template appears twice on the second candidate row: at columns 2 and 12 of the area.
    Picture frame = Picture::Random(60, 40, 6);
    const auto templ = Picture::Random(9, 9, 7).pixels;
    frame.Paste(templ, 10 + 2, 5 + 1, 9, 9);
    frame.Paste(templ, 10 + 12, 5 + 1, 9, 9);
    for (int method = 0; method < kMethods; ++method) {
        const auto r = RunMatcher(method, frame, templ.data(), 9, 9, 10, 5, 21, 15);
        // Raster order meets column 2 first; the serpentine search runs the odd row right to left.
        const int expected = method == 3 ? 10 + 12 : 10 + 2;
        EXPECT_EQ(r.bestX, expected) << method;
        EXPECT_EQ(r.bestY, 6) << method;
        EXPECT_EQ(r.value, r.map[1 * r.mapWidth + (expected - 10)]) << method;
    }
}

TEST(MatchingMethods, FlatSearchArea) {
    const Picture frame(50, 50, 90);
    const auto templ = Picture::Random(11, 11, 8).pixels;
    for (int method = 0; method < kMethods; ++method) {
        const auto r = RunMatcher(method, frame, templ.data(), 11, 11, 7, 9, 21, 21);
        if (method == 4 || method == 5) {
            // Differences still order the windows: all equal, so the first wins with a real score.
            EXPECT_EQ(r.bestX, 7);
            EXPECT_EQ(r.bestY, 9);
            EXPECT_GT(r.value, 0.0);
            EXPECT_LT(r.value, 1.0);
            continue;
        }
        EXPECT_EQ(r.value, -1.0) << method;
        for (float s : r.map) {
            ASSERT_EQ(s, -1.0f) << method;
        }
        if (method == 3) {
            EXPECT_EQ(r.bestX, 0); // the serpentine search starts its best at -1.0 and keeps (0, 0)
            EXPECT_EQ(r.bestY, 0);
        } else {
            EXPECT_EQ(r.bestX, 7) << method;
            EXPECT_EQ(r.bestY, 9) << method;
        }
    }
}

TEST(MatchingMethods, ThresholdKeepsBestsEqualToIt) {
    const Picture frame = Picture::Random(60, 60, 9);
    const auto templ = Picture::Random(11, 11, 10).pixels;
    for (int method = 0; method < kMethods; ++method) {
        const auto free = RunMatcher(method, frame, templ.data(), 11, 11, 10, 10, 31, 31, -2.0);
        const auto equal = RunMatcher(method, frame, templ.data(), 11, 11, 10, 10, 31, 31, free.value);
        EXPECT_EQ(equal.value, free.value) << method;
        const double above = std::nextafter(free.value, 2.0);
        const auto missed = RunMatcher(method, frame, templ.data(), 11, 11, 10, 10, 31, 31, above);
        EXPECT_EQ(missed.value, -1.0) << method;
        // The position is written either way.
        EXPECT_EQ(missed.bestX, free.bestX) << method;
        EXPECT_EQ(missed.bestY, free.bestY) << method;
    }
}

TEST(MatchingMethods, UnknownCodesBuildTheCheckerboardMethod) {
    const Picture frame = Picture::Random(50, 50, 11);
    const auto templ = frame.Cut(20, 21, 9, 9);
    for (int code : {2, 7, 9, -1, 1000}) {
        MakeMatchingClass factory(code);
        EXPECT_NE(dynamic_cast<CorrChkMatching*>(factory.GetMatcher()), nullptr) << code;
        EXPECT_EQ(factory.GetMethod(), code);
        ExpectSame(RunMatcher(code, frame, templ.data(), 9, 9, 10, 10, 25, 25),
                   RunMatcher(2, frame, templ.data(), 9, 9, 10, 10, 25, 25), "code " + std::to_string(code));
    }
    EXPECT_STREQ(MakeMatchingClass::MethodName(9), "不明な方法");
    EXPECT_STREQ(MakeMatchingClass::MethodName(3), "相関法（拡張フルスキャン法）");
}

TEST(MatchingMethods, CheckerboardIgnoresTheOtherHalf) {
    Picture frame = Picture::Random(40, 40, 12);
    auto templ = frame.Cut(15, 14, 8, 7);
    const auto exact = RunMatcher(2, frame, templ.data(), 8, 7, 10, 10, 20, 20);
    // Spoil only pixels whose column and row add up to an odd number: nothing changes.
    for (int j = 0; j < 7; ++j) {
        for (int i = (j + 1) % 2; i < 8; i += 2) {
            templ[static_cast<std::size_t>(j) * 8 + i] = static_cast<unsigned char>(255 - templ[j * 8 + i]);
        }
    }
    ExpectSame(RunMatcher(2, frame, templ.data(), 8, 7, 10, 10, 20, 20), exact, "odd half spoilt");
    EXPECT_EQ(exact.value, 1.0);
}

TEST(MatchingRefusals, DegenerateSizesGivePositionMinusOneAndNoMap) {
    const Picture frame = Picture::Random(40, 40, 13);
    const auto templ = Picture::Random(9, 9, 14).pixels;
    struct Bad {
        int w, h, sw, sh;
    };
    for (const Bad& b :
         {Bad{0, 9, 20, 20}, Bad{9, -1, 20, 20}, Bad{9, 9, 8, 20}, Bad{9, 9, 20, 5}, Bad{9, 9, -3, -3}}) {
        for (int method = 0; method < kMethods; ++method) {
            const auto r = RunMatcher(method, frame, templ.data(), b.w, b.h, 2, 2, b.sw, b.sh);
            EXPECT_EQ(r.bestX, -1) << method;
            EXPECT_EQ(r.bestY, -1) << method;
            EXPECT_EQ(r.value, 0.0) << method;
            EXPECT_EQ(r.mapWidth, 0) << method;
            EXPECT_EQ(r.mapHeight, 0) << method;
            EXPECT_TRUE(r.map.empty()) << method;
        }
    }
}

TEST(MatchingRefusals, MissingImageOrTemplateOrAreaOutsideTheFrame) {
    const Picture frame = Picture::Random(40, 40, 15);
    const auto templ = Picture::Random(9, 9, 16).pixels;
    for (int method = 0; method < kMethods; ++method) {
        const auto noTemplate = RunMatcher(method, frame, nullptr, 9, 9, 2, 2, 20, 20);
        EXPECT_EQ(noTemplate.bestX, -1);
        EXPECT_EQ(noTemplate.value, 0.0);
        EXPECT_EQ(noTemplate.mapWidth, 12);
        // With a positive threshold the refusal reads as "not found".
        EXPECT_EQ(RunMatcher(method, frame, nullptr, 9, 9, 2, 2, 20, 20, 0.5).value, -1.0);
        const auto outside = RunMatcher(method, frame, templ.data(), 9, 9, 30, 30, 20, 20);
        EXPECT_EQ(outside.bestX, -1) << method;
        EXPECT_EQ(outside.value, 0.0) << method;
        const auto negative = RunMatcher(method, frame, templ.data(), 9, 9, -1, 0, 20, 20);
        EXPECT_EQ(negative.bestY, -1) << method;
    }
    MakeMatchingClass factory(0);
    Matching* m = factory.GetMatcher();
    m->SetTemplate(templ.data(), 9, 9);
    int x = 0;
    int y = 0;
    EXPECT_EQ(m->Match(0, 0, 20, 20, &x, &y), 0.0);
    EXPECT_EQ(x, -1);
}

TEST(MatchingRefusals, AreaPastOneEdgeOnly) {
    // Each edge is checked on its own: an area reaching past the right edge alone, or past the bottom
    // edge alone, is refused.
    const Picture frame = Picture::Random(40, 30, 21);
    const auto templ = frame.Cut(5, 5, 9, 9);
    struct Area {
        int x0, y0, sw, sh;
        const char* what;
    };
    for (const Area& a :
         {Area{21, 0, 20, 20, "right"}, Area{0, 11, 20, 20, "bottom"}, Area{31, 10, 10, 12, "right, low"},
          Area{20, 21, 12, 10, "bottom, further right"}}) {
        for (int method = 0; method < kMethods; ++method) {
            const auto r = RunMatcher(method, frame, templ.data(), 9, 9, a.x0, a.y0, a.sw, a.sh, -2.0);
            EXPECT_EQ(r.bestX, -1) << a.what << ", method " << method;
            EXPECT_EQ(r.bestY, -1) << a.what << ", method " << method;
            EXPECT_EQ(r.value, 0.0) << a.what << ", method " << method;
        }
    }
    // Areas that end exactly on the right or bottom edge are searched.
    for (const Area& a : {Area{20, 0, 20, 20, "right"}, Area{0, 10, 20, 20, "bottom"}}) {
        for (int method = 0; method < kMethods; ++method) {
            const auto r = RunMatcher(method, frame, templ.data(), 9, 9, a.x0, a.y0, a.sw, a.sh, -2.0);
            EXPECT_GE(r.bestX, a.x0) << a.what << ", method " << method;
            EXPECT_GE(r.bestY, a.y0) << a.what << ", method " << method;
            EXPECT_GT(r.value, -1.0) << a.what << ", method " << method;
        }
    }
}

TEST(MatchingRefusals, TemplateOfAreaSize) {
    const Picture frame = Picture::Random(30, 30, 17);
    const auto templ = frame.Cut(4, 5, 12, 10);
    for (int method = 0; method < kMethods; ++method) {
        const auto r = RunMatcher(method, frame, templ.data(), 12, 10, 4, 5, 12, 10);
        ASSERT_EQ(r.mapWidth, 1);
        ASSERT_EQ(r.mapHeight, 1);
        if (method == 3) {
            // Running sums need room to move: refused with 0.0 at (0, 0).
            EXPECT_EQ(r.value, 0.0);
            EXPECT_EQ(r.bestX, 0);
            EXPECT_EQ(r.bestY, 0);
        } else {
            EXPECT_NEAR(r.value, 1.0, 1e-12) << method;
            EXPECT_EQ(r.bestX, 4) << method;
            EXPECT_EQ(r.bestY, 5) << method;
        }
    }
}

TEST(MatchingMethods, OnePixelTemplateIsLegal) {
    Picture frame = Picture::Random(20, 20, 18, 0, 100);
    frame.at(9, 7) = 200;
    const unsigned char templ = 200;
    const auto diff = RunMatcher(4, frame, &templ, 1, 1, 5, 5, 8, 8);
    EXPECT_EQ(diff.bestX, 9);
    EXPECT_EQ(diff.bestY, 7);
    EXPECT_EQ(diff.value, 1.0);
    EXPECT_EQ(diff.mapWidth, 8);
    // A single pixel has no variance: correlations find nothing.
    EXPECT_EQ(RunMatcher(0, frame, &templ, 1, 1, 5, 5, 8, 8).value, -1.0);
}

TEST(MatchingMethods, BlobMovedByWholeAndFractionalPixels) {
    const double cx = 40.0;
    const double cy = 38.0;
    const Picture original = Blob(80, 80, cx, cy);
    const int r = 10;
    const auto templ = original.Cut(40 - r, 38 - r, 2 * r + 1, 2 * r + 1);
    const double shifts[][2] = {{0, 0}, {3, -2}, {-4, 5}, {1.3, 0.2}, {-2.7, 3.8}, {4.4, -4.7}, {0.3, -0.7}};
    for (const auto& s : shifts) {
        const Picture moved = Blob(80, 80, cx + s[0], cy + s[1]);
        const int expectX = 40 - r + static_cast<int>(std::lround(s[0]));
        const int expectY = 38 - r + static_cast<int>(std::lround(s[1]));
        for (int method = 0; method < kMethods; ++method) {
            const auto m = RunMatcher(method, moved, templ.data(), 2 * r + 1, 2 * r + 1, 40 - r - 6,
                                      38 - r - 6, 2 * r + 13, 2 * r + 13);
            EXPECT_EQ(m.bestX, expectX) << "method " << method << " shift " << s[0] << "," << s[1];
            EXPECT_EQ(m.bestY, expectY) << "method " << method << " shift " << s[0] << "," << s[1];
        }
    }
}

TEST(MatchingMethods, NewTemplateOnTheSameMatcherRebuildsTheMap) {
    const Picture frame = Picture::Random(60, 60, 19);
    for (int method = 0; method < kMethods; ++method) {
        MakeMatchingClass factory(method);
        Matching* m = factory.GetMatcher();
        m->SetImage(frame.pixels.data(), frame.width, frame.height);
        const auto a = frame.Cut(20, 22, 9, 9);
        const auto b = frame.Cut(26, 18, 7, 5);
        int x = 0;
        int y = 0;
        m->SetTemplate(a.data(), 9, 9);
        m->Match(15, 15, 21, 21, &x, &y);
        EXPECT_EQ(x, 20);
        EXPECT_EQ(y, 22);
        m->SetTemplate(b.data(), 7, 5);
        MatchingRect rect{15, 15, 21, 21};
        m->MatchRect(rect, &x, &y);
        EXPECT_EQ(x, 26) << method;
        EXPECT_EQ(y, 18) << method;
        int mw = 0;
        int mh = 0;
        m->GetScoreMap(&mw, &mh);
        EXPECT_EQ(mw, 15);
        EXPECT_EQ(mh, 17);
        int tw = 0;
        int th = 0;
        m->GetTemplateSize(&tw, &th);
        EXPECT_EQ(tw, 7);
        int iw = 0;
        int ih = 0;
        m->GetImageSize(&iw, &ih);
        EXPECT_EQ(iw, 60);
    }
}

TEST(MatchingImageCopy, KeepsItsOwnPixels) {
    std::vector<unsigned char> px = {1, 2, 3, 4, 5, 6};
    MatchingImage image(px.data(), 3, 2, 17, -4, 1, 8);
    px[0] = 99;
    int w = 0;
    int h = 0;
    const unsigned char* bits = image.GetSize(&w, &h);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(bits[0], 1);
    EXPECT_EQ(image.GetFirst(), 17);
    EXPECT_EQ(image.GetSecond(), -4);
    const std::vector<unsigned char> other = {7, 8};
    image.Set(other.data(), 1, 2, 1);
    EXPECT_EQ(image.GetBits()[1], 8);
    image.Set(nullptr, 0, 5, 1); // nothing to copy: the old pixels stay, the size is taken
    image.GetSize(&w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(image.GetBits()[0], 7);
    MatchingImage empty(nullptr, 0, 0, 0, 0, 1, 8);
    EXPECT_EQ(empty.GetBits(), nullptr);
}

TEST(ColourToGray, WeightsOnBlueGreenRedPixels) {
    // Pure blue, green, red, white and a mix; widths that are not multiples of 4 work too.
    const std::vector<unsigned char> bgr = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 10, 200, 100};
    std::vector<unsigned char> gray(5, 0);
    CalcTest calc;
    calc.RgbToGray(bgr.data(), 5, 1, gray.data());
    EXPECT_EQ(gray[0], std::lround(0.072169 * 255));
    EXPECT_EQ(gray[1], std::lround(0.715160 * 255));
    EXPECT_EQ(gray[2], std::lround(0.212671 * 255));
    EXPECT_EQ(gray[3], 255);
    EXPECT_EQ(gray[4], std::lround(0.212671 * 100 + 0.715160 * 200 + 0.072169 * 10));
}

} // namespace
