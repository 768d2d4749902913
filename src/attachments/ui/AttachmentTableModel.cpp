#include "attachments/ui/AttachmentTableModel.h"

#include <algorithm>
#include <array>

namespace pellam {
namespace {

constexpr std::array<const char*, AttachmentTableModel::kColumns> kCaptions
    = {"File Name", "File Description", "Type", "Approx. Size"};
constexpr std::array<int, AttachmentTableModel::kColumns> kWidthsTwips = {2250, 7485, 1410, 1400};

} // namespace

AttachmentTableModel::AttachmentTableModel(QObject* parent) : QAbstractTableModel(parent) { }

int AttachmentTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int AttachmentTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant AttachmentTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole)
        return {};
    const AttachmentEntry& e = m_rows[static_cast<std::size_t>(index.row())];
    const std::string* texts[kColumns] = {&e.FileName, &e.Description, &e.FileType, &e.ApproxSize};
    return QString::fromStdString(*texts[index.column()]);
}

QVariant AttachmentTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumns)
        return {};
    return QString(kCaptions[static_cast<std::size_t>(section)]);
}

void AttachmentTableModel::PopulateData(const AttachmentList& list)
{
    beginResetModel();
    m_rows.clear();
    const int count = std::min<int>(list.AttachCount, static_cast<int>(list.entries.size()));
    for (int i = 0; i < count; ++i)
        m_rows.push_back(list.entries[static_cast<std::size_t>(i)]);
    endResetModel();
}

int AttachmentTableModel::ColumnWidthTwips(int column)
{
    return kWidthsTwips[static_cast<std::size_t>(column)];
}

} // namespace pellam
