#include "audio/LoadSequence.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

using namespace pellam;
using pellam::test::TempDir;

namespace {

struct FakeDecoder : Decoder {
    DecoderStart answer {DecoderStart::Outcome::Started, 0};
    bool running = false;
    std::vector<std::vector<std::string>> starts;
    std::string tempPath;
    bool tempExistedAtStart = true;

    DecoderStart Start(const std::string& program, const std::vector<std::string>& args) override
    {
        std::vector<std::string> call {program};
        call.insert(call.end(), args.begin(), args.end());
        starts.push_back(call);
        tempExistedAtStart = std::filesystem::exists(tempPath);
        return answer;
    }
    bool IsRunning() const override { return running; }
};

// The panel and the player as a log of calls.
struct FakeHost : LoadHost {
    bool playing = false;
    int openFailures = 0; // attempts that fail before one succeeds; -1 = always
    int opens = 0;
    std::vector<std::string> calls;
    std::vector<StatusLine> statuses {{"Norvik Technologies", kStatusCyan}};
    MousePointer pointer = MousePointer::Normal;

    bool PlayButtonEnabled() const override { return !playing; }
    void PressPlay() override
    {
        calls.push_back("Play");
        playing = true;
    }
    void PressStop() override
    {
        calls.push_back("Stop");
        playing = false;
    }
    void ClosePlayerFile() override { calls.push_back("Close"); }
    bool OpenPlayerFile(const std::string&) override
    {
        ++opens;
        calls.push_back("Open");
        return openFailures >= 0 && opens > openFailures;
    }
    void SetPlayerPosition(std::int32_t ms) override { calls.push_back("Position " + std::to_string(ms)); }
    bool PlaybackStart() override
    {
        calls.push_back("Start");
        playing = true;
        return true;
    }
    void PopulateGFX() override
    {
        calls.push_back("PopulateGFX");
        pointer = MousePointer::Normal;
    }
    void DrawGrid() override { calls.push_back("DrawGrid"); }
    void PlaceCur() override { calls.push_back("PlaceCur"); }
    void ClearResumeAfterSeek() override { calls.push_back("ClearResume"); }
    StatusLine Status() const override { return statuses.back(); }
    void SetStatus(const StatusLine& s) override { statuses.push_back(s); }
    void SetPointer(MousePointer p) override { pointer = p; }
    std::string SelectedItemText() const override { return "rec 1.mp3"; }
    void ShowMessage(const Message& m) override { calls.push_back("Message " + m.text); }
};

struct Rig {
    TempDir dir;
    Paths paths;
    FakeHost host;
    FakeDecoder decoder;
    std::size_t decodersRunning = 0; // as the process list shows them
    LoadSequence seq {host, decoder, paths, [this] {
                          std::vector<ProcessNames> list {{{"bash"}}};
                          list.insert(list.end(), decodersRunning, ProcessNames {{"lame"}});
                          return ProcessList(list);
                      }};

    Rig()
    {
        paths.Evidence = dir.str() + "/evidence";
        paths.Temp = dir.str() + "/";
        decoder.tempPath = seq.TempWavPath();
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

TEST(LoadSequence, ClickDecodesIntoTheTemporaryFileAfterDeletingTheOldOne)
{
    Rig r;
    r.dir.write("TMP.WAV", "previous recording");
    r.host.playing = true;
    EXPECT_EQ(r.seq.WaitTimer(), (TimerRequest {false, 200}));
    r.seq.ListClick("rec 1.mp3");

    ASSERT_EQ(r.decoder.starts.size(), 1u);
    EXPECT_EQ(r.decoder.starts[0],
        (std::vector<std::string> {"lame", "--decode", r.paths.Evidence + "/rec 1.mp3", r.dir.str() + "/TMP.WAV"}));
    EXPECT_FALSE(r.decoder.tempExistedAtStart);
    EXPECT_EQ(r.host.calls, (std::vector<std::string> {"Stop", "Close"}));
    EXPECT_EQ(r.host.Status(), (StatusLine {"Converting MP3 to WAV", kStatusCyan}));
    EXPECT_EQ(r.host.pointer, MousePointer::Busy);
    EXPECT_EQ(r.seq.WaitTimer(), (TimerRequest {true, 500}));
    EXPECT_EQ(r.seq.LoadedMP3, "rec 1.mp3");
    EXPECT_FALSE(r.seq.AutoPlay);

    r.RunTimers();
    EXPECT_EQ(r.host.Status(), (StatusLine {"Playing rec 1.mp3", kStatusGreen}));
    EXPECT_EQ(r.host.calls.back(), "PopulateGFX");
    EXPECT_EQ(r.host.pointer, MousePointer::Normal);
}

TEST(LoadSequence, LoadedRecordingIsReopenedNotDecodedAgain)
{
    Rig r;
    r.seq.ListClick("rec 1.mp3");
    r.RunTimers();
    r.host.calls.clear();

    r.seq.ListClick("rec 1.mp3");
    r.seq.ListClick("");
    EXPECT_EQ(r.decoder.starts.size(), 1u);
    EXPECT_FALSE(r.seq.WaitTimer().enabled);
    EXPECT_TRUE(r.host.calls.empty());

    // The double-click reopens the finished file through the wait timer and plays it.
    r.seq.ListDoubleClick("rec 1.mp3");
    EXPECT_EQ(r.decoder.starts.size(), 1u);
    EXPECT_TRUE(r.seq.WaitTimer().enabled);
    r.RunTimers();
    EXPECT_EQ(r.host.calls, (std::vector<std::string> {"Open", "PopulateGFX", "Play"}));
    EXPECT_FALSE(r.seq.AutoPlay);

    // A reload (after a resize) reopens it without playing.
    r.host.calls.clear();
    r.seq.AutoPlay = true;
    r.seq.Reload();
    EXPECT_EQ(r.seq.WaitTimer(), (TimerRequest {true, 500})); // the interval the decoder start set
    r.RunTimers();
    EXPECT_EQ(r.host.calls, (std::vector<std::string> {"Open", "PopulateGFX"}));
    EXPECT_EQ(r.decoder.starts.size(), 1u);

    // Another recording is decoded, and played once loaded.
    r.seq.ListDoubleClick("rec 2.mp3");
    EXPECT_EQ(r.decoder.starts.size(), 2u);
    EXPECT_EQ(r.seq.LoadedMP3, "rec 2.mp3");
    EXPECT_TRUE(r.seq.AutoPlay);
}

TEST(LoadSequence, FailingLoadCountsDotsAndTurnsRedThenGivesUp)
{
    Rig r;
    r.host.openFailures = -1;
    r.seq.ListClick("rec 1.mp3");
    r.seq.WaitForItTick();
    for (std::size_t attempt = 1; attempt <= 14; ++attempt) {
        const StatusLine want {"Loading" + std::string(attempt + 1, '.'), attempt < 7 ? kStatusYellow : kStatusRed};
        EXPECT_EQ(r.host.Status(), want) << attempt;
        ASSERT_EQ(r.seq.LoadTimer(), (TimerRequest {true, 1000})) << attempt;
        r.seq.WaveLoadTick();
    }
    EXPECT_EQ(r.host.Status(), (StatusLine {"Couldn't Load Audio Clip", kStatusRed}));
    EXPECT_EQ(r.host.opens, 15);
    EXPECT_EQ(r.host.calls.back(), "DrawGrid");
    EXPECT_EQ(r.host.pointer, MousePointer::Normal);
    EXPECT_FALSE(r.seq.LoadTimer().enabled);
    EXPECT_EQ(r.seq.Retries(), 0);
}

TEST(LoadSequence, WaitsForTheDecoders)
{
    // While two decoders show in the process list, the wait timer goes on.
    Rig r;
    r.decodersRunning = 2;
    r.seq.ListClick("rec 1.mp3");
    r.seq.WaitForItTick();
    r.seq.WaitForItTick();
    EXPECT_TRUE(r.seq.WaitTimer().enabled);
    EXPECT_EQ(r.host.opens, 0);
    r.decodersRunning = 1; // ours alone
    r.seq.WaitForItTick();
    EXPECT_FALSE(r.seq.WaitTimer().enabled);
    EXPECT_EQ(r.host.opens, 1);

    // The file counts as unopenable while our own decoder runs.
    Rig q;
    q.seq.ListClick("rec 1.mp3");
    q.decoder.running = true;
    q.seq.WaitForItTick();
    q.seq.WaveLoadTick();
    EXPECT_EQ(q.host.opens, 0);
    EXPECT_EQ(q.host.Status().text, "Loading...");
    q.decoder.running = false;
    q.seq.WaveLoadTick();
    EXPECT_EQ(q.host.Status().text, "Playing rec 1.mp3");
}

TEST(LoadSequence, DecoderThatCannotStartLeavesThePointerNormal)
{
    Rig r;
    r.decoder.answer = {DecoderStart::Outcome::Missing, 2};
    r.seq.ListClick("rec 1.mp3");
    EXPECT_EQ(r.host.Status().text, "Error: Missing CODEC");
    EXPECT_EQ(r.host.pointer, MousePointer::Normal);
    EXPECT_FALSE(r.seq.WaitTimer().enabled);

    r.decoder.answer = {DecoderStart::Outcome::Failed, 13};
    r.seq.ListClick("rec 2.mp3");
    EXPECT_EQ(r.host.Status().text, "ShellExecute Failed - Err#13");
    EXPECT_EQ(r.host.pointer, MousePointer::Normal);
}

TEST(LoadSequence, LogRequestStartsTenSecondsBeforeTheNotation)
{
    const struct {
        std::int32_t second;
        std::vector<std::string> positions;
    } cases[] = {
        {125, {"Position 0", "Position 115000"}},
        {11, {"Position 0", "Position 1000"}},
        {10, {"Position 0"}},
    };
    for (const auto& c : cases) {
        Rig r;
        r.seq.NoteAudioStart = c.second;
        r.seq.AutoPlay = true;
        r.seq.ConvertMP3toWAV(r.seq.RecordingPath("rec 1.mp3"));
        r.RunTimers();
        std::vector<std::string> want {"Close", "Open", "PopulateGFX"};
        want.insert(want.end(), c.positions.begin(), c.positions.end());
        want.insert(want.end(), {"PlaceCur", "ClearResume", "Start"});
        EXPECT_EQ(r.host.calls, want) << c.second;
        EXPECT_EQ(r.seq.NoteAudioStart, 0);
        EXPECT_FALSE(r.seq.AutoPlay);
    }
}
