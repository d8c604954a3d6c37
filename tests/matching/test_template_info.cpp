// Rotated template sets, and finding turned objects with them.
#include "Matching/TemplateInfo.h"
#include "matching/matcher_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

MatchingParam Rotation(int rotate, int step) {
    MatchingParam mp;
    mp.rotate = rotate;
    mp.rotationStep = step;
    return mp;
}

TEST(TemplateSets, RotationSteps) {
    const int expected[] = {90, 60, 45, 30, 20, 15, 10, 5};
    for (int code = 0; code < 8; ++code) {
        EXPECT_EQ(CTemplateInfo::GetRotationStep(Rotation(1, code)), expected[code]);
    }
    EXPECT_EQ(CTemplateInfo::GetRotationStep(Rotation(1, 8)), 360);
    EXPECT_EQ(CTemplateInfo::GetRotationStep(Rotation(1, -1)), 360);
    EXPECT_EQ(CTemplateInfo::GetRotationStep(Rotation(0, 2)), 360);
    EXPECT_EQ(CTemplateInfo::GetRotationStep(Rotation(2, 2)), 360);
    EXPECT_EQ(CTemplateInfo::BaseSize(10), 29);
    EXPECT_EQ(CTemplateInfo::BaseSize(0), 1);
    EXPECT_EQ(CTemplateInfo::BaseSize(-3), 0);
}

TEST(TemplateSets, QuarterTurnsAreExactPermutations) {
    const Picture base = Picture::Random(29, 29, 30);
    CTemplateInfo set;
    set.GetBaseImage()->Set(base.pixels.data(), 29, 29, 1);
    set.BuildRotatedTemplates(Rotation(1, 0), 21, 21);
    ASSERT_EQ(set.GetTemplateCount(), 4);
    std::vector<const unsigned char*> t;
    for (int k = 0; k < 4; ++k) {
        int w = 0;
        int h = 0;
        t.push_back(set.GetTemplate(k)->GetSize(&w, &h));
        ASSERT_EQ(w, 21);
        ASSERT_EQ(h, 21);
    }
    for (int j = 0; j < 21; ++j) {
        for (int i = 0; i < 21; ++i) {
            // The unturned template is the centre of the base, cut at (4, 4).
            ASSERT_EQ(t[0][j * 21 + i], base.at(4 + i, 4 + j));
            // Counter-clockwise on screen: what lies right of the centre moves above it.
            ASSERT_EQ(t[1][j * 21 + i], t[0][i * 21 + (20 - j)]) << i << "," << j;
            ASSERT_EQ(t[2][j * 21 + i], t[0][(20 - j) * 21 + (20 - i)]) << i << "," << j;
            ASSERT_EQ(t[3][j * 21 + i], t[0][(20 - i) * 21 + j]) << i << "," << j;
        }
    }
}

TEST(TemplateSets, RotationOffGivesTheCentreOnly) {
    const Picture base = Picture::Random(29, 25, 31);
    CTemplateInfo set;
    set.GetBaseImage()->Set(base.pixels.data(), 29, 25, 1);
    set.BuildRotatedTemplates(Rotation(0, 3), 21, 17);
    ASSERT_EQ(set.GetTemplateCount(), 1);
    EXPECT_EQ(
        std::vector<unsigned char>(set.GetTemplate(0)->GetBits(), set.GetTemplate(0)->GetBits() + 21 * 17),
        base.Cut(4, 4, 21, 17));
    // A step code above 7 turns rotation off too; a rebuild replaces the set.
    set.BuildRotatedTemplates(Rotation(1, 9), 21, 17);
    EXPECT_EQ(set.GetTemplateCount(), 1);
    set.BuildRotatedTemplates(Rotation(1, 7), 21, 17);
    EXPECT_EQ(set.GetTemplateCount(), 72);
}

TEST(TemplateSets, ImpossibleSizesGiveNoTemplates) {
    CTemplateInfo set;
    set.BuildRotatedTemplates(Rotation(1, 0), 21, 21); // empty base
    EXPECT_EQ(set.GetTemplateCount(), 0);
    const Picture base = Picture::Random(9, 9, 32);
    set.GetBaseImage()->Set(base.pixels.data(), 9, 9, 1);
    set.BuildRotatedTemplates(Rotation(1, 0), 11, 5);
    EXPECT_EQ(set.GetTemplateCount(), 0);
    set.BuildRotatedTemplates(Rotation(1, 0), 0, 5);
    EXPECT_EQ(set.GetTemplateCount(), 0);
    set.BuildRotatedTemplates(Rotation(1, 0), 1, 1); // radius 0 is legal
    ASSERT_EQ(set.GetTemplateCount(), 4);
    EXPECT_EQ(set.GetTemplate(2)->GetBits()[0], base.at(4, 4));
    EXPECT_EQ(set.GetTemplate(4), nullptr);
}

TEST(TemplateSets, GrayImageIsZeroFilled) {
    CTemplateInfo set;
    IplImage* image = nullptr;
    set.CreateGrayImage(&image, 7, 3, IPL_DEPTH_8U, IPL_ORIGIN_TL);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->nChannels, 1);
    EXPECT_EQ(image->widthStep, 8);
    EXPECT_EQ(iplNorm(image, nullptr, IPL_L1), 0.0);
    iplDeallocate(image, IPL_IMAGE_ALL);
}

// A soft bar of half-length 9 and half-width 2.5 centred at (cx, cy), turned counter-clockwise on
// screen by angle degrees.
Picture Bar(int w, int h, double cx, double cy, double angle) {
    Picture p(w, h, 30);
    const double a = angle * 3.14159265358979323846 / 180.0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = x - cx;
            const double dy = y - cy;
            const double along = dx * std::cos(a) - dy * std::sin(a);
            const double across = dx * std::sin(a) + dy * std::cos(a);
            const double inAlong = std::clamp(9.5 - std::fabs(along), 0.0, 1.0);
            const double inAcross = std::clamp(3.0 - std::fabs(across), 0.0, 1.0);
            // A dot near one end breaks the half-turn symmetry.
            const double dot = std::exp(-((along - 6) * (along - 6) + (across + 5) * (across + 5)) / 2.0);
            p.at(x, y) = static_cast<unsigned char>(std::lround(30 + 180 * inAlong * inAcross + 40 * dot));
        }
    }
    return p;
}

TEST(TemplateSets, TurnedBarsAreFoundWithRotationOn) {
    const Picture upright = Bar(29, 29, 14, 14, 0);
    CTemplateInfo set;
    set.GetBaseImage()->Set(upright.pixels.data(), 29, 29, 1);
    set.BuildRotatedTemplates(Rotation(1, 2), 21, 21); // 45 degrees
    ASSERT_EQ(set.GetTemplateCount(), 8);
    for (int turn : {0, 1, 2, 3, 6}) {
        const Picture frame = Bar(70, 70, 37, 33, 45.0 * turn);
        for (int method = 0; method < 7; ++method) {
            double best = -10.0;
            int bestTemplate = -1;
            int bx = 0;
            int by = 0;
            for (int k = 0; k < set.GetTemplateCount(); ++k) {
                const auto r = RunMatcher(method, frame, set.GetTemplate(k)->GetBits(), 21, 21, 37 - 10 - 8,
                                          33 - 10 - 8, 37, 37);
                if (r.value > best) {
                    best = r.value;
                    bestTemplate = k;
                    bx = r.bestX;
                    by = r.bestY;
                }
            }
            EXPECT_EQ(bestTemplate, turn) << "method " << method << " turn " << turn;
            EXPECT_NEAR(bx, 37 - 10, 1) << "method " << method << " turn " << turn;
            EXPECT_NEAR(by, 33 - 10, 1) << "method " << method << " turn " << turn;
            if (turn % 2 == 0) {
                // Quarter turns are exact: the position is exact as well.
                EXPECT_EQ(bx, 27) << method;
                EXPECT_EQ(by, 23) << method;
            }
        }
    }
}

} // namespace
