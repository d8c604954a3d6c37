// The read-only file base: opening, 64-bit seeks, byte counts and failures.
#include <cstring>

#include "recording_files.h"
#include "vomLib/Utility/vomRfile.h"

namespace {

class RfileTest : public RecordingFiles {};

TEST_F(RfileTest, ReadsCountBytesAndStopsAtTheEnd) {
    cm8::Recording rec = Small(0, 1);
    const std::string path = Write(rec); // 512 + 1024 bytes
    vomRfile file;
    file.open(path.c_str());
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(file.size(), 1536);

    char magic[4] = {};
    EXPECT_EQ(file.read(magic, 4), 4u);
    EXPECT_EQ(0, std::memcmp(magic, "CIMG", 4));
    EXPECT_EQ(file.position(), 4);

    std::vector<char> rest(2000);
    file.seek(1000);
    EXPECT_EQ(file.read(rest.data(), 2000), 536u);
    EXPECT_EQ(file.position(), 1536);
    EXPECT_EQ(file.read(rest.data(), 10), 0u);
}

TEST_F(RfileTest, FailuresThrowTheFileLayerExceptions) {
    vomRfile file;
    EXPECT_THROW(file.open(Path("absent").c_str()), vomRfile::XOpen);
    EXPECT_FALSE(file.isOpen());
    char buffer[4];
    EXPECT_THROW(file.read(buffer, 4), vomRfile::XRead);
    EXPECT_THROW(file.seek(0), vomRfile::XSeek);
    EXPECT_EQ(file.size(), -1);

    file.open(Write(Small(0, 1)).c_str());
    EXPECT_THROW(file.seek(-1), vomRfile::XSeek);
    file.close();
    EXPECT_FALSE(file.isOpen());
    file.close(); // closing twice is harmless
}

} // namespace
