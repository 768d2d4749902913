// The session's decoded recordings: their names, which go when room is
// needed, how a recording is found again by its content, and that every file
// goes with the cache.
#include "audio/DecodeCache.h"

#include "support/LameEncode.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace pellam;
using namespace pellam::test;

namespace {

std::optional<std::uint64_t> Unknown(const FolderPath&)
{
    return std::nullopt;
}

class DecodeCacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveLame())
            GTEST_SKIP() << "the lame encoder is not installed";
        std::filesystem::create_directory(work.str());
        // 8 kHz mono: WAV files of 16 044, 24 044 and 32 044 bytes.
        a = EncodeTone(dir, "a.mp3", 8000, 8000, "-b 24");
        b = EncodeTone(dir, "b.mp3", 12000, 8000, "-b 24");
        c = EncodeTone(dir, "c.mp3", 16000, 8000, "-b 24");
        ASSERT_FALSE(a.empty() || b.empty() || c.empty());
    }
    // Decodes a recording into a name the cache gives and hands the file over.
    std::string Cached(DecodeCache& cache, const std::string& recording, std::int64_t bytes)
    {
        const auto name = cache.Reserve(bytes);
        EXPECT_TRUE(name) << (name ? "" : name.error());
        RecordingDecode decode(recording, name ? *name : "", false);
        for (int steps = 0; steps < 1000 && decode.Step(); ++steps) { }
        EXPECT_TRUE(cache.Keep(decode));
        EXPECT_FALSE(cache.Keep(decode)); // once
        return decode.WavPath();
    }
    TempDir dir;
    const FolderPath work {dir.file("work")};
    std::string a, b, c;
};

} // namespace

TEST_F(DecodeCacheTest, TheLeastRecentlyUsedMakeRoomUnderTheLimitAndTheFreeSpaceMargin)
{
    {
        DecodeCache cache(work, {60000, 0}, Unknown, 4242);
        const std::string wavA = Cached(cache, a, 16044);
        const std::string wavB = Cached(cache, b, 24044);
        EXPECT_EQ(std::tuple(wavA, wavB, cache.Count(), cache.Bytes()),
            std::tuple(work.str() + "/TMP-4242-1.WAV", work.str() + "/TMP-4242-2.WAV", 2u, std::int64_t {40088}));
        ASSERT_TRUE(cache.Find(a)); // a is now the more recent
        EXPECT_EQ(cache.Reserve(32044).value(), work.str() + "/TMP-4242-3.WAV");
        EXPECT_EQ(
            std::tuple(Exists(wavA), Exists(wavB), cache.Count(), cache.Find(b)), std::tuple(true, false, 1u, nullptr));
        // More than the limit: refused without dropping anything. The limit itself: everything else goes.
        EXPECT_EQ(cache.Reserve(60001).error(),
            "the recording decodes to 0.1 MB, more than the 0.1 MB kept for decoded recordings");
        EXPECT_EQ(cache.Count(), 1u);
        EXPECT_TRUE(cache.Reserve(60000));
        EXPECT_EQ(std::tuple(Exists(wavA), cache.Count()), std::tuple(false, 0u));
    }
    {
        // A file system of 1 110 000 bytes holding only the cache's files, 1 MiB of it kept free.
        const auto free = [](const FolderPath& folder) -> std::optional<std::uint64_t> {
            std::uint64_t used = 0;
            for (const auto& entry : std::filesystem::directory_iterator(folder.str()))
                used += entry.file_size();
            return 1110000 - used;
        };
        DecodeCache cache(work, {1LL << 30, 1LL << 20}, free, 7);
        const std::string wavA = Cached(cache, a, 16044);
        const std::string wavB = Cached(cache, b, 24044);
        // 1 069 912 bytes free: exactly enough for 21 336 more, no more.
        EXPECT_TRUE(cache.Reserve(21336));
        EXPECT_EQ(cache.Count(), 2u);
        const std::string wavC = Cached(cache, c, 32044);
        EXPECT_EQ(
            std::tuple(Exists(wavA), Exists(wavB), Exists(wavC), cache.Count()), std::tuple(false, true, true, 2u));
        EXPECT_EQ(cache.Reserve(500000).error(),
            "the working folder has 1.1 MB free, the recording needs 1.5 MB with the margin kept free");
        EXPECT_EQ(std::tuple(Exists(wavB), Exists(wavC), cache.Count()), std::tuple(false, false, 0u));
    }
    EXPECT_EQ(FreeBytes(work), std::filesystem::space(work.str()).available);
    EXPECT_EQ(FreeBytes(FolderPath(dir.file("missing"))), std::nullopt);
    const FolderPath none;
    EXPECT_EQ(DecodeCache(none).Reserve(1).error(), "there is no working folder");
}

TEST_F(DecodeCacheTest, FindsARecordingByItsContentAndDropsAFileDeletedBehindItsBack)
{
    DecodeCache cache(work, {}, Unknown);
    const std::string wav = Cached(cache, a, 16044);
    const CachedRecording* found = cache.Find(a);
    ASSERT_TRUE(found);
    EXPECT_EQ(std::tuple(found->wavPath, found->bytes, found->key.size, found->trace->Finished()),
        std::tuple(wav, std::int64_t {16044}, static_cast<std::int64_t>(std::filesystem::file_size(a)), true));
    // A copy that keeps the times is the same recording.
    const std::string copy = dir.file("copy.mp3");
    ASSERT_EQ(std::system(("cp -p '" + a + "' '" + copy + "'").c_str()), 0);
    EXPECT_EQ(cache.Find(copy), found);

    // Other bytes of the same length under the same modification time: only
    // the CRC tells them apart. Restored, the recording is found again.
    struct stat st { };
    ASSERT_EQ(::stat(a.c_str(), &st), 0);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    const std::string original = ReadAll(a);
    std::string other = original;
    other[original.size() / 2] = static_cast<char>(~other[original.size() / 2]);
    const auto rewrite = [&](const std::string& bytes) {
        dir.write("a.mp3", bytes);
        ASSERT_EQ(::utimensat(AT_FDCWD, a.c_str(), times, 0), 0);
    };
    rewrite(other);
    EXPECT_EQ(cache.Find(a), nullptr);
    rewrite(original);
    EXPECT_EQ(cache.Find(a), found);
    // The same bytes touched: another modification time, another recording.
    const timespec touched[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, a.c_str(), touched, 0), 0);
    EXPECT_EQ(std::tuple(cache.Find(a), cache.Find(dir.file("missing.mp3")), cache.Count()),
        std::tuple(nullptr, nullptr, 1u));

    // Only a decode that ended with its file kept is taken over, never a file
    // that had the name before.
    RecordingDecode unfinished(b, dir.file("work/unfinished.wav"), false);
    RecordingDecode taken(b, dir.write("work/taken.wav", "not ours"), false);
    for (int steps = 0; steps < 1000 && taken.Step(); ++steps) { }
    EXPECT_EQ(std::tuple(cache.Keep(unfinished), cache.Keep(taken), cache.Count()), std::tuple(false, false, 1u));

    ::unlink(wav.c_str());
    EXPECT_EQ(cache.Find(copy), nullptr);
    EXPECT_EQ(cache.Count(), 0u);
}

TEST_F(DecodeCacheTest, EveryFileGoesWithTheCacheAndTwoProcessesNeverShareAName)
{
    std::set<std::string> names;
    {
        DecodeCache one(work, {}, Unknown, 1);
        DecodeCache eleven(work, {}, Unknown, 11);
        for (int i = 0; i < 12; ++i)
            names.insert({one.Reserve(1).value(), eleven.Reserve(1).value()});
        EXPECT_EQ(names.size(), 24u);
        EXPECT_EQ(DecodeCache(work, {}, Unknown).Reserve(1).value(),
            work.str() + "/TMP-" + std::to_string(::getpid()) + "-1.WAV");

        const std::string kept = Cached(one, a, 16044);
        const std::string notOurs = dir.write("work/TMP-2-1.WAV", "another copy's");
        one.Clear();
        EXPECT_EQ(std::tuple(Exists(kept), Exists(notOurs), one.Count(), one.Bytes()),
            std::tuple(false, true, 0u, std::int64_t {0}));
        names = {Cached(one, a, 16044), Cached(one, c, 32044), Cached(eleven, b, 24044)};
    }
    for (const std::string& name : names)
        EXPECT_FALSE(Exists(name)) << name;
}
