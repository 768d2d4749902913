#include "workspace/OpenIncident.h"

#include "checksums/CrcText.h"
#include "media/Mp3Duration.h"
#include "support/IncidentFiles.h"
#include "support/LameEncode.h"
#include "support/Sha256sum.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

using namespace pellam;
using pellam::test::TempDir;

namespace {

using test::EventText;

// An evidence folder with SGfg.dat and the named files.
void Folder(const TempDir& dir, std::initializer_list<std::pair<const char*, std::string>> files)
{
    dir.write("SGfg.dat", test::SysCfg());
    for (const auto& [name, text] : files)
        dir.write(name, text);
}

// Answers from a table: a missing entry is "not known yet" for ever; so are
// the CRCs from crcsReady on.
class ScriptedProbe final : public RecordingProbe {
public:
    explicit ScriptedProbe(std::map<std::size_t, std::string> durations) : m_durations(std::move(durations)) { }
    void Start(const std::vector<std::string>&) override { }
    std::optional<DurationAnswer> Duration(std::size_t i) override
    {
        ++questions;
        ++polls[i];
        const auto it = m_durations.find(i);
        return it == m_durations.end() ? std::nullopt : std::optional<DurationAnswer>({it->second, {}});
    }
    std::optional<StableSums> Checksums(std::size_t i) override
    {
        ++questions;
        return i < crcsReady ? std::optional<StableSums>({"C" + std::to_string(i), "S" + std::to_string(i)})
                             : std::nullopt;
    }

    std::map<std::size_t, int> polls;
    int questions = 0;
    std::size_t crcsReady = SIZE_MAX;

private:
    std::map<std::size_t, std::string> m_durations;
};

// Opens with a probe that answers every duration with "00:07".
void OpenScripted(IncidentModel& s, const std::string& evt, std::size_t recordings)
{
    std::map<std::size_t, std::string> answers;
    for (std::size_t i = 0; i < recordings; ++i)
        answers[i] = "00:07";
    OpenIncident open(s, std::make_unique<ScriptedProbe>(answers));
    ASSERT_TRUE(open.Open(evt).ok());
    open.RunToEnd();
    ASSERT_TRUE(open.Finished());
}

} // namespace

TEST(RecordingList, OnlyLowerCaseMp3NamesAreRecordingsNumberedInListingOrder)
{
    TempDir dir;
    Folder(
        dir, {{"b.mp3", "data"}, {"A.mp3", "data"}, {"C.MP3", ""}, {"10.mp3", ""}, {"x.Mp3", ""}, {"d.mp3.txt", ""}});
    IncidentModel s;
    OpenScripted(s, dir.file("none.evt"), 3);
    ASSERT_EQ(std::tuple(s.MP3Count, s.ListRows.size()), std::tuple(3, 3u));
    EXPECT_EQ(std::tuple(s.ListRows[0].FileName, s.ListRows[1].FileName, s.MP3Paths[1], s.ListRows[0].Duration),
        std::tuple("10.mp3", "A.mp3", dir.str() + "/A.mp3", "00:07"));
    EXPECT_EQ(std::tuple(s.MP3Table[2].FileName, s.MP3Table[2].CRC, s.MP3Table[2].Size),
        std::tuple("b.mp3", "C2", "4 Bytes"));
    EXPECT_FALSE(s.IncidentFound);
}

TEST(RecordingList, UnansweredDurationGivesUpAfter541PollsAndThePassGoesOn)
{
    TempDir dir;
    Folder(dir, {{"a.mp3", "x"}, {"b.mp3", "x"}, {"c.mp3", "x"}});
    IncidentModel s;
    auto probe = std::make_unique<ScriptedProbe>(std::map<std::size_t, std::string> {{1, "00:00"}, {2, "01:05"}});
    ScriptedProbe* seen = probe.get();
    OpenIncident open(s, std::move(probe));
    ASSERT_TRUE(open.Open(dir.file("x.evt")).ok());
    for (int i = 0; i < 540; ++i)
        open.tick();
    EXPECT_EQ(open.pass().stage(), RecordingPass::Stage::Durations);
    EXPECT_EQ(seen->polls[1], 0) << "still on the first recording after 540 polls";
    open.tick();
    EXPECT_EQ(seen->polls[0], 541);
    open.RunToEnd();
    EXPECT_EQ(seen->polls[1], 541) << "an answer of 00:00 counts as not known";
    EXPECT_EQ(seen->polls[2], 1);

    ASSERT_EQ(s.ListRows.size(), 3u);
    EXPECT_EQ(std::tuple(s.ListRows[0].Duration, s.ListRows[1].Duration, s.ListRows[2].Duration),
        std::tuple(kUnknownDuration, kUnknownDuration, "01:05"));
    // The table keeps no name or duration for a recording whose duration never came.
    EXPECT_EQ(std::tuple(s.MP3Table[0].FileName, s.MP3Table[0].Duration, s.MP3Table[0].CRC, s.MP3Table[2].FileName),
        std::tuple("", "", "C0", "c.mp3"));

    EXPECT_EQ(std::tuple(s.paths.NocLog, s.paths.MainLog), std::tuple(kNone, kNone));
}

// Every question costs a millisecond on the pass's clock: a tick takes the
// answers that are there for up to ten of them, and one not there ends it.
TEST(RecordingList, TicksTakeTheAnswersThereWithinTheirBudget)
{
    TempDir dir;
    Folder(dir, {});
    std::map<std::size_t, std::string> answers;
    for (std::size_t i = 0; i < 25; ++i) {
        dir.write("r" + std::to_string(10 + i) + ".mp3", "x");
        answers[i] = "00:07";
    }
    IncidentModel s;
    auto probe = std::make_unique<ScriptedProbe>(answers);
    ScriptedProbe* seen = probe.get();
    seen->crcsReady = 12;
    OpenIncident open(s, std::move(probe));
    open.SetClock([&] { return std::chrono::steady_clock::time_point(std::chrono::milliseconds(seen->questions)); });
    ASSERT_TRUE(open.Open(dir.file("x.evt")).ok());

    // Durations ten a tick; the third settles the last five and adds five rows;
    // the fourth stops at the first missing CRC, the fifth waits for it.
    for (const auto& [progress, rows] : {std::pair(10, 0u), {20, 0u}, {5, 5u}, {13, 12u}, {13, 12u}}) {
        EXPECT_TRUE(open.tick());
        EXPECT_EQ(std::tuple(open.pass().ProgressValue(), s.ListRows.size()), std::tuple(progress, rows));
    }
    seen->crcsReady = 25;
    open.RunToEnd();
    EXPECT_EQ(s.ListRows.size(), 25u);
    EXPECT_EQ(seen->polls[3], 1) << "a settled duration is asked once";
}

TEST(RecordingList, EventFileRecordsFileAndFolderExtrasAreFound)
{
    TempDir dir, bare;
    Folder(dir,
        {{"55.evt", EventText("55")}, {"old.RMQ", "x"}, {"z_Records.rmq", "x"}, {"IntelUpload/55_InUpLog.rtf", "x"},
            {"Vistrel/Vistrel", "x"}});
    IncidentModel s;
    OpenScripted(s, dir.file("55.evt"), 0);
    EXPECT_EQ(std::tuple(s.IncidentFound, s.CaseNumber, s.paths.Evidence.str()), std::tuple(true, "55", dir.str()));
    EXPECT_EQ(std::tuple(s.FolderListed, s.RecordsFound, s.RecordsPath, s.HasIntelUpload, s.HasVistrel),
        std::tuple(true, true, dir.str() + "/old.RMQ", true, true));

    // Without recordings no pass runs: FinishLoadUp runs within the open.
    Folder(bare, {{"55.evt", EventText("55")}, {"IntelUpload/other_InUpLog.rtf", "x"}});
    IncidentModel t;
    OpenIncident open(t, std::make_unique<ScriptedProbe>(std::map<std::size_t, std::string> {}));
    ASSERT_TRUE(open.Open(bare.file("55.evt")).ok());
    EXPECT_EQ(std::tuple(open.Finished(), t.paths.NocLog, t.MP3Count, t.RecordsFound, t.RecordsPath, t.HasIntelUpload,
                  t.HasVistrel),
        std::tuple(true, kNone, 0, false, "", false, false));
}

TEST(OpenIncident, RefusalsSayWhy)
{
    TempDir dir;
    dir.write("1.EVT", "x");
    IncidentModel s;
    OpenIncident open(s, std::make_unique<SequentialProbe>());
    EXPECT_EQ(open.Open(dir.file("1.EVT")).error(), LoadErrorMessage()); // its text: the command line's test

    dir.write("1.evt", "x"); // no SGfg.dat
    const auto noConfig = open.Open(dir.file("1.evt"));
    ASSERT_FALSE(noConfig.ok());
    EXPECT_EQ(noConfig.error().title, "Data Load Error");
    EXPECT_FALSE(open.Finished() || open.Running());
    EXPECT_TRUE(s.FolderListed) << "the folder was listed before the configuration was read";

    // The folder went away between choosing and listing: the open fails with the reason.
    std::string gone;
    {
        TempDir vanished;
        gone = vanished.write("2.evt", "x");
    }
    const auto removed = open.Open(gone);
    ASSERT_FALSE(removed.ok());
    EXPECT_EQ(removed.error(),
        (Message {
            "File Error", "Error loading Event. \r\nERROR #2 - No such file or directory", MessageIcon::Critical}));
    // A listing error names the system's error from number 1 on.
    EXPECT_EQ(std::pair(PathErrorMessage(SystemError(1)).text, PathErrorMessage(SystemError::Content("x")).text),
        std::pair(std::string("Internal Directory Alteration Error!      \r\nERROR #1 - Operation not permitted"),
            std::string("Internal Directory Alteration Error!      ")));
}

TEST(OpenIncident, TellsWhatTheListLeavesOut)
{
    TempDir dir;
    Folder(dir, {{"1.evt", EventText("1")}});
    IncidentModel s;
    EXPECT_FALSE(OpenIncident(s, std::make_unique<ScriptedProbe>(std::map<std::size_t, std::string> {}))
                     .Open(dir.file("1.evt"))
                     .value()
                     .notice);
    for (int i = 0; i <= 5000; ++i)
        dir.write(std::to_string(i) + ".mp3", "");
    std::filesystem::create_directory(dir.path() / "dir.mp3");
    std::filesystem::create_directory(dir.path() / "Photo");
    std::filesystem::create_symlink("/etc/passwd", dir.path() / "out.mp3");
    for (const char* name :
        {"A.MP3", "b.Mp3", "c.MP3.txt", "d.mP3", "e.Mp3", "f.MP3", "g.mp3.", ".h.mp3", ".i.MP3", ".j"})
        dir.write(name, "");
    const auto notice = LeftOutNotice(FolderListing::Read(FolderPath(dir.str())).value());
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->text,
        "Some files of the evidence folder are not in the recording list.\r\n"
        "Only the first 5000 of 5001 recordings are listed; not listed: 999.mp3.\r\n"
        "Files named like recordings, not listed (only names ending in \"mp3\" in lower case are): A.MP3, b.Mp3, "
        "d.mP3, e.Mp3, f.MP3 and 1 more.\r\n"
        "Links leading out of the folder, not listed: out.mp3.\r\n"
        "Recordings that are no regular file (a folder, pipe, device or broken link), not listed: dir.mp3.\r\n"
        "Hidden files named like recordings (names beginning with \".\"), not listed: .h.mp3, .i.MP3.");
    // The detail names everything, the one the text counts among "more" too.
    EXPECT_EQ(notice->detail,
        "Only the first 5000 of 5001 recordings are listed; not listed:\n999.mp3\n\n"
        "Files named like recordings, not listed (only names ending in \"mp3\" in lower case are):\n"
        "A.MP3\nb.Mp3\nd.mP3\ne.Mp3\nf.MP3\ng.mp3.\n\n"
        "Links leading out of the folder, not listed:\nout.mp3\n\n"
        "Recordings that are no regular file (a folder, pipe, device or broken link), not listed:\ndir.mp3\n\n"
        "Hidden files named like recordings (names beginning with \".\"), not listed:\n.h.mp3\n.i.MP3");
}

TEST(OpenIncident, BackgroundAnswersEqualTheSequentialOnes)
{
    if (!test::HaveLame())
        GTEST_SKIP() << "the lame encoder is not installed";
    TempDir dir;
    Folder(dir, {{"9.evt", EventText("9")}});
    test::EncodeTone(dir, "a.mp3", 22050 * 3, 22050, "-b 64");
    test::EncodeTone(dir, "b.mp3", 22050 * 61 + 11025, 22050, "-V 5");
    test::EncodeTone(dir, "c.mp3", 44100 * 7, 44100, "-b 128");
    dir.write("d.mp3", "not audio at all");
    dir.write("e.mp3", "");
    std::filesystem::copy_file(PELLAM_OWN_TESTDATA "/field-mp3/cut-info.mp3", dir.file("f.mp3"));

    IncidentModel threaded;
    OpenIncident a(threaded); // background threads
    ASSERT_TRUE(a.Open(dir.file("9.evt")).ok());
    a.RunToEnd();

    IncidentModel sequential;
    OpenIncident b(sequential, std::make_unique<SequentialProbe>());
    ASSERT_TRUE(b.Open(dir.file("9.evt")).ok());
    while (b.tick()) { }

    ASSERT_EQ(threaded.ListRows.size(), 6u);
    EXPECT_EQ(threaded.ListRows, sequential.ListRows);
    EXPECT_EQ(std::tuple(threaded.MP3Table, threaded.IncidentFound, threaded.paths.MainLog),
        std::tuple(sequential.MP3Table, sequential.IncidentFound, sequential.paths.MainLog));
    // 61.5 s: the half goes to the even second; an empty file checksums to 0; a
    // recording cut short says so beside its duration.
    clsCRC crc;
    EXPECT_EQ(std::tuple(threaded.ListRows[0].Duration, threaded.ListRows[1].Duration, threaded.ListRows[3].Duration,
                  threaded.ListRows[2].CRC, threaded.ListRows[4].CRC, threaded.ListRows[5].DurationNote),
        std::tuple("00:03", "01:02", kUnknownDuration, GetStableCRC(crc, dir.file("c.mp3")), "00 00 00 00",
            "cut short: 62 of 105 frames"));
    // Each recording's SHA-256 came with its first CRC reading, as sha256sum has it.
    for (const Mp3Record& row : threaded.ListRows)
        EXPECT_EQ(row.Sha256, test::SystemSha256(dir.file(row.FileName))) << row.FileName;
}
