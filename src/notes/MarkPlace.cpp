#include "notes/MarkPlace.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <unordered_map>

namespace pellam {

std::string RecordingMomentText(std::int64_t ms)
{
    const std::int64_t seconds = ms / 1000;
    char text[48];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%03lld", static_cast<long long>(seconds / 3600),
            static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60),
            static_cast<long long>(ms % 1000));
    else
        std::snprintf(text, sizeof text, "%lld:%02lld.%03lld", static_cast<long long>(seconds / 60),
            static_cast<long long>(seconds % 60), static_cast<long long>(ms % 1000));
    return text;
}

namespace {

constexpr const char* kLogNames[4]
    = {"Main Log", "NOC Communications Log", "ADMIN Communications Log", "Negotiator Position Paper"};

// The role and person of "Record:ROLE:PERSON".
std::optional<std::pair<int, int>> PersonOf(const std::string& source)
{
    int role = 0;
    int person = 0;
    const char* p = source.data() + 7;
    const char* end = source.data() + source.size();
    if (!source.starts_with("Record:"))
        return std::nullopt;
    auto r = std::from_chars(p, end, role);
    if (r.ec != std::errc() || r.ptr == end || *r.ptr != ':')
        return std::nullopt;
    r = std::from_chars(r.ptr + 1, end, person);
    if (r.ec != std::errc() || r.ptr != end)
        return std::nullopt;
    return std::pair(role, person);
}

} // namespace

std::string PlaceText(const Mark& mark, const RoleTable& roles)
{
    switch (mark.on) {
    case MarkOn::Recording:
        return mark.recording + " at " + RecordingMomentText(mark.offsetMs);
    case MarkOn::Person:
        if (const auto person = PersonOf(mark.source))
            return "Record sheet: " + roles.RoleName(static_cast<std::int16_t>(person->first)) + " "
                + std::to_string(person->second);
        return mark.source;
    case MarkOn::Document:
    case MarkOn::Conversation:
        break;
    }
    std::string name = mark.source;
    for (int i = 0; i < 4; ++i)
        if (name == kLogSources[i])
            name = kLogNames[i];
    return mark.position ? name + ", position " + std::to_string(*mark.position) : name;
}

std::vector<TimelinePlace> TimelinePlaces(
    const std::vector<Mark>& marks, const Timeline& timeline, const IncidentTexts& texts)
{
    std::unordered_map<std::string, LocalSeconds> starts;
    for (const TimelineEvent& e : timeline.events)
        if (e.lane == TimelineLane::Recording && e.time)
            starts.try_emplace(e.recording, *e.time);
    std::unordered_map<std::string, const IncidentDocument*> documents;
    for (const IncidentDocument& d : texts.documents)
        documents.try_emplace(d.source, &d);

    std::vector<TimelinePlace> places;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const Mark& m = marks[i];
        if (m.on == MarkOn::Recording) {
            if (const auto start = starts.find(m.recording); start != starts.end())
                places.push_back({TimelineLane::Recording, start->second + m.offsetMs / 1000, i});
            continue;
        }
        const auto doc = documents.find(m.source);
        if (doc == documents.end() || !m.position)
            continue;
        const IncidentDocument& d = *doc->second;
        TimelineLane lane = TimelineLane::Text;
        if (d.kind == DocumentKind::Log) {
            if (d.index > 2)
                continue; // the position paper has no lane
            lane = static_cast<TimelineLane>(d.index + 1);
        } else if (d.kind != DocumentKind::Conversation) {
            continue;
        }
        if (const DatedEntry* entry = EntryHolding(d.entries, *m.position))
            places.push_back({lane, entry->time, i});
    }
    std::stable_sort(places.begin(), places.end(), [](const auto& a, const auto& b) { return a.time < b.time; });
    return places;
}

} // namespace pellam
