// The movie writer of the conversion: for 'DIB ', 'msvc' and 'MJPG' the file is byte for byte the one
// that the one-thread path (a compressed stream on the UI thread) writes, for one, two and all workers;
// ffprobe and ffmpeg read it back; an earlier movie of the same name survives everything but success.
#include <atomic>
#include <filesystem>

#include <gtest/gtest.h>

#include "KivIc/Conversion/AviOutput.h"
#include "KivIc/Conversion/FrameCompressor.h"
#include "kivic_conversion/conversion_test_util.h"
#include "platform/vfw/vfw.h"
#include "platform/win32/write_fault.h"
#include "tests/support/library_movie.h"
#include "vomLib/avilib/MjpgCodec.h"

namespace {

using convtest::FilesIn;
using convtest::ReadTxts;

constexpr DWORD kDib = mmioFOURCC('D', 'I', 'B', ' ');
constexpr DWORD kMsvc = mmioFOURCC('m', 's', 'v', 'c');
constexpr DWORD kMjpg = mmioFOURCC('M', 'J', 'P', 'G');
constexpr int kWidth = 64, kHeight = 48;
const std::string kInfo = "Camera\nRec Rate=2000\n\nFile type : .avi\nConversion Range : -3  -> 16\n";

// The one-thread path: every frame through a compressed stream of the AVI library, in order.
void WriteReference(const std::string& path, DWORD handler, DWORD quality, long first, long last,
                    bool noisy) {
    avitest::WriteLibraryMovie(
        {path, kWidth, kHeight, static_cast<int>(last - first + 1), handler, quality, kInfo}, [&](int i) {
            const auto frame = convtest::MakePackedFrame(first + i, kWidth, kHeight, noisy);
            return std::vector<uint8_t>(frame.begin() + 40, frame.end());
        });
}

AviOutputSettings Settings(const std::string& target, DWORD handler, DWORD quality) {
    AviOutputSettings s;
    s.target = target;
    s.width = kWidth;
    s.height = kHeight;
    s.handler = handler;
    s.quality = quality;
    s.infoText = kInfo;
    return s;
}

// Converts first..last into target with the pool; FALSE when any step failed.
bool Convert(const std::string& target, DWORD handler, DWORD quality, long first, long last, int workers,
             bool noisy) {
    convtest::ConverterScript script;
    script.width = kWidth;
    script.height = kHeight;
    script.jitter = workers > 1;
    script.noisy = noisy;
    CAviOutput output(Settings(target, handler, quality));
    std::string error;
    if (!output.Open(&error))
        return false;
    const auto state = convtest::RunPool(output, script, first, last, workers, &error);
    return output.Close(state == CFramePool::State::Done, &error) && state == CFramePool::State::Done;
}

// A compressor that codes a frame against the one before it unless it is asked for a key frame, as
// temporal compressors do; it counts the frames it coded so.
constexpr DWORD kTemporal = mmioFOURCC('T', 'M', 'P', 'R');
std::atomic<int> g_deltaFrames{0};
class TemporalCodec : public VideoCodec {
public:
    LRESULT CompressQuery(const BITMAPINFO* in, const BITMAPINFO*) override {
        return in->bmiHeader.biBitCount == 24 ? ICERR_OK : ICERR_BADFORMAT;
    }
    LRESULT CompressGetFormat(const BITMAPINFO* in, BITMAPINFO* out) override {
        if (out != nullptr) {
            out->bmiHeader = in->bmiHeader;
            out->bmiHeader.biCompression = kTemporal;
        }
        return sizeof(BITMAPINFOHEADER);
    }
    LRESULT CompressGetSize(const BITMAPINFO*, const BITMAPINFO*) override { return 1; }
    LRESULT Compress(const BITMAPINFO*, const void* pixels, BITMAPINFO* out, void* sample, DWORD,
                     DWORD* flags) override {
        const bool key = (*flags & ICCOMPRESS_KEYFRAME) != 0;
        if (!key)
            ++g_deltaFrames;
        *static_cast<BYTE*>(sample) = *static_cast<const BYTE*>(pixels);
        out->bmiHeader.biSizeImage = 1;
        *flags = key ? AVIIF_KEYFRAME : 0;
        return ICERR_OK;
    }
};

class AviOutputTest : public ::testing::Test {
protected:
    void SetUp() override { InstallMjpgCodec(); }
    avitest::TempDir dir;
};

TEST_F(AviOutputTest, MoviesEqualTheOneThreadPathForOneTwoAndAllWorkers) {
    for (DWORD handler : {kDib, kMsvc, kMjpg}) {
        SCOPED_TRACE(CFrameCompressor::HandlerText(handler));
        const std::string reference = dir.File("reference.avi");
        WriteReference(reference, handler, 7500, -3, 16, true);
        const auto expected = avitest::ReadFile(reference);
        ASSERT_GT(expected.size(), 1000u);
        for (int workers : {1, 2, CFramePool::DefaultWorkers()}) {
            SCOPED_TRACE(workers);
            const std::string target = dir.File("pool.avi");
            ASSERT_TRUE(Convert(target, handler, 7500, -3, 16, workers, true));
            EXPECT_TRUE(avitest::ReadFile(target) == expected);
        }
    }
}

TEST_F(AviOutputTest, FfprobeAndFfmpegReadTheMovies) {
    if (!avitest::HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    const struct {
        DWORD handler;
        const char* codec;
    } cases[] = {{kDib, "rawvideo"}, {kMsvc, "msvideo1"}, {kMjpg, "mjpeg"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.codec);
        const std::string target = dir.File(std::string(c.codec) + ".avi");
        ASSERT_TRUE(Convert(target, c.handler, 10000, 5, 24, 3, false));
        auto probe = avitest::Probe(target);
        EXPECT_EQ(probe["codec_name"], c.codec);
        EXPECT_EQ(probe["width"], std::to_string(kWidth));
        EXPECT_EQ(probe["height"], std::to_string(kHeight));
        EXPECT_EQ(probe["r_frame_rate"], "30/1");
        EXPECT_EQ(probe["nb_read_packets"], "20");
        const auto flags = avitest::PacketFlags(target);
        ASSERT_EQ(flags.size(), 20u);
        for (const auto& f : flags)
            EXPECT_EQ(f.substr(0, 1), "K");

        const auto decoded = avitest::FfmpegDecode(target, dir.File("decoded.bgr"));
        const std::size_t frameSize = static_cast<std::size_t>(kWidth) * 3 * kHeight;
        ASSERT_EQ(decoded.size(), frameSize * 20);
        for (int i = 0; i < 20; ++i) {
            const auto source = convtest::MakePackedFrame(5 + i, kWidth, kHeight, false);
            const auto topDown = avitest::FlipRows(source.data() + 40, kWidth, kHeight);
            const uint8_t* got = decoded.data() + frameSize * i;
            if (c.handler == kDib)
                EXPECT_TRUE(std::equal(topDown.begin(), topDown.end(), got)) << "frame " << i;
            else
                EXPECT_GE(avitest::Psnr(topDown.data(), got, frameSize), 30.0) << "frame " << i;
        }

        // The information text comes back byte for byte as the stream's 'txts' chunk.
        EXPECT_EQ(ReadTxts(target), kInfo);
    }
}

// Frames compressed side by side on several workers can be coded against no earlier frame: each is
// asked for as a key frame and flagged as one in the index.
TEST_F(AviOutputTest, EverySampleIsAskedForAndFlaggedAsAKeyFrame) {
    ICInstallCodec({kTemporal, "TMPR", "Temporal test codec", 0, {}},
                   [] { return std::make_unique<TemporalCodec>(); });
    const std::string target = dir.File("temporal.avi");
    g_deltaFrames = 0;
    const bool converted = Convert(target, kTemporal, 10000, 0, 11, 3, true);
    ICRemoveCodec(kTemporal);
    ASSERT_TRUE(converted);
    EXPECT_EQ(g_deltaFrames.load(), 0);
    if (!avitest::HaveFfmpeg())
        GTEST_SKIP() << "ffprobe is not installed";
    const auto flags = avitest::PacketFlags(target);
    ASSERT_EQ(flags.size(), 12u);
    for (const auto& f : flags)
        EXPECT_EQ(f.substr(0, 1), "K");
}

TEST_F(AviOutputTest, AnEarlierMovieStaysUntilTheNewOneIsFinished) {
    const std::string target = dir.File("movie.avi");
    avitest::WriteFile(target, "earlier movie", 13);
    {
        CAviOutput output(Settings(target, kDib, 10000));
        std::string error;
        ASSERT_TRUE(output.Open(&error)) << error;
        // Written beside the target, not over it.
        EXPECT_EQ(std::filesystem::path(output.TemporaryPath()).parent_path(),
                  std::filesystem::path(target).parent_path());
        EXPECT_NE(output.TemporaryPath(), target);
        convtest::ConverterScript script;
        script.width = kWidth;
        script.height = kHeight;
        ASSERT_EQ(convtest::RunPool(output, script, 0, 3, 2), CFramePool::State::Done);
        EXPECT_EQ(avitest::ReadFile(target).size(), 13u);
        ASSERT_TRUE(output.Close(false, &error)); // a failed run: the new movie goes
    }
    EXPECT_EQ(FilesIn(dir.File("")), std::vector<std::string>{"movie.avi"});
    EXPECT_EQ(avitest::ReadFile(target).size(), 13u);

    // An output dropped without closing leaves nothing either.
    {
        CAviOutput output(Settings(target, kDib, 10000));
        std::string error;
        ASSERT_TRUE(output.Open(&error));
    }
    EXPECT_EQ(FilesIn(dir.File("")), std::vector<std::string>{"movie.avi"});

    ASSERT_TRUE(Convert(target, kDib, 10000, 0, 3, 2, true));
    EXPECT_EQ(FilesIn(dir.File("")), std::vector<std::string>{"movie.avi"});
    EXPECT_EQ(avitest::Probe(target)["nb_read_packets"], "4");
}

// Writes to the movie's temporary file fail as on a full disk from the `after`-th write on, or while
// `finishing` is set.
struct FullDisk {
    explicit FullDisk(long afterWrites) : after(afterWrites) {
        kivic::win32::SetWriteFaultHook([this](const std::string& path, std::size_t) {
            if (path.find("~conv") == std::string::npos)
                return false;
            return ++writes > after || finishing;
        });
    }
    ~FullDisk() { kivic::win32::SetWriteFaultHook({}); }
    long after;
    long writes = 0;
    bool finishing = false;
};

// A movie over an earlier one on a disk that fills: after `writes` writes, or only while finishing.
// The earlier movie must come through unchanged, with no temporary file beside it.
void ConvertOntoAFullDisk(const avitest::TempDir& dir, long writes, bool whileFinishing) {
    const std::string target = dir.File("movie.avi");
    avitest::WriteFile(target, "earlier movie", 13);
    CAviOutput output(Settings(target, kDib, 10000));
    std::string error;
    ASSERT_TRUE(output.Open(&error)) << error;
    convtest::ConverterScript script;
    script.width = kWidth;
    script.height = kHeight;
    {
        FullDisk disk(writes);
        const auto state = convtest::RunPool(output, script, 0, 59, 3, &error);
        disk.finishing = whileFinishing;
        if (whileFinishing) {
            ASSERT_EQ(state, CFramePool::State::Done) << error;
            EXPECT_FALSE(output.Close(true, &error));
            EXPECT_NE(error.find("Cannot finish the movie \"" + target + "\""), std::string::npos) << error;
        } else {
            EXPECT_EQ(state, CFramePool::State::Failed);
            EXPECT_NE(error.find("Cannot write frame"), std::string::npos) << error;
            EXPECT_TRUE(output.Close(false, &error));
        }
    }
    EXPECT_NE(error.find(target), std::string::npos) << error;
    // The system's own cause, not a guess.
    EXPECT_NE(error.find("There is not enough space on the disk."), std::string::npos) << error;
    EXPECT_EQ(FilesIn(dir.File("")), std::vector<std::string>{"movie.avi"});
    EXPECT_EQ(avitest::ReadFile(target).size(), 13u);
}

TEST_F(AviOutputTest, AFullDiskWhileFramesGoInFailsAndKeepsTheEarlierMovie) {
    ConvertOntoAFullDisk(dir, 5, false);
}

TEST_F(AviOutputTest, AFullDiskWhileTheMovieIsFinishedFailsAndKeepsTheEarlierMovie) {
    ConvertOntoAFullDisk(dir, 1000000, true);
}

TEST_F(AviOutputTest, ACompressorThatRefusesTheSizeFailsBeforeAnyFileIsMade) {
    AviOutputSettings s = Settings(dir.File("odd.avi"), kMsvc, 10000);
    s.width = 37; // Video 1 codes blocks of 4 x 4 pixels
    s.height = 21;
    CAviOutput output(s);
    std::string error;
    EXPECT_FALSE(output.Open(&error));
    EXPECT_NE(error.find("msvc"), std::string::npos) << error;
    EXPECT_NE(error.find("37 x 21"), std::string::npos) << error;
    EXPECT_TRUE(FilesIn(dir.File("")).empty());

    CAviOutput missing(Settings(dir.File("none.avi"), mmioFOURCC('n', 'o', 'n', 'e'), 10000));
    EXPECT_FALSE(missing.Open(&error));
    EXPECT_NE(error.find("none"), std::string::npos) << error;
    EXPECT_TRUE(FilesIn(dir.File("")).empty());
}

TEST_F(AviOutputTest, AnUnwritableFolderIsNamedWithItsCause) {
    const std::string target = dir.File("missing/folder/movie.avi");
    CAviOutput output(Settings(target, kDib, 10000));
    std::string error;
    EXPECT_FALSE(output.Open(&error));
    EXPECT_NE(error.find(target), std::string::npos) << error;
    EXPECT_NE(error.find(": "), std::string::npos) << error; // and why

    // A finished movie that cannot take the target's place (a folder of that name) says why too, and
    // leaves no temporary file.
    const std::string folder = dir.File("taken.avi");
    std::filesystem::create_directories(folder + "/inside");
    CAviOutput blocked(Settings(folder, kDib, 10000));
    ASSERT_TRUE(blocked.Open(&error)) << error;
    convtest::ConverterScript script;
    script.width = kWidth;
    script.height = kHeight;
    ASSERT_EQ(convtest::RunPool(blocked, script, 0, 1, 1), CFramePool::State::Done);
    EXPECT_FALSE(blocked.Close(true, &error));
    EXPECT_NE(error.find("Cannot replace \"" + folder + "\": "), std::string::npos) << error;
    EXPECT_EQ(FilesIn(dir.File("")), std::vector<std::string>{"taken.avi"});
}

TEST_F(AviOutputTest, HandlersAreNamedByTheirCharactersUpToTheFirstZero) {
    EXPECT_EQ(CFrameCompressor::HandlerText(kMsvc), "msvc");
    EXPECT_EQ(CFrameCompressor::HandlerText(0), "");
    EXPECT_EQ(CFrameCompressor::HandlerText(mmioFOURCC('a', 'b', 0, 'd')), "ab");
}

} // namespace
