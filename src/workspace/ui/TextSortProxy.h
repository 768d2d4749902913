#pragma once
// A sort proxy for the program's lists: rows are ordered by a column's text
// without regard to letter case (ties in byte order, then in the source's
// order), the way the folder listing is ordered. Once sorted it keeps itself
// sorted as the source model inserts or changes rows.
#include <QSortFilterProxyModel>

namespace pellam {

class TextSortProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit TextSortProxy(QObject* parent = nullptr);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

} // namespace pellam
