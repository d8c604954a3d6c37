#include "platform/afx/wnd/resources.h"

#include <map>
#include <mutex>

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QStyle>

namespace {

struct IconEntry {
    QIcon icon;
    int standardPixmap = -1; // a style icon, fetched when asked for
};

struct Tables {
    std::mutex lock;
    std::map<UINT, CString> strings;
    std::map<UINT, std::vector<AFX_MENU_ITEM>> menus;
    std::map<UINT, AFX_DLG_TEMPLATE> dialogs;
    std::map<UINT, std::vector<AFX_TOOLBAR_ITEM>> toolbars;
    std::map<UINT, QImage> bitmaps;
    std::map<UINT, IconEntry> icons;
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

void AfxRegisterIcon(UINT nID, const QIcon& icon) {
    std::lock_guard<std::mutex> lock(T().lock);
    T().icons[nID] = IconEntry{icon, -1};
}

void AfxRegisterStandardIcon(UINT nID, int nStandardPixmap) {
    std::lock_guard<std::mutex> lock(T().lock);
    T().icons[nID] = IconEntry{QIcon(), nStandardPixmap};
}

namespace {

QIcon IconOf(const IconEntry& entry) {
    if (entry.standardPixmap < 0)
        return entry.icon;
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        return QIcon();
    return QApplication::style()->standardIcon(static_cast<QStyle::StandardPixmap>(entry.standardPixmap));
}

} // namespace

QIcon AfxFindIcon(UINT nID) {
    std::unique_lock<std::mutex> lock(T().lock);
    if (auto it = T().icons.find(nID); it != T().icons.end()) {
        const IconEntry entry = it->second;
        lock.unlock(); // the style may take its time
        return IconOf(entry);
    }
    if (auto it = T().bitmaps.find(nID); it != T().bitmaps.end())
        return QIcon(QPixmap::fromImage(it->second));
    return QIcon();
}

// An icon handle is the address of its table entry: entries are never removed, and registering the id
// again replaces the icon in place.
HICON AfxIconHandle(UINT nID) {
    if (AfxFindIcon(nID).isNull())
        return nullptr;
    std::lock_guard<std::mutex> lock(T().lock);
    auto it = T().icons.find(nID);
    if (it == T().icons.end()) // a bitmap: it gets an icon entry of its own
        it = T().icons.emplace(nID, IconEntry{QIcon(QPixmap::fromImage(T().bitmaps[nID])), -1}).first;
    return reinterpret_cast<HICON>(&it->second);
}

QIcon AfxIconFromHandle(HICON hIcon) {
    if (hIcon == nullptr)
        return QIcon();
    std::unique_lock<std::mutex> lock(T().lock);
    for (const auto& [id, entry] : T().icons) {
        if (reinterpret_cast<HICON>(const_cast<IconEntry*>(&entry)) == hIcon) {
            const IconEntry copy = entry;
            lock.unlock();
            return IconOf(copy);
        }
    }
    return QIcon();
}
