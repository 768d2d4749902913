// pellam-cli open EVT: the workspace after the open sequence and the end of
// the recording pass, as the main window holds and shows it.
#include "app/ViewState.h"
#include "base/Cp1252.h"
#include "base/PathText.h"
#include "cli/Json.h"
#include "cli/OpenedIncident.h"
#include "cli/Verbs.h"

#include <cstdio>

namespace pellam::cli {
namespace {

void WriteRecordings(Json& j, const IncidentModel& s)
{
    j.Key("recordings").BeginArray();
    for (const auto& row : s.ListRows)
        j.BeginObject()
            .Field("FileName", row.FileName)
            .Field("Size", row.Size)
            .Field("Created", row.Created)
            .Field("CRC", row.CRC)
            .Field("Duration", row.Duration)
            .EndObject();
    j.EndArray();
}

void WriteAttachments(Json& j, const IncidentModel& s)
{
    j.Key("attachments").BeginArray();
    for (const auto& e : s.attachments.entries)
        j.BeginObject()
            .Field("FileName", e.FileName)
            .Field("Description", e.Description)
            .Field("FileType", e.FileType)
            .Field("ApproxSize", e.ApproxSize)
            .EndObject();
    j.EndArray();
}

// Every entry whose state differs from the state the window is designed with.
void WriteMenus(Json& j, const MenuState& menus)
{
    const MenuState design;
    j.Key("menus").BeginObject();
    for (std::size_t i = 0; i < kMenuEntryCount; ++i) {
        const auto e = static_cast<MenuEntry>(i);
        if (menus[e] == design[e])
            continue;
        j.Key(MenuState::Caption(e))
            .BeginObject()
            .Field("enabled", menus[e].enabled)
            .Field("visible", menus[e].visible)
            .EndObject();
    }
    j.EndObject();
}

int Run(const Args& args)
{
    IncidentModel model;
    if (const auto failed = OpenIncidentArgument(args[0], model))
        return *failed;

    const IncidentModel& s = model;
    // Where the attachments come from when it is not the folder named, or why there are none.
    if (!s.attachFolder.note.empty())
        Tell(args[0], ValidUtf8(s.attachFolder.note));
    // A recording shorter than its encoder wrote it ("cut short: 62 of 105 frames").
    for (const auto& row : s.ListRows)
        if (!row.DurationNote.empty())
            Tell(s.paths.Evidence.Join(row.FileName), row.DurationNote);
    Json j;
    j.BeginObject()
        .Field("title", TitleFor(s, OpenStage::Finished))
        .Field("Evidence", s.paths.Evidence.WithSeparator())
        .Field("MainLog", s.paths.MainLog)
        .Field("NocLog", s.paths.NocLog)
        .Field("AdminLog", s.paths.AdminLog)
        .Field("NppReport", s.paths.NppReport)
        .Field("CaseNumber", s.CaseNumber);
    j.Key("RoleNames").BeginArray();
    for (std::int16_t n = 0; n <= 8; ++n)
        j.String(s.roles.RoleName(n));
    j.EndArray();
    WriteRecordings(j, s);
    // The folder the attachments were read from on this machine, ending with
    // "/" ("" when none).
    j.Field("AttachmentsFolder", s.attachFolder.folder.WithSeparator());
    WriteAttachments(j, s);
    WriteMenus(j, MenusFor(s, OpenStage::Finished));
    j.EndObject();
    std::printf("%s\n", j.str().c_str());
    return kOk;
}

const VerbRegistrar reg("open", "EVT", "the workspace after opening the incident, as JSON", &Run);

} // namespace
} // namespace pellam::cli
