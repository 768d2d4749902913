#pragma once
// The statistics page of an incident: case and location, when it started and
// ended and how long it ran, the subjects the event file names, and the
// number, total and average length of its recordings. Values that cannot be
// read add nothing; the page is always written.
#include "richtext/RichDocument.h"
#include "workspace/Incident.h"
#include "workspace/Session.h"

#include <optional>
#include <string>
#include <vector>

namespace pellam {

struct RecordingTimes {
    std::string Total; // hh:mm:ss
    std::string Average; // mm:ss
};

// Sums the "mm:ss" durations (unknown and unreadable ones add nothing) and
// averages over all mp3Count recordings, the unknown ones included.
RecordingTimes TotalAndAverage(const std::vector<Mp3Record>& table, int mp3Count);

// Days from 1 January 1970 of a date written by the short-date pattern (the
// tokens of LocaleFormats); also year-first dates. Nothing when unreadable.
std::optional<long> DayNumber(const std::string& date, const std::string& shortDatePattern);

// "<d> Day(s), <h> Hours, <m> Minutes" from the event file's start and end.
std::string RunTimeText(const Incident& incident, const std::string& shortDatePattern);

struct StatisticsInput {
    const Incident& incident;
    const std::vector<Mp3Record>& table; // the recording table (durations)
    int mp3Count = 0; // recordings listed
    std::string roleName0; // the word for the persons of role 0
    std::string shortDatePattern;
};

RichDocument BuildStatistics(const StatisticsInput& input);

// Reads the records file's role-0 label (checking the file as a full load
// would, without keeping its persons); when that fails the persons of role 0
// are called "Target".
void RefreshRoleName0(Session& session);

// The page of the session's incident, after refreshing the role-0 label.
RichDocument BuildStatistics(Session& session);

} // namespace pellam
