// Menus with command ids that may be renumbered while the program runs. A popup is mirrored by a
// QMenu whose actions send WM_COMMAND with the item's current id to the menu's owner window.
#pragma once

#include <memory>
#include <vector>

#include "platform/afx/wnd/afxmsg.h"

class QMenu;
class QAction;
class CWnd;

#define MF_BYCOMMAND 0x0000u
#define MF_BYPOSITION 0x0400u
#define MF_ENABLED 0x0000u
#define MF_GRAYED 0x0001u
#define MF_DISABLED 0x0002u
#define MF_UNCHECKED 0x0000u
#define MF_CHECKED 0x0008u
#define MF_STRING 0x0000u
#define MF_POPUP 0x0010u
#define MF_SEPARATOR 0x0800u

class CMenu : public CObject {
    DECLARE_DYNAMIC(CMenu)
public:
    CMenu();
    ~CMenu() override;

    HMENU m_hMenu = nullptr;
    operator HMENU() const { return m_hMenu; }
    static CMenu* FromHandle(HMENU hMenu);

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    // Builds the menu registered under nIDResource (see resources.h).
    BOOL LoadMenu(UINT nIDResource);
    BOOL DestroyMenu();

    UINT GetMenuItemCount() const;
    // The command id at a position; (UINT)-1 for a popup, 0 for a separator.
    UINT GetMenuItemID(int nPos) const;
    CMenu* GetSubMenu(int nPos) const;
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
    UINT GetMenuState(UINT nID, UINT nFlags) const;
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
    BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
    // Replaces the id and text of an item (a popup's handle as nIDNewItem with MF_POPUP is not supported).
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
    BOOL DeleteMenu(UINT nPosition, UINT nFlags);
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable);
    UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck);
    void SetItemText(UINT nPos, LPCTSTR lpszText);

    // The Qt menu of a popup (null for a menu bar).
    QMenu* GetQMenu() const { return m_pQMenu; }
    // The window that receives the commands of this menu and its popups.
    void SetOwnerWnd(CWnd* pWnd);
    CWnd* GetOwnerWnd() const { return m_pOwnerWnd; }
    // The popup's items as the user would see them now.
    BOOL IsItemEnabled(UINT nPos) const;
    BOOL IsItemChecked(UINT nPos) const;

private:
    struct Item {
        UINT id = 0;
        CString text;
        bool separator = false;
        bool enabled = true;
        bool checked = false;
        std::unique_ptr<CMenu> sub;
        QAction* action = nullptr;
    };
    int FindPos(UINT nID, UINT nFlags) const;
    void AddItem(int pos, Item item);
    void Build(const std::vector<struct AFX_MENU_ITEM>& items);
    void OnTriggered(QAction* action);
    void OnHovered(QAction* action);
    void OnAboutToShow();

    std::vector<Item> m_items;
    QMenu* m_pQMenu = nullptr;
    CWnd* m_pOwnerWnd = nullptr;
    bool m_bPopup = false;
};
