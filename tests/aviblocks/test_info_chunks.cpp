// ReadInfoChunks: the 'CSTS' and 'NOTE' chunks read by walking a file's RIFF structure, on generated
// files and on damaged ones.
#include <gtest/gtest.h>

#include "aviblocks/aviblocks_test_util.h"
#include "tools/aviblocks/aviblocks_riff.h"
#include "vomLib/avilib/MjpegInfoChunks.h"

namespace {

class InfoChunks : public ::testing::Test {
protected:
    void SetUp() override {
        desc.frames = 1;
        bytes = aviblocks::BuildAvi(desc, &layout);
    }
    // Writes the bytes and reads them back.
    int Read(const std::string& file) {
        const auto path = temp.Path("info.avi");
        WriteFileBytes(path, file);
        return ReadInfoChunks(path.c_str(), csts, notes);
    }
    std::string Patched(std::uint64_t at, const std::string& with) const {
        std::string copy = bytes;
        copy.replace(at, with.size(), with);
        return copy;
    }
    static std::string U32Text(std::uint32_t v) {
        std::string s;
        PutU32(s, v);
        return s;
    }

    TempFolder temp;
    aviblocks::AviDescription desc;
    aviblocks::AviLayout layout;
    std::string bytes;
    std::vector<std::string> csts;
    std::vector<NOTES> notes;
    MessageBoxRecorder boxes;
    DebugRecorder debug;
};

} // namespace

TEST_F(InfoChunks, ReadsTheBlocksOfEveryStreamList) {
    ASSERT_EQ(layout.streamLists.size(), 3u);
    ASSERT_EQ(Read(bytes), 0);
    ASSERT_EQ(csts.size(), 3u);
    ASSERT_EQ(notes.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(csts[i], layout.cstsBlock);
        EXPECT_EQ(notes[i].RawBlock(), layout.noteBlock);
        EXPECT_EQ(notes[i].CodeText(), "3");
        EXPECT_EQ(notes[i].Title(), "Sled test 042");
        EXPECT_EQ(notes[i].CommentLines()[1], "dummy AM50");
        EXPECT_EQ(notes[i].DateText(), "2002.05.31.23:59");
        EXPECT_EQ(notes[i].ListChoices(), (std::vector<std::string>{"front", "side", "top"}));
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(InfoChunks, MissingFileShowsTheSystemMessage) {
    EXPECT_EQ(ReadInfoChunks(temp.Path("absent.avi").c_str(), csts, notes), -1);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "Error");
    EXPECT_FALSE(boxes.Boxes()[0].text.empty());
    EXPECT_EQ(boxes.Boxes()[0].type, MB_OK | MB_ICONINFORMATION);
}

TEST_F(InfoChunks, WrongIdsAreRefused) {
    const std::pair<std::uint64_t, const char*> damages[] = {{0, "RIFX"},
                                                             {8, "AVIX"},
                                                             {20, "hdrx"},
                                                             {24, "avix"},
                                                             {layout.streamLists[1] + 8, "strx"},
                                                             {layout.streamLists[0], "LIsT"}};
    for (const auto& [at, id] : damages) {
        SCOPED_TRACE(id);
        csts.clear();
        notes.clear();
        EXPECT_EQ(Read(Patched(at, id)), -1);
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(InfoChunks, StreamListWithoutTheBlocksEndsTheWalk) {
    desc.infoChunks = false;
    EXPECT_EQ(Read(aviblocks::BuildAvi(desc)), -1);
    EXPECT_TRUE(csts.empty());
    EXPECT_NE(debug.Text().find("Error CSTS chunk!!!"), std::string::npos);

    // The second list's NOTE chunk renamed: what the first list gave stays.
    EXPECT_EQ(Read(Patched(layout.noteChunks[1], "NOTX")), -1);
    EXPECT_EQ(csts.size(), 2u);
    EXPECT_EQ(notes.size(), 1u);
    EXPECT_NE(debug.Text().find("Error NOTES chunk!!!"), std::string::npos);
}

TEST_F(InfoChunks, SizesAndCountsBeyondTheFileAreRefused) {
    EXPECT_EQ(Read(Patched(layout.cstsChunks[0] + 4, U32Text(0x7FFFFFF0u))), -1);
    EXPECT_TRUE(csts.empty());
    // The third list's NOTE size is refused after the first two lists were read.
    EXPECT_EQ(Read(Patched(layout.noteChunks[2] + 4, U32Text(0xFFFFFFFFu))), -1);
    EXPECT_EQ(csts.size(), 3u);
    EXPECT_EQ(notes.size(), 2u);
    notes.clear();
    EXPECT_EQ(Read(Patched(layout.mainHeader + 8 + 24, U32Text(0xFFFFFFFFu))), -1);
    EXPECT_EQ(Read(Patched(layout.streamLists[2] + 4, U32Text(0xFFFFFFF0u))), -1);
    EXPECT_EQ(notes.size(), 2u);
    notes.clear();
    EXPECT_EQ(Read(Patched(28, U32Text(0x7FFFFFFFu))), -1); // 'avih' size
    EXPECT_TRUE(notes.empty());
}

TEST_F(InfoChunks, EveryCutOfTheHeaderFailsCleanly) {
    const std::uint64_t headerEnd = layout.movi;
    for (std::uint64_t size = 0; size < headerEnd; size += 13) {
        csts.clear();
        notes.clear();
        EXPECT_EQ(Read(bytes.substr(0, size)), -1) << size;
    }
    EXPECT_EQ(Read(bytes.substr(0, headerEnd)), 0);
}
