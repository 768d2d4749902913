#pragma once
// The incident system's small configuration files in the evidence folder:
// "SGfg.dat" (system configuration, gives role 0's label), "SCfg.dat" (labels
// of roles 1..7) and the attachments list "ATCH.lst".
#include "base/FolderPath.h"
#include "base/Message.h"
#include "base/Result.h"
#include "workspace/RoleTable.h"

#include <string>
#include <vector>

namespace pellam {

// Reads "SGfg.dat" in the evidence folder and gives its value 9, the
// label the incident system uses for role 0; role 0's label is taken from it
// when it is longer than 2 characters. On failure the message box to show is
// the error and the incident must not be opened.
Result<std::string, Message> LoadSysConfig(const FolderPath& locationPath, RoleTable& roles);

// Reads the labels of roles 1..7 from "SCfg.dat"; false when it cannot.
bool LoadRoleNames(const FolderPath& locationPath, RoleTable& roles);

// Fills the role labels from "SCfg.dat" or from the defaults.
void SetRoleNames(const FolderPath& locationPath, RoleTable& roles);

struct AttachmentEntry {
    std::string FileName;
    std::string Description;
    std::string FileType;
    std::string ApproxSize;
};

struct AttachmentList {
    static constexpr int kMaxEntries = 1000;
    std::int16_t AttachCount = 0; // as read, may exceed the entries held
    std::vector<AttachmentEntry> entries; // at most 1000; entry i is entries[i - 1]
};

// Reads "ATCH.lst" from the attachments folder into the list. Ends at the
// first error; what was read so far stays. The value says what the list
// leaves out of the file ("lists 1200 attachments; only the first 1000 are
// shown", "ends in its attachment 3 of 5 (...)"), "" when nothing. The error
// says why nothing could be read: the file cannot be opened, is larger than
// a list is read, or its count is not a number.
Result<std::string, std::string> LoadAttachmentList(const FolderPath& folder, AttachmentList& list);

// Category word of a file extension ("mp3" -> "Audio File").
std::string FileCategory(const std::string& extension);

} // namespace pellam
