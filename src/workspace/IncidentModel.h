#pragma once
// What the open sequence learns about one incident: its paths, event file,
// recordings, role labels, records file, attachments and the formats its
// figures are written with. The open sequence and the recording pass write
// it; windows get narrow read-only views of it from the program that owns it.
#include "workspace/AttachmentFolder.h"
#include "workspace/FolderListing.h"
#include "workspace/Incident.h"
#include "workspace/IncidentPaths.h"
#include "workspace/LocaleFormats.h"
#include "workspace/RoleTable.h"
#include "workspace/SysConfig.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pellam {

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
    // The SHA-256 in lower-case hex, from the same read as the CRC's first
    // confirmed reading; "" while the CRC is "Unknown".
    std::string Sha256 = {};
    bool operator==(const Mp3Record&) const = default;
};

struct IncidentModel {
    // At most this many recordings are listed.
    static constexpr std::size_t kMaxRecordings = 5000;

    // Incident folder and event file (written by the open sequence).
    NewLoad newLoad;
    Paths paths; // paths.Evidence is the evidence folder
    std::string CaseNumber;
    Incident incident;
    // Whether the event file was read when the recording pass ended.
    bool IncidentFound = false;
    FolderListing listing; // the evidence folder as listed when it was chosen
    // The evidence folder has been listed into `listing` (by the folder change).
    bool FolderListed = false;

    // Recording data (written by the folder change, the duration pass and
    // FinishLoadUp). Entry n - 1 belongs to recording n, numbered in listing order.
    std::int16_t MP3Count = 0;
    std::vector<std::string> MP3Paths;
    // FileName and Duration come from the duration pass and stay empty for a
    // recording whose duration never arrived; CRC, Sha256, Created and Size from FinishLoadUp.
    std::vector<Mp3Record> MP3Table;
    std::vector<Mp3Record> ListRows; // the recording list's rows as shown

    // The records file: the first "*.rmq" of the listing (written by the
    // folder change and FinishLoadUp); "" when there is none.
    bool RecordsFound = false;
    std::string RecordsPath;

    // The sibling program and the upload log beside the evidence (written by FinishLoadUp).
    bool HasVistrel = false;
    bool HasIntelUpload = false;

    // Configuration data (written by the open sequence; the records file's
    // role-0 label by whoever loads the records).
    RoleTable roles;
    AttachmentList attachments;
    // Where the attachments are on this machine (written by FinishLoadUp).
    AttachmentFolder attachFolder;

    // Figures sizes and dates are written with (the window passes its locale's).
    LocaleFormats Formats;
};

} // namespace pellam
