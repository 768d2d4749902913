#pragma once
// Where a mark is, in words and on the incident's time axis.
#include "notes/Mark.h"
#include "workbench/Timeline.h"
#include "workspace/RoleTable.h"

#include <optional>
#include <string>
#include <vector>

namespace pellam {

// "m:ss.mmm" (or "h:mm:ss.mmm" from an hour on) of a moment in a recording.
std::string RecordingMomentText(std::int64_t ms);

// How a list names the place of a mark: "4711_Rec01_1433.mp3 at 2:14.250",
// "Main Log, position 1200", "4711_TextCon0.doc, position 30",
// "Record sheet: Subject 1".
std::string PlaceText(const Mark& mark, const RoleTable& roles);

// A mark's place on the timeline: its lane and moment.
struct TimelinePlace {
    TimelineLane lane = TimelineLane::Main;
    LocalSeconds time = 0;
    std::size_t mark = 0; // index into the marks given
};

// The places of the marks that have one: a recording's from the recording's
// start, a log entry's or a conversation line's from the entry that holds
// it. Sorted by time. A person, or a recording or entry without a time, has none.
std::vector<TimelinePlace> TimelinePlaces(
    const std::vector<Mark>& marks, const Timeline& timeline, const IncidentTexts& texts);

} // namespace pellam
