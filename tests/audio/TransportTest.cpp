#include "audio/LoopStream.h"
#include "audio/StreamWAV.h"
#include "audio/Transport.h"
#include "support/PlayerRig.h"

#include <gtest/gtest.h>

using namespace pellam;
using test::FrameNumbers;
using test::PlayerRig;
using test::Samples;

namespace {

// The frame number a played sample carries (see FrameNumbers).
std::int16_t FrameMark(std::int64_t frame)
{
    return static_cast<std::int16_t>(frame % 30000);
}

// Opens `seconds` of frame numbers at rate and channels and starts playing.
bool StartNumbered(PlayerRig& r, std::uint32_t seconds, unsigned channels = 1, std::uint32_t rate = test::kRigRate)
{
    return r.player.FileOpen(r.File(FrameNumbers(std::size_t {rate} * seconds, channels), channels, rate))
        && r.player.PlaybackStart();
}

// The first sample played from byte offset `from` on (the left one of a stereo frame).
std::int16_t FirstPlayed(const PlayerRig& r, std::size_t from)
{
    const Samples s = r.Played(from);
    return s.empty() ? std::int16_t {-1} : s.front();
}

} // namespace

TEST(Transport, AnExactSeekPlaysOnFromTheSampleAtItsMillisecondHeldToTheEnds)
{
    for (const auto& [rate, channels] : {std::pair {8000u, 1u}, std::pair {48000u, 2u}}) {
        SCOPED_TRACE(rate);
        PlayerRig r;
        ASSERT_TRUE(StartNumbered(r, 4, channels, rate));
        r.Pump(300);
        r.player.SeekExact(2345);
        r.loop.RunPending(); // the dropped buffers come back and refill the queue
        std::size_t mark = r.backend.Played().size();
        r.Pump(100);
        // 2345 ms is frame 18760 at 8 kHz and 112560 at 48 kHz.
        EXPECT_EQ(std::tuple(FirstPlayed(r, mark), r.player.Position()),
            std::tuple(FrameMark(rate == 8000 ? 18760 : 112560), 2445));

        r.player.SeekExact(-700);
        r.loop.RunPending();
        mark = r.backend.Played().size();
        r.Pump(10);
        EXPECT_EQ(std::tuple(FirstPlayed(r, mark), r.player.Position()), std::tuple(FrameMark(0), 10));
        r.player.SeekExact(99000);
        EXPECT_EQ(r.player.Position(), 4000);
        r.PumpUntilEnd(2000);
        r.Pump(500);
        EXPECT_EQ(std::tuple(r.ends, r.player.Status()), std::tuple(1, PlayerStatus::Stopped));
    }
}

TEST(Transport, AtOtherSpeedsThePositionStaysInTheRecordingsTimeAndTheEndArrivesOnce)
{
    PlayerRig r;
    ASSERT_TRUE(StartNumbered(r, 10));
    r.Pump(500);
    r.player.SetSpeed(2.0);
    r.loop.RunPending();
    EXPECT_EQ(r.player.Position(), 500); // the change restarts the count where the sound was
    const std::size_t mark = r.backend.Played().size();
    r.Pump(1000);
    const Samples fast = r.Played(mark);
    // A second of sound at 2× is two seconds of the recording: it started at
    // frame 4000 and reached about frame 20000 (the stretcher holds a little back).
    EXPECT_EQ(std::tuple(r.player.Position(), fast.size(), fast.front() < 4400), std::tuple(2500, 8000u, true));
    EXPECT_NEAR(fast.back(), 20000, 1200);

    // Slowed while paused: no sound, no time passes, and the new speed counts from there.
    ASSERT_TRUE(r.player.PlaybackPause());
    r.player.SetSpeed(0.5);
    r.Pump(300);
    EXPECT_EQ(r.player.Position(), 2500);
    ASSERT_TRUE(r.player.PlaybackStart());
    r.Pump(1000);
    EXPECT_EQ(r.player.Position(), 3000);

    // 7 s left at 1.5× take 4.67 s, give or take the stretcher's last block; one end.
    r.player.SetSpeed(1.5);
    const int took = r.PumpUntilEnd();
    r.Pump(1000);
    EXPECT_NEAR(took, 4667, 140);
    EXPECT_EQ(std::tuple(r.ends, r.player.Status(), r.player.Position()), std::tuple(1, PlayerStatus::Stopped, 0));
}

TEST(Transport, ASpeedChangeAtTheLastBufferStillEndsOnceAndSpeedsCarryToTheNextFile)
{
    PlayerRig r;
    ASSERT_TRUE(StartNumbered(r, 2)); // ten buffers of 10240 bytes hold every byte of it
    r.Pump(1500);
    r.player.SetSpeed(0.8);
    const int took = r.PumpUntilEnd();
    r.Pump(1000);
    EXPECT_NEAR(took, 625, 60); // the last 0.5 s at 0.8×
    EXPECT_EQ(r.ends, 1);

    // A new file plays at the speed set; a speed set before any file waits for one.
    ASSERT_TRUE(StartNumbered(r, 3));
    EXPECT_EQ(r.player.Speed(), 0.8);
    PlayerRig idle;
    idle.player.SetSpeed(7.0);
    idle.player.SeekExact(500);
    EXPECT_EQ(std::tuple(idle.player.Speed(), idle.player.Position()), std::tuple(2.0, 0));
}

TEST(Transport, ALoopTurnsFromBToAOnTheSampleAndThePositionFollowsIt)
{
    for (const auto& [rate, channels] : {std::pair {8000u, 1u}, std::pair {48000u, 2u}}) {
        SCOPED_TRACE(rate);
        PlayerRig r;
        ASSERT_TRUE(StartNumbered(r, 5, channels, rate));
        r.Pump(1000);
        r.player.SetLoop(LoopRange {1000, 1500});
        r.loop.RunPending();
        const std::size_t mark = r.backend.Played().size();
        r.Pump(1200);
        const Samples s = r.Played(mark);
        const std::size_t half = std::size_t {rate} / 2 * channels; // 500 ms of samples
        const std::int64_t a = rate; // frame of 1000 ms
        ASSERT_GT(s.size(), 2 * half);
        EXPECT_EQ(std::tuple(s.front(), s[half - channels], s[half], s[2 * half]),
            std::tuple(FrameMark(a), FrameMark(a + rate / 2 - 1), FrameMark(a), FrameMark(a)));
        EXPECT_EQ(r.player.Position(), 1200); // 2200 ms of sound: the third time round, 200 ms in

        // A seek past B plays on there; back before B, the loop holds again.
        r.player.SeekExact(3000);
        r.loop.RunPending();
        const std::size_t past = r.backend.Played().size();
        r.Pump(700);
        EXPECT_EQ(std::tuple(FirstPlayed(r, past), r.player.Position()), std::tuple(FrameMark(3 * a), 3700));
        r.player.SeekExact(1300);
        r.loop.RunPending();
        r.Pump(300);
        EXPECT_EQ(r.player.Position(), 1100);

        // Cleared, it plays on from where it was, past B.
        r.player.SetLoop(std::nullopt);
        r.loop.RunPending();
        r.Pump(500);
        EXPECT_EQ(std::tuple(r.player.Position(), r.player.Loop()), std::tuple(1600, std::nullopt));
    }
}

TEST(Transport, SpeedStepsJumpsAndReplay)
{
    PlayerRig r;
    Transport t(r.player);
    std::vector<std::string> seen {t.SpeedText()};
    for (int i = 0; i < 6; ++i)
        t.Slower();
    seen.push_back(t.SpeedText());
    t.Faster();
    seen.push_back(t.SpeedText());
    for (int i = 0; i < 20; ++i)
        t.Faster();
    seen.push_back(t.SpeedText());
    t.NormalSpeed();
    seen.push_back(t.SpeedText());
    EXPECT_EQ(seen, (std::vector<std::string> {"1.0×", "0.5×", "0.6×", "2.0×", "1.0×"}));
    t.Faster();
    t.Faster();
    t.Faster();
    EXPECT_DOUBLE_EQ(r.player.Speed(), 1.3);
    t.NormalSpeed();

    // Nothing open: nothing moves.
    t.Jump(kShortJumpMs);
    EXPECT_FALSE(t.Replay() || r.player.Position() != 0);

    // A recording shorter than the jumps.
    ASSERT_TRUE(StartNumbered(r, 3));
    r.Pump(1000);
    t.Jump(-kShortJumpMs);
    EXPECT_EQ(r.player.Position(), 0);
    t.Jump(2200);
    EXPECT_EQ(r.player.Position(), 2200);
    r.Pump(300);
    ASSERT_TRUE(r.player.PlaybackPause());
    // Replay goes back 3 s (to the start here) and plays.
    EXPECT_TRUE(t.Replay());
    const std::size_t mark = r.backend.Played().size();
    r.Pump(10);
    EXPECT_EQ(std::tuple(r.player.Status(), FirstPlayed(r, mark)), std::tuple(PlayerStatus::Playing, FrameMark(0)));
    t.Jump(kLongJumpMs);
    EXPECT_EQ(r.player.Position(), 3000);
    r.Pump(500);
    EXPECT_EQ(r.ends, 1);
}

TEST(Transport, TheLoopKeySetsAThenBThenClearsAndRefusesAnEmptyLoop)
{
    PlayerRig r;
    Transport t(r.player);
    EXPECT_EQ(t.PressLoop(), LoopPress::NoRecording);
    ASSERT_TRUE(StartNumbered(r, 10));
    r.Pump(3000);
    std::vector<LoopPress> presses {t.PressLoop()};
    EXPECT_EQ(t.PendingA(), 3000);
    r.Pump(50);
    presses.push_back(t.PressLoop()); // 50 ms after A
    t.Jump(-1000); // to 2050: B before A loops the same stretch
    presses.push_back(t.PressLoop());
    r.loop.RunPending();
    EXPECT_EQ(r.player.Loop(), (LoopRange {2050, 3000}));
    r.Pump(1000);
    EXPECT_EQ(r.player.Position(), 2100);
    presses.push_back(t.PressLoop());

    // B after A, pressed where playing is: the sound goes back to A at once.
    r.loop.RunPending();
    r.Pump(200);
    presses.push_back(t.PressLoop()); // A at 2300
    r.Pump(500);
    presses.push_back(t.PressLoop()); // B at 2800
    r.loop.RunPending();
    const std::size_t turned = r.backend.Played().size();
    r.Pump(100);
    EXPECT_EQ(std::tuple(r.player.Loop(), FirstPlayed(r, turned), r.player.Position()),
        std::tuple(LoopRange {2300, 2800}, FrameMark(2300 * 8), 2400));
    presses.push_back(t.PressLoop());
    EXPECT_EQ(presses,
        (std::vector {LoopPress::MarkedA, LoopPress::TooShort, LoopPress::Looping, LoopPress::Cleared,
            LoopPress::MarkedA, LoopPress::Looping, LoopPress::Cleared}));
    EXPECT_EQ(std::tuple(r.player.Loop(), t.PendingA()), std::tuple(std::nullopt, std::nullopt));

    // An A set in one recording is not carried to the next.
    EXPECT_EQ(t.PressLoop(), LoopPress::MarkedA);
    ASSERT_TRUE(StartNumbered(r, 2));
    EXPECT_EQ(t.PendingA(), std::nullopt);
    EXPECT_EQ(t.PressLoop(), LoopPress::MarkedA);
}

TEST(Transport, ALoopStreamIgnoresRangesThatHoldNoFrame)
{
    test::TempDir dir;
    auto wav = std::make_unique<StreamWAV>();
    ASSERT_EQ(wav->StreamOpen(dir.write("a.wav", test::PcmWav(1, 8000, test::Samples16(FrameNumbers(8000, 1))))),
        StreamStatus::Ok);
    LoopStream loop(std::move(wav));
    const std::vector<std::optional<LoopRange>> ranges {
        LoopRange {500, 400}, LoopRange {300, 300}, LoopRange {-1, 300}, LoopRange {0, 1}};
    std::vector<bool> kept;
    for (const auto& range : ranges) {
        loop.SetLoop(range);
        kept.push_back(loop.Loop().has_value());
    }
    // 1 ms is 8 frames at 8 kHz: the shortest range that holds one.
    EXPECT_EQ(kept, (std::vector {false, false, false, true}));
}
