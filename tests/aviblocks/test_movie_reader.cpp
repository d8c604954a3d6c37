// CMovieReader on generated recording-system files: the information streams, the video streams, and
// files that lack a stream, carry a wrong magic or a size beyond the file.
#include <gtest/gtest.h>

#include <cstring>

#include "aviblocks/aviblocks_test_util.h"
#include "tools/aviblocks/aviblocks_riff.h"
#include "vomLib/avilib/CstRecords.h"
#include "vomLib/avilib/MovieException.h"
#include "vomLib/avilib/MovieGetFrame.h"
#include "vomLib/avilib/MovieReader.h"
#include "vomLib/avilib/Notes.h"

namespace {

class MovieReaderTest : public ::testing::Test {
protected:
    std::string Write(const aviblocks::AviDescription& desc, const std::string& name = "reader.avi") {
        const std::string path = temp.Path(name).string();
        EXPECT_TRUE(aviblocks::WriteAviFile(path, desc, &layout));
        return path;
    }
    std::string WriteBytes(const std::string& bytes) {
        const std::string path = temp.Path("patched.avi").string();
        WriteFileBytes(path, bytes);
        return path;
    }
    static std::string Bytes(const CMovieInfoStream* stream) {
        return std::string(reinterpret_cast<const char*>(stream->Data()),
                           static_cast<std::size_t>(stream->Size()));
    }
    // The message of the CMovieException that f throws, or "" when it throws none.
    template <typename F> static std::string ThrownMessage(F f) {
        try {
            f();
        } catch (const CMovieException& e) {
            return e.m_message;
        }
        return "";
    }

    TempFolder temp;
    aviblocks::AviLayout layout;
};

} // namespace

TEST_F(MovieReaderTest, ReadsTheBlocksAndTheVideoStream) {
    aviblocks::AviDescription desc;
    desc.frames = 2;
    desc.infoChunks = false; // the streams alone carry the blocks
    const std::string path = Write(desc);
    CMovieReader reader(path.c_str(), OF_READ);
    ASSERT_EQ(reader.OpenInfoStreams(), 1);
    EXPECT_EQ(Bytes(reader.NoteStream()), layout.noteBlock);
    EXPECT_EQ(Bytes(reader.CstsStream()), layout.cstsBlock);
    ASSERT_EQ(reader.VideoStreamCount(), 1);
    EXPECT_EQ(reader.VideoStream(0)->Info().fccHandler, MAKEFOURCC('Y', 'R', 'J', 'Q'));

    NOTES notes;
    ASSERT_TRUE(notes.Parse(reader.NoteStream()->Data(), reader.NoteStream()->Size()));
    EXPECT_EQ(notes.Title(), "Sled test 042");
    EXPECT_EQ(CST(reader.CstsStream()->Data(), reader.CstsStream()->Size(), 2).Records().size(), 2u);

    // The declared 24-bit header is followed by the stored two-field frame, as the filter server reads it.
    CMovieGetFrame getter(*reader.VideoStream(0), nullptr);
    const auto* frame = static_cast<const BITMAPINFOHEADER*>(getter.GetFrame(0));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->biWidth, 640);
    EXPECT_EQ(frame->biBitCount, 24);
    ASSERT_EQ(frame->biSizeImage, layout.videoSamples[0].size());
    EXPECT_EQ(std::memcmp(reinterpret_cast<const char*>(frame) + frame->biSize, layout.videoSamples[0].data(),
                          frame->biSizeImage),
              0);

    LONG size = -1;
    ASSERT_EQ(reader.GetFrameSize(1, &size, 0), AVIERR_OK);
    EXPECT_EQ(size, static_cast<LONG>(layout.videoSamples[1].size()));
    size = -1;
    EXPECT_NE(reader.GetFrameSize(7, &size, 0), AVIERR_OK);
    EXPECT_EQ(size, -1);
    EXPECT_NE(ThrownMessage([&] { reader.GetFrameSize(0, &size, 1); }), "");

    // A second call replaces what the first found.
    ASSERT_EQ(reader.OpenInfoStreams(), 1);
    EXPECT_EQ(reader.VideoStreamCount(), 1);
}

TEST_F(MovieReaderTest, MissingInformationStreamIsThrown) {
    aviblocks::AviDescription noCsts;
    noCsts.cstsStream = false;
    const std::string path = Write(noCsts, "nocsts.avi");
    CMovieReader reader(path.c_str(), OF_READ);
    EXPECT_EQ(ThrownMessage([&] { reader.OpenInfoStreams(); }), "Failed. Get AVI file stream");

    aviblocks::AviDescription noNote;
    noNote.noteStream = false;
    const std::string other = Write(noNote, "nonote.avi");
    CMovieReader second(other.c_str(), OF_READ);
    EXPECT_EQ(ThrownMessage([&] { second.OpenInfoStreams(); }), "Failed. Get AVI file stream");
}

TEST_F(MovieReaderTest, EmptyInformationStreamsFailCleanly) {
    aviblocks::AviDescription desc;
    desc.emptyInfoStreams = true;
    const std::string path = Write(desc);
    CMovieReader reader(path.c_str(), OF_READ);
    EXPECT_EQ(reader.OpenInfoStreams(), 0);
    EXPECT_EQ(reader.NoteStream()->Size(), 0);
    EXPECT_EQ(reader.NoteStream()->Data(), nullptr);
}

TEST_F(MovieReaderTest, WrongMagicAndHugeSizesAreRefused) {
    aviblocks::AviDescription desc;
    desc.frames = 1;
    const std::string bytes = aviblocks::BuildAvi(desc, &layout);

    std::string wrongMagic = bytes;
    wrongMagic.replace(8, 4, "AVIX");
    EXPECT_EQ(ThrownMessage([&] { CMovieReader reader(WriteBytes(wrongMagic).c_str(), OF_READ); }),
              "Fail to AVIFileOpen. AVI bad format ");

    // The 'CSTS' sample's index entry (the last one) claims 2 GiB.
    std::string huge = bytes;
    const std::uint64_t lastEntry = layout.index + 8 + 16 * (layout.videoSamples.size() + 1);
    std::string size;
    PutU32(size, 0x7FFFFFF0u);
    huge.replace(lastEntry + 12, 4, size);
    const std::string path = WriteBytes(huge);
    int opened = -1;
    const std::string message = ThrownMessage([&] {
        CMovieReader reader(path.c_str(), OF_READ);
        opened = reader.OpenInfoStreams();
    });
    EXPECT_TRUE(!message.empty() || opened == 0) << message;
}

TEST_F(MovieReaderTest, WriteSampleChecksKindAndIndex) {
    aviblocks::AviDescription desc;
    desc.frames = 1;
    const std::string path = Write(desc);
    CMovieReader reader(path.c_str(), OF_READ);
    char byte = 0;
    EXPECT_EQ(ThrownMessage([&] { reader.WriteSample(CMovieReader::kNoteSample, &byte, 1, 1, 0); }),
              "Failed. Get AVI file stream");
    EXPECT_NE(ThrownMessage([&] { reader.WriteSample(CMovieReader::kVideoSample, &byte, 1, 1, 0); }), "");
    EXPECT_EQ(reader.WriteSample(9, &byte, 1, 1, 0), AVIERR_BADPARAM);
}

TEST_F(MovieReaderTest, DefaultStreamWritesA640x480VideoStream) {
    if (!HaveProgram("ffprobe")) {
        GTEST_SKIP() << "ffprobe is needed";
    }
    const std::string path = temp.Path("default.avi").string();
    {
        CMovieReader writer(path.c_str(), OF_CREATE | OF_WRITE);
        ASSERT_EQ(writer.CreateDefaultStream(25), AVIERR_OK);
        std::vector<char> frame(640 * 480 * 3, '\x40');
        EXPECT_EQ(writer.WriteSample(CMovieReader::kVideoSample, frame.data(),
                                     static_cast<LONG>(frame.size()), 0, 0),
                  AVIERR_OK);
    }
    std::string out;
    ASSERT_EQ(
        RunCommand("ffprobe -v error -show_entries stream=codec_type,width,height,r_frame_rate,nb_frames "
                   "-of csv=p=0 " +
                       Quoted(path),
                   &out),
        0);
    EXPECT_EQ(out, "video,640,480,25/1,1\n");
}
