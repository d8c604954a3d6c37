// The program's resources as data: strings, menus and dialog templates by id. The program registers
// them at start-up (there is no resource compiler); the framework looks them up by the same ids.
#pragma once

#include <vector>

#include "platform/afx/core/afxcore.h"

void AfxRegisterString(UINT nID, LPCTSTR lpszText);
BOOL AfxLoadString(UINT nID, CString& rString);
CString AfxString(UINT nID);

// A menu: popups with items; an item with id 0 and no children is a separator.
struct AFX_MENU_ITEM {
    AFX_MENU_ITEM(CString t = CString(), UINT i = 0, std::vector<AFX_MENU_ITEM> c = {})
        : text(std::move(t)), id(i), children(std::move(c)) {}
    CString text;
    UINT id = 0;
    std::vector<AFX_MENU_ITEM> children;
};
void AfxRegisterMenu(UINT nID, std::vector<AFX_MENU_ITEM> popups);
const std::vector<AFX_MENU_ITEM>* AfxFindMenu(UINT nID);

// A dialog: controls with ids and places in dialog units.
enum class AfxControl {
    PushButton,
    DefPushButton,
    Edit,
    MultiLineEdit,
    Static,
    CheckBox,
    GroupBox,
    ListCtrl,
    Spin,
    BitmapButton,
    // A drop-down list; cy includes the dropped list, as in the system's templates.
    ComboBox,
    // An automatic radio button; WS_GROUP in its style starts a new group.
    RadioButton,
    // A slider; TBS_ styles choose orientation and ticks.
    Slider,
    // A progress bar (CProgressCtrl); PBS_VERTICAL fills it from the bottom.
    Progress,
    Custom
};
struct AFX_DLG_ITEM {
    AFX_DLG_ITEM(AfxControl k, int i, CString t, int x0, int y0, int w, int h, DWORD s = 0)
        : kind(k), id(i), text(std::move(t)), x(x0), y(y0), cx(w), cy(h), style(s) {}
    AfxControl kind;
    int id;
    CString text;
    int x, y, cx, cy;
    DWORD style;
};
struct AFX_DLG_TEMPLATE {
    CString caption;
    int cx = 200, cy = 100;
    CString fontName;
    int fontSize = 8;
    std::vector<AFX_DLG_ITEM> items;
};
void AfxRegisterDialog(UINT nID, AFX_DLG_TEMPLATE dialog);
const AFX_DLG_TEMPLATE* AfxFindDialog(UINT nID);
// Dialog units to pixels of the default dialog font.
inline int AfxDluX(int x) {
    return x * 3 / 2;
}
inline int AfxDluY(int y) {
    return y * 13 / 8;
}

// A toolbar: its button ids in order (0 is a separator) and their tool tips.
struct AFX_TOOLBAR_ITEM {
    UINT id;
    CString text;
};
void AfxRegisterToolBar(UINT nID, std::vector<AFX_TOOLBAR_ITEM> buttons);
const std::vector<AFX_TOOLBAR_ITEM>* AfxFindToolBar(UINT nID);

// A bitmap resource (button faces); the image is copied.
class QImage;
void AfxRegisterBitmap(UINT nID, const QImage& image);
// Null when no bitmap has that id.
const QImage* AfxFindBitmap(UINT nID);

// An icon resource: a window's icon (CWinApp::LoadIcon, and the frame of the same resource id), and
// the face of the toolbar and dialog-bar buttons of the command with that id. The icon is copied.
class QIcon;
void AfxRegisterIcon(UINT nID, const QIcon& icon);
// One of the style's standard icons (a QStyle::StandardPixmap, e.g. the media icons), taken from the
// style when the icon is first asked for, so it may be registered before the Qt application exists.
void AfxRegisterStandardIcon(UINT nID, int nStandardPixmap);
// The icon of the id: the registered icon, else the bitmap of the id; a null icon when neither.
QIcon AfxFindIcon(UINT nID);
// A handle for the icon of the id (stays valid while the program runs); null when there is none.
HICON AfxIconHandle(UINT nID);
// The icon behind a handle (a null icon for a null or unknown handle).
QIcon AfxIconFromHandle(HICON hIcon);
