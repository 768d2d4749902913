#include "workspace/IncidentPaths.h"

#include "base/PathText.h"

#include <initializer_list>

namespace pellam {
namespace {

// The first candidate present in the listing, as a full path; "NONE" otherwise.
std::string FindDocument(
    const FolderListing& listing, const FolderPath& folder, std::initializer_list<std::string> names, int& missing)
{
    for (const auto& name : names)
        if (listing.FileInList(name))
            return folder.Join(name);
    ++missing;
    return kNone;
}

} // namespace

bool SplitEventPath(NewLoad& load, Paths& paths)
{
    if (!load.EventFile.ends_with("evt"))
        return false;
    load.FileName = BaseName(load.EventFile);
    paths.Evidence
        = FolderPath(std::string_view(load.EventFile).substr(0, load.EventFile.size() - load.FileName.size()));
    return true;
}

FolderPath PicPath(const Paths& paths)
{
    return paths.Evidence.Sub("Photo");
}

std::string FindEventFile(const FolderListing& listing, const FolderPath& folder)
{
    for (const auto& name : listing.names())
        if (name.ends_with("evt"))
            return folder.Join(name);
    return std::string();
}

int NegotiateLogPaths(const FolderListing& listing, const std::string& caseNumber, Paths& paths, MenuState& menus)
{
    int missing = 0;
    const std::string& c = caseNumber;
    const FolderPath& f = paths.Evidence;
    paths.NppReport
        = FindDocument(listing, f, {"NPRpt.tmp", c + "_NPRpt.tmp", "NPP_Rpt.rtf", c + "_NPP_Rpt.rtf"}, missing);
    paths.AdminLog = FindDocument(listing, f, {"ADCOMM.rtf", c + "_ADCOMM.rtf"}, missing);
    paths.MainLog = FindDocument(listing, f, {"MainLOG.doc", c + "_MainLOG.doc"}, missing);
    paths.NocLog = FindDocument(listing, f, {"NOCLOG.rtf", c + "_NOCLOG.rtf"}, missing);

    if (missing < 4) {
        menus.SetEnabled(MenuEntry::LogFileViewer, true);
        menus.SetEnabled(MenuEntry::Print, true);
        menus.SetVisible(MenuEntry::PrintNolLog, paths.NocLog != kNone);
        menus.SetVisible(MenuEntry::PrintMainLog, paths.MainLog != kNone);
        menus.SetVisible(MenuEntry::PrintNppReport, paths.NppReport != kNone);
        menus.SetVisible(MenuEntry::PrintAdminLog, paths.AdminLog != kNone);
    } else {
        menus.SetEnabled(MenuEntry::LogFileViewer, false);
        menus.SetEnabled(MenuEntry::Print, false);
    }
    return missing;
}

} // namespace pellam
