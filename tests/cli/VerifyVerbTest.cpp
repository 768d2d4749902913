#include "cli/RunVerb.h"
#include "support/SampleIncident.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace pellam::test {
namespace {

namespace fs = std::filesystem;


// verify on copies of the sample incident: as written, with a recording
// changed by one byte, and with its Main Log never ended.
TEST(VerbVerify, ExitStatusTellsPassedFailedAndCouldNotTest)
{
    TempDir dir;
    const fs::path incident = SampleCopy(dir);
    const std::string evt = (incident / "4711.evt").string();

    const CliOutput passed = RunVerb({"verify", evt});
    EXPECT_EQ(passed.status, 0) << passed.err;
    EXPECT_TRUE(passed.out.starts_with("CRC Integrity Test for Case # 4711\n"))
        << passed.out; // its lines: the next test

    {
        std::fstream mp3(incident / "4711_Rec01_1433.mp3", std::ios::in | std::ios::out | std::ios::binary);
        mp3.seekp(1000);
        mp3.put('\x55');
    }
    const CliOutput failed = RunVerb({"verify", evt});
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.out.find("  CRC discrepancy found in the following MP3 File:\n\t4711_Rec01_1433.mp3: Current CRC"),
        std::string::npos)
        << failed.out;

    const std::string log = (incident / "4711_MainLOG.doc").string();
    std::string text = ReadAll(log);
    text.replace(text.find("4711 Ended."), 11, "4711 Closed");
    std::ofstream(log, std::ios::binary) << text;
    const CliOutput notEnded = RunVerb({"verify", evt});
    EXPECT_TRUE(
        notEnded.status == 2 && notEnded.out.find("This event was not ended. Cannot continue.") != std::string::npos)
        << notEnded.status << notEnded.out;

    const CliOutput stats = RunVerb({"stats", evt});
    EXPECT_TRUE(stats.status == 0 && stats.out.starts_with("Statistical Analysis of Case # 4711\n")
        && stats.out.find("     Total run time: 0 Days, 3 Hours, 26 Minutes\n") != std::string::npos)
        << stats.out;

    EXPECT_EQ(RunVerb({"verify", (incident / "none.evt").string()}).status, 2);
}

// Recordings the Main Log lists that are deleted or replaced by a FIFO (the
// other kinds are the CRC test's): the report stays, the names go to stderr.
TEST(VerbVerify, ListedRecordingsTheFolderLacksFailTheVerification)
{
    TempDir dir;
    const fs::path incident = SampleCopy(dir);
    fs::remove(incident / "4711_Rec02_1515.mp3");
    fs::remove(incident / "4711_Sub01_1441.mp3");
    ASSERT_EQ(::mkfifo((incident / "4711_Sub01_1441.mp3").c_str(), 0600), 0);

    const CliOutput r = RunVerb({"verify", (incident / "4711.evt").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.ends_with("\nTest Completed. No discrepancies found.\n")) << r.out;
    // After the open's notice of what the list leaves out, in the log's order.
    EXPECT_TRUE(r.err.ends_with("\nThe Main Log lists 2 recordings that the evidence folder does not hold as files:\n"
                                "4711_Sub01_1441.mp3: a FIFO\n4711_Rec02_1515.mp3: absent\n"))
        << r.err;
}

// Recordings as taggers leave them, two without an info frame: each is named
// in the report and passes against the CRC the Main Log notes for it.
TEST(VerbVerify, TaggedRecordingsAreNamedAndPass)
{
    TempDir dir;
    const fs::path incident = SampleCopy(dir);
    const std::string log = (incident / "4711_MainLOG.doc").string();
    std::string text = ReadAll(log);
    const std::pair<std::string, std::string> tagged[]
        = {{"4711_Rec01_1433.mp3", "id3v24-picture.mp3"}, {"4711_Rec02_1515.mp3", "id3v23-padding4k.mp3"},
            {"4711_Sub01_1441.mp3", "id3v24-noinfo.mp3"}, {"4711_Sub02_1502.mp3", "id3v23-picture-noinfo.mp3"}};
    for (const auto& [name, field] : tagged) {
        fs::copy_file(PELLAM_OWN_TESTDATA "/field-mp3/" + field, incident / name, fs::copy_options::overwrite_existing);
        // The Main Log notes the CRC of the recording as it is now, 27
        // characters after its name.
        const std::string crc = RunVerb({"crc", (incident / name).string()}).out.substr(0, 11);
        const auto at = text.find(name + "   created ");
        ASSERT_NE(at, std::string::npos) << name;
        text.replace(at + name.size() + 27, 11, crc);
    }
    std::ofstream(log, std::ios::binary) << text;

    const CliOutput report = RunVerb({"verify", (incident / "4711.evt").string()});
    EXPECT_EQ(report.status, 0) << report.out;
    for (const char* name : {"4711_MIC01_1450.mp3", "4711_Rec01_1433.mp3", "4711_Rec02_1515.mp3", "4711_Sub01_1441.mp3",
             "4711_Sub02_1502.mp3"}) {
        const auto line = report.out.find(std::string("  Comparing CRC for ") + name + " - ");
        ASSERT_NE(line, std::string::npos) << name << "\n" << report.out;
        const std::string row = report.out.substr(line, report.out.find('\n', line) - line);
        EXPECT_TRUE(row.ends_with(" \tCRC Matched - PASS")) << row;
    }
    EXPECT_TRUE(report.out.ends_with("\nTest Completed. No discrepancies found.\n")) << report.out;
}

// The sheet with the photo in its place, and persons that are not there
// refused. A photo that cannot be shown leaves its note on the sheet and its
// reason on stderr (which names are refused is the sheet's own test). A FIFO
// in the records file's place is named with the reason it was not read.
TEST(VerbSheet, WritesTheSheetSaysWhyAPhotoIsMissingAndRefusesUnknownPersonsAndFifoRecords)
{
    TempDir dir;
    const fs::path incident = SampleCopy(dir);
    const std::string evt = (incident / "4711.evt").string(), records = (incident / "4711_Records.rmq").string();
    ::setenv("PELLAM_TODAY", "3/14/2026", 1);
    const CliOutput subject = RunVerb({"sheet", evt, "0", "1"});
    ::unsetenv("PELLAM_TODAY");
    EXPECT_TRUE(subject.status == 0 && subject.out.starts_with("Subject Record Sheet for\nDale Orrin\n[photo]\nID#: ")
        && subject.out.find("DOB: 03/14/1971 (55yrs)") != std::string::npos)
        << subject.err << subject.out;
    for (const auto& [role, person] : {std::pair {"9", "1"}, {"2", "3"}, {"x", "1"}, {"0", "0"}})
        EXPECT_EQ(RunVerb({"sheet", evt, role, person}).status, 2) << role << " " << person;

    const auto r = RunVerb({"sheet", evt, "4", "1"});
    EXPECT_TRUE(r.status == 0 && r.out.find("\n(Photo Load Error)\n") != std::string::npos) << r.out;
    EXPECT_EQ(r.err,
        "pellam-cli: " + records + ": Photo Load Error: " + incident.string()
            + "/Photo/4711_Other1.jpg: not a JPEG, PNG, GIF or BMP picture\n");

    fs::remove(records);
    ASSERT_EQ(::mkfifo(records.c_str(), 0600), 0);
    const auto fifo = RunVerb({"sheet", evt, "0", "1"});
    EXPECT_EQ(std::tuple(fifo.status, fifo.out, fifo.err),
        std::tuple(2, "", "pellam-cli: " + records + ": Failed to Load Record Data: not a regular file\n"));
}

} // namespace
} // namespace pellam::test
