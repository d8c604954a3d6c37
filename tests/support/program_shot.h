// Screenshots of the tests that show windows for real. Under X (xvfb-run with QT_QPA_PLATFORM=xcb)
// the picture is the whole screen, so menus, dialogs and the windows around the one tested are in it;
// elsewhere it is the widget's own. They go to KIVIC_SHOT_DIR, else to shots/ in the build folder.
#pragma once

#include <string>

#include <QPixmap>

class QWidget;

// Where a screenshot of that name goes; the folder is made when missing.
std::string ShotPath(const std::string& name);

// The screen under X, else the widget's own picture; *wholeScreen (when given) tells which, so that
// places in the picture can be found (global coordinates on the screen, the widget's own otherwise).
QPixmap GrabShot(QWidget* widget, bool* wholeScreen = nullptr);

// Saves the picture as the named screenshot; *path (when given) receives where it was to go.
bool SaveShot(const QPixmap& pixmap, const std::string& name, std::string* path = nullptr);

// GrabShot, then SaveShot.
bool KeepShot(QWidget* widget, const std::string& name, std::string* path = nullptr);

// What a window manager does with the program's windows, for an X screen that has none (bare Xvfb):
// the windows that stay on top are raised above the others, each window owned by one of them above
// its owner, and given the time to redraw. Nothing elsewhere.
void StackAsWindowManager();

// The share of the window's pixels that the picture of the whole screen shows as the window draws them:
// how much of it the user sees where it stands (1 when the picture is the window's own).
double ShareSeen(QWidget* window, const QPixmap& screen, bool wholeScreen);
