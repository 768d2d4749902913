#pragma once
// The record list as a table model: one row per person, in the order the
// list gives them.
#include "records/RecordList.h"

#include <QAbstractTableModel>

#include <vector>

namespace pellam {

class RecordListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 4;
    static int ColumnWidthTwips(int column);

    using QAbstractTableModel::QAbstractTableModel;
    void SetRows(std::vector<RecordListRow> rows);
    const std::vector<RecordListRow>& Rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<RecordListRow> m_rows;
};

} // namespace pellam
