#include "workspace/IncidentPaths.h"

#include "workspace/AttachmentFolder.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include <sys/stat.h>

using namespace pellam;

namespace {

FolderListing ListingOf(const test::TempDir& dir, std::initializer_list<const char*> names)
{
    for (const char* n : names)
        dir.write(n, "x");
    return FolderListing::Read(FolderPath(dir.str())).value();
}

} // namespace

TEST(FolderListing, SortsWithoutRegardToCaseAndSkipsHiddenFilesAndFolders)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir.path() / "Photo");
    // Links count as what they lead to: a file, a folder, nothing.
    std::filesystem::create_symlink("a.mp3", dir.path() / "link.mp3");
    std::filesystem::create_directory_symlink("Photo", dir.path() / "photo.mp3");
    std::filesystem::create_symlink("gone", dir.path() / "dangling.mp3");
    // Nor a link out of the folder, nor a pipe: both are set aside by name.
    std::filesystem::create_symlink("/proc/self/environ", dir.path() / "env.mp3");
    ASSERT_EQ(::mkfifo(dir.file("pipe.mp3").c_str(), 0600), 0);
    const auto listing = ListingOf(dir,
        {"b.mp3", "A.mp3", "a.mp3", "C.evt", "b.evt", ".hidden", "_x.doc", "10.mp3", "9.mp3", "old.RMQ", "rmq",
            "x.rmqx", "z.rmq"});
    const std::vector<std::string> want = {"10.mp3", "9.mp3", "_x.doc", "A.mp3", "a.mp3", "b.evt", "b.mp3", "C.evt",
        "link.mp3", "old.RMQ", "rmq", "x.rmqx", "z.rmq"};
    using V = std::vector<std::string>;
    EXPECT_EQ(std::tuple(listing.names(), listing.outside(), listing.irregular()),
        std::tuple(want, V {"env.mp3"}, V {"dangling.mp3", "Photo", "photo.mp3", "pipe.mp3"}));
    EXPECT_TRUE(listing.FileInList("a.mp3") && !listing.FileInList("B.mp3")) << "presence is case-sensitive";
    EXPECT_EQ(listing.WithExtension("rmq"), (std::vector<std::string> {"old.RMQ", "z.rmq"}));
    EXPECT_EQ(FindEventFile(listing, FolderPath(dir.str())), dir.str() + "/b.evt")
        << "the alphabetically first event file";

    test::TempDir none;
    EXPECT_EQ(FindEventFile(ListingOf(none, {"x.EVT", "y.txt", "b.evt.txt"}), FolderPath(none.str())), "");
    const auto missing = FolderListing::Read(FolderPath("/nonexistent/pellam/folder"));
    ASSERT_FALSE(missing.ok()) << "a missing folder is an error, not an empty listing";
    EXPECT_TRUE(missing.error().Missing() && missing.error().text == "No such file or directory");
    // Folders keep no trailing separator and join with exactly one.
    EXPECT_EQ(std::tuple(FolderPath("/x//").str(), FolderPath("/").Join("a"), FolderPath("/x/").Join("a"),
                  FolderPath("/").WithSeparator(), FolderPath().WithSeparator()),
        std::tuple("/x", "/a", "/x/a", "/", ""));
}

// The folder is kept once, without its closing "/"; the forms with it derive from it.
TEST(SplitEventPath, SplitsOnlyLowerCaseEvtNamesIntoNameAndFolder)
{
    NewLoad load;
    Paths paths;
    load.EventFile = "/cases/1234/1234.evt";
    ASSERT_TRUE(SplitEventPath(load, paths));
    EXPECT_EQ(
        std::tuple(load.FileName, paths.Evidence.str(), paths.Evidence.WithSeparator(), PicPath(paths).WithSeparator()),
        std::tuple("1234.evt", "/cases/1234", "/cases/1234/", "/cases/1234/Photo/"));

    load.EventFile = "/x.evt"; // the root keeps its one separator
    ASSERT_TRUE(SplitEventPath(load, paths));
    EXPECT_EQ(std::tuple(paths.Evidence.str(), PicPath(paths).WithSeparator()), std::tuple("/", "/Photo/"));

    load.EventFile = "/cases/1234/1234.EVT";
    load.FileName = "before";
    EXPECT_FALSE(SplitEventPath(load, paths));
    EXPECT_EQ(std::tuple(load.FileName, paths.Evidence.str()), std::tuple("before", "/"));
}

TEST(LogPaths, PlainNamesWinAndCasePrefixedNamesAreTheFallback)
{
    test::TempDir dir, npp, empty;
    const auto listing = ListingOf(
        dir, {"MainLOG.doc", "77_MainLOG.doc", "77_NOCLOG.rtf", "77_NPP_Rpt.rtf", "NPP_Rpt.rtf", "adcomm.rtf"});
    Paths paths;
    paths.Evidence = FolderPath(dir.str());
    EXPECT_EQ(NegotiateLogPaths(listing, "77", paths), 1);
    // A name in other letter case is not the document.
    EXPECT_EQ(std::tuple(paths.MainLog, paths.NocLog, paths.NppReport, paths.AdminLog, AnyLog(paths)),
        std::tuple(dir.str() + "/MainLOG.doc", dir.str() + "/77_NOCLOG.rtf", dir.str() + "/NPP_Rpt.rtf", "NONE", true));

    paths.Evidence = FolderPath(npp.str());
    NegotiateLogPaths(ListingOf(npp, {"5_NPRpt.tmp", "NPP_Rpt.rtf"}), "5", paths);
    // The NPP candidates are tried in order; one log is enough for the viewer.
    EXPECT_EQ(std::pair(paths.NppReport, AnyLog(paths)), std::pair(npp.str() + "/5_NPRpt.tmp", true));

    EXPECT_EQ(
        (std::tuple {NegotiateLogPaths(ListingOf(empty, {"mainlog.doc"}), "1", paths), paths.MainLog, AnyLog(paths)}),
        std::tuple(4, "NONE", false));
}

// The attachments folder the event file names, found on this machine: inside
// the opened evidence folder first, so a copy never reaches its original.
TEST(AttachmentFolder, ResolvedInTheEvidenceFolderFirst)
{
    using Source = AttachmentFolder::Source;
    test::TempDir original; // the folder a copy was made of, or any folder outside
    original.write("Attachments/ATCH.lst", "0\r\n");
    const std::string win = "C:\\Cordane\\4711\\";
    struct Case {
        const char* what;
        std::vector<const char*> files;
        std::string named; // $E is the evidence folder, $O the original
        Source source;
        std::string folder;
        std::string note;
    };
    const Case cases[] = {
        {"Windows path: the folder of its last name", {"4711/ATCH.lst", "Attachments/ATCH.lst", "ATCH.lst"}, win,
            Source::InEvidence, "$E/4711/",
            "Attachments from $E/4711/ in the evidence folder; the event file names C:\\Cordane\\4711\\."},
        {"then Attachments", {"4711/a.pdf", "Attachments/ATCH.lst", "ATCH.lst"}, win, Source::InEvidence,
            "$E/Attachments/",
            "Attachments from $E/Attachments/ in the evidence folder; the event file names C:\\Cordane\\4711\\."},
        {"then the evidence folder itself", {"ATCH.lst", "Attachments/a.pdf"}, win, Source::InEvidence, "$E/",
            "Attachments from $E/ in the evidence folder; the event file names C:\\Cordane\\4711\\."},
        {"none", {"Attachments/a.pdf"}, win, Source::None, "",
            "No attachments list found: the event file names C:\\Cordane\\4711\\, which is not on this machine, and "
            "the "
            "evidence folder holds no \"ATCH.lst\", neither in itself nor in a folder \"4711\" or \"Attachments\"."},
        {"none named", {}, "\\", Source::None, "",
            "No attachments list found: the event file names no attachments folder, and the evidence folder holds no "
            "\"ATCH.lst\", neither in itself nor in a folder \"Attachments\"."},
        {"inside, as named", {"Att/x", "Attachments/ATCH.lst"}, "$E/Att/", Source::AsNamed, "$E/Att/", ""},
        {"inside, relative with \\", {"Att/x"}, "Att\\", Source::AsNamed, "$E/Att/", ""},
        {"a copy of the original", {"Attachments/ATCH.lst"}, "$O/Attachments/", Source::InEvidence, "$E/Attachments/",
            "Attachments from $E/Attachments/ in the evidence folder; the event file names $O/Attachments/."},
        {"only the original", {"x"}, "$O/Attachments/", Source::Outside, "$O/Attachments/",
            "Attachments from $O/Attachments/, outside the evidence folder, as the event file names it."},
    };
    for (const auto& c : cases) {
        test::TempDir evidence;
        for (const char* f : c.files)
            evidence.write(f, "0\r\n");
        const auto fill = [&](std::string t) {
            for (const auto& [mark, value] : {std::pair {"$E", evidence.str()}, {"$O", original.str()}})
                for (auto at = t.find(mark); at != std::string::npos; at = t.find(mark))
                    t.replace(at, 2, value);
            return t;
        };
        const AttachmentFolder got = ResolveAttachmentFolder(fill(c.named), FolderPath(evidence.str()));
        EXPECT_EQ(std::tuple(got.source, got.folder.WithSeparator(), got.note),
            std::tuple(c.source, fill(c.folder), fill(c.note)))
            << c.what;
    }

    // A folder used as named that holds no list says so.
    test::TempDir evidence;
    evidence.write("Att/x", "");
    AttachmentList list;
    EXPECT_EQ(LoadIncidentAttachments("Att\\", FolderPath(evidence.str()), list).note,
        "\"ATCH.lst\" in " + evidence.str() + "/Att/ cannot be read: No such file or directory.");
    // A list read only in part says what it leaves out.
    evidence.write("Att/ATCH.lst", "1001\r\n" + std::string(1001 * 16, ','));
    EXPECT_EQ(LoadIncidentAttachments("Att\\", FolderPath(evidence.str()), list).note,
        "\"ATCH.lst\" in " + evidence.str() + "/Att/ lists 1001 attachments; only the first 1000 are shown.");

    for (const auto& [path, want] : {std::pair {"C:\\Cordane\\4711\\", "4711"}, {"/a/b", "b"}, {"C:\\", ""},
             {"\\\\srv\\share\\", "share"}, {"..\\", ""}, {"", ""}})
        EXPECT_EQ(LastFolderName(path), want) << path;
}
