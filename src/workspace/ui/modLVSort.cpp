#include "workspace/ui/modLVSort.h"

#include "workspace/FolderListing.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace pellam {

bool ListRow::operator<(const QTreeWidgetItem& other) const
{
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    return FolderListing::Before(text(column).toStdString(), other.text(column).toStdString());
}

SortResult SortListView(QTreeWidget* list, int column, long order, long kind)
{
    SortResult r;
    if (!list || column < 1 || column > list->columnCount() || kind != 0) {
        // 9: subscript out of range, as the list control reported a bad column.
        r.error = Message {
            "", std::string("ERROR IN SORT ROUTINE:") + kLineBreak + "9\tSubscript out of range", MessageIcon::None};
        return r;
    }
    ApplySort(list, order, column - 1);
    r.ok = true;
    return r;
}

void ApplySort(QTreeWidget* list, long order, int key)
{
    // The order is remembered on the list; values other than 0 and 1 keep the last one.
    Qt::SortOrder sortOrder = list->header()->sortIndicatorOrder();
    if (order == 0)
        sortOrder = Qt::AscendingOrder;
    else if (order == 1)
        sortOrder = Qt::DescendingOrder;
    list->sortItems(key, sortOrder);
    // Sorting stays on: rows added later take their place in this order.
    list->setProperty("pellamSorted", true);
}

} // namespace pellam
