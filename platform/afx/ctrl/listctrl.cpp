#include "platform/afx/ctrl/listctrl.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTreeWidget>

#include "platform/afx/afxwin.h"

IMPLEMENT_DYNAMIC(CListCtrl, CWnd)
IMPLEMENT_DYNCREATE(CListView, CView)

namespace {

QTreeWidget* MakeTree(DWORD dwStyle) {
    auto* tree = new QTreeWidget;
    tree->setRootIsDecorated(false);
    tree->setUniformRowHeights(true);
    tree->setColumnCount(0);
    tree->setSelectionMode((dwStyle & LVS_SINGLESEL) ? QAbstractItemView::SingleSelection
                                                     : QAbstractItemView::ExtendedSelection);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return tree;
}

} // namespace

void CListCtrl::BindTree(QTreeWidget* pTree, CWnd* pSource) {
    m_pTree = pTree;
    m_pSource = pSource;
    QObject::connect(pTree, &QTreeWidget::itemClicked, pTree, [this](QTreeWidgetItem* item, int column) {
        Notify(NM_CLICK, m_pTree->indexOfTopLevelItem(item), column, 0, 0);
    });
    QObject::connect(pTree->selectionModel(), &QItemSelectionModel::selectionChanged, pTree,
                     [this](const QItemSelection& on, const QItemSelection& off) {
                         for (const QModelIndex& i : on.indexes())
                             if (i.column() == 0)
                                 Notify(LVN_ITEMCHANGED, i.row(), 0, LVIS_SELECTED, 0);
                         for (const QModelIndex& i : off.indexes())
                             if (i.column() == 0)
                                 Notify(LVN_ITEMCHANGED, i.row(), 0, 0, LVIS_SELECTED);
                     });
}

void CListCtrl::Notify(UINT code, int item, int subItem, UINT newState, UINT oldState) {
    if (m_bQuiet || m_pSource == nullptr || m_pSource->GetParent() == nullptr)
        return;
    NMLISTVIEW nm{};
    nm.hdr.hwndFrom = m_pSource->GetSafeHwnd();
    nm.hdr.idFrom = static_cast<UINT_PTR>(m_pSource->GetDlgCtrlID());
    nm.hdr.code = code;
    nm.iItem = item;
    nm.iSubItem = subItem;
    nm.uNewState = newState;
    nm.uOldState = oldState;
    nm.uChanged = LVIF_STATE;
    if (QTreeWidgetItem* it = m_pTree->topLevelItem(item))
        nm.lParam = static_cast<LPARAM>(it->data(0, Qt::UserRole).toULongLong());
    m_pSource->GetParent()->SendMessage(WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    QTreeWidget* tree = MakeTree(dwStyle);
    if (rect.right > rect.left)
        tree->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    if (!AttachWidget(tree, pParentWnd, nID, dwStyle | WS_CHILD, false)) {
        delete tree;
        return FALSE;
    }
    BindTree(tree, this);
    return TRUE;
}

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int, int nWidth) {
    if (m_pTree == nullptr)
        return -1;
    const int count = m_pTree->columnCount();
    nCol = std::clamp(nCol, 0, count);
    QStringList labels;
    for (int c = 0; c < count; ++c)
        labels << m_pTree->headerItem()->text(c);
    labels.insert(nCol, QString::fromUtf8(lpszColumnHeading != nullptr ? lpszColumnHeading : ""));
    m_pTree->setColumnCount(count + 1);
    m_pTree->setHeaderLabels(labels);
    if (nWidth > 0)
        m_pTree->setColumnWidth(nCol, nWidth);
    return nCol;
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem) {
    LVITEM item{};
    item.mask = LVIF_TEXT;
    item.iItem = nItem;
    item.pszText = const_cast<LPSTR>(lpszItem);
    return InsertItem(&item);
}

int CListCtrl::InsertItem(const LVITEM* pItem) {
    if (m_pTree == nullptr)
        return -1;
    const int index = std::clamp(pItem->iItem, 0, m_pTree->topLevelItemCount());
    auto* item = new QTreeWidgetItem;
    if ((pItem->mask & LVIF_TEXT) && pItem->pszText != nullptr)
        item->setText(0, QString::fromUtf8(pItem->pszText));
    if (pItem->mask & LVIF_PARAM)
        item->setData(0, Qt::UserRole,
                      QVariant::fromValue<qulonglong>(static_cast<qulonglong>(pItem->lParam)));
    m_bQuiet = true;
    m_pTree->insertTopLevelItem(index, item);
    m_bQuiet = false;
    return index;
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText) {
    QTreeWidgetItem* item = m_pTree != nullptr ? m_pTree->topLevelItem(nItem) : nullptr;
    if (item == nullptr || nSubItem < 0)
        return FALSE;
    if (nSubItem >= m_pTree->columnCount())
        return FALSE;
    item->setText(nSubItem, QString::fromUtf8(lpszText != nullptr ? lpszText : ""));
    return TRUE;
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const {
    QTreeWidgetItem* item = m_pTree != nullptr ? m_pTree->topLevelItem(nItem) : nullptr;
    return item != nullptr ? CString(item->text(nSubItem).toUtf8().constData()) : CString();
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
    QTreeWidgetItem* item = m_pTree != nullptr ? m_pTree->topLevelItem(nItem) : nullptr;
    if (item == nullptr)
        return FALSE;
    item->setData(0, Qt::UserRole, QVariant::fromValue<qulonglong>(dwData));
    return TRUE;
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const {
    QTreeWidgetItem* item = m_pTree != nullptr ? m_pTree->topLevelItem(nItem) : nullptr;
    return item != nullptr ? static_cast<DWORD_PTR>(item->data(0, Qt::UserRole).toULongLong()) : 0;
}

BOOL CListCtrl::DeleteItem(int nItem) {
    QTreeWidgetItem* item = m_pTree != nullptr ? m_pTree->takeTopLevelItem(nItem) : nullptr;
    delete item;
    return item != nullptr;
}

BOOL CListCtrl::DeleteAllItems() {
    if (m_pTree == nullptr)
        return FALSE;
    m_bQuiet = true;
    m_pTree->clear();
    m_bQuiet = false;
    return TRUE;
}

int CListCtrl::GetItemCount() const {
    return m_pTree != nullptr ? m_pTree->topLevelItemCount() : 0;
}

int CListCtrl::GetSelectedCount() const {
    return m_pTree != nullptr ? static_cast<int>(m_pTree->selectedItems().size()) : 0;
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const {
    if (m_pTree == nullptr)
        return -1;
    for (int i = nItem + 1; i < m_pTree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_pTree->topLevelItem(i);
        const bool selected = item->isSelected();
        const bool focused = m_pTree->currentItem() == item;
        if ((nFlags & LVNI_SELECTED) && !selected)
            continue;
        if ((nFlags & LVNI_FOCUSED) && !focused)
            continue;
        return i;
    }
    return -1;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
    QTreeWidgetItem* item = m_pTree != nullptr ? m_pTree->topLevelItem(nItem) : nullptr;
    if (item == nullptr)
        return FALSE;
    if (nMask & LVIS_FOCUSED) {
        if (nState & LVIS_FOCUSED)
            m_pTree->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
    }
    if (nMask & LVIS_SELECTED) {
        if ((nState & LVIS_SELECTED) && m_pTree->selectionMode() == QAbstractItemView::SingleSelection)
            m_pTree->clearSelection();
        item->setSelected((nState & LVIS_SELECTED) != 0);
    }
    return TRUE;
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const {
    QTreeWidgetItem* item = m_pTree != nullptr ? m_pTree->topLevelItem(nItem) : nullptr;
    if (item == nullptr)
        return 0;
    UINT state = 0;
    if (item->isSelected())
        state |= LVIS_SELECTED;
    if (m_pTree->currentItem() == item)
        state |= LVIS_FOCUSED;
    return state & nMask;
}

BOOL CListCtrl::GetSubItemRect(int iItem, int iSubItem, int, CRect& ref) const {
    QTreeWidgetItem* item = m_pTree != nullptr ? m_pTree->topLevelItem(iItem) : nullptr;
    if (item == nullptr)
        return FALSE;
    const QRect r = m_pTree->visualItemRect(item);
    const int x = m_pTree->header()->sectionViewportPosition(iSubItem);
    const int w = m_pTree->header()->sectionSize(iSubItem);
    // In the list window's own coordinates (the rows live in its viewport).
    const QPoint origin = m_pTree->viewport()->mapTo(m_pTree, QPoint(x, r.top()));
    ref = CRect(origin.x(), origin.y(), origin.x() + w, origin.y() + r.height());
    return TRUE;
}

BOOL CListCtrl::EnsureVisible(int nItem, BOOL) {
    QTreeWidgetItem* item = m_pTree != nullptr ? m_pTree->topLevelItem(nItem) : nullptr;
    if (item == nullptr)
        return FALSE;
    m_pTree->scrollToItem(item);
    return TRUE;
}

// --- List view ----------------------------------------------------------------------------------------

CListView::CListView() : m_pList(new CListCtrl) {}

CListView::~CListView() {
    delete m_pList;
}

BOOL CListView::Create(LPCTSTR, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                       UINT nID, CCreateContext* pContext) {
    CREATESTRUCT cs{};
    cs.style = static_cast<LONG>(dwStyle);
    cs.lpszName = lpszWindowName;
    cs.lpCreateParams = pContext;
    if (!PreCreateWindow(cs))
        return FALSE;
    QTreeWidget* tree = MakeTree(static_cast<DWORD>(cs.style));
    if (rect.right > rect.left)
        tree->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    if (!AttachWidget(tree, pParentWnd, nID, static_cast<DWORD>(cs.style), false)) {
        delete tree;
        return FALSE;
    }
    m_pList->BindTree(tree, this);
    QObject::connect(tree->verticalScrollBar(), &QScrollBar::valueChanged, tree,
                     [this](int value) { OnListScrolled(value); });
    if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow();
        return FALSE;
    }
    return TRUE;
}
