#pragma once
// The sample incident opened as the main window opens it, recording pass run
// to its end, for window tests that start from an open incident.
#include "workspace/OpenIncident.h"

#include <memory>

namespace pellam::test {

inline std::unique_ptr<IncidentModel> OpenSampleIncident()
{
    auto model = std::make_unique<IncidentModel>();
    OpenIncident open(*model);
    if (!open.Open(PELLAM_BINARY_DIR "/sample/4711/4711.evt"))
        return nullptr;
    open.RunToEnd();
    return model;
}

} // namespace pellam::test
