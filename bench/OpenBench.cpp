// The open of an incident of 100 and 1000 one-minute recordings to the end of
// the recording pass, as pellam-cli open runs it (durations and confirmed
// CRCs on the probe's two threads), beside the floor of reading every
// recording's bytes five times with read() (four CRC readings and the
// duration scan). The folders are generated once into the build tree.
#include "GeneratedIncident.h"
#include "workspace/OpenIncident.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void BM_Open(benchmark::State& state)
{
    const std::string evt = pellam::bench::GeneratedIncident(static_cast<int>(state.range(0)));
    if (evt.empty()) {
        state.SkipWithError("cannot generate the incident (is lame installed?)");
        return;
    }
    std::int64_t bytes = 0;
    for (auto _ : state) {
        pellam::Session session;
        pellam::OpenIncident open(session);
        if (!open.Open(evt)) {
            state.SkipWithError("the open was refused");
            return;
        }
        open.RunToEnd();
        if (session.MP3Count != state.range(0)) {
            state.SkipWithError("not every recording was listed");
            return;
        }
        benchmark::DoNotOptimize(session.ListRows.data());
    }
    for (const auto& entry : fs::directory_iterator(fs::path(evt).parent_path()))
        if (entry.path().extension() == ".mp3")
            bytes += static_cast<std::int64_t>(entry.file_size());
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["recordings"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_Open)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadFloor(benchmark::State& state)
{
    const std::string evt = pellam::bench::GeneratedIncident(static_cast<int>(state.range(0)));
    if (evt.empty()) {
        state.SkipWithError("cannot generate the incident (is lame installed?)");
        return;
    }
    constexpr std::size_t kBlock = 128 * 1024;
    const auto block = std::make_unique<char[]>(kBlock);
    std::int64_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const auto& entry : fs::directory_iterator(fs::path(evt).parent_path())) {
            if (entry.path().extension() != ".mp3")
                continue;
            for (int pass = 0; pass < 5; ++pass) {
                const int fd = ::open(entry.path().c_str(), O_RDONLY | O_CLOEXEC);
                ssize_t got = 0;
                while ((got = ::read(fd, block.get(), kBlock)) > 0)
                    bytes += pass == 0 ? got : 0;
                ::close(fd);
            }
        }
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_ReadFloor)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
