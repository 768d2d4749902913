// Tags written by other programs, several of them damaged on purpose, and the
// durations of the files that carry them.
#include "media/cMP3ID3v2.h"
#include "media/Mp3Duration.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pellam;

namespace {

const std::string kDir = std::string(PELLAM_TESTDATA) + "/peer-id3/";

cMP3ID3v2 Read(const std::string& name)
{
    cMP3ID3v2 r;
    const auto read = r.SetMP3File(kDir + name);
    EXPECT_TRUE(read.ok()) << name;
    return r;
}

// The files are not part of this repository; a clone on its own skips these tests.
class PeerTagFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::is_directory(kDir))
            GTEST_SKIP() << "the tag files written by other programs are not here: " << kDir;
    }
};

} // namespace

// Every file reads (the durations below list them all); what any bytes may
// hold is the ID3 fuzzer's.
TEST_F(PeerTagFiles, RepeatedFramesAndVersion22Ids)
{
    // Repeated frames and, in version 2.2 from a music player, unmapped ids sharing the empty id.
    const auto r = Read("mutagen_silence-44-s.mp3");
    EXPECT_EQ(std::tuple(r.TagVersion(), r.Title(), r.Artist(), r.FrameValue("1:TPE1"), r.TagsInFrame("TPE1"),
                  r.OtherGenreName(), r.FrameCount()),
        std::tuple(3, "Silence", "jzig", "piman", 2, "Silence", 8));
    const auto itunes = Read("taglib_itunes10.mp3");
    EXPECT_EQ(
        std::tuple(itunes.TagVersion(), itunes.TagsInFrame(""), itunes.TagsInFrame("COMM"), itunes.OtherGenreName()),
        std::tuple(2, 15, 2, "Heavy Metal"));
}

TEST_F(PeerTagFiles, TagSearchOutcomesAndDamagedTags)
{
    for (const char* none : {"mutagen_emptyfile.mp3", "mutagen_no-tags.mp3", "taglib_mpeg2.mp3"})
        EXPECT_FALSE(Read(none).HasID3v2Tag()) << none;

    const auto trailing = Read("mutagen_audacious-trailing-id32-apev2.mp3");
    EXPECT_EQ(std::tuple(trailing.TagPosition(), trailing.TagVersion()), std::tuple(2769 + 4, 4));
    const auto garbage = Read("taglib_garbage.mp3");
    EXPECT_EQ(
        std::tuple(garbage.TagPosition(), garbage.FrameCount(), garbage.Frame(1)), std::tuple(2047 + 4, 1, "TXXX"));
    for (const char* name : {"taglib_compressed_id3_frame.mp3", "taglib_extended-header.mp3"}) {
        const auto r = Read(name);
        EXPECT_EQ(std::tuple(r.HasID3v2Tag(), r.TagVersion(), r.FrameCount()), std::tuple(true, 4, 0)) << name;
    }
    const auto w000 = Read("taglib_w000.mp3");
    EXPECT_EQ(std::tuple(w000.Genre(), w000.OtherGenreName(), w000.TagsInFrame("W000")), std::tuple(3, "Dance", 1));

    // 9C is œ in Windows-1252; the leading 03 is the frame's encoding byte.
    EXPECT_EQ(Read("taglib_excessive_alloc.mp3").Album(), "\x03Music\xC5\x93of the Sun");
}

// The length each file's frames hold, to the second as lame's decoder gives
// it; "??:??" only where there is no layer III frame (tag-only files, an empty
// file, one too short for a frame). Three files are the heads of longer
// recordings whose info tag still counts every frame.
TEST_F(PeerTagFiles, DurationsAreWhatTheFramesHold)
{
    const std::tuple<const char*, const char*, const char*> expected[] = {
        {"mutagen_97-unknown-23-update.mp3", "00:04", ""}, {"mutagen_audacious-trailing-id32-apev2.mp3", "00:01", ""},
        {"mutagen_bad-POPM-frame.mp3", "??:??", ""}, {"mutagen_bad-TYER-frame.mp3", "00:01", ""},
        {"mutagen_emptyfile.mp3", "??:??", ""}, {"mutagen_id3v1v2-combined.mp3", "00:00", ""},
        {"mutagen_id3v22-test.mp3", "00:00", ""}, {"mutagen_no-tags.mp3", "00:00", ""},
        {"mutagen_silence-44-s.mp3", "00:04", ""}, {"mutagen_too-short.mp3", "??:??", ""},
        {"mutagen_vbri.mp3", "00:00", ""}, {"taglib_ape-id3v2.mp3", "00:02", ""},
        {"taglib_compressed_id3_frame.mp3", "??:??", ""}, {"taglib_duplicate_id3v2.mp3", "00:00", ""},
        {"taglib_excessive_alloc.mp3", "??:??", ""}, {"taglib_extended-header.mp3", "??:??", ""},
        {"taglib_garbage.mp3", "00:00", "cut short: 19 of 72243 frames"}, {"taglib_id3v22-tda.mp3", "00:01", ""},
        {"taglib_itunes10.mp3", "??:??", ""}, {"taglib_lame_cbr.mp3", "00:00", "cut short: 17 of 72243 frames"},
        {"taglib_mpeg2.mp3", "00:05", "cut short: 196 of 206232 frames"}, {"taglib_rare_frames.mp3", "00:00", ""},
        {"taglib_w000.mp3", "??:??", ""}};
    for (const auto& [name, text, note] : expected) {
        const auto answer = Mp3DurationAnswer(kDir + name);
        EXPECT_EQ(std::tuple(answer.text, answer.note), std::tuple(std::string(text), std::string(note))) << name;
    }
}
