#pragma once
// The examiner's notes as the case report's section writes them: every mark
// in the order it was made, with its place, its examiner and times, its
// note, and a warning where the recording changed since.
#include "base/FolderPath.h"
#include "notes/Mark.h"
#include "workspace/RoleTable.h"

#include <optional>
#include <string>
#include <vector>

namespace pellam {

inline constexpr const char* kNotesSectionHeading = "Examiner's Notes";

struct NoteLine {
    std::string text;
    bool bold = false;
    bool italic = false;
};

// The section's lines under its heading; one line saying so when there are no marks.
std::vector<NoteLine> ExaminersNotesLines(
    const std::vector<Mark>& marks, const std::vector<bool>& stale, const RoleTable& roles);

// The incident's marks for the report, read from its store in `ownFolder`
// without making one: none when the incident was never marked; the reason
// when the store cannot be read.
struct ReportMarks {
    std::vector<Mark> marks;
    std::optional<std::string> problem;
};
ReportMarks ReadMarksForReport(const std::string& eventFile, const std::string& caseNumber,
    const FolderPath& evidence, const FolderPath& ownFolder);

} // namespace pellam
