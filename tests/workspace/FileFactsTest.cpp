#include "workspace/FileFacts.h"
#include "workspace/WorkFolder.h"

#include "support/Fifo.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pellam;

TEST(SizeText, UnitsBoundariesAndHalvesToEvenAfterFourDecimalsOfAFileOrError)
{
    // Halves: 1.5, 2.5 and 3.5 KB; 1.0625 and 1.1875 MB; 1.0005 MB at four decimals, whose half goes down.
    const std::pair<std::int64_t, const char*> cases[] = {{0, "0 Bytes"}, {1023, "1023 Bytes"}, {1024, "1 KB"},
        {10000, "10 KB"}, {1048575, "1024 KB"}, {1048576, "1 MB"}, {1073741823, "1024 MB"}, {1073741824, "1 GB"},
        {1610612736, "1.5 GB"}, {-1, "Error"}, {1536, "2 KB"}, {2560, "2 KB"}, {3584, "4 KB"}, {1114112, "1.062 MB"},
        {1245184, "1.188 MB"}, {1049100, "1 MB"}, {1049101, "1 MB"}, {3670016, "3.5 MB"}};
    for (const auto& [bytes, want] : cases)
        EXPECT_EQ(SizeText(bytes, LocaleFormats {}), want) << bytes;
    LocaleFormats de;
    de.DecimalSeparator = ",";
    EXPECT_EQ(SizeText(1114112, de), "1,062 MB");

    // Of a file, or "Error".
    test::TempDir dir;
    const LocaleFormats us;
    const std::string big = dir.write("big.mp3", "");
    ASSERT_EQ(::truncate(big.c_str(), 1610612736), 0); // sparse: takes no space
    EXPECT_EQ(std::tuple(GetFileSize(big, us), GetFileSize(dir.file("missing.mp3"), us), GetFileSize(dir.str(), us)),
        std::tuple("1.5 GB", "Error", "Error"));
    const std::string fifo = test::MakeFifo(dir, "pipe.mp3");
    EXPECT_EQ(test::ReadPromptly(fifo, [&] { return GetFileSize(fifo, us); }), "Error");
}

TEST(FileDate, ShortDateAndLongTime)
{
    const char* oldTz = std::getenv("TZ");
    const std::string saved = oldTz ? oldTz : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    test::TempDir dir;
    const std::string path = dir.write("a.mp3", "x");
    const std::time_t when = 1796489353; // 2026-12-05 16:49:13 UTC
    struct timespec times[2] = {{when, 0}, {when, 0}};
    EXPECT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(std::tuple(GetFileDate(path, LocaleFormats {}), GetFileDate(dir.file("missing.mp3"), LocaleFormats {})),
        std::tuple("12/5/2026 4:49:13 PM", ""));
    // Midnight shows no time.
    for (const auto& [before, text] :
        {std::pair {16 * 3600, "12/5/2026 12:49:13 AM"}, {4 * 3600, "12/5/2026 12:49:13 PM"},
            {16 * 3600 + 49 * 60 + 13, "12/5/2026"}, {16 * 3600 + 49 * 60 + 12, "12/5/2026 12:00:01 AM"}})
        EXPECT_EQ(DateText(when - before, LocaleFormats {}), text) << before;

    LocaleFormats noMarks; // no blank is left where the day-period mark would be
    noMarks.AM = noMarks.PM = "";
    EXPECT_EQ(DateText(when, noMarks), "12/5/2026 4:49:13");

    LocaleFormats de;
    de.ShortDate = PatternFromStrftime("%d.%m.%Y");
    de.LongTime = PatternFromStrftime("%T");
    EXPECT_EQ(std::tuple(de.ShortDate, DateText(when, de)), std::tuple("dd.MM.yyyy", "05.12.2026 16:49:13"));
    oldTz ? ::setenv("TZ", saved.c_str(), 1) : ::unsetenv("TZ");
    ::tzset();
}

TEST(LocaleFormats, CAndUsEnglishUseTheUsPatterns)
{
    for (const char* name : {"C", "POSIX", "C.UTF-8", "en_US.UTF-8"}) {
        const auto f = LocaleFormats::FromLocaleName(name);
        EXPECT_EQ(std::tuple(f.ShortDate, f.LongTime, f.DecimalSeparator, f.AM),
            std::tuple("M/d/yyyy", "h:mm:ss tt", ".", "AM"))
            << name;
    }
    for (const auto& [strftime, pattern] : {std::pair {"%I:%M:%S %p", "hh:mm:ss tt"}, {"%Y-%m-%d", "yyyy-MM-dd"},
             {"%e/%m %Hh", "d/MM HH'h'"}, {"%d.%m.%y", "dd.MM.yy"}})
        EXPECT_EQ(PatternFromStrftime(strftime), pattern);
}

TEST(WorkFolder, IsCreatedUnderTheUsersDataFolderUnlessAFileStandsInTheWay)
{
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    test::TempDir home, blocked;
    ::setenv("HOME", home.str().c_str(), 1);
    EXPECT_EQ(
        std::tuple(GetSpecialFolder(kLocalAppData), GetSpecialFolder(5)), std::tuple(home.str() + "/.local/share", ""));
    const std::string temp = MakeTempFolder().value_or(FolderPath()).WithSeparator();
    EXPECT_TRUE(std::filesystem::is_directory(temp));
    EXPECT_EQ(temp, home.str() + "/.local/share/NorvikTECH-Pellam/");
    // An existing folder is fine; the decoded recordings of copies that have
    // ended go, everything else stays.
    const pid_t dead = ::fork();
    if (dead == 0)
        ::_exit(0);
    ASSERT_GT(dead, 0);
    ::waitpid(dead, nullptr, 0);
    const std::string mine = TempWavName(::getpid(), 3);
    ASSERT_EQ(TempWavName(4711, 12), "TMP-4711-12.WAV");
    const std::vector<std::string> others {"TMP.WAV", "TMP-12x-1.WAV", "TMP-0-1.WAV", "TMP-12-.WAV", "TMP-12-01.WAV",
        "TMP-12.WAV", "TMP-12-1.wav", "notes.txt"};
    for (const std::string& name : others)
        std::ofstream(temp + name) << "x";
    for (const std::string& name : {TempWavName(dead, 1), TempWavName(dead, 20), mine})
        std::ofstream(temp + name) << "x";
    EXPECT_TRUE(MakeTempFolder().ok());
    EXPECT_FALSE(std::filesystem::exists(temp + TempWavName(dead, 1)));
    EXPECT_FALSE(std::filesystem::exists(temp + TempWavName(dead, 20)));
    EXPECT_TRUE(std::filesystem::exists(temp + mine));
    for (const std::string& kept : others)
        EXPECT_TRUE(std::filesystem::exists(temp + kept)) << kept;
    EXPECT_EQ(std::tuple(TempWavOwner(mine), TempWavOwner("TMP-0042-1.WAV"), TempWavOwner("TMP-42-0.WAV"),
                  TempWavOwner("TMP-12345678-1.WAV")),
        std::tuple(::getpid(), 0, 42, 0));

    blocked.write(".local/share/NorvikTECH-Pellam", "not a folder");
    ::setenv("HOME", blocked.str().c_str(), 1);
    EXPECT_FALSE(MakeTempFolder().ok());
    ::setenv("HOME", oldHome.c_str(), 1);
}
