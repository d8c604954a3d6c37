#include "platform/afx/wnd/resources.h"

#include <map>
#include <mutex>

#include <QImage>

namespace {

struct Tables {
    std::mutex lock;
    std::map<UINT, CString> strings;
    std::map<UINT, std::vector<AFX_MENU_ITEM>> menus;
    std::map<UINT, AFX_DLG_TEMPLATE> dialogs;
    std::map<UINT, std::vector<AFX_TOOLBAR_ITEM>> toolbars;
    std::map<UINT, QImage> bitmaps;
};

Tables& T() {
    static Tables tables;
    return tables;
}

} // namespace

void AfxRegisterString(UINT nID, LPCTSTR lpszText) {
    std::lock_guard<std::mutex> lock(T().lock);
    T().strings[nID] = lpszText;
}

BOOL AfxLoadString(UINT nID, CString& rString) {
    std::lock_guard<std::mutex> lock(T().lock);
    auto it = T().strings.find(nID);
    if (it == T().strings.end()) {
        rString.Empty();
        return FALSE;
    }
    rString = it->second;
    return TRUE;
}

CString AfxString(UINT nID) {
    CString s;
    AfxLoadString(nID, s);
    return s;
}

void AfxRegisterMenu(UINT nID, std::vector<AFX_MENU_ITEM> popups) {
    std::lock_guard<std::mutex> lock(T().lock);
    T().menus[nID] = std::move(popups);
}

const std::vector<AFX_MENU_ITEM>* AfxFindMenu(UINT nID) {
    std::lock_guard<std::mutex> lock(T().lock);
    auto it = T().menus.find(nID);
    return it == T().menus.end() ? nullptr : &it->second;
}

void AfxRegisterDialog(UINT nID, AFX_DLG_TEMPLATE dialog) {
    std::lock_guard<std::mutex> lock(T().lock);
    T().dialogs[nID] = std::move(dialog);
}

const AFX_DLG_TEMPLATE* AfxFindDialog(UINT nID) {
    std::lock_guard<std::mutex> lock(T().lock);
    auto it = T().dialogs.find(nID);
    return it == T().dialogs.end() ? nullptr : &it->second;
}

void AfxRegisterToolBar(UINT nID, std::vector<AFX_TOOLBAR_ITEM> buttons) {
    std::lock_guard<std::mutex> lock(T().lock);
    T().toolbars[nID] = std::move(buttons);
}

const std::vector<AFX_TOOLBAR_ITEM>* AfxFindToolBar(UINT nID) {
    std::lock_guard<std::mutex> lock(T().lock);
    auto it = T().toolbars.find(nID);
    return it == T().toolbars.end() ? nullptr : &it->second;
}

void AfxRegisterBitmap(UINT nID, const QImage& image) {
    std::lock_guard<std::mutex> lock(T().lock);
    T().bitmaps[nID] = image;
}

const QImage* AfxFindBitmap(UINT nID) {
    std::lock_guard<std::mutex> lock(T().lock);
    auto it = T().bitmaps.find(nID);
    return it == T().bitmaps.end() ? nullptr : &it->second;
}
