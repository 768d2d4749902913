#pragma once
// The record list window: every person of the records file, role by role, and
// the sheet of the person whose row is double-clicked (one sheet at a time).
// When the records cannot be loaded it says so and closes itself.
#include "base/Prompter.h"
#include "records/RecordList.h"
#include "records/clsRecord.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

class QPrinter;
class QTreeView;

namespace pellam {

class RCEV;

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

// What the window reads and writes of the incident.
struct RecordSource {
    const clsRecord& handler;
    RecordTable& table;
    RoleTable& roles;
    std::string picPath; // the photo folder, ending in "/"
    std::string today; // today's date as the system writes short dates
};

class RecordViewer final : public QWidget {
    Q_OBJECT
public:
    RecordViewer(RecordSource source, Prompter& prompter, QWidget* parent = nullptr);

    // For the sheets it opens.
    std::function<bool(QPrinter&)> ChoosePrinter;

    QTreeView* LV1() const { return m_lv1; }
    const RecordListModel& rows() const { return *m_model; }
    RCEV* sheet() const;
    bool RecordSheetOpen() const { return !m_sheet.isNull(); }
    QTimer& UnloadTIM() { return m_unload; }

    // Opens the sheet of the row (closing an open one first).
    void RowDoubleClicked(int row);

private:
    RecordSource m_source;
    RecordListModel* m_model = nullptr;
    QTreeView* m_lv1 = nullptr;
    QPointer<RCEV> m_sheet;
    QTimer m_unload;
};

} // namespace pellam
