// Throughput of the CRC-32 engine over a recording-sized buffer, beside zlib's
// crc32 on the same buffer as a measuring stick.
#include "checksums/clsCRC.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const std::vector<std::uint8_t>& Buffer()
{
    static const std::vector<std::uint8_t> buf = [] {
        std::vector<std::uint8_t> b(8 * 1024 * 1024);
        std::mt19937 rng(42);
        for (auto& x : b)
            x = static_cast<std::uint8_t>(rng());
        return b;
    }();
    return buf;
}

void BM_clsCRC_Bytes(benchmark::State& state)
{
    pellam::clsCRC crc;
    const auto& buf = Buffer();
    for (auto _ : state)
        benchmark::DoNotOptimize(crc.CalculateBytes(buf));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buf.size()));
}
BENCHMARK(BM_clsCRC_Bytes);

void BM_zlib_crc32(benchmark::State& state)
{
    const auto& buf = Buffer();
    for (auto _ : state)
        benchmark::DoNotOptimize(crc32(0L, buf.data(), static_cast<uInt>(buf.size())));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buf.size()));
}
BENCHMARK(BM_zlib_crc32);

// A whole file through CalculateFile, as the recording list reads each recording.
void BM_clsCRC_File(benchmark::State& state)
{
    char path[] = "/tmp/pellam-crc-bench-XXXXXX";
    const int fd = ::mkstemp(path);
    const auto& buf = Buffer();
    if (fd < 0 || ::write(fd, buf.data(), buf.size()) != static_cast<ssize_t>(buf.size())) {
        state.SkipWithError("cannot write the test file");
        return;
    }
    ::close(fd);
    pellam::clsCRC crc;
    for (auto _ : state)
        benchmark::DoNotOptimize(crc.CalculateFile(path).value_or(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buf.size()));
    std::remove(path);
}
BENCHMARK(BM_clsCRC_File);

} // namespace

BENCHMARK_MAIN();
