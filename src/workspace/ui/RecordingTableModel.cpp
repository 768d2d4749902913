#include "workspace/ui/RecordingTableModel.h"

#include <QFont>

#include <algorithm>

namespace pellam {

RecordingTableModel::RecordingTableModel(QObject* parent) : QAbstractTableModel(parent) { }

int RecordingTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int RecordingTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QString RecordingTableModel::Text(const Mp3Record& r, int column)
{
    const std::string* texts[kColumns] = {&r.FileName, &r.Size, &r.Created, &r.CRC, &r.Duration};
    return QString::fromStdString(*texts[column]);
}

QVariant RecordingTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumns)
        return {};
    const int number = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return Text(m_rows[static_cast<std::size_t>(index.row())], index.column());
    case Qt::ToolTipRole: { // a recording cut short says so over its whole row
        const std::string& note = m_rows[static_cast<std::size_t>(index.row())].DurationNote;
        return note.empty() ? QVariant() : QString::fromStdString(note);
    }
    case RecordingNumberRole:
        return number;
    case Qt::FontRole:
        if (number == m_loaded) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

QVariant RecordingTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const captions[kColumns]
        = {"MP3 File Name", "Size", "Date / Time  MP3 Created", "32 bit CRC Value", "Duration"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumns)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromLatin1(captions[section]);
}

int RecordingTableModel::ColumnWidthTwips(int column)
{
    static const int widths[kColumns] = {4040, 1200, 2600, 1800, 2540};
    return column >= 0 && column < kColumns ? widths[column] : 0;
}

void RecordingTableModel::Sync(const std::vector<Mp3Record>& rows)
{
    const std::size_t kept = std::min(rows.size(), m_rows.size());
    if (rows.size() < m_rows.size()) {
        beginRemoveRows({}, static_cast<int>(kept), static_cast<int>(m_rows.size()) - 1);
        m_rows.resize(kept);
        endRemoveRows();
    }
    // Rows already shown: only the cells whose text changed are reported.
    for (std::size_t i = 0; i < kept; ++i) {
        if (m_rows[i] == rows[i])
            continue;
        int first = kColumns, last = -1;
        for (int c = 0; c < kColumns; ++c) {
            if (Text(m_rows[i], c) != Text(rows[i], c)) {
                first = std::min(first, c);
                last = std::max(last, c);
            }
        }
        const bool noteChanged = m_rows[i].DurationNote != rows[i].DurationNote;
        m_rows[i] = rows[i];
        const int r = static_cast<int>(i);
        if (noteChanged)
            emit dataChanged(index(r, 0), index(r, kColumns - 1), {Qt::DisplayRole, Qt::ToolTipRole});
        else
            emit dataChanged(index(r, first), index(r, last), {Qt::DisplayRole});
    }
    if (rows.size() > m_rows.size()) {
        beginInsertRows({}, static_cast<int>(m_rows.size()), static_cast<int>(rows.size()) - 1);
        m_rows.insert(m_rows.end(), rows.begin() + static_cast<std::ptrdiff_t>(m_rows.size()), rows.end());
        endInsertRows();
    }
}

void RecordingTableModel::SetLoadedNumber(int number)
{
    if (number == m_loaded)
        return;
    const int before = m_loaded;
    m_loaded = number;
    RowChanged(before - 1);
    RowChanged(number - 1);
}

void RecordingTableModel::RowChanged(int row)
{
    if (row >= 0 && row < rowCount())
        emit dataChanged(index(row, 0), index(row, kColumns - 1), {Qt::FontRole});
}

} // namespace pellam
