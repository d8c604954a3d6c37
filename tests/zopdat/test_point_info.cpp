// Point descriptions and their job-file value lines.
#include "ZopDat/JobFile.h"
#include "ZopDat/PointInfo.h"
#include "zopdat/TempFolder.h"

#include <gtest/gtest.h>

namespace {

PointInfo DocumentPoint(int n) {
    PointInfo info;
    info.number = n;
    info.name = "P" + std::to_string(n);
    info.flag = 1;
    return info;
}

} // namespace

TEST(PointInfoText, DocumentPointsWriteTheirValueLine) {
    TempFolder folder;
    JobFile file;
    ASSERT_TRUE(file.Open(folder.File("p.txt").c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(0, DocumentPoint(1).Write(file, 1, "Point%03d"));
    EXPECT_EQ(0, DocumentPoint(3).Write(file, 3, "Point%03d"));
    PointInfo odd;
    odd.number = -4;
    odd.name = "left knee";
    odd.attribute = -2147483647 - 1;
    EXPECT_EQ(0, odd.Write(file, 4, "Point%03d"));
    file.Close();
    EXPECT_EQ("Point001=1,P1,0,1\r\nPoint003=3,P3,0,1\r\nPoint004=-4,left knee,-2147483648,0\r\n",
              ReadAll(folder.File("p.txt")));

    ASSERT_TRUE(file.Open(folder.File("p.txt").c_str(), CFile::modeRead));
    PointInfo read;
    EXPECT_EQ(0, read.Read(file, 1, "Point%03d"));
    EXPECT_EQ(1, read.number);
    EXPECT_EQ("P1", read.name);
    EXPECT_EQ(0, read.attribute);
    EXPECT_EQ(1, read.flag);
    // The next line carries another key: refused, fields kept, line consumed.
    EXPECT_EQ(-1, read.Read(file, 2, "Point%03d"));
    EXPECT_EQ("P1", read.name);
    EXPECT_EQ(0, read.Read(file, 4, "Point%03d"));
    EXPECT_EQ(-4, read.number);
    EXPECT_EQ("left knee", read.name);
    EXPECT_EQ(-2147483647 - 1, read.attribute);
    EXPECT_EQ(-1, read.Read(file, 5, "Point%03d"));
}

TEST(PointInfoText, NamesEndAtACommaAndMissingFieldsAreEmpty) {
    PointInfo info;
    info.number = 2;
    info.name = "a,b";
    info.attribute = 7;
    info.flag = 1;
    PointInfo read;
    read.SetFromText(info.Text());
    EXPECT_EQ(2, read.number);
    EXPECT_EQ("a", read.name);
    EXPECT_EQ(0, read.attribute);
    EXPECT_EQ(7, read.flag);

    PointInfo two;
    two.attribute = 5;
    two.flag = 5;
    two.SetFromText("9,Nine");
    EXPECT_EQ(9, two.number);
    EXPECT_EQ("Nine", two.name);
    EXPECT_EQ(0, two.attribute);
    EXPECT_EQ(0, two.flag);
}

TEST(PointInfoText, LongNamesAreKeptWhole) {
    TempFolder folder;
    PointInfo info = DocumentPoint(1);
    info.name = std::string(5000, 'n');
    JobFile file;
    ASSERT_TRUE(file.Open(folder.File("p.txt").c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(0, info.Write(file, 1, "P%d"));
    file.Close();
    ASSERT_TRUE(file.Open(folder.File("p.txt").c_str(), CFile::modeRead));
    PointInfo read;
    EXPECT_EQ(0, read.Read(file, 1, "P%d"));
    EXPECT_EQ(info.name, read.name);
    EXPECT_EQ(1, read.flag);
}

TEST(PointInfoText, KeyedAccessOfTheSequentialFileDoesNothing) {
    TempFolder folder;
    JobFile file;
    ASSERT_TRUE(file.Open(folder.File("p.txt").c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(0, DocumentPoint(1).WriteKeyed(file, 1, "P%d"));
    file.Close();
    EXPECT_EQ("", ReadAll(folder.File("p.txt")));

    PointInfo read = DocumentPoint(6);
    read.attribute = 3;
    EXPECT_EQ(0, read.ReadKeyed(file, 1, "P%d"));
    EXPECT_EQ(0, read.number);
    EXPECT_EQ("", read.name);
    EXPECT_EQ(0, read.attribute);
    EXPECT_EQ(0, read.flag);
}

TEST(PointInfoText, KeyFormatsOtherThanOneIntegerAreRefused) {
    TempFolder folder;
    JobFile file;
    ASSERT_TRUE(file.Open(folder.File("p.txt").c_str(), CFile::modeCreate | CFile::modeWrite));
    const PointInfo info = DocumentPoint(1);
    PointInfo copy(info);
    EXPECT_EQ(-1, copy.Write(file, 1, "P%s"));
    EXPECT_EQ(-1, copy.Write(file, 1, "P%d%d"));
    EXPECT_EQ(-1, copy.Write(file, 1, "P"));
    EXPECT_EQ(-1, copy.Write(file, 1, "P%99999d"));
    EXPECT_EQ(-1, copy.Write(file, 1, nullptr));
    EXPECT_EQ(0, copy.Write(file, 1, "100%% P%-3d|"));
    file.Close();
    EXPECT_EQ("100% P1  |=1,P1,0,1\r\n", ReadAll(folder.File("p.txt")));
}
