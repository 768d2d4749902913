// Throughput of the CRC engine over a recording-sized buffer: CRC-32 and
// CRC-16 beside zlib's crc32 and a plain read of every byte of the same
// buffer (the memory floor); then CalculateFile on a cached file beside
// reading that file with read() alone.
#include "checksums/clsCRC.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// 8 MiB: larger than the second-level cache, as a recording is.
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

void Bytes(benchmark::State& state, std::size_t perIteration)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * perIteration));
}

void BM_MemoryRead(benchmark::State& state)
{
    const auto& buf = Buffer();
    const auto* words = reinterpret_cast<const std::uint64_t*>(buf.data());
    const std::size_t n = buf.size() / sizeof(std::uint64_t);
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (std::size_t i = 0; i < n; ++i)
            sum += words[i];
        benchmark::DoNotOptimize(sum);
    }
    Bytes(state, buf.size());
}
BENCHMARK(BM_MemoryRead);

void BM_clsCRC32_Bytes(benchmark::State& state)
{
    pellam::clsCRC crc;
    const auto& buf = Buffer();
    for (auto _ : state)
        benchmark::DoNotOptimize(crc.CalculateBytes(buf));
    Bytes(state, buf.size());
}
BENCHMARK(BM_clsCRC32_Bytes);

void BM_clsCRC16_Bytes(benchmark::State& state)
{
    pellam::clsCRC crc;
    crc.SetAlgorithm(0);
    const auto& buf = Buffer();
    for (auto _ : state)
        benchmark::DoNotOptimize(crc.CalculateBytes(buf));
    Bytes(state, buf.size());
}
BENCHMARK(BM_clsCRC16_Bytes);

void BM_zlib_crc32(benchmark::State& state)
{
    const auto& buf = Buffer();
    for (auto _ : state)
        benchmark::DoNotOptimize(crc32(0L, buf.data(), static_cast<uInt>(buf.size())));
    Bytes(state, buf.size());
}
BENCHMARK(BM_zlib_crc32);

// A 64 MiB file, cached after the first reading.
class CachedFile : public benchmark::Fixture {
public:
    void SetUp(benchmark::State& state) override
    {
        char path[] = "/tmp/pellam-crc-bench-XXXXXX";
        const int fd = ::mkstemp(path);
        const auto& buf = Buffer();
        bool ok = fd >= 0;
        for (int i = 0; ok && i < 8; ++i)
            ok = ::write(fd, buf.data(), buf.size()) == static_cast<ssize_t>(buf.size());
        if (fd >= 0)
            ::close(fd);
        m_path = path;
        m_size = 8 * buf.size();
        if (!ok)
            state.SkipWithError("cannot write the test file");
    }
    void TearDown(benchmark::State&) override { std::remove(m_path.c_str()); }

protected:
    std::string m_path;
    std::size_t m_size = 0;
};

BENCHMARK_F(CachedFile, CalculateFile)(benchmark::State& state)
{
    pellam::clsCRC crc;
    for (auto _ : state)
        benchmark::DoNotOptimize(crc.CalculateFile(m_path).value_or(0));
    Bytes(state, m_size);
}

// The floor CalculateFile stands on: the same blocks read and dropped.
BENCHMARK_F(CachedFile, ReadOnly)(benchmark::State& state)
{
    const auto block = std::make_unique<char[]>(pellam::clsCRC::kFileBlock);
    for (auto _ : state) {
        const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
        while (::read(fd, block.get(), pellam::clsCRC::kFileBlock) > 0) { }
        ::close(fd);
    }
    Bytes(state, m_size);
}

} // namespace

BENCHMARK_MAIN();
