// The load sequence on the virtual-clock sound device, with recordings made by
// lame and the background decodes stepped here.
#include "audio/LoadSequence.h"

#include "audio/ManualDispatcher.h"
#include "support/MarkedRecording.h"
#include "support/TempDir.h"
#include "support/VirtualWaveBackend.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace pellam;
using pellam::test::TempDir;
using Calls = std::vector<std::string>;

namespace {

// The panel as a log of what it was asked to show; its buttons act on the real player.
struct FakeHost : LoadHost {
    WAVPlayer& player;
    Calls calls;
    std::vector<StatusLine> statuses {{"Norvik Technologies", kStatusCyan}};
    MousePointer pointer = MousePointer::Normal;
    std::shared_ptr<const DecodedTrace> trace;

    explicit FakeHost(WAVPlayer& p) : player(p) { }
    StatusLine Status() const { return statuses.back(); }
    void PressPlay() override { calls.push_back("Play"), player.PlaybackStart(); }
    void PressStop() override { calls.push_back("Stop"), player.PlaybackStop(); }
    void PopulateGFX(std::shared_ptr<const DecodedTrace> t) override
    {
        calls.push_back("PopulateGFX");
        trace = std::move(t);
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
    FolderPath work {dir.str() + "/work"};
    VirtualWaveBackend backend;
    ManualDispatcher loop;
    WAVPlayer player {backend, loop};
    FakeHost host {player};
    std::unique_ptr<DecodeCache> cache;
    std::unique_ptr<LoadSequence> seq;

    explicit Rig(CacheLimits limits = {})
        : cache(std::make_unique<DecodeCache>(
            work, limits, [](const FolderPath&) { return 100ull << 30; }, 4242)),
          seq(std::make_unique<LoadSequence>(host, player, *cache))
    {
        std::filesystem::create_directories(work.str());
        seq->ThreadedDecode = false;
    }
    RecordingRef Marked(std::int16_t n, const std::string& name, int seconds) const
    {
        return {n, name, test::EncodeMarkedSeconds(dir.str(), name, seconds)};
    }
    // Runs the wait timer and then the load timer while they are enabled.
    void RunTimers()
    {
        for (int i = 0; i < 100; ++i) {
            if (seq->WaitTimer().enabled)
                seq->WaitForItTick();
            else if (seq->LoadTimer().enabled)
                seq->WaveLoadTick();
        }
    }
    void FinishDecode()
    {
        while (seq->Decoding() && seq->Decoding()->Step()) { }
        seq->DecodeTick();
    }
    // The second the next sound handed to the device comes from.
    int SecondQueued() const
    {
        if (backend.Queue().empty())
            return -2;
        std::vector<std::int16_t> samples;
        for (const auto& buffer : backend.Queue())
            for (std::size_t i = 0; i + 1 < buffer.bytes.size(); i += 2)
                samples.push_back(static_cast<std::int16_t>(buffer.bytes[i] | (buffer.bytes[i + 1] << 8)));
        return test::SecondHeard(samples);
    }
    auto Shown() const { return std::tuple(host.Status(), host.pointer, seq->Converting()); }
};

std::vector<std::string> FilesIn(const FolderPath& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.str()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(LoadSequence, ARecordingPlaysBeforeItsDecodeHasBegunAndSeeksAnywhere)
{
    Rig r;
    const RecordingRef a = r.Marked(3, "a 1.mp3", 130);
    ASSERT_FALSE(a.path.empty());

    r.seq->ListDoubleClick(a);
    EXPECT_EQ(r.Shown(), std::tuple(StatusLine {"Converting MP3 to WAV", kStatusCyan}, MousePointer::Busy, true));
    EXPECT_EQ(r.seq->WaitTimer(), (TimerRequest {true, 0})) << "the recording is opened at once";
    r.RunTimers();
    // Playing from the first second while the background decode has not even opened the file.
    ASSERT_NE(r.seq->Decoding(), nullptr);
    EXPECT_EQ(r.seq->Decoding()->Status().phase, DecodePhase::Opening);
    EXPECT_EQ(std::tuple(r.host.Status(), r.host.calls, r.player.Status(), r.SecondQueued()),
        std::tuple(
            StatusLine {"Playing a 1.mp3", kStatusGreen}, Calls {"PopulateGFX", "Play"}, PlayerStatus::Playing, 0));
    EXPECT_EQ(std::tuple(r.host.pointer, r.seq->Converting(), r.seq->DecodeTimer()),
        std::tuple(MousePointer::Normal, false, TimerRequest {true, 100}));
    // The length is the encoder's (its info tag) before any scan.
    EXPECT_EQ(r.player.Duration(), 130000);

    // A seek far past what the background decode has done plays the right second, before
    // its scan and after it (with the scan's seek table).
    for (const std::int32_t second : {117, 64}) {
        r.player.SetPosition(second * 1000);
        r.loop.RunPending(); // the device hands the dropped buffers back; the queue is refilled from there
        EXPECT_EQ(r.SecondQueued(), second);
        r.seq->Decoding()->Step();
        r.seq->Decoding()->Step();
    }
    EXPECT_EQ(r.seq->Decoding()->Status().phase, DecodePhase::Decoding);

    // A notation's moment on the loaded recording plays from ten seconds before it.
    r.seq->NoteAudioStart = 125;
    r.seq->StartAtNoteOffset();
    r.loop.RunPending();
    EXPECT_EQ(std::pair(r.player.Position(), r.SecondQueued()), std::pair(115000, 115));
    r.seq->NoteAudioStart = 131;
    r.seq->StartAtNoteOffset();
    EXPECT_EQ(r.host.Status(), (StatusLine {"(02:11) lies past the end of a 1.mp3 (02:10)", kStatusRed}));

    // The waveform fills in as the decode goes on; when it ends the decoded file is kept.
    const auto trace = r.host.trace;
    const std::size_t before = trace->Size();
    r.FinishDecode();
    EXPECT_TRUE(trace->Finished());
    EXPECT_GT(trace->Size(), before);
    EXPECT_EQ(std::tuple(r.cache->Count(), FilesIn(r.work), r.seq->DecodeTimer().enabled),
        std::tuple(1u, std::vector<std::string> {"TMP-4242-1.WAV"}, false));
}

TEST(LoadSequence, GoingBackToADecodedRecordingPlaysItsKeptFileAndAPickStopsTheDecodeUnderWay)
{
    Rig r;
    const RecordingRef a = r.Marked(1, "a.mp3", 20), b = r.Marked(2, "b.mp3", 30);
    r.seq->ListClick(a);
    r.RunTimers();
    r.FinishDecode();
    ASSERT_EQ(r.cache->Count(), 1u);

    // b's decode is under way when a is picked again: it stops and its partial file goes.
    r.seq->ListDoubleClick(b);
    r.RunTimers();
    r.seq->Decoding()->Step();
    r.seq->Decoding()->Step();
    r.seq->Decoding()->Step();
    ASSERT_EQ(FilesIn(r.work), (std::vector<std::string> {"TMP-4242-1.WAV", "TMP-4242-2.WAV"}));
    EXPECT_EQ(r.player.Status(), PlayerStatus::Playing);
    r.host.calls.clear();
    r.seq->ListDoubleClick(a);
    EXPECT_EQ(FilesIn(r.work), std::vector<std::string> {"TMP-4242-1.WAV"});
    r.RunTimers();
    // No decode: the kept file plays, its waveform complete at once.
    EXPECT_EQ(std::tuple(r.seq->Decoding(), r.seq->PlaysKeptFile(), r.host.trace->Finished(), r.SecondQueued()),
        std::tuple(nullptr, true, true, 0));
    EXPECT_EQ(std::tuple(r.host.calls, r.host.Status(), r.player.Duration()),
        std::tuple(Calls {"Stop", "PopulateGFX", "Play"}, StatusLine {"Playing a.mp3", kStatusGreen}, 20000));
    r.player.SetPosition(13000);
    r.loop.RunPending();
    EXPECT_EQ(r.SecondQueued(), 13);
}

TEST(LoadSequence, ARecordingThatCannotBeKeptStillPlaysAndTheStatusSaysSo)
{
    Rig r(CacheLimits {100'000, 0});
    const RecordingRef a = r.Marked(1, "a.mp3", 10); // 160 044 bytes decoded
    r.seq->ListDoubleClick(a);
    r.RunTimers();
    const StatusLine notKept {
        "Playing a.mp3 - not kept (the recording decodes to 0.2 MB, more than the 0.1 MB kept for "
        "decoded recordings): going back to it decodes it again",
        kStatusGreen};
    EXPECT_EQ(std::tuple(r.host.Status(), r.player.Status(), FilesIn(r.work)),
        std::tuple(notKept, PlayerStatus::Playing, std::vector<std::string> {}));
    r.FinishDecode();
    EXPECT_EQ(std::tuple(r.host.Status(), r.cache->Count(), r.host.trace->Finished()), std::tuple(notKept, 0u, true));
}

TEST(LoadSequence, BadRecordingsAreToldAndNothingOfThemPlays)
{
    Rig r;
    // Not an MP3: told at once, with a message naming it.
    const RecordingRef junk {1, "junk.mp3", r.dir.write("junk.mp3", std::string(5000, 'x'))};
    r.seq->ListDoubleClick(junk);
    r.RunTimers();
    EXPECT_EQ(std::tuple(r.host.Status(), r.host.pointer, r.seq->State(), r.player.IsFileOpen(), r.seq->LoadedMP3),
        std::tuple(StatusLine {"Couldn't Load Audio Clip - no MPEG audio frame", kStatusRed}, MousePointer::Normal,
            LoadState::Failed, false, std::string()));
    EXPECT_EQ(r.host.calls, (Calls {"DrawGrid", "Message junk.mp3 was not loaded: no MPEG audio frame."}));

    // Not there (yet): "Loading.." one more dot a second, red from the seventh attempt, then given up.
    r.host.calls.clear();
    const RecordingRef late {2, "late.mp3", r.dir.file("late.mp3")};
    r.seq->ListClick(late);
    std::vector<StatusLine> seen;
    r.seq->WaitForItTick();
    for (int attempt = 2; attempt <= 15; ++attempt) {
        seen.push_back(r.host.Status());
        ASSERT_EQ(r.seq->LoadTimer(), (TimerRequest {true, 1000}));
        r.seq->WaveLoadTick();
    }
    EXPECT_EQ(seen.front(), (StatusLine {"Loading..", kStatusYellow}));
    EXPECT_EQ(seen[5], (StatusLine {"Loading.......", kStatusYellow}));
    EXPECT_EQ(seen[6], (StatusLine {"Loading........", kStatusRed}));
    EXPECT_EQ(std::tuple(r.host.Status(), r.seq->LoadTimer().enabled, r.host.calls),
        std::tuple(StatusLine {"Couldn't Load Audio Clip - No such file or directory", kStatusRed}, false,
            Calls {"DrawGrid"}));

    // A recording that arrives while it is retried loads.
    r.seq->ListClick(late);
    r.seq->WaitForItTick();
    r.seq->WaveLoadTick();
    std::filesystem::copy_file(r.Marked(3, "src.mp3", 3).path, late.path);
    r.seq->WaveLoadTick();
    // The status line says what the player does with it, and only that.
    std::vector<std::string> said {r.host.Status().text};
    const auto press = [&](bool (WAVPlayer::*button)()) {
        (r.player.*button)();
        said.push_back(r.host.Status().text);
    };
    press(&WAVPlayer::PlaybackStart);
    press(&WAVPlayer::PlaybackPause);
    press(&WAVPlayer::PlaybackStart);
    press(&WAVPlayer::PlaybackStop);
    press(&WAVPlayer::PlaybackStart);
    while (r.player.Status() == PlayerStatus::Playing) {
        r.backend.PlayAll();
        r.loop.RunPending();
    }
    said.push_back(r.host.Status().text);
    EXPECT_EQ(said,
        (std::vector<std::string> {"Loaded late.mp3", "Playing late.mp3", "Paused late.mp3", "Playing late.mp3",
            "Stopped late.mp3", "Playing late.mp3", "Ended late.mp3"}));
    EXPECT_EQ(r.host.Status().colour, kStatusGreen);
}

TEST(LoadSequence, ADecodeThatFailsHalfWayPlaysWhatDecodedThenSaysWhere)
{
    // A recorder that changed its rate in the middle of a file: 8 kHz, then 16 kHz.
    Rig r;
    const std::string first = test::EncodeMarkedSeconds(r.dir.str(), "first.mp3", 4, "-b 24 -t");
    const std::string second = test::EncodeMarkedSeconds(r.dir.str(), "second.mp3", 4, "-b 32 -t", 16000);
    std::ofstream(r.dir.file("joined.mp3"), std::ios::binary) << test::ReadAll(first) << test::ReadAll(second);
    const RecordingRef joined {1, "joined.mp3", r.dir.file("joined.mp3")};
    r.seq->ListDoubleClick(joined);
    r.RunTimers();
    r.FinishDecode();
    const std::string where = "the recording changes from 8000 Hz, 1 channel(s) to 16000 Hz, 1 channel(s) at 00:04";
    EXPECT_EQ(r.cache->Count(), 0u);
    EXPECT_EQ(r.host.Status().text.substr(0, 36), "Playing joined.mp3 - not kept (the r");
    // Corrected to what decoded: 4 s and, without the encoder's info tag, its delay and padding.
    EXPECT_EQ(r.player.Duration(), 4176);
    r.host.calls.clear();
    for (int i = 0; i < 1000 && r.player.Status() == PlayerStatus::Playing; ++i) {
        r.backend.PlayAll();
        r.loop.RunPending();
    }
    EXPECT_EQ(r.host.Status().text.substr(0, where.size() + 22), "joined.mp3 ends here: " + where);
    ASSERT_EQ(r.host.calls.size(), 1u);
    EXPECT_EQ(r.host.calls[0].substr(0, 58), "Message joined.mp3 could not be decoded past this point: t");
}

TEST(LoadSequence, ANotationPlaysAtItsSecondBeforeTheScanHasFoundTheExactLength)
{
    // Variable bitrate without the encoder's info tag: until the scan the
    // length is a guess from the first frame's bitrate and the file's size,
    // here shorter than the recording: a notation in its last second plays.
    Rig r;
    const std::string path = test::EncodeMarkedSeconds(r.dir.str(), "vbr.mp3", 60, "-V 9 -t");
    r.seq->NoteAudioStart = 60;
    r.seq->ListDoubleClick(RecordingRef {1, "vbr.mp3", path});
    r.RunTimers();
    r.loop.RunPending();
    ASSERT_EQ(r.seq->Decoding()->Status().phase, DecodePhase::Opening);
    EXPECT_LT(r.player.Duration(), 60000) << "the guess, short of the real end";
    EXPECT_EQ(std::tuple(r.player.Status(), r.player.Position(), r.SecondQueued()),
        std::tuple(PlayerStatus::Playing, 50000, 50));
    r.FinishDecode();
    EXPECT_EQ(r.player.Duration(), 60192) << "exact: 60 s and the encoder's delay and padding";
}
