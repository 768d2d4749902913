#include "workspace/WorkFolder.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace pellam;

namespace {
// Points HOME somewhere else for one test.
class HomeOverride {
public:
    explicit HomeOverride(const std::string& home)
    {
        if (const char* h = std::getenv("HOME"))
            m_old = h;
        ::setenv("HOME", home.c_str(), 1);
    }
    ~HomeOverride() { ::setenv("HOME", m_old.c_str(), 1); }

private:
    std::string m_old;
};
} // namespace

TEST(WorkFolder, IsCreatedUnderTheUsersDataFolder)
{
    test::TempDir home;
    HomeOverride over(home.str());
    EXPECT_EQ(GetSpecialFolder(kLocalAppData), home.str() + "/.local/share");
    EXPECT_EQ(GetSpecialFolder(5), "");
    std::string temp;
    ASSERT_TRUE(MakeTempFolder(temp));
    EXPECT_EQ(temp, home.str() + "/.local/share/NorvikTECH-Pellam/");
    EXPECT_TRUE(std::filesystem::is_directory(temp));
    ASSERT_TRUE(MakeTempFolder(temp)) << "an existing folder is fine";
}

TEST(WorkFolder, FailsWhenAFileStandsInTheWay)
{
    test::TempDir home;
    home.write(".local/share/NorvikTECH-Pellam", "not a folder");
    HomeOverride over(home.str());
    std::string temp;
    EXPECT_FALSE(MakeTempFolder(temp));
}
