#include "workbench/Timeline.h"

#include "base/PathText.h"
#include "logs/NotationLink.h"
#include "richtext/RichDocument.h"
#include "workspace/FileFacts.h"
#include "workspace/RecordingList.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>

namespace pellam {
namespace {

constexpr TimelineLane kLogLanes[3] = {TimelineLane::Main, TimelineLane::Noc, TimelineLane::Admin};

const IncidentDocument* MainLog(const IncidentTexts& texts)
{
    for (const IncidentDocument& doc : texts.documents)
        if (doc.kind == DocumentKind::Log && doc.index == 0)
            return &doc;
    return nullptr;
}

// The entry of the Main Log that first announced each recording, by file name.
std::unordered_map<std::string, const DatedEntry*> Announcements(const IncidentDocument* mainLog)
{
    std::unordered_map<std::string, const DatedEntry*> first;
    if (!mainLog)
        return first;
    const std::u16string_view text = mainLog->text;
    for (const DatedEntry& entry : mainLog->entries) {
        const auto name = AnnouncedRecording(text.substr(static_cast<std::size_t>(entry.textStart)));
        if (!name.empty())
            first.try_emplace(ToUtf8(name), &entry);
    }
    return first;
}

TimelineEvent EntryEvent(TimelineLane lane, const IncidentDocument& doc, const DatedEntry& entry)
{
    TimelineEvent event;
    event.lane = lane;
    event.time = entry.time;
    event.source = doc.source;
    event.position = entry.position;
    event.text = EntryText(doc.text, entry);
    return event;
}

// One bar per listed recording, from its announcement or else its file's time.
void AddRecordings(const TimelineInput& input, const IncidentDocument* mainLog, std::vector<TimelineEvent>& events)
{
    const auto announced = Announcements(mainLog);
    const ListedRecordings listed(input.listRows);
    const std::size_t count = std::min(input.listRows.size(), IncidentModel::kMaxRecordings);
    for (std::size_t i = 0; i < count; ++i) {
        const Mp3Record& row = input.listRows[i];
        TimelineEvent event;
        event.lane = TimelineLane::Recording;
        if (const auto it = announced.find(row.FileName); it != announced.end()) {
            event = EntryEvent(TimelineLane::Recording, *mainLog, *it->second);
        } else if (const auto path = NameInFolder(input.evidence, row.FileName)) {
            if (const auto written = LastWriteTime(path.value()))
                event.time = FromFileTime(*written);
        }
        event.recording = row.FileName;
        event.recordingNumber = listed.Number(row.FileName);
        if (const auto seconds = DurationSeconds(row.Duration))
            event.duration = static_cast<std::int32_t>(std::min<std::int64_t>(*seconds, INT32_MAX));
        events.push_back(std::move(event));
    }
}

// Every dated entry of the Main, NOC and ADMIN logs; a Main Log notation
// with what a double-click on its header plays.
void AddLogEntries(const TimelineInput& input, const IncidentTexts& texts, std::vector<TimelineEvent>& events)
{
    const ListedRecordings listed(input.listRows);
    for (const IncidentDocument& doc : texts.documents) {
        if (doc.kind != DocumentKind::Log || doc.index < 0 || doc.index > 2)
            continue;
        const TimelineLane lane = kLogLanes[doc.index];
        std::vector<std::optional<LandedNote>> notes;
        if (lane == TimelineLane::Main) {
            std::vector<std::int32_t> carets;
            carets.reserve(doc.entries.size());
            for (const DatedEntry& entry : doc.entries)
                carets.push_back(entry.position);
            notes = NotationsAtCarets(doc.text, carets);
        }
        for (std::size_t i = 0; i < doc.entries.size(); ++i) {
            TimelineEvent event = EntryEvent(lane, doc, doc.entries[i]);
            if (i < notes.size() && notes[i]) {
                const std::int16_t number = listed.Number(notes[i]->NoteAudioMP3);
                if (number != 0) {
                    event.recording = notes[i]->NoteAudioMP3;
                    event.offset = notes[i]->NoteAudioStart;
                    event.recordingNumber = number;
                }
            }
            events.push_back(std::move(event));
        }
    }
}

void AddConversationLines(const IncidentTexts& texts, std::vector<TimelineEvent>& events)
{
    for (const IncidentDocument& doc : texts.documents)
        if (doc.kind == DocumentKind::Conversation)
            for (const DatedEntry& entry : doc.entries)
                events.push_back(EntryEvent(TimelineLane::Text, doc, entry));
}

// Greedy rows: each bar, in order of start, goes on the lowest row whose
// bars have all ended by then. Returns how many rows there are.
int StackRecordings(std::vector<TimelineEvent>& events)
{
    std::vector<LocalSeconds> rowEnds;
    for (TimelineEvent& event : events) {
        if (event.lane != TimelineLane::Recording || !event.time)
            continue;
        const LocalSeconds end = *event.time + std::max(event.duration.value_or(kUnknownLengthSeconds), 1);
        auto row = std::find_if(rowEnds.begin(), rowEnds.end(), [&](LocalSeconds e) { return e <= *event.time; });
        if (row == rowEnds.end())
            row = rowEnds.insert(rowEnds.end(), end);
        else
            *row = end;
        event.row = static_cast<int>(row - rowEnds.begin());
    }
    return std::max<int>(1, static_cast<int>(rowEnds.size()));
}

} // namespace

const char* LaneName(TimelineLane lane)
{
    switch (lane) {
    case TimelineLane::Recording:
        return "recording";
    case TimelineLane::Main:
        return "main";
    case TimelineLane::Noc:
        return "noc";
    case TimelineLane::Admin:
        return "admin";
    case TimelineLane::Text:
        return "text";
    }
    return "";
}

std::optional<std::pair<LocalSeconds, LocalSeconds>> Timeline::Span() const
{
    std::optional<LocalSeconds> first, last;
    for (const TimelineEvent& event : events) {
        if (!event.time)
            continue;
        const LocalSeconds until = *event.time + event.duration.value_or(0);
        first = std::min(first.value_or(*event.time), *event.time);
        last = std::max(last.value_or(until), until);
    }
    const auto from = start ? start : first;
    const auto to = end ? end : last;
    if (!from || !to)
        return std::nullopt;
    return std::pair(std::min(*from, *to), std::max(*from, *to));
}

TimelineInput TimelineInputOf(const IncidentModel& model)
{
    return {model.incident, model.ListRows, model.paths.Evidence};
}

Timeline BuildTimeline(const TimelineInput& input, const IncidentTexts& texts)
{
    Timeline timeline;
    timeline.start = EventFileMoment(input.incident.StartDate, input.incident.StartTime);
    timeline.end = EventFileMoment(input.incident.EndDate, input.incident.EndTime);

    // Lane order, and document order within each lane: the order ties keep.
    std::vector<TimelineEvent>& events = timeline.events;
    AddRecordings(input, MainLog(texts), events);
    AddLogEntries(input, texts, events);
    AddConversationLines(texts, events);
    // Sorted as keys (time, then the order above), then moved once: the
    // events themselves are large.
    std::vector<std::tuple<bool, LocalSeconds, std::size_t>> order;
    order.reserve(events.size());
    for (std::size_t i = 0; i < events.size(); ++i)
        order.emplace_back(!events[i].time, events[i].time.value_or(0), i);
    std::sort(order.begin(), order.end());
    std::vector<TimelineEvent> sorted;
    sorted.reserve(events.size());
    for (const auto& [untimed, time, i] : order)
        sorted.push_back(std::move(events[i]));
    events = std::move(sorted);
    timeline.recordingRows = StackRecordings(events);
    return timeline;
}

} // namespace pellam
