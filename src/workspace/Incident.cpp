#include "workspace/Incident.h"

#include "workspace/DelimitedReader.h"

#include <optional>

namespace pellam {
namespace {

// Reads the values in file order; the first error ends the read.
std::optional<Incident> Parse(DelimitedReader& in)
{
    Incident inc;
    bool ok = true;
    auto text = [&](std::string& into) {
        if (!ok)
            return;
        auto v = in.ReadText();
        ok = v.ok();
        if (ok)
            into = std::move(v).value();
    };
    auto integer = [&](std::int16_t& into) {
        if (!ok)
            return;
        auto v = in.ReadInt16();
        ok = v.ok();
        if (ok)
            into = v.value();
    };
    auto skip = [&](int n) {
        if (ok)
            ok = in.Skip(n).ok();
    };

    skip(2);
    text(inc.CaseNumber);
    text(inc.StartTime);
    text(inc.StartDate);
    text(inc.Location);
    skip(5);
    integer(inc.SubjectCount);
    if (ok && inc.SubjectCount > Incident::kMaxSubjects)
        return std::nullopt; // the subject table holds ten
    for (int i = 1; ok && i <= inc.SubjectsRead(); ++i) {
        text(inc.SubjectName[static_cast<std::size_t>(i)]);
        text(inc.SubjectDOB[static_cast<std::size_t>(i)]);
    }
    skip(1);
    text(inc.AttachPath);
    text(inc.EndDate);
    text(inc.EndTime);
    integer(inc.Mp3Count);
    if (!ok)
        return std::nullopt;
    return inc;
}

} // namespace

bool ReadEventFile(const std::string& path, Incident& incident)
{
    auto reader = DelimitedReader::OpenFile(path);
    if (!reader)
        return false;
    auto parsed = Parse(reader.value());
    if (!parsed)
        return false;
    incident = std::move(*parsed);
    if (incident.AttachPath.empty() || incident.AttachPath.back() != '/')
        incident.AttachPath += '/';
    return true;
}

} // namespace pellam
