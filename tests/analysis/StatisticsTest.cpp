#include "analysis/Statistics.h"
#include "analysis/ReportWriter.h"
#include "support/TempDir.h"

#include "../records/RecordFiles.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

std::vector<Mp3Record> Durations(std::initializer_list<const char*> texts)
{
    std::vector<Mp3Record> table;
    for (const char* d : texts)
        table.push_back(Mp3Record {"", "", d, "", ""});
    return table;
}

std::string RunTime(const char* startDate, const char* startTime, const char* endDate, const char* endTime)
{
    Incident i;
    i.StartDate = startDate;
    i.StartTime = startTime;
    i.EndDate = endDate;
    i.EndTime = endTime;
    return RunTimeText(i, "M/d/yyyy");
}

} // namespace

TEST(ReportWriter, FontsAreNamedOnceAndSizesAreHalfPoints)
{
    RichDocument doc;
    ReportWriter out(doc);
    out.SetFont("Tahoma");
    out.Append("a", false, false, false, 1);
    out.SetFont("Courier New");
    out.Append("b", true, false, false, 0); // no size: the report's 12 points
    out.SetFont("Tahoma");
    out.Append("c", false, true, false, 14);
    std::vector<std::tuple<std::string, int, bool, bool>> runs;
    for (const RunView& run : doc.Runs(0))
        runs.emplace_back(doc.font(run.format.font)->name, run.format.halfPoints, run.format.bold, run.format.italic);
    EXPECT_EQ(runs,
        (std::vector<std::tuple<std::string, int, bool, bool>> {
            {"Tahoma", 2, false, false}, {"Courier New", 24, true, false}, {"Tahoma", 28, false, true}}));
    EXPECT_EQ(doc.fonts.size(), 2u);
}

TEST(Statistics, TotalAndAverageRecordingTime)
{
    // Durations, recording count, total, average.
    const std::tuple<std::vector<Mp3Record>, int, std::string, std::string> cases[] = {
        {Durations({"01:50", "02:30"}), 2, "00:04:20", "02:10"},
        {Durations({"00:45"}), 1, "00:00:45", "00:45"},
        {Durations({"01:00"}), 1, "00:01:00", "01:00"},
        {Durations({"59:00"}), 1, "00:59:00", "59:00"},
        // Unknown and empty durations add nothing but count in the average.
        {Durations({"59:59", "??:??", "", "x1:05", "10:00"}), 5, "01:09:59", "14:00"},
        {Durations({"00:01", "00:02"}), 2, "00:00:03", "00:02"}, // 1.5 s rounds to the even 2
        {{}, 0, "00:00:00", "00:00"},
    };
    for (const auto& [table, count, total, average] : cases) {
        const RecordingTimes t = TotalAndAverage(table, count);
        EXPECT_EQ(std::pair(t.Total, t.Average), std::pair(total, average)) << count;
    }
}

TEST(Statistics, RunTimeWithDayAndHourCorrections)
{
    EXPECT_EQ(RunTime("12/5/2026", "2359", "12/6/2026", "0001"), "0 Days, 0 Hours, 2 Minutes");
    EXPECT_EQ(RunTime("12/5/2026", "10:00", "12/5/2026", "11:30"), "0 Days, 1 Hours, 30 Minutes");
    EXPECT_EQ(RunTime("12/5/2026", "1432", "12/6/2026", "1432"), "1 Day, 0 Hours, 0 Minutes");
    EXPECT_EQ(RunTime("12/31/2026", "2300", "1/1/2027", "0100"), "0 Days, 2 Hours, 0 Minutes");
    EXPECT_EQ(RunTime("2/28/2024", "0000", "3/1/2024", "0000"), "2 Days, 0 Hours, 0 Minutes"); // leap day
    // Unreadable or reversed dates give no days; unreadable times count as 00.
    EXPECT_EQ(RunTime("", "", "12/5/2026", "0130"), "0 Days, 1 Hours, 30 Minutes");
    EXPECT_EQ(RunTime("12/6/2026", "0900", "12/5/2026", "1000"), "0 Days, 1 Hours, 0 Minutes");
    EXPECT_EQ(RunTime("13/45/2026", "ab", "2/30/2026", ""), "0 Days, 0 Hours, 0 Minutes");
}

TEST(Statistics, DayNumberFollowsThePatternTheCalendarAndTheTwoDigitYearPivot)
{
    // Date, short-date pattern, days since 1 January 1970 (nothing when no such day).
    const std::tuple<const char*, const char*, std::optional<long>> cases[]
        = {{"1/1/1970", "M/d/yyyy", 0L}, {"2/29/2024", "M/d/yyyy", 19782L}, {"2/29/2000", "M/d/yyyy", 11016L},
            {"2/29/2023", "M/d/yyyy", std::nullopt}, {"2/29/1900", "M/d/yyyy", std::nullopt},
            {"31.12.29", "dd.MM.yy", 21914L}, {"1.1.30", "d.M.yy", -14610L}, {"05.12.26", "dd.MM.yy", 20792L},
            {"2026-12-05", "dd.MM.yy", 20792L}, {"12/5/26", "none", 20792L}, {"4/31/2026", "M/d/yyyy", std::nullopt},
            {"1/31/2024", "M/d/yyyy", 19753L}, {"13/1/2026", "M/d/yyyy", std::nullopt},
            {"1/2/3/4", "M/d/yyyy", std::nullopt}, {"1/1/12026", "M/d/yyyy", std::nullopt}};
    for (const auto& [date, pattern, days] : cases)
        EXPECT_EQ(DayNumber(date, pattern), days) << date;
}

TEST(Statistics, PageListsAtMostTenSubjectsUnderTheRoleWord)
{
    Incident i;
    i.CaseNumber = "4711";
    i.Location = "Z\u00fc"; // two characters, three bytes: too short for a location line
    i.StartDate = i.EndDate = "12/5/2026";
    i.StartTime = "1000";
    i.EndTime = "1130";
    i.SubjectCount = 12;
    for (std::size_t n = 1; n <= 10; ++n) {
        i.SubjectName[n] = "Name " + std::to_string(n);
        i.SubjectDOB[n] = "1/1/1980";
    }
    i.Mp3Count = 2;
    const auto table = Durations({"01:50", "02:30"});
    const std::string page = PlainLines(BuildStatistics({i, table, 2, "Subject", "M/d/yyyy"}));
    // Ten names under the count of twelve; a location of two characters has no line.
    EXPECT_NE(page.find(" Subjects identified during incident: 12\n      Name 1\tDOB: 1/1/1980\n"), std::string::npos);
    EXPECT_NE(page.find("      Name 10\tDOB: 1/1/1980\n\n MP3 Audio Files created"), std::string::npos) << page;
    EXPECT_EQ(page.find("Location"), std::string::npos);

    i.SubjectCount = 0;
    i.Mp3Count = 0;
    i.Location = "Kai"; // three characters: the shortest location shown
    const std::string none = PlainLines(BuildStatistics({i, {}, 0, "Witness", "M/d/yyyy"}));
    for (const char* line : {"Location: Kai\n", " There were no Witness identified during this incident. \n",
             " There were no MP3 Audio Files created during this incident.\n"})
        EXPECT_NE(none.find(line), std::string::npos) << line;
}

TEST(Statistics, RoleWordIsTargetWhenTheRecordsCannotBeReloaded)
{
    IncidentModel model;
    model.RecordsPath = "/nonexistent/records.rmq";
    const StatisticsInput input = StatisticsOf(model);
    EXPECT_EQ(input.roleName0, "Target");
    EXPECT_NE(PlainLines(BuildStatistics(input)).find("There were no Targets identified"), std::string::npos);

    // A readable file gives its label.
    test::TempDir dir;
    EXPECT_EQ(
        PageRoleName0(dir.write("1_Records.rmq", test::RecordFile("150", 150, {"1"}, 1)), RoleTable {}), "Suspect");
}

} // namespace pellam
