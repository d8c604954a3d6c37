// Index mapping with mirroring, the floor-division helpers, and the folder check.
#include <gtest/gtest.h>

#include "KivIc/Dialogs/SHBFolder.h"
#include "KivIc/Helpers/ChartAxis.h"
#include "KivIc/Helpers/CommImgFunc.h"
#include "KivIc/Helpers/DateTime.h"
#include "afx_core/temp_dir.h"

namespace {

class FakeImgFunc : public CCommImgFunc {
public:
    void BeginUpdate() override {}
    int GetStatus() override { return 0; }
    void SetPointPosition(PointFrame*, long, int, int, double, double, BOOL, BOOL) override {}
    void GoToFrame(long) override {}
    void EndUpdate() override {}
    void ShowFrame(long) override {}
    BYTE* GetFrameGray(long, int*, int*) override { return nullptr; }
    void ConvertPoint(int, double, double, double*, double*) override {}
    BYTE* GetFrameRgb(long, int*, int*, int*, int*) override { return nullptr; }
    BYTE* ConvertToGray(const BYTE*, int, int) override { return nullptr; }
};

TEST(MapIndexTest, MirrorsAgainstTheCountAndUsesTheObjectsOwnForMinusOne) {
    FakeImgFunc f;
    EXPECT_EQ(f.m_nCount, 0);
    EXPECT_EQ(f.m_nMirror1, 1);
    int x = -9, y = -9;
    EXPECT_FALSE(f.MapIndex(3, 4, -1, TRUE, &x, &y)); // the object's count is still 0
    EXPECT_EQ(x, -9);
    f.m_nCount = 480;
    EXPECT_TRUE(f.MapIndex(3, 4, -1, TRUE, &x, &y));
    EXPECT_EQ(x, 3);
    EXPECT_EQ(y, 476);
    EXPECT_TRUE(f.MapIndex(3, 4, 100, FALSE, &x, &y));
    EXPECT_EQ(y, 4);
    EXPECT_FALSE(f.MapIndex(3, 4, 0, TRUE, &x, &y));
    double dx = 0, dy = 0;
    EXPECT_TRUE(f.MapIndex(1.5, 10.25, 20, TRUE, &dx, &dy));
    EXPECT_DOUBLE_EQ(dx, 1.5);
    EXPECT_DOUBLE_EQ(dy, 9.75);
    f.m_nMirror2 = 0;
    EXPECT_TRUE(f.MapIndex2(1.5, 10.25, -1, &dx, &dy));
    EXPECT_DOUBLE_EQ(dy, 10.25);
    EXPECT_TRUE(f.MapPoint(2, 30, -1, &x, &y));
    EXPECT_EQ(y, 450);
}

TEST(DateTimeTest, DivisionsRoundTowardMinusInfinity) {
    EXPECT_EQ(datetime::FloorHalf(-7), -4);
    EXPECT_EQ(datetime::FloorHalf(7), 3);
    EXPECT_EQ(datetime::FloorSevenTenths(-3), -3);
    EXPECT_EQ(datetime::FloorSevenTenths(3), 2);
    EXPECT_EQ(datetime::FloorSevenTenths(-10), -7);
    EXPECT_EQ(datetime::FloorFifth(-1), -1);
    EXPECT_EQ(datetime::FloorFifth(-5), -1);
    EXPECT_EQ(datetime::FloorTenth(-11), -2);
    EXPECT_EQ(datetime::FloorFortieth(39), 0);
    EXPECT_EQ(datetime::FloorFortieth(-40), -1);
    EXPECT_EQ(datetime::FloorHundredth(-101), -2);
    EXPECT_EQ(datetime::FloorHundredth(199), 1);
    EXPECT_EQ(datetime::Identity(-12), -12);
    EXPECT_EQ(datetime::FloorSevenTenths(4000000000LL), 2800000000LL); // no overflow of the product
    CChartAxis axis;                                                   // holds nothing
    (void)axis;
}

TEST(SHBFolderTest, ExistingDirectoriesIncludingTheRoot) {
    TempDir dir;
    TempDir::WriteAll(dir.Path("file.txt"), "x");
    CSHBFolder folder;
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    EXPECT_STREQ(folder.GetPath(), cwd);
    EXPECT_TRUE(folder.IsValidFolder("/"));
    EXPECT_TRUE(folder.IsValidFolder(dir.Path("").c_str())); // with its trailing slash
    const std::string plain = dir.Path("").substr(0, dir.Path("").size() - 1);
    EXPECT_TRUE(folder.IsValidFolder(plain.c_str()));
    EXPECT_TRUE(folder.IsValidFolder("."));
    EXPECT_FALSE(folder.IsValidFolder(dir.Path("file.txt").c_str()));
    EXPECT_FALSE(folder.IsValidFolder(dir.Path("missing").c_str()));
    EXPECT_FALSE(folder.IsValidFolder(""));
    EXPECT_FALSE(folder.IsValidFolder(nullptr));
    EXPECT_FALSE(folder.IsValidFolder("ab"));
}

} // namespace
