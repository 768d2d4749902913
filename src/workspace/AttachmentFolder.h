#pragma once
// Where an incident's attachments are on this machine. The event file names
// the attachments folder as the incident system saw it, usually a Windows
// path such as "C:\Cordane\Incidents\4711\" that does not exist here; the
// evidence folder the examiner opened is a copy of that incident's files. The
// folder is resolved once, when the incident is opened, and the attachments
// window, the attachments list and pellam-cli all take it from there. This is
// the one place a folder text of the incident system's machine becomes a
// folder of this one.
#include "base/FolderPath.h"
#include "workspace/SysConfig.h"

#include <string>

namespace pellam {

// A folder text read from an incident file, closed with its separator:
// unchanged when it ends with "\" or "/"; otherwise "/" is appended to a path
// written with "/" only, "\" (the incident system's separator) to any other.
std::string WithClosingSeparator(std::string folder);

// The last component of a Windows or POSIX folder path, closing separators
// ignored ("4711" of "C:\Cordane\4711\"); "" for a drive or root alone.
std::string LastFolderName(const std::string& folder);

struct AttachmentFolder {
    enum class Source {
        None, // no folder found: the list stays empty and the note says why
        AsNamed, // the named folder, inside the evidence folder
        InEvidence, // a folder of the evidence folder that holds "ATCH.lst"
        Outside, // the named folder, outside the evidence folder
    };
    Source source = Source::None;
    FolderPath folder; // on this machine; empty when none
    // What the operator is told about it; "" when the folder is the one the
    // event file names, inside the evidence folder, and its list was read.
    std::string note;
};

// Resolves the folder the event file names (`named`, as written) against the
// opened evidence folder, first rule that applies:
//  1. the named folder itself when it lies inside the evidence folder (a
//     POSIX path, or a relative one taken from the evidence folder);
//  2. a folder of the evidence folder holding "ATCH.lst": the one with the
//     named folder's last name, then "Attachments", then the evidence folder
//     itself (the incident system usually names its own incident folder, so
//     an evidence folder copied from it holds the list at its top);
//  3. the named folder when it exists on this machine (a POSIX path).
// A Windows path never exists here, so it only ever leads to rule 2.
AttachmentFolder ResolveAttachmentFolder(const std::string& named, const FolderPath& evidence);

// Resolves the folder and reads its "ATCH.lst" into `list`; a list that
// cannot be read, or is read only in part, is added to the note.
AttachmentFolder LoadIncidentAttachments(const std::string& named, const FolderPath& evidence, AttachmentList& list);

} // namespace pellam
