// The background decode of a recording, stepped by the test: its phases, the
// WAV file it keeps (read back by the player's own reader, against the
// samples of the mpg123 program), its trace, its key and why it keeps no file
// (a decode that fails half-way is in the load sequence's tests).
#include "audio/RecordingDecode.h"

#include "audio/StreamWAV.h"
#include "support/Eventually.h"
#include "support/LameEncode.h"
#include "support/TraceOfFile.h"
#include "support/WavFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace pellam;
using namespace pellam::test;

namespace {

// The phases the decode passes through, one Step at a time.
std::vector<DecodePhase> StepToEnd(RecordingDecode& decode)
{
    std::vector<DecodePhase> phases {decode.Status().phase};
    for (int steps = 0; steps < 1000 && decode.Step(); ++steps)
        if (decode.Status().phase != phases.back())
            phases.push_back(decode.Status().phase);
    if (decode.Status().phase != phases.back())
        phases.push_back(decode.Status().phase);
    return phases;
}

// Steps until the decode is in that phase; false when it ends or stays before it.
bool StepTo(RecordingDecode& decode, DecodePhase phase)
{
    for (int steps = 0; steps < 1000 && decode.Status().phase != phase && decode.Step(); ++steps) { }
    return decode.Status().phase == phase;
}

// CRC-32 of a file as Python's zlib computes it, as a signed value.
std::int32_t ZlibCrc(const TempDir& dir, const std::string& path)
{
    Shell("python3 -c 'import sys, zlib; print(zlib.crc32(open(sys.argv[1], \"rb\").read()))' '" + path + "' >'"
        + dir.file("crc") + "'");
    return static_cast<std::int32_t>(std::stoul(ReadAll(dir.file("crc"))));
}

class RecordingDecodeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveLame() || !HaveMpg123())
            GTEST_SKIP() << "lame or the mpg123 program is not installed";
        stereo = EncodePcm(dir.str(), "stereo.mp3", ToneSamples(132377, 44100, 2), 44100, 2, "-V 2");
        ASSERT_FALSE(stereo.empty());
    }
    TempDir dir;
    std::string stereo;
};

} // namespace

TEST(PcmWavHeader, StatesTheFormatAndSizesLittleEndianInAllFourBytes)
{
    const auto h = PcmWavHeader(44100, 2, 0x01020304);
    EXPECT_EQ(std::string(h.begin(), h.end()),
        std::string("RIFF\x28\x03\x02\x01WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xAC\0\0\x10\xB1\x02\0\x04\0\x10\0"
                    "data\x04\x03\x02\x01",
            44));
}

TEST_F(RecordingDecodeTest, KeepsTheWavFileTheTraceAndTheKeyOfTheRecordingUntilTheFileIsReleased)
{
    const std::string mono = EncodeTone(dir, "mono.mp3", 24123, 8000, "-b 24");
    for (const auto& [path, rate, channels, samples, decodeSteps] :
        {std::tuple(stereo, 44100, 2, std::int64_t {132377}, 2), std::tuple(mono, 8000, 1, std::int64_t {24123}, 1)}) {
        SCOPED_TRACE(path);
        const std::string wav = path + ".wav";
        RecordingDecode decode(path, wav, false);
        ASSERT_TRUE(decode.Step());
        DecodeStatus s = decode.Status();
        EXPECT_EQ(std::tuple(s.phase, s.rate, s.channels, s.length, s.scanned),
            std::tuple(DecodePhase::Scanning, rate, channels, samples, std::int64_t {-1}));
        ASSERT_TRUE(decode.Step());
        EXPECT_FALSE(decode.Index().empty());
        s = decode.Status();
        EXPECT_EQ(std::tuple(s.phase, s.length, s.scanned, s.kept, s.decoded),
            std::tuple(DecodePhase::Decoding, samples, samples, true, std::int64_t {0}));
        for (int step = 0; step < decodeSteps; ++step)
            ASSERT_TRUE(decode.Step());
        EXPECT_EQ(decode.Status().phase, DecodePhase::Finishing);
        EXPECT_FALSE(decode.Trace()->Finished());
        EXPECT_GT(decode.Trace()->Size(), 0u); // the trace grows as the decode goes on
        EXPECT_FALSE(decode.Step());
        s = decode.Status();
        struct stat st { };
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        const RecordingKey key {static_cast<std::int64_t>(st.st_size),
            std::int64_t {st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec, ZlibCrc(dir, path)};
        EXPECT_EQ(std::tuple(s.phase, s.length, s.decoded, s.failure, s.kept, s.notKept, s.key),
            std::tuple(DecodePhase::Done, samples, samples, "", true, "", std::optional(key)));

        // The kept file is a WAV file of the decoded samples.
        const std::string bytes = ReadAll(wav);
        EXPECT_EQ(static_cast<std::int64_t>(bytes.size()), 44 + 2 * channels * samples);
        StreamWAV player;
        ASSERT_EQ(player.StreamOpen(wav), StreamStatus::Ok);
        EXPECT_EQ(std::tuple(player.SamplesPerSecond(), player.Channels()), std::tuple(rate, channels));
        EXPECT_TRUE(SameSamples(ToSamples(ReadToEnd(player)), Mpg123Samples(path)));

        // The trace is the one the kept file's bytes give.
        const WaveformTrace traced = TraceOfFile(wav);
        std::vector<TracePoint> points;
        decode.Trace()->CopyFrom(0, points);
        EXPECT_EQ(std::tuple(decode.Trace()->Finished(), decode.Trace()->Width(), points),
            std::tuple(true, traced.width, traced.points));
        // What was kept and not released goes with the decode; a released file stays.
        if (channels == 2)
            decode.ReleaseFile();
    }
    EXPECT_EQ(std::tuple(Exists(stereo + ".wav"), Exists(mono + ".wav")), std::tuple(true, false));
}

TEST_F(RecordingDecodeTest, KeepsNoFileOfARecordingThatChangedStoppedOrFailed)
{
    // Rewritten with other times after the decode began: decoded, not kept.
    {
        const std::string copy = dir.write("copy.mp3", ReadAll(stereo));
        RecordingDecode decode(copy, dir.file("changed.wav"), false);
        ASSERT_TRUE(decode.Step());
        dir.write("copy.mp3", ReadAll(stereo));
        const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, copy.c_str(), times, 0), 0);
        StepToEnd(decode);
        const DecodeStatus s = decode.Status();
        EXPECT_EQ(std::tuple(s.phase, s.decoded, s.kept, s.notKept, s.key.has_value(), Exists(decode.WavPath())),
            std::tuple(DecodePhase::Done, std::int64_t {132377}, false, "the recording changed while it was decoded",
                false, false));
    }
    // Stopped while it finishes: the audio is there, but not what identifies the recording.
    {
        RecordingDecode decode(stereo, dir.file("late.wav"), false);
        ASSERT_TRUE(StepTo(decode, DecodePhase::Finishing));
        decode.Stop();
        EXPECT_FALSE(decode.Step());
        const DecodeStatus s = decode.Status();
        EXPECT_EQ(std::tuple(s.phase, s.decoded, s.kept, s.notKept, s.key.has_value(), Exists(decode.WavPath())),
            std::tuple(DecodePhase::Done, std::int64_t {132377}, false, "Operation canceled", false, false));
    }
    // Without a file to keep, or with its name taken: the audio is decoded and traced all the same.
    const std::string taken = dir.write("taken.wav", "not ours");
    for (const auto& [wav, notKept] : {std::pair(std::string(), ""), std::pair(taken, "File exists")}) {
        RecordingDecode decode(stereo, wav, false);
        EXPECT_EQ(StepToEnd(decode),
            (std::vector {DecodePhase::Opening, DecodePhase::Scanning, DecodePhase::Decoding, DecodePhase::Finishing,
                DecodePhase::Done}));
        const DecodeStatus s = decode.Status();
        EXPECT_EQ(std::tuple(s.decoded, s.kept, s.notKept, s.key.has_value()),
            std::tuple(std::int64_t {132377}, false, notKept, true));
        EXPECT_GT(decode.Trace()->Size(), 1000u);
    }
    EXPECT_EQ(ReadAll(taken), "not ours");
    // Nothing to decode: failed with the reason.
    RecordingDecode junk(dir.write("text.mp3", std::string(5000, 'x')), dir.file("failed.wav"), false);
    EXPECT_EQ(StepToEnd(junk), (std::vector {DecodePhase::Opening, DecodePhase::Failed}));
    EXPECT_EQ(std::tuple(junk.Status().failure, junk.Status().kept, Exists(junk.WavPath())),
        std::tuple("no MPEG audio frame", false, false));
}

TEST_F(RecordingDecodeTest, AFullWorkingFolderKeepsNothingButTheAudioIsDecoded)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small file system needs root";
    const std::string small = dir.file("small");
    std::filesystem::create_directory(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no tmpfs could be mounted here";
    {
        RecordingDecode decode(stereo, small + "/TMP-1-1.WAV", false);
        StepToEnd(decode);
        const DecodeStatus s = decode.Status();
        EXPECT_EQ(std::tuple(s.phase, s.decoded, s.kept, s.notKept, s.key.has_value(), Exists(decode.WavPath())),
            std::tuple(DecodePhase::Done, std::int64_t {132377}, false, "the working folder is full", true, false));
    }
    ::umount(small.c_str());
}

TEST_F(RecordingDecodeTest, OnItsOwnThreadTheDecodeEndsAndKeepsItsFile)
{
    RecordingDecode decode(stereo, dir.file("threaded.wav"));
    ASSERT_TRUE(Eventually([&] { return decode.Status().Ended(); }));
    EXPECT_EQ(std::tuple(decode.Status().phase, decode.Status().decoded, decode.Status().kept),
        std::tuple(DecodePhase::Done, std::int64_t {132377}, true));
}
