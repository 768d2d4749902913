#include "workspace/IncidentPaths.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pellam;

namespace {

FolderListing ListingOf(const test::TempDir& dir, std::initializer_list<const char*> names)
{
    for (const char* n : names)
        dir.write(n, "x");
    return FolderListing::Read(dir.str());
}

} // namespace

TEST(FolderListing, SortsWithoutRegardToCaseAndSkipsHiddenFilesAndFolders)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir.path() / "Photo");
    const auto listing = ListingOf(dir, {"b.mp3", "A.mp3", "a.mp3", "C.evt", ".hidden", "_x.doc", "10.mp3", "9.mp3"});
    const std::vector<std::string> want = {"10.mp3", "9.mp3", "_x.doc", "A.mp3", "a.mp3", "b.mp3", "C.evt"};
    EXPECT_EQ(listing.names(), want);
    EXPECT_TRUE(listing.Contains("a.mp3"));
    EXPECT_FALSE(listing.Contains("B.mp3")) << "presence is case-sensitive";
    EXPECT_EQ(listing.PathOf("a.mp3"), dir.str() + "/a.mp3");
}

TEST(FolderListing, PatternMatchesExtensionInAnyCase)
{
    test::TempDir dir;
    const auto listing = ListingOf(dir, {"1_Records.rmq", "old.RMQ", "rmq", "x.rmqx"});
    const std::vector<std::string> want = {"1_Records.rmq", "old.RMQ"};
    EXPECT_EQ(listing.WithExtension("rmq"), want);
}

TEST(FolderListing, MissingFolderListsNothing)
{
    EXPECT_TRUE(FolderListing::Read("/nonexistent/pellam/folder").empty());
    EXPECT_EQ(JoinPath("/", "a"), "/a");
    EXPECT_EQ(JoinPath("/x/", "a"), "/x/a");
}

TEST(SplitEventPath, SplitsOnlyLowerCaseEvtNames)
{
    NewLoad load;
    load.EventFile = "/cases/1234/1234.evt";
    ASSERT_TRUE(SplitEventPath(load));
    EXPECT_EQ(load.FileName, "1234.evt");
    EXPECT_EQ(load.LocationPath, "/cases/1234/");

    NewLoad upper;
    upper.EventFile = "/cases/1234/1234.EVT";
    upper.FileName = "before";
    EXPECT_FALSE(SplitEventPath(upper));
    EXPECT_EQ(upper.FileName, "before");
}

TEST(FindEventFile, ReadsTheAlphabeticallyFirstEventFile)
{
    test::TempDir dir;
    const auto listing = ListingOf(dir, {"b.evt", "A.evt", "notevt.txt", "zz.mp3"});
    EXPECT_EQ(FindEventFile(listing), dir.str() + "/A.evt");
    test::TempDir none;
    EXPECT_EQ(FindEventFile(ListingOf(none, {"x.EVT", "y.txt"})), "");
}

TEST(LogPaths, PlainNamesWinAndCasePrefixedNamesAreTheFallback)
{
    test::TempDir dir;
    const auto listing =
        ListingOf(dir, {"MainLOG.doc", "77_MainLOG.doc", "77_NOCLOG.rtf", "77_NPP_Rpt.rtf", "NPP_Rpt.rtf", "adcomm.rtf"});
    Paths paths;
    MenuState menus;
    EXPECT_EQ(NegotiateLogPaths(listing, "77", paths, menus), 1);
    EXPECT_EQ(paths.MainLog, dir.str() + "/MainLOG.doc");
    EXPECT_EQ(paths.NocLog, dir.str() + "/77_NOCLOG.rtf");
    EXPECT_EQ(paths.NppReport, dir.str() + "/NPP_Rpt.rtf");
    EXPECT_EQ(paths.AdminLog, "NONE") << "a name in other letter case is not the document";
    EXPECT_TRUE(menus[MenuEntry::LogFileViewer].enabled);
    EXPECT_TRUE(menus[MenuEntry::PrintMainLog].visible);
    EXPECT_FALSE(menus[MenuEntry::PrintAdminLog].visible);
}

TEST(LogPaths, TheNppCandidatesAreTriedInOrder)
{
    test::TempDir dir;
    Paths paths;
    MenuState menus;
    NegotiateLogPaths(ListingOf(dir, {"5_NPRpt.tmp", "NPP_Rpt.rtf"}), "5", paths, menus);
    EXPECT_EQ(paths.NppReport, dir.str() + "/5_NPRpt.tmp");
}

TEST(LogPaths, AllMissingDisablesTheViewerAndPrint)
{
    test::TempDir dir;
    Paths paths;
    MenuState menus;
    EXPECT_EQ(NegotiateLogPaths(ListingOf(dir, {"mainlog.doc"}), "1", paths, menus), 4);
    EXPECT_EQ(paths.MainLog, "NONE");
    EXPECT_FALSE(menus[MenuEntry::LogFileViewer].enabled);
    EXPECT_FALSE(menus[MenuEntry::Print].enabled);
}
