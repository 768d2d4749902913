#include "audio/LoadSequence.h"

#include "support/FakeDecoder.h"
#include "support/LameEncode.h"
#include "support/ManualDispatcher.h"
#include "support/TempDir.h"
#include "support/VirtualWaveBackend.h"
#include "workspace/WorkFolder.h"

#include "support/WavFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/mount.h>

using namespace pellam;
using pellam::test::TempDir;
using Calls = std::vector<std::string>;

namespace {

// A silent 8 kHz mono WAV of the given length.
std::string Wav(std::uint32_t seconds)
{
    return test::PcmWav(1, 8000, std::string(16000u * seconds, '\0'));
}

// The panel as a log of what it was asked to show; its buttons act on the real player.
struct FakeHost : LoadHost {
    WAVPlayer& player;
    Calls calls;
    std::vector<StatusLine> statuses {{"Norvik Technologies", kStatusCyan}};
    MousePointer pointer = MousePointer::Normal;

    explicit FakeHost(WAVPlayer& p) : player(p) { }
    StatusLine Status() const { return statuses.back(); }
    void PressPlay() override { calls.push_back("Play"), player.PlaybackStart(); }
    void PressStop() override { calls.push_back("Stop"), player.PlaybackStop(); }
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
    test::FakeDecoder decoder;
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
        decoder.output = Wav(2);
        paths.Evidence = FolderPath(dir.str() + "/4711");
        paths.Temp = FolderPath(dir.str());
    }
    RecordingRef Recording(std::int16_t n, const std::string& name) const
    {
        return {n, name, paths.Evidence.Join(name)};
    }
    // Runs the wait timer and then the load timer while they are enabled.
    void RunTimers()
    {
        for (int i = 0; i < 100; ++i) {
            if (seq.WaitTimer().enabled)
                seq.WaitForItTick();
            else if (seq.LoadTimer().enabled)
                seq.WaveLoadTick();
        }
    }
    // What the panel shows and whether the sequence is converting.
    auto Shown() const { return std::tuple(host.Status(), host.pointer, seq.Converting()); }
};

} // namespace

TEST(LoadSequence, ClickDecodesTheTablePathIntoThisCopysTemporaryFile)
{
    Rig r;
    const std::string temp = r.dir.str() + "/TMP-4242.WAV";
    ASSERT_EQ(r.seq.TempWavPath(), temp);
    std::ofstream(temp, std::ios::binary) << Wav(1); // the previous recording, playing
    ASSERT_TRUE(r.player.FileOpen(temp) && r.player.PlaybackStart());
    int timerChanges = 0;
    Subscription watch = r.seq.TimersChanged.Subscribe([&] { ++timerChanges; });
    // With another row current the status line names the loaded recording; nothing loaded, it is left alone.
    const RecordingRef first = r.Recording(3, "rec 1.mp3"), second = r.Recording(4, "rec 2.mp3");
    const auto shown = [&](const std::optional<RecordingRef>& current) {
        r.seq.ShowLoaded(current);
        return r.host.Status().text;
    };
    EXPECT_EQ(shown(second), "Norvik Technologies");

    r.seq.ListClick(first);
    // The path is the table's, not rebuilt from the folder and the list text.
    EXPECT_EQ(r.decoder.starts, (std::vector<Calls> {{"lame", "--decode", r.paths.Evidence.Join("rec 1.mp3"), temp}}));
    // The player was playing: it is stopped.
    EXPECT_EQ(std::tuple(r.decoder.destinationExistedAtStart, r.host.calls), std::tuple(false, Calls {"Stop"}));
    EXPECT_EQ(r.Shown(), std::tuple(StatusLine {"Converting MP3 to WAV", kStatusCyan}, MousePointer::Busy, true));
    EXPECT_EQ(std::tuple(r.player.IsFileOpen(), r.seq.WaitTimer(), timerChanges, r.seq.AutoPlay),
        std::tuple(false, TimerRequest {true, 500}, 1, false));

    r.RunTimers();
    EXPECT_EQ(r.Shown(), std::tuple(StatusLine {"Playing rec 1.mp3", kStatusGreen}, MousePointer::Normal, false));
    EXPECT_EQ(std::tuple(r.host.calls.back(), r.player.Duration(), r.player.Status()),
        std::tuple("PopulateGFX TMP-4242.WAV", 2000, PlayerStatus::Stopped));

    r.seq.ShowLoaded(second);
    EXPECT_EQ(r.host.Status(), (StatusLine {"Loaded rec 1.mp3", kStatusGreen}));
    EXPECT_EQ(Calls({shown(std::nullopt), shown(first)}), Calls({"Loaded rec 1.mp3", "Playing rec 1.mp3"}));
    ASSERT_TRUE(r.player.PlaybackStart());
    EXPECT_EQ(shown(second), "Playing rec 1.mp3");
    ASSERT_TRUE(r.player.PlaybackPause());
    EXPECT_EQ(shown(second), "Loaded rec 1.mp3");

    // A paused player is not stopped through the panel: only playing counts.
    r.host.calls.clear();
    r.seq.ListClick(second); // decoding: the line is the decoder's
    EXPECT_EQ(std::pair(r.host.calls, shown(first)), std::pair(Calls {}, std::string("Converting MP3 to WAV")));
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
    EXPECT_EQ(std::tuple(r.decoder.starts.size(), r.host.calls), std::tuple(1u, Calls {}));

    // The double-click reopens the finished file through the wait timer and plays it;
    // Play is not refused while a decoded file is reopened.
    r.seq.ListDoubleClick(first);
    EXPECT_EQ(std::tuple(r.decoder.starts.size(), r.seq.WaitTimer().enabled, r.seq.Converting()),
        std::tuple(1u, true, false));
    r.RunTimers();
    EXPECT_EQ(r.host.calls, (Calls {"PopulateGFX TMP-4242.WAV", "Play"}));
    EXPECT_EQ(std::tuple(r.player.Status(), r.seq.AutoPlay), std::tuple(PlayerStatus::Playing, false));

    // The same file name under another number, and the same number in another
    // incident's table, are other recordings: both are decoded.
    r.seq.ListDoubleClick(RecordingRef {2, "rec 1.mp3", r.paths.Evidence.Join("copy/rec 1.mp3")});
    EXPECT_EQ(std::tuple(r.decoder.starts.size(), r.seq.AutoPlay), std::tuple(2u, true));
    r.RunTimers();
    r.seq.ListClick(RecordingRef {2, "rec 1.mp3", r.dir.str() + "/4712/rec 1.mp3"});
    EXPECT_EQ(r.decoder.starts.back()[2], r.dir.str() + "/4712/rec 1.mp3");
    // A name the decoder could take as an option reaches it as an absolute path.
    r.RunTimers();
    r.seq.ListClick(RecordingRef {3, "-", "-"});
    const std::string given = r.decoder.starts.back()[2];
    EXPECT_TRUE(given.starts_with('/') && given.ends_with("/-")) << given;
}

TEST(LoadSequence, FailingLoadCountsItsAttemptsThenGivesUpAndFailedStartsLeaveThePointerNormal)
{
    Rig r;
    // A decoder that cannot start leaves the pointer normal, and its error stays
    // through the double-click that follows the click and a redraw of the panel.
    r.decoder.answer = {DecoderStart::Outcome::Missing, SystemError(2)};
    const RecordingRef first = r.Recording(1, "rec 1.mp3");
    r.seq.ListClick(first);
    r.seq.ListDoubleClick(first);
    r.seq.Reload();
    r.RunTimers();
    EXPECT_EQ(std::tuple(r.host.Status(), r.host.pointer, r.seq.Converting(), r.seq.WaitTimer().enabled,
                  r.seq.LoadTimer().enabled, r.decoder.starts.size(), r.seq.LoadedMP3),
        std::tuple(
            StatusLine {"Error: Missing CODEC", kStatusCyan}, MousePointer::Normal, false, false, false, 2u, ""));

    r.decoder.answer = {DecoderStart::Outcome::Started, {}};
    r.decoder.output.clear(); // writes nothing: every open fails
    r.seq.ListClick(first);
    r.seq.WaitForItTick();
    for (std::size_t attempt = 1; attempt <= 14; ++attempt) {
        const StatusLine want {"Loading" + std::string(attempt + 1, '.'), attempt < 7 ? kStatusYellow : kStatusRed};
        EXPECT_EQ(r.host.Status(), want) << attempt;
        ASSERT_EQ(r.seq.LoadTimer(), (TimerRequest {true, 1000})) << attempt;
        r.seq.WaveLoadTick();
    }
    EXPECT_EQ(r.Shown(), std::tuple(StatusLine {"Couldn't Load Audio Clip", kStatusRed}, MousePointer::Normal, false));
    EXPECT_EQ(std::tuple(r.seq.State(), r.host.calls.back(), r.seq.LoadTimer().enabled),
        std::tuple(LoadState::Failed, "DrawGrid", false));

    // A new attempt starts counting afresh, whatever the status line says.
    r.host.SetStatus({"Loading.....", kStatusRed});
    r.seq.ListDoubleClick(first);
    r.seq.WaitForItTick();
    EXPECT_EQ(r.host.Status(), (StatusLine {"Loading..", kStatusYellow}));

    // A decoder that fails to start leaves the pointer normal too, and the
    // retries of the load it replaces (still running here) end with it.
    r.decoder.answer = {DecoderStart::Outcome::Failed, SystemError(13)};
    r.seq.ListClick(r.Recording(3, "rec 3.mp3"));
    r.RunTimers();
    EXPECT_EQ(std::tuple(r.host.Status().text, r.host.pointer, r.seq.WaitTimer().enabled, r.seq.LoadTimer().enabled),
        std::tuple("ShellExecute Failed - Err#13", MousePointer::Normal, false, false));
}

TEST(LoadSequence, WaitsForTheDecoders)
{
    // While two decoders show in the process list, the wait timer goes on.
    Rig r;
    r.decodersRunning = 2;
    r.seq.ListClick(r.Recording(1, "rec 1.mp3"));
    r.seq.WaitForItTick();
    r.seq.WaitForItTick();
    EXPECT_EQ(std::tuple(r.seq.WaitTimer().enabled, r.seq.Converting()), std::tuple(true, true));
    r.decodersRunning = 1; // ours alone
    r.seq.WaitForItTick();
    EXPECT_EQ(std::tuple(r.seq.WaitTimer().enabled, r.player.IsFileOpen()), std::tuple(false, true));

    // The file counts as unopenable while our own decoder runs.
    r.seq.ListClick(r.Recording(2, "rec 2.mp3"));
    r.decoder.running = true;
    r.seq.WaitForItTick();
    r.seq.WaveLoadTick();
    EXPECT_EQ(std::tuple(r.player.IsFileOpen(), r.host.Status().text), std::tuple(false, "Loading..."));
    r.decoder.running = false;
    r.seq.WaveLoadTick();
    EXPECT_EQ(r.host.Status().text, "Playing rec 2.mp3");
}

// A notation double-clicked in the log plays its recording from ten seconds
// before it; the 200-second recording holds 3:20 itself but not a second more.
TEST(LoadSequence, NotationPlaysFromTenSecondsBeforeOrSaysItLiesPastTheEnd)
{
    const std::tuple<int, const char*, int> cases[]
        = {{125, "Playing rec 1.mp3", 115000}, {11, "Playing rec 1.mp3", 1000}, {10, "Playing rec 1.mp3", 0},
            {200, "Playing rec 1.mp3", 190000}, {201, "(03:21) lies past the end of rec 1.mp3 (03:20)", -1},
            {750, "(12:30) lies past the end of rec 1.mp3 (03:20)", -1}};
    for (const auto& [second, status, position] : cases) {
        Rig r;
        r.decoder.output = Wav(200);
        r.seq.NoteAudioStart = second;
        r.seq.ListDoubleClick(r.Recording(1, "rec 1.mp3"));
        r.RunTimers();
        const bool playing = r.player.Status() == PlayerStatus::Playing;
        EXPECT_EQ(std::tuple(r.host.Status().text, playing ? r.player.Position() : -1, r.seq.NoteAudioStart),
            std::tuple(status, position, 0))
            << second;
        EXPECT_EQ(r.host.calls,
            (playing ? Calls {"PopulateGFX TMP-4242.WAV", "PlaceCur", "ClearResume"}
                     : Calls {"PopulateGFX TMP-4242.WAV"}))
            << second;
    }
}

// A decoder that exits with success after writing only part of the file (as
// it does on a full disk) or a working folder too small for the recording:
// nothing is played, the status line and a message say why.
TEST(LoadSequence, ShortDecodeIsNeverPlayed)
{
    if (!test::HaveLame())
        GTEST_SKIP() << "the lame encoder is not installed";
    // The 4 s tone holds 156 frames of 576 samples: 4.1 s, 188 972 bytes decoded
    // with the slack. Seconds decoded, the space free before the decoder starts
    // and after it exits, the status, the decoder starts once the recording is
    // picked again.
    const std::tuple<std::uint32_t, std::uint64_t, std::uint64_t, const char*, std::size_t> cases[] = {
        {4, 188972, 0, "Playing rec 1.mp3", 1},
        {3, 1u << 30, 1u << 30, "Couldn't Load Audio Clip - decoded 3.0 of 4.1 seconds", 2},
        {3, 188972, 0, "Couldn't Load Audio Clip - decoded 3.0 of 4.1 seconds, the working folder is full", 1},
        {4, 188971, 0, "Couldn't Load Audio Clip - the working folder has 0.2 MB free, the recording needs 0.2 MB", 0},
    };
    for (const auto& [seconds, free, freeAfter, status, starts] : cases) {
        Rig r;
        const RecordingRef rec {1, "rec 1.mp3", test::EncodeTone(r.dir, "rec 1.mp3", 4 * 22050, 22050, "-b 32")};
        ASSERT_FALSE(rec.path.empty());
        r.decoder.output = Wav(seconds);
        r.seq.FreeSpace
            = [&, asked = 0](const FolderPath&) mutable { return std::optional(asked++ == 0 ? free : freeAfter); };
        r.seq.ListDoubleClick(rec);
        r.RunTimers();
        const bool played = starts == 1 && seconds == 4;
        EXPECT_EQ(std::tuple(r.host.Status().text, r.player.Status() == PlayerStatus::Playing, r.player.IsFileOpen(),
                      std::filesystem::exists(r.seq.TempWavPath())),
            std::tuple(status, played, played, played));
        // A failure's message names the recording; its details give the figures.
        EXPECT_EQ(r.host.calls.back().starts_with("Message rec 1.mp3 was not loaded: "), !played)
            << r.host.calls.back();
        // Picking it again decodes it again: nothing of the failed load is reopened.
        r.seq.ListClick(rec);
        EXPECT_EQ(r.decoder.starts.size(), starts) << status;
    }
}

// The real decoder on a working folder that fills up: it writes 64 KiB of
// the 10 s recording and exits with success.
TEST(LoadSequence, FullWorkingFolderOnARealFileSystem)
{
    Rig r;
    const std::string small = r.dir.str() + "/small";
    std::filesystem::create_directory(small);
    if (!test::HaveLame() || ::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "needs the lame encoder and the right to mount a tmpfs";
    const std::unique_ptr<const char, void (*)(const char*)> unmount(
        small.c_str(), [](const char* at) { ::umount2(at, MNT_DETACH); });
    r.paths.Temp = FolderPath(small);
    const RecordingRef rec {1, "rec 1.mp3", test::EncodeTone(r.dir, "rec 1.mp3", 10 * 22050, 22050, "-b 32")};
    r.decoder.real = true;
    r.seq.ListDoubleClick(rec);
    EXPECT_EQ(r.host.Status().text,
        "Couldn't Load Audio Clip - the working folder has 0.1 MB free, the recording needs 0.4 MB");
    EXPECT_TRUE(r.decoder.starts.empty());

    r.seq.FreeSpace = nullptr; // as if the space had gone while the decoder wrote
    r.seq.ListDoubleClick(rec);
    r.RunTimers();
    EXPECT_EQ(r.host.Status().text, "Couldn't Load Audio Clip - decoded 1.5 of 10.1 seconds");
    EXPECT_EQ(std::tuple(r.decoder.starts.size(), r.player.IsFileOpen(), std::filesystem::exists(r.seq.TempWavPath())),
        std::tuple(1u, false, false));
}
