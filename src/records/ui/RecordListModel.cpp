#include "records/ui/RecordListModel.h"

namespace pellam {

int RecordListModel::ColumnWidthTwips(int column)
{
    static constexpr int kWidths[kColumns] = {1000, 2700, 1100, 885};
    return kWidths[column];
}

void RecordListModel::SetRows(std::vector<RecordListRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int RecordListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int RecordListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    const RecordListRow& r = m_rows[static_cast<std::size_t>(index.row())];
    const std::string* texts[kColumns] = {&r.Type, &r.Name, &r.DOB, &r.Photo};
    return QString::fromStdString(*texts[index.column()]);
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const kCaptions[kColumns] = {"Type", "Name", "DOB", "Photo"};
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return {};
    return QString(kCaptions[section]);
}

} // namespace pellam
