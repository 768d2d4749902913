// The case report as pellam-cli makes it (open, every file hashed, the CRC
// test, the documents laid out and printed to PDF) of the sample incident and
// of 1000 one-minute recordings (about 1 GB, warm), beside the floor of the
// same machine in the same run: `cat` and `sha256sum` of the same files.
#include "GeneratedIncident.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

const std::string kSample = PELLAM_BINARY_DIR "/sample/4711/4711.evt";

std::string Folder(const std::string& evt)
{
    return fs::path(evt).parent_path().string();
}

void Run(benchmark::State& state, const std::string& command)
{
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError(("failed: " + command).c_str());
}

void Report(benchmark::State& state, const std::string& evt)
{
    if (evt.empty())
        return state.SkipWithError("lame is missing: no recordings to report on");
    const std::string out = PELLAM_BENCH_DIR "/report.pdf";
    Run(state,
        "PELLAM_TODAY=2026-12-06 PELLAM_EXAMINER=Bench '" PELLAM_CLI "' report '" + evt + "' '" + out
            + "' >/dev/null 2>&1");
}

// Every file of the folder through `program`, as the report reads them.
void Floor(benchmark::State& state, const std::string& evt, const std::string& program)
{
    if (evt.empty())
        return state.SkipWithError("lame is missing: no recordings to read");
    Run(state, "find '" + Folder(evt) + "' -type f -print0 | xargs -0 " + program + " >/dev/null");
}

void BM_CatSample(benchmark::State& state)
{
    Floor(state, kSample, "cat");
}
BENCHMARK(BM_CatSample)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Sha256sumSample(benchmark::State& state)
{
    Floor(state, kSample, "sha256sum");
}
BENCHMARK(BM_Sha256sumSample)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReportOfSample(benchmark::State& state)
{
    Report(state, kSample);
}
BENCHMARK(BM_ReportOfSample)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Cat1000(benchmark::State& state)
{
    Floor(state, pellam::bench::GeneratedIncident(1000), "cat");
}
BENCHMARK(BM_Cat1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_Sha256sum1000(benchmark::State& state)
{
    Floor(state, pellam::bench::GeneratedIncident(1000), "sha256sum");
}
BENCHMARK(BM_Sha256sum1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ReportOf1000(benchmark::State& state)
{
    Report(state, pellam::bench::GeneratedIncident(1000));
}
BENCHMARK(BM_ReportOf1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

BENCHMARK_MAIN();
