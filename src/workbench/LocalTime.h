#pragma once
// Moments of the incident as its system wrote them: local wall-clock times
// without a zone. They are kept as seconds counted on the calendar from
// 1970-01-01 00:00:00 of that same wall clock, so two moments compare and
// subtract as written, whatever zone this machine is in.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace pellam {

using LocalSeconds = std::int64_t;

// The moment of a calendar date and time of day; nothing for a date that does
// not exist (month 13, 30 February, year 0) or a time out of its range.
std::optional<LocalSeconds> MakeLocalSeconds(int year, int month, int day, int hour, int minute, int second);

// "2026-12-05T14:33:02".
std::string IsoText(LocalSeconds t);

// Seconds into the day written as "h:mm", "hh:mm", with ":ss" or not, and
// optionally followed by " AM" or " PM" (12-hour clock, letter case
// ignored). `used` receives the characters the time took.
std::optional<std::int32_t> ReadTimeOfDay(std::u16string_view text, std::size_t& used);

// A short date as the incident system writes it: month/day/year with one or
// two digits for month and day and four for the year (m/d/yyyy, mm/dd/yyyy,
// m/dd/yyyy, mm/d/yyyy). `used` receives the characters the date took.
std::optional<LocalSeconds> ReadShortDate(std::u16string_view text, std::size_t& used);
std::optional<LocalSeconds> ReadShortDate(std::string_view text);

// The event file's date and time ("12/5/2026", "1432" or "14:32"); nothing
// when either is absent or unreadable.
std::optional<LocalSeconds> EventFileMoment(std::string_view date, std::string_view time);

// A file time of this machine as its local wall-clock moment.
LocalSeconds FromFileTime(std::time_t t);

} // namespace pellam
