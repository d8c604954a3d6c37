// The compressor manager and its built-in codecs: the table, Microsoft Video 1 in both depths, frame by
// frame use on several threads, and files that ffmpeg reads.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "platform/vfw/vfw.h"
#include "vfw/avi_test_util.h"
#include "vfw/movie_writer.h"

using namespace avitest;

namespace {

constexpr FOURCC kMsvc = mmioFOURCC('m', 's', 'v', 'c');

std::string Description(FOURCC handler) {
    HIC hic = ICOpen(ICTYPE_VIDEO, handler, ICMODE_QUERY);
    if (!hic)
        return "";
    ICINFO info{};
    const LRESULT bytes = ICGetInfo(hic, &info, sizeof info);
    ICClose(hic);
    std::string text;
    for (int i = 0; bytes == sizeof(ICINFO) && info.szDescription[i]; ++i)
        text += static_cast<char>(info.szDescription[i]);
    return text;
}

// Compresses one packed frame with a fresh instance and decodes it again; returns the decoded packed rows.
std::vector<uint8_t> RoundTrip(FOURCC handler, const std::vector<uint8_t>& pixels, int width, int height,
                               DWORD quality, std::vector<uint8_t>* compressed = nullptr) {
    HIC hic = ICOpen(ICTYPE_VIDEO, handler, ICMODE_COMPRESS);
    if (!hic)
        return {};
    BITMAPINFO in{};
    in.bmiHeader = {40, width, height, 1, 24, BI_RGB, static_cast<DWORD>(width * 3 * height), 0, 0, 0, 0};
    BITMAPINFO out{};
    EXPECT_EQ(ICCompressGetFormat(hic, &in, &out), static_cast<LRESULT>(sizeof(BITMAPINFOHEADER)));
    EXPECT_EQ(ICCompressBegin(hic, &in, &out), ICERR_OK);
    std::vector<uint8_t> data(static_cast<size_t>(ICCompressGetSize(hic, &in, &out)));
    out.bmiHeader.biSizeImage = static_cast<DWORD>(data.size());
    DWORD flags = 0;
    EXPECT_EQ(ICCompress(hic, 0, &out.bmiHeader, data.data(), &in.bmiHeader,
                         const_cast<uint8_t*>(pixels.data()), nullptr, &flags, 0, 0, quality, nullptr,
                         nullptr),
              ICERR_OK);
    EXPECT_EQ(flags, AVIIF_KEYFRAME);
    ICCompressEnd(hic);
    ICClose(hic);
    data.resize(out.bmiHeader.biSizeImage);
    if (compressed)
        *compressed = data;

    HIC dec = ICLocate(ICTYPE_VIDEO, 0, &out.bmiHeader, nullptr, ICMODE_DECOMPRESS);
    EXPECT_NE(dec, nullptr);
    if (!dec)
        return {};
    BITMAPINFO target{};
    EXPECT_EQ(ICDecompressGetFormat(dec, &out, &target), static_cast<LRESULT>(sizeof(BITMAPINFOHEADER)));
    EXPECT_EQ(ICDecompressBegin(dec, &out, &target), ICERR_OK);
    std::vector<uint8_t> decoded(target.bmiHeader.biSizeImage);
    EXPECT_EQ(static_cast<LONG>(
                  ICDecompress(dec, 0, &out.bmiHeader, data.data(), &target.bmiHeader, decoded.data())),
              ICERR_OK);
    ICClose(dec);
    return Unpad(decoded.data(), width, height, DibRowBytes(width, 24));
}

} // namespace

TEST(Codecs, TableNamesTheBuiltInCompressors) {
    EXPECT_EQ(Description(mmioFOURCC('D', 'I', 'B', ' ')), "Full Frames (Uncompressed)");
    EXPECT_EQ(Description(kMsvc), "Microsoft Video 1");
    EXPECT_EQ(Description(mmioFOURCC('M', 'S', 'V', 'C')), "Microsoft Video 1")
        << "codes compare without case";
    EXPECT_EQ(ICOpen(ICTYPE_VIDEO, mmioFOURCC('n', 'o', 'n', 'e'), ICMODE_QUERY), nullptr);
    EXPECT_EQ(ICOpen(ICTYPE_AUDIO, kMsvc, ICMODE_QUERY), nullptr);
    EXPECT_EQ(ICGetInfo(nullptr, nullptr, 0), 0);
    EXPECT_EQ(ICClose(nullptr), ICERR_BADHANDLE);
    ICINFO info{};
    DWORD count = 0;
    while (ICInfo(ICTYPE_VIDEO, count, &info))
        ++count;
    EXPECT_GE(count, 2u);
}

TEST(Codecs, InstalledCodecsJoinTheTableAndLeaveIt) {
    class Fake : public VideoCodec {};
    VideoCodecDescription d;
    d.fccHandler = mmioFOURCC('f', 'a', 'k', 'e');
    d.name = "FAKE";
    d.description = "A codec of the tests";
    ASSERT_TRUE(ICInstallCodec(d, [] { return std::make_unique<Fake>(); }));
    EXPECT_EQ(Description(mmioFOURCC('F', 'A', 'K', 'E')), "A codec of the tests");
    EXPECT_TRUE(ICRemoveCodec(d.fccHandler));
    EXPECT_FALSE(ICRemoveCodec(d.fccHandler));
    EXPECT_FALSE(ICRemoveCodec(kMsvc)) << "built-in codecs stay";
    EXPECT_EQ(Description(mmioFOURCC('f', 'a', 'k', 'e')), "");
}

TEST(Codecs, Video1SixteenBitQualityGovernsTheError) {
    const int width = 64, height = 48;
    const auto pixels = MakeFrame(width, height, 3);
    double previous = 0;
    for (DWORD quality : {0u, 5000u, 7500u, 10000u}) {
        std::vector<uint8_t> compressed;
        const auto decoded = RoundTrip(kMsvc, pixels, width, height, quality, &compressed);
        ASSERT_EQ(decoded.size(), pixels.size());
        const double psnr = Psnr(decoded.data(), pixels.data(), pixels.size());
        std::printf("msvc 16-bit quality %u: %zu bytes, PSNR %.2f dB\n", quality, compressed.size(), psnr);
        EXPECT_GE(psnr, previous - 0.01) << quality;
        previous = psnr;
    }
    EXPECT_GT(previous, 30.0);
}

TEST(Codecs, Video1EncodesFlatAndTwoColourBlocksExactly) {
    // Colours on the 5-bit grid survive unchanged: one colour, two colours, and the colours whose
    // one-colour code word would read as a skip (high byte 0x84..0x87).
    const int width = 16, height = 8;
    std::vector<uint8_t> pixels(width * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &pixels[(y * width + x) * 3];
            const int block = x / 4 + (y / 4) * 4;
            const bool other = block >= 4 && ((x + y) & 1);
            // Block 1 (red 1, green 2, blue 1) has the code word 0x8441: a one-colour block would read as a
            // skip.
            p[0] = other ? 0x00 : 0x08;
            p[1] = other ? 0x84 : 0x10;
            p[2] = other ? 0xFF : static_cast<uint8_t>((block & 3) * 8);
        }
    const auto decoded = RoundTrip(kMsvc, pixels, width, height, 10000);
    ASSERT_EQ(decoded.size(), pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i)
        ASSERT_NEAR(decoded[i], pixels[i], 0) << "byte " << i;
}

TEST(Codecs, Video1RefusesSizesThatAreNotWholeBlocks) {
    HIC hic = ICOpen(ICTYPE_VIDEO, kMsvc, ICMODE_COMPRESS);
    ASSERT_NE(hic, nullptr);
    BITMAPINFO in{};
    in.bmiHeader = {40, 30, 16, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    EXPECT_NE(ICCompressQuery(hic, &in, nullptr), ICERR_OK);
    in.bmiHeader.biWidth = 32;
    EXPECT_EQ(ICCompressQuery(hic, &in, nullptr), ICERR_OK);
    in.bmiHeader.biBitCount = 32;
    EXPECT_NE(ICCompressQuery(hic, &in, nullptr), ICERR_OK);
    ICClose(hic);
}

TEST(Codecs, IndependentInstancesOnThreadsMatchOneThread) {
    const int width = 64, height = 32, frames = 8;
    std::vector<std::vector<uint8_t>> single(frames), parallel(frames);
    for (int i = 0; i < frames; ++i)
        RoundTrip(kMsvc, MakeFrame(width, height, i), width, height, 7500, &single[i]);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = t; i < frames; i += 4)
                RoundTrip(kMsvc, MakeFrame(width, height, i), width, height, 7500, &parallel[i]);
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(single, parallel);
}

TEST(Codecs, Video1FileIsReadByFfmpegAndByTheFrameGetter) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg missing";
    TempDir dir;
    const int width = 64, height = 48, frames = 6;
    const std::string path = dir.File("msvc.avi");
    ASSERT_EQ(WriteMovie({path, width, height, frames, kMsvc, 7500, "Frame_Rate:30\n"}), AVIERR_OK);
    auto probe = Probe(path);
    EXPECT_EQ(probe["codec_name"], "msvideo1");
    EXPECT_EQ(probe["width"], "64");
    EXPECT_EQ(probe["height"], "48");
    EXPECT_EQ(probe["r_frame_rate"], "30/1");
    EXPECT_EQ(probe["nb_read_packets"], std::to_string(frames));
    for (const auto& f : PacketFlags(path))
        EXPECT_EQ(f[0], 'K');

    const auto ffmpeg = FfmpegDecode(path, dir.File("msvc.raw"));
    const size_t frameBytes = static_cast<size_t>(width) * 3 * height;
    ASSERT_EQ(ffmpeg.size(), frameBytes * frames);
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
    PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr);
    ASSERT_NE(getter, nullptr);
    for (int i = 0; i < frames; ++i) {
        const auto original = MakeFrame(width, height, i);
        const auto theirs = FlipRows(ffmpeg.data() + frameBytes * i, width, height);
        auto* h = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(getter, i));
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(h->biBitCount, 24);
        const std::vector<uint8_t> ours(reinterpret_cast<uint8_t*>(h + 1),
                                        reinterpret_cast<uint8_t*>(h + 1) + frameBytes);
        const double psnrFfmpeg = Psnr(theirs.data(), original.data(), frameBytes);
        const double agreement = Psnr(theirs.data(), ours.data(), frameBytes);
        if (i == 0)
            std::printf("msvc file: ffmpeg decode vs source %.2f dB, ffmpeg vs own decoder %.2f dB\n",
                        psnrFfmpeg, agreement);
        EXPECT_GT(psnrFfmpeg, 28.0);
        EXPECT_GT(agreement, 45.0);
    }
    AVIStreamGetFrameClose(getter);
    AVIStreamRelease(stream);
    AVIFileRelease(file);
}

TEST(Codecs, Video1EightBitFramesKeepTheirPalette) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg missing";
    TempDir dir;
    const int width = 32, height = 16, frames = 3;
    // A 6 x 6 x 6 colour cube and 8-bit pictures over it.
    std::vector<uint8_t> format(40 + 256 * 4, 0);
    BITMAPINFOHEADER h{40, width, height, 1, 8, BI_RGB, static_cast<DWORD>(width * height), 0, 0, 216, 0};
    std::memcpy(format.data(), &h, sizeof h);
    for (int i = 0; i < 216; ++i) {
        format[40 + 4 * i] = static_cast<uint8_t>((i % 6) * 51);
        format[40 + 4 * i + 1] = static_cast<uint8_t>(((i / 6) % 6) * 51);
        format[40 + 4 * i + 2] = static_cast<uint8_t>((i / 36) * 51);
    }
    format.resize(40 + 216 * 4);
    auto picture = [&](int frame) {
        std::vector<uint8_t> p(width * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                p[y * width + x] =
                    static_cast<uint8_t>(((x / 4) * 7 + (y / 4) * 31 + frame * 13 + ((x ^ y) & 1)) % 216);
        return p;
    };
    const std::string path = dir.File("msvc8.avi");
    {
        PAVIFILE file = nullptr;
        ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_CREATE | OF_WRITE, nullptr), AVIERR_OK);
        AVISTREAMINFOA info{};
        info.fccType = streamtypeVIDEO;
        info.dwScale = 1;
        info.dwRate = 30;
        PAVISTREAM source = nullptr, compressed = nullptr;
        ASSERT_EQ(AVIFileCreateStreamA(file, &source, &info), AVIERR_OK);
        AVICOMPRESSOPTIONS options{streamtypeVIDEO, kMsvc, 0,       10000, 0, AVICOMPRESSF_VALID,
                                   nullptr,         0,     nullptr, 0,     0};
        ASSERT_EQ(AVIMakeCompressedStream(&compressed, source, &options, nullptr), AVIERR_OK);
        ASSERT_EQ(AVIStreamSetFormat(compressed, 0, format.data(), static_cast<LONG>(format.size())),
                  AVIERR_OK);
        for (int i = 0; i < frames; ++i) {
            auto p = picture(i);
            ASSERT_EQ(AVIStreamWrite(compressed, i, 1, p.data(), static_cast<LONG>(p.size()), AVIIF_KEYFRAME,
                                     nullptr, nullptr),
                      AVIERR_OK);
        }
        AVIStreamRelease(compressed);
        AVIStreamRelease(source);
        AVIFileRelease(file);
    }
    auto probe = Probe(path);
    EXPECT_EQ(probe["codec_name"], "msvideo1");
    EXPECT_EQ(probe["pix_fmt"], "pal8");
    EXPECT_EQ(probe["nb_read_packets"], std::to_string(frames));
    const auto ffmpeg = FfmpegDecode(path, dir.File("msvc8.raw"));
    const size_t frameBytes = static_cast<size_t>(width) * 3 * height;
    ASSERT_EQ(ffmpeg.size(), frameBytes * frames);
    for (int i = 0; i < frames; ++i) {
        // The source picture in colours.
        const auto p = picture(i);
        std::vector<uint8_t> colours(frameBytes);
        for (int k = 0; k < width * height; ++k)
            std::memcpy(&colours[3 * k], &format[40 + 4 * p[k]], 3);
        const auto theirs = FlipRows(ffmpeg.data() + frameBytes * i, width, height);
        const double psnr = Psnr(theirs.data(), colours.data(), frameBytes);
        if (i == 0)
            std::printf("msvc 8-bit file, quality 10000: ffmpeg decode vs source %.2f dB\n", psnr);
        EXPECT_GT(psnr, 20.0);
    }
}

TEST(Codecs, UncompressedDecodersCoverEveryDepth) {
    // 1, 4, 8, 16 and 32-bit pictures of 3 x 2 pixels decoded by the 'DIB ' codec.
    struct Case {
        WORD bits;
        std::vector<uint8_t> rows; // bottom row first, each padded to 4 bytes
    };
    const RGBQUAD table[4] = {{0, 0, 0, 0}, {255, 255, 255, 0}, {10, 20, 30, 0}, {40, 50, 60, 0}};
    const Case cases[] = {
        {1, {0xA0, 0, 0, 0, 0x40, 0, 0, 0}},       // 1 0 1 / 0 1 0
        {4, {0x12, 0x30, 0, 0, 0x21, 0x00, 0, 0}}, // 1 2 3 / 2 1 0
        {8, {1, 2, 3, 0, 2, 1, 0, 0}},             // 1 2 3 / 2 1 0
        {16, {0xFF, 0x7F, 0x1F, 0x00, 0x00, 0x00, 0, 0, 0xE0, 0x03, 0x00, 0x7C, 0x00, 0x00, 0, 0}},
        {32, {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 9, 8, 7, 0, 6, 5, 4, 0, 3, 2, 1, 0}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> format(40 + 16, 0);
        BITMAPINFOHEADER h{40, 3, 2, 1, c.bits, BI_RGB, 0, 0, 0, c.bits <= 8 ? 4u : 0u, 0};
        std::memcpy(format.data(), &h, sizeof h);
        std::memcpy(format.data() + 40, table, sizeof table);
        HIC hic = ICLocate(ICTYPE_VIDEO, 0, &h, nullptr, ICMODE_DECOMPRESS);
        ASSERT_NE(hic, nullptr) << c.bits;
        BITMAPINFO out{};
        ASSERT_GE(ICDecompressGetFormat(hic, reinterpret_cast<BITMAPINFO*>(format.data()), &out), 0);
        std::vector<uint8_t> decoded(out.bmiHeader.biSizeImage);
        auto* in = reinterpret_cast<BITMAPINFOHEADER*>(format.data());
        in->biSizeImage = static_cast<DWORD>(c.rows.size());
        ASSERT_EQ(static_cast<LONG>(ICDecompress(hic, 0, in, const_cast<uint8_t*>(c.rows.data()),
                                                 &out.bmiHeader, decoded.data())),
                  ICERR_OK)
            << c.bits;
        ICClose(hic);
        const auto px = Unpad(decoded.data(), 3, 2, 12);
        auto colour = [&](int x, int y) {
            return std::vector<uint8_t>(&px[(y * 3 + x) * 3], &px[(y * 3 + x) * 3 + 3]);
        };
        using V = std::vector<uint8_t>;
        if (c.bits == 1) {
            EXPECT_EQ(colour(0, 0), V({255, 255, 255}));
            EXPECT_EQ(colour(1, 0), V({0, 0, 0}));
            EXPECT_EQ(colour(1, 1), V({255, 255, 255}));
        } else if (c.bits == 4 || c.bits == 8) {
            EXPECT_EQ(colour(1, 0), V({10, 20, 30})) << c.bits;
            EXPECT_EQ(colour(2, 0), V({40, 50, 60})) << c.bits;
            EXPECT_EQ(colour(2, 1), V({0, 0, 0})) << c.bits;
        } else if (c.bits == 16) {
            EXPECT_EQ(colour(0, 0), V({255, 255, 255}));
            EXPECT_EQ(colour(1, 0), V({255, 0, 0})); // blue
            EXPECT_EQ(colour(0, 1), V({0, 255, 0})); // green
            EXPECT_EQ(colour(1, 1), V({0, 0, 255})); // red
        } else {
            EXPECT_EQ(colour(0, 0), V({1, 2, 3}));
            EXPECT_EQ(colour(2, 1), V({3, 2, 1}));
        }
    }
}

TEST(Codecs, Video1DeltaFramesOfFfmpegDecodeInAnyOrder) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg missing";
    // ffmpeg's encoder skips unchanged blocks between key frames; the getter decodes from the key frame
    // before a frame when it is asked out of order.
    TempDir dir;
    const std::string path = dir.File("delta.avi");
    int status = 0;
    avitest::Run("ffmpeg -v error -y -f lavfi -i testsrc=size=64x48:rate=30 -t 1 -c:v msvideo1 -g 10 '" +
                     path + "' 2>&1",
                 &status);
    ASSERT_EQ(status, 0);
    const auto reference = FfmpegDecode(path, dir.File("delta.raw"));
    const size_t frameBytes = 64 * 48 * 3;
    ASSERT_EQ(reference.size(), frameBytes * 30);
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
    PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr);
    ASSERT_NE(getter, nullptr);
    for (LONG i : {29, 3, 4, 5, 17, 10, 0, 28, 29}) {
        auto* h = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(getter, i));
        ASSERT_NE(h, nullptr) << i;
        const std::vector<uint8_t> ours(reinterpret_cast<uint8_t*>(h + 1),
                                        reinterpret_cast<uint8_t*>(h + 1) + frameBytes);
        EXPECT_EQ(ours, FlipRows(reference.data() + frameBytes * i, 64, 48)) << "frame " << i;
    }
    AVIStreamGetFrameClose(getter);
    AVIStreamRelease(stream);
    AVIFileRelease(file);
}
