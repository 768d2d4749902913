#include "workspace/FileFacts.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace pellam;

TEST(SizeText, UnitsAndTheirBoundaries)
{
    const LocaleFormats us;
    EXPECT_EQ(SizeText(0, us), "0 Bytes");
    EXPECT_EQ(SizeText(500, us), "500 Bytes");
    EXPECT_EQ(SizeText(1023, us), "1023 Bytes");
    EXPECT_EQ(SizeText(1024, us), "1 KB");
    EXPECT_EQ(SizeText(10000, us), "10 KB");
    EXPECT_EQ(SizeText(1048575, us), "1024 KB");
    EXPECT_EQ(SizeText(1048576, us), "1 MB");
    EXPECT_EQ(SizeText(1610612736, us), "1.5 GB");
    EXPECT_EQ(SizeText(1073741823, us), "1024 MB");
    EXPECT_EQ(SizeText(1073741824, us), "1 GB");
    EXPECT_EQ(SizeText(-1, us), "Error");
}

TEST(SizeText, HalvesGoToTheEvenNeighbourAfterFourDecimals)
{
    const LocaleFormats us;
    EXPECT_EQ(SizeText(1536, us), "2 KB");      // 1.5
    EXPECT_EQ(SizeText(2560, us), "2 KB");      // 2.5
    EXPECT_EQ(SizeText(3584, us), "4 KB");      // 3.5
    EXPECT_EQ(SizeText(1114112, us), "1.062 MB"); // 1.0625
    EXPECT_EQ(SizeText(1245184, us), "1.188 MB"); // 1.1875
    // 1.00049973 MB: four decimals give 1.0005, whose half goes down to 1.
    EXPECT_EQ(SizeText(1049100, us), "1 MB");
    // 1.00050068 MB: 1.0005 again at four decimals, so not 1.001.
    EXPECT_EQ(SizeText(1049101, us), "1 MB");
    EXPECT_EQ(SizeText(3670016, us), "3.5 MB");
}

TEST(SizeText, UsesTheLocaleDecimalSeparator)
{
    LocaleFormats de;
    de.DecimalSeparator = ",";
    EXPECT_EQ(SizeText(1610612736, de), "1,5 GB");
    EXPECT_EQ(SizeText(1114112, de), "1,062 MB");
}

TEST(GetFileSize, ReadsTheFileAndReportsErrors)
{
    test::TempDir dir;
    const LocaleFormats us;
    EXPECT_EQ(GetFileSize(dir.write("a.mp3", std::string(500, 'x')), us), "500 Bytes");
    const std::string big = dir.file("big.mp3");
    {
        std::FILE* f = std::fopen(big.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    ASSERT_EQ(::truncate(big.c_str(), 1610612736), 0); // sparse: takes no space
    EXPECT_EQ(GetFileSize(big, us), "1.5 GB");
    EXPECT_EQ(GetFileSize(dir.file("missing.mp3"), us), "Error");
    EXPECT_EQ(GetFileSize(dir.str(), us), "Error");
}

class LocalTimeUtc : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* tz = std::getenv("TZ");
        m_hadTz = tz != nullptr;
        if (tz)
            m_tz = tz;
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
    void TearDown() override
    {
        if (m_hadTz)
            ::setenv("TZ", m_tz.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    bool m_hadTz = false;
    std::string m_tz;
};

TEST_F(LocalTimeUtc, FileDateInShortDateAndLongTime)
{
    test::TempDir dir;
    const std::string path = dir.write("a.mp3", "x");
    const std::time_t when = 1796489353; // 2026-12-05 16:49:13 UTC
    struct timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(GetFileDate(path, LocaleFormats{}), "12/5/2026 4:49:13 PM");
    EXPECT_EQ(GetFileDate(dir.file("missing.mp3"), LocaleFormats{}), "");

    EXPECT_EQ(DateText(when - 16 * 3600, LocaleFormats{}), "12/5/2026 12:49:13 AM");
    EXPECT_EQ(DateText(when - 4 * 3600, LocaleFormats{}), "12/5/2026 12:49:13 PM");
    EXPECT_EQ(DateText(when - (16 * 3600 + 49 * 60 + 13), LocaleFormats{}), "12/5/2026") << "midnight shows no time";
    EXPECT_EQ(DateText(when - (16 * 3600 + 49 * 60 + 12), LocaleFormats{}), "12/5/2026 12:00:01 AM");

    LocaleFormats de;
    de.ShortDate = PatternFromStrftime("%d.%m.%Y");
    de.LongTime = PatternFromStrftime("%T");
    EXPECT_EQ(de.ShortDate, "dd.MM.yyyy");
    EXPECT_EQ(DateText(when, de), "05.12.2026 16:49:13");
}

TEST(LocaleFormats, CAndUsEnglishUseTheUsPatterns)
{
    for (const char* name : {"C", "POSIX", "C.UTF-8", "en_US.UTF-8"}) {
        const auto f = LocaleFormats::FromLocaleName(name);
        EXPECT_EQ(f.ShortDate, "M/d/yyyy") << name;
        EXPECT_EQ(f.LongTime, "h:mm:ss tt") << name;
        EXPECT_EQ(f.DecimalSeparator, ".") << name;
        EXPECT_EQ(f.AM, "AM") << name;
    }
    EXPECT_EQ(PatternFromStrftime("%I:%M:%S %p"), "hh:mm:ss tt");
    EXPECT_EQ(PatternFromStrftime("%Y-%m-%d"), "yyyy-MM-dd");
    EXPECT_EQ(PatternFromStrftime("%e/%m %Hh"), "d/MM HH'h'");
}
