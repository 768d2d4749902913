#include "notes/ui/MarkTableModel.h"

#include "notes/MarkPlace.h"

#include <QBrush>
#include <QColor>

namespace pellam {

MarkTableModel::MarkTableModel(NotesSession& session, QObject* parent) : QAbstractTableModel(parent), m_session(session)
{
    connect(&m_session, &NotesSession::marksChanged, this, &MarkTableModel::Reload);
    Reload();
}

namespace {

QString MomentText(std::int64_t ms)
{
    return QString::fromStdString(LocalIsoText(ms)).replace('T', ' ');
}

} // namespace

void MarkTableModel::Reload()
{
    beginResetModel();
    const auto& marks = m_session.marks();
    m_rows.clear();
    m_rows.reserve(marks.size());
    for (const Mark& m : marks) {
        Row row;
        row.stale = m_session.Stale(m);
        row.place = QString::fromStdString(PlaceText(m, m_session.roles()));
        if (row.stale)
            row.place += QString::fromUtf8(" \u2014 recording changed");
        // Kind, then name, then moment or position, each padded so text order is document order.
        const std::int64_t at = m.on == MarkOn::Recording ? m.offsetMs : m.position.value_or(-1);
        row.placeKey = QString::number(static_cast<int>(m.on))
            + QString::fromStdString(m.on == MarkOn::Recording ? m.recording : m.source) + QChar(0)
            + QString::number(at + 1).rightJustified(15, '0');
        row.note = QString::fromStdString(m.note);
        row.examiner = QString::fromStdString(m.examiner);
        row.made = MomentText(m.createdMs);
        row.changed = MomentText(m.changedMs);
        m_rows.push_back(std::move(row));
    }
    endResetModel();
}

int MarkTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int MarkTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant MarkTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row& row = m_rows[static_cast<std::size_t>(index.row())];
    const Mark& m = mark(index.row());
    switch (role) {
    case IdRole:
        return QVariant::fromValue<qlonglong>(m.id);
    case Qt::ForegroundRole:
        return index.column() == Place && row.stale ? QVariant(QBrush(QColor(200, 0, 0))) : QVariant();
    case Qt::ToolTipRole:
        if (index.column() == Place && row.stale)
            return "The recording's content has changed since this mark was made.";
        return index.column() == Note ? row.note : QVariant();
    case SortRole:
        switch (index.column()) {
        case Place:
            return row.placeKey;
        case Made:
            return QVariant::fromValue<qlonglong>(m.createdMs);
        case Changed:
            return QVariant::fromValue<qlonglong>(m.changedMs);
        default:
            break;
        }
        [[fallthrough]];
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (index.column()) {
        case Place:
            return row.place;
        case Note:
            return row.note;
        case Examiner:
            return row.examiner;
        case Made:
            return row.made;
        case Changed:
            return row.changed;
        default:
            return {};
        }
    default:
        return {};
    }
}

bool MarkTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != Note || role != Qt::EditRole)
        return false;
    // The edit reloads the marks: it is made once the editor that asked for it has closed.
    QMetaObject::invokeMethod(
        &m_session,
        [session = &m_session, id = mark(index.row()).id, note = value.toString().toStdString()] {
            session->EditNote(id, note);
        },
        Qt::QueuedConnection);
    return true;
}

Qt::ItemFlags MarkTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags base = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    return index.column() == Note ? base | Qt::ItemIsEditable : base;
}

QVariant MarkTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const kTitles[kColumns] = {"Where", "Note", "Examiner", "Made", "Changed"};
    return section >= 0 && section < kColumns ? QVariant(kTitles[section]) : QVariant();
}

} // namespace pellam
