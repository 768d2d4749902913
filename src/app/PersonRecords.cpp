#include "app/PersonRecords.h"

#include "app/Shell.h"
#include "records/ui/RCEV.h"
#include "records/ui/RecordViewer.h"

namespace pellam {

PersonRecords::PersonRecords(IncidentModel& model, Shell& shell, Prompter& prompter, QWidget* owner)
    : m_model(model), m_shell(shell), m_prompter(prompter), m_owner(owner),
      m_sheets(std::make_unique<RecordSheetSlot>(owner))
{ }

PersonRecords::~PersonRecords() = default;

void PersonRecords::OpenList()
{
    if (!m_model.listing.FileInList(m_model.CaseNumber + "_Records.rmq"))
        return m_prompter.Show(
            {"Not Found", "Unable to locate a Record File for this incident.     ", MessageIcon::Information});
    m_list.OpenOrRaise([this] {
        m_recordFile.SetRecordPath(m_model.RecordsPath);
        RecordSource source {m_recordFile, m_persons, m_model.roles, PicPath(m_model.paths), TodayText(m_model.Formats),
            PrinterChoiceOf(m_shell, m_prompter, m_model)};
        return new RecordViewer(std::move(source), m_prompter, *m_sheets, m_owner);
    });
}

void PersonRecords::OpenSheet(int role, int person)
{
    // The persons as the record list reads them, the same file each time.
    m_recordFile.SetRecordPath(m_model.RecordsPath);
    if (const auto loaded = m_recordFile.RECORDLOAD(m_persons, m_model.roles); !loaded)
        return m_prompter.Show({"File Error", "Failed to Load Record Data", MessageIcon::Critical,
            m_model.RecordsPath + "\n" + loaded.error().text});
    const RecordSource source {m_recordFile, m_persons, m_model.roles, PicPath(m_model.paths),
        TodayText(m_model.Formats), PrinterChoiceOf(m_shell, m_prompter, m_model)};
    m_sheets->Open(source, static_cast<std::int16_t>(role), static_cast<std::int16_t>(person))->show();
}

void PersonRecords::OnSheetOpened(std::function<void(RCEV*)> opened)
{
    m_sheets->OnOpen(std::move(opened));
}

RCEV* PersonRecords::sheet() const
{
    return m_sheets->sheet();
}

void PersonRecords::Close()
{
    m_sheets->Close();
    m_list.Close();
}

} // namespace pellam
