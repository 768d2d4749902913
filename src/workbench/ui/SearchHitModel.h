#pragma once
// The hits of one search as a list: where each lies (its document), the time
// of the entry holding it in the locale's short date and long time, and the
// line around it. The context column also gives, under HitRole, where the
// hit lies in its line so that a view can set it apart.
#include "workbench/IncidentSearch.h"
#include "workspace/LocaleFormats.h"
#include "workspace/RoleTable.h"

#include <QAbstractTableModel>

#include <memory>
#include <vector>

namespace pellam {

class SearchHitModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Source, Time, Context, kColumns };
    // Context column: QPoint(where the hit begins in the line, its length).
    static constexpr int HitRole = Qt::UserRole;
    // What the list sorts by: document order, the moment, the line.
    static constexpr int SortRole = Qt::UserRole + 1;

    SearchHitModel(LocaleFormats formats, RoleTable roles, QObject* parent = nullptr);

    // The hits of a search over `texts` (the documents they point into).
    void SetHits(std::shared_ptr<const IncidentTexts> texts, std::vector<SearchHit> hits);
    void Clear();

    const SearchHit& hit(int row) const { return m_hits[static_cast<std::size_t>(row)]; }
    const IncidentDocument& document(int row) const { return m_texts->documents[hit(row).document]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    LocaleFormats m_formats;
    RoleTable m_roles;
    std::shared_ptr<const IncidentTexts> m_texts;
    std::vector<SearchHit> m_hits;
};

// How the list names a document: the log viewer's tab caption, the
// conversation's file name, "Record sheet: <role label> <person>", "Attachments".
QString SourceLabel(const IncidentDocument& document, const RoleTable& roles);

// A moment as the locale writes a short date and a long time.
QString LocalTimeText(LocalSeconds t, const LocaleFormats& formats);

} // namespace pellam
