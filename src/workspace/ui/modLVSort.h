#pragma once
// Sorting of a list by a column's text: every header click sorts ascending by
// that column, without regard to letter case. Sizes, dates and durations are
// compared as texts (10 KB comes before 9 KB). The list keeps that order as
// rows arrive.
#include "base/Message.h"
#include "base/Result.h"

class QSortFilterProxyModel;

namespace pellam {

// column is 1-based; order 0 ascending, 1 descending (other values keep the
// last order); kind 0 sorts by text, the only kind there is. A column the
// list does not have, or another kind, gives the sort routine's error box
// and leaves the order as it was.
Result<bool, Message> SortListView(QSortFilterProxyModel* list, int column, long order, long kind);
void ApplySort(QSortFilterProxyModel* list, long order, int key);

} // namespace pellam
