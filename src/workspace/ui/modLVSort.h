#pragma once
// Sorting of the recording list by a column's text: every header click sorts
// ascending by that column, without regard to letter case. Sizes, dates and
// durations are compared as texts (10 KB comes before 9 KB).
#include "base/Message.h"

#include <QTreeWidgetItem>

#include <optional>

class QTreeWidget;

namespace pellam {

// A list row that compares its texts without regard to letter case.
class ListRow : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override;
};

struct SortResult {
    bool ok = false;
    std::optional<Message> error; // the sort routine's error box
};

// column is 1-based; order 0 ascending, 1 descending; kind 0 sorts by text.
SortResult SortListView(QTreeWidget* list, int column, long order, long kind);
void ApplySort(QTreeWidget* list, long order, int key);

} // namespace pellam
