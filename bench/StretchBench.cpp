// The time-stretch of the player at other speeds: seconds of the recording
// stretched per wall second on one core ("x_realtime", how many times faster
// than real time it keeps up), for 60 s of 44.1 kHz stereo and of 8 kHz mono
// speech-like sound (a tone gliding under a syllable-rate envelope) made by
// sox at start-up. The floor beside it: the same stream read at 1.0, which
// passes the samples through untouched.
#include "audio/StreamWAV.h"
#include "audio/TempoStream.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Source {
    const char* name;
    int rate;
    int channels;
};

const Source kSources[] = {{"stereo44k", 44100, 2}, {"mono8k", 8000, 1}};

std::string Made(const Source& s)
{
    const fs::path path = fs::path(PELLAM_BENCH_DIR) / (std::string("stretch-") + s.name + ".wav");
    if (!fs::exists(path)) {
        const std::string cmd = "sox -D -n -r " + std::to_string(s.rate) + " -c " + std::to_string(s.channels)
            + " -b 16 '" + path.string() + "' synth 60 sine 150-400 tremolo 4 80 2>/dev/null";
        if (std::system(cmd.c_str()) != 0)
            return {};
    }
    return path.string();
}

void Stretch(benchmark::State& state, const Source& source, double speed)
{
    const std::string path = Made(source);
    if (path.empty()) {
        state.SkipWithError("sox could not make the sound");
        return;
    }
    std::vector<char> buffer(10240); // the player's buffer
    std::int64_t seconds = 0;
    for (auto _ : state) {
        auto wav = std::make_unique<pellam::StreamWAV>();
        if (wav->StreamOpen(path) != pellam::StreamStatus::Ok) {
            state.SkipWithError("the sound could not be opened");
            return;
        }
        pellam::TempoStream stream(std::move(wav));
        stream.SetSpeed(speed);
        std::int32_t read = 0;
        while (stream.StreamRead(buffer.data(), static_cast<std::int32_t>(buffer.size()), read)
            == pellam::StreamStatus::Ok) { }
        seconds += 60;
    }
    state.counters["x_realtime"] = benchmark::Counter(static_cast<double>(seconds), benchmark::Counter::kIsRate);
}

const int registered = [] {
    for (const Source& s : kSources)
        for (const double speed : {1.0, 0.5, 0.8, 1.5, 2.0})
            benchmark::RegisterBenchmark((std::string(s.name) + "/speed:" + std::to_string(speed).substr(0, 3)).c_str(),
                [s, speed](benchmark::State& state) { Stretch(state, s, speed); })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
    return 0;
}();

} // namespace

BENCHMARK_MAIN();
