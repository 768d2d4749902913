// pellam-cli note on a small incident made by hand: a notation that links to
// a listed recording, one whose recording is not in the folder, bad input.
#include "RunVerb.h"
#include "support/IncidentFiles.h"

#include <gtest/gtest.h>

namespace pellam::test {

TEST(NoteVerb, ANotationNamesItsListedRecordingAndOffsetElseNull)
{
    TempDir dir, noLog;
    dir.write("SGfg.dat", SysCfg());
    noLog.write("SGfg.dat", SysCfg());
    dir.write("55_Rec01.mp3", "not decoded by this verb");
    // The title's \'e9 is one position, as "e" is in `plain`; the caret on the
    // header's first character finds its line only at the exact position.
    const std::string sep = "\r\n" + std::string(40, '-') + "\r\n";
    const std::string plain = "Main Log of Cafe 55\r\n" + std::string(400, '.') + sep
        + "1/1/2026 10:00:00 - Recording MP3 File: 55_Rec01.mp3" + sep
        + "1/1/2026 10:01:05 - (01:05) Notation By A. B: Door opens." + sep
        + "1/1/2026 10:02:00 - Forced Sub Recording: 55_Gone.mp3" + sep
        + "1/1/2026 10:02:09 - (00:09) Notation By A. B: Lights out." + sep;
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252 Main Log of Caf\\'e9" + plain.substr(16);
    for (auto at = rtf.find("\r\n"); at != std::string::npos; at = rtf.find("\r\n", at + 6))
        rtf.insert(at, "\\par");
    dir.write("55_MainLOG.doc", rtf + "}");
    const std::string evt = dir.write("55.evt", EventText("55"));
    const auto at = [&](const char* word) { return std::to_string(plain.find(word)); };

    EXPECT_EQ(RunVerb({"note", evt, at("1/1/2026 10:01:05")}).out, "{\"recording\":\"55_Rec01.mp3\",\"start\":65}\n");
    for (const std::string& pos : std::vector<std::string> {at("Lights"), at("Forced"), "3", "99999999"}) {
        const CliOutput r = RunVerb({"note", evt, pos});
        EXPECT_EQ(std::tuple(r.status, r.out), std::tuple(0, "{\"recording\":null,\"start\":0}\n")) << pos;
    }
    for (const std::string pos : {"-1", "12x", "", "4294967296"})
        EXPECT_EQ(RunVerb({"note", evt, pos}).status, 2) << pos;
    for (const auto& [given, says] : {std::pair {dir.file("56.evt"), "56.evt"},
             {noLog.write("57.evt", EventText("57")), "the incident has no Main Log"}}) {
        const CliOutput r = RunVerb({"note", given, "10"});
        EXPECT_TRUE(r.status == 2 && r.err.find(says) != std::string::npos) << r.status << " " << r.err;
    }
}

} // namespace pellam::test
