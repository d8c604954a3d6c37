// Files made by ffmpeg (uncompressed video of several depths beside an audio stream) read through the
// AVIFile layer and the frame getter, compared with ffmpeg's own decode.
#include <gtest/gtest.h>

#include "platform/vfw/vfw.h"
#include "vfw/avi_test_util.h"

using namespace avitest;

namespace {

constexpr int kWidth = 62, kHeight = 30; // rows of every depth need padding

struct FfmpegFile {
    std::string pixelFormat;
    int bits;
};

class FfmpegFiles : public ::testing::TestWithParam<FfmpegFile> {
protected:
    void SetUp() override {
        if (!HaveFfmpeg())
            GTEST_SKIP() << "ffmpeg missing";
    }
    TempDir dir;
};

} // namespace

TEST_P(FfmpegFiles, FramesMatchFfmpegsDecode) {
    const auto& param = GetParam();
    const std::string path = dir.File(param.pixelFormat + ".avi");
    int status = 0;
    avitest::Run(
        "ffmpeg -v error -y -f lavfi -i testsrc=size=" + std::to_string(kWidth) + "x" +
            std::to_string(kHeight) +
            ":rate=30 -f lavfi -i sine=frequency=440:sample_rate=8000 -t 0.4 -c:v rawvideo -pix_fmt " +
            param.pixelFormat + " -c:a pcm_s16le '" + path + "' 2>&1",
        &status);
    ASSERT_EQ(status, 0);
    const auto reference = FfmpegDecode(path, dir.File("ref.raw"));
    const size_t frameBytes = static_cast<size_t>(kWidth) * 3 * kHeight;
    ASSERT_EQ(reference.size() % frameBytes, 0u);
    const LONG frames = static_cast<LONG>(reference.size() / frameBytes);
    ASSERT_EQ(frames, 12);

    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ | OF_SHARE_DENY_WRITE, &CLSID_AVIFile), AVIERR_OK);
    AVIFILEINFOA info{};
    ASSERT_EQ(AVIFileInfoA(file, &info, sizeof info), AVIERR_OK);
    EXPECT_EQ(info.dwStreams, 2u);
    EXPECT_EQ(info.dwWidth, static_cast<DWORD>(kWidth));
    EXPECT_EQ(info.dwHeight, static_cast<DWORD>(kHeight));
    EXPECT_EQ(info.dwRate / info.dwScale, 30u);

    PAVISTREAM video = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &video, streamtypeVIDEO, 0), AVIERR_OK);
    EXPECT_EQ(AVIStreamLength(video), frames);
    BITMAPINFOHEADER wanted{40, kWidth, kHeight, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    PGETFRAME getter = AVIStreamGetFrameOpen(video, &wanted);
    ASSERT_NE(getter, nullptr);
    for (LONG i = 0; i < frames; ++i) {
        auto* h = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(getter, i));
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(h->biHeight, kHeight);
        const auto ours = Unpad(reinterpret_cast<uint8_t*>(h + 1), kWidth, kHeight, DibRowBytes(kWidth, 24));
        EXPECT_EQ(ours, FlipRows(reference.data() + frameBytes * i, kWidth, kHeight)) << "frame " << i;
    }
    AVIStreamGetFrameClose(getter);

    // Without a wanted format the stored sample comes back behind the stored format.
    getter = AVIStreamGetFrameOpen(video, nullptr);
    ASSERT_NE(getter, nullptr);
    auto* stored = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(getter, 0));
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->biBitCount, param.bits);
    EXPECT_EQ(stored->biHeight, -kHeight) << "ffmpeg stores rows top-down";
    EXPECT_EQ(stored->biSizeImage, DibRowBytes(kWidth, param.bits) * kHeight);
    AVIStreamGetFrameClose(getter);
    AVIStreamRelease(video);

    // The audio stream beside it: fixed-size samples read across chunks.
    PAVISTREAM audio = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &audio, streamtypeAUDIO, 0), AVIERR_OK);
    AVISTREAMINFOA a{};
    ASSERT_EQ(AVIStreamInfoA(audio, &a, sizeof a), AVIERR_OK);
    EXPECT_EQ(a.dwSampleSize, 2u);
    EXPECT_EQ(AVIStreamLength(audio), 3200);
    std::vector<uint8_t> pcm(4000);
    LONG bytes = 0, samples = 0;
    ASSERT_EQ(AVIStreamRead(audio, 1000, 1500, pcm.data(), static_cast<LONG>(pcm.size()), &bytes, &samples),
              AVIERR_OK);
    EXPECT_EQ(samples, 1500);
    EXPECT_EQ(bytes, 3000);
    AVIStreamRelease(audio);
    EXPECT_EQ(AVIFileRelease(file), 0u);
}

INSTANTIATE_TEST_SUITE_P(Depths, FfmpegFiles,
                         ::testing::Values(FfmpegFile{"bgr24", 24}, FfmpegFile{"pal8", 8},
                                           FfmpegFile{"rgb555le", 16}),
                         [](const auto& info) { return info.param.pixelFormat; });
