// The main window's menus, title and labels, derived from what the open
// found: a table of folders and stages against the entries that differ from
// the window's design ("enabled"/"disabled", "hidden" when not visible).
#include "app/ViewState.h"
#include "base/Version.h"

#include <gtest/gtest.h>

#include <string>

using namespace pellam;

namespace {

std::string Changed(const MenuState& menus)
{
    const MenuState design;
    std::string text;
    for (std::size_t i = 0; i < kMenuEntryCount; ++i) {
        const auto e = static_cast<MenuEntry>(i);
        if (menus[e] == design[e])
            continue;
        text += std::string(text.empty() ? "" : ", ") + MenuState::Caption(e) + ":"
            + (menus[e].enabled ? "enabled" : "disabled") + (menus[e].visible ? "" : " hidden");
    }
    return text;
}

// A listed folder: recordings (0 means the pass ended within the open), the
// documents it holds, and what the end of the pass found.
IncidentModel Listed(int recordings, std::initializer_list<std::string Paths::*> logs, bool incident = true)
{
    IncidentModel m;
    m.FolderListed = true;
    m.paths.Evidence = FolderPath("/ev");
    m.MP3Paths.assign(static_cast<std::size_t>(recordings), "/ev/r.mp3");
    m.MP3Count = static_cast<std::int16_t>(recordings);
    m.IncidentFound = incident;
    m.CaseNumber = "55";
    for (auto log : {&Paths::MainLog, &Paths::NocLog, &Paths::AdminLog, &Paths::NppReport})
        m.paths.*log = kNone;
    for (auto log : logs)
        m.paths.*log = "/ev/log";
    return m;
}

} // namespace

TEST(ViewState, MenusFollowTheFolderAndTheStageOfTheOpen)
{
    IncidentModel unlisted;
    IncidentModel running = Listed(3, {});
    running.paths = Paths {}; // the logs are negotiated when the pass ends
    IncidentModel withRecords = Listed(0, {});
    withRecords.RecordsFound = true;
    IncidentModel extras = Listed(2, {&Paths::MainLog, &Paths::NppReport}, false);
    extras.HasVistrel = extras.HasIntelUpload = true;

    const struct {
        const char* what;
        IncidentModel model;
        OpenStage stage;
        std::string changed;
    } cases[] = {
        {"nothing opened", unlisted, OpenStage::Closed, ""},
        {"refused after the folder was listed", Listed(3, {}), OpenStage::Closed, "Text Conversations:enabled"},
        {"a records file", withRecords, OpenStage::Closed, "Text Conversations:enabled, Record Viewer:enabled"},
        {"the pass running", running, OpenStage::Running,
            "Open Incident:disabled, Text Conversations:enabled, Print Main Log:enabled, Print NOL Log:enabled, "
            "Print ADMIN Log:enabled, Print NPP Report:enabled"},
        {"one log, after the pass", Listed(3, {&Paths::NocLog}), OpenStage::Finished,
            "Open Incident:disabled, Log File Viewer:enabled, Text Conversations:enabled, Record Viewer:enabled, "
            "Vistrel:disabled hidden, Attachments:enabled, Intel Upload Files:disabled hidden, "
            "Statistics and CRC Analysis:enabled, Timeline:enabled, Search Everything:enabled, Print Main Log:enabled "
            "hidden, "
            "Print NOL Log:enabled, Print ADMIN Log:enabled hidden, Print NPP Report:enabled hidden, "
            "Export Hash Manifest…:enabled, Case Report…:enabled, "
            "Examiner's Notes:enabled"},
        {"no log, after the pass", Listed(3, {}), OpenStage::Finished,
            "Open Incident:disabled, Text Conversations:enabled, Record Viewer:enabled, Vistrel:disabled hidden, "
            "Attachments:enabled, Intel Upload Files:disabled hidden, Statistics and CRC Analysis:enabled, "
            "Timeline:enabled, Search Everything:enabled, Print Main Log:enabled, Print NOL Log:enabled, "
            "Print ADMIN Log:enabled, Print NPP Report:enabled, Export Hash Manifest…:enabled, Case Report…:enabled, "
            "Examiner's Notes:enabled"},
        // Without recordings the pass ends within the open, before the print
        // entries are set: they follow the documents, Main Log's is always there.
        {"one log, no recording", Listed(0, {&Paths::NocLog}), OpenStage::Finished,
            "Open Incident:disabled, Log File Viewer:enabled, Text Conversations:enabled, Record Viewer:enabled, "
            "Vistrel:disabled hidden, Attachments:enabled, Intel Upload Files:disabled hidden, "
            "Statistics and CRC Analysis:enabled, Timeline:enabled, Search Everything:enabled, Print Main Log:enabled, "
            "Print NOL Log:enabled, "
            "Print ADMIN Log:disabled hidden, Print NPP Report:disabled hidden, Export Hash Manifest…:enabled, Case Report…:enabled, "
            "Examiner's Notes:enabled"},
        {"no event file, the extras", extras, OpenStage::Finished,
            "Open Incident:disabled, Log File Viewer:enabled, Text Conversations:enabled, Record Viewer:enabled, "
            "Vistrel:enabled, Attachments:enabled, Intel Upload Files:enabled, Print Main Log:enabled, "
            "Print NOL Log:enabled hidden, Print ADMIN Log:enabled hidden, Print NPP Report:enabled, "
            "Export Hash Manifest…:enabled"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Changed(MenusFor(c.model, c.stage)), c.changed) << c.what;
}

TEST(ViewState, TitleAndLabels)
{
    const std::string base = " Norvik Technologies   Pellam v" + std::string(kAppVersion);
    EXPECT_EQ(
        std::tuple(TitleFor(Listed(3, {}), OpenStage::Running), TitleFor(Listed(3, {}), OpenStage::Finished),
            TitleFor(Listed(3, {}, false), OpenStage::Finished), TitleFor(Listed(0, {}, false), OpenStage::Finished)),
        std::tuple(
            base, base + " - Reviewing Case Number 55", base + " - Viewing 3 MP3 Files (no incident found)", base));

    EXPECT_EQ(ViewOf(IncidentModel {}, nullptr).PhotoLabel, "");
    IncidentModel m = Listed(1, {});
    m.RecordsPath = "/ev/old.RMQ";
    const ViewState noRecords = ViewOf(m, nullptr);
    m.RecordsFound = true;
    const ViewState records = ViewOf(m, nullptr);
    EXPECT_EQ(std::tuple(noRecords.PathLabel, records.PathLabel, records.PhotoLabel, records.Hourglass),
        std::tuple("", "/ev/old.RMQ", "PicPath = /ev/Photo/", false));
}
