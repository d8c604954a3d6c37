// The Bayer neighbourhood dialog ("BayerImage"): the raw samples in a 7 x 7 grid round a cursor
// point, each cell coloured by the Bayer phase of its own pixel. The texts and colours are computed
// without a window, so they can be checked headless; the window is a modeless Qt dialog.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/win32/types.h"

class QDialog;

class CBayerImageDlg {
public:
    static constexpr int kDialogId = 211;
    static constexpr int kPositionControl = 221;
    static constexpr int kGrid = 7;

    CBayerImageDlg();
    ~CBayerImageDlg();
    CBayerImageDlg(const CBayerImageDlg&) = delete;
    CBayerImageDlg& operator=(const CBayerImageDlg&) = delete;

    // What the dialog shows: picture size, Bayer phase (FilterPosY x 2 + FilterPosX) and the first
    // picture row of the pipeline's raw plane (samples x 8, rows of `width`). A null plane detaches it.
    void SetImage(int width, int height, int phase, const std::int16_t* firstRow);
    void SetPhase(int phase);
    void Detach() { m_plane = nullptr; }
    void SetCursor(int x, int y);
    int CursorX() const { return m_x; }
    int CursorY() const { return m_y; }

    // "%3d, %3d" of the cursor.
    std::string PositionText() const;
    // The cell at row offset dr and column offset dc (-3..3): "%d" of the sample x 2, or "---" when the
    // point lies outside the picture (or no raw plane is attached).
    std::string CellText(int dr, int dc) const;
    // Brush index of a cell: 0 red, 1 and 2 green, 3 blue.
    int CellBrush(int dr, int dc) const;
    static COLORREF BrushColour(int index);
    // Control id of a grid cell (row and column 0..6).
    static int CellControl(int row, int column);

    // The window: created modeless without a parent; false when no application object exists.
    bool Create();
    void Destroy();
    bool HasWindow() const;
    // Writes the texts and colours into the window's controls (nothing without a window).
    void Refresh();
    // The text a control shows now (empty for an unknown id or without a window).
    std::string ControlText(int id) const;

private:
    int m_x = 0;
    int m_y = 0;
    int m_width = 0;
    int m_height = 0;
    int m_phase = 0;
    const std::int16_t* m_plane = nullptr;
    struct Window;
    std::unique_ptr<Window> m_window;
};
