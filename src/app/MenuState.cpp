#include "app/MenuState.h"

namespace pellam {

MenuState::MenuState()
{
    for (auto e : {MenuEntry::OpenIncident, MenuEntry::Print, MenuEntry::About, MenuEntry::Exit,
             MenuEntry::OpenAnotherIncident})
        SetEnabled(e, true);
}

const char* MenuState::Caption(MenuEntry e)
{
    switch (e) {
    case MenuEntry::OpenIncident:
        return "Open Incident";
    case MenuEntry::OpenAnotherIncident:
        return "Open Another Incident…";
    case MenuEntry::LogFileViewer:
        return "Log File Viewer";
    case MenuEntry::TextConversations:
        return "Text Conversations";
    case MenuEntry::RecordViewer:
        return "Record Viewer";
    case MenuEntry::Vistrel:
        return "Vistrel";
    case MenuEntry::Attachments:
        return "Attachments";
    case MenuEntry::IntelUploadFiles:
        return "Intel Upload Files";
    case MenuEntry::Statistics:
        return "Statistics and CRC Analysis";
    case MenuEntry::Timeline:
        return "Timeline";
    case MenuEntry::Notes:
        return "Examiner's Notes";
    case MenuEntry::SearchEverything:
        return "Search Everything";
    case MenuEntry::Print:
        return "Print";
    case MenuEntry::PrintMainLog:
        return "Print Main Log";
    case MenuEntry::PrintNolLog:
        return "Print NOL Log";
    case MenuEntry::PrintAdminLog:
        return "Print ADMIN Log";
    case MenuEntry::PrintNppReport:
        return "Print NPP Report";
    case MenuEntry::CaseReport:
        return "Case Report…";
    case MenuEntry::About:
        return "About";
    case MenuEntry::Exit:
        return "Exit";
    case MenuEntry::ExportHashManifest:
        return "Export Hash Manifest…";
    }
    return "";
}

} // namespace pellam
