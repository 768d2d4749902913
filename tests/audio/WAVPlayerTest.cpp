#include "audio/WAVPlayer.h"
#include "support/VirtualWaveBackend.h"

#include "WavFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace pellam;
namespace {

// Mono samples whose value is the number of the second they belong to, so
// played bytes tell where in the file they came from.
std::vector<std::int16_t> SecondMarks(std::uint32_t rate, std::uint32_t seconds)
{
    std::vector<std::int16_t> s(static_cast<std::size_t>(rate) * seconds);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<std::int16_t>(i / rate);
    return s;
}

constexpr std::uint32_t kRate = 8000; // mono 16-bit: 16000 bytes a second

struct Rig {
    test::TempDir dir;
    VirtualWaveBackend backend {{{"Card A", 0x0100}, {"Card B", 0x0200}}};
    ManualDispatcher loop;
    WAVPlayer player {backend, loop};
    std::vector<std::int32_t> statuses;
    std::vector<std::int16_t> loops;
    int ends = 0;
    int stopAtLoop = -1;

    Subscription statusWatch
        = player.StatusChanged.Subscribe([this](PlayerStatus s) { statuses.push_back(static_cast<std::int32_t>(s)); });
    Subscription endWatch = player.EndOfStream.Subscribe([this] { ++ends; });

    Rig()
    {
        player.NextLoop = [this](std::int16_t n, bool& stop) {
            loops.push_back(n);
            stop = (n == stopAtLoop);
        };
    }
    std::string File(const std::vector<std::int16_t>& samples, std::uint16_t channels = 1)
    {
        return dir.write("a.wav", test::PcmWav(channels, kRate, test::Samples16(samples)));
    }
    // Lets ms of sound play in 10 ms steps, delivering finished buffers between steps.
    void Pump(int ms)
    {
        for (int t = 0; t < ms; t += 10) {
            backend.Advance(10);
            loop.RunPending();
        }
    }
    void PumpUntilEnd(int limitMs = 600000)
    {
        const int before = ends;
        for (int t = 0; t < limitMs && ends == before; t += 10)
            Pump(10);
    }
    // Samples played from byte offset `from` of the backend's record on.
    std::vector<std::int16_t> PlayedSamples(std::size_t from = 0) const
    {
        return test::ToSamples(std::vector<std::uint8_t>(
            backend.Played().begin() + static_cast<std::ptrdiff_t>(from), backend.Played().end()));
    }
    // Whether everything played from `from` on came from second `second` of the file.
    bool AllFromSecond(std::size_t from, std::int16_t second) const
    {
        const auto s = PlayedSamples(from);
        return !s.empty() && std::count(s.begin(), s.end(), second) == static_cast<std::ptrdiff_t>(s.size());
    }
};

} // namespace

TEST(WAVPlayer, RejectedPropertyWrites)
{
    Rig r;
    EXPECT_EQ(r.player.SetBufferSize(10241).value(), 10242);
    EXPECT_EQ(r.player.SetBufferSize(3).value(), 6);
    for (std::int32_t bad : {4, -2, 0, 1, -5, INT32_MAX})
        EXPECT_EQ(r.player.SetBufferSize(bad).error(), (PlayerError {255, "Invalid buffer size!"})) << bad;
    EXPECT_EQ(r.player.BufferSize(), 6); // unchanged by the failures

    EXPECT_EQ(r.player.SetBuffers(1).error(), (PlayerError {255, "Invalid number of buffers!"}));
    EXPECT_EQ(r.player.Buffers(), 10);
    EXPECT_EQ(r.player.SetBuffers(2).value(), 2);

    r.player.SetVolume(0x18000); // on the selected device, open or not
    EXPECT_EQ(r.backend.DeviceVolume(0), 0x80008000u);
}

TEST(WAVPlayer, PlaysTheFileInOrderAndStartsOverAfterEndOfStream)
{
    Rig r;
    // A second window listening beside the rig's listeners: both hear every event.
    std::vector<PlayerStatus> second;
    int secondEnds = 0;
    Subscription secondStatus = r.player.StatusChanged.Subscribe([&](PlayerStatus s) { second.push_back(s); });
    Subscription secondEnd = r.player.EndOfStream.Subscribe([&] { ++secondEnds; });
    const auto samples = SecondMarks(kRate, 8); // 128000 bytes
    ASSERT_TRUE(r.player.FileOpen(r.File(samples)));
    ASSERT_TRUE(r.player.PlaybackStart());
    EXPECT_EQ(r.player.Status(), PlayerStatus::Playing);
    ASSERT_EQ(r.backend.Queue().size(), 10u); // 10 x 10240 = 102400 bytes queued

    r.Pump(2000);
    EXPECT_EQ(r.player.Position(), 2000);
    EXPECT_EQ(r.backend.Queue().size(), 10u); // refilled as buffers finish

    r.PumpUntilEnd();
    EXPECT_EQ(r.ends, 1);
    EXPECT_EQ(r.player.Status(), PlayerStatus::Stopped);
    EXPECT_EQ(r.statuses, (std::vector<std::int32_t> {2})); // the end raises no StatusChanged
    EXPECT_EQ(second, (std::vector<PlayerStatus> {PlayerStatus::Playing}));
    EXPECT_EQ(secondEnds, 1);
    secondEnd.reset(); // that window went away
    EXPECT_EQ(r.PlayedSamples(), samples);
    EXPECT_EQ(r.player.Position(), 0);
    r.Pump(500);
    EXPECT_EQ(r.ends, 1);

    const std::size_t mark = r.backend.Played().size();
    ASSERT_TRUE(r.player.PlaybackStart());
    r.PumpUntilEnd();
    EXPECT_EQ(r.ends, 2);
    EXPECT_EQ(secondEnds, 1);
    EXPECT_EQ(r.PlayedSamples(mark), samples);
}

TEST(WAVPlayer, SeekingRefillsFromTheNewSecondAndCountsFromThere)
{
    Rig r;
    ASSERT_TRUE(r.player.FileOpen(r.File(SecondMarks(kRate, 70))));
    ASSERT_TRUE(r.player.PlaybackStart());
    r.Pump(500);

    r.player.SetPosition(61500);
    EXPECT_EQ(r.player.Position(), 61500);
    r.loop.RunPending(); // the returned buffers come back and refill the queue
    EXPECT_EQ(r.backend.Queue().size(), 10u);
    const std::size_t mark = r.backend.Played().size();
    r.Pump(1000);
    EXPECT_EQ(r.player.Position(), 62500);
    EXPECT_TRUE(r.AllFromSecond(mark, 61)); // whole seconds: second 61 from its start

    // A seek back while the last buffers of the file are queued plays on from there.
    r.player.SetPosition(68000);
    r.loop.RunPending();
    r.Pump(1500); // every buffer up to the end of the file is now queued
    r.player.SetPosition(66000);
    const std::size_t back = r.backend.Played().size();
    r.PumpUntilEnd();
    EXPECT_EQ(r.ends, 1);
    const auto after = r.PlayedSamples(back);
    ASSERT_EQ(after.size(), 4u * kRate);
    EXPECT_EQ(after.front(), 66);
    EXPECT_EQ(after.back(), 69);
}

TEST(WAVPlayer, ShortFileLoopsThroughCopiesUntilAHandlerStops)
{
    Rig r;
    const std::vector<std::int16_t> clip(500, 7); // 1000 bytes, shorter than one buffer
    ASSERT_TRUE(r.player.FileOpen(r.File(clip)));
    r.player.SetPlaybackLoop(true);
    r.stopAtLoop = 3;
    ASSERT_TRUE(r.player.PlaybackStart());
    ASSERT_EQ(r.backend.Queue().size(), 10u);
    for (const auto& q : r.backend.Queue())
        EXPECT_EQ(q.bytes.size(), 1000u);

    r.PumpUntilEnd(10000);
    EXPECT_EQ(r.loops, (std::vector<std::int16_t> {1, 2, 3}));
    EXPECT_EQ(r.ends, 1);
    EXPECT_EQ(r.player.Status(), PlayerStatus::Stopped);
    EXPECT_EQ(r.player.LoopCount(), 0);
    EXPECT_EQ(r.backend.Queue().size(), 0u);
    // Three passes were heard, and the device had begun the fourth when the handler stopped it.
    EXPECT_GE(r.PlayedSamples().size(), 3u * 500);
    EXPECT_LT(r.PlayedSamples().size(), 4u * 500);
}

TEST(WAVPlayer, LongFileLoopsSeamlesslyAndCountsPasses)
{
    Rig r;
    const auto samples = SecondMarks(kRate, 2);
    ASSERT_TRUE(r.player.FileOpen(r.File(samples)));
    r.player.SetPlaybackLoop(true);
    ASSERT_TRUE(r.player.PlaybackStart());
    r.Pump(2500);
    EXPECT_EQ(r.loops, (std::vector<std::int16_t> {1}));
    EXPECT_EQ(r.player.LoopCount(), 1);
    EXPECT_NEAR(r.player.Position(), 500, 40); // counted from the start of the pass
    r.Pump(2000);
    EXPECT_EQ(r.loops, (std::vector<std::int16_t> {1, 2}));
    EXPECT_EQ(r.ends, 0);
    auto played = r.PlayedSamples();
    played.resize(samples.size() * 2);
    std::vector<std::int16_t> twice = samples;
    twice.insert(twice.end(), samples.begin(), samples.end());
    EXPECT_EQ(played, twice);

    ASSERT_TRUE(r.player.PlaybackStop());
    EXPECT_EQ(r.player.LoopCount(), 0);
    EXPECT_EQ(r.statuses, (std::vector<std::int32_t> {2, 0}));
}

TEST(WAVPlayer, DeviceChangeIsRefusedWhilePlayingAndReopensOtherwise)
{
    Rig r;
    ASSERT_TRUE(r.player.FileOpen(r.File(SecondMarks(kRate, 5))));
    ASSERT_TRUE(r.player.PlaybackStart());
    EXPECT_EQ(
        r.player.SetSelectedDevice(1).error(), (PlayerError {256, "Stop playback before you change the device!"}));
    EXPECT_EQ(r.backend.OpenDevice(), 0);
    r.Pump(300);
    EXPECT_EQ(r.player.Position(), 300); // still playing, untouched

    ASSERT_TRUE(r.player.PlaybackPause());
    EXPECT_EQ(r.player.SetSelectedDevice(1).value(), 1);
    EXPECT_EQ(r.backend.OpenDevice(), 1);
    EXPECT_TRUE(r.player.IsFileOpen());

    r.backend.FailOpenFor(0);
    EXPECT_EQ(r.player.SetSelectedDevice(0).error(), (PlayerError {256, "Couldn't change device!"}));
    EXPECT_FALSE(r.player.IsFileOpen());
    EXPECT_FALSE(r.player.PlaybackStart());
}

TEST(WAVPlayer, PauseHoldsTheQueueAndASeekWhilePausedRefillsOnStart)
{
    Rig r;
    ASSERT_TRUE(r.player.FileOpen(r.File(SecondMarks(kRate, 10))));
    ASSERT_TRUE(r.player.PlaybackStart());
    r.Pump(400);
    ASSERT_TRUE(r.player.PlaybackPause());
    const std::size_t held = r.backend.Played().size();
    r.Pump(500);
    EXPECT_EQ(r.backend.Played().size(), held);

    r.player.SetPosition(2000);
    r.loop.RunPending();
    EXPECT_TRUE(r.backend.Queue().empty()); // nothing refills while paused
    ASSERT_TRUE(r.player.PlaybackStart());
    EXPECT_EQ(r.backend.Queue().size(), 10u);
    r.Pump(1000);
    EXPECT_TRUE(r.AllFromSecond(held, 2));
    EXPECT_EQ(r.player.Position(), 3000);
    EXPECT_EQ(r.statuses, (std::vector<std::int32_t> {2, 1, 2}));
}

TEST(WAVPlayer, FailuresLeaveNothingQueued)
{
    Rig r;
    EXPECT_FALSE(r.player.FileOpen(r.dir.file("missing.wav")));
    EXPECT_FALSE(r.player.PlaybackStart());
    EXPECT_FALSE(r.player.FileClose());
    r.statuses.clear();

    // 10242-byte buffers are not whole frames of a stereo file.
    const auto stereo = SecondMarks(kRate, 20); // 10 s of stereo
    ASSERT_TRUE(r.player.FileOpen(r.File(stereo, 2)));
    ASSERT_EQ(r.player.SetBufferSize(10241).value(), 10242);
    EXPECT_FALSE(r.player.PlaybackStart());
    EXPECT_EQ(r.backend.Queue().size(), 0u);
    EXPECT_EQ(r.player.Status(), PlayerStatus::Stopped);

    // The same failure during playback stops the device without telling the owner.
    ASSERT_EQ(r.player.SetBufferSize(10240).value(), 10240);
    ASSERT_TRUE(r.player.PlaybackStart());
    ASSERT_EQ(r.player.SetBufferSize(10241).value(), 10242);
    r.Pump(1000); // the first refill fails
    EXPECT_EQ(r.backend.Queue().size(), 0u);
    EXPECT_EQ(r.ends, 0);
    EXPECT_EQ(r.statuses, (std::vector<std::int32_t> {2}));
    EXPECT_TRUE(r.player.FileClose());
    EXPECT_FALSE(r.backend.IsOpen());

    r.backend.FailOpenFor(0);
    EXPECT_FALSE(r.player.FileOpen(r.File(stereo, 2)));
    EXPECT_FALSE(r.player.IsFileOpen());
}
