#pragma once
// The incident's person records in the program: the records store (the
// records file and the persons its last load left, written by the record
// list and its sheets), the record list window and the sheets it opens.
#include "app/WindowSlot.h"
#include "base/Prompter.h"
#include "records/RecordTable.h"
#include "records/clsRecord.h"
#include "workspace/IncidentModel.h"

#include <functional>
#include <memory>

class QWidget;

namespace pellam {

class RCEV;
class RecordSheetSlot;
class RecordViewer;
class Shell;

class PersonRecords {
public:
    PersonRecords(IncidentModel& model, Shell& shell, Prompter& prompter, QWidget* owner);
    ~PersonRecords();

    // "Record Viewer": the list of persons, when the incident has a records file.
    void OpenList();
    // The sheet of person [role][person], from the records file read anew.
    void OpenSheet(int role, int person);
    // The sheet shown; it stays when the list closes.
    RCEV* sheet() const;
    // Called with every record sheet opened.
    void OnSheetOpened(std::function<void(RCEV*)> opened);
    void Close();

private:
    IncidentModel& m_model;
    Shell& m_shell;
    Prompter& m_prompter;
    QWidget* m_owner;
    clsRecord m_recordFile;
    RecordTable m_persons;
    WindowSlot<RecordViewer> m_list;
    std::unique_ptr<RecordSheetSlot> m_sheets;
};

} // namespace pellam
