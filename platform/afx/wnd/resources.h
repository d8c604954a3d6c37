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
