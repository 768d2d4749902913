#pragma once
// Opening an attachment or a received file with the program the desktop
// associates with its type: which file a name stands for, refusing names
// that would leave their folder, and the messages a failed open shows.
#include "base/Message.h"
#include "base/Result.h"

#include <optional>
#include <string>

namespace pellam {

// Why the desktop did not open a file, as the result codes of a shell open.
enum class ExamineFailure {
    FileNotFound = 2,
    AccessDenied = 5, // the name leaves its folder
    NoAssociation = 31, // nothing took the file
};

// "Unable to examine file." and the reason for a shell result of 32 or less;
// nullopt for a result above 32 (success).
std::optional<Message> ExamineMessage(int shellResult);
inline Message ExamineMessage(ExamineFailure failure)
{
    return *ExamineMessage(static_cast<int>(failure));
}

// "Examine Attachment" with no row selected.
Message NothingSelectedMessage();

// The path of `name` inside `folder` (ending with "/"). Refused when the
// name is empty, ".", "..", holds a separator ("/" or "\") or a NUL, or when
// the file it reaches, links resolved, lies outside the folder.
Result<std::string, ExamineFailure> FileInFolder(const std::string& folder, const std::string& name);

// The attachment `fileName` of the list read from `attachPath` (the
// attachments folder, ending with "/"): in its "Attachments" subfolder, or,
// when it is not there, beside the list itself.
Result<std::string, ExamineFailure> AttachmentFile(const std::string& attachPath, const std::string& fileName);

} // namespace pellam
