#pragma once
// The examiner's notes of the incident in one window: every mark, sortable by
// each column and filtered by the text typed (letter case ignored); a
// double-click or Enter goes to the mark's place; the note is edited in
// place (F2), Delete removes the selected marks, and both are undone and
// redone with Ctrl+Z and Ctrl+Shift+Z. F5 reads the store again, for the
// marks another copy of the program made.
#include "notes/ui/MarkTableModel.h"
#include "notes/ui/NotesSession.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTableView;

namespace pellam {

class NotesWindow final : public QWidget {
    Q_OBJECT
public:
    NotesWindow(NotesSession& session, const QString& caseNumber, QWidget* parent = nullptr);

    QLineEdit* filter() const { return m_filter; }
    QTableView* list() const { return m_list; }
    QLabel* status() const { return m_status; }
    MarkTableModel& model() const { return *m_model; }
    QSortFilterProxyModel* proxy() const { return m_proxy; }

    // Goes to the place of the mark in the list's row (Enter, a double-click).
    void Activate(const QModelIndex& viewIndex);
    void EditSelected();
    void DeleteSelected();

signals:
    void markActivated(const pellam::Mark& mark);

private:
    void ShowCount();

    NotesSession& m_session;
    MarkTableModel* m_model;
    QSortFilterProxyModel* m_proxy;
    QLineEdit* m_filter;
    QTableView* m_list;
    QLabel* m_status;
};

} // namespace pellam
