#pragma once
// Test recordings for the benchmarks that decode or play MP3: made once by
// lame into the build tree from a signal written here, and kept there between
// runs. One minute and one hour of 24 kbit/s mono telephone audio at 8 kHz,
// and, made and measured only with PELLAM_BENCH_LONG=1, two hours of
// 128 kbit/s 44.1 kHz stereo (about 110 MB, a minute and a half to make).
// Also the runner of a program with its standard input and output redirected.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bench {

namespace fs = std::filesystem;

struct Recording {
    const char* name;
    const char* khz; // as lame's -s and --resample take it
    int seconds;
    int rate;
    int channels;
    int kbps;
};

inline const Recording kRecordings[] = {
    {"tel-1min", "8", 60, 8000, 1, 24},
    {"tel-1h", "8", 3600, 8000, 1, 24},
    {"stereo-2h", "44.1", 7200, 44100, 2, 128},
};
inline constexpr int kLong = 2; // made and measured only with PELLAM_BENCH_LONG=1

inline bool WantLong()
{
    const char* wanted = std::getenv("PELLAM_BENCH_LONG");
    return wanted && std::string(wanted) == "1";
}

inline const fs::path& Folder()
{
    static const fs::path folder = fs::path(PELLAM_BENCH_DIR) / "decoders";
    return folder;
}

inline fs::path Mp3Of(const Recording& r)
{
    return Folder() / (std::string(r.name) + ".mp3");
}

// Runs argv[0] (found on PATH) with the arguments as they are, no shell,
// standard input from `in` ("" for /dev/null), standard output to `out`
// (created or truncated) and standard error to /dev/null; true when it exits 0.
inline bool Run(const std::vector<std::string>& argv, const std::string& in, const std::string& out)
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
inline void WriteSignal(FILE* out, const Recording& r)
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

// Makes the recording's MP3 once, under a passing name renamed when whole.
// False when lame is missing or failed.
inline bool MakeMp3(const Recording& r)
{
    std::error_code ec;
    fs::create_directories(Folder(), ec);
    if (fs::exists(Mp3Of(r)))
        return true;
    const fs::path part = Folder() / "making.mp3";
    const std::string mode = r.channels == 1 ? "-m m" : "-m j";
    const std::string cmd = std::string("lame --quiet -r --bitwidth 16 --signed --little-endian -s ") + r.khz + " "
        + mode + " -b " + std::to_string(r.kbps) + " --resample " + r.khz + " - '" + part.string() + "' 2>/dev/null";
    FILE* lame = ::popen(cmd.c_str(), "w");
    if (!lame)
        return false;
    WriteSignal(lame, r);
    if (::pclose(lame) != 0)
        return false;
    fs::rename(part, Mp3Of(r), ec);
    return !ec;
}

} // namespace bench
