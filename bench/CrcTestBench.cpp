// The CRC integrity test at incident scale: 5000 recordings checked against a
// Main Log of about 10 MB whose end marker comes early, so every name is
// looked for in nearly the whole log. Beside it, the floor: reading the log's
// bytes from memory and zlib's crc32 over them; and the reader's own share
// (loading the log), which the test pays once per run.
#include "analysis/CRCTest.h"
#include "richtext/RtfReader.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRecordings = 5000;

struct Fixture {
    std::string path = PELLAM_BENCH_DIR "/crctest-mainlog.rtf";
    std::string bytes;
    std::vector<pellam::CrcTestRecording> recordings;

    Fixture()
    {
        std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}\\f0 Incident Number: 4711 Ended.\\par\n";
        for (int n = 0; rtf.size() < 10'000'000; ++n)
            rtf += "12/5/2026 14:" + std::to_string(10 + n % 50) + ":00 - (00:0" + std::to_string(n % 10)
                + ") Notation By Sgt. Ilse Varga: Team moved to the second floor of the building.\\par\n";
        for (int n = 0; n < kRecordings; ++n) {
            const std::string name = "4711_Rec" + std::to_string(n) + "_1433.mp3";
            rtf += name + "   created 12/5/2026  CRC: 6E FE 79 B4\\par\n";
            recordings.push_back({name, n % 100 == 0 ? "00 00 00 00" : "6E FE 79 B4"});
        }
        rtf += "}";
        std::ofstream(path, std::ios::binary) << rtf;
        bytes = std::move(rtf);
    }
};

const Fixture& Data()
{
    static const Fixture f;
    return f;
}

void BM_MemoryReadOfLog(benchmark::State& state)
{
    const std::string& b = Data().bytes;
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (unsigned char c : b)
            sum += c;
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * b.size()));
}
BENCHMARK(BM_MemoryReadOfLog)->Unit(benchmark::kMillisecond);

void BM_ZlibCrc32OfLog(benchmark::State& state)
{
    const std::string& b = Data().bytes;
    for (auto _ : state)
        benchmark::DoNotOptimize(crc32(0, reinterpret_cast<const Bytef*>(b.data()), static_cast<uInt>(b.size())));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * b.size()));
}
BENCHMARK(BM_ZlibCrc32OfLog)->Unit(benchmark::kMillisecond);

void BM_LoadMainLog(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(pellam::LoadRichTextFile(Data().path));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Data().bytes.size()));
}
BENCHMARK(BM_LoadMainLog)->Unit(benchmark::kMillisecond);

void BM_RunCRCTest5000(benchmark::State& state)
{
    for (auto _ : state) {
        pellam::CRCTest test("4711", Data().path, Data().recordings);
        benchmark::DoNotOptimize(test.Run());
        if (test.Outcome() != pellam::CrcTestOutcome::SomeFailed)
            state.SkipWithError("the test did not find the planted discrepancies");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Data().bytes.size()));
}
BENCHMARK(BM_RunCRCTest5000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
