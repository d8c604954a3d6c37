// The point-frame table in memory and its CSV export.
#include "ZopDat/PointFrame.h"
#include "zopdat/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

FrameRecord* Frame(int number, int points = 1) {
    return new FrameRecord(number, points);
}

std::vector<int> FrameNumbers(PointFrame& table) {
    std::vector<int> numbers;
    for (int i = 0; i < table.Count(); ++i) {
        numbers.push_back(table.Get(i)->frameNumber);
    }
    return numbers;
}

} // namespace

TEST(PointFrameTable, PutFrameKeepsFramesAscendingAndReplacesEqualOnes) {
    PointFrame table(1.0);
    EXPECT_EQ(0, table.PutFrame(5, Frame(5)));
    EXPECT_EQ(0, table.PutFrame(3, Frame(3)));
    EXPECT_EQ(2, table.PutFrame(9, Frame(9)));
    FrameRecord* second = Frame(3, 4);
    EXPECT_EQ(0, table.PutFrame(3, second));
    EXPECT_EQ((std::vector<int>{3, 5, 9}), FrameNumbers(table));
    EXPECT_EQ(second, table.Get(0));
    EXPECT_EQ(4, table.Get(0)->EntryCount());
    EXPECT_EQ(2, table.PutFrame(7, Frame(7)));
    EXPECT_EQ((std::vector<int>{3, 5, 7, 9}), FrameNumbers(table));
    EXPECT_EQ(table.Get(1), table.FindFrame(5));
    EXPECT_EQ(nullptr, table.FindFrame(4));
    EXPECT_EQ(-1, table.PutFrame(1, nullptr));
}

TEST(PointFrameTable, IndexOperationsRefuseIndexesOutsideTheTable) {
    PointFrame table(1.0);
    EXPECT_EQ(nullptr, table.Get(0));
    FrameRecord outside(99, 0);
    EXPECT_EQ(0, table.Insert(0, &outside));
    EXPECT_EQ(0, table.Replace(0, &outside));
    EXPECT_EQ(0, table.Delete(0));
    EXPECT_EQ(1, table.Add(Frame(1)));
    EXPECT_EQ(1, table.Add(Frame(2)));
    EXPECT_EQ(0, table.Insert(2, &outside));
    EXPECT_EQ(0, table.Replace(-1, &outside));
    EXPECT_EQ(nullptr, table.Get(2));
    EXPECT_EQ(nullptr, table.Get(-1));

    EXPECT_EQ(1, table.Insert(0, Frame(0)));
    EXPECT_EQ(1, table.Replace(2, Frame(20)));
    EXPECT_EQ((std::vector<int>{0, 1, 20}), FrameNumbers(table));
    EXPECT_EQ(1, table.Delete(1));
    EXPECT_EQ((std::vector<int>{0, 20}), FrameNumbers(table));
    table.Clear();
    EXPECT_EQ(0, table.Count());
}

TEST(PointFrameTable, CopiesAreDeep) {
    PointFrame table(0.5);
    table.PutFrame(4, Frame(4, 2));
    table.Get(0)->text = "t";
    PointFrame copy(table);
    EXPECT_EQ(0.5, copy.GetScale());
    ASSERT_EQ(1, copy.Count());
    EXPECT_NE(table.Get(0), copy.Get(0));
    EXPECT_NE(table.Get(0)->GetEntry(0), copy.Get(0)->GetEntry(0));
    copy.Get(0)->GetEntry(1)->x = 77;
    EXPECT_EQ(0, table.Get(0)->GetEntry(1)->x);
    EXPECT_EQ("t", copy.Get(0)->text);

    PointFrame assigned(3.0);
    assigned.PutFrame(1, Frame(1));
    assigned = table;
    EXPECT_EQ((std::vector<int>{4}), FrameNumbers(assigned));
    assigned = assigned;
    EXPECT_EQ(1, assigned.Count());
}

TEST(PointFrameTable, PositionsAreTruncatedToTheScale) {
    PointFrame table(1.0);
    PointEntry entry;
    entry.state = PointEntry::kFound;
    table.SetPosition(entry, 12.7, -3.9, 0.0);
    EXPECT_EQ(12, entry.x);
    EXPECT_EQ(-3, entry.y);
    EXPECT_EQ(0, entry.z);
    PositionRow row = table.GetPosition(entry);
    EXPECT_EQ(12.0, row.x);
    EXPECT_EQ(-3.0, row.y);
    EXPECT_EQ(0.0, row.z);
    EXPECT_EQ(0, row.state);
    EXPECT_EQ(0, row.flag);

    // Entries without a found position are not touched, and report their integers unscaled.
    PointEntry lost;
    lost.state = PointEntry::kLost;
    lost.x = 5;
    lost.flag = 1;
    table.SetPosition(lost, 100.0, 100.0, 100.0);
    EXPECT_EQ(5, lost.x);
    PointEntry none;
    table.SetPosition(none, 1.0, 1.0, 1.0);
    EXPECT_EQ(0, none.x);

    // Positions beyond the 32-bit range are held at its ends rather than wrapping.
    table.SetPosition(entry, 1e12, -1e12, std::nan(""));
    EXPECT_EQ(2147483647, entry.x);
    EXPECT_EQ(-2147483647 - 1, entry.y);
    EXPECT_EQ(0, entry.z);
}

TEST(PointFrameTable, SetScaleRescalesFoundEntriesOnly) {
    PointFrame table(1.0);
    auto* record = Frame(1, 2);
    record->GetEntry(0)->state = PointEntry::kFound;
    table.SetPosition(*record->GetEntry(0), 12.7, -3.9, 0.0);
    record->GetEntry(1)->state = PointEntry::kLost;
    record->GetEntry(1)->x = 7;
    table.PutFrame(1, record);

    table.SetScale(0.5);
    EXPECT_EQ(0.5, table.GetScale());
    EXPECT_EQ(24, record->GetEntry(0)->x);
    EXPECT_EQ(-6, record->GetEntry(0)->y);
    EXPECT_EQ(0, record->GetEntry(0)->z);
    EXPECT_EQ(7, record->GetEntry(1)->x);
    PositionRow row = table.GetPosition(*record->GetEntry(0));
    EXPECT_EQ(12.0, row.x);
    EXPECT_EQ(-3.0, row.y);
    EXPECT_EQ(7.0, table.GetPosition(*record->GetEntry(1)).x);

    // Zero, the current scale and non-finite scales change nothing.
    table.SetScale(0.0);
    table.SetScale(0.5);
    table.SetScale(INFINITY);
    table.SetScale(std::nan(""));
    EXPECT_EQ(0.5, table.GetScale());
    EXPECT_EQ(24, record->GetEntry(0)->x);

    table.SetScale(4.0);
    EXPECT_EQ(3, record->GetEntry(0)->x);
    EXPECT_EQ(0, record->GetEntry(0)->y);
    EXPECT_EQ(12.0, table.GetPosition(*record->GetEntry(0)).x);
}

class CsvExport : public ::testing::Test {
protected:
    std::string Export(int dimensions, const std::vector<std::string>& names = {"P1", "P2"}) {
        EXPECT_EQ(1, table.ExportCsv(folder.File("out.csv").c_str(), names, dimensions));
        return ReadAll(folder.File("out.csv"));
    }

    TempFolder folder;
    PointFrame table{1.0};
};

TEST_F(CsvExport, EmptyTableGivesTheHeaderAlone) {
    EXPECT_EQ("Frame No.,P1-X,P1-Y,P2-X,P2-Y\n", Export(2));
    EXPECT_EQ("Frame No.,P1-X,P2-X\n", Export(1));
    EXPECT_EQ("Frame No.,A-X,A-Y,A-Z\n", Export(3, {"A"}));
    EXPECT_EQ(std::vector<std::string>{"out.csv"}, folder.Names());
}

TEST_F(CsvExport, RowsHoldPositionsAndEmptyCellsForPointsWithoutOne) {
    auto* record = Frame(7, 3);
    record->GetEntry(0)->state = PointEntry::kFound;
    table.SetPosition(*record->GetEntry(0), 10.0, 20.0, 30.0);
    record->GetEntry(1)->state = PointEntry::kLost;
    record->GetEntry(1)->x = 99;
    // The third entry never had a position (state -1): empty cells, not zeros.
    table.PutFrame(7, record);
    auto* early = Frame(-2, 1);
    early->GetEntry(0)->state = PointEntry::kFound;
    table.SetPosition(*early->GetEntry(0), -1.0, 2.0, 0.0);
    table.PutFrame(-2, early);

    EXPECT_EQ("Frame No.,P1-X,P1-Y,P2-X,P2-Y\n"
              "-2,-1.000,2.000\n"
              "7,10.000,20.000,,,,\n",
              Export(2));
    EXPECT_EQ("Frame No.,P1-X,P1-Y,P1-Z,P2-X,P2-Y,P2-Z\n"
              "-2,-1.000,2.000,0.000\n"
              "7,10.000,20.000,30.000,,,,,,\n",
              Export(3));
}

TEST_F(CsvExport, ScaledPositionsKeepThreeDecimals) {
    table.SetScale(0.25);
    auto* record = Frame(1, 1);
    record->GetEntry(0)->state = PointEntry::kFound;
    table.SetPosition(*record->GetEntry(0), 1.5, 2.8, 0.0);
    table.PutFrame(1, record);
    EXPECT_EQ("Frame No.,P-X,P-Y\n1,1.500,2.750\n", Export(2, {"P"}));
}

TEST_F(CsvExport, FailureLeavesAnExistingFileAlone) {
    WriteAll(folder.File("out.csv"), "old");
    std::filesystem::create_directory(folder.File("dir"));
    EXPECT_EQ(0, table.ExportCsv(folder.File("dir").c_str(), {"P1"}, 2));
    EXPECT_EQ(0, table.ExportCsv(folder.File("missing/out.csv").c_str(), {"P1"}, 2));
    EXPECT_EQ(0, table.ExportCsv(nullptr, {"P1"}, 2));
    EXPECT_EQ("old", ReadAll(folder.File("out.csv")));
    EXPECT_EQ(2u, folder.Names().size());
}
