// The binary record file of the point-frame table: exact bytes, round trips and damaged files.
#include "ZopDat/PointFrame.h"
#include "zopdat/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::string Le32(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return std::string{static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16),
                       static_cast<char>(u >> 24)};
}

std::string Le16(std::int16_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    return std::string{static_cast<char>(u), static_cast<char>(u >> 8)};
}

std::string LeDouble(double v) {
    std::uint64_t u = 0;
    std::memcpy(&u, &v, 8);
    std::string out;
    for (int i = 0; i < 8; ++i) {
        out += static_cast<char>(u >> (8 * i));
    }
    return out;
}

std::string EntryBytes(std::int32_t x, std::int32_t y, std::int32_t z, std::int16_t state,
                       std::int16_t flag) {
    return Le32(x) + Le32(y) + Le32(z) + Le16(state) + Le16(flag);
}

PointEntry* MakeEntry(std::int32_t x, std::int32_t y, std::int32_t z, std::int16_t state, std::int16_t flag) {
    auto* entry = new PointEntry;
    entry->x = x;
    entry->y = y;
    entry->z = z;
    entry->state = state;
    entry->flag = flag;
    return entry;
}

// A table of two frames with varied fields, to compare after a round trip.
void FillSample(PointFrame& table) {
    auto* a = new FrameRecord;
    a->frameNumber = 3;
    a->value = -17;
    a->text = "note, with comma";
    a->AddEntry(MakeEntry(1, -2, 3, 0, 1));
    a->AddEntry(MakeEntry(0, 0, 0, -1, 0));
    table.PutFrame(3, a);
    auto* b = new FrameRecord;
    b->frameNumber = 1000000;
    b->AddEntry(MakeEntry(-2147483647 - 1, 2147483647, 5, 1, 0));
    table.PutFrame(1000000, b);
}

// Save is checked byte by byte below, so a table that saves to the same bytes holds the same fields.
std::string SavedBytes(PointFrame& table, const std::string& name) {
    EXPECT_EQ(0, table.Save(name.c_str()));
    return ReadAll(name);
}

} // namespace

TEST(RecordFile, EmptyTableIsScaleAndZeroCount) {
    TempFolder folder;
    PointFrame table(2.5);
    ASSERT_EQ(0, table.Save(folder.File("t.rec").c_str()));
    const std::string bytes = ReadAll(folder.File("t.rec"));
    EXPECT_EQ(12u, bytes.size());
    EXPECT_EQ(LeDouble(2.5) + Le32(0), bytes);
    EXPECT_EQ(12u, table.GetSize());
}

TEST(RecordFile, FrameOfThreeEntriesIsSixtyFourBytesInFieldOrder) {
    TempFolder folder;
    PointFrame table(1.0);
    auto* record = new FrameRecord;
    record->frameNumber = 0x01020304;
    record->AddEntry(MakeEntry(10, -20, 30, 0, 1));
    record->AddEntry(MakeEntry(0, 0, 0, -1, 0));
    record->AddEntry(MakeEntry(-1, 65536, 7, 1, 0));
    EXPECT_EQ(64u, record->GetSize());
    table.Add(record);
    ASSERT_EQ(0, table.Save(folder.File("t.rec").c_str()));

    const std::string expected = LeDouble(1.0) + Le32(1) + Le32(0x01020304) + Le32(0) + Le32(0) + Le32(3) +
                                 EntryBytes(10, -20, 30, 0, 1) + EntryBytes(0, 0, 0, -1, 0) +
                                 EntryBytes(-1, 65536, 7, 1, 0);
    const std::string bytes = ReadAll(folder.File("t.rec"));
    EXPECT_EQ(12u + 64u, bytes.size());
    EXPECT_EQ(expected, bytes);
    // The frame number is little-endian whatever the machine.
    EXPECT_EQ('\x04', bytes[12]);
    EXPECT_EQ('\x01', bytes[15]);
}

TEST(RecordFile, TextIsLengthThenBytesWithoutTerminator) {
    TempFolder folder;
    PointFrame table(1.0);
    auto* record = new FrameRecord;
    record->frameNumber = 9;
    record->value = 5;
    record->text = "ab";
    table.Add(record);
    ASSERT_EQ(0, table.Save(folder.File("t.rec").c_str()));
    EXPECT_EQ(LeDouble(1.0) + Le32(1) + Le32(9) + Le32(5) + Le32(2) + "ab" + Le32(0),
              ReadAll(folder.File("t.rec")));
}

TEST(RecordFile, SaveAndLoadGiveBackTheSameTable) {
    TempFolder folder;
    PointFrame saved(0.25);
    FillSample(saved);
    ASSERT_EQ(0, saved.Save(folder.File("t.rec").c_str()));
    // Only the file itself is left in the folder: the temporary name was renamed over it.
    EXPECT_EQ(std::vector<std::string>{"t.rec"}, folder.Names());

    PointFrame loaded(1.0);
    loaded.Add(new FrameRecord(77, 2));
    ASSERT_EQ(0, loaded.Load(folder.File("t.rec").c_str()));
    EXPECT_EQ(0.25, loaded.GetScale());
    ASSERT_EQ(2, loaded.Count());
    EXPECT_EQ("note, with comma", loaded.Get(0)->text);
    // Saved over the original, which is replaced.
    const std::string original = ReadAll(folder.File("t.rec"));
    EXPECT_EQ(original, SavedBytes(loaded, folder.File("t.rec")));
}

TEST(RecordFile, LoadTakesFramesInFileOrderAndNegativeCountsReadNothing) {
    TempFolder folder;
    // Frames 5, 2, 5; the last with a negative text length and a negative point count.
    const std::string bytes = LeDouble(4.0) + Le32(3) + Le32(5) + Le32(0) + Le32(0) + Le32(0) + Le32(2) +
                              Le32(0) + Le32(0) + Le32(0) + Le32(5) + Le32(1) + Le32(-4) + Le32(-3);
    WriteAll(folder.File("t.rec"), bytes);
    PointFrame table(1.0);
    ASSERT_EQ(0, table.Load(folder.File("t.rec").c_str()));
    ASSERT_EQ(3, table.Count());
    EXPECT_EQ(5, table.Get(0)->frameNumber);
    EXPECT_EQ(2, table.Get(1)->frameNumber);
    EXPECT_EQ(1, table.Get(2)->value);
    EXPECT_EQ("", table.Get(2)->text);
    EXPECT_EQ(0, table.Get(2)->EntryCount());

    WriteAll(folder.File("neg.rec"), LeDouble(4.0) + Le32(-5));
    ASSERT_EQ(0, table.Load(folder.File("neg.rec").c_str()));
    EXPECT_EQ(0, table.Count());
}

class DamagedRecordFile : public ::testing::Test {
protected:
    void SetUp() override {
        table.SetScale(0.5);
        table.PutFrame(42, new FrameRecord(42, 2));
    }
    // The load fails and the table keeps its frame and scale.
    void ExpectRefused(const std::string& bytes) {
        WriteAll(folder.File("bad.rec"), bytes);
        EXPECT_EQ(-1, table.Load(folder.File("bad.rec").c_str()));
        ASSERT_EQ(1, table.Count());
        EXPECT_EQ(42, table.Get(0)->frameNumber);
        EXPECT_EQ(2, table.Get(0)->EntryCount());
        EXPECT_EQ(0.5, table.GetScale());
    }

    TempFolder folder;
    PointFrame table{1.0};
};

TEST_F(DamagedRecordFile, HugeCountsAndLengthsAreRefusedBeforeAllocating) {
    ExpectRefused(LeDouble(1.0) + Le32(0x7FFFFFFF));
    ExpectRefused(LeDouble(1.0) + Le32(1) + Le32(1) + Le32(0) + Le32(0x7FFFFFFF));
    ExpectRefused(LeDouble(1.0) + Le32(1) + Le32(1) + Le32(0) + Le32(0) + Le32(0x7FFFFFFF));
    // One entry promised, 15 of its 16 bytes present.
    ExpectRefused(LeDouble(1.0) + Le32(1) + Le32(1) + Le32(0) + Le32(0) + Le32(1) + std::string(15, '\0'));
}

TEST_F(DamagedRecordFile, EveryTruncationOfAGoodFileIsRefused) {
    PointFrame good(2.0);
    FillSample(good);
    ASSERT_EQ(0, good.Save(folder.File("good.rec").c_str()));
    const std::string bytes = ReadAll(folder.File("good.rec"));
    ASSERT_EQ(good.GetSize(), bytes.size());
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        SCOPED_TRACE(cut);
        ExpectRefused(bytes.substr(0, cut));
    }
}

TEST_F(DamagedRecordFile, MissingFileIsRefused) {
    EXPECT_EQ(-1, table.Load(folder.File("absent.rec").c_str()));
    EXPECT_EQ(1, table.Count());
    EXPECT_EQ(-1, table.Load(nullptr));
}

TEST(RecordFile, FailedSaveLeavesNoFileBehind) {
    TempFolder folder;
    PointFrame table(1.0);
    FillSample(table);
    EXPECT_EQ(-1, table.Save(folder.File("no/such/folder/t.rec").c_str()));
    // A folder in the target's place cannot be replaced: the save fails and the temporary file goes.
    std::filesystem::create_directory(folder.File("taken"));
    EXPECT_EQ(-1, table.Save(folder.File("taken").c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("taken")));
    EXPECT_EQ(std::vector<std::string>{"taken"}, folder.Names());
}

TEST(RecordFile, ExistsTestsTheExactName) {
    TempFolder folder;
    WriteAll(folder.File("a.rec"), "x");
    MAFile file;
    EXPECT_TRUE(file.Exists(folder.File("a.rec").c_str()));
    EXPECT_TRUE(file.Exists(folder.Path().string()));
    EXPECT_FALSE(file.Exists(folder.File("b.rec")));
    EXPECT_FALSE(file.Exists(folder.File("*.rec").c_str()));
    EXPECT_FALSE(file.Exists(folder.File("?.rec")));
    EXPECT_FALSE(file.Exists(std::string()));
    EXPECT_FALSE(file.Exists(static_cast<const char*>(nullptr)));
}

TEST(RecordFile, FileModesAndShortReads) {
    TempFolder folder;
    const std::string name = folder.File("m.bin");
    MAFile file;
    EXPECT_EQ(-1, file.Open(name.c_str(), MAFile::kModeRead));
    EXPECT_EQ(-1, file.Open(name.c_str(), MAFile::kModeWriteExisting));
    ASSERT_EQ(0, file.Open(name.c_str(), MAFile::kModeCreate));
    EXPECT_EQ(0, file.Write("xyz", 3));
    file.Close();
    // The existing-file mode writes without cutting the file.
    ASSERT_EQ(0, file.Open(name.c_str(), MAFile::kModeWriteExisting));
    EXPECT_EQ(0, file.Write("Q", 1));
    file.Close();
    EXPECT_EQ("Qyz", ReadAll(name));

    ASSERT_EQ(0, file.Open(name.c_str(), MAFile::kModeRead));
    char buffer[8] = {};
    EXPECT_EQ(3, file.Read(buffer, sizeof buffer));
    EXPECT_EQ(0, file.Read(buffer, sizeof buffer));
    std::int32_t value = 0;
    EXPECT_EQ(-1, file.ReadInt32(value));
    // Writing to a file opened for reading is reported, not thrown.
    EXPECT_EQ(-1, file.Write("a", 1));
    file.Close();
}

TEST(RecordFile, WriteFailuresAreReportedAsMinusOne) {
    TempFolder folder;
    WriteAll(folder.File("ro.rec"), "");
    PointFrame table(1.0);
    table.PutFrame(1, new FrameRecord(1, 3));
    // A file open for reading refuses every write; each level reports it.
    MAFile file;
    ASSERT_EQ(0, file.Open(folder.File("ro.rec").c_str(), MAFile::kModeRead));
    EXPECT_EQ(-1, file.WriteInt32(1));
    EXPECT_EQ(-1, table.Write(file));
    EXPECT_EQ(-1, table.Get(0)->Write(file));
    EXPECT_EQ(-1, table.Get(0)->GetEntry(0)->Write(file));
    file.Close();
    EXPECT_EQ("", ReadAll(folder.File("ro.rec")));
}
