#include "workspace/IncidentPaths.h"

#include <initializer_list>

namespace pellam {
namespace {

// The first candidate present in the listing, as a full path; "NONE" otherwise.
std::string FindDocument(
    const FolderListing& listing, const std::string& folder, std::initializer_list<std::string> names, int& missing)
{
    for (const auto& name : names)
        if (listing.FileInList(name))
            return JoinPath(folder, name);
    ++missing;
    return kNone;
}

} // namespace

bool SplitEventPath(NewLoad& load, Paths& paths)
{
    if (!load.EventFile.ends_with("evt"))
        return false;
    load.FileName = BaseName(load.EventFile);
    std::string folder = load.EventFile.substr(0, load.EventFile.size() - load.FileName.size());
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    paths.Evidence = folder;
    return true;
}

std::string PicPath(const Paths& paths)
{
    return WithTrailingSeparator(JoinPath(paths.Evidence, "Photo"));
}

std::string FindEventFile(const FolderListing& listing, const std::string& folder)
{
    for (const auto& name : listing.names())
        if (name.ends_with("evt"))
            return JoinPath(folder, name);
    return std::string();
}

int NegotiateLogPaths(const FolderListing& listing, const std::string& caseNumber, Paths& paths)
{
    int missing = 0;
    const std::string& c = caseNumber;
    const std::string& f = paths.Evidence;
    paths.NppReport
        = FindDocument(listing, f, {"NPRpt.tmp", c + "_NPRpt.tmp", "NPP_Rpt.rtf", c + "_NPP_Rpt.rtf"}, missing);
    paths.AdminLog = FindDocument(listing, f, {"ADCOMM.rtf", c + "_ADCOMM.rtf"}, missing);
    paths.MainLog = FindDocument(listing, f, {"MainLOG.doc", c + "_MainLOG.doc"}, missing);
    paths.NocLog = FindDocument(listing, f, {"NOCLOG.rtf", c + "_NOCLOG.rtf"}, missing);
    return missing;
}

bool AnyLog(const Paths& paths)
{
    for (const std::string* p : {&paths.MainLog, &paths.NocLog, &paths.AdminLog, &paths.NppReport})
        if (*p != kNone)
            return true;
    return false;
}

} // namespace pellam
