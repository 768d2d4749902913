#pragma once
// Opening an attachment or a received file with the program the desktop
// associates with its type: which file a name stands for, refusing names
// that would leave their folder, and the messages a failed open shows.
#include "base/FolderPath.h"
#include "base/Message.h"
#include "base/Result.h"

#include <optional>
#include <string>
#include <utility>

namespace pellam {

// Why the desktop did not open a file, as the result codes of a shell open.
enum class ExamineFailure {
    FileNotFound = 2,
    PathNotFound = 3, // no attachments folder was found
    AccessDenied = 5, // the name leaves its folder
    NoAssociation = 31, // nothing took the file
};

// "Unable to examine file." and the reason for a shell result of 32 or less,
// `detail` (the file and what the system said) behind it; nullopt for a
// result above 32 (success).
std::optional<Message> ExamineMessage(int shellResult, std::string detail = {});
inline Message ExamineMessage(ExamineFailure failure, std::string detail = {})
{
    return *ExamineMessage(static_cast<int>(failure), std::move(detail));
}

// The shell result an exit status of the desktop's opener (xdg-open) stands
// for: 2 (file not found) is 2, 3 (no program for the file, or a tool it
// needs, was found) is 31, 4 (the open failed) is 27; any other is 0.
int ShellResultOfOpenerStatus(int exitStatus);

// "Examine Attachment" with no row selected.
Message NothingSelectedMessage();

// The path of `name` inside `folder` by the one rule for names read from
// incident files (NameInFolder); a refusal is AccessDenied.
Result<std::string, ExamineFailure> FileInFolder(const FolderPath& folder, const std::string& name);

// The attachment `fileName` of the list read from `folder` (the attachments
// folder as resolved on this machine; none when none was found): in its
// "Attachments" subfolder, or, when it is not there, beside the list itself.
Result<std::string, ExamineFailure> AttachmentFile(const FolderPath& folder, const std::string& fileName);

} // namespace pellam
