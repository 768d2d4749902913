#pragma once
// The path variables through which every window reaches the incident's files,
// and the search for the four log documents.
#include "base/FolderPath.h"
#include "workspace/FolderListing.h"

#include <string>

namespace pellam {

// Marker of a document the incident does not have.
inline constexpr const char* kNone = "NONE";

struct NewLoad {
    std::string EventFile; // full path chosen in the open dialog
    std::string FileName; // its last "/"-separated component
};

struct Paths {
    // The evidence folder. It is the one place the folder is kept; the photo
    // folder is PicPath(paths).
    FolderPath Evidence;
    std::string MainLog;
    std::string NocLog;
    std::string AdminLog;
    std::string NppReport;
    FolderPath Temp; // the working folder
};

// Splits NewLoad.EventFile into FileName and the folder that holds it
// (paths.Evidence) when it ends in exactly "evt" (case-sensitive); otherwise
// false and nothing changes. EventFile is expected to be absolute.
bool SplitEventPath(NewLoad& load, Paths& paths);

// The photo folder of the evidence folder.
FolderPath PicPath(const Paths& paths);

// Full path of the first listed file whose name ends in exactly "evt", or "".
std::string FindEventFile(const FolderListing& listing, const FolderPath& folder);

// Sets the four log paths from the listing of paths.Evidence (plain names win
// over case-prefixed ones; "NONE" when absent). Returns the number of missing
// documents.
int NegotiateLogPaths(const FolderListing& listing, const std::string& caseNumber, Paths& paths);

// Whether the incident has any of the four documents (once they were negotiated).
bool AnyLog(const Paths& paths);

} // namespace pellam
