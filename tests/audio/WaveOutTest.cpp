#include "audio/WaveOut.h"
#include "support/VirtualWaveBackend.h"

#include <gtest/gtest.h>

#include <vector>

using namespace pellam;

namespace {

// A WaveOut on the virtual clock, recording what it raises.
struct Rig {
    VirtualWaveBackend backend {{{"Speakers", 0x0501}, {std::string("Head\0phones", 11), 0x0A0B}}};
    ManualDispatcher loop;
    WaveOut out {backend, loop};
    std::vector<std::int32_t> done;
    std::vector<std::int32_t> statuses; // as numbers, as they are shown
    Subscription statusWatch
        = out.PlayStatusChanged.Subscribe([this](WaveStatus s) { statuses.push_back(static_cast<std::int32_t>(s)); });

    Rig()
    {
        out.BufferDone = [this](std::int32_t user) { done.push_back(user); };
    }
    bool Write(std::int32_t bytes, std::int32_t user = 0)
    {
        std::vector<std::uint8_t> b(static_cast<std::size_t>(bytes > 0 ? bytes : 16), 0x11);
        return out.WriteSamples(b.data(), bytes, user);
    }
};

constexpr std::int32_t kSecond = 176400; // 44100 Hz, 2 channels, 16 bits

} // namespace

TEST(WaveOut, InitBuildsTheWaveFormatAndRefusesFormatsOutOfRange)
{
    Rig r;
    ASSERT_TRUE(r.out.Init(44100, 2, 16, -1));
    EXPECT_EQ(r.out.Format().blockAlign, 4);
    EXPECT_EQ(r.out.Format().avgBytesPerSec, 176400u);
    EXPECT_EQ(r.out.PlayStatus(), WaveStatus::Stopped);
    EXPECT_TRUE(r.backend.IsPaused()); // written buffers wait for Play
    EXPECT_EQ(r.statuses, (std::vector<std::int32_t> {2}));

    ASSERT_TRUE(r.out.Init(8000, 1, 20, 0));
    EXPECT_EQ(r.out.Format().blockAlign, 2); // 2.5 rounds to the even 2

    struct Bad {
        std::int32_t rate;
        std::int16_t channels, bits;
    };
    for (Bad b : {Bad {44100, 2, 25}, Bad {44100, 2, 7}, Bad {100001, 2, 16}, Bad {0, 2, 16}, Bad {44100, 3, 16},
             Bad {44100, 0, 16}}) {
        EXPECT_FALSE(r.out.Init(b.rate, b.channels, b.bits, -1)) << b.rate << " " << b.channels << " " << b.bits;
        EXPECT_FALSE(r.out.IsOpen()); // the failed Init still closed the previous device
    }
    EXPECT_TRUE(r.out.Init(100000, 1, 24, -1));

    r.backend.FailOpenFor(1);
    EXPECT_FALSE(r.out.Init(44100, 2, 16, 1));
    EXPECT_FALSE(r.out.IsOpen());
    EXPECT_FALSE(r.out.Init(44100, 2, 16, 7)); // no such device
    EXPECT_FALSE(r.out.Deinit());
}

TEST(WaveOut, WholeFramesQueueAndFinishedBuffersArriveInOrderWithTheirUserValues)
{
    Rig r;
    EXPECT_FALSE(r.Write(1024)); // closed
    ASSERT_TRUE(r.out.Init(44100, 2, 16, -1));
    for (std::int32_t bad : {10242, 0, -4})
        EXPECT_FALSE(r.Write(bad)) << bad;
    EXPECT_TRUE(r.backend.Queue().empty());
    ASSERT_TRUE(r.Write(kSecond / 10, 7));
    ASSERT_TRUE(r.Write(kSecond / 10, 8));
    ASSERT_EQ(r.backend.Queue().size(), 2u);
    EXPECT_EQ(r.backend.Queue().front().bytes.size(), std::size_t {kSecond / 10});
    r.backend.Advance(1000); // paused: nothing plays before Play
    EXPECT_EQ(r.backend.Played().size(), 0u);
    ASSERT_TRUE(r.out.Play());
    EXPECT_EQ(r.backend.Advance(150), 1u);
    EXPECT_TRUE(r.done.empty()); // not inside the device's call
    EXPECT_EQ(r.out.Buffers(), 2);
    r.loop.RunPending();
    EXPECT_EQ(r.done, (std::vector<std::int32_t> {7}));
    EXPECT_EQ(r.out.Buffers(), 1);
    EXPECT_EQ(r.out.Elapsed(), 150);
    r.backend.Advance(100);
    r.loop.RunPending();
    EXPECT_EQ(r.done, (std::vector<std::int32_t> {7, 8}));
    EXPECT_EQ(r.out.Buffers(), 0);
    EXPECT_EQ(r.out.Elapsed(), 200); // an empty device does not count on
}

TEST(WaveOut, ResetReportsEveryBufferWhilePlayingAndNoneWhilePaused)
{
    Rig r;
    ASSERT_TRUE(r.out.Init(44100, 2, 16, -1));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(r.Write(1024, i));
    ASSERT_TRUE(r.out.Play());
    EXPECT_TRUE(r.out.ClearBufferQueue());
    EXPECT_TRUE(r.done.empty());
    EXPECT_EQ(r.out.Buffers(), 3); // counted out only when each report is handled
    r.loop.RunPending();
    EXPECT_EQ(r.done, (std::vector<std::int32_t> {0, 1, 2}));
    EXPECT_EQ(r.out.Buffers(), 0);

    // A report already on its way when playback pauses raises nothing, but
    // still counts the buffer out.
    ASSERT_TRUE(r.Write(1024, 9));
    r.backend.PlayAll();
    ASSERT_TRUE(r.out.Pause());
    r.loop.RunPending();
    EXPECT_EQ(r.done.size(), 3u);
    EXPECT_EQ(r.out.Buffers(), 0);
}

TEST(WaveOut, StopPlaybackEmptiesTheQueueAtOnceAndSilently)
{
    Rig r;
    ASSERT_TRUE(r.out.Init(44100, 2, 16, -1));
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(r.Write(kSecond / 10));
    ASSERT_TRUE(r.out.Play());
    r.backend.Advance(50);
    r.out.SetElapsed(3000);
    ASSERT_TRUE(r.out.StopPlayback());
    EXPECT_EQ(r.out.Buffers(), 0);
    EXPECT_EQ(r.out.PlayStatus(), WaveStatus::Stopped);
    EXPECT_EQ(r.out.Elapsed(), 0);
    EXPECT_TRUE(r.backend.IsPaused());
    EXPECT_EQ(r.statuses, (std::vector<std::int32_t> {2, 0, 2}));

    // New buffers written before the returned ones are handled keep their count.
    ASSERT_TRUE(r.Write(1024, 5));
    ASSERT_TRUE(r.out.Play());
    r.loop.RunPending();
    EXPECT_TRUE(r.done.empty());
    EXPECT_EQ(r.out.Buffers(), 1);
    r.backend.PlayAll();
    r.loop.RunPending();
    EXPECT_EQ(r.done, (std::vector<std::int32_t> {5}));
}

TEST(WaveOut, DeinitDropsQueuedBuffersAndLateReportsAreIgnored)
{
    Rig r;
    ASSERT_TRUE(r.out.Init(44100, 2, 16, -1));
    ASSERT_TRUE(r.Write(1024, 1));
    ASSERT_TRUE(r.Write(1024, 2));
    ASSERT_TRUE(r.out.Play());
    r.backend.PlayAll(); // both reports posted, not yet handled
    ASSERT_TRUE(r.out.Init(44100, 2, 16, -1)); // reopen
    ASSERT_TRUE(r.Write(1024, 3));
    ASSERT_TRUE(r.out.Play());
    r.loop.RunPending();
    EXPECT_TRUE(r.done.empty());
    EXPECT_EQ(r.out.Buffers(), 1);

    // Reports outliving the object do not touch it.
    ASSERT_TRUE(r.out.ClearBufferQueue());
    EXPECT_EQ(r.loop.Pending(), 1u);
    {
        WaveOut other {r.backend, r.loop};
        ASSERT_TRUE(other.Init(8000, 1, 8, 0));
        ASSERT_TRUE(other.WriteSamples("abcd", 4, 1));
        ASSERT_TRUE(other.Play());
        other.ClearBufferQueue();
    }
    EXPECT_EQ(r.loop.RunPending(), 2u);
    r.out.SetElapsed(5000);
    ASSERT_TRUE(r.out.Deinit());
    EXPECT_EQ(r.out.Elapsed(), 0);
}

TEST(WaveOut, VolumeUsesTheLowSixteenBitsOnBothChannelsAndNamesCarryTheDriverVersion)
{
    Rig r;
    EXPECT_EQ(r.out.Volume(), 0); // closed
    ASSERT_TRUE(r.out.Init(44100, 2, 16, 0));
    r.out.SetVolume(0x12345);
    EXPECT_EQ(r.backend.Volume(), 0x23452345u);
    EXPECT_EQ(r.out.Volume(), 0x2345);
    r.out.SetVolumeForDev(1, 70000);
    EXPECT_EQ(r.backend.DeviceVolume(1), 0x11701170u);
    EXPECT_EQ(r.out.VolumeForDev(1), 4464);

    EXPECT_EQ(r.out.GetNumDevs(), 2);
    EXPECT_EQ(r.out.GetDevName(0), "Speakers 5.1");
    EXPECT_EQ(r.out.GetDevName(1), "Head 10.11"); // cut at the NUL
    EXPECT_EQ(r.out.GetDevName(5), " 0.0");
}
