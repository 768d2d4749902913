#pragma once
// The statistics page of an incident: case and location, when it started and
// ended and how long it ran, the subjects the event file names, and the
// number, total and average length of its recordings. Values that cannot be
// read add nothing; the page is always written.
#include "richtext/RichDocument.h"
#include "workspace/Incident.h"
#include "workspace/IncidentModel.h"

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
    Incident incident;
    std::vector<Mp3Record> table; // the recording table (durations)
    int mp3Count = 0; // recordings listed
    std::string roleName0; // the word for the persons of role 0
    std::string shortDatePattern;
};

RichDocument BuildStatistics(const StatisticsInput& input);

// The role-0 label the page calls the persons of role 0 by: the records
// file's (read and checked as a full load would check it, without keeping its
// persons), else the label `roles` holds; "Target" when the file cannot be read.
std::string PageRoleName0(const std::string& recordsPath, RoleTable roles);

// The page's input from the incident, its role-0 label read from the records file now.
StatisticsInput StatisticsOf(const IncidentModel& model);

} // namespace pellam
