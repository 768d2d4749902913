#include "checksums/HashManifest.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

using namespace pellam;

namespace {

// Sets a file's modification time (seconds and nanoseconds since 1970 UTC).
void SetModified(const std::string& path, std::time_t seconds, long nanoseconds)
{
    const timespec times[2] = {{0, UTIME_OMIT}, {seconds, nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

constexpr std::time_t k20261205T143302 = 1796481182;

} // namespace

// Stepped by hand: files that went or became links after the listing are
// reported, not followed, and left out of the sha256sum text; the DFXML names
// them with the reason, quotes what XML must not hold raw, and marks a name
// that is not UTF-8.
TEST(HashManifest, FilesChangedAfterTheListingAndTheDfxmlOfEach)
{
    test::TempDir dir, outside;
    SetModified(dir.write("a<&>.txt", "123456789"), k20261205T143302, 500'000'000);
    SetModified(dir.write("caf\xE9\x1F.txt", ""), k20261205T143302, 0);
    dir.write("gone.txt", "x");
    dir.write("link.txt", "y");
    const auto listed = ListFolderFiles(dir.str());
    ASSERT_TRUE(listed);
    ASSERT_EQ(listed.value().files.size(), 4u);
    std::filesystem::remove(dir.file("gone.txt"));
    std::filesystem::remove(dir.file("link.txt"));
    std::filesystem::create_symlink(outside.write("secret", "z"), dir.file("link.txt"));

    ManifestHashing hashing(dir.str(), listed.value().files, 0);
    EXPECT_EQ(hashing.BytesTotal(), 11u);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(hashing.Step());
    EXPECT_FALSE(hashing.Finished());
    EXPECT_TRUE(hashing.Step());
    EXPECT_FALSE(hashing.Step());
    ASSERT_TRUE(hashing.Finished());
    const auto& entries = hashing.Entries();

    const auto problems = AllProblems({}, entries);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(std::tuple(problems[0].path, problems[0].error.number, problems[1].path, problems[1].error.number),
        std::tuple("gone.txt", ENOENT, "link.txt", ELOOP));
    EXPECT_EQ(Sha256sumText(entries),
        "15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225  a<&>.txt\n"
        "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855  caf\xE9\x1F.txt\n");

    const std::string xml = DfxmlText(entries);
    for (const char* part : {"  <fileobject>\n"
                             "    <filename>a&lt;&amp;&gt;.txt</filename>\n"
                             "    <filesize>9</filesize>\n"
                             "    <mtime>2026-12-05T14:33:02.5Z</mtime>\n"
                             "    <hashdigest type=\"sha256\">"
                             "15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225</hashdigest>\n"
                             "    <hashdigest type=\"crc32\">cbf43926</hashdigest>\n"
                             "  </fileobject>\n",
             "<filename encoding=\"windows-1252\">caf\xC3\xA9\xEF\xBF\xBD.txt</filename>\n"
             "    <filesize>0</filesize>\n"
             "    <mtime>2026-12-05T14:33:02Z</mtime>\n"
             "    <hashdigest type=\"sha256\">e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855",
             "<filename>gone.txt</filename>\n    <filesize>1</filesize>\n",
             "<error>No such file or directory</error>\n", "<filename>link.txt</filename>\n"})
        EXPECT_NE(xml.find(part), std::string::npos) << part << "\n" << xml;
    EXPECT_EQ(xml.find("secret"), std::string::npos);
}

// On threads the job hashes every file once and can be stopped inside a file;
// a folder that cannot be listed fails the manifest.
TEST(HashManifest, ThreadsHashEveryFileAndStopWhenTold)
{
    test::TempDir dir;
    for (int i = 0; i < 40; ++i)
        dir.write("sub" + std::to_string(i % 3) + "/r" + std::to_string(i) + ".mp3", std::string(1000 + i, 'r'));
    const auto threaded = MakeManifest(dir.str(), 2);
    const auto stepped = MakeManifest(dir.str(), 0);
    ASSERT_TRUE(threaded && stepped);
    EXPECT_EQ(Sha256sumText(threaded.value().entries), Sha256sumText(stepped.value().entries));
    EXPECT_EQ(std::tuple(threaded.value().entries.size(), threaded.value().problems.size()), std::tuple(40u, 0u));

    // 64 GiB of holes, which take far longer than the bound to hash: the
    // job stops inside the file and its thread is joined at once.
    std::filesystem::resize_file(dir.write("huge.mp3", ""), 64ull << 30);
    const auto before = std::chrono::steady_clock::now();
    {
        ManifestHashing huge(dir.str(), {{"huge.mp3", 64ull << 30, 0}}, 1);
        huge.Stop();
        huge.Wait();
        EXPECT_FALSE(huge.Finished());
    }
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));

    EXPECT_EQ(MakeManifest(dir.file("none"), 2).error().number, ENOENT);
}
