#pragma once
// The path variables through which every window reaches the incident's files,
// and the search for the four log documents.
#include "workspace/FolderListing.h"
#include "workspace/MenuState.h"

#include <string>

namespace pellam {

// Marker of a document the incident does not have.
inline constexpr const char* kNone = "NONE";

struct NewLoad {
    std::string EventFile; // full path chosen in the open dialog
    std::string FileName; // its last "/"-separated component
    std::string LocationPath; // the evidence folder, always ending with "/"
};

struct Paths {
    std::string Evidence;
    std::string MainLog;
    std::string NocLog;
    std::string AdminLog;
    std::string NppReport;
    std::string Temp; // the working folder, ending with "/"
};

// Splits NewLoad.EventFile into FileName and LocationPath when it ends in
// exactly "evt" (case-sensitive); otherwise false and nothing changes.
bool SplitEventPath(NewLoad& load);

// Full path of the first listed file whose name ends in exactly "evt", or "".
std::string FindEventFile(const FolderListing& listing);

// Sets the four log paths from the listing (plain names win over case-prefixed
// ones; "NONE" when absent) and the menu entries that follow from them.
// Returns the number of missing documents.
int NegotiateLogPaths(const FolderListing& listing, const std::string& caseNumber, Paths& paths, MenuState& menus);

} // namespace pellam
