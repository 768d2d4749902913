#include "workbench/Timeline.h"

#include "base/PathText.h"
#include "logs/NotationLink.h"
#include "richtext/RichDocument.h"
#include "workspace/FileFacts.h"
#include "workspace/RecordingList.h"

#include <algorithm>
#include <thread>
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
std::vector<TimelineEvent> Recordings(const TimelineInput& input, const IncidentDocument* mainLog)
{
    std::vector<TimelineEvent> events;
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
    return events;
}

// An event still to be made, with what it is sorted by: its time, then the
// order it was met in (lane order, then document order).
struct Pending {
    bool untimed = false;
    LocalSeconds time = 0;
    std::size_t order = 0;
    TimelineLane lane = TimelineLane::Main;
    const IncidentDocument* doc = nullptr; // nothing for a recording
    std::size_t item = 0; // the recording's index, or the entry's in doc

    bool operator<(const Pending& o) const
    {
        return std::tie(untimed, time, order) < std::tie(o.untimed, o.time, o.order);
    }
};

// The Main Log's notations: what a double-click on each entry's header plays.
std::vector<std::optional<LandedNote>> Notations(const IncidentDocument& mainLog)
{
    std::vector<std::int32_t> carets;
    carets.reserve(mainLog.entries.size());
    for (const DatedEntry& entry : mainLog.entries)
        carets.push_back(entry.position);
    return NotationsAtCarets(mainLog.text, carets);
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

    // What there is, in lane order and document order within each lane (the
    // order ties keep), sorted before the events are made: they are large.
    // The Main Log's notations are linked on a thread of their own meanwhile.
    const IncidentDocument* mainLog = MainLog(texts);
    std::vector<std::optional<LandedNote>> notes;
    std::jthread linking;
    if (mainLog)
        linking = std::jthread([&notes, mainLog] { notes = Notations(*mainLog); });
    std::vector<TimelineEvent> recordings = Recordings(input, mainLog);
    std::vector<Pending> pending;
    const auto add
        = [&](std::optional<LocalSeconds> time, TimelineLane lane, const IncidentDocument* doc, std::size_t item) {
              pending.push_back({!time, time.value_or(0), pending.size(), lane, doc, item});
          };
    for (std::size_t i = 0; i < recordings.size(); ++i)
        add(recordings[i].time, TimelineLane::Recording, nullptr, i);
    for (int log = 0; log < 3; ++log)
        for (const IncidentDocument& doc : texts.documents)
            if (doc.kind == DocumentKind::Log && doc.index == log)
                for (std::size_t i = 0; i < doc.entries.size(); ++i)
                    add(doc.entries[i].time, kLogLanes[log], &doc, i);
    for (const IncidentDocument& doc : texts.documents)
        if (doc.kind == DocumentKind::Conversation)
            for (std::size_t i = 0; i < doc.entries.size(); ++i)
                add(doc.entries[i].time, TimelineLane::Text, &doc, i);
    std::sort(pending.begin(), pending.end());

    std::vector<TimelineEvent>& events = timeline.events;
    events.reserve(pending.size());
    for (const Pending& p : pending) {
        if (p.doc)
            events.push_back(EntryEvent(p.lane, *p.doc, p.doc->entries[p.item]));
        else
            events.push_back(std::move(recordings[p.item]));
    }

    // A notation with an elapsed time plays its recording if the list has it.
    if (linking.joinable())
        linking.join();
    const ListedRecordings listed(input.listRows);
    for (std::size_t i = 0; i < pending.size(); ++i) {
        const Pending& p = pending[i];
        if (!p.doc || p.doc != mainLog || !notes[p.item])
            continue;
        const LandedNote& note = *notes[p.item];
        if (const std::int16_t number = listed.Number(note.NoteAudioMP3); number != 0) {
            events[i].recording = note.NoteAudioMP3;
            events[i].offset = note.NoteAudioStart;
            events[i].recordingNumber = number;
        }
    }
    timeline.recordingRows = StackRecordings(events);
    return timeline;
}

} // namespace pellam
