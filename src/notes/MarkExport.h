#pragma once
// The marks as the examiner takes them out: the fields pellam-cli writes (as
// JSON there, as CSV for a spreadsheet here), and which marks are stale.
#include "notes/Mark.h"
#include "workspace/IncidentModel.h"

#include <string>
#include <vector>

namespace pellam {

// Seconds with milliseconds, "83.250".
std::string OffsetText(std::int64_t ms);

// For each mark, whether its recording's content changed since it was made;
// each recording is read once however many marks it has.
std::vector<bool> StaleFlags(const IncidentModel& model, const std::vector<Mark>& marks);

// A header line, then a line per mark: on, recording, offset, source,
// position, note, examiner, created, changed, stale. Fields that do not apply
// are empty; a field with a comma, a quote or a line break is quoted.
std::string MarksCsv(const std::vector<Mark>& marks, const std::vector<bool>& stale);

} // namespace pellam
