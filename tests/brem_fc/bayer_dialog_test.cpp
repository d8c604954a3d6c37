// The Bayer neighbourhood dialog's texts, cell colours and control layout.
#include "brem_fc_fixture.h"

#include <set>

#include "fc/BREM_FC/BayerImageDlg.h"

TEST_F(BremFcTest, DialogShowsSamplesRoundTheCursorWithDashesOutside) {
    const int w = 5, h = 4;
    std::vector<std::int16_t> plane(static_cast<std::size_t>(w * h));
    for (int i = 0; i < w * h; ++i)
        plane[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i * 8); // samples 0..19, times 8
    CBayerImageDlg dlg;
    dlg.SetImage(w, h, 0, plane.data());
    dlg.SetCursor(1, 2);
    EXPECT_EQ(dlg.PositionText(), "  1,   2");
    EXPECT_EQ(dlg.CellText(0, 0), std::to_string(11 * 2)); // sample 11 shown as twice its value
    EXPECT_EQ(dlg.CellText(-2, -1), "0");
    EXPECT_EQ(dlg.CellText(1, 3), std::to_string(19 * 2));
    EXPECT_EQ(dlg.CellText(-3, 0), "---");
    EXPECT_EQ(dlg.CellText(0, -2), "---");
    EXPECT_EQ(dlg.CellText(2, 0), "---");
    dlg.Detach();
    EXPECT_EQ(dlg.CellText(0, 0), "---");
}

TEST_F(BremFcTest, DialogCellColoursFollowEachPixelsBayerPhase) {
    CBayerImageDlg dlg;
    dlg.SetImage(8, 8, 0, nullptr);
    dlg.SetCursor(0, 0);
    // Phase 0 at even row and column: red; neighbours green; diagonal blue.
    EXPECT_EQ(dlg.CellBrush(0, 0), 0);
    EXPECT_EQ(dlg.CellBrush(0, 1), 1);
    EXPECT_EQ(dlg.CellBrush(1, 0), 2);
    EXPECT_EQ(dlg.CellBrush(-1, -1), 3);
    dlg.SetCursor(3, 0); // odd column: the cursor sits on green
    EXPECT_EQ(dlg.CellBrush(0, 0), 1);
    EXPECT_EQ(dlg.CellBrush(0, -1), 0);
    dlg.SetPhase(3);
    dlg.SetCursor(0, 0);
    EXPECT_EQ(dlg.CellBrush(0, 0), 3);
    EXPECT_EQ(CBayerImageDlg::BrushColour(0), RGB(255, 0, 0));
    EXPECT_EQ(CBayerImageDlg::BrushColour(2), RGB(0, 180, 0));
    EXPECT_EQ(CBayerImageDlg::BrushColour(3), RGB(0, 0, 255));
}

TEST_F(BremFcTest, DialogControlIdsAreTheFortyNineGridCells) {
    std::set<int> ids;
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c)
            ids.insert(CBayerImageDlg::CellControl(r, c));
    EXPECT_EQ(ids.size(), 49u);
    EXPECT_EQ(CBayerImageDlg::CellControl(0, 0), 214);
    EXPECT_EQ(CBayerImageDlg::CellControl(0, 6), 220);
    EXPECT_EQ(CBayerImageDlg::CellControl(1, 0), 223);
    EXPECT_EQ(CBayerImageDlg::CellControl(1, 1), 230);
    EXPECT_EQ(CBayerImageDlg::CellControl(6, 6), 265);
    EXPECT_EQ(ids.count(221), 0u);

    std::vector<std::int16_t> plane(64, 40);
    CBayerImageDlg dlg;
    dlg.SetImage(8, 8, 0, plane.data());
    dlg.SetCursor(5, 5);
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.ControlText(221), "  5,   5");
    EXPECT_EQ(dlg.ControlText(CBayerImageDlg::CellControl(3, 3)), "10");
    EXPECT_EQ(dlg.ControlText(CBayerImageDlg::CellControl(6, 6)), "---");
    dlg.Destroy();
    EXPECT_FALSE(dlg.HasWindow());
}
