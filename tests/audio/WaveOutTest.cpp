#include "audio/WaveOut.h"
#include "support/VirtualWaveBackend.h"

#include <gtest/gtest.h>

using namespace pellam;
using Ints = std::vector<std::int32_t>;

namespace {

// A WaveOut on the virtual clock, recording what it raises; opened at 44.1 kHz stereo 16 bit unless told.
struct Rig {
    VirtualWaveBackend backend {{{"Speakers", 0x0501}, {"Headphones", 0x0A0B}}};
    ManualDispatcher loop;
    WaveOut out {backend, loop};
    Ints done;
    Ints statuses; // as numbers, as they are shown
    Subscription statusWatch
        = out.PlayStatusChanged.Subscribe([this](WaveStatus s) { statuses.push_back(static_cast<std::int32_t>(s)); });

    explicit Rig(bool open = true)
    {
        out.BufferDone = [this](std::int32_t user) { done.push_back(user); };
        EXPECT_TRUE(!open || out.Init(44100, 2, 16, -1));
    }
    // Delivers the posted reports: what has been reported and the buffers still counted.
    std::pair<Ints, std::int32_t> Handled()
    {
        loop.RunPending();
        return {done, out.Buffers()};
    }
    bool Write(std::int32_t bytes, std::int32_t user = 0)
    {
        std::vector<std::uint8_t> b(static_cast<std::size_t>(bytes > 0 ? bytes : 16), 0x11);
        return out.WriteSamples(b.data(), bytes, user);
    }
};

constexpr std::int32_t kTenth = 17640; // 0.1 s at 44100 Hz, 2 channels, 16 bits

} // namespace

TEST(WaveOut, InitBuildsTheWaveFormatAndRefusesFormatsOutOfRange)
{
    Rig r(false);
    EXPECT_FALSE(r.Write(1024)); // closed
    ASSERT_TRUE(r.out.Init(44100, 2, 16, -1));
    EXPECT_EQ(std::tuple(r.out.Format().blockAlign, r.out.Format().avgBytesPerSec, r.out.PlayStatus(), r.statuses),
        std::tuple(4, 176400u, WaveStatus::Stopped, Ints {2}));

    for (const auto& [rate, channels, bits] :
        {std::tuple {44100, 2, 25}, {44100, 2, 7}, {100001, 2, 16}, {0, 2, 16}, {44100, 3, 16}, {44100, 0, 16}}) {
        EXPECT_FALSE(r.out.Init(rate, std::int16_t(channels), std::int16_t(bits), -1)) << rate << " " << channels;
        EXPECT_FALSE(r.out.IsOpen()); // the failed Init still closed the previous device
    }
    EXPECT_TRUE(r.out.Init(100000, 1, 24, -1));
    r.backend.FailOpenFor(0);
    EXPECT_FALSE(r.out.Init(44100, 2, 16, 0) || r.out.IsOpen());
    EXPECT_FALSE(r.out.Deinit());
}

TEST(WaveOut, WholeFramesQueueFinishedBuffersArriveInOrderAndStopAndPauseReportNothing)
{
    Rig r;
    for (std::int32_t bad : {10242, 0, -4})
        EXPECT_FALSE(r.Write(bad)) << bad;
    ASSERT_TRUE(r.Write(kTenth, 7) && r.Write(kTenth, 8));
    r.backend.Advance(1000); // paused: nothing plays before Play
    EXPECT_EQ(std::pair(r.backend.Queue().size(), r.backend.Played().size()), std::pair(2ul, 0ul));
    ASSERT_TRUE(r.out.Play());
    EXPECT_EQ(r.backend.Advance(150), 1u);
    EXPECT_EQ(std::pair(r.done, r.out.Buffers()), std::pair(Ints {}, 2)); // not inside the device's call
    EXPECT_EQ((std::tuple {r.Handled(), r.out.Elapsed()}), std::tuple(std::pair(Ints {7}, 1), 150));
    r.backend.Advance(100);
    // An empty device does not count on.
    EXPECT_EQ((std::tuple {r.Handled(), r.out.Elapsed()}), std::tuple(std::pair(Ints {7, 8}, 0), 200));

    // A reset while playing reports every buffer, counted out as each report is handled.
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(r.Write(1024, i));
    ASSERT_TRUE(r.out.ClearBufferQueue());
    EXPECT_EQ(std::pair(r.done, r.out.Buffers()), std::pair(Ints {7, 8}, 3));
    r.done.clear();
    EXPECT_EQ(r.Handled(), std::pair(Ints {0, 1, 2}, 0));

    // A report already on its way when playback pauses raises nothing, but still counts the buffer out.
    ASSERT_TRUE(r.Write(1024, 9));
    r.backend.PlayAll();
    ASSERT_TRUE(r.out.Pause());
    EXPECT_EQ(r.Handled(), std::pair(Ints {0, 1, 2}, 0));

    // Stop empties the queue at once and silently.
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(r.Write(kTenth));
    ASSERT_TRUE(r.out.Play());
    r.backend.Advance(50);
    r.out.SetElapsed(3000);
    ASSERT_TRUE(r.out.StopPlayback());
    EXPECT_EQ(std::tuple(r.out.Buffers(), r.out.PlayStatus(), r.out.Elapsed(), r.backend.IsPaused(), r.statuses),
        std::tuple(0, WaveStatus::Stopped, 0, true, Ints {2, 0, 1, 0, 2}));
    // New buffers written before the returned ones are handled keep their count.
    ASSERT_TRUE(r.Write(1024, 5) && r.out.Play());
    EXPECT_EQ(r.Handled(), std::pair(Ints {0, 1, 2}, 1));
    r.backend.PlayAll();
    EXPECT_EQ(r.Handled(), std::pair(Ints {0, 1, 2, 5}, 0));
}

TEST(WaveOut, DeinitDropsQueuedBuffersAndLateReportsAreIgnored)
{
    Rig r;
    ASSERT_TRUE(r.Write(1024, 1) && r.Write(1024, 2) && r.out.Play());
    r.backend.PlayAll(); // both reports posted, not yet handled
    ASSERT_TRUE(r.out.Init(44100, 2, 16, -1)); // reopen
    ASSERT_TRUE(r.Write(1024, 3) && r.out.Play());
    EXPECT_EQ(r.Handled(), std::pair(Ints {}, 1));

    // Reports outliving the object do not touch it.
    ASSERT_TRUE(r.out.ClearBufferQueue());
    {
        WaveOut other {r.backend, r.loop};
        ASSERT_TRUE(other.Init(8000, 1, 8, 0) && other.WriteSamples("abcd", 4, 1) && other.Play());
        other.ClearBufferQueue();
    }
    EXPECT_EQ(r.loop.RunPending(), 2u);
    r.out.SetElapsed(5000);
    EXPECT_EQ((std::tuple {r.out.Deinit(), r.out.Elapsed()}), std::tuple(true, 0));
}
