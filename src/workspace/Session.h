#pragma once
// The program-wide state of one review session. The main window owns the one
// Session and hands it to the other windows by reference; only the owners
// named beside each member write to it.
#include "checksums/clsCRC.h"
#include "workspace/FolderListing.h"
#include "workspace/Incident.h"
#include "workspace/IncidentPaths.h"
#include "workspace/MenuState.h"
#include "workspace/RoleNames.h"
#include "workspace/SysConfig.h"

#include <string>

namespace pellam {

inline constexpr const char* kAppVersion = "7.54";
// A leading blank and three blanks between the two parts.
inline constexpr const char* kBaseTitle = " Norvik Technologies   Pellam v7.54";

struct Session {
    // Incident folder and event file (written by the open sequence).
    NewLoad newLoad;
    Paths paths;
    std::string PicPath;
    std::string CaseNumber;
    Incident incident;
    FolderListing listing; // the evidence folder as listed when it was chosen

    // Configuration data (written by the open sequence and the records store).
    RoleTable roles;
    AttachmentList attachments;

    // The one CRC engine, CRC-32 selected (used on the user-interface thread).
    clsCRC CRC;

    // Menu entries as the main window shows them.
    MenuState menus;
    std::string title = kBaseTitle;
};

} // namespace pellam
