// The generator of recording-system AVI files: its blocks against the library's, its two-field frames
// and whole files through ffprobe and ffmpeg, and the command-line tool.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "aviblocks/aviblocks_test_util.h"
#include "tools/aviblocks/aviblocks_blocks.h"
#include "tools/aviblocks/aviblocks_options.h"
#include "tools/aviblocks/aviblocks_riff.h"
#include "vomLib/avilib/CstRecords.h"
#include "vomLib/avilib/MjpegInfoChunks.h"
#include "vomLib/avilib/Notes.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

// Decodes a JPEG file to top-down RGB bytes with ffmpeg.
std::string DecodeWithFfmpeg(const TempFolder& temp, const std::string& jpeg, const std::string& name) {
    const auto in = temp.Path(name + ".jpg");
    const auto out = temp.Path(name + ".rgb");
    WriteFileBytes(in, jpeg);
    const int rc =
        RunCommand("ffmpeg -v error -y -i " + Quoted(in) + " -f rawvideo -pix_fmt rgb24 " + Quoted(out));
    EXPECT_EQ(rc, 0) << name;
    return ReadFileBytes(out);
}

// The rows first, first + 2, ... of a top-down picture.
std::string FieldRows(const std::vector<std::uint8_t>& rgb, int first) {
    std::string rows;
    const std::size_t row = kWidth * 3;
    for (int y = first; y < kHeight; y += 2) {
        rows.append(reinterpret_cast<const char*>(rgb.data()) + y * row, row);
    }
    return rows;
}

double Psnr(const std::string& a, const std::string& b) {
    if (a.size() != b.size() || a.empty()) {
        return 0.0;
    }
    double sum = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const double d = static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]);
        sum += d * d;
    }
    const double mse = sum / static_cast<double>(a.size());
    return mse == 0.0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

int SofHeight(const std::string& image) {
    const std::size_t sof = image.find("\xFF\xC0");
    if (sof == std::string::npos || sof + 7 > image.size()) {
        return -1;
    }
    return (static_cast<unsigned char>(image[sof + 5]) << 8) | static_cast<unsigned char>(image[sof + 6]);
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

class Generator : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveProgram("ffprobe") || !HaveProgram("ffmpeg")) {
            GTEST_SKIP() << "ffprobe and ffmpeg are needed";
        }
    }
    TempFolder temp;
};

} // namespace

TEST(GeneratorBlocks, NoteBlockEqualsTheLibrarysBuild) {
    NOTES notes;
    for (int i = 0; i < 9; ++i) {
        notes.SetEntry(i, "N" + std::to_string(i), i == 2 ? "Combo: a, b," : "");
    }
    notes.SetCode(4);
    notes.SetTitle("generated");
    notes.SetCommentLine(3, "three");
    const std::string built = notes.Build();
    std::vector<aviblocks::NoteEntry> entries;
    for (const NOTES::Entry& e : notes.Entries()) {
        entries.push_back({e.name, e.text, e.value});
    }
    EXPECT_EQ(aviblocks::BuildNoteBlock(entries), built);

    NOTES sample;
    ASSERT_TRUE(sample.Parse(aviblocks::BuildNoteBlock(aviblocks::SampleNoteEntries()).data(),
                             aviblocks::BuildNoteBlock(aviblocks::SampleNoteEntries()).size()));
    EXPECT_EQ(sample.Values()[1], "T.YAMADA");
    EXPECT_EQ(sample.Flag(), 1);
}

TEST(GeneratorBlocks, CstBlockSplitsIntoItsRecords) {
    const std::string block = aviblocks::SampleCstBlock(3);
    const CST cst(block, 3);
    ASSERT_EQ(cst.Records().size(), 3u);
    EXPECT_EQ(cst.Records()[0].size() + cst.Records()[1].size() + cst.Records()[2].size(), block.size());
    std::string name;
    EXPECT_TRUE(cst.GetItem1002(cst.Records()[2], name));
    EXPECT_EQ(name, "CAM3");
    std::int32_t a = 0, b = 0, v = 0;
    std::uint16_t w = 0;
    EXPECT_TRUE(cst.GetItem1004(cst.Records()[1], a, b));
    EXPECT_EQ(a, 2000);
    EXPECT_EQ(b, -2);
    EXPECT_TRUE(cst.GetItem1006(cst.Records()[1], w));
    EXPECT_EQ(w, 201);
    EXPECT_TRUE(cst.GetItem1009(cst.Records()[0], v));
    EXPECT_EQ(v, 4500);
}

TEST_F(Generator, RestartSplitFrameHoldsBothFieldsInOneScan) {
    const auto picture = aviblocks::MakeTestPicture(2, kWidth, kHeight);
    const std::string frame =
        aviblocks::EncodeTwoFieldFrame(picture, kWidth, kHeight, 75, aviblocks::FieldForm::RestartSplit);
    EXPECT_EQ(frame[10], '\0');
    EXPECT_EQ(SofHeight(frame), kHeight);
    EXPECT_EQ(Count(frame, "\xFF\xD0"), 1u);
    EXPECT_EQ(Count(frame, "\xFF\xD8"), 1u);
    EXPECT_EQ(Count(frame, "\xFF\xDB"), 1u);
    // The restart interval makes the whole image decodable: the first field above the second.
    const std::string decoded = DecodeWithFfmpeg(temp, frame, "split");
    ASSERT_EQ(decoded.size(), std::size_t{kWidth} * kHeight * 3);
    const std::size_t half = decoded.size() / 2;
    EXPECT_GT(Psnr(decoded.substr(0, half), FieldRows(picture, 0)), 30.0);
    EXPECT_GT(Psnr(decoded.substr(half), FieldRows(picture, 1)), 30.0);
}

TEST_F(Generator, TwoImageFrameCarriesFieldNumbersAndNoHuffmanTables) {
    const auto picture = aviblocks::MakeTestPicture(5, kWidth, kHeight);
    const std::string frame =
        aviblocks::EncodeTwoFieldFrame(picture, kWidth, kHeight, 80, aviblocks::FieldForm::TwoImages);
    const std::size_t firstEnd = frame.find("\xFF\xFF\xD9");
    ASSERT_NE(firstEnd, std::string::npos);
    const std::string first = frame.substr(0, firstEnd + 3);
    const std::string second = frame.substr(firstEnd + 3);
    ASSERT_GT(second.size(), 18u);
    EXPECT_EQ(first.substr(0, 10), std::string("\xFF\xD8\xFF\xE0\x00\x0E"
                                               "JFIF",
                                               10));
    EXPECT_EQ(first[10], 1);
    EXPECT_EQ(second[10], 2);
    EXPECT_EQ(second.substr(second.size() - 3), "\xFF\xFF\xD9");
    EXPECT_EQ(SofHeight(first), kHeight / 2);
    EXPECT_EQ(SofHeight(second), kHeight / 2);
    EXPECT_EQ(Count(frame, "\xFF\xC4"), 0u);
    EXPECT_GT(Psnr(DecodeWithFfmpeg(temp, first, "field1"), FieldRows(picture, 0)), 30.0);
    EXPECT_GT(Psnr(DecodeWithFfmpeg(temp, second, "field2"), FieldRows(picture, 1)), 30.0);
}

TEST_F(Generator, FfprobeReadsStreamsAndPackets) {
    for (const auto form : {aviblocks::FieldForm::RestartSplit, aviblocks::FieldForm::TwoImages}) {
        aviblocks::AviDescription desc;
        desc.form = form;
        desc.frames = 4;
        aviblocks::AviLayout layout;
        const auto path = temp.Path("probe.avi");
        ASSERT_TRUE(aviblocks::WriteAviFile(path.string(), desc, &layout));

        std::string streams;
        ASSERT_EQ(RunCommand("ffprobe -v error -show_entries "
                             "stream=index,codec_type,codec_name,width,height,r_frame_rate,nb_frames "
                             "-of csv=p=0 " +
                                 Quoted(path),
                             &streams),
                  0);
        const auto s = Lines(streams);
        ASSERT_EQ(s.size(), 3u) << streams;
        EXPECT_EQ(s[0], "0,rawvideo,video,640,480,30/1,4");
        EXPECT_EQ(s[1].substr(s[1].size() - 2), ",1");
        EXPECT_EQ(s[2].substr(s[2].size() - 2), ",1");

        std::string packets;
        ASSERT_EQ(RunCommand("ffprobe -v error -show_entries packet=stream_index,size,flags -of csv=p=0 " +
                                 Quoted(path),
                             &packets),
                  0);
        // ffprobe orders packets by time across streams: compare per stream, in stream order.
        std::vector<std::string> perStream[3];
        for (const std::string& line : Lines(packets)) {
            const int stream = line[0] - '0';
            ASSERT_TRUE(stream >= 0 && stream < 3) << line;
            perStream[stream].push_back(line.substr(2));
        }
        ASSERT_EQ(perStream[0].size(), 4u) << packets;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(perStream[0][i], std::to_string(layout.videoSamples[i].size()) + ",K_");
        }
        EXPECT_EQ(perStream[1], std::vector<std::string>{std::to_string(layout.noteBlock.size()) + ",K_"});
        EXPECT_EQ(perStream[2], std::vector<std::string>{std::to_string(layout.cstsBlock.size()) + ",K_"});
    }
}

TEST_F(Generator, ToolWritesFilesTheReadersAccept) {
    const std::string tool = std::string(KIVIC_BINARY_DIR) + "/bin/aviblocks";
    const auto path = temp.Path("tool.avi");
    ASSERT_EQ(RunCommand(Quoted(tool) + " --form images --frames 2 --csts-records 4 " + Quoted(path)), 0);
    std::string streams;
    ASSERT_EQ(RunCommand("ffprobe -v error -select_streams v -show_entries stream=nb_frames -of csv=p=0 " +
                             Quoted(path),
                         &streams),
              0);
    EXPECT_EQ(Lines(streams), std::vector<std::string>{"2"});

    std::vector<std::string> csts;
    std::vector<NOTES> notes;
    ASSERT_EQ(ReadInfoChunks(path.c_str(), csts, notes), 0);
    ASSERT_EQ(csts.size(), 3u);
    EXPECT_EQ(CST(csts[0], 4).Records().size(), 4u);
    EXPECT_EQ(notes[2].Title(), "Sled test 042");

    EXPECT_EQ(RunCommand(Quoted(tool) + " --size 641x479 " + Quoted(temp.Path("bad.avi")) + " 2>/dev/null"),
              2);
    EXPECT_EQ(RunCommand(Quoted(tool) + " --frames 2 2>/dev/null"), 2);
}

TEST(GeneratorOptions, ReadsAndRefusesArguments) {
    aviblocks::Options options;
    std::string error;
    ASSERT_TRUE(aviblocks::ParseOptions({"--no-csts-stream", "--rate", "250", "--size", "320x240", "x.avi"},
                                        options, error));
    EXPECT_FALSE(options.desc.cstsStream);
    EXPECT_TRUE(options.desc.noteStream);
    EXPECT_EQ(options.desc.rate, 250u);
    EXPECT_EQ(options.desc.width, 320);
    EXPECT_EQ(options.output, "x.avi");
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"--frames", "-1", "x.avi"},
                                               {"--quality", "101", "x.avi"},
                                               {"--form", "odd", "x.avi"},
                                               {"--rate"},
                                               {"a.avi", "b.avi"}}) {
        aviblocks::Options o;
        EXPECT_FALSE(aviblocks::ParseOptions(bad, o, error)) << bad[0];
    }
}
