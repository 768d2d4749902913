#include "analysis/CRCTest.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sys/stat.h>

namespace pellam {
namespace {

const std::string kDashes(77, '-');

// A Main Log as the incident system writes it: notations, then the end
// marker and one line per recording with its CRC 38 characters after the name.
std::string MainLog(const std::string& endMarker, const std::vector<std::pair<std::string, std::string>>& noted,
    const std::string& before = "")
{
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}\\f0 12/5/2026 14:32:00 - " + before + "\\par\n";
    rtf += "12/5/2026 17:58:00 - " + endMarker
        + "\\par\nRecordings of this incident and their 32 bit CRC values:\\par\n";
    for (const auto& [name, crc] : noted)
        rtf += name + "   created 12/5/2026  CRC: " + crc + "\\par\n";
    return rtf + "}";
}

struct Outcome {
    std::optional<Message> refused;
    std::string text;
    CrcTestOutcome outcome;
};

Outcome Tested(
    const std::string& mainLog, std::vector<CrcTestRecording> recordings, const std::string& caseNumber = "4711")
{
    CRCTest test(caseNumber, mainLog, std::move(recordings));
    Outcome r {test.Run(), PlainLines(test.Report()), test.Outcome()};
    return r;
}

std::string Heading(const std::string& path)
{
    return "CRC Integrity Test for Case # 4711\nScanning Main Log File located at " + path + "\n" + kDashes + "\n\n";
}

} // namespace

TEST(CRCTest, ReportsEveryVerdictInItsOwnColumnAndSummarises)
{
    test::TempDir dir;
    const std::string log = dir.write("main.doc",
        MainLog("Incident Number: 4711 ended.", {{"a.mp3", "3A B3 1A 44"}, {"long_name.mp3", "6e fe 79 b4"}},
            "Recording MP3 File: c.mp3")); // c.mp3 is named only before the marker
    const Outcome all = Tested(log, {{"a.mp3", "3A B3 1A 44"}});
    EXPECT_EQ(all.text,
        Heading(log)
            + "  Comparing CRC for a.mp3 - 3A B3 1A 44 : \tCRC Matched - PASS\n\n"
              "Test Completed. No discrepancies found.\n");
    EXPECT_EQ(all.outcome, CrcTestOutcome::AllPassed);

    // A CRC noted in other letter case fails; the shorter name is padded.
    const Outcome one = Tested(log, {{"a.mp3", "3A B3 1A 44"}, {"LONG_NAME.MP3", "6E FE 79 B4"}});
    EXPECT_EQ(one.text,
        Heading(log)
            + "  Comparing CRC for a.mp3 - 3A B3 1A 44 :         \tCRC Matched - PASS\n"
              "  Comparing CRC for LONG_NAME.MP3 - 6E FE 79 B4 : \tCRC DISCREPANCY - FAIL\n\n"
              "  CRC discrepancy found in the following MP3 File:\n"
              "\tLONG_NAME.MP3: Current CRC = 6E FE 79 B4, should be 6e fe 79 b4.\n\n"
              "Test Completed.\n");
    EXPECT_EQ(one.outcome, CrcTestOutcome::SomeFailed);
    // Padding counts characters: "\u00e9.mp3" is five of them, as "a.mp3" is.
    const std::string accented = dir.write("accented.doc",
        MainLog("Incident Number: 4711 ended.", {{"\\'e9.mp3", "3A B3 1A 44"}, {"LONG_NAME.MP3", "6E FE 79 B4"}}));
    EXPECT_NE(Tested(accented, {{"\u00e9.mp3", "3A B3 1A 44"}, {"LONG_NAME.MP3", "6E FE 79 B4"}})
                  .text.find("  Comparing CRC for \u00e9.mp3 - 3A B3 1A 44 :         \tCRC Matched - PASS\n"),
        std::string::npos);

    const Outcome two = Tested(log, {{"c.mp3", "00 00 00 00"}, {"a.mp3", "3A B3 1A 45"}});
    EXPECT_NE(two.text.find("  CRC discrepancies found in the following 2 MP3 Files:\n"
                            "\tc.mp3: Current CRC = 00 00 00 00, should be (LOG ERROR).\n"
                            "\ta.mp3: Current CRC = 3A B3 1A 45, should be 3A B3 1A 44.\n"),
        std::string::npos)
        << two.text;
}

// A log not ended for this case stops the test after the first line.
TEST(CRCTest, NotEndedMissingUnreadableAndCutShortLogs)
{
    test::TempDir dir;
    for (const std::string marker : {"Incident Number: 4711 Started.", "Incident Number: 4712 Ended."}) {
        const std::string log = dir.write("main.doc", MainLog(marker, {{"a.mp3", "3A B3 1A 44"}}));
        const Outcome r = Tested(log, {{"a.mp3", "3A B3 1A 44"}, {"b.mp3", "00 00 00 00"}});
        EXPECT_EQ(r.text,
            Heading(log)
                + "  Comparing CRC for a.mp3 - 3A B3 1A 44 : \n\n"
                  "         This event was not ended. Cannot continue.\n\n")
            << marker;
        EXPECT_EQ(r.outcome, CrcTestOutcome::NotEnded);
    }

    const Outcome none = Tested("NONE", {{"a.mp3", "3A B3 1A 44"}});
    ASSERT_TRUE(none.refused);
    EXPECT_EQ(std::tuple(none.refused->title, none.refused->text, none.text),
        std::tuple("Cannot Test", "ERROR!  There is no Main Log to search through!", ""));

    const Outcome empty = Tested("NONE", {});
    EXPECT_TRUE(!empty.refused
        && empty.text == "CRC Integrity Test\n(No MP3 Files associated to this incident)\n" + kDashes + "\n\n");
    CRCTest nothing("4711", "NONE", {});
    nothing.Run();
    const FontEntry* font = nothing.Report().font(nothing.Report().Runs(0).at(0).format.font);
    EXPECT_TRUE(font && font->name == "Tahoma");

    const Outcome unreadable = Tested(dir.str(), {{"a.mp3", "3A B3 1A 44"}}); // a folder is no log
    EXPECT_TRUE(unreadable.outcome == CrcTestOutcome::LogUnreadable
        && unreadable.text.find("\ta.mp3: Current CRC = 3A B3 1A 44, should be ?? ?? ?? ??.") != std::string::npos);

    // The last line cut short: what is there is the noted CRC.
    const std::string cut = dir.write(
        "cut.doc", "{\\rtf1\\ansi Incident Number: 4711 Ended.\\par a.mp3   created 12/5/2026  CRC: 3A B3}");
    EXPECT_NE(Tested(cut, {{"a.mp3", "3A B3 1A 44"}}).text.find("should be 3A B3."), std::string::npos);
}

// Recordings the Main Log lists that the folder does not hold as regular
// files are found, whether or not any recording is left to compare; the
// report itself is unchanged.
TEST(CRCTest, FindsListedRecordingsTheFolderDoesNotHold)
{
    test::TempDir dir;
    const std::string log = dir.write("main.doc",
        MainLog("Incident Number: 4711 Ended.",
            {{"a.mp3", "3A B3 1A 44"}, {"gone.mp3", "00 11 22 33"}, {"pipe.mp3", "aa bb cc dd"},
                {"out.mp3", "01 02 03 04"}, {"in.mp3", "05 06 07 08"}, {"dir.MP3", "09 0A 0B 0C"},
                {"a.mp3", "3A B3 1A 44"}, {"notes.txt", "0D 0E 0F 10"}, {"short.mp3", "11 22 33"}}));
    const std::filesystem::path ev = dir.path() / "ev";
    std::filesystem::create_directories(ev / "dir.MP3");
    dir.write("ev/a.mp3", "x");
    std::filesystem::create_symlink("a.mp3", ev / "in.mp3");
    std::filesystem::create_symlink(dir.file("main.doc"), ev / "out.mp3");
    ASSERT_EQ(::mkfifo((ev / "pipe.mp3").c_str(), 0600), 0);

    const std::vector<UnheldRecording> unheld {{"gone.mp3", "absent"}, {"pipe.mp3", "a FIFO"},
        {"out.mp3", "a link leading out of the folder"}, {"dir.MP3", "a folder"}};
    CRCTest some("4711", log, {{"a.mp3", "3A B3 1A 44"}}, FolderPath(ev.string()));
    EXPECT_FALSE(some.Run());
    EXPECT_EQ(std::tuple(PlainLines(some.Report()), some.Outcome(), some.Unheld()),
        std::tuple(Tested(log, {{"a.mp3", "3A B3 1A 44"}}).text, CrcTestOutcome::AllPassed, unheld));
    CRCTest none("4711", log, {}, FolderPath(ev.string()));
    EXPECT_FALSE(none.Run());
    EXPECT_EQ(std::tuple(none.Outcome(), none.Unheld()), std::tuple(CrcTestOutcome::NoRecordings, unheld));

    EXPECT_EQ(UnheldNotice({}), std::nullopt);
    EXPECT_EQ(UnheldNotice({unheld[0]})->text,
        "The Main Log lists 1 recording that the evidence folder does not hold as a file:\r\ngone.mp3: absent");
}

// The one-pass lookup of many names finds what a search per name finds, for
// names that overlap, repeat, differ in case or contain one another.
TEST(CRCTest, OnePassLookupAgreesWithASearchPerName)
{
    std::mt19937 random(7);
    const std::u16string alphabet = u"abAB.1 ";
    for (int round = 0; round < 200; ++round) {
        std::u16string log = u"Incident Number: 9 Ended.";
        for (int i = 0; i < 300; ++i)
            log += alphabet[random() % alphabet.size()];
        std::vector<std::string> names;
        for (int k = 0; k < 30; ++k) {
            std::string name;
            for (std::size_t len = 1 + random() % 5; name.size() < len;)
                name += static_cast<char>(alphabet[random() % alphabet.size()]);
            names.push_back(name);
        }
        const LoggedCrcList single(log, "9");
        LoggedCrcList all(log, "9");
        all.Locate(names);
        for (const auto& name : names)
            ASSERT_EQ(all.GetLoggedCRC(name), single.GetLoggedCRC(name)) << round << " " << name;
    }
}

} // namespace pellam
