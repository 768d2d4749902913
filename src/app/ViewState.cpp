#include "app/ViewState.h"

#include "base/Version.h"
#include "workspace/OpenIncident.h"

namespace pellam {

std::string BaseTitle()
{
    return std::string(" Norvik Technologies   Pellam v") + kAppVersion;
}

MenuState MenusFor(const IncidentModel& model, OpenStage stage)
{
    MenuState menus;
    if (model.FolderListed) {
        menus.SetEnabled(MenuEntry::TextConversations, true);
        menus.SetEnabled(MenuEntry::RecordViewer, model.RecordsFound);
    }
    if (stage == OpenStage::Closed)
        return menus;
    menus.SetEnabled(MenuEntry::OpenIncident, false);

    const Paths& p = model.paths;
    const MenuEntry prints[]
        = {MenuEntry::PrintMainLog, MenuEntry::PrintNolLog, MenuEntry::PrintAdminLog, MenuEntry::PrintNppReport};
    const std::string* logs[] = {&p.MainLog, &p.NocLog, &p.AdminLog, &p.NppReport};
    // The print entries are set when the open goes through, from the log
    // paths as they are then: negotiated already when the pass ended within
    // the open (no recording), not yet otherwise. Only the Main Log's entry
    // is shown regardless.
    const bool endedWithinOpen = model.MP3Paths.empty();
    if (stage == OpenStage::Running || endedWithinOpen) {
        for (std::size_t i = 0; i < 4; ++i)
            menus.Set(prints[i], i == 0 || *logs[i] != kNone);
        if (stage == OpenStage::Running)
            return menus;
    } else {
        // The pass's end shows the entries of the documents found, when there is any.
        const bool any = AnyLog(p);
        for (std::size_t i = 0; i < 4; ++i)
            menus.Set(prints[i], true);
        for (std::size_t i = 0; any && i < 4; ++i)
            menus.SetVisible(prints[i], *logs[i] != kNone);
    }
    menus.SetEnabled(MenuEntry::ExportHashManifest, true);
    menus.SetEnabled(MenuEntry::LogFileViewer, AnyLog(p));
    menus.SetEnabled(MenuEntry::Statistics, model.IncidentFound);
    menus.SetEnabled(MenuEntry::Timeline, model.IncidentFound);
    menus.SetEnabled(MenuEntry::Notes, model.IncidentFound);
    menus.SetEnabled(MenuEntry::SearchEverything, model.IncidentFound);
    menus.SetEnabled(MenuEntry::CaseReport, model.IncidentFound);
    menus.SetEnabled(MenuEntry::Print, true);
    menus.SetEnabled(MenuEntry::Attachments, true);
    menus.SetEnabled(MenuEntry::RecordViewer, true);
    menus.Set(MenuEntry::Vistrel, model.HasVistrel);
    menus.Set(MenuEntry::IntelUploadFiles, model.HasIntelUpload);
    return menus;
}

std::string TitleFor(const IncidentModel& model, OpenStage stage)
{
    if (stage != OpenStage::Finished)
        return BaseTitle();
    if (model.IncidentFound)
        return BaseTitle() + " - Reviewing Case Number " + model.CaseNumber;
    if (model.MP3Count == 0)
        return BaseTitle();
    return BaseTitle() + " - Viewing " + std::to_string(model.MP3Count) + " MP3 Files (no incident found)";
}

OpenStage StageOf(const OpenIncident* open)
{
    if (!open)
        return OpenStage::Closed;
    if (open->Running())
        return OpenStage::Running;
    return open->Finished() ? OpenStage::Finished : OpenStage::Closed;
}

ViewState ViewOf(const IncidentModel& model, const OpenIncident* open)
{
    const OpenStage stage = StageOf(open);
    ViewState view;
    view.menus = MenusFor(model, stage);
    view.title = TitleFor(model, stage);
    if (model.FolderListed) {
        view.PathLabel = model.RecordsFound ? model.RecordsPath : std::string();
        view.PhotoLabel = "PicPath = " + PicPath(model.paths).WithSeparator();
    }
    if (open)
        view.Progress = {open->pass().ProgressMax(), open->pass().ProgressValue()};
    view.Hourglass = stage == OpenStage::Running;
    return view;
}

} // namespace pellam
