// pellam-cli event EVT: the incident record read from an event file.
#include "cli/Json.h"
#include "cli/Verbs.h"
#include "workspace/Incident.h"

#include <algorithm>
#include <cstdio>

namespace pellam::cli {
namespace {

int Run(const Args& args)
{
    const auto read = ReadEventFile(args[0]);
    if (!read) {
        std::printf("{\"ok\":false}\n");
        return kNegative;
    }
    const Incident& inc = read.value();
    Json j;
    j.BeginObject()
        .Field("ok", true)
        .Field("CaseNumber", inc.CaseNumber)
        .Field("StartTime", inc.StartTime)
        .Field("StartDate", inc.StartDate)
        .Field("Location", inc.Location)
        .Field("SubjectCount", static_cast<int>(inc.SubjectCount));
    j.Key("Subjects").BeginArray();
    for (int i = 1; i <= std::min(inc.SubjectsRead(), Incident::kMaxSubjects); ++i) {
        const auto k = static_cast<std::size_t>(i);
        j.BeginObject().Field("Name", inc.SubjectName[k]).Field("DOB", inc.SubjectDOB[k]).EndObject();
    }
    j.EndArray()
        .Field("AttachPath", inc.AttachPath)
        .Field("EndDate", inc.EndDate)
        .Field("EndTime", inc.EndTime)
        .Field("Mp3Count", static_cast<int>(inc.Mp3Count))
        .EndObject();
    std::printf("%s\n", j.str().c_str());
    return kOk;
}

const VerbRegistrar reg("event", "EVT", "the incident record of an event file as JSON", &Run);

} // namespace
} // namespace pellam::cli
