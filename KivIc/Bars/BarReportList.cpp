#include "KivIc/Bars/BarReportList.h"

#include <QHeaderView>
#include <QStringList>
#include <QTreeWidget>

IMPLEMENT_DYNAMIC(CBarReportList, CWnd)

namespace {
constexpr int kDataRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;

QString ToQt(LPCTSTR text) {
    return QString::fromUtf8(text != nullptr ? text : "");
}
} // namespace

BOOL CBarReportList::Create(CWnd* pParentWnd, const RECT& rect, UINT nID,
                            const std::vector<CString>& columns) {
    auto* tree = new QTreeWidget;
    tree->setRootIsDecorated(false);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setColumnCount(static_cast<int>(columns.size()));
    QStringList titles;
    for (const CString& column : columns)
        titles << ToQt(column);
    tree->setHeaderLabels(titles);
    // The bar is narrow: the columns share its width, and a cut text shows whole as a tool tip.
    tree->header()->setSectionResizeMode(QHeaderView::Stretch);
    if (!AttachWidget(tree, pParentWnd, nID, WS_CHILD | WS_VISIBLE, false)) {
        delete tree;
        return FALSE;
    }
    QObject::connect(tree, &QTreeWidget::itemClicked, tree, [this](QTreeWidgetItem* item, int) {
        if (auto* t = Tree())
            ClickItem(t->indexOfTopLevelItem(item));
    });
    MoveWindow(&rect, FALSE);
    return TRUE;
}

QTreeWidget* CBarReportList::Tree() const {
    return static_cast<QTreeWidget*>(GetWidget());
}

int CBarReportList::InsertItem(int index, LPCTSTR text, int image) {
    QTreeWidget* tree = Tree();
    if (tree == nullptr)
        return -1;
    const int count = tree->topLevelItemCount();
    if (index < 0 || index > count)
        index = count;
    auto* item = new QTreeWidgetItem;
    item->setText(0, ToQt(text));
    item->setToolTip(0, ToQt(text));
    item->setData(0, kImageRole, image);
    item->setData(0, kDataRole, QVariant::fromValue<qulonglong>(0));
    tree->insertTopLevelItem(index, item);
    return index;
}

BOOL CBarReportList::SetItemText(int item, int subItem, LPCTSTR text) {
    QTreeWidget* tree = Tree();
    if (tree == nullptr || subItem < 0 || subItem >= tree->columnCount())
        return FALSE;
    QTreeWidgetItem* row = tree->topLevelItem(item);
    if (row == nullptr)
        return FALSE;
    row->setText(subItem, ToQt(text));
    row->setToolTip(subItem, ToQt(text));
    return TRUE;
}

CString CBarReportList::GetItemText(int item, int subItem) const {
    QTreeWidget* tree = Tree();
    QTreeWidgetItem* row = tree != nullptr ? tree->topLevelItem(item) : nullptr;
    if (row == nullptr)
        return CString();
    return CString(row->text(subItem).toUtf8().constData());
}

BOOL CBarReportList::SetItemData(int item, DWORD_PTR data) {
    QTreeWidget* tree = Tree();
    QTreeWidgetItem* row = tree != nullptr ? tree->topLevelItem(item) : nullptr;
    if (row == nullptr)
        return FALSE;
    row->setData(0, kDataRole, QVariant::fromValue<qulonglong>(data));
    return TRUE;
}

DWORD_PTR CBarReportList::GetItemData(int item) const {
    QTreeWidget* tree = Tree();
    QTreeWidgetItem* row = tree != nullptr ? tree->topLevelItem(item) : nullptr;
    return row != nullptr ? static_cast<DWORD_PTR>(row->data(0, kDataRole).toULongLong()) : 0;
}

int CBarReportList::GetItemImage(int item) const {
    QTreeWidget* tree = Tree();
    QTreeWidgetItem* row = tree != nullptr ? tree->topLevelItem(item) : nullptr;
    return row != nullptr ? row->data(0, kImageRole).toInt() : -1;
}

BOOL CBarReportList::DeleteItem(int item) {
    QTreeWidget* tree = Tree();
    if (tree == nullptr)
        return FALSE;
    QTreeWidgetItem* row = tree->takeTopLevelItem(item);
    if (row == nullptr)
        return FALSE;
    delete row;
    return TRUE;
}

BOOL CBarReportList::DeleteAllItems() {
    QTreeWidget* tree = Tree();
    if (tree == nullptr)
        return FALSE;
    tree->clear();
    return TRUE;
}

int CBarReportList::GetItemCount() const {
    QTreeWidget* tree = Tree();
    return tree != nullptr ? tree->topLevelItemCount() : 0;
}

int CBarReportList::FindItemData(DWORD_PTR data) const {
    const int count = GetItemCount();
    for (int i = 0; i < count; ++i) {
        if (GetItemData(i) == data)
            return i;
    }
    return -1;
}

BOOL CBarReportList::SelectItem(int item) {
    QTreeWidget* tree = Tree();
    QTreeWidgetItem* row = tree != nullptr ? tree->topLevelItem(item) : nullptr;
    if (row == nullptr)
        return FALSE;
    tree->setCurrentItem(row);
    row->setSelected(true);
    return TRUE;
}

int CBarReportList::GetSelectedItem() const {
    QTreeWidget* tree = Tree();
    if (tree == nullptr)
        return -1;
    const QList<QTreeWidgetItem*> selected = tree->selectedItems();
    return selected.isEmpty() ? -1 : tree->indexOfTopLevelItem(selected.first());
}

void CBarReportList::ClickItem(int item) {
    if (item < 0 || item >= GetItemCount())
        return;
    SelectItem(item);
    if (m_onClick)
        m_onClick(item);
}
