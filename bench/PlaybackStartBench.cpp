// How soon the operator hears a recording, on the real sound server: the
// playback panel, the load sequence and the player as the main window wires
// them (offscreen), over the program's own QAudioSink device, with the ticks
// run by the panel's timers in a Qt event loop. Each time runs from the
// request to the first buffer handed to the device after it, as a thin
// forwarding device around the real one notes it (what the device then needs
// before the sound comes out of the server is "heard_ms", taken when its
// position first moves).
//
//  - TimeToSound: a double-click on a recording that is not loaded, in a new
//    panel with an empty cache, on the one-minute, one-hour and (with
//    PELLAM_BENCH_LONG=1) two-hour recordings of BenchRecordings.h. Goal:
//    under 0.5 s each, the lengths within 20 % of each other. "device_open_ms"
//    is the part spent opening the device, OpenAndPrime the part spent opening
//    the recording and decoding its first piece.
//  - Seek: the player's SetPosition to 01:45:00 of the two-hour recording
//    playing, or without it to 75 % of the one-hour one; /0 right after the
//    load ("scan_ended" tells the share of runs whose background scan had
//    ended by the seek), /1 once the scan has ended. Goal: under 0.5 s.
//  - SwitchBack: recording A played until its decode was kept, then B, then a
//    double-click on A again; "kept" is 1 when A played from its kept file.
//    Goal: under 0.2 s. "decode_s" is the background decode of A until the
//    cache took it at the next watch tick (every 0.1 s), while A played;
//    CrcOfMp3 the part of the switch spent telling that A did not change.
//  - Floors of the same run: cat and sha256sum of each MP3 (from the page cache).
// The decoders' own speeds on the same recordings are DecoderBench's.
// The goals are in each run's label.
//
// Needs a sound server: run between start_services and stop_services of
// scripts/lib/services.sh. Times are manual (UseManualTime), the mean of
// five runs (ten for TimeToSound).
#include "BenchRecordings.h"
#include "OffscreenMain.h"
#include "audio/DecodeCache.h"
#include "audio/LoadSequence.h"
#include "audio/WAVPlayer.h"
#include "audio/ui/LoadSequenceDriver.h"
#include "audio/ui/PlaybackPanel.h"
#include "audio/ui/QtDispatcher.h"
#include "audio/ui/QtWaveBackend.h"
#include "base/FolderPath.h"
#include "base/Prompter.h"
#include "checksums/clsCRC.h"
#include "media/Mp3Decoder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace pellam;
using namespace bench;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

// The real device, noting the first buffer written and the time spent
// opening the device after Arm().
class TimedBackend final : public WaveOutBackend {
public:
    void Arm()
    {
        m_armed = Clock::now();
        m_firstWrite.reset();
        m_opening = 0;
    }
    Clock::time_point Armed() const { return m_armed; }
    const std::optional<Clock::time_point>& FirstWrite() const { return m_firstWrite; }
    double OpeningSeconds() const { return m_opening; }

    bool Open(const WaveFormat& format, std::int32_t device, DoneCallback onDone) override
    {
        const auto start = Clock::now();
        const bool opened = m_real.Open(format, device, std::move(onDone));
        m_opening += Seconds(start, Clock::now());
        return opened;
    }
    void Close() override { m_real.Close(); }
    void Write(std::uint64_t id, std::vector<std::uint8_t> bytes) override
    {
        if (!m_firstWrite)
            m_firstWrite = Clock::now();
        m_real.Write(id, std::move(bytes));
    }
    void Pause() override { m_real.Pause(); }
    void Resume() override { m_real.Resume(); }
    void Reset() override { m_real.Reset(); }
    std::int64_t PositionMs() const override { return m_real.PositionMs(); }
    std::uint32_t Volume() const override { return m_real.Volume(); }
    void SetVolume(std::uint32_t leftRight) override { m_real.SetVolume(leftRight); }
    std::uint32_t DeviceVolume(std::int32_t device) const override { return m_real.DeviceVolume(device); }
    void SetDeviceVolume(std::int32_t device, std::uint32_t leftRight) override
    {
        m_real.SetDeviceVolume(device, leftRight);
    }
    std::int32_t DeviceCount() const override { return m_real.DeviceCount(); }
    bool DeviceCaps(std::int32_t device, WaveDeviceCaps& caps) const override
    {
        return m_real.DeviceCaps(device, caps);
    }

private:
    QtWaveBackend m_real;
    Clock::time_point m_armed;
    std::optional<Clock::time_point> m_firstWrite;
    double m_opening = 0;
};

class SilentPrompter final : public Prompter {
public:
    void Show(const Message&) override { }
    void Beep() override { }
};

RecordingRef RefOf(int index)
{
    const Recording& r = kRecordings[index];
    return {static_cast<std::int16_t>(index + 1), Mp3Of(r).filename().string(), Mp3Of(r).string()};
}

// The panel, the player and the load sequence of the main window, with a
// cache of its own in a scratch folder, over the timed device.
class Station {
public:
    explicit Station(TimedBackend& backend)
        : m_folder(m_dir.path().toStdString()), m_player(backend, m_dispatcher), m_panel(m_player, m_prompter),
          m_cache(m_folder), m_driver(m_panel, m_player, m_cache, m_prompter, [this] { return m_selected; })
    {
        m_panel.resize(1000, 180);
        m_panel.show();
    }
    ~Station() { m_player.PlaybackStop(); }

    WAVPlayer& Player() { return m_player; }
    LoadSequence& Sequence() { return m_driver.sequence(); }
    DecodeCache& Cache() { return m_cache; }

    void DoubleClick(int recording)
    {
        m_selected = RefOf(recording);
        m_driver.ListDoubleClick();
    }

private:
    QTemporaryDir m_dir;
    FolderPath m_folder;
    QtDispatcher m_dispatcher;
    WAVPlayer m_player;
    SilentPrompter m_prompter;
    PlaybackPanel m_panel;
    DecodeCache m_cache;
    std::optional<RecordingRef> m_selected;
    LoadSequenceDriver m_driver;
};

std::unique_ptr<TimedBackend> g_device;

// The device with one stream opened and closed, as it is after the
// program's first sound: the connection to the server is made once.
TimedBackend& Device()
{
    if (!g_device) {
        g_device = std::make_unique<TimedBackend>();
        // Its sink and timer go before the application does.
        qAddPostRoutine([] { g_device.reset(); });
        g_device->Open({1, 1, 8000, 16000, 2, 16}, -1, nullptr);
        g_device->Close();
    }
    return *g_device;
}

// The recording made; false (the run skipped) when it cannot be, or is the
// long one without PELLAM_BENCH_LONG=1.
bool Made(benchmark::State& state, int recording)
{
    if (recording == kLong && !WantLong()) {
        state.SkipWithError("the two-hour recording is measured with PELLAM_BENCH_LONG=1");
        return false;
    }
    if (!MakeMp3(kRecordings[recording])) {
        state.SkipWithError("cannot make the recording (is lame installed?)");
        return false;
    }
    return true;
}

// The same, and a sound server to play it on.
bool Ready(benchmark::State& state, int recording)
{
    if (qEnvironmentVariableIsEmpty("PELLAM_SOUND_SERVER")) {
        state.SkipWithError("no sound server: run between start_services and stop_services");
        return false;
    }
    return Made(state, recording);
}

// After the device was armed and the request made: the first buffer's time
// as the iteration's; false (the run skipped) when none came.
bool TimeFirstWrite(benchmark::State& state, TimedBackend& device, const char* what)
{
    if (!WaitFor([&] { return device.FirstWrite().has_value(); })) {
        state.SkipWithError((std::string("no sound after ") + what).c_str());
        return false;
    }
    state.SetIterationTime(Seconds(device.Armed(), *device.FirstWrite()));
    return true;
}

// Waits until the device's position moves; the seconds since Arm().
double Heard(TimedBackend& device)
{
    WaitFor([&] { return device.PositionMs() > 0; });
    return Seconds(device.Armed(), Clock::now());
}

benchmark::Counter Average(double value)
{
    return benchmark::Counter(value, benchmark::Counter::kAvgIterations);
}

void BM_TimeToSound(benchmark::State& state)
{
    const int recording = static_cast<int>(state.range(0));
    if (!Ready(state, recording))
        return;
    TimedBackend& device = Device();
    double opening = 0, heard = 0;
    for (auto _ : state) {
        Station station(device);
        device.Arm();
        station.DoubleClick(recording);
        if (!TimeFirstWrite(state, device, "the double-click"))
            return;
        opening += device.OpeningSeconds();
        heard += Heard(device);
    }
    state.SetLabel("goal: under 500 ms, every length within 20 %");
    state.counters["device_open_ms"] = Average(opening * 1e3);
    state.counters["heard_ms"] = Average(heard * 1e3);
    state.counters["audio_s"] = kRecordings[recording].seconds;
}

// Opening the recording and decoding its first piece, as the load does before
// the player gets the stream.
void BM_OpenAndPrime(benchmark::State& state)
{
    const int recording = static_cast<int>(state.range(0));
    if (!Made(state, recording))
        return;
    std::vector<std::uint8_t> first(16 * 1024);
    for (auto _ : state) {
        const auto start = Clock::now();
        auto opened = Mp3Decoder::Open(Mp3Of(kRecordings[recording]).string());
        if (!opened || opened.value()->Read(first).bytes == 0) {
            state.SkipWithError("the recording does not decode");
            return;
        }
        state.SetIterationTime(Seconds(start, Clock::now()));
    }
}

// The CRC-32 of the recording, which the cache takes on every look-up of a
// recording it holds to tell that it has not changed.
void BM_CrcOfMp3(benchmark::State& state)
{
    const int recording = static_cast<int>(state.range(0));
    if (!Made(state, recording))
        return;
    for (auto _ : state) {
        const auto start = Clock::now();
        clsCRC reader;
        if (!reader.CalculateFile(Mp3Of(kRecordings[recording]).string())) {
            state.SkipWithError("the recording cannot be read");
            return;
        }
        state.SetIterationTime(Seconds(start, Clock::now()));
    }
}

// The recording seeks are measured on, and where to.
int SeekRecording()
{
    return WantLong() ? kLong : 1;
}
std::int32_t SeekTargetMs()
{
    return WantLong() ? (60 + 45) * 60 * 1000 : kRecordings[1].seconds * 750;
}

bool ScanEnded(const LoadSequence& sequence)
{
    const RecordingDecode* decode = sequence.Decoding();
    if (!decode)
        return true;
    const DecodePhase phase = decode->Status().phase;
    return phase != DecodePhase::Opening && phase != DecodePhase::Scanning;
}

// From SetPosition to the first buffer after it, the recording playing:
// with state.range(0) == 0 as soon as the load has handed the device its
// first buffer, with 1 once the background scan has ended and the recording
// has played a moment from 01:00.
void BM_Seek(benchmark::State& state)
{
    const int recording = SeekRecording();
    const bool afterScan = state.range(0) == 1;
    if (!Ready(state, recording))
        return;
    TimedBackend& device = Device();
    double scanned = 0, landedAt = 0, heard = 0;
    std::unique_ptr<Station> station;
    for (auto _ : state) {
        if (!station || !afterScan) {
            station.reset(); // the last run's decode ends before the next load
            station = std::make_unique<Station>(device);
            device.Arm();
            station->DoubleClick(recording);
            if (!WaitFor([&] { return device.FirstWrite().has_value(); })) {
                state.SkipWithError("no sound after the double-click");
                return;
            }
        }
        if (afterScan) {
            if (!WaitFor([&] { return ScanEnded(station->Sequence()); }, 120000)) {
                state.SkipWithError("the scan did not end");
                return;
            }
            station->Player().SetPosition(60 * 1000);
            if (!WaitFor([&] { return station->Player().Position() > 60 * 1000; })) {
                state.SkipWithError("the recording does not play");
                return;
            }
        }
        scanned += ScanEnded(station->Sequence()) ? 1 : 0;
        device.Arm();
        station->Player().SetPosition(SeekTargetMs());
        if (!TimeFirstWrite(state, device, "the seek"))
            return;
        heard += Heard(device);
        landedAt += station->Player().Position() / 1000.0;
    }
    state.SetLabel(afterScan ? "after the scan; goal: under 500 ms" : "right after the load; goal: under 500 ms");
    state.counters["scan_ended"] = Average(scanned);
    state.counters["heard_ms"] = Average(heard * 1e3);
    state.counters["landed_s"] = Average(landedAt);
    state.counters["target_s"] = SeekTargetMs() / 1000;
}

// A speed change while the recording plays (1.0 to 1.5 and back, in turn):
// from SetSpeed to the first stretched buffer handed to the device, and
// ("heard_ms") until the device's count moves on from the change. What was
// queued at the old speed is dropped, so the change does not wait for it.
void BM_SpeedChange(benchmark::State& state)
{
    const int recording = static_cast<int>(state.range(0));
    if (!Ready(state, recording))
        return;
    TimedBackend& device = Device();
    Station station(device);
    device.Arm();
    station.DoubleClick(recording);
    if (!WaitFor([&] { return device.FirstWrite().has_value() && station.Player().Position() > 500; })) {
        state.SkipWithError("the recording does not play");
        return;
    }
    double heard = 0;
    bool faster = true;
    for (auto _ : state) {
        station.Player().SetPosition(1000); // room to play on, whatever the speed
        WaitFor([&] { return station.Player().Position() > 1100; });
        device.Arm();
        station.Player().SetSpeed(faster ? 1.5 : 1.0);
        faster = !faster;
        if (!TimeFirstWrite(state, device, "the speed change"))
            return;
        heard += Heard(device);
    }
    state.SetLabel("speed change to the sound at the new speed");
    state.counters["heard_ms"] = Average(heard * 1e3);
}

// A played until its decode was kept, B loaded and playing, then a
// double-click on A; each run goes from B back to A.
void BM_SwitchBack(benchmark::State& state)
{
    const int a = static_cast<int>(state.range(0));
    const int b = a == 0 ? 1 : 0;
    if (!Ready(state, a) || !Ready(state, b))
        return;
    TimedBackend& device = Device();
    Station station(device);
    const auto start = Clock::now();
    station.DoubleClick(a);
    // The whole recording is decoded first, while it plays.
    if (!WaitFor([&] { return station.Cache().Count() == 1; }, 600000)) {
        state.SkipWithError("the decode of A was not kept");
        return;
    }
    const double decoding = Seconds(start, Clock::now());
    double kept = 0, heard = 0;
    for (auto _ : state) {
        device.Arm();
        station.DoubleClick(b);
        if (!WaitFor([&] { return device.FirstWrite().has_value(); })) {
            state.SkipWithError("no sound after the double-click on B");
            return;
        }
        device.Arm();
        station.DoubleClick(a);
        if (!TimeFirstWrite(state, device, "the double-click on A"))
            return;
        kept += station.Sequence().PlaysKeptFile() ? 1 : 0;
        heard += Heard(device);
    }
    state.SetLabel("goal: under 200 ms");
    // The background decode of A until the cache took it: its own speed
    // beside the decoders' in DecoderBench.
    state.counters["decode_s"] = decoding;
    state.counters["decode_x_realtime"] = kRecordings[a].seconds / decoding;
    state.counters["kept"] = Average(kept);
    state.counters["heard_ms"] = Average(heard * 1e3);
}

// The floors: reading the recording and hashing it, by the system's programs.
void Program(benchmark::State& state, const char* program)
{
    const int recording = static_cast<int>(state.range(0));
    if (!Made(state, recording))
        return;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (!Run({program, Mp3Of(kRecordings[recording]).string()}, "", "/dev/null")) {
            state.SkipWithError((std::string(program) + " failed").c_str());
            return;
        }
        state.SetIterationTime(Seconds(start, Clock::now()));
    }
}
void BM_CatMp3(benchmark::State& state)
{
    Program(state, "cat");
}
void BM_Sha256Mp3(benchmark::State& state)
{
    Program(state, "sha256sum");
}

void EachRecording(benchmark::internal::Benchmark* b)
{
    for (int i = 0; i < static_cast<int>(std::size(kRecordings)); ++i)
        b->Arg(i);
    b->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
}

BENCHMARK(BM_CatMp3)->Apply(EachRecording);
BENCHMARK(BM_Sha256Mp3)->Apply(EachRecording);
BENCHMARK(BM_OpenAndPrime)->Apply(EachRecording);
BENCHMARK(BM_CrcOfMp3)->Apply(EachRecording);
BENCHMARK(BM_TimeToSound)->Apply(EachRecording)->Iterations(10);
BENCHMARK(BM_Seek)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_SwitchBack)->Apply(EachRecording);
BENCHMARK(BM_SpeedChange)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarksWithWindows(argc, argv);
}
