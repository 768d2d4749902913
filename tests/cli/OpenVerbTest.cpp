// pellam-cli open and duration, run as a user runs them, on the sample incident.
#include "RunVerb.h"
#include "support/IncidentFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <unistd.h>

namespace fs = std::filesystem;
using pellam::test::RunVerb;
using pellam::test::TempDir;

namespace {

const std::string kSample = PELLAM_BINARY_DIR "/sample/4711";

struct Row {
    std::string FileName, Size, Created, CRC, Duration;
};

std::vector<Row> Recordings(const std::string& json)
{
    static const std::regex row(
        R"re(\{"FileName":"([^"]*)","Size":"([^"]*)","Created":"([^"]*)","CRC":"([^"]*)","Duration":"([^"]*)"\})re");
    std::vector<Row> rows;
    for (auto it = std::sregex_iterator(json.begin(), json.end(), row); it != std::sregex_iterator(); ++it)
        rows.push_back({(*it)[1], (*it)[2], (*it)[3], (*it)[4], (*it)[5]});
    return rows;
}

} // namespace

// That the evidence stays untouched is the whole review's test (UntouchedEvidenceTest).
TEST(OpenVerb, SampleIncidentOpensComplete)
{
    ASSERT_TRUE(fs::exists(kSample + "/4711.evt")) << "the sample incident is built with the project";
    const auto r = RunVerb({"open", kSample + "/4711.evt"});
    ASSERT_EQ(r.status, 0) << r.err;

    // The title, the attachments folder and its note are checked by the open's
    // own tests and, on the command line, by the field folder's below.
    for (const std::string& part :
        {R"("Evidence":")" + kSample + R"(/")", R"("MainLog":")" + kSample + R"(/4711_MainLOG.doc")",
            std::string(R"("Vistrel":{"enabled":false,"visible":false})"),
            std::string(R"("Intel Upload Files":{"enabled":true,"visible":true})")})
        EXPECT_NE(r.out.find(part), std::string::npos) << part;
    EXPECT_EQ(r.out.find(R"("About")"), std::string::npos) << "unchanged entries are left out";

    // Each recording's CRC is checked against the Main Log by the verify verb's test.
    const auto rows = Recordings(r.out);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows.front().FileName, "4711_MIC01_1450.mp3");
    for (const auto& row : rows)
        EXPECT_EQ(RunVerb({"duration", kSample + "/" + row.FileName}).out, row.Duration + "\n");

    // Named relative to the current folder, as the README's example does, the
    // incident opens the same: same folder, same paths, same CRCs.
    const auto here = fs::current_path();
    fs::current_path(PELLAM_BINARY_DIR);
    const auto relative = RunVerb({"open", "./sample/../sample/4711/4711.evt"});
    fs::current_path(here);
    EXPECT_EQ(relative.status, 0) << relative.err;
    EXPECT_EQ(relative.out, r.out);
}

// A folder as the Windows incident system leaves it: CRLF, "\" paths, a
// recording named in capitals; then its event file renamed in capitals.
TEST(OpenVerb, FieldFolderWithWindowsPaths)
{
    TempDir dir;
    const std::string evt = dir.write("4711.evt", pellam::test::EventText("4711", "1", 1, "C:\\Cordane\\4711\\"));
    dir.write("SGfg.dat", pellam::test::SysCfg());
    dir.write("4711/ATCH.lst", "1\r\n\"Floor plan\",\"Photo\",\"plan.jpg\",\"1 KB\"\r\n");
    dir.write("REC01.MP3", "x");
    fs::copy_file(PELLAM_OWN_TESTDATA "/field-mp3/cut-info.mp3", dir.file("rec 1.mp3"));
    const auto r = RunVerb({"open", evt});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(R"("AttachmentsFolder":")" + dir.str() + R"(/4711/","attachments":[{"FileName":"plan.jpg")"),
        std::string::npos)
        << r.out;
    EXPECT_EQ(r.err,
        "Evidence Folder\nSome files of the evidence folder are not in the recording list.\r\n"
        "Files named like recordings, not listed (only names ending in \"mp3\" in lower case are): REC01.MP3.\n"
        "Files named like recordings, not listed (only names ending in \"mp3\" in lower case are):\nREC01.MP3\n"
        "pellam-cli: "
            + evt + ": Attachments from " + dir.str()
            + "/4711/ in the evidence folder; the event file names C:\\Cordane\\4711\\.\n"
              "pellam-cli: "
            + dir.file("rec 1.mp3") + ": cut short: 62 of 105 frames\n");

    fs::rename(evt, dir.file("4711.EVT"));
    const auto upper = RunVerb({"open", dir.file("4711.EVT")});
    EXPECT_EQ(std::tuple(upper.status, upper.out, upper.err),
        std::tuple(1, "",
            "Load Error\nError Loading Event!      \r\nThe Pellam Program was unable to negotiate the file paths for "
            "this event.\n"));
}

// Run as a user who may not read the evidence folder, then one recording in
// it (as nobody when the tests run as root, who reads everything).
TEST(OpenVerb, UnreadableFolderOrRecording)
{
    TempDir dir;
    const std::string evidence = dir.str() + "/evidence";
    dir.write("evidence/5.evt", "x");
    dir.write("evidence/SGfg.dat", pellam::test::SysCfg());
    dir.write("evidence/a.mp3", std::string(2000, 'x'));
    std::string prefix;
    if (::geteuid() == 0) {
        if (std::system("command -v setpriv >/dev/null") != 0)
            GTEST_SKIP() << "setpriv is missing: cannot run as another user";
        prefix = "setpriv --reuid=nobody --regid=nogroup --clear-groups ";
        fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::others_exec);
    }
    auto open = [&] {
        const std::string command = prefix + pellam::test::ShellQuote(PELLAM_CLI) + " open "
            + pellam::test::ShellQuote(evidence + "/5.evt") + " >" + pellam::test::ShellQuote(dir.file("out")) + " 2>"
            + pellam::test::ShellQuote(dir.file("err"));
        return WEXITSTATUS(std::system(command.c_str()));
    };
    fs::permissions(evidence, fs::perms::owner_write | fs::perms::owner_exec | fs::perms::others_exec);
    EXPECT_EQ(open(), 1);
    fs::permissions(evidence, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    EXPECT_EQ(pellam::test::ReadAll(dir.file("err")),
        "Path Error\nInternal Directory Alteration Error!      \r\nERROR #13 - Permission denied\n");

    // The row keeps what the folder tells; CRC and duration need the bytes.
    fs::permissions(evidence + "/a.mp3", fs::perms::owner_write);
    ASSERT_EQ(open(), 0) << pellam::test::ReadAll(dir.file("err"));
    const auto rows = Recordings(pellam::test::ReadAll(dir.file("out")));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(std::tuple(rows[0].Size, rows[0].CRC, rows[0].Duration), std::tuple("2 KB", "Unknown", "??:??"));

    // A name that is not UTF-8 reads with U+FFFD.
    dir.write("evidence/b\xE9.mp3", "x");
    ASSERT_EQ(open(), 0);
    const auto more = Recordings(pellam::test::ReadAll(dir.file("out")));
    ASSERT_EQ(more.size(), 2u);
    EXPECT_EQ(more[1].FileName, "b\xEF\xBF\xBD.mp3");
}
