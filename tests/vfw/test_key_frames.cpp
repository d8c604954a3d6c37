// Key-frame flags of a stream whose frames are not all key frames, read back from idx1 (its offsets
// counted from the 'movi' list or from the file start) and from the OpenDML indexes. The frame getter
// shows them: for a frame it is asked for out of turn it decodes from the nearest key frame at or
// before it. A recording codec installed for the test tells which frames were decoded; ffprobe checks
// the flags the writer put into the file.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/vfw/vfw.h"
#include "vfw/avi_test_util.h"
#include "vfw/movie_writer.h"

using namespace avitest;

namespace {

constexpr FOURCC kRecording = mmioFOURCC('K', 'Y', 'T', 'S');
constexpr int kFrames = 24;
constexpr bool kKey[kFrames] = {true,  false, false, false, true,  true,  false, false,
                                false, true,  false, false, false, false, false, false,
                                true,  false, false, false, false, false, false, true};

// Frame numbers that the recording codec decoded, in order (its samples start with their number).
std::vector<LONG>& Decoded() {
    static std::vector<LONG> decoded;
    return decoded;
}

class RecordingCodec : public VideoCodec {
public:
    LRESULT DecompressQuery(const BITMAPINFO* in, const BITMAPINFO*) override {
        return ICFourccEqual(in->bmiHeader.biCompression, kRecording) ? ICERR_OK : ICERR_BADFORMAT;
    }
    LRESULT DecompressGetFormat(const BITMAPINFO* in, BITMAPINFO* out) override {
        if (out)
            out->bmiHeader = ICOutputFormat24(&in->bmiHeader);
        return sizeof(BITMAPINFOHEADER);
    }
    LRESULT Decompress(DWORD, const BITMAPINFO*, const void* data, DWORD size, const BITMAPINFO* out,
                       void* pixels) override {
        if (size < 4)
            return ICERR_BADFORMAT;
        LONG frame = 0;
        std::memcpy(&frame, data, 4);
        Decoded().push_back(frame);
        std::memset(pixels, static_cast<int>(frame), out->bmiHeader.biSizeImage);
        return ICERR_OK;
    }
};

class KeyFrames : public ::testing::Test {
protected:
    void SetUp() override {
        VideoCodecDescription description;
        description.fccHandler = kRecording;
        description.name = "KYTS";
        ICInstallCodec(description, [] { return std::make_unique<RecordingCodec>(); });
    }
    void TearDown() override { ICRemoveCodec(kRecording); }

    // kFrames samples of sampleSize bytes, each starting with its frame number, key frames as in kKey.
    void Write(const std::string& path, std::size_t sampleSize) {
        PAVIFILE file = nullptr;
        ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_CREATE | OF_WRITE, nullptr), AVIERR_OK);
        AVISTREAMINFOA info{};
        info.fccType = streamtypeVIDEO;
        info.fccHandler = kRecording;
        info.dwScale = 1;
        info.dwRate = 25;
        PAVISTREAM stream = nullptr;
        ASSERT_EQ(AVIFileCreateStreamA(file, &stream, &info), AVIERR_OK);
        BITMAPINFOHEADER format{40, 8, 4, 1, 24, kRecording, 96, 0, 0, 0, 0};
        ASSERT_EQ(AVIStreamSetFormat(stream, 0, &format, sizeof format), AVIERR_OK);
        for (LONG i = 0; i < kFrames; ++i) {
            std::vector<BYTE> sample(sampleSize, static_cast<BYTE>(0xA0 + i));
            std::memcpy(sample.data(), &i, 4);
            ASSERT_EQ(AVIStreamWrite(stream, i, 1, sample.data(), static_cast<LONG>(sample.size()),
                                     kKey[i] ? AVIIF_KEYFRAME : 0, nullptr, nullptr),
                      AVIERR_OK);
        }
        AVIStreamRelease(stream);
        AVIFileRelease(file);
    }

    // For each frame, a fresh getter asked for it alone: the frames it decodes run from the key frame
    // at or before it; a key frame is decoded alone.
    void ExpectKeyFramesRead(const std::string& path) {
        PAVIFILE file = nullptr;
        ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
        PAVISTREAM stream = nullptr;
        ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
        ASSERT_EQ(AVIStreamLength(stream), kFrames);
        for (LONG frame = 0; frame < kFrames; ++frame) {
            PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr);
            ASSERT_NE(getter, nullptr);
            Decoded().clear();
            const auto* h = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(getter, frame));
            ASSERT_NE(h, nullptr) << frame;
            EXPECT_EQ(reinterpret_cast<const BYTE*>(h + 1)[0], static_cast<BYTE>(frame));
            LONG key = frame;
            while (!kKey[key])
                --key;
            std::vector<LONG> expected;
            for (LONG f = key; f <= frame; ++f)
                expected.push_back(f);
            EXPECT_EQ(Decoded(), expected) << "frame " << frame << (kKey[frame] ? " (key)" : " (not key)");
            AVIStreamGetFrameClose(getter);
        }
        AVIStreamRelease(stream);
        AVIFileRelease(file);
    }

    // Every sample's bytes, in order.
    std::vector<std::vector<BYTE>> Samples(const std::string& path) {
        std::vector<std::vector<BYTE>> samples;
        PAVIFILE file = nullptr;
        PAVISTREAM stream = nullptr;
        if (AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr) != AVIERR_OK)
            return samples;
        if (AVIFileGetStream(file, &stream, streamtypeVIDEO, 0) == AVIERR_OK) {
            for (LONG i = 0; i < AVIStreamLength(stream); ++i) {
                LONG bytes = 0;
                AVIStreamRead(stream, i, 1, nullptr, 0, &bytes, nullptr);
                samples.emplace_back(static_cast<std::size_t>(bytes));
                AVIStreamRead(stream, i, 1, samples.back().data(), bytes, nullptr, nullptr);
            }
            AVIStreamRelease(stream);
        }
        AVIFileRelease(file);
        return samples;
    }

    // ffprobe's packet flags against kKey.
    void ExpectFlagsInFile(const std::string& path) {
        if (!HaveFfmpeg())
            GTEST_SKIP() << "ffprobe missing";
        const auto flags = PacketFlags(path);
        ASSERT_EQ(flags.size(), static_cast<std::size_t>(kFrames));
        for (int i = 0; i < kFrames; ++i)
            EXPECT_EQ(flags[i].front() == 'K', kKey[i]) << "packet " << i << ": " << flags[i];
    }

    TempDir dir;
};

} // namespace

TEST_F(KeyFrames, FlagsComeBackFromIdx1) {
    const std::string path = dir.File("idx1.avi");
    Write(path, 16);
    const auto bytes = ReadFile(path);
    const std::string text(bytes.begin(), bytes.end());
    ASSERT_NE(text.find("idx1"), std::string::npos);
    ASSERT_EQ(text.find("indx"), std::string::npos);
    ExpectKeyFramesRead(path);
    ExpectFlagsInFile(path);
}

// Some writers count the idx1 offsets from the file's start instead of from the 'movi' list.
TEST_F(KeyFrames, FlagsComeBackFromAnIdx1CountingFromTheFileStart) {
    const std::string relative = dir.File("relative.avi"), absolute = dir.File("absolute.avi");
    Write(relative, 16);
    auto bytes = ReadFile(relative);
    const std::string text(bytes.begin(), bytes.end());
    const std::uint32_t movi = static_cast<std::uint32_t>(text.find("movi"));
    const std::size_t idx1 = text.find("idx1");
    ASSERT_NE(idx1, std::string::npos);
    std::uint32_t size = 0;
    std::memcpy(&size, &bytes[idx1 + 4], 4);
    ASSERT_EQ(size, 16u * kFrames);
    for (std::size_t at = idx1 + 8 + 8; at < idx1 + 8 + size; at += 16) {
        std::uint32_t offset = 0;
        std::memcpy(&offset, &bytes[at], 4);
        offset += movi;
        std::memcpy(&bytes[at], &offset, 4);
    }
    WriteFile(absolute, bytes.data(), bytes.size());
    ExpectKeyFramesRead(absolute);
    EXPECT_EQ(Samples(absolute), Samples(relative));
    EXPECT_EQ(Samples(absolute).size(), static_cast<std::size_t>(kFrames));
    ExpectFlagsInFile(absolute);
}

TEST_F(KeyFrames, FlagsComeBackFromTheOpenDmlIndexes) {
    const std::string path = dir.File("odml.avi");
    {
        RiffLimit lowered(32 * 1024);
        Write(path, 4096); // about seven frames a RIFF
    }
    const auto bytes = ReadFile(path);
    const std::string text(bytes.begin(), bytes.end());
    ASSERT_NE(text.find("indx"), std::string::npos);
    ASSERT_NE(text.find("ix00"), std::string::npos);
    ASSERT_NE(text.find("AVIX"), std::string::npos);
    ExpectKeyFramesRead(path);
    ExpectFlagsInFile(path);
}
