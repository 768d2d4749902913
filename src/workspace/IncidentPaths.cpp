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

int NegotiateLogPaths(const FolderListing& listing, const std::string& caseNumber, Paths& paths)
{
    int missing = 0;
    const std::string& c = caseNumber;
    const FolderPath& f = paths.Evidence;
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
