#include "casereport/CaseReport.h"
#include "casereport/EvidenceInventory.h"
#include "casereport/ReportOutput.h"
#include "checksums/Sha256.h"
#include "richtext/PrintFooter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

using namespace pellam;

namespace {

std::string ShaOf(std::string_view bytes)
{
    Sha256 sha;
    sha.Add({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    return Sha256Hex(sha.Final());
}

InventoryEntry Read(std::string path, std::string crc, std::string sha = "")
{
    return {std::move(path), 1, "", std::move(crc), std::move(sha), ""};
}

} // namespace

// Every entry under the folder in byte order of its path, files read with
// their hashes, what cannot be read kept with the reason.
TEST(EvidenceInventory, ListsEveryEntryInPathOrderAndKeepsWhatCannotBeRead)
{
    test::TempDir dir;
    dir.write("b.mp3", "recording");
    dir.write("a/z.jpg", "photo");
    dir.write("a.txt", "");
    dir.write("gone.doc", "log");
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0644), 0);
    std::filesystem::create_symlink("/etc/passwd", dir.file("outside"));

    InventoryScan scan(FolderPath(dir.str()), 0); // stepped by hand
    std::filesystem::remove(dir.file("gone.doc")); // changed while the report is made
    std::vector<std::string> paths;
    for (const auto& e : scan.Entries())
        paths.push_back(e.path);
    EXPECT_EQ(paths, (std::vector<std::string> {"a.txt", "a/z.jpg", "b.mp3", "gone.doc", "outside", "pipe"}));
    int steps = 1;
    while (scan.Step())
        ++steps;
    EXPECT_EQ(steps, 4); // one per regular file listed
    EXPECT_EQ(scan.Done(), 6u);

    const auto& e = scan.Entries();
    EXPECT_EQ(
        std::tie(e[0].size, e[0].crc32, e[0].sha256), std::make_tuple(0ull, std::string("00 00 00 00"), ShaOf("")));
    EXPECT_EQ(std::tie(e[2].size, e[2].sha256), std::make_tuple(9ull, ShaOf("recording")));
    EXPECT_EQ(e[2].modified.size(), std::string("2026-12-05 14:50:12 UTC").size());
    EXPECT_EQ(e[3].problem, "No such file or directory");
    EXPECT_EQ(e[4].problem, "a symbolic link, not followed");
    EXPECT_EQ(e[5].problem, "not a regular file (a named pipe)");
    EXPECT_EQ(scan.Problems(), 3u);
    EXPECT_EQ(UtcText(0), "1970-01-01 00:00:00 UTC");
}

// A recording that reads otherwise now than at the open is told on the cover:
// another SHA-256 before another CRC-32, gone or unreadable; an unknown CRC
// from the open compares with nothing.
TEST(CaseReport, TellsRecordingsThatChangedSinceTheOpen)
{
    const std::vector<InventoryEntry> now {Read("same.mp3", "01 02 03 04", "aa"), Read("crc.mp3", "0A 0B 0C 0D"),
        Read("sha.mp3", "01 02 03 04", "bb"), {"bad.mp3", 0, "", "", "", "Input/output error"},
        Read("unknown.mp3", "01 02 03 04")};
    const auto changed = ChangedSinceOpen(
        {{"same.mp3", "01 02 03 04", "aa"}, {"crc.mp3", "01 02 03 04", ""}, {"sha.mp3", "01 02 03 04", "cc"},
            {"bad.mp3", "01 02 03 04", ""}, {"unknown.mp3", "Unknown", ""}, {"gone.mp3", "01 02 03 04", ""}},
        now);
    EXPECT_EQ(changed,
        (std::vector<std::string> {"crc.mp3: CRC-32 01 02 03 04 when opened, 0A 0B 0C 0D now.",
            "sha.mp3: SHA-256 cc when opened, bb now.", "bad.mp3 cannot be read now: Input/output error.",
            "gone.mp3 is no longer in the evidence folder."}));
}

TEST(CaseReport, NotationAuthorIsTheNameAfterNotationBy)
{
    EXPECT_EQ(NotationAuthor("(00:03) Notation By Sgt. Ilse Varga: Subject picked up."), "Sgt. Ilse Varga");
    EXPECT_EQ(NotationAuthor("(00:12) Remote Notation By Lt. Omar Reyes: Water approved."), "Lt. Omar Reyes");
    EXPECT_EQ(NotationAuthor("Recording MP3 File: 4711_Rec01_1433.mp3"), std::nullopt);
    EXPECT_EQ(NotationAuthor("Incident opened by Sgt. Ilse Varga: Notation By nobody"), std::nullopt);
}

// The evidence folder is refused however the path reaches it; a file that
// cannot be made is told with the system's reason; an existing file stays.
TEST(ReportOutput, RefusesTheEvidenceFolderAndSaysWhyAFileCannotBeMade)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir.file("evidence/Photo"));
    std::filesystem::create_directories(dir.file("out"));
    std::filesystem::create_symlink(dir.file("evidence"), dir.file("out/link"));
    const FolderPath evidence(dir.file("evidence"));
    for (const char* inside :
        {"evidence", "out/link", "evidence/r.pdf", "evidence/Photo/r.pdf", "out/../evidence/r.pdf", "out/link/r.pdf"}) {
        const auto refused = CheckReportOutput(dir.file(inside), evidence);
        ASSERT_TRUE(refused) << inside;
        EXPECT_NE(refused->text.find("Nothing is written into the evidence folder"), std::string::npos);
    }
    EXPECT_FALSE(LiesInside(dir.file("evidence-2/r.pdf"), evidence));
    EXPECT_EQ(CheckReportOutput(dir.file("out/r.pdf"), evidence), std::nullopt);
    EXPECT_FALSE(test::Exists(dir.file("out/r.pdf")));
    dir.write("out/kept.pdf", "kept");
    EXPECT_EQ(CheckReportOutput(dir.file("out/kept.pdf"), evidence), std::nullopt);
    EXPECT_EQ(test::ReadAll(dir.file("out/kept.pdf")), "kept");
    const auto missing = CheckReportOutput(dir.file("nowhere/r.pdf"), evidence);
    ASSERT_TRUE(missing);
    EXPECT_NE(missing->text.find("cannot be written: No such file or directory"), std::string::npos);
    EXPECT_TRUE(CheckReportOutput(dir.file("out"), evidence)); // a folder
}

// The footer names case and document, counts pages, and says when and by
// whom; PELLAM_TODAY fixes the date in either form the program takes.
TEST(PrintFooter, SaysCasePagesDateAndExaminer)
{
    const FooterTexts f = FooterOf({"4711", "Main Log", "2026-12-06", "Ilse Varga"}, 2, 7);
    EXPECT_EQ(f.topLeft, "Case 4711 \u00b7 Main Log");
    EXPECT_EQ(f.topRight, "page 2 of 7");
    EXPECT_EQ(f.bottomLeft, "printed 2026-12-06 by \u2068Ilse Varga\u2069");
    EXPECT_EQ(FooterOf({"", "Timeline", "x", ""}, 1, 1).topLeft, "Timeline");

    ::setenv("PELLAM_TODAY", "2026-12-06", 1);
    EXPECT_EQ(PrintedWhen(0), "2026-12-06");
    ::setenv("PELLAM_TODAY", "3/4/2026", 1);
    EXPECT_EQ(PrintedDate(0), "2026-03-04");
    ::unsetenv("PELLAM_TODAY");
    EXPECT_EQ(PrintedWhen(0).size(), std::string("1970-01-01 00:00").size());

    std::string name;
    ::setenv("PELLAM_EXAMINER", "Zo\xEB \x80", 1); // Windows-1252 bytes
    EXPECT_TRUE(ExaminerFromEnvironment(name));
    EXPECT_EQ(name, "Zo\u00eb \u20ac");
    ::unsetenv("PELLAM_EXAMINER");
    EXPECT_FALSE(ExaminerFromEnvironment(name));
}
