// One-frame compression and decoding: what ImageMagick reads back, row layouts, buffer sizes, quality,
// threads and error reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <utility>

#include "JpegTestUtil.h"
#include "platform/win32/memory.h"
#include "platform/win32/system.h"

using namespace jpegtest;

TEST(JpegCodec, ImageMagickReadsWhatTheCompressorWrites) {
    const Dib dib = MakeGradient(203, 151, JpgRows::Padded4); // 609-byte rows padded to 612
    TempDir dir;
    WriteFile(dir.File("frame.jpg"), Compress(dib, 75));
    WritePpm(dir.File("frame.ppm"), dib);

    int status = 0;
    const std::string props =
        RunTool("identify -format '%w %h %Q %x %y %U' " + dir.File("frame.jpg"), &status);
    ASSERT_EQ(status, 0) << props;
    EXPECT_EQ(props, "203 151 75 56 56 PixelsPerCentimeter");
    const std::string psnr =
        RunTool("compare -metric PSNR " + dir.File("frame.ppm") + " " + dir.File("frame.jpg") + " null:");
    EXPECT_GE(std::atof(psnr.c_str()), 30.0) << psnr;

    // The file starts with the top row (the last memory row): red, not blue.
    const std::string raw = RunTool("convert " + dir.File("frame.jpg") + " -depth 8 rgb:-");
    ASSERT_EQ(raw.size(), 203u * 151u * 3u);
    EXPECT_GT(static_cast<unsigned char>(raw[300]), 240);
    EXPECT_LT(static_cast<unsigned char>(raw[302]), 20);
    const std::size_t bottomLeft = 150 * 203 * 3;
    EXPECT_NEAR(static_cast<unsigned char>(raw[bottomLeft]), dib.Pixel(0, 0)[2], 12);
    EXPECT_NEAR(static_cast<unsigned char>(raw[bottomLeft + 2]), dib.Pixel(0, 0)[0], 12);
}

TEST(JpegCodec, RowLayoutsAreHonouredBothWays) {
    // 37 pixels: 111 bytes packed, 112 padded.
    const Dib padded = MakeGradient(37, 40, JpgRows::Padded4);
    Dib packed = padded;
    packed.rows = JpgRows::Packed;
    packed.stride = 111;
    packed.pixels = PackedPixels(padded);
    const std::vector<BYTE> jpeg = Compress(padded, 90);
    EXPECT_EQ(Compress(packed, 90), jpeg);

    JpgImageInfo info;
    ASSERT_EQ(jpg_read_header(jpeg.data(), static_cast<long>(jpeg.size()), &info), JPG_OK);
    EXPECT_EQ(info.width, 37);
    EXPECT_EQ(info.height, 40);
    EXPECT_EQ(info.fields, 1);
    EXPECT_EQ(info.outputComponents, 3);
    EXPECT_EQ(jpg_dib_size(info, JpgRows::Packed), 111u * 40u);
    EXPECT_EQ(jpg_dib_size(info, JpgRows::Padded4), 112u * 40u);

    const std::vector<BYTE> rows = Decode(jpeg, JpgRows::Packed);
    EXPECT_GE(Psnr(rows, packed.pixels), 30.0);
    Dib back = padded;
    back.pixels = Decode(jpeg, JpgRows::Padded4);
    EXPECT_EQ(PackedPixels(back), rows);
    for (int y = 0; y < 40; ++y)
        EXPECT_EQ(back.pixels[y * 112 + 111], 0) << "alignment byte of row " << y;
}

// Padded rows at each remainder of 3 x width by 4, the strides written out here. ImageMagick decodes
// the same stream to the same pixels.
TEST(JpegCodec, PaddedRowsForEveryWidthClass) {
    const int height = 20;
    TempDir dir;
    for (auto [width, stride] : {std::pair{36, 108}, {203, 612}, {34, 104}, {37, 112}}) {
        SCOPED_TRACE(width);
        const Dib packed = MakeGradient(width, height, JpgRows::Packed);
        Dib padded = packed;
        padded.rows = JpgRows::Padded4;
        padded.stride = static_cast<std::size_t>(stride);
        padded.pixels.assign(padded.stride * height, 0xEE);
        for (int y = 0; y < height; ++y)
            std::copy_n(packed.Pixel(0, y), 3 * width, padded.Pixel(0, y));
        const std::vector<BYTE> jpeg = Compress(padded, 90);
        EXPECT_TRUE(Compress(packed, 90) == jpeg) << "padded and packed rows make different streams";

        JpgImageInfo info;
        ASSERT_EQ(jpg_read_header(jpeg.data(), static_cast<long>(jpeg.size()), &info), JPG_OK);
        EXPECT_EQ(jpg_dib_size(info, JpgRows::Padded4), static_cast<std::size_t>(stride * height));
        std::vector<BYTE> out(static_cast<std::size_t>(stride * height) + 1, 0xCC);
        ASSERT_EQ(jpg_decompress_dib(jpeg.data(), out.data(), static_cast<long>(jpeg.size()),
                                     JPG_DCT_ACCURATE, out.size() - 1, JpgRows::Padded4),
                  JPG_OK);
        EXPECT_EQ(out.back(), 0xCC) << "nothing past the last row";

        WriteFile(dir.File("frame.jpg"), jpeg);
        const std::string magick = RunTool("convert " + dir.File("frame.jpg") + " -depth 8 rgb:-");
        ASSERT_EQ(magick.size(), static_cast<std::size_t>(3 * width * height));
        int differing = 0;
        for (int y = 0; y < height; ++y) {
            const BYTE* row = out.data() + y * stride;
            for (int x = 3 * width; x < stride; ++x)
                EXPECT_EQ(row[x], 0) << "alignment byte of row " << y;
            const char* top = magick.data() + 3 * width * (height - 1 - y);
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c)
                    differing += row[3 * x + 2 - c] != static_cast<BYTE>(top[3 * x + c]);
        }
        EXPECT_EQ(differing, 0) << "bytes other than ImageMagick's decode";
    }
}

TEST(JpegCodec, RefusesABufferOneByteShort) {
    const std::vector<BYTE> jpeg = Compress(MakeGradient(50, 30, JpgRows::Packed), 75);
    std::vector<BYTE> out(150 * 30 + 16, 0xCC);
    const long length = static_cast<long>(jpeg.size());
    EXPECT_EQ(jpg_decompress_dib(jpeg.data(), out.data(), length, 0, 150 * 30 - 1, JpgRows::Packed),
              JPG_ERR_BUFFER);
    EXPECT_EQ(std::count(out.begin(), out.end(), 0xCC), static_cast<long>(out.size())) << "nothing written";
    EXPECT_EQ(jpg_decompress_dib(jpeg.data(), out.data(), length, 0, 150 * 30, JpgRows::Packed), JPG_OK);
    EXPECT_EQ(out[150 * 30], 0xCC) << "nothing past the image";
}

TEST(JpegCodec, QualityFromCompressionOptions) {
    EXPECT_EQ(jpg_quality_from_option(7500), 75);
    EXPECT_EQ(jpg_quality_from_option(7599), 75);
    EXPECT_EQ(jpg_quality_from_option(10000), 100);
    EXPECT_EQ(jpg_quality_from_option(123456), 100);
    EXPECT_EQ(jpg_quality_from_option(50), 1);
    EXPECT_EQ(jpg_quality_from_option(-1), 1);
    const Dib noise = MakeNoise(64, 64, JpgRows::Packed, 7);
    EXPECT_LT(Compress(noise, jpg_quality_from_option(1000)).size() * 2,
              Compress(noise, jpg_quality_from_option(9500)).size());
}

TEST(JpegCodec, EveryDctMethodRoundTrips) {
    const Dib dib = MakeGradient(64, 48, JpgRows::Packed);
    for (int dct : {0, 1, 2, 7})
        EXPECT_GE(Psnr(Decode(Compress(dib, 85, dct), JpgRows::Packed, dct), PackedPixels(dib)), 30.0) << dct;
}

TEST(JpegCodec, CommentMarkerDoesNotChangeThePicture) {
    const std::vector<BYTE> jpeg = Compress(MakeGradient(40, 24, JpgRows::Packed), 80);
    const std::string text = "line one\r\nline two\\ \x01";
    std::string bytes = "\xFF\xD8\xFF\xFE";
    bytes += '\0';
    bytes += static_cast<char>(text.size() + 2);
    bytes += text;
    bytes.append(jpeg.begin() + 2, jpeg.end());
    const std::vector<BYTE> commented(bytes.begin(), bytes.end());
    EXPECT_EQ(Decode(commented, JpgRows::Packed), Decode(jpeg, JpgRows::Packed));
}

TEST(JpegCodec, CallsOnSeveralThreadsGiveTheSingleThreadResult) {
    const Dib dib = MakeNoise(96, 64, JpgRows::Padded4, 3);
    const std::vector<BYTE> jpeg = Compress(dib, 75);
    const std::vector<BYTE> pixels = Decode(jpeg, JpgRows::Padded4);
    std::vector<int> failures(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 20; ++i) {
                BYTE* block = nullptr;
                long length = 0;
                std::vector<BYTE> out(pixels.size());
                if (jpg_compress_rgb(dib.pixels.data(), 96, 64, JpgRows::Padded4, &block, &length, 75, 0) !=
                        JPG_OK ||
                    std::vector<BYTE>(block, block + length) != jpeg ||
                    jpg_decompress_dib(block, out.data(), length, 0, out.size(), JpgRows::Padded4) !=
                        JPG_OK ||
                    out != pixels)
                    ++failures[t];
                GlobalFree(block);
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

TEST(JpegCodec, ErrorsAreReportedOnTheDebugOutput) {
    std::string seen;
    DebugOutputSink previous = SetDebugOutputSink([&](const char* text) { seen += text; });
    const BYTE notJpeg[] = {'B', 'M', 0, 0, 0, 0, 0, 0};
    BYTE out[16];
    EXPECT_EQ(jpg_decompress_dib(notJpeg, out, sizeof notJpeg, 0, sizeof out, JpgRows::Packed), JPG_ERR_DATA);
    SetDebugOutputSink(previous);
    EXPECT_NE(seen.find("djpeg: Not a JPEG file"), std::string::npos) << seen;
}

TEST(JpegCodec, RefusesBadArguments) {
    BYTE* block = reinterpret_cast<BYTE*>(1);
    long length = 5;
    const BYTE pixels[12] = {};
    EXPECT_EQ(jpg_compress_rgb(nullptr, 2, 2, JpgRows::Packed, &block, &length, 75, 0), JPG_ERR_ARGUMENT);
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(jpg_compress_rgb(pixels, 2, 70000, JpgRows::Packed, &block, &length, 75, 0), JPG_ERR_ARGUMENT);
    EXPECT_EQ(jpg_compress_rgb(pixels, 2, 2, static_cast<JpgRows>(9), &block, &length, 75, 0),
              JPG_ERR_ARGUMENT);
    EXPECT_EQ(jpg_compress_fields(pixels, 2, 1, JpgRows::Packed, &block, &length, 75, 0, 0),
              JPG_ERR_ARGUMENT);
    EXPECT_EQ(jpg_decompress_dib(pixels, nullptr, 12, 0, 4, JpgRows::Packed), JPG_ERR_ARGUMENT);
}

// The sampling factors of the three components, as the frame header (SOF0) gives them.
std::vector<int> SamplingFactors(const std::vector<BYTE>& jpeg) {
    for (std::size_t i = 2; i + 18 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0)
            return {jpeg[i + 11], jpeg[i + 14], jpeg[i + 17]};
    }
    return {};
}

// Full-resolution chroma keeps thin coloured lines: stripes of saturated red and blue three pixels wide
// come back far closer than with halved chroma, which also stays a valid, readable stream.
TEST(JpegCodec, FullChromaKeepsThinColouredLines) {
    Dib dib;
    dib.width = 48;
    dib.height = 32;
    dib.stride = 3 * dib.width;
    dib.pixels.resize(dib.stride * dib.height);
    for (int y = 0; y < dib.height; ++y) {
        for (int x = 0; x < dib.width; ++x) {
            BYTE* p = dib.Pixel(x, y);
            const bool red = (x / 3) % 2 == 0;
            p[0] = red ? 0 : 255;
            p[1] = 0;
            p[2] = red ? 255 : 0;
        }
    }
    const std::vector<BYTE> halved = Compress(dib, 90);
    const std::vector<BYTE> full = Compress(dib, 90, JPG_DCT_ACCURATE, true);
    EXPECT_EQ(SamplingFactors(halved), (std::vector<int>{0x22, 0x11, 0x11}));
    EXPECT_EQ(SamplingFactors(full), (std::vector<int>{0x11, 0x11, 0x11}));
    const double halvedPsnr = Psnr(Decode(halved, JpgRows::Packed), dib.pixels);
    const double fullPsnr = Psnr(Decode(full, JpgRows::Packed), dib.pixels);
    EXPECT_LT(halvedPsnr, 30.0);
    EXPECT_GT(fullPsnr, 35.0);
}
