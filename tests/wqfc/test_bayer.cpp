// Unpack and demosaic: the row-pair interleave, reflected padding, kernels and phases.
#include <gtest/gtest.h>

#include <vector>

#include "fc/WqFc/BayerFc.h"
#include "fc/WqFc/LowPass.h"
#include "support.h"

using namespace wqfc_test;

namespace {

// Padded raw plane with guard samples on both sides, as the pipeline keeps it.
struct Plane {
    Plane(int w, int h) : data(static_cast<std::size_t>((h + 2) * w + 64), 0), w(w) {}
    std::int16_t* Origin() { return data.data() + 32; }
    std::int16_t At(int paddedRow, int x) { return Origin()[paddedRow * w + x]; }
    std::vector<std::int16_t> data;
    int w;
};

} // namespace

TEST(WqFcBayer, UnpackSplitsRowPairsInGroupsOfFour) {
    for (WqFcPath path : {WqFcPath::Plain, WqFcPath::Sse2, WqFcPath::Avx2}) {
        ForcedPath forced(path);
        BayerFc bayer;
        bayer.SetSize(10, 3); // a partial group of two and an unpaired last row
        std::vector<std::uint8_t> raw(30);
        for (int i = 0; i < 30; ++i)
            raw[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
        Plane plane(10, 3);
        bayer.Unpack(raw.data(), plane.Origin());
        const int upper[10] = {0, 1, 2, 3, 8, 9, 10, 11, 16, 17};
        const int lower[10] = {4, 5, 6, 7, 12, 13, 14, 15, 18, 19};
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ(plane.At(1, x), upper[x] * 8) << PathName(path) << " x " << x;
            EXPECT_EQ(plane.At(2, x), lower[x] * 8) << PathName(path) << " x " << x;
            EXPECT_EQ(plane.At(3, x), (20 + x) * 8);
            EXPECT_EQ(plane.At(0, x), plane.At(2, x)) << "row above repeats picture row 1";
            EXPECT_EQ(plane.At(4, x), plane.At(2, x)) << "row below repeats picture row h - 2";
        }
    }
}

TEST(WqFcBayer, DefaultKernelsByPhase) {
    // A 4 x 4 picture of distinct samples; pixel (1, 1) and its neighbours.
    BayerFc bayer;
    bayer.SetSize(4, 4);
    bayer.SetFilterPos(0, 0);
    std::vector<std::uint8_t> picture(16);
    for (int i = 0; i < 16; ++i)
        picture[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(10 + 3 * i + (i % 3) * 7);
    auto s = [&](int y, int x) { return picture[static_cast<std::size_t>(y * 4 + x)] * 8; };
    const std::vector<std::uint8_t> raw = Interleave(picture, 4, 4);
    Plane plane(4, 4);
    bayer.Unpack(raw.data(), plane.Origin());
    std::vector<std::int16_t> out(48);
    bayer.Demosaic(plane.Origin(), out.data(), out.data() + 16, out.data() + 32);
    auto R = [&](int y, int x) { return out[static_cast<std::size_t>(y * 4 + x)]; };
    auto G = [&](int y, int x) { return out[static_cast<std::size_t>(16 + y * 4 + x)]; };
    auto B = [&](int y, int x) { return out[static_cast<std::size_t>(32 + y * 4 + x)]; };
    // (1, 1) is a blue site: R from the corners, G from the cross, B itself.
    EXPECT_EQ(R(1, 1), (2 * (s(0, 0) + s(0, 2) + s(2, 0) + s(2, 2))) >> 3);
    EXPECT_EQ(G(1, 1), (2 * (s(0, 1) + s(2, 1) + s(1, 0) + s(1, 2))) >> 3);
    EXPECT_EQ(B(1, 1), s(1, 1));
    // (1, 2) is a green site of a blue row: R above and below, B left and right.
    EXPECT_EQ(R(1, 2), (4 * (s(0, 2) + s(2, 2))) >> 3);
    EXPECT_EQ(G(1, 2), s(1, 2));
    EXPECT_EQ(B(1, 2), (4 * (s(1, 1) + s(1, 3))) >> 3);
    // (0, 0) is red; its upper-left corner lies before the plane and reads 0, its upper-right
    // neighbour is the reflected row, its left neighbour the end of the row above.
    EXPECT_EQ(R(0, 0), s(0, 0));
    EXPECT_EQ(B(0, 0), (2 * (0 + s(1, 1) + s(0, 3) + s(1, 1))) >> 3);
    const int belowLeft = s(0, 3); // column -1 of row 1 is the last sample of row 0
    EXPECT_EQ(B(1, 0) /* green site */, (4 * (s(1, 1) + belowLeft)) >> 3);

    // Green-first mosaic of older cameras: (0, 0) becomes a green site.
    bayer.SetFilterPos(1, 0);
    bayer.Demosaic(plane.Origin(), out.data(), out.data() + 16, out.data() + 32);
    EXPECT_EQ(G(1, 1), s(1, 1));
    EXPECT_EQ(R(0, 1), s(0, 1));
}

TEST(WqFcBayer, CornerReadsOutsideThePlaneAreZero) {
    // A uniform picture: only the first pixel's upper-left and the last pixel's lower-right
    // neighbours fall outside the padded plane.
    BayerFc bayer;
    bayer.SetSize(6, 4);
    std::vector<std::uint8_t> raw(24, 64);
    Plane plane(6, 4);
    bayer.Unpack(raw.data(), plane.Origin());
    std::vector<std::int16_t> out(72);
    bayer.Demosaic(plane.Origin(), out.data(), out.data() + 24, out.data() + 48);
    // (0, 0) is red: blue from four corners, one of them outside.
    EXPECT_EQ(out[48], (2 * 512 * 3) >> 3);
    // (3, 5) is blue: red from four corners, one of them outside.
    EXPECT_EQ(out[23], (2 * 512 * 3) >> 3);
    for (int i = 1; i < 23; ++i)
        EXPECT_EQ(out[static_cast<std::size_t>(48 + i)], 512) << i;
}

TEST(WqFcBayer, KernelsAreSettableAndChecked) {
    BayerFc bayer;
    std::int16_t weight = -1;
    ASSERT_TRUE(bayer.GetFilter(0, 0, 4, weight));
    EXPECT_EQ(weight, 8);
    ASSERT_TRUE(bayer.GetFilter(2, 1, 1, weight));
    EXPECT_EQ(weight, 4);
    EXPECT_FALSE(bayer.GetFilter(3, 0, 0, weight));
    EXPECT_FALSE(bayer.SetFilter(0, 4, 0, 1));
    EXPECT_FALSE(bayer.SetFilter(0, 0, 9, 1));
    EXPECT_FALSE(bayer.SetFilter(-1, 0, 0, 1));
    // One past the last position is refused for every colour and phase, and changes nothing.
    const BayerFc::Kernels before = bayer.AllFilters();
    for (int colour = 0; colour < 3; ++colour) {
        for (int phase = 0; phase < 4; ++phase) {
            weight = -1;
            EXPECT_FALSE(bayer.GetFilter(colour, phase, 9, weight)) << colour << phase;
            EXPECT_EQ(weight, -1);
            EXPECT_FALSE(bayer.SetFilter(colour, phase, 9, 1)) << colour << phase;
        }
    }
    EXPECT_EQ(bayer.AllFilters(), before);
    EXPECT_TRUE(bayer.NonNegative());
    ASSERT_TRUE(bayer.SetFilter(1, 1, 4, -3));
    ASSERT_TRUE(bayer.GetFilter(1, 1, 4, weight));
    EXPECT_EQ(weight, -3);
    EXPECT_FALSE(bayer.NonNegative());
    bayer.ResetFilters();
    EXPECT_TRUE(bayer.NonNegative());
}

TEST(WqFcBayer, LowPassIsAMeanOfNineWithRepeatedEdges) {
    // 3 x 3 plane 1..9 (times 100).
    std::vector<std::int16_t> in = {100, 200, 300, 400, 500, 600, 700, 800, 900}, out(9);
    for (WqFcPath path : {WqFcPath::Plain, WqFcPath::Avx2}) {
        ForcedPath forced(path);
        LowPass::FilterPlane(in.data(), 3, 3, true, out.data());
        EXPECT_EQ(out[4], 500);
        // Corner (0, 0): rows 0, 0, 1 and columns 0, 0, 1.
        EXPECT_EQ(out[0], (4 * 100 + 2 * 200 + 2 * 400 + 500) / 9);
        EXPECT_EQ(out[8], (4 * 900 + 2 * 800 + 2 * 600 + 500) / 9);
    }
}
