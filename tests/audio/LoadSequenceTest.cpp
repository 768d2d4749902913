#include "audio/LoadSequence.h"

#include "support/ManualDispatcher.h"
#include "support/TempDir.h"
#include "support/VirtualWaveBackend.h"
#include "workspace/WorkFolder.h"

#include "WavFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

using namespace pellam;
using pellam::test::TempDir;

namespace {

constexpr std::uint32_t kRate = 8000;

// Writes a silent mono WAV of the given length.
void WriteWav(const std::string& path, std::int32_t seconds)
{
    const std::vector<std::int16_t> silence(static_cast<std::size_t>(kRate * seconds));
    std::ofstream(path, std::ios::binary) << test::PcmWav(1, kRate, test::Samples16(silence));
}

// Stands in for the decoder program: logs its command line and writes a WAV of
// `seconds` to the destination it was given (nothing when seconds is 0).
struct FakeDecoder : Decoder {
    DecoderStart answer {DecoderStart::Outcome::Started, 0};
    std::int32_t seconds = 2;
    bool running = false;
    std::vector<std::vector<std::string>> starts;
    bool destinationExistedAtStart = true;

    DecoderStart Start(const std::string& program, const std::vector<std::string>& args) override
    {
        std::vector<std::string> call {program};
        call.insert(call.end(), args.begin(), args.end());
        starts.push_back(call);
        destinationExistedAtStart = std::filesystem::exists(args.back());
        if (answer.outcome == DecoderStart::Outcome::Started && seconds > 0)
            WriteWav(args.back(), seconds);
        return answer;
    }
    bool IsRunning() const override { return running; }
};

// The panel as a log of what it was asked to show; its buttons act on the real player.
struct FakeHost : LoadHost {
    WAVPlayer& player;
    std::vector<std::string> calls;
    std::vector<StatusLine> statuses {{"Norvik Technologies", kStatusCyan}};
    MousePointer pointer = MousePointer::Normal;

    explicit FakeHost(WAVPlayer& p) : player(p) { }
    StatusLine Status() const { return statuses.back(); }

    void PressPlay() override
    {
        calls.push_back("Play");
        player.PlaybackStart();
    }
    void PressStop() override
    {
        calls.push_back("Stop");
        player.PlaybackStop();
    }
    void PopulateGFX(const std::string& wavPath) override
    {
        calls.push_back("PopulateGFX " + std::filesystem::path(wavPath).filename().string());
        pointer = MousePointer::Normal;
    }
    void DrawGrid() override { calls.push_back("DrawGrid"); }
    void PlaceCur() override { calls.push_back("PlaceCur"); }
    void ClearResumeAfterSeek() override { calls.push_back("ClearResume"); }
    void SetStatus(const StatusLine& s) override { statuses.push_back(s); }
    void SetStatusText(const std::string& text) override { SetStatus({text, Status().colour}); }
    void SetPointer(MousePointer p) override { pointer = p; }
    void ShowMessage(const Message& m) override { calls.push_back("Message " + m.text); }
};

struct Rig {
    TempDir dir;
    Paths paths;
    VirtualWaveBackend backend;
    ManualDispatcher loop;
    WAVPlayer player {backend, loop};
    FakeHost host {player};
    FakeDecoder decoder;
    std::size_t decodersRunning = 0; // as the process list shows them
    LoadSequence seq {host, player, decoder, paths,
        [this] {
            std::vector<ProcessNames> list {{{"bash"}}};
            list.insert(list.end(), decodersRunning, ProcessNames {{"lame"}});
            return ProcessList(list);
        },
        4242};

    Rig()
    {
        paths.Evidence = dir.str() + "/4711/";
        paths.Temp = dir.str() + "/";
    }
    RecordingRef Recording(std::int16_t number, const std::string& name) const
    {
        return {number, name, paths.Evidence + name};
    }
    // Runs the wait timer and then the load timer while they are enabled.
    void RunTimers(int maxTicks = 100)
    {
        for (int i = 0; i < maxTicks; ++i) {
            if (seq.WaitTimer().enabled)
                seq.WaitForItTick();
            else if (seq.LoadTimer().enabled)
                seq.WaveLoadTick();
            else
                return;
        }
    }
};

} // namespace

TEST(LoadSequence, ClickDecodesTheTablePathIntoThisCopysTemporaryFile)
{
    Rig r;
    const std::string temp = r.dir.str() + "/TMP-4242.WAV";
    ASSERT_EQ(r.seq.TempWavPath(), temp);
    WriteWav(temp, 1); // the previous recording, playing
    ASSERT_TRUE(r.player.FileOpen(temp) && r.player.PlaybackStart());
    int timerChanges = 0;
    Subscription watch = r.seq.TimersChanged.Subscribe([&] { ++timerChanges; });

    r.seq.ListClick(r.Recording(3, "rec 1.mp3"));
    ASSERT_EQ(r.decoder.starts.size(), 1u);
    // The path is the table's, not rebuilt from the folder and the list text.
    EXPECT_EQ(
        r.decoder.starts[0], (std::vector<std::string> {"lame", "--decode", r.paths.Evidence + "rec 1.mp3", temp}));
    EXPECT_FALSE(r.decoder.destinationExistedAtStart);
    EXPECT_EQ(r.host.calls, (std::vector<std::string> {"Stop"})); // the player was playing
    EXPECT_FALSE(r.player.IsFileOpen());
    EXPECT_EQ(r.host.Status(), (StatusLine {"Converting MP3 to WAV", kStatusCyan}));
    EXPECT_EQ(r.host.pointer, MousePointer::Busy);
    EXPECT_EQ(r.seq.WaitTimer(), (TimerRequest {true, 500}));
    EXPECT_EQ(timerChanges, 1);
    EXPECT_TRUE(r.seq.Converting());
    EXPECT_FALSE(r.seq.AutoPlay);

    r.RunTimers();
    EXPECT_FALSE(r.seq.Converting());
    EXPECT_EQ(r.host.Status(), (StatusLine {"Playing rec 1.mp3", kStatusGreen}));
    EXPECT_EQ(r.host.calls.back(), "PopulateGFX TMP-4242.WAV");
    EXPECT_EQ(r.host.pointer, MousePointer::Normal);
    EXPECT_EQ(r.player.Duration(), 2000);
    EXPECT_EQ(r.player.Status(), PlayerStatus::Stopped);

    // A paused player is not stopped through the panel: only playing counts.
    ASSERT_TRUE(r.player.PlaybackStart() && r.player.PlaybackPause());
    r.host.calls.clear();
    r.seq.ListClick(r.Recording(4, "rec 2.mp3"));
    EXPECT_TRUE(r.host.calls.empty());
}

TEST(LoadSequence, LoadedRecordingIsKnownByItsNumberAndReopenedNotDecodedAgain)
{
    Rig r;
    const RecordingRef first = r.Recording(1, "rec 1.mp3");
    r.seq.ListClick(first);
    r.RunTimers();
    r.host.calls.clear();

    r.seq.ListClick(first);
    r.seq.ListClick(std::nullopt);
    r.seq.ListDoubleClick(std::nullopt);
    EXPECT_EQ(r.decoder.starts.size(), 1u);
    EXPECT_TRUE(r.host.calls.empty());

    // The double-click reopens the finished file through the wait timer and plays it.
    r.seq.ListDoubleClick(first);
    EXPECT_EQ(r.decoder.starts.size(), 1u);
    EXPECT_TRUE(r.seq.WaitTimer().enabled);
    EXPECT_FALSE(r.seq.Converting()); // Play is not refused while a decoded file is reopened
    r.RunTimers();
    EXPECT_EQ(r.host.calls, (std::vector<std::string> {"PopulateGFX TMP-4242.WAV", "Play"}));
    EXPECT_EQ(r.player.Status(), PlayerStatus::Playing);
    EXPECT_FALSE(r.seq.AutoPlay);

    // A reload (after a resize) reopens it without playing.
    r.player.PlaybackStop();
    r.host.calls.clear();
    r.seq.AutoPlay = true;
    r.seq.Reload();
    EXPECT_EQ(r.seq.WaitTimer(), (TimerRequest {true, 500})); // the interval the decoder start set
    r.RunTimers();
    EXPECT_EQ(r.host.calls, (std::vector<std::string> {"PopulateGFX TMP-4242.WAV"}));
    EXPECT_EQ(r.decoder.starts.size(), 1u);

    // The same file name under another number, and the same number in another
    // incident's table, are other recordings: both are decoded.
    r.seq.ListDoubleClick(RecordingRef {2, "rec 1.mp3", r.paths.Evidence + "copy/rec 1.mp3"});
    EXPECT_EQ(r.decoder.starts.size(), 2u);
    EXPECT_TRUE(r.seq.AutoPlay);
    r.RunTimers();
    r.seq.ListClick(RecordingRef {2, "rec 1.mp3", r.dir.str() + "/4712/rec 1.mp3"});
    EXPECT_EQ(r.decoder.starts.size(), 3u);
    EXPECT_EQ(r.decoder.starts.back()[2], r.dir.str() + "/4712/rec 1.mp3");
}

TEST(LoadSequence, StatusLineNamesTheLoadedRecordingWhileAnotherRowIsCurrent)
{
    Rig r;
    const RecordingRef first = r.Recording(1, "rec 1.mp3"), second = r.Recording(2, "rec 2.mp3");
    r.seq.ShowLoaded(second); // nothing loaded yet: the status line is left alone
    EXPECT_EQ(r.host.Status().text, "Norvik Technologies");
    r.seq.ListClick(first);
    r.RunTimers();
    const auto shown = [&](const std::optional<RecordingRef>& current) {
        r.seq.ShowLoaded(current);
        return r.host.Status();
    };
    EXPECT_EQ(shown(second), (StatusLine {"Loaded rec 1.mp3", kStatusGreen}));
    EXPECT_EQ(shown(std::nullopt).text, "Loaded rec 1.mp3");
    EXPECT_EQ(shown(first).text, "Playing rec 1.mp3");
    ASSERT_TRUE(r.player.PlaybackStart());
    EXPECT_EQ(shown(second).text, "Playing rec 1.mp3");
    ASSERT_TRUE(r.player.PlaybackPause());
    EXPECT_EQ(shown(second).text, "Loaded rec 1.mp3");
    r.seq.ListClick(second); // decoding: the line is the decoder's
    EXPECT_EQ(shown(first).text, "Converting MP3 to WAV");
}

TEST(LoadSequence, FailingLoadCountsItsOwnAttemptsAndTurnsRedThenGivesUp)
{
    Rig r;
    r.decoder.seconds = 0; // writes nothing: every open fails
    r.seq.ListClick(r.Recording(1, "rec 1.mp3"));
    r.seq.WaitForItTick();
    for (std::size_t attempt = 1; attempt <= 14; ++attempt) {
        const StatusLine want {"Loading" + std::string(attempt + 1, '.'), attempt < 7 ? kStatusYellow : kStatusRed};
        EXPECT_EQ(r.host.Status(), want) << attempt;
        ASSERT_EQ(r.seq.LoadTimer(), (TimerRequest {true, 1000})) << attempt;
        r.seq.WaveLoadTick();
    }
    EXPECT_EQ(r.host.Status(), (StatusLine {"Couldn't Load Audio Clip", kStatusRed}));
    EXPECT_EQ(r.seq.State(), LoadState::Failed);
    EXPECT_EQ(r.host.calls.back(), "DrawGrid");
    EXPECT_EQ(r.host.pointer, MousePointer::Normal);
    EXPECT_FALSE(r.seq.LoadTimer().enabled);

    // A new attempt starts counting afresh, whatever the status line says.
    r.host.SetStatus({"Loading.....", kStatusRed});
    r.seq.ListDoubleClick(r.Recording(1, "rec 1.mp3"));
    r.seq.WaitForItTick();
    EXPECT_EQ(r.host.Status(), (StatusLine {"Loading..", kStatusYellow}));
}

TEST(LoadSequence, WaitsForTheDecoders)
{
    // While two decoders show in the process list, the wait timer goes on.
    Rig r;
    r.decodersRunning = 2;
    r.seq.ListClick(r.Recording(1, "rec 1.mp3"));
    r.seq.WaitForItTick();
    r.seq.WaitForItTick();
    EXPECT_TRUE(r.seq.WaitTimer().enabled);
    EXPECT_TRUE(r.seq.Converting());
    r.decodersRunning = 1; // ours alone
    r.seq.WaitForItTick();
    EXPECT_FALSE(r.seq.WaitTimer().enabled);
    EXPECT_TRUE(r.player.IsFileOpen());

    // The file counts as unopenable while our own decoder runs.
    Rig q;
    q.seq.ListClick(q.Recording(1, "rec 1.mp3"));
    q.decoder.running = true;
    q.seq.WaitForItTick();
    q.seq.WaveLoadTick();
    EXPECT_FALSE(q.player.IsFileOpen());
    EXPECT_EQ(q.host.Status().text, "Loading...");
    q.decoder.running = false;
    q.seq.WaveLoadTick();
    EXPECT_EQ(q.host.Status().text, "Playing rec 1.mp3");
}

TEST(LoadSequence, DecoderThatCannotStartLeavesThePointerNormal)
{
    Rig r;
    r.decoder.answer = {DecoderStart::Outcome::Missing, 2};
    r.seq.ListClick(r.Recording(1, "rec 1.mp3"));
    EXPECT_EQ(r.host.Status(), (StatusLine {"Error: Missing CODEC", kStatusCyan}));
    EXPECT_EQ(r.host.pointer, MousePointer::Normal);
    EXPECT_FALSE(r.seq.Converting());
    EXPECT_FALSE(r.seq.WaitTimer().enabled);

    r.decoder.answer = {DecoderStart::Outcome::Failed, 13};
    r.seq.ListClick(r.Recording(2, "rec 2.mp3"));
    EXPECT_EQ(r.host.Status().text, "ShellExecute Failed - Err#13");
    EXPECT_EQ(r.host.pointer, MousePointer::Normal);
}

TEST(LoadSequence, LogRequestStartsTenSecondsBeforeTheNotation)
{
    const struct {
        std::int32_t second;
        std::int32_t position;
    } cases[] = {{125, 115000}, {11, 1000}, {10, 0}};
    for (const auto& c : cases) {
        Rig r;
        r.decoder.seconds = 200;
        r.seq.NoteAudioStart = c.second;
        r.seq.AutoPlay = true;
        r.seq.ConvertMP3toWAV(r.paths.Evidence + "rec 1.mp3");
        r.RunTimers();
        EXPECT_EQ(r.host.calls, (std::vector<std::string> {"PopulateGFX TMP-4242.WAV", "PlaceCur", "ClearResume"}))
            << c.second;
        EXPECT_EQ(r.player.Status(), PlayerStatus::Playing);
        EXPECT_EQ(r.player.Position(), c.position) << c.second;
        EXPECT_EQ(r.seq.NoteAudioStart, 0);
    }
}

TEST(LoadSequence, EndingCopyDeletesOnlyItsOwnFile)
{
    Rig r;
    r.seq.ListClick(r.Recording(1, "rec 1.mp3"));
    {
        LoadSequence other {r.host, r.player, r.decoder, r.paths, {}, 4444};
        other.ConvertMP3toWAV(r.paths.Evidence + "x.mp3");
        EXPECT_TRUE(std::filesystem::exists(other.TempWavPath()));
    }
    EXPECT_FALSE(std::filesystem::exists(r.paths.Temp + TempWavName(4444)));
    EXPECT_TRUE(std::filesystem::exists(r.seq.TempWavPath()));
}
