#pragma once
// The incident on one time axis: the recordings as bars, the dated entries of
// the Main Log, the NOC and ADMIN logs, and the conversation lines as
// markers. Built from the documents already read and the recording list; the
// timeline window paints it and pellam-cli writes it as JSON.
#include "workbench/IncidentTexts.h"
#include "workbench/LocalTime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pellam {

enum class TimelineLane : std::uint8_t { Recording, Main, Noc, Admin, Text };

// "recording", "main", "noc", "admin", "text".
const char* LaneName(TimelineLane lane);

struct TimelineEvent {
    TimelineLane lane = TimelineLane::Main;
    // A recording's start, an entry's date and time; nothing when it has none.
    std::optional<LocalSeconds> time;
    // A recording's file name; for a Main Log notation with an elapsed time,
    // the recording a double-click on it plays ("" otherwise).
    std::string recording;
    // The notation's offset into that recording (whole seconds, before the lead-in).
    std::optional<std::int32_t> offset;
    // A recording's length in whole seconds; nothing when unknown.
    std::optional<std::int32_t> duration;
    // The document the event comes from (IncidentDocument::source); "" for a
    // recording the Main Log never announced.
    std::string source;
    // The entry's text position in its document (a recording's: the
    // announcing line's); nothing when it has none.
    std::optional<std::int32_t> position;
    std::string text; // the entry's text after its date and time
    // Beside what pellam-cli writes: the recording's number in the list (from
    // 1; 0 when it is not listed) and, on the Recordings lane, the row it is
    // stacked on so that recordings overlapping in time do not cover each other.
    int recordingNumber = 0;
    int row = 0;
};

struct Timeline {
    // The incident's start and end as the event file gives them.
    std::optional<LocalSeconds> start;
    std::optional<LocalSeconds> end;
    // Sorted by time; events without a time last, in document order.
    std::vector<TimelineEvent> events;
    // How many rows the Recordings lane needs (at least 1).
    int recordingRows = 1;

    // The span to show: start to end, else the first and last dated event;
    // nothing when nothing has a time.
    std::optional<std::pair<LocalSeconds, LocalSeconds>> Span() const;
};

struct TimelineInput {
    Incident incident;
    std::vector<Mp3Record> listRows; // the recording list as shown
    FolderPath evidence; // where the listed recordings are (their file times)
};

// The timeline's input from the incident as the recording pass left it.
TimelineInput TimelineInputOf(const IncidentModel& model);

// How long a recording of unknown length counts when recordings are stacked
// in rows: a short bar, so that it still keeps its place.
inline constexpr std::int32_t kUnknownLengthSeconds = 60;

Timeline BuildTimeline(const TimelineInput& input, const IncidentTexts& texts);

} // namespace pellam
