#include "notes/MarkExport.h"

#include "notes/IncidentNotes.h"

#include <cstdio>
#include <map>
#include <optional>

namespace pellam {

std::string OffsetText(std::int64_t ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%03lld", static_cast<long long>(ms / 1000), static_cast<long long>(ms % 1000));
    return text;
}

std::vector<bool> StaleFlags(const IncidentModel& model, const std::vector<Mark>& marks)
{
    std::map<std::string, std::optional<std::string>> now;
    std::vector<bool> stale;
    stale.reserve(marks.size());
    for (const Mark& m : marks) {
        if (m.on != MarkOn::Recording || m.recordingSha256.empty()) {
            stale.push_back(false);
            continue;
        }
        auto it = now.find(m.recording);
        if (it == now.end())
            it = now.emplace(m.recording, RecordingSha256(model, m.recording)).first;
        stale.push_back(IsStale(m, it->second));
    }
    return stale;
}

namespace {

std::string CsvField(const std::string& s)
{
    if (s.find_first_of(",\"\r\n") == std::string::npos)
        return s;
    std::string quoted = "\"";
    for (const char c : s)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

} // namespace

std::string MarksCsv(const std::vector<Mark>& marks, const std::vector<bool>& stale)
{
    std::string out = "on,recording,offset,source,position,note,examiner,created,changed,stale\r\n";
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const Mark& m = marks[i];
        const bool onRecording = m.on == MarkOn::Recording;
        out += std::string(MarkOnName(m.on)) + "," + CsvField(onRecording ? m.recording : std::string()) + ","
            + (onRecording ? OffsetText(m.offsetMs) : std::string()) + ","
            + CsvField(onRecording ? std::string() : m.source) + ","
            + (m.position ? std::to_string(*m.position) : std::string()) + "," + CsvField(m.note) + ","
            + CsvField(m.examiner) + "," + LocalIsoText(m.createdMs) + "," + LocalIsoText(m.changedMs) + ","
            + (i < stale.size() && stale[i] ? "true" : "false") + "\r\n";
    }
    return out;
}

} // namespace pellam
