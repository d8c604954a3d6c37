#include "platform/afx/wnd/menu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include "platform/afx/wnd/prompts.h"
#include "platform/afx/wnd/resources.h"
#include "platform/afx/wnd/wnd.h"

IMPLEMENT_DYNAMIC(CMenu, CObject)

// Popup menus tell their owner window before they open, so it can update their items.
#define WM_KIVIC_MENUPOPUP WM_INITMENUPOPUP

namespace {

// "&Open...\tCtrl+O": the key the text names after its tab runs the item while its menu is the
// window's menu bar, as the menu tells the user. Only keys with a modifier or function keys count, so
// the rest of a text that merely holds a tab (a file name) takes no key.
void TakeKeyFromText(QAction* action, const QString& text) {
    const qsizetype tab = text.indexOf('\t');
    QKeySequence key;
    if (tab >= 0) {
        const QKeySequence named = QKeySequence::fromString(text.mid(tab + 1), QKeySequence::PortableText);
        if (named.count() == 1) {
            const QKeyCombination combination = named[0];
            const bool function = combination.key() >= Qt::Key_F1 && combination.key() <= Qt::Key_F35;
            if (function || (combination.keyboardModifiers() & (Qt::ControlModifier | Qt::AltModifier)))
                key = named;
        }
    }
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
}

} // namespace

CMenu::CMenu() = default;

CMenu::~CMenu() {
    DestroyMenu();
}

CMenu* CMenu::FromHandle(HMENU hMenu) {
    return reinterpret_cast<CMenu*>(hMenu);
}

BOOL CMenu::CreateMenu() {
    DestroyMenu();
    m_hMenu = reinterpret_cast<HMENU>(this);
    m_bPopup = false;
    return TRUE;
}

BOOL CMenu::CreatePopupMenu() {
    DestroyMenu();
    m_hMenu = reinterpret_cast<HMENU>(this);
    m_bPopup = true;
    m_pQMenu = new QMenu;
    QObject::connect(m_pQMenu, &QMenu::aboutToShow, [this]() { OnAboutToShow(); });
    QObject::connect(m_pQMenu, &QMenu::hovered, [this](QAction* action) { OnHovered(action); });
    QObject::connect(m_pQMenu, &QMenu::aboutToHide, [this]() {
        if (m_pOwnerWnd != nullptr)
            m_pOwnerWnd->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
    });
    return TRUE;
}

BOOL CMenu::DestroyMenu() {
    if (m_hMenu == nullptr)
        return FALSE;
    m_items.clear();
    delete m_pQMenu;
    m_pQMenu = nullptr;
    m_hMenu = nullptr;
    return TRUE;
}

void CMenu::Build(const std::vector<AFX_MENU_ITEM>& items) {
    for (const AFX_MENU_ITEM& it : items) {
        if (!it.children.empty()) {
            auto sub = std::make_unique<CMenu>();
            sub->CreatePopupMenu();
            sub->Build(it.children);
            Item item;
            item.text = it.text;
            item.sub = std::move(sub);
            AddItem(static_cast<int>(m_items.size()), std::move(item));
        } else if (it.id == 0 && it.text.IsEmpty()) {
            AppendMenu(MF_SEPARATOR);
        } else {
            AppendMenu(MF_STRING, it.id, it.text);
        }
    }
}

BOOL CMenu::LoadMenu(UINT nIDResource) {
    const std::vector<AFX_MENU_ITEM>* items = AfxFindMenu(nIDResource);
    if (items == nullptr)
        return FALSE;
    CreateMenu();
    Build(*items);
    return TRUE;
}

UINT CMenu::GetMenuItemCount() const {
    return static_cast<UINT>(m_items.size());
}

UINT CMenu::GetMenuItemID(int nPos) const {
    if (nPos < 0 || nPos >= static_cast<int>(m_items.size()))
        return static_cast<UINT>(-1);
    const Item& item = m_items[static_cast<size_t>(nPos)];
    if (item.sub)
        return static_cast<UINT>(-1);
    return item.separator ? 0 : item.id;
}

CMenu* CMenu::GetSubMenu(int nPos) const {
    if (nPos < 0 || nPos >= static_cast<int>(m_items.size()))
        return nullptr;
    return m_items[static_cast<size_t>(nPos)].sub.get();
}

int CMenu::FindPos(UINT nID, UINT nFlags) const {
    if (nFlags & MF_BYPOSITION)
        return nID < m_items.size() ? static_cast<int>(nID) : -1;
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (!m_items[i].sub && !m_items[i].separator && m_items[i].id == nID)
            return static_cast<int>(i);
    }
    return -1;
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
    const int pos = FindPos(nIDItem, nFlags);
    rString = pos >= 0 ? m_items[static_cast<size_t>(pos)].text : CString();
    return rString.GetLength();
}

UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const {
    const int pos = FindPos(nID, nFlags);
    if (pos < 0)
        return static_cast<UINT>(-1);
    const Item& item = m_items[static_cast<size_t>(pos)];
    return (item.enabled ? MF_ENABLED : MF_GRAYED) | (item.checked ? MF_CHECKED : 0u) |
           (item.separator ? MF_SEPARATOR : 0u) | (item.sub ? MF_POPUP : 0u);
}

void CMenu::AddItem(int pos, Item item) {
    if (item.sub && item.sub->m_pQMenu != nullptr)
        item.sub->m_pQMenu->setTitle(QString::fromUtf8(item.text.GetString()));
    if (m_pQMenu != nullptr) {
        QAction* before =
            pos < static_cast<int>(m_items.size()) ? m_items[static_cast<size_t>(pos)].action : nullptr;
        QAction* action = nullptr;
        if (item.separator) {
            action = new QAction(m_pQMenu);
            action->setSeparator(true);
        } else if (item.sub) {
            action = item.sub->m_pQMenu->menuAction();
        } else {
            action = new QAction(QString::fromUtf8(item.text.GetString()), m_pQMenu);
            TakeKeyFromText(action, action->text());
            QObject::connect(action, &QAction::triggered, [this, action]() { OnTriggered(action); });
        }
        m_pQMenu->insertAction(before, action);
        item.action = action;
    }
    if (item.sub)
        item.sub->SetOwnerWnd(m_pOwnerWnd);
    m_items.insert(m_items.begin() + pos, std::move(item));
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem) {
    return InsertMenu(static_cast<UINT>(m_items.size()), nFlags | MF_BYPOSITION, nIDNewItem, lpszNewItem);
}

BOOL CMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem) {
    if (m_hMenu == nullptr)
        return FALSE;
    int pos = static_cast<int>(m_items.size());
    if (nFlags & MF_BYPOSITION) {
        if (nPosition < m_items.size())
            pos = static_cast<int>(nPosition);
    } else {
        const int found = FindPos(nPosition, MF_BYCOMMAND);
        if (found >= 0)
            pos = found;
    }
    Item item;
    if (nFlags & MF_POPUP) {
        // The popup given by handle is taken over.
        CMenu* popup = CMenu::FromHandle(reinterpret_cast<HMENU>(nIDNewItem));
        if (popup == nullptr)
            return FALSE;
        auto owned = std::make_unique<CMenu>();
        owned->CreatePopupMenu();
        for (Item& moved : popup->m_items) {
            Item copy;
            copy.id = moved.id;
            copy.text = moved.text;
            copy.separator = moved.separator;
            owned->AddItem(static_cast<int>(owned->m_items.size()), std::move(copy));
        }
        item.sub = std::move(owned);
    } else {
        item.id = static_cast<UINT>(nIDNewItem);
        item.separator = (nFlags & MF_SEPARATOR) != 0;
        item.enabled = !(nFlags & (MF_GRAYED | MF_DISABLED));
        item.checked = (nFlags & MF_CHECKED) != 0;
    }
    item.text = lpszNewItem != nullptr ? lpszNewItem : "";
    AddItem(pos, std::move(item));
    return TRUE;
}

BOOL CMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem) {
    const int pos = FindPos(nPosition, nFlags);
    if (pos < 0)
        return FALSE;
    Item& item = m_items[static_cast<size_t>(pos)];
    if (item.sub)
        return FALSE;
    item.id = static_cast<UINT>(nIDNewItem);
    if (lpszNewItem != nullptr && !(nFlags & MF_SEPARATOR))
        SetItemText(static_cast<UINT>(pos), lpszNewItem);
    return TRUE;
}

BOOL CMenu::DeleteMenu(UINT nPosition, UINT nFlags) {
    const int pos = FindPos(nPosition, nFlags);
    if (pos < 0)
        return FALSE;
    Item& item = m_items[static_cast<size_t>(pos)];
    if (m_pQMenu != nullptr && item.action != nullptr) {
        m_pQMenu->removeAction(item.action);
        if (!item.sub)
            delete item.action;
    }
    m_items.erase(m_items.begin() + pos);
    return TRUE;
}

UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable) {
    const int pos = FindPos(nIDEnableItem, nEnable);
    if (pos < 0)
        return static_cast<UINT>(-1);
    Item& item = m_items[static_cast<size_t>(pos)];
    const UINT old = item.enabled ? MF_ENABLED : MF_GRAYED;
    item.enabled = !(nEnable & (MF_GRAYED | MF_DISABLED));
    if (item.action != nullptr)
        item.action->setEnabled(item.enabled);
    return old;
}

UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck) {
    const int pos = FindPos(nIDCheckItem, nCheck);
    if (pos < 0)
        return static_cast<UINT>(-1);
    Item& item = m_items[static_cast<size_t>(pos)];
    const UINT old = item.checked ? MF_CHECKED : MF_UNCHECKED;
    item.checked = (nCheck & MF_CHECKED) != 0;
    if (item.action != nullptr && !item.sub) {
        // Only items that were ever checked show a check box.
        item.action->setCheckable(item.checked || item.action->isCheckable());
        item.action->setChecked(item.checked);
    }
    return old;
}

void CMenu::SetItemText(UINT nPos, LPCTSTR lpszText) {
    if (nPos >= m_items.size())
        return;
    Item& item = m_items[nPos];
    item.text = lpszText;
    if (item.sub && item.sub->m_pQMenu != nullptr)
        item.sub->m_pQMenu->setTitle(QString::fromUtf8(lpszText));
    else if (item.action != nullptr) {
        item.action->setText(QString::fromUtf8(lpszText));
        TakeKeyFromText(item.action, item.action->text());
    }
}

BOOL CMenu::IsItemEnabled(UINT nPos) const {
    return nPos < m_items.size() && m_items[nPos].enabled;
}

BOOL CMenu::IsItemChecked(UINT nPos) const {
    return nPos < m_items.size() && m_items[nPos].checked;
}

void CMenu::SetOwnerWnd(CWnd* pWnd) {
    m_pOwnerWnd = pWnd;
    for (Item& item : m_items) {
        if (item.sub)
            item.sub->SetOwnerWnd(pWnd);
    }
}

void CMenu::OnTriggered(QAction* action) {
    for (const Item& item : m_items) {
        if (item.action == action) {
            // Qt toggles the check itself; the update handlers own it.
            action->setChecked(item.checked);
            if (m_pOwnerWnd != nullptr)
                m_pOwnerWnd->SendMessage(WM_COMMAND, MAKEWPARAM(item.id, 0), 0);
            return;
        }
    }
}

void CMenu::OnHovered(QAction* action) {
    // The item's status text in the owner frame's message pane while the item is highlighted.
    for (const Item& item : m_items) {
        if (item.action == action && !item.sub && !item.separator && item.id != 0) {
            if (m_pOwnerWnd != nullptr)
                m_pOwnerWnd->SendMessage(WM_SETMESSAGESTRING, item.id, 0);
            return;
        }
    }
}

void CMenu::OnAboutToShow() {
    if (m_pOwnerWnd != nullptr)
        m_pOwnerWnd->SendMessage(WM_KIVIC_MENUPOPUP, reinterpret_cast<WPARAM>(m_hMenu), 0);
}
