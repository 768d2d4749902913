#include "analysis/Statistics.h"

#include "records/clsRecord.h"

#include "analysis/ReportWriter.h"
#include "base/Cp1252.h"
#include "base/Rounding.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace pellam {
namespace {

const std::string kSeparator(81, '-');

// The number the characters are, when all of them are digits.
std::optional<int> Digits(std::string_view text)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int value = 0;
    for (char c : text)
        value = value * 10 + (c - '0');
    return value;
}

std::string TwoDigits(long value)
{
    return value < 10 ? "0" + std::to_string(value) : std::to_string(value);
}

// Days since 1970-01-01 of a proleptic Gregorian date.
long DaysFromCivil(long y, int m, int d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int DaysInMonth(long y, int m)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : kDays[m - 1];
}

// Hours from the first two characters and minutes from the last two of a
// time "hhmm" or "hh:mm"; a part that cannot be read stays 0.
std::pair<int, int> HoursAndMinutes(const std::string& time)
{
    if (Utf8Length(time) < 2)
        return {0, 0};
    return {Digits(Utf8Left(time, 2)).value_or(0), Digits(Utf8Right(time, 2)).value_or(0)};
}

} // namespace

RecordingTimes TotalAndAverage(const std::vector<Mp3Record>& table, int mp3Count)
{
    long secs = 0, mins = 0, hours = 0;
    const std::size_t count = std::min(table.size(), static_cast<std::size_t>(std::max(mp3Count, 0)));
    for (std::size_t n = 0; n < count; ++n) {
        const std::string& d = table[n].Duration;
        if (d.size() < 2 || d.ends_with("??"))
            continue;
        const auto s = Digits(d.substr(d.size() - 2));
        const auto m = Digits(d.substr(0, 2));
        if (!s || !m)
            continue;
        secs += *s;
        mins += *m;
    }
    mins += secs / 60;
    secs %= 60;
    hours += mins / 60;
    mins %= 60;
    const long total = hours * 3600 + mins * 60 + secs;
    const long average = mp3Count > 0 ? static_cast<long>(DivRoundHalfEven(total, mp3Count)) : 0;
    RecordingTimes times;
    times.Total = TwoDigits(hours) + ":" + TwoDigits(mins) + ":" + TwoDigits(secs);
    times.Average
        = average >= 60 ? TwoDigits(average / 60) + ":" + TwoDigits(average % 60) : "00:" + TwoDigits(average);
    return times;
}

std::optional<long> DayNumber(const std::string& date, const std::string& shortDatePattern)
{
    // The three numbers of the date, in the order they are written.
    std::vector<std::string> numbers;
    for (std::size_t i = 0; i < date.size();) {
        if (!std::isdigit(static_cast<unsigned char>(date[i]))) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < date.size() && std::isdigit(static_cast<unsigned char>(date[j])))
            ++j;
        numbers.push_back(date.substr(i, j - i));
        i = j;
    }
    if (numbers.size() != 3 || std::any_of(numbers.begin(), numbers.end(), [](auto& n) { return n.size() > 4; }))
        return std::nullopt;
    // The order of day, month and year in the pattern; a four-digit first number is a year.
    std::string order;
    for (char c : shortDatePattern)
        if ((c == 'd' || c == 'M' || c == 'y') && order.find(c) == std::string::npos)
            order += c;
    if (order.size() != 3)
        order = "Mdy";
    if (numbers[0].size() == 4)
        order = "yMd";
    long y = 0;
    int m = 0, d = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        const int v = *Digits(numbers[k]);
        if (order[k] == 'y')
            y = numbers[k].size() <= 2 ? (v < 30 ? 2000 + v : 1900 + v) : v;
        else if (order[k] == 'M')
            m = v;
        else
            d = v;
    }
    if (m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m))
        return std::nullopt;
    return DaysFromCivil(y, m, d);
}

std::string RunTimeText(const Incident& incident, const std::string& shortDatePattern)
{
    const auto start = DayNumber(incident.StartDate, shortDatePattern);
    const auto end = DayNumber(incident.EndDate, shortDatePattern);
    long days = start && end ? std::max(0L, *end - *start) : 0;
    auto [endH, endM] = HoursAndMinutes(incident.EndTime);
    const auto [startH, startM] = HoursAndMinutes(incident.StartTime);
    if (endH < startH) {
        days -= 1;
        endH += 24;
    }
    if (endM < startM) {
        endH -= 1;
        endM += 60;
    }
    days = std::max(days, 0L);
    return std::to_string(days) + (days == 1 ? " Day, " : " Days, ") + std::to_string(endH - startH) + " Hours, "
        + std::to_string(endM - startM) + " Minutes";
}

RichDocument BuildStatistics(const StatisticsInput& in)
{
    const Incident& incident = in.incident;
    RichDocument page;
    ReportWriter out(page);
    const RecordingTimes times = TotalAndAverage(in.table, in.mp3Count);
    const std::string runTime = RunTimeText(incident, in.shortDatePattern);

    out.SetAlignment(Alignment::Center);
    out.Append("Statistical Analysis of Case # ", true, false, false, 14);
    out.Append(incident.CaseNumber, true, false, true, 14);
    if (Utf8Length(incident.Location) >= 3) {
        out.Append("Location: ", false, false, false, 12);
        out.Append(incident.Location, true, false, true, 12);
    }
    out.Append(kSeparator, true, false, true, 12);
    out.Append("", false, false, true);
    out.SetAlignment(Alignment::Left);
    out.Append("", false, false, true);
    out.Append(" Incident Started on: " + incident.StartDate + " at " + incident.StartTime + " hours.", false, false,
        true, 12);
    out.Append(
        " Incident Ended on: " + incident.EndDate + " at " + incident.EndTime + " hours.", false, false, true, 12);
    out.Append("     Total run time: ", false, false, false, 12);
    out.Append(runTime, true, false, true, 12);
    out.Append("", false, false, true);

    const std::string word = in.roleName0 + (in.roleName0.ends_with('s') ? "" : "s");
    if (incident.SubjectCount >= 1) {
        out.Append(" " + word + " identified during incident: ", false, false, false, 12);
        out.Append(std::to_string(incident.SubjectCount), true, false, true, 12);
        const int listed = std::min<int>(incident.SubjectCount, Incident::kMaxSubjects);
        for (int i = 1; i <= listed; ++i)
            out.Append("      " + incident.SubjectName[static_cast<std::size_t>(i)]
                    + "\tDOB: " + incident.SubjectDOB[static_cast<std::size_t>(i)],
                true, false, true, 11);
    } else {
        out.Append(" There were no " + word + " identified during this incident. ", false, false, true, 12);
    }
    out.Append("", false, false, true);

    if (incident.Mp3Count < 1) {
        out.Append(" There were no MP3 Audio Files created during this incident.", false, false, true, 12);
        out.Append("", false, false, true);
    } else {
        out.Append(" MP3 Audio Files created during this incident: ", false, false, false, 12);
        out.Append(std::to_string(incident.Mp3Count), true, false, true, 12);
        out.Append("     Total Audio Recording Time: ", false, false, false, 12);
        out.Append(times.Total, true, false, true, 11);
        out.Append("     Average Recording Length: ", false, false, false, 12);
        out.Append(times.Average, true, false, true, 11);
    }
    return page;
}

std::string PageRoleName0(const std::string& recordsPath, RoleTable roles)
{
    // Only the label is wanted: the persons are checked, not kept.
    clsRecord records;
    records.SetRecordPath(recordsPath);
    std::array<std::string, 11> header;
    if (!records.RECORDHEADER(header, roles))
        return "Target";
    return roles.RoleName0;
}

StatisticsInput StatisticsOf(const IncidentModel& model)
{
    return StatisticsInput {model.incident, model.MP3Table, model.MP3Count,
        PageRoleName0(model.RecordsPath, model.roles), model.Formats.ShortDate};
}

} // namespace pellam
