#include "workspace/ui/modLVSort.h"

#include <QSortFilterProxyModel>

#include <string>

namespace pellam {

Result<bool, Message> SortListView(QSortFilterProxyModel* list, int column, long order, long kind)
{
    if (!list || column < 1 || column > list->columnCount() || kind != 0) {
        // 9: subscript out of range, as the list control reported a bad column.
        return fail(Message {
            "", std::string("ERROR IN SORT ROUTINE:") + kLineBreak + "9\tSubscript out of range", MessageIcon::None});
    }
    ApplySort(list, order, column - 1);
    return true;
}

void ApplySort(QSortFilterProxyModel* list, long order, int key)
{
    Qt::SortOrder sortOrder = list->sortOrder();
    if (order == 0)
        sortOrder = Qt::AscendingOrder;
    else if (order == 1)
        sortOrder = Qt::DescendingOrder;
    // The proxy sorts dynamically: rows added later take their place in this order.
    list->sort(key, sortOrder);
}

} // namespace pellam
