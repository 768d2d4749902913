#include "workbench/ui/SearchHitModel.h"

#include <QPoint>

#include <ctime>
#include <limits>

namespace pellam {

QString SourceLabel(const IncidentDocument& document, const RoleTable& roles)
{
    static const char* const kLogNames[4]
        = {"Main Log", "NOC Communications Log", "ADMIN Communications Log", "Negotiator Position Paper"};
    switch (document.kind) {
    case DocumentKind::Log:
        return kLogNames[document.index & 3];
    case DocumentKind::Conversation:
        return QString::fromStdString(document.source);
    case DocumentKind::RecordSheet:
        return QString("Record sheet: %1 %2")
            .arg(QString::fromStdString(roles.RoleName(static_cast<std::int16_t>(document.index))))
            .arg(document.person);
    case DocumentKind::Attachments:
        return "Attachments";
    }
    return {};
}

QString LocalTimeText(LocalSeconds t, const LocaleFormats& formats)
{
    // The moment counts calendar seconds of a clock without a zone, which is
    // what the C library's UTC calendar computes with.
    const auto seconds = static_cast<std::time_t>(t);
    std::tm fields {};
    gmtime_r(&seconds, &fields);
    return QString::fromStdString(FormatDateTime(fields, formats.ShortDate + " " + formats.LongTime, formats));
}

SearchHitModel::SearchHitModel(LocaleFormats formats, RoleTable roles, QObject* parent)
    : QAbstractTableModel(parent), m_formats(std::move(formats)), m_roles(std::move(roles))
{ }

void SearchHitModel::SetHits(std::shared_ptr<const IncidentTexts> texts, std::vector<SearchHit> hits)
{
    beginResetModel();
    m_texts = std::move(texts);
    m_hits = std::move(hits);
    endResetModel();
}

void SearchHitModel::Clear()
{
    SetHits(nullptr, {});
}

int SearchHitModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_hits.size());
}

int SearchHitModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant SearchHitModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const SearchHit& h = hit(index.row());
    switch (index.column()) {
    case Source:
        if (role == Qt::DisplayRole)
            return SourceLabel(document(index.row()), m_roles);
        if (role == SortRole) // document order, then position
            return static_cast<qlonglong>(h.document) << 32 | static_cast<qlonglong>(h.position);
        break;
    case Time:
        if (role == Qt::DisplayRole)
            return h.time ? LocalTimeText(*h.time, m_formats) : QString();
        if (role == SortRole)
            return h.time ? static_cast<qlonglong>(*h.time) : std::numeric_limits<qlonglong>::max();
        break;
    case Context:
        if (role == Qt::DisplayRole || role == SortRole)
            return QString::fromStdU16String(h.context);
        if (role == HitRole)
            return QPoint(h.contextHit, h.length);
        break;
    default:
        break;
    }
    return {};
}

QVariant SearchHitModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const kTitles[kColumns] = {"Source", "Time", "Context"};
    return section >= 0 && section < kColumns ? QVariant(kTitles[section]) : QVariant();
}

} // namespace pellam
