#pragma once
// The verbs that work on an incident open it as the main window does: the
// open sequence, then the recording pass to its end.
#include "workbench/IncidentTexts.h"
#include "workspace/IncidentModel.h"

#include <optional>
#include <string>

namespace pellam::cli {

// Opens the incident of event file `argument` into `model`. On failure the
// reason is on stderr and the verb's exit code is returned.
std::optional<int> OpenIncidentArgument(const std::string& argument, IncidentModel& model);

// The opened incident's documents as texts; each one that could not be read
// is named on stderr with the reason, and the answer is made without it.
IncidentTexts ReadIncidentTextsTelling(const IncidentModel& model);

} // namespace pellam::cli
