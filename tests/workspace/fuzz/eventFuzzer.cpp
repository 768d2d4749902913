// Any bytes as an event file: the reader ends, and what it accepts keeps the
// incident's limits.
#include "support/FuzzInput.h"
#include "workspace/Incident.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using pellam::fuzz::Require;
    const auto incident = pellam::ReadEventFile(pellam::fuzz::InputFile(data, size, "input.evt"));
    if (!incident) {
        Require(!incident.error().text.empty(), "an error without a reason");
        return 0;
    }
    const pellam::Incident& i = incident.value();
    Require(i.SubjectCount <= pellam::Incident::kMaxSubjects, "more subjects than the record holds");
    Require(i.AttachPath.ends_with('/') || i.AttachPath.ends_with('\\'), "attachment folder without its separator");
    std::size_t bytes = i.CaseNumber.size() + i.Location.size() + i.AttachPath.size();
    for (const auto& name : i.SubjectName)
        bytes += name.size();
    Require(bytes <= 3 * size + 1, "texts longer than the file");
    return 0;
}
