// The MP3 decoders a recording could be played through, on the same files:
// lame --decode as the program starts it today (the recording on its standard
// input), the mpg123 program, and libmpg123 in this process. Each writes
// 16-bit PCM to a scratch file, and again to /dev/null (libmpg123: into a
// buffer only), which separates decoding from writing. Beside them, the floor
// of the same run: cat of the MP3 and of a WAV as large as the decoded one.
// libmpg123 also gives the time to its first second of audio and the time to
// seek to 75 % after scanning the file.
//
// Recordings, made once by lame into the build tree from a signal written
// here: one minute and one hour of 24 kbit/s mono telephone audio at 8 kHz,
// and with PELLAM_BENCH_LONG=1 two hours of 128 kbit/s 44.1 kHz stereo
// (about 110 MB of MP3, 1.3 GB of WAV, a minute and a half to make).
// Every file is read from the page cache. "x_realtime" is audio seconds per
// wall second.
#include <benchmark/benchmark.h>
#include <mpg123.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Recording {
    const char* name;
    const char* khz; // as lame's -s and --resample take it
    int seconds;
    int rate;
    int channels;
    int kbps;
};

const Recording kRecordings[] = {
    {"tel-1min", "8", 60, 8000, 1, 24},
    {"tel-1h", "8", 3600, 8000, 1, 24},
    {"stereo-2h", "44.1", 7200, 44100, 2, 128},
};
constexpr int kLong = 2; // made and measured only with PELLAM_BENCH_LONG=1

const fs::path& Folder()
{
    static const fs::path folder = fs::path(PELLAM_BENCH_DIR) / "decoders";
    return folder;
}

fs::path Mp3Of(const Recording& r)
{
    return Folder() / (std::string(r.name) + ".mp3");
}
fs::path WavOf(const Recording& r)
{
    return Folder() / (std::string(r.name) + ".wav");
}
fs::path Scratch()
{
    return Folder() / "out.wav";
}

// Runs argv[0] (found on PATH) with the arguments as they are, no shell,
// standard input from `in` ("" for /dev/null), standard output to `out`
// (created or truncated) and standard error to /dev/null; true when it exits 0.
bool Run(const std::vector<std::string>& argv, const std::string& in, const std::string& out)
{
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, in.empty() ? "/dev/null" : in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A signal lame spends its bits on as on speech: a wandering tone and noise
// under a syllable-rate envelope, one voice per channel.
void WriteSignal(FILE* out, const Recording& r)
{
    std::uint32_t noise = 2463534242u;
    std::vector<std::int16_t> block;
    const std::int64_t frames = static_cast<std::int64_t>(r.seconds) * r.rate;
    for (std::int64_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / r.rate;
        const double envelope = 0.5 + 0.5 * std::sin(2 * M_PI * 3.3 * t);
        for (int c = 0; c < r.channels; ++c) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            const double hiss = static_cast<double>(noise) / 4294967296.0 - 0.5;
            const double tone = std::sin(2 * M_PI * (220.0 + 40.0 * c + 80.0 * std::sin(0.7 * t)) * t);
            block.push_back(static_cast<std::int16_t>(9000.0 * envelope * (tone + 0.6 * hiss)));
        }
        if (block.size() >= 65536 || i + 1 == frames) {
            std::fwrite(block.data(), sizeof(std::int16_t), block.size(), out);
            block.clear();
        }
    }
}

// Makes the recording's MP3, and the WAV of the same size that the cat floor
// reads, once each; each is made under a passing name and renamed when whole.
// False when lame is missing or failed.
bool Make(const Recording& r)
{
    std::error_code ec;
    fs::create_directories(Folder(), ec);
    if (!fs::exists(Mp3Of(r))) {
        const fs::path part = Folder() / "making.mp3";
        const std::string mode = r.channels == 1 ? "-m m" : "-m j";
        const std::string cmd = std::string("lame --quiet -r --bitwidth 16 --signed --little-endian -s ") + r.khz + " "
            + mode + " -b " + std::to_string(r.kbps) + " --resample " + r.khz + " - '" + part.string()
            + "' 2>/dev/null";
        FILE* lame = ::popen(cmd.c_str(), "w");
        if (!lame)
            return false;
        WriteSignal(lame, r);
        if (::pclose(lame) != 0)
            return false;
        fs::rename(part, Mp3Of(r), ec);
    }
    if (!ec && !fs::exists(WavOf(r))) {
        const fs::path part = Folder() / "making.wav";
        if (!Run({"lame", "--decode", "--mp3input", "-", part.string()}, Mp3Of(r).string(), "/dev/null"))
            return false;
        fs::rename(part, WavOf(r), ec);
    }
    return !ec;
}

// The recording of state.range(0), made if needed; nullptr (the run skipped)
// when it cannot be made or is the long one without PELLAM_BENCH_LONG=1.
const Recording* Prepare(benchmark::State& state)
{
    const Recording& r = kRecordings[state.range(0)];
    const char* wantLong = std::getenv("PELLAM_BENCH_LONG");
    if (state.range(0) == kLong && !(wantLong && std::string(wantLong) == "1")) {
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
