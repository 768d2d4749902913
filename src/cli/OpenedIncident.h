#pragma once
// The verbs that work on an incident open it as the main window does: the
// open sequence, then the recording pass to its end.
#include "workspace/IncidentModel.h"

#include <optional>
#include <string>

namespace pellam::cli {

// Opens the incident of event file `argument` into `model`. On failure the
// reason is on stderr and the verb's exit code is returned.
std::optional<int> OpenIncidentArgument(const std::string& argument, IncidentModel& model);

} // namespace pellam::cli
