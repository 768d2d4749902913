// The open of an incident of 100 and 1000 one-minute recordings to the end of
// the recording pass, as pellam-cli open runs it (durations, confirmed CRCs
// and the SHA-256 of the first CRC reading on the probe's threads), beside
// the same open without the SHA-256 and the floor of reading every
// recording's bytes five times with read() (four CRC readings and the
// duration scan). The folders are generated once into the build tree.
//
// The cold runs measure the same opens with nothing of the folder in memory,
// as when an examiner opens a drive just plugged in: before each run the
// files are dropped from the page cache, and the floor is one reading of
// every recording in name order, as `cat *.mp3` reads them.
#include "GeneratedIncident.h"
#include "workspace/OpenIncident.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <fcntl.h>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Recordings(const std::string& evt)
{
    std::vector<fs::path> paths;
    for (const auto& entry : fs::directory_iterator(fs::path(evt).parent_path()))
        if (entry.path().extension() == ".mp3")
            paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    return paths;
}

// The event file of the generated incident of state.range(0) recordings;
// "" (and the run skipped) when it cannot be made.
std::string Incident(benchmark::State& state)
{
    std::string evt = pellam::bench::GeneratedIncident(static_cast<int>(state.range(0)));
    if (evt.empty())
        state.SkipWithError("cannot generate the incident (is lame installed?)");
    return evt;
}

// Drops every file of the folder from the page cache (its pages are clean:
// nothing here writes them), so the next reading comes from the device.
void Evict(const std::string& evt)
{
    for (const auto& entry : fs::directory_iterator(fs::path(evt).parent_path())) {
        const int fd = ::open(entry.path().c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

// Reads each file once to its end; the bytes read.
std::int64_t ReadAll(const std::vector<fs::path>& paths, int passes = 1)
{
    constexpr std::size_t kBlock = 128 * 1024;
    const auto block = std::make_unique<char[]>(kBlock);
    std::int64_t bytes = 0;
    for (const auto& path : paths)
        for (int pass = 0; pass < passes; ++pass) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            ssize_t got = 0;
            while ((got = ::read(fd, block.get(), kBlock)) > 0)
                bytes += pass == 0 ? got : 0;
            ::close(fd);
        }
    return bytes;
}

// User and system time of all the process's threads so far.
double ProcessCpuSeconds()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void OpenRuns(benchmark::State& state, bool cold, bool sha256 = true)
{
    const std::string evt = Incident(state);
    if (evt.empty())
        return;
    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            Evict(evt);
            state.ResumeTiming();
        }
        pellam::IncidentModel model;
        pellam::OpenIncident open(model, std::make_unique<pellam::ThreadedProbe>(false, sha256));
        if (!open.Open(evt)) {
            state.SkipWithError("the open was refused");
            return;
        }
        open.RunToEnd();
        if (model.MP3Count != state.range(0)) {
            state.SkipWithError("not every recording was listed");
            return;
        }
        benchmark::DoNotOptimize(model.ListRows.data());
    }
    std::int64_t bytes = 0;
    for (const auto& path : Recordings(evt))
        bytes += static_cast<std::int64_t>(fs::file_size(path));
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["recordings"] = static_cast<double>(state.range(0));
    // The work of every thread per open: unlike the time, other programs on
    // the machine do not change it.
    state.counters["cpu_s"] = (ProcessCpuSeconds() - cpuBefore) / static_cast<double>(state.iterations());
}

void BM_Open(benchmark::State& state)
{
    OpenRuns(state, false);
}
BENCHMARK(BM_Open)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The open as it was before recordings were hashed: CRC readings alone.
void BM_OpenWithoutSha256(benchmark::State& state)
{
    OpenRuns(state, false, false);
}
BENCHMARK(BM_OpenWithoutSha256)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadFloor(benchmark::State& state)
{
    const std::string evt = Incident(state);
    if (evt.empty())
        return;
    const auto paths = Recordings(evt);
    std::int64_t bytes = 0;
    for (auto _ : state)
        bytes = ReadAll(paths, 5);
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_ReadFloor)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenCold(benchmark::State& state)
{
    OpenRuns(state, true);
}
BENCHMARK(BM_OpenCold)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_OpenColdWithoutSha256(benchmark::State& state)
{
    OpenRuns(state, true, false);
}
BENCHMARK(BM_OpenColdWithoutSha256)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_CatCold(benchmark::State& state)
{
    const std::string evt = Incident(state);
    if (evt.empty())
        return;
    const auto paths = Recordings(evt);
    std::int64_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Evict(evt);
        state.ResumeTiming();
        bytes = ReadAll(paths);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_CatCold)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

BENCHMARK_MAIN();
