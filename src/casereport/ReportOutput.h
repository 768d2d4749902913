#pragma once
// Where a report or a printout may be written: never into the evidence
// folder (the examiner's copy of it stays as it was received), and only where
// the file can be made.
#include "base/FolderPath.h"
#include "base/Message.h"

#include <optional>
#include <string>

namespace pellam {

// Why `out` cannot take the file; nothing when it can. A file that does not
// exist yet is made and taken away again to find out.
std::optional<Message> CheckReportOutput(const std::string& out, const FolderPath& evidence);

} // namespace pellam
