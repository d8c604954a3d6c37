// The point-position bar's selected row: chosen by the program or by the user, and kept when the
// rows are refilled the way the main frame refreshes the list (all rows deleted, then added again).
#include <gtest/gtest.h>

#include <QTreeWidget>

#include "KivIc/Bars/PosDlgBar.h"
#include "bars_test_support.h"

namespace {

void Refill(CPosDlgBar& bar, int rows) {
    bar.DeleteAllRows();
    PositionRow row;
    row.state = -1;
    for (int i = 0; i < rows; ++i)
        bar.AddRow(i, row);
}

TEST(PositionBarSelection, SelectedRowSurvivesARefresh) {
    EnsureBarsApp();
    CPosDlgBar bar;
    EXPECT_EQ(bar.GetSelectedRow(), -1); // no window yet
    EXPECT_FALSE(bar.SelectRow(0));
    ASSERT_TRUE(bar.CreateBar(nullptr));
    Refill(bar, 3);
    EXPECT_EQ(bar.GetSelectedRow(), -1);
    EXPECT_FALSE(bar.SelectRow(3));
    EXPECT_TRUE(bar.SelectRow(1));
    EXPECT_EQ(bar.GetSelectedRow(), 1);
    Refill(bar, 3);
    EXPECT_EQ(bar.GetSelectedRow(), 1);
    Refill(bar, 3); // and again
    EXPECT_EQ(bar.GetSelectedRow(), 1);

    // The user's choice is kept alike.
    auto* tree = qobject_cast<QTreeWidget*>(bar.GetDlgItem(IDC_POS_LIST)->GetWidget());
    ASSERT_NE(tree, nullptr);
    tree->setCurrentItem(tree->topLevelItem(2));
    EXPECT_EQ(bar.GetSelectedRow(), 2);
    Refill(bar, 3);
    EXPECT_EQ(bar.GetSelectedRow(), 2);

    EXPECT_TRUE(bar.SelectRow(-1));
    EXPECT_EQ(bar.GetSelectedRow(), -1);
    Refill(bar, 3);
    EXPECT_EQ(bar.GetSelectedRow(), -1);
}

TEST(PositionBarSelection, ARowThatIsGoneAfterARefreshIsNotSelectedLater) {
    EnsureBarsApp();
    CPosDlgBar bar;
    ASSERT_TRUE(bar.CreateBar(nullptr));
    Refill(bar, 4);
    ASSERT_TRUE(bar.SelectRow(3));
    Refill(bar, 2); // fewer points now
    EXPECT_EQ(bar.GetSelectedRow(), -1);
    Refill(bar, 4);
    EXPECT_EQ(bar.GetSelectedRow(), -1);
}

} // namespace
