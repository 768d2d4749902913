// The MP3 decoders a recording could be played through, on the same files:
// lame --decode as the program starts it today (the recording on its standard
// input), the mpg123 program, and libmpg123 in this process. Each writes
// 16-bit PCM to a scratch file, and again to /dev/null (libmpg123: into a
// buffer only), which separates decoding from writing. Beside them, the floor
// of the same run: cat of the MP3 and of a WAV as large as the decoded one.
// libmpg123 also gives the time to its first second of audio and the time to
// seek to 75 % after scanning the file.
//
// The recordings are the ones of BenchRecordings.h. Every file is read from the page cache. "x_realtime" is audio
// seconds per wall second.
#include "BenchRecordings.h"

#include <benchmark/benchmark.h>
#include <mpg123.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace bench;

fs::path WavOf(const Recording& r)
{
    return Folder() / (std::string(r.name) + ".wav");
}
fs::path Scratch()
{
    return Folder() / "out.wav";
}

// Makes the recording's MP3, and the WAV of the same size that the cat floor
// reads, once each. False when lame is missing or failed.
bool Make(const Recording& r)
{
    if (!MakeMp3(r))
        return false;
    if (fs::exists(WavOf(r)))
        return true;
    const fs::path part = Folder() / "making.wav";
    if (!Run({"lame", "--decode", "--mp3input", "-", part.string()}, Mp3Of(r).string(), "/dev/null"))
        return false;
    std::error_code ec;
    fs::rename(part, WavOf(r), ec);
    return !ec;
}

// The recording of state.range(0), made if needed; nullptr (the run skipped)
// when it cannot be made or is the long one without PELLAM_BENCH_LONG=1.
const Recording* Prepare(benchmark::State& state)
{
    const Recording& r = kRecordings[state.range(0)];
    if (state.range(0) == kLong && !WantLong()) {
        state.SkipWithError("the two-hour recording is measured with PELLAM_BENCH_LONG=1");
        return nullptr;
    }
    if (!Make(r)) {
        state.SkipWithError("cannot make the recording (is lame installed?)");
        return nullptr;
    }
    return &r;
}

// The recording's length and the times real time; the scratch file goes.
void Report(benchmark::State& state, const Recording& r)
{
    state.counters["audio_s"] = r.seconds;
    state.counters["x_realtime"] = benchmark::Counter(r.seconds, benchmark::Counter::kIsIterationInvariantRate);
    std::error_code ec;
    fs::remove(Scratch(), ec);
}

// A program run: its arguments, standard input ("" for /dev/null) and
// standard output.
struct Command {
    std::vector<std::string> argv;
    std::string in;
    std::string out = "/dev/null";
};

// One run of the command made for the recording and the output ("/dev/null"
// or the scratch file) per iteration; the scratch file is removed between
// runs, outside the timing, so each run writes a new file as the program does.
template<typename MakeCommand>
void Program(benchmark::State& state, bool toFile, MakeCommand make)
{
    const Recording* r = Prepare(state);
    if (!r)
        return;
    const Command command = make(*r, toFile ? Scratch().string() : std::string("/dev/null"));
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code ec;
        fs::remove(Scratch(), ec);
        state.ResumeTiming();
        if (!Run(command.argv, command.in, command.out)) {
            state.SkipWithError((command.argv[0] + " failed").c_str());
            return;
        }
    }
    if (toFile)
        state.counters["out_MB"] = static_cast<double>(fs::file_size(Scratch())) / 1e6;
    Report(state, *r);
}

// As the program starts lame: the recording as standard input, the WAV named.
Command Lame(const Recording& r, const std::string& out)
{
    return {{"lame", "--decode", "--mp3input", "-", out}, Mp3Of(r).string()};
}
Command Mpg123(const Recording& r, const std::string& out)
{
    return {{"mpg123", "-q", "-w", out, "-"}, Mp3Of(r).string()};
}
Command CatMp3(const Recording& r, const std::string& out)
{
    return {{"cat", Mp3Of(r).string()}, "", out};
}
Command CatWav(const Recording& r, const std::string& out)
{
    return {{"cat", WavOf(r).string()}, "", out};
}

void BM_LameDecode(benchmark::State& state)
{
    Program(state, true, Lame);
}
void BM_LameDecodeToNull(benchmark::State& state)
{
    Program(state, false, Lame);
}
void BM_Mpg123Program(benchmark::State& state)
{
    Program(state, true, Mpg123);
}
void BM_Mpg123ProgramToNull(benchmark::State& state)
{
    Program(state, false, Mpg123);
}
void BM_CatMp3(benchmark::State& state)
{
    Program(state, false, CatMp3);
}
void BM_CatWav(benchmark::State& state)
{
    Program(state, false, CatWav);
}
void BM_CatWavToFile(benchmark::State& state)
{
    Program(state, true, CatWav);
}

struct HandleCloser {
    void operator()(mpg123_handle* h) const
    {
        mpg123_close(h);
        mpg123_delete(h);
    }
};
using Handle = std::unique_ptr<mpg123_handle, HandleCloser>;

// A decoder reading the recording from a descriptor we opened, giving 16-bit
// PCM at the recording's own rate and channels; `fd` must outlive it.
Handle Open(int fd)
{
    int err = MPG123_OK;
    Handle h(mpg123_new(nullptr, &err));
    if (!h)
        return h;
    mpg123_param(h.get(), MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    mpg123_format_none(h.get());
    const long* rates = nullptr;
    std::size_t count = 0;
    mpg123_rates(&rates, &count);
    for (std::size_t i = 0; i < count; ++i)
        mpg123_format(h.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_fd(h.get(), fd) != MPG123_OK)
        h.reset();
    return h;
}

constexpr std::size_t kBlock = 64 * 1024;

// Decodes the whole recording per iteration, into a buffer and, when
// `toFile`, on into the scratch file with write().
void Library(benchmark::State& state, bool toFile)
{
    const Recording* r = Prepare(state);
    if (!r)
        return;
    std::vector<unsigned char> buffer(kBlock);
    std::int64_t pcm = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code ec;
        fs::remove(Scratch(), ec);
        state.ResumeTiming();
        const int in = ::open(Mp3Of(*r).c_str(), O_RDONLY | O_CLOEXEC);
        const int out = toFile ? ::open(Scratch().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -1;
        Handle h = Open(in);
        pcm = 0;
        std::size_t got = 0;
        int status = MPG123_OK;
        // The last samples may come with MPG123_DONE.
        while (h && (status == MPG123_OK || status == MPG123_NEW_FORMAT)) {
            status = mpg123_read(h.get(), buffer.data(), buffer.size(), &got);
            if (out >= 0 && ::write(out, buffer.data(), got) != static_cast<ssize_t>(got))
                break;
            pcm += static_cast<std::int64_t>(got);
        }
        h.reset();
        ::close(in);
        if (out >= 0)
            ::close(out);
        if (status != MPG123_DONE) {
            state.SkipWithError("libmpg123 did not decode the recording to its end");
            return;
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    state.counters["out_MB"] = static_cast<double>(pcm) / 1e6;
    Report(state, *r);
}

void BM_Libmpg123(benchmark::State& state)
{
    Library(state, true);
}
void BM_Libmpg123ToBuffer(benchmark::State& state)
{
    Library(state, false);
}

// From the open to the first second of audio in the buffer.
void BM_Libmpg123FirstSecond(benchmark::State& state)
{
    const Recording* r = Prepare(state);
    if (!r)
        return;
    const std::size_t second = static_cast<std::size_t>(r->rate) * r->channels * 2;
    std::vector<unsigned char> buffer(second);
    for (auto _ : state) {
        const int in = ::open(Mp3Of(*r).c_str(), O_RDONLY | O_CLOEXEC);
        Handle h = Open(in);
        std::size_t have = 0, got = 0;
        while (h && have < second) {
            const int status = mpg123_read(h.get(), buffer.data() + have, second - have, &got);
            have += got;
            if (status != MPG123_OK && status != MPG123_NEW_FORMAT)
                break;
        }
        h.reset();
        ::close(in);
        if (have < second) {
            state.SkipWithError("libmpg123 gave less than a second");
            return;
        }
        benchmark::DoNotOptimize(buffer.data());
    }
}

// From the open: mpg123_scan over the whole file, then mpg123_seek to 75 %
// and one block decoded there; the scan's and the seek's shares as counters.
void BM_Libmpg123Seek75(benchmark::State& state)
{
    const Recording* r = Prepare(state);
    if (!r)
        return;
    using Clock = std::chrono::steady_clock;
    std::vector<unsigned char> buffer(kBlock);
    double scanSeconds = 0, seekSeconds = 0;
    for (auto _ : state) {
        const int in = ::open(Mp3Of(*r).c_str(), O_RDONLY | O_CLOEXEC);
        Handle h = Open(in);
        const auto start = Clock::now();
        const bool scanned = h && mpg123_scan(h.get()) == MPG123_OK;
        const auto afterScan = Clock::now();
        const off_t target = scanned ? mpg123_length(h.get()) * 3 / 4 : 0;
        std::size_t got = 0;
        int status = scanned && mpg123_seek(h.get(), target, SEEK_SET) == target ? MPG123_NEW_FORMAT : MPG123_ERR;
        // The first read after the open tells the format and gives no samples.
        while (status == MPG123_NEW_FORMAT)
            status = mpg123_read(h.get(), buffer.data(), buffer.size(), &got);
        const bool sought = status == MPG123_OK && got > 0;
        const auto end = Clock::now();
        h.reset();
        ::close(in);
        if (!sought) {
            state.SkipWithError("libmpg123 could not scan and seek");
            return;
        }
        scanSeconds += std::chrono::duration<double>(afterScan - start).count();
        seekSeconds += std::chrono::duration<double>(end - afterScan).count();
        benchmark::DoNotOptimize(buffer.data());
    }
    state.counters["scan_ms"] = benchmark::Counter(scanSeconds * 1e3, benchmark::Counter::kAvgIterations);
    state.counters["seek_ms"] = benchmark::Counter(seekSeconds * 1e3, benchmark::Counter::kAvgIterations);
}

void EachRecording(benchmark::internal::Benchmark* b)
{
    for (int i = 0; i < static_cast<int>(std::size(kRecordings)); ++i)
        b->Arg(i);
    b->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_CatMp3)->Apply(EachRecording);
BENCHMARK(BM_CatWav)->Apply(EachRecording);
BENCHMARK(BM_CatWavToFile)->Apply(EachRecording);
BENCHMARK(BM_LameDecode)->Apply(EachRecording);
BENCHMARK(BM_LameDecodeToNull)->Apply(EachRecording);
BENCHMARK(BM_Mpg123Program)->Apply(EachRecording);
BENCHMARK(BM_Mpg123ProgramToNull)->Apply(EachRecording);
BENCHMARK(BM_Libmpg123)->Apply(EachRecording);
BENCHMARK(BM_Libmpg123ToBuffer)->Apply(EachRecording);
BENCHMARK(BM_Libmpg123FirstSecond)->Apply(EachRecording);
BENCHMARK(BM_Libmpg123Seek75)->Apply(EachRecording);

} // namespace

BENCHMARK_MAIN();
