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
    return FolderListing::Read(dir.str()).value();
}

} // namespace

TEST(FolderListing, SortsWithoutRegardToCaseAndSkipsHiddenFilesAndFolders)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir.path() / "Photo");
    const auto listing = ListingOf(dir,
        {"b.mp3", "A.mp3", "a.mp3", "C.evt", "b.evt", ".hidden", "_x.doc", "10.mp3", "9.mp3", "old.RMQ", "rmq",
            "x.rmqx", "z.rmq"});
    const std::vector<std::string> want = {
        "10.mp3", "9.mp3", "_x.doc", "A.mp3", "a.mp3", "b.evt", "b.mp3", "C.evt", "old.RMQ", "rmq", "x.rmqx", "z.rmq"};
    EXPECT_EQ(listing.names(), want);
    EXPECT_TRUE(listing.FileInList("a.mp3"));
    EXPECT_FALSE(listing.FileInList("B.mp3")) << "presence is case-sensitive";
    EXPECT_EQ(listing.PathOf("a.mp3"), dir.str() + "/a.mp3");
    EXPECT_EQ(listing.WithExtension("rmq"), (std::vector<std::string> {"old.RMQ", "z.rmq"}));
    EXPECT_EQ(FindEventFile(listing), dir.str() + "/b.evt") << "the alphabetically first event file";

    test::TempDir none;
    EXPECT_EQ(FindEventFile(ListingOf(none, {"x.EVT", "y.txt", "b.evt.txt"})), "");
    const auto missing = FolderListing::Read("/nonexistent/pellam/folder");
    ASSERT_FALSE(missing.ok()) << "a missing folder is an error, not an empty listing";
    EXPECT_TRUE(missing.error().missing());
    EXPECT_EQ(missing.error().description, "No such file or directory");
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

    load.EventFile = "/cases/1234/1234.EVT";
    load.FileName = "before";
    EXPECT_FALSE(SplitEventPath(load));
    EXPECT_EQ(load.FileName, "before");
}

TEST(LogPaths, PlainNamesWinAndCasePrefixedNamesAreTheFallback)
{
    test::TempDir dir, npp, empty;
    const auto listing = ListingOf(
        dir, {"MainLOG.doc", "77_MainLOG.doc", "77_NOCLOG.rtf", "77_NPP_Rpt.rtf", "NPP_Rpt.rtf", "adcomm.rtf"});
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

    NegotiateLogPaths(ListingOf(npp, {"5_NPRpt.tmp", "NPP_Rpt.rtf"}), "5", paths, menus);
    EXPECT_EQ(paths.NppReport, npp.str() + "/5_NPRpt.tmp") << "the NPP candidates are tried in order";

    EXPECT_EQ(NegotiateLogPaths(ListingOf(empty, {"mainlog.doc"}), "1", paths, menus), 4);
    EXPECT_EQ(paths.MainLog, "NONE");
    EXPECT_FALSE(menus[MenuEntry::LogFileViewer].enabled);
    EXPECT_FALSE(menus[MenuEntry::Print].enabled);
}
