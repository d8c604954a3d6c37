// The whole pipeline: the worked example, the bitmap form, settings from the recording, white
// balance and the sample point, the low-pass switch, copies.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <thread>
#include <utility>

#include "fc/WqFc/BremIc.h"
#include "platform/win32/bitmap.h"
#include "support.h"
#include "vomLib/Utility/vomException.h"

using namespace wqfc_test;

namespace {

// A mosaic whose red, green and blue sites hold a, b and c (red at even row and column).
std::vector<std::uint8_t> Mosaic(int w, int h, int a, int b, int c) {
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture[static_cast<std::size_t>(y * w + x)] =
                static_cast<std::uint8_t>((y & 1) == 0 ? ((x & 1) == 0 ? a : b) : ((x & 1) == 0 ? b : c));
    return Interleave(picture, w, h);
}

BremIc WorkedExample(DWORD cameraVer) {
    BremIc p(Recording(16, 8, cameraVer), NoParameterFile());
    p.SetGain(0);
    p.SetWhiteBalance(4);
    p.SetGamma(0);
    p.SetChroma(100);
    p.SetBrightness(0);
    p.SetContrast(100);
    return p;
}

} // namespace

TEST(WqFcPipeline, UniformSixtyFourIsGrey152) {
    for (WqFcPath path : {WqFcPath::Plain, WqFcPath::Sse2, WqFcPath::Avx2}) {
        ForcedPath forced(path);
        BremIc p = WorkedExample(100); // rows start with green: no corner reaches outside the plane
        std::vector<std::uint8_t> raw(16 * 8, 64), out(16 * 8 * 3);
        p.Unpack(raw.data());
        EXPECT_EQ(p.PlaneR()[20], 512);
        EXPECT_EQ(p.Curve(0)[512], 609);
        p.Convert(out.data());
        EXPECT_EQ(out, std::vector<std::uint8_t>(out.size(), 152)) << PathName(path);
    }
    // Red-first rows: the first and last picture pixels take a corner from outside the plane, all else
    // is 152. Rows are bottom-up, so the last pixel ends the first output row and the first pixel
    // starts the last one.
    BremIc p = WorkedExample(200);
    std::vector<std::uint8_t> raw(16 * 8, 64), out(16 * 8 * 3);
    p.Convert(raw.data(), out.data());
    const std::size_t lastPixel = 15 * 3, firstPixel = 7 * 16 * 3;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if ((i >= lastPixel && i < lastPixel + 3) || (i >= firstPixel && i < firstPixel + 3))
            EXPECT_NE(out[i], 152) << i;
        else
            ASSERT_EQ(out[i], 152) << i;
    }
}

TEST(WqFcPipeline, PackedBitmapHeaderAndBottomUpRows) {
    BremIc p = WorkedExample(100);
    EXPECT_EQ(p.BitmapSize(), 16u * 8 * 3 + 40);
    // Top half dark (16), bottom half bright (100).
    std::vector<std::uint8_t> picture(16 * 8, 16);
    std::fill(picture.begin() + 64, picture.end(), 100);
    const std::vector<std::uint8_t> raw = Interleave(picture, 16, 8);
    std::vector<std::uint8_t> block(p.BitmapSize(), 0xEE);
    p.Unpack(raw.data());
    p.ConvertBitmap(block.data());
    BITMAPINFOHEADER header;
    std::memcpy(&header, block.data(), sizeof header);
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, 16);
    EXPECT_EQ(header.biHeight, 8);
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 24);
    EXPECT_EQ(header.biCompression, BI_RGB);
    EXPECT_EQ(header.biSizeImage, 0u);
    EXPECT_EQ(header.biXPelsPerMeter, 0);
    EXPECT_EQ(header.biClrUsed, 0u);
    // The first row after the header is the last picture row: bright.
    EXPECT_GT(block[40], 150);
    EXPECT_LT(block[block.size() - 1], 60);
    // A raw 128 or more saturates the curve index at 1023: full white.
    std::vector<std::uint8_t> bright(16 * 8, 200), out(16 * 8 * 3);
    p.Convert(bright.data(), out.data());
    EXPECT_EQ(out[3 * 20], 255);
}

TEST(WqFcPipeline, RecordedSettingsAreMapped) {
    BremIcRecording rec = Recording(16, 8);
    rec.recGamma = 3;
    rec.recEnhance = 4;
    rec.recChroma = 3;
    rec.recWhiteBalance = 2;
    BremIc a(rec, NoParameterFile());
    EXPECT_EQ(a.Gamma(), 4);
    EXPECT_EQ(a.Enhance(), 6);
    EXPECT_EQ(a.EnhanceLevel(), 3);
    EXPECT_EQ(a.Chroma(), 50);
    EXPECT_EQ(a.WhiteBalance(), 2);
    EXPECT_EQ(a.WBGainR(), 165);
    EXPECT_EQ(a.Bayer().FilterPosX(), 0);
    rec.recGamma = 2;
    rec.recEnhance = 9;
    rec.recChroma = 100; // headerless dumps: chroma 0
    rec.recWhiteBalance = 4;
    rec.cameraVer = 119;
    BremIc b(rec, NoParameterFile());
    EXPECT_EQ(b.Gamma(), 2);
    EXPECT_EQ(b.EnhanceLevel(), 0);
    EXPECT_EQ(b.Chroma(), 0);
    EXPECT_EQ(b.WhiteBalance(), 0);
    EXPECT_EQ((std::array<int, 3>{b.WBGainR(), b.WBGainG(), b.WBGainB()}),
              (std::array<int, 3>{165, 128, 140}));
    EXPECT_EQ(b.Bayer().FilterPosX(), 1);
    rec.recWhiteBalance = 9;
    BremIc c(rec, NoParameterFile());
    EXPECT_EQ((std::array<int, 3>{c.WBGainR(), c.WBGainG(), c.WBGainB()}),
              (std::array<int, 3>{128, 128, 128}));
    // Enhance 3 is kept but selects level 0.
    c.SetEnhance(3);
    EXPECT_EQ(c.Enhance(), 3);
    EXPECT_EQ(c.EnhanceLevel(), 0);
    // Rows start with green below camera version 120 only.
    const std::pair<DWORD, int> versions[] = {{0, 1}, {119, 1}, {120, 0}, {121, 0}};
    for (auto [version, posX] : versions) {
        rec.cameraVer = version;
        EXPECT_EQ(BremIc(rec, NoParameterFile()).Bayer().FilterPosX(), posX) << version;
    }
}

TEST(WqFcPipeline, WhiteBalanceModes) {
    BremIc p(Recording(16, 8), NoParameterFile());
    const int expected[5][3] = {
        {165, 128, 140}, {136, 128, 173}, {165, 128, 140}, {193, 128, 122}, {128, 128, 128}};
    for (int mode = 0; mode < 5; ++mode) {
        p.SetWhiteBalance(mode);
        EXPECT_EQ(p.WBGainR(), expected[mode][0]) << mode;
        EXPECT_EQ(p.WBGainG(), expected[mode][1]) << mode;
        EXPECT_EQ(p.WBGainB(), expected[mode][2]) << mode;
    }
    p.SetWBGainR(9000);
    EXPECT_EQ(p.WBGainR(), 4095);
    p.SetWBGainB(-3);
    EXPECT_EQ(p.WBGainB(), 0);
}

TEST(WqFcPipeline, SamplePointGains) {
    BremIc p(Recording(16, 8), NoParameterFile());
    p.SetWhiteBalance(0);
    // Red sites 32, green 64, blue 128: every inner pixel demosaics to 256, 512, 1024.
    const std::vector<std::uint8_t> raw = Mosaic(16, 8, 32, 64, 128);
    p.Unpack(raw.data());
    p.SetAwbSamplePos(5, 4);
    // R = sumG' * 128 / sumR = 4 * 512 * 128 / (4 * 256), B likewise with 1024.
    EXPECT_EQ(p.SampleWindow().gainR, 256);
    EXPECT_EQ(p.SampleWindow().gainB, 64);
    EXPECT_EQ(p.WBGainR(), 256);
    EXPECT_EQ(p.WBGainB(), 64);
    // In another mode the window measures but the pipeline's gains stay.
    p.SetWhiteBalance(1);
    p.SetAwbSamplePos(6, 3);
    EXPECT_EQ(p.WBGainR(), 136);
    // Back to manual: the window's gains, since its point lies inside.
    p.SetWhiteBalance(0);
    EXPECT_EQ(p.WBGainR(), 256);
    // A point outside leaves the window's gains, and manual mode then falls back to 165, 128, 140.
    p.SetAwbSamplePos(16, 2);
    EXPECT_EQ(p.SampleWindow().gainR, 256);
    p.SetWhiteBalance(0);
    EXPECT_EQ(p.WBGainR(), 165);
    EXPECT_EQ(p.WBGainB(), 140);
    // At the picture's corner the missing row and column are the point's own.
    p.SetAwbSamplePos(0, 0);
    EXPECT_EQ(p.SampleWindow().x, 0);
    // A near-black red gives a gain far past any real one: clamped to 4095.
    const std::vector<std::uint8_t> dim = Mosaic(16, 8, 1, 255, 255);
    p.Unpack(dim.data());
    p.SetAwbSamplePos(5, 4);
    EXPECT_EQ(p.SampleWindow().gainR, 4095);
    EXPECT_EQ(p.WBGainR(), 4095);
}

TEST(WqFcPipeline, LowPassSwitchDemosaicsAgain) {
    std::mt19937 rng(7);
    const std::vector<std::uint8_t> raw = RandomFrame(20, 10, rng);
    BremIc p(Recording(20, 10), NoParameterFile());
    std::vector<std::uint8_t> plain(600), filtered(600), again(600);
    p.Unpack(raw.data());
    p.Convert(plain.data());
    p.SetEnableLPF(true); // no new frame: the switch itself must fill the filtered planes
    p.Convert(filtered.data());
    EXPECT_EQ(filtered, ref::Convert(raw.data(), SettingsOf(p)));
    EXPECT_NE(filtered, plain);
    p.SetEnableLPF(false);
    p.Convert(again.data());
    EXPECT_EQ(again, plain);
}

TEST(WqFcPipeline, UnusableSizesAndMissingInputsAreClearErrors) {
    EXPECT_THROW(BremIc(Recording(0, 480), NoParameterFile()), vomException);
    EXPECT_THROW(BremIc(Recording(512, -1), NoParameterFile()), vomException);
    EXPECT_THROW(BremIc(Recording(65535, 65535), NoParameterFile()), vomException);
    BremIc p(Recording(8, 4), NoParameterFile());
    std::vector<std::uint8_t> out(96);
    EXPECT_THROW(p.Unpack(), vomException); // no reader
    EXPECT_THROW(p.Unpack(nullptr), vomException);
    // Converting before any frame gives black from the zeroed planes, never stale memory.
    p.Convert(out.data());
    EXPECT_EQ(out, std::vector<std::uint8_t>(96, 0));
}

TEST(WqFcPipeline, AnUnknownGainKeepsTheDbValueInForce) {
    TempDir dir;
    const std::string path = dir.Write("BREMFC.zop", "[Offset]\nR=6\nG=-4\nB=9\n");
    const std::vector<std::uint8_t> raw = Mosaic(8, 4, 20, 30, 25);
    auto convertAfter = [&](std::initializer_list<int> gains) {
        BremIc p(Recording(8, 4), path);
        p.SetWhiteBalance(4);
        for (int gain : gains)
            p.SetGain(gain);
        EXPECT_EQ(p.Gain(), *(gains.end() - 1)); // the setting itself is always stored
        std::vector<std::uint8_t> out(8 * 4 * 3);
        p.Convert(raw.data(), out.data());
        return out;
    };
    const std::vector<std::uint8_t> at0 = convertAfter({0}), at6 = convertAfter({6});
    const std::vector<std::uint8_t> at12 = convertAfter({12});
    ASSERT_NE(at12, at0);
    ASSERT_NE(at6, at0);
    EXPECT_EQ(convertAfter({12, 5}), at12);
    EXPECT_EQ(convertAfter({6, -3, 7}), at6);
    // Right after opening the start value (the 0 dB value) is the one in force.
    EXPECT_EQ(convertAfter({5}), at0);
    // A known setting after an unknown one takes effect again.
    EXPECT_EQ(convertAfter({12, 5, 6}), at6);
}

TEST(WqFcPipeline, CopyCarriesEverythingAndConvertsAlone) {
    TempDir dir;
    const std::string path = dir.Write("BREMFC.zop", "[Setup]\nR=3\nY=4\n[Offset]\nB=-9\n[CyClip]\nR=2\n");
    std::mt19937 rng(11);
    BremIc original(Recording(40, 12), path);
    original.SetGain(6);
    original.SetGamma(2);
    original.SetEnhance(4);
    original.SetChroma(150);
    original.SetBrightness(-7);
    original.SetContrast(120);
    original.SetEnableLPF(true);
    original.SetBayerFilter(1, 0, 4, 2);
    original.SetWhiteBalance(0);
    const std::vector<std::uint8_t> first = Mosaic(40, 12, 40, 70, 90);
    original.Unpack(first.data());
    original.SetAwbSamplePos(9, 5);

    BremIc copy = original;
    EXPECT_EQ(copy.WBGainR(), original.WBGainR());
    EXPECT_EQ(copy.SampleWindow().gainB, original.SampleWindow().gainB);
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ(copy.Curve(2)[i], original.Curve(2)[i]);
    std::int16_t weight = 0;
    copy.Bayer().GetFilter(1, 0, 4, weight);
    EXPECT_EQ(weight, 2);
    EXPECT_THROW(copy.Unpack(), vomException); // the reader stays with the original

    // Both convert frames side by side on two threads with identical results.
    std::vector<std::vector<std::uint8_t>> frames;
    for (int i = 0; i < 6; ++i)
        frames.push_back(RandomFrame(40, 12, rng));
    std::vector<std::vector<std::uint8_t>> a(6, std::vector<std::uint8_t>(40 * 12 * 3));
    std::vector<std::vector<std::uint8_t>> b = a;
    std::thread worker([&] {
        for (int i = 0; i < 6; ++i)
            copy.Convert(frames[static_cast<std::size_t>(i)].data(), b[static_cast<std::size_t>(i)].data());
    });
    for (int i = 0; i < 6; ++i)
        original.Convert(frames[static_cast<std::size_t>(i)].data(), a[static_cast<std::size_t>(i)].data());
    worker.join();
    EXPECT_EQ(a, b);
    EXPECT_EQ(a[5], ref::Convert(frames[5].data(), SettingsOf(original)));

    // Assignment carries the settings too.
    BremIc other(Recording(8, 4), NoParameterFile());
    other = original;
    std::vector<std::uint8_t> c(40 * 12 * 3);
    other.Convert(frames[2].data(), c.data());
    EXPECT_EQ(c, a[2]);
}

TEST(WqFcPipeline, AutomaticWhiteBalanceStatistics) {
    // Reddish near-grey samples lean both colour axes upward; after the first two of a run each
    // further sample counts once.
    Awb awb;
    awb.Begin();
    for (int i = 0; i < 10; ++i)
        awb.Sample(130, 120, 120); // Y 122, R-Y 8, B-Y -2: s = 6, t = 10
    awb.Sample(250, 250, 250);     // too bright: ignored
    EXPECT_EQ(awb.TendencyS(), 8);
    EXPECT_EQ(awb.TendencyT(), 8);
    // 41 x 21: n = (20 * 10 / 2) * 0.0001 = 0.01, ratio 800: steps 0.5 (t) and 1 (s), against the lean.
    awb.Finish(41, 21);
    EXPECT_EQ(awb.gainR, 128 - 6); // 6 * -0.5 + 3 * -1
    EXPECT_EQ(awb.gainB, 128 + 2); // -(8 * -0.5 - 2 * -1)
    EXPECT_EQ(awb.gainG, 128);
    EXPECT_EQ(Awb::StepT(16001), 50);
    EXPECT_EQ(Awb::StepS(1300), 2);
    // A weak lean moves nothing.
    awb.Begin();
    for (int i = 0; i < 4; ++i)
        awb.Sample(130, 120, 120);
    awb.Finish(512, 480);
    EXPECT_EQ(awb.gainR, 122);
}
