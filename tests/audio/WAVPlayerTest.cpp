#include "support/PlayerRig.h"

#include <gtest/gtest.h>

using namespace pellam;
using test::Samples;
using Ints = std::vector<std::int32_t>;

using test::PlayerRig;
using test::SecondMarks;

namespace {
constexpr std::uint32_t kRate = test::kRigRate;
using Rig = PlayerRig;
} // namespace

TEST(WAVPlayer, PlaysTheFileInOrderStartsOverAfterEndOfStreamAndFailsCleanly)
{
    Rig r;
    // A second window listening beside the rig's listeners: both hear every event.
    std::vector<PlayerStatus> second;
    int secondEnds = 0;
    Subscription secondStatus = r.player.StatusChanged.Subscribe([&](PlayerStatus s) { second.push_back(s); });
    Subscription secondEnd = r.player.EndOfStream.Subscribe([&] { ++secondEnds; });
    ASSERT_TRUE(r.Start(8)); // 128000 bytes
    EXPECT_EQ(std::tuple(r.player.Status(), r.backend.Queue().size()), std::tuple(PlayerStatus::Playing, 10u));
    r.Pump(2000);
    EXPECT_EQ(std::tuple(r.player.Position(), r.backend.Queue().size()), std::tuple(2000, 10u)); // refilled

    r.PumpUntilEnd();
    // The end raises no StatusChanged.
    EXPECT_EQ(std::tuple(r.ends, r.player.Status(), r.statuses, r.player.Position()),
        std::tuple(1, PlayerStatus::Stopped, Ints {2}, 0));
    EXPECT_EQ(std::tuple(second, secondEnds), std::tuple(std::vector {PlayerStatus::Playing}, 1));
    secondEnd.reset(); // that window went away
    EXPECT_EQ(r.Played(), SecondMarks(8));
    r.Pump(500);
    EXPECT_EQ(r.ends, 1);

    const std::size_t mark = r.backend.Played().size();
    ASSERT_TRUE(r.player.PlaybackStart());
    r.PumpUntilEnd();
    EXPECT_EQ(std::tuple(r.ends, secondEnds, r.Played(mark)), std::tuple(2, 1, SecondMarks(8)));

    Rig s; // a file shorter than one buffer plays once
    const Samples half(kRate / 2, 7);
    ASSERT_TRUE(s.player.FileOpen(s.File(half)) && s.player.PlaybackStart());
    s.PumpUntilEnd();
    EXPECT_EQ(std::tuple(s.ends, s.Played()), std::tuple(1, half));

    Rig f; // failed opens leave nothing open; the volume is the device's, both channels
    f.player.SetVolume(0x11234);
    EXPECT_EQ(std::pair(f.player.Volume(), f.backend.DeviceVolume(0)), std::pair(0x1234, 0x12341234u));
    EXPECT_FALSE(f.player.FileOpen(f.dir.file("missing.wav")) || f.player.PlaybackStart() || f.player.FileClose());
    f.backend.FailOpenFor(0);
    EXPECT_FALSE(f.player.FileOpen(f.File(SecondMarks(2))));
    EXPECT_FALSE(f.player.IsFileOpen() || f.backend.IsOpen());
}

TEST(WAVPlayer, SeekingRefillsFromTheNewSecondAndCountsFromThere)
{
    Rig r;
    ASSERT_TRUE(r.Start(70));
    r.Pump(500);
    r.player.SetPosition(61500);
    r.loop.RunPending(); // the returned buffers come back and refill the queue
    EXPECT_EQ(std::tuple(r.player.Position(), r.backend.Queue().size()), std::tuple(61500, 10u));
    const std::size_t mark = r.backend.Played().size();
    r.Pump(1000);
    // Whole seconds: second 61 from its start.
    EXPECT_EQ(std::tuple(r.player.Position(), r.AllFromSecond(mark, 61)), std::tuple(62500, true));

    // A seek back while the last buffers of the file are queued plays on from there.
    r.player.SetPosition(68000);
    r.loop.RunPending();
    r.Pump(1500); // every buffer up to the end of the file is now queued
    r.player.SetPosition(66000);
    const std::size_t back = r.backend.Played().size();
    r.PumpUntilEnd();
    const auto after = r.Played(back);
    ASSERT_EQ(std::tuple(r.ends, after.size()), std::tuple(1, 4u * kRate));
    EXPECT_EQ(std::pair(after.front(), after.back()), (std::pair<std::int16_t, std::int16_t>(66, 69)));
}

TEST(WAVPlayer, PauseHoldsTheQueueAndASeekWhilePausedRefillsOnStart)
{
    Rig r;
    ASSERT_TRUE(r.Start(10));
    r.Pump(400);
    ASSERT_TRUE(r.player.PlaybackPause());
    const std::size_t held = r.backend.Played().size();
    r.Pump(500);
    r.player.SetPosition(2000);
    r.loop.RunPending();
    // Nothing plays and nothing refills while paused.
    EXPECT_EQ(std::tuple(r.backend.Played().size(), r.backend.Queue().empty()), std::tuple(held, true));
    ASSERT_TRUE(r.player.PlaybackStart());
    EXPECT_EQ(r.backend.Queue().size(), 10u);
    r.Pump(1000);
    EXPECT_EQ(
        std::tuple(r.AllFromSecond(held, 2), r.player.Position(), r.statuses), std::tuple(true, 3000, Ints {2, 1, 2}));
}
