#pragma once
// The marks of the incident as a table: where each lies, its note (which can
// be edited in place), the examiner, and when it was made and last changed.
// A mark whose recording changed since says so in its place and in red.
#include "notes/ui/NotesSession.h"

#include <QAbstractTableModel>

#include <vector>

namespace pellam {

class MarkTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Place, Note, Examiner, Made, Changed, kColumns };
    // What the list sorts by: the place in document order, the note, the moments.
    static constexpr int SortRole = Qt::UserRole;
    // The mark's id, in every column.
    static constexpr int IdRole = Qt::UserRole + 1;

    explicit MarkTableModel(NotesSession& session, QObject* parent = nullptr);

    const Mark& mark(int row) const { return m_session.marks()[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    // The texts of each row, made once per change of the marks.
    struct Row {
        QString place;
        QString placeKey;
        QString note;
        QString examiner;
        QString made;
        QString changed;
        bool stale = false;
    };
    void Reload();

    NotesSession& m_session;
    std::vector<Row> m_rows;
};

} // namespace pellam
