// pellam-cli note on a small incident made by hand: its Main Log has a
// notation that links to a listed recording and one whose recording is not
// in the folder.
#include "RunVerb.h"
#include "support/IncidentFiles.h"

#include <gtest/gtest.h>

namespace pellam::test {
namespace {

TEST(NoteVerb, ANotationNamesItsListedRecordingAndOffsetElseNull)
{
    TempDir dir;
    dir.write("SGfg.dat", SysCfg());
    dir.write("55.evt", EventText("55"));
    dir.write("55_Rec01.mp3", "not decoded by this verb");
    // The title carries a code-page character: one position, as in the view.
    const std::string separator = std::string(40, '-');
    const std::vector<std::string> lines = {"Main Log of Caf\\'e9 55", std::string(400, '.'), separator,
        "1/1/2026 10:00:00 - Recording MP3 File: 55_Rec01.mp3", separator,
        "1/1/2026 10:01:05 - (01:05) Notation By A. B: Door opens.", separator,
        "1/1/2026 10:02:00 - Forced Sub Recording: 55_Gone.mp3", separator,
        "1/1/2026 10:02:09 - (00:09) Notation By A. B: Lights out.", separator};
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252 ";
    std::string plain;
    for (const auto& line : lines) {
        rtf += line + "\\par\r\n";
        plain += (line == lines[0] ? "Main Log of Cafe 55" : line) + "\r\n";
    }
    dir.write("55_MainLOG.doc", rtf + "}");
    const std::string evt = dir.file("55.evt");
    const auto at = [&](const char* word) { return std::to_string(plain.find(word)); };

    CliOutput r = RunVerb({"note", evt, at("Door")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"recording\":\"55_Rec01.mp3\",\"start\":65}\n");
    for (const std::string& pos : {at("Lights"), at("Forced"), std::string("3"), std::string("99999999")}) {
        r = RunVerb({"note", evt, pos});
        EXPECT_EQ(r.status, 0) << pos;
        EXPECT_EQ(r.out, "{\"recording\":null,\"start\":0}\n") << pos;
    }

    for (const std::string pos : {"-1", "12x", "", "4294967296"}) {
        r = RunVerb({"note", evt, pos});
        EXPECT_EQ(r.status, 2) << pos;
        EXPECT_NE(r.err.find("POS"), std::string::npos);
    }
    r = RunVerb({"note", dir.file("56.evt"), "10"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("56.evt"), std::string::npos);
    TempDir noLog;
    noLog.write("SGfg.dat", SysCfg());
    r = RunVerb({"note", noLog.write("57.evt", EventText("57")), "10"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Main Log"), std::string::npos) << r.err;
}

} // namespace
} // namespace pellam::test
