#pragma once
// The sample incident opened as the main window opens it, recording pass run
// to its end, for window tests that start from an open incident.
#include "workspace/OpenIncident.h"

#include "support/TempDir.h"

#include <filesystem>
#include <memory>
#include <string>

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

// A copy of the sample incident's folder as `dir`/`name`, for tests that change or refuse it.
inline std::filesystem::path SampleCopy(const TempDir& dir, const std::string& name = "4711")
{
    std::filesystem::copy(std::filesystem::path(PELLAM_BINARY_DIR) / "sample/4711", dir.path() / name,
        std::filesystem::copy_options::recursive);
    return dir.path() / name;
}

} // namespace pellam::test
