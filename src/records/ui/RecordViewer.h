#pragma once
// The record list window: every person of the records file, role by role, and
// the sheet of the person whose row is double-clicked (one sheet at a time).
// When the records cannot be loaded it says so and closes itself.
#include "base/FolderPath.h"
#include "base/Prompter.h"
#include "records/RecordList.h"
#include "records/clsRecord.h"
#include "records/ui/RecordListModel.h"
#include "richtext/ui/PrintView.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

#include <cstdint>

class QTreeView;

namespace pellam {

class RCEV;

// What the window reads and writes of the incident.
struct RecordSource {
    const clsRecord& handler;
    RecordTable& table;
    RoleTable& roles;
    FolderPath picPath; // the photo folder
    std::string today; // today's date as the system writes short dates
    PrinterChooser choosePrinter; // where the sheets print (the system's printer dialog when unset)
};

// Where the record sheet lives: beside the record list, not inside it, so
// closing the list leaves the sheet open. The window that opens the list
// keeps the slot; whichever list opens a sheet, one sheet is open at a time.
class RecordSheetSlot {
public:
    // Sheets become windows of `owner`; without one, they go with the slot.
    explicit RecordSheetSlot(QWidget* owner = nullptr) : m_owner(owner) { }
    ~RecordSheetSlot();
    RecordSheetSlot(const RecordSheetSlot&) = delete;
    RecordSheetSlot& operator=(const RecordSheetSlot&) = delete;

    RCEV* sheet() const { return m_sheet.data(); }
    // Closes the open sheet, then opens the sheet of the person.
    RCEV* Open(const RecordSource& source, std::int16_t role, std::int16_t person);
    void Close();
    // Called with every sheet the slot opens, whoever asked for it.
    void OnOpen(std::function<void(RCEV*)> opened) { m_opened = std::move(opened); }

private:
    QWidget* m_owner;
    std::function<void(RCEV*)> m_opened;
    QPointer<RCEV> m_sheet;
};

class RecordViewer final : public QWidget {
    Q_OBJECT
public:
    RecordViewer(RecordSource source, Prompter& prompter, RecordSheetSlot& sheets, QWidget* parent = nullptr);

    QTreeView* LV1() const { return m_lv1; }
    const RecordListModel& rows() const { return *m_model; }
    RCEV* sheet() const { return m_sheets.sheet(); }
    bool RecordSheetOpen() const { return m_sheets.sheet() != nullptr; }

    // Opens the sheet of the row (closing an open one first).
    void RowDoubleClicked(int row);

private:
    RecordSource m_source;
    RecordListModel* m_model = nullptr;
    QTreeView* m_lv1 = nullptr;
    RecordSheetSlot& m_sheets;
    QTimer m_unload {this};
};

} // namespace pellam
