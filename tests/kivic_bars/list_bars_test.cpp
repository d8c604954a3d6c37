// The image-list bar and the point-position bar.
#include <gtest/gtest.h>

#include "KivIc/Bars/DlgBarImgList.h"
#include "KivIc/Bars/PosDlgBar.h"
#include "bars_test_support.h"

namespace {

class FakeListDocument : public IImgListDocument {
public:
    FakeListDocument(const char* path, const char* base, int kind) : path(path), base(base), kind(kind) {}
    CString GetPathName() const override { return path; }
    CString GetBaseName() const override { return base; }
    int GetDocKind() override { return kind; }
    void ActivateFirstView() override { ++activations; }

    CString path, base;
    int kind;
    int activations = 0;
};

TEST(ImgListBar, AddRemoveSelectAndIsOpen) {
    EnsureBarsApp();
    CDlgBarImgList bar;
    FakeListDocument first("/data/run1/cam0001.avi", "cam0001", 3);
    FakeListDocument second("/data/run1/img00000012.bmp", "img", 3);
    FakeListDocument third("/data/run2/Shot.cm8", "Shot", 2);
    bar.AddDocument(&first, "AVI"); // no window yet: nothing
    EXPECT_EQ(bar.GetItemCount(), 0);

    ASSERT_TRUE(bar.CreateBar(nullptr));
    bar.AddDocument(&first, "AVI");
    bar.AddDocument(&second, "BMP");
    bar.AddDocument(&third, "Raw");
    ASSERT_EQ(bar.GetItemCount(), 3);
    CBarReportList& list = bar.GetList();
    EXPECT_STREQ(list.GetItemText(1, 0), "/data/run1/img00000012.bmp");
    EXPECT_STREQ(list.GetItemText(1, 1), "BMP");
    EXPECT_EQ(list.GetItemImage(2), 2);

    EXPECT_TRUE(bar.IsOpen("IMG"));
    EXPECT_TRUE(bar.IsOpen("shot"));
    EXPECT_FALSE(bar.IsOpen("img00000012"));
    EXPECT_FALSE(bar.IsOpen(nullptr));

    bar.SelectDocument(&third);
    EXPECT_EQ(list.GetSelectedItem(), 2);
    EXPECT_EQ(bar.GetSelectedCount(), 1);
    list.ClickItem(0);
    EXPECT_EQ(first.activations, 1);
    EXPECT_EQ(third.activations, 0);

    bar.RemoveDocument(&second);
    EXPECT_EQ(bar.GetItemCount(), 2);
    EXPECT_FALSE(bar.IsOpen("img"));
    EXPECT_STREQ(list.GetItemText(1, 0), "/data/run2/Shot.cm8");
    bar.RemoveDocument(&second); // already gone
    EXPECT_EQ(bar.GetItemCount(), 2);
}

PositionRow Row(double x, double y, std::int16_t state) {
    PositionRow row;
    row.x = x;
    row.y = y;
    row.state = state;
    return row;
}

TEST(PositionBar, RowsWithVanishAndBlank) {
    EnsureBarsApp();
    CPosDlgBar bar;
    EXPECT_EQ(bar.AddRow(0, Row(1, 2, 0)), -1); // no window yet
    ASSERT_TRUE(bar.CreateBar(nullptr));
    EXPECT_EQ(bar.AddRow(0, Row(12.5, 300.25, 0)), 0);
    EXPECT_EQ(bar.AddRow(1, Row(5, 6, 1)), 1);
    EXPECT_EQ(bar.AddRow(2, Row(5, 6, -1)), 2);
    EXPECT_EQ(bar.AddRow(3, Row(1234567.0, -0.5, 0)), 3);
    ASSERT_EQ(bar.GetRowCount(), 4);
    EXPECT_STREQ(bar.GetRowText(0, 0), "1"); // the point's number
    EXPECT_STREQ(bar.GetRowText(0, 1), "12.5");
    EXPECT_STREQ(bar.GetRowText(0, 2), "300.25");
    EXPECT_STREQ(bar.GetRowText(1, 0), "2");
    EXPECT_STREQ(bar.GetRowText(1, 1), "Vanish");
    EXPECT_STREQ(bar.GetRowText(1, 2), "Vanish");
    EXPECT_STREQ(bar.GetRowText(2, 1), " ");
    EXPECT_STREQ(bar.GetRowText(2, 2), " ");
    EXPECT_STREQ(bar.GetRowText(3, 1), "1.23457e+06");
    EXPECT_STREQ(bar.GetRowText(3, 2), "-0.5");
    EXPECT_TRUE(bar.DeleteAllRows());
    EXPECT_EQ(bar.GetRowCount(), 0);
    for (int id : {1168, 1169, 1170, 1171})
        EXPECT_NE(bar.GetDlgItem(id), nullptr) << id;
}

} // namespace
