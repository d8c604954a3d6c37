// The program's wrapper of the AVI filter server, against the real module: files made by ffmpeg, by
// the platform's writer and by the recording-system generator, and the server's failures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "KivIc/Servers/aviFilter.h"
#include "ovisk/ovisk_test_util.h"
#include "tools/aviblocks/aviblocks_riff.h"
#include "vomLib/avilib/MjpgCodec.h"

using namespace ovisktest;

namespace {

const std::string kNotOpened = "オープンされていません。";
const std::string kReadFrame = "フレームが読めません。";
const std::string kDecode = "ストリームのデコードに失敗しました。このフォーマットは読めません。";
const std::string kBadFormat =
    "ファイルが破損しているか、フォーマットが不明のため、読み取りできませんでした。";
const std::string kDiskOpen = "ファイルのオープン中にディスク エラーが発生しました。";

// The rate is not among the wrapper's members; it is read by DISPID like them.
class AviFilter : public IAVIFilter {
public:
    LONG GetFrameRate() {
        LONG rate = 0;
        static const BYTE params[] = VTS_PI4;
        InvokeHelper(11, DISPATCH_METHOD, VT_EMPTY, nullptr, params, &rate);
        return rate;
    }
    // The frame as top-down B, G, R rows.
    std::vector<BYTE> Frame(long frame) {
        LONG size = 0;
        GetBitmapSize(frame, &size);
        std::vector<BYTE> block(static_cast<std::size_t>(size));
        LONG written = 0;
        GetBitmap(frame, block.data(), block.size(), &written);
        EXPECT_EQ(written, size);
        return PackedToTopDown(block.data(), block.size());
    }
};

class OviskWrapperTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("KIVIC_REGISTRY", dir.File("test.reg").c_str(), 1);
        std::string error;
        ASSERT_EQ(ComRegisterModule(OVISK_MODULE_PATH, false, &error), S_OK) << error;
        ASSERT_TRUE(server.CreateDispatch("Ovisk.AVIFilter"));
        InstallMjpgCodec();
    }
    void TearDown() override {
        server.ReleaseDispatch();
        unsetenv("KIVIC_REGISTRY");
    }

    // Runs a call that must fail and returns the description the wrapper's exception carries.
    template <class Call> std::string Failure(Call call) {
        try {
            call();
        } catch (COleDispatchException* e) {
            std::string text = static_cast<LPCTSTR>(e->m_strDescription);
            e->Delete();
            return text;
        } catch (COleException* e) {
            e->Delete();
            return "(ole exception)";
        }
        return "(no failure)";
    }

    // Opens path and checks every frame against ffmpeg's decode of the same file.
    void ExpectFramesLikeFfmpeg(const std::string& path, int width, int height, int frames, int rate,
                                double meanLimit, const std::string& label) {
        SCOPED_TRACE(label);
        server.Open(path.c_str());
        LONG count = 0;
        server.GetFrameCount(&count);
        EXPECT_EQ(count, frames);
        LONG first = -1;
        LONG last = -1;
        server.GetRange(0, &first, &last);
        EXPECT_EQ(first, 0);
        EXPECT_EQ(last, frames);
        EXPECT_EQ(server.GetFrameRate(), rate);
        const std::vector<BYTE> reference = FfmpegDecode(path, dir.File("ref.raw"));
        const std::size_t frameBytes = static_cast<std::size_t>(width) * 3 * height;
        ASSERT_EQ(reference.size(), frameBytes * frames);
        Difference worst;
        for (int i = 0; i < frames; ++i) {
            const std::vector<BYTE> ours = server.Frame(i);
            ASSERT_EQ(ours.size(), frameBytes) << "frame " << i;
            const Difference d = Compare(ours.data(), reference.data() + frameBytes * i, frameBytes);
            EXPECT_LE(d.mean, meanLimit) << "frame " << i << " largest " << d.largest;
            worst.mean = std::max(worst.mean, d.mean);
            worst.largest = std::max(worst.largest, d.largest);
        }
        std::printf("%s: against ffmpeg's decode, mean difference %.3f, largest %d\n", label.c_str(),
                    worst.mean, worst.largest);
        server.Close();
    }

    TempDir dir;
    AviFilter server;
};

} // namespace

TEST_F(OviskWrapperTest, FfmpegFilesGiveFfmpegsPixels) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg missing";
    struct Case {
        const char* name;
        const char* options;
        double meanLimit;
    };
    const Case cases[] = {
        {"bgr24", "-c:v rawvideo -pix_fmt bgr24", 0.0},
        {"pal8", "-c:v rawvideo -pix_fmt pal8", 0.0},
        // Two JPEG decoders may round and upsample chroma differently.
        {"mjpeg", "-c:v mjpeg -q:v 2 -pix_fmt yuvj422p", 3.0},
    };
    for (const Case& c : cases) {
        const std::string path = dir.File(std::string(c.name) + ".avi");
        ASSERT_TRUE(MakeFfmpegAvi(path, 64, 48, 5, 25, c.options));
        ExpectFramesLikeFfmpeg(path, 64, 48, 5, 25, c.meanLimit, c.name);
    }
}

TEST_F(OviskWrapperTest, WriterFilesWithEachCompressorAndTheirTextChunk) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg missing";
    struct Case {
        FOURCC handler;
        const char* name;
        double meanLimit;
    };
    const Case cases[] = {
        {mmioFOURCC('D', 'I', 'B', ' '), "dib", 0.0},
        {mmioFOURCC('m', 's', 'v', 'c'), "msvc", 0.0},
        {mmioFOURCC('M', 'J', 'P', 'G'), "mjpg", 3.0},
    };
    const std::string text = "Rec Rate=500\nFrame_Rate:500\n";
    for (const Case& c : cases) {
        const std::string path = dir.File(std::string(c.name) + ".avi");
        ASSERT_TRUE(WriteProjectAvi(path, c.handler, 64, 48, 6, text)) << c.name;
        ExpectFramesLikeFfmpeg(path, 64, 48, 6, 30, c.meanLimit, c.name);

        server.Open(path.c_str());
        LONG length = 0;
        server.GetStreamOptionData(mmioFOURCC('t', 'x', 't', 's'), nullptr, 0, &length);
        ASSERT_EQ(length, static_cast<LONG>(text.size()));
        std::string back(static_cast<std::size_t>(length), '\0');
        server.GetStreamOptionData(mmioFOURCC('t', 'x', 't', 's'), back.data(), back.size(), &length);
        EXPECT_EQ(back, text);
        server.Close();
    }
}

namespace {
// A picture whose two fields differ in colour: rows 0, 2, ... counted from the bottom are reddish,
// the others bluish, each field a smooth ramp. Top-down R, G, B rows as the generator takes them.
std::vector<std::uint8_t> FieldPicture(int width, int height, int index) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * 3 * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
            const bool evenFromBottom = (height - 1 - y) % 2 == 0;
            const int ramp = (x * 160) / width + index * 8;
            p[0] = static_cast<std::uint8_t>(evenFromBottom ? 200 : 40);
            p[1] = static_cast<std::uint8_t>(ramp);
            p[2] = static_cast<std::uint8_t>(evenFromBottom ? 40 : 200);
        }
    return rgb;
}

// The generator's picture takes field 1 from the top row down; the recording system's frames hold
// field 1 on the even rows counted from the bottom. Swapping each pair of rows of an even-height
// picture turns one into the other.
std::vector<std::uint8_t> SwapRowPairs(const std::vector<std::uint8_t>& rgb, int width, int height) {
    std::vector<std::uint8_t> out(rgb.size());
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        std::copy_n(rgb.data() + row * y, row, out.data() + row * (y ^ 1));
    return out;
}
} // namespace

TEST_F(OviskWrapperTest, RecordingSystemFramesAreDecodedWithTheFieldsInterleavedRight) {
    const int width = 64;
    const int height = 48;
    for (const aviblocks::FieldForm form :
         {aviblocks::FieldForm::RestartSplit, aviblocks::FieldForm::TwoImages}) {
        SCOPED_TRACE(form == aviblocks::FieldForm::RestartSplit ? "restart split" : "two images");
        aviblocks::AviDescription desc;
        desc.width = width;
        desc.height = height;
        desc.rate = 60;
        desc.form = form;
        std::vector<std::vector<std::uint8_t>> pictures;
        for (int i = 0; i < 3; ++i) {
            pictures.push_back(FieldPicture(width, height, i));
            desc.samples.push_back(aviblocks::EncodeTwoFieldFrame(
                SwapRowPairs(pictures.back(), width, height), width, height, 95, form));
        }
        const std::string path = dir.File("rec.avi");
        std::string error;
        ASSERT_TRUE(aviblocks::WriteAviFile(path, desc, nullptr, &error)) << error;

        server.Open(path.c_str());
        LONG count = 0;
        server.GetFrameCount(&count);
        EXPECT_EQ(count, 3);
        EXPECT_EQ(server.GetFrameRate(), 60);
        for (int i = 0; i < 3; ++i) {
            LONG size = 0;
            server.GetBitmapSize(i, &size);
            // A clean 24-bit bitmap of the decoded frame, not the recorded JPEG bytes.
            ASSERT_EQ(size, 40 + width * 3 * height);
            std::vector<BYTE> block(static_cast<std::size_t>(size));
            server.GetBitmap(i, block.data(), block.size(), &size);
            BITMAPINFOHEADER h;
            std::memcpy(&h, block.data(), sizeof h);
            EXPECT_EQ(h.biBitCount, 24);
            EXPECT_EQ(h.biCompression, BI_RGB);
            EXPECT_EQ(h.biSizeImage, static_cast<DWORD>(width * 3 * height));
            const std::vector<BYTE> ours = PackedToTopDown(block.data(), block.size());
            std::vector<BYTE> expected(pictures[i].size());
            std::vector<BYTE> wrong(pictures[i].size());
            const std::vector<std::uint8_t> swapped = SwapRowPairs(pictures[i], width, height);
            for (std::size_t p = 0; p < expected.size(); p += 3)
                for (int c = 0; c < 3; ++c) {
                    expected[p + c] = pictures[i][p + 2 - c];
                    wrong[p + c] = swapped[p + 2 - c];
                }
            ASSERT_EQ(ours.size(), expected.size());
            const Difference right = Compare(ours.data(), expected.data(), ours.size());
            const Difference swappedFields = Compare(ours.data(), wrong.data(), ours.size());
            EXPECT_LE(right.mean, 3.0) << "frame " << i;
            EXPECT_GE(swappedFields.mean, 50.0) << "frame " << i;
        }
        server.Close();
    }
}

TEST_F(OviskWrapperTest, FailuresCarryTheServersJapaneseTexts) {
    LONG value = 0;
    // Not opened.
    EXPECT_EQ(Failure([&] { server.GetFrameCount(&value); }), kNotOpened);
    EXPECT_EQ(Failure([&] { server.GetBitmapSize(0, &value); }), kNotOpened);

    // A missing file, a file that is not an AVI.
    EXPECT_EQ(Failure([&] { server.Open(dir.File("absent.avi").c_str()); }), kDiskOpen);
    const std::string text = dir.File("text.avi");
    std::system(("echo 'not a movie at all, just some words' > '" + text + "'").c_str());
    EXPECT_EQ(Failure([&] { server.Open(text.c_str()); }), kBadFormat);
    EXPECT_EQ(Failure([&] { server.GetFrameCount(&value); }), kNotOpened);

    // A frame the recorded data does not decode.
    aviblocks::AviDescription desc;
    desc.width = 64;
    desc.height = 48;
    desc.samples = {std::string(300, '\x5A')};
    const std::string garbage = dir.File("garbage.avi");
    ASSERT_TRUE(aviblocks::WriteAviFile(garbage, desc));
    server.Open(garbage.c_str());
    std::vector<BYTE> block(40 + 64 * 48 * 3);
    EXPECT_EQ(Failure([&] { server.GetBitmap(0, block.data(), block.size(), &value); }), kReadFrame);
    server.Close();

    // A Motion-JPEG frame whose data is no JPEG image: the decompressor gives nothing.
    const std::string mjpg = dir.File("mjpg.avi");
    ASSERT_TRUE(WriteProjectAvi(mjpg, mmioFOURCC('M', 'J', 'P', 'G'), 16, 8, 2, "x"));
    std::vector<BYTE> bytes = ReadAll(mjpg);
    std::size_t soi = 0;
    for (int found = 0; soi + 1 < bytes.size(); ++soi)
        if (bytes[soi] == 0xFF && bytes[soi + 1] == 0xD8 && ++found == 2)
            break;
    ASSERT_LT(soi + 1, bytes.size());
    bytes[soi] = bytes[soi + 1] = 0;
    {
        std::ofstream out(mjpg, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    server.Open(mjpg.c_str());
    EXPECT_EQ(server.Frame(0).size(), 16u * 8 * 3);
    EXPECT_EQ(Failure([&] { server.GetBitmapSize(1, &value); }), kReadFrame);
    server.Close();

    // A frame past the end.
    const std::string dib = dir.File("dib.avi");
    ASSERT_TRUE(WriteProjectAvi(dib, mmioFOURCC('D', 'I', 'B', ' '), 16, 8, 2, "x"));
    server.Open(dib.c_str());
    EXPECT_EQ(Failure([&] { server.GetBitmapSize(2, &value); }), kReadFrame);
    server.Close();
    EXPECT_EQ(Failure([&] { server.GetBitmap(0, block.data(), block.size(), &value); }), kNotOpened);

    // A stream no installed decoder reads.
    if (HaveFfmpeg()) {
        const std::string mpeg4 = dir.File("mpeg4.avi");
        ASSERT_TRUE(MakeFfmpegAvi(mpeg4, 32, 32, 2, 25, "-c:v mpeg4"));
        EXPECT_EQ(Failure([&] { server.Open(mpeg4.c_str()); }), kDecode);
        EXPECT_EQ(Failure([&] { server.GetFrameCount(&value); }), kNotOpened);
    }
}
