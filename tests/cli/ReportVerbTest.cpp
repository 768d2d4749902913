#include "cli/RunVerb.h"
#include "support/SampleIncident.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <vector>

#include <sys/stat.h>

namespace pellam::test {
namespace {

namespace fs = std::filesystem;

// What a shell command writes on its standard output.
std::string Output(const std::string& command)
{
    std::string text;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;)
            text.append(buffer, n);
        ::pclose(p);
    }
    return text;
}

bool HasReport()
{
    return RunVerb({"report", "--help"}).status == 0;
}

// The report of a copy of the sample with a named pipe among its photos: the
// pipe is listed with its reason and the report still made; every page says
// "page N of M", every section is there, every file's SHA-256 is sha256sum's,
// the title names the document, the examiner's name comes out as given, and
// the same folder gives the same text again, copied to another place too.
TEST(VerbReport, HoldsEveryPageSectionAndHashAndGivesTheSameTextTwice)
{
    if (!HasReport())
        GTEST_SKIP() << "pellam-cli was built without the desktop program's libraries";
    TempDir dir;
    const fs::path incident = SampleCopy(dir);
    const std::string evt = (incident / "4711.evt").string();
    ASSERT_EQ(::mkfifo((incident / "Photo/stuck.jpg").c_str(), 0644), 0);
    ::setenv("PELLAM_TODAY", "2026-12-06", 1);
    ::setenv("PELLAM_EXAMINER", "Zo\u00eb \u00d1\u00fa\u00f1ez \u20ac \u05e9\u05e8\u05d4", 1);
    // A mark in the program's own folder, which the report's last section lists.
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", dir.file("home").c_str(), 1);
    ASSERT_EQ(RunVerb({"mark", evt, "4711_Rec01_1433.mp3", "2.5", "subject mentions a second weapon"}).status, 0);

    const std::string pdf = dir.file("report.pdf");
    const CliOutput made = RunVerb({"report", evt, pdf});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.out, Output("sha256sum " + ShellQuote(pdf)));
    EXPECT_NE(made.err.find("Photo/stuck.jpg: not read: not a regular file (a named pipe)"), std::string::npos)
        << made.err;

    const std::string text = Output("pdftotext " + ShellQuote(pdf) + " -");
    std::smatch pages;
    const std::string info = Output("pdfinfo " + ShellQuote(pdf));
    ASSERT_TRUE(std::regex_search(info, pages, std::regex(R"(Pages:\s+(\d+))")));
    const int count = std::stoi(pages[1]);
    EXPECT_GT(count, 10);
    for (int page = 1; page <= count; ++page)
        EXPECT_NE(text.find("page " + std::to_string(page) + " of " + std::to_string(count)), std::string::npos)
            << page;
    EXPECT_NE(info.find("Title:           Case Report of case 4711\n"), std::string::npos) << info;
    for (const char* heading : {"Case Report", "Contents", "Evidence Inventory", "CRC Integrity Test", "Statistics",
             "Timeline", "Main Log Notations", "Persons", "Conversations", "Attachments", "Examiner's Notes",
             "4711_Rec01_1433.mp3 at 0:02.500", "subject mentions a second weapon", "Date of the report: 2026-12-06",
             "Case 4711 \u00b7 Case Report", "Zo\u00eb \u00d1\u00fa\u00f1ez \u20ac", "Photo/stuck.jpg",
             // pdftotext gives the "fi" of "file" as a ligature
             "not read: not a regular", "(a named pipe)", "Lt. Omar Reyes"})
        EXPECT_NE(text.find(heading), std::string::npos) << heading;
    EXPECT_TRUE(
        text.find("\u05e9\u05e8\u05d4") != std::string::npos || text.find("\u05d4\u05e8\u05e9") != std::string::npos);

    // The contents list sends each section to the page it begins on.
    std::vector<std::string> page {""};
    for (const char c : Output("pdftotext -layout " + ShellQuote(pdf) + " -"))
        if (c == '\f')
            page.emplace_back();
        else
            page.back().push_back(c);
    const std::regex row(R"(\n +([A-Z][^\n]*?[a-z]) +(\d+)(?=\n))");
    int rows = 0;
    for (std::sregex_iterator it(page[1].begin(), page[1].end(), row), end; it != end; ++it, ++rows) {
        const std::string& on = page.at(std::stoul((*it)[2]) - 1);
        EXPECT_EQ(on.substr(on.find_first_not_of(" \n"), (*it)[1].length()), (*it)[1]);
    }
    EXPECT_EQ(rows, 9);

    std::istringstream sums(
        Output("cd " + ShellQuote(incident.string()) + " && find . -type f -print0 | xargs -0 sha256sum"));
    int files = 0;
    for (std::string line; std::getline(sums, line); ++files)
        EXPECT_NE(text.find("SHA-256 " + line.substr(0, 64)), std::string::npos) << line;
    EXPECT_GE(files, 27);

    // Again from a copy in another place, as a second examiner would have it.
    fs::create_directory(dir.file("elsewhere"));
    ASSERT_EQ(
        std::system(("cp -a " + ShellQuote(incident.string()) + " " + ShellQuote(dir.file("elsewhere"))).c_str()), 0);
    const std::string again = dir.file("again.pdf");
    ASSERT_EQ(RunVerb({"report", dir.file("elsewhere/4711/4711.evt"), again}).status, 0);
    EXPECT_EQ(Output("pdftotext " + ShellQuote(again) + " -"), text);
    ::unsetenv("PELLAM_TODAY");
    ::unsetenv("PELLAM_EXAMINER");
    ::setenv("HOME", home.c_str(), 1);
}

TEST(VerbReport, RefusesTheEvidenceFolderAndAFileThatCannotBeMade)
{
    if (!HasReport())
        GTEST_SKIP() << "pellam-cli was built without the desktop program's libraries";
    TempDir dir;
    const fs::path incident = SampleCopy(dir);
    const std::string evt = (incident / "4711.evt").string();
    const std::string inside = (incident / "Photo/report.pdf").string();
    const CliOutput refused = RunVerb({"report", evt, inside});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("Nothing is written into the evidence folder"), std::string::npos) << refused.err;
    EXPECT_FALSE(Exists(inside));
    const CliOutput nowhere = RunVerb({"report", evt, dir.file("missing/report.pdf")});
    EXPECT_EQ(nowhere.status, 2);
    EXPECT_NE(nowhere.err.find("cannot be written: No such file or directory"), std::string::npos) << nowhere.err;
}

} // namespace
} // namespace pellam::test
