#pragma once
// The examiner's notes as a section of the case report: every mark in the
// order it was made, with its place, its examiner and times, its note, and a
// warning where the recording changed since.
#include "notes/Mark.h"
#include "richtext/RichDocument.h"
#include "workspace/RoleTable.h"

#include <vector>

namespace pellam {

inline constexpr const char* kNotesSectionHeading = "Examiner's Notes";

// The section, its heading first; a line saying so when there are no marks.
RichDocument ExaminersNotesSection(
    const std::vector<Mark>& marks, const std::vector<bool>& stale, const RoleTable& roles);

} // namespace pellam
