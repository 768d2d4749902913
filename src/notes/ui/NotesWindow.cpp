#include "notes/ui/NotesWindow.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include <set>

namespace pellam {

NotesWindow::NotesWindow(NotesSession& session, const QString& caseNumber, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session), m_model(new MarkTableModel(session, this)),
      m_proxy(new QSortFilterProxyModel(this)), m_filter(new QLineEdit(this)), m_list(new QTableView(this)),
      m_status(new QLabel(this))
{
    setObjectName("NotesWindow");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caseNumber.isEmpty() ? "Examiner's Notes" : "Examiner's Notes - Case Number " + caseNumber);
    resize(1000, 420);

    m_proxy->setSourceModel(m_model);
    m_proxy->setSortRole(MarkTableModel::SortRole);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_proxy->setFilterKeyColumn(-1);

    m_filter->setObjectName("Filter");
    m_filter->setPlaceholderText("Filter the marks");
    m_filter->setClearButtonEnabled(true);
    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_proxy->setFilterFixedString(text);
        ShowCount();
    });

    m_list->setObjectName("Marks");
    m_list->setModel(m_proxy);
    m_list->setSortingEnabled(true);
    m_list->sortByColumn(MarkTableModel::Made, Qt::AscendingOrder);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::EditKeyPressed);
    m_list->setWordWrap(false);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 6);
    m_list->horizontalHeader()->setStretchLastSection(false);
    m_list->horizontalHeader()->setSectionResizeMode(MarkTableModel::Note, QHeaderView::Stretch);
    m_list->setColumnWidth(MarkTableModel::Place, 260);
    const int moment = m_list->fontMetrics().horizontalAdvance("2026-12-05 14:33:02") + 24;
    m_list->setColumnWidth(MarkTableModel::Made, moment);
    m_list->setColumnWidth(MarkTableModel::Changed, moment);
    connect(m_list, &QTableView::activated, this, &NotesWindow::Activate);

    const auto button = [this](const char* name, const QString& caption, const QKeySequence& keys) {
        auto* action = new QAction(caption, this);
        action->setObjectName(name);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        auto* b = new QToolButton(this);
        b->setDefaultAction(action);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        return std::pair(action, b);
    };
    const auto [edit, editButton] = button("actEditNote", "Edit Note", Qt::Key_F2);
    const auto [remove, removeButton] = button("actDeleteMark", "Delete", QKeySequence::Delete);
    QAction* undo = m_session.undoStack()->createUndoAction(this, "Undo");
    undo->setObjectName("actUndo");
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = m_session.undoStack()->createRedoAction(this, "Redo");
    redo->setObjectName("actRedo");
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    for (QAction* a : {undo, redo}) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a);
    }
    const auto [refresh, refreshButton] = button("actRefresh", "Refresh", QKeySequence::Refresh);
    connect(edit, &QAction::triggered, this, &NotesWindow::EditSelected);
    connect(remove, &QAction::triggered, this, &NotesWindow::DeleteSelected);
    connect(refresh, &QAction::triggered, &m_session, &NotesSession::Refresh);

    auto* bar = new QHBoxLayout;
    bar->addWidget(m_filter, 1);
    bar->addWidget(editButton);
    bar->addWidget(removeButton);
    for (QAction* a : {undo, redo}) {
        auto* b = new QToolButton(this);
        b->setDefaultAction(a);
        bar->addWidget(b);
    }
    bar->addWidget(refreshButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_status);
    m_status->setObjectName("Status");

    connect(m_proxy, &QAbstractItemModel::modelReset, this, &NotesWindow::ShowCount);
    ShowCount();
    m_filter->setFocus();
}

void NotesWindow::ShowCount()
{
    if (!m_session.Unavailable().isEmpty()) {
        m_status->setText(m_session.Unavailable());
        return;
    }
    const int shown = m_proxy->rowCount();
    const int all = m_model->rowCount();
    QString text = all == 1 ? "1 mark" : QString("%1 marks").arg(all);
    if (shown != all)
        text += QString(", %1 shown").arg(shown);
    m_status->setText(text);
}

void NotesWindow::Activate(const QModelIndex& viewIndex)
{
    if (!viewIndex.isValid())
        return;
    const QModelIndex source = m_proxy->mapToSource(viewIndex);
    emit markActivated(m_model->mark(source.row()));
}

void NotesWindow::EditSelected()
{
    const QModelIndex current = m_list->currentIndex();
    if (current.isValid())
        m_list->edit(current.siblingAtColumn(MarkTableModel::Note));
}

void NotesWindow::DeleteSelected()
{
    std::vector<std::int64_t> ids;
    for (const QModelIndex& row : m_list->selectionModel()->selectedRows())
        ids.push_back(row.data(MarkTableModel::IdRole).toLongLong());
    m_session.RemoveMarks(ids);
}

} // namespace pellam
