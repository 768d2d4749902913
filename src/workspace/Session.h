#pragma once
// The program-wide state of one review session. The main window owns the one
// Session and hands it to the other windows by reference; only the owners
// named beside each member write to it.
#include "base/Version.h"
#include "checksums/clsCRC.h"
#include "records/RoleNames.h"
#include "records/clsRecord.h"
#include "workspace/AttachmentFolder.h"
#include "workspace/FolderListing.h"
#include "workspace/Incident.h"
#include "workspace/IncidentPaths.h"
#include "workspace/LocaleFormats.h"
#include "workspace/MenuState.h"
#include "workspace/SysConfig.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pellam {

// A leading blank and three blanks between the two parts.
inline std::string BaseTitle()
{
    return std::string(" Norvik Technologies   Pellam v") + kAppVersion;
}

// One recording's texts, in the order the recording table holds them.
struct Mp3Record {
    std::string CRC;
    std::string FileName;
    std::string Duration;
    std::string Created;
    std::string Size;
    // Beside the table's texts: why the duration is less than the recording
    // was ("cut short: 62 of 105 frames"), or "".
    std::string DurationNote = {};
    bool operator==(const Mp3Record&) const = default;
};

// The main window's progress bar as data.
struct ProgressBar {
    int Max = 100;
    int Value = 0;
};

struct Session {
    // At most this many recordings are listed.
    static constexpr std::size_t kMaxRecordings = 5000;

    // Incident folder and event file (written by the open sequence).
    NewLoad newLoad;
    Paths paths; // paths.Evidence is the evidence folder
    std::string CaseNumber;
    Incident incident;
    FolderListing listing; // the evidence folder as listed when it was chosen

    // Recording data (written by the folder change, the duration pass and
    // FinishLoadUp). Entry n - 1 belongs to recording n, numbered in listing order.
    std::int16_t MP3Count = 0;
    std::vector<std::string> MP3Paths;
    // FileName and Duration come from the duration pass and stay empty for a
    // recording whose duration never arrived; CRC, Created and Size from FinishLoadUp.
    std::vector<Mp3Record> MP3Table;
    std::vector<Mp3Record> ListRows; // the recording list's rows as shown
    std::string DetailsFile; // file name of the row last clicked

    // Records file (written by the folder change and FinishLoadUp).
    bool RecordsFound = false;
    clsRecord RecHandler;
    // The persons, as the last records load left them (written by the record
    // list window and the statistics page through RecHandler.RECORDLOAD).
    RecordTable Records;

    // Configuration data (written by the open sequence and the records store).
    RoleTable roles;
    AttachmentList attachments;
    // Where the attachments are on this machine (written by FinishLoadUp).
    AttachmentFolder attachFolder;

    // The one CRC engine, CRC-32 selected (used on the user-interface thread).
    clsCRC CRC;

    // What the main window shows besides its list (written by the open sequence).
    MenuState menus;
    std::string title = BaseTitle();
    std::string PathLabel; // the path label: the records file's path, or ""
    std::string PhotoLabel; // the diagnostic label: "PicPath = " and PicPath(paths)
    ProgressBar Progress;
    bool Hourglass = false; // the mouse pointer shows the hourglass

    // Figures sizes and dates are written with (the window passes its locale's).
    LocaleFormats Formats;
};

} // namespace pellam
