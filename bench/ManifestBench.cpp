// The hash manifest of the generated incident of 1000 one-minute recordings
// (about 940 MB, in the page cache after the first run), as `pellam-cli
// manifest` makes it: the listing, SHA-256 and CRC-32 of every file on two
// threads, and the sha256sum text. Beside it, in the same run, the floor the
// goal is set against: the system's sha256sum over the same files, and the
// same manifest on one thread.
#include "GeneratedIncident.h"

#include "checksums/HashManifest.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kRecordings = 1000;

// The evidence folder, or "" (and the run skipped) when it cannot be made.
std::string Folder(benchmark::State& state)
{
    const std::string evt = pellam::bench::GeneratedIncident(kRecordings);
    if (evt.empty()) {
        state.SkipWithError("cannot generate the incident (is lame installed?)");
        return {};
    }
    return std::filesystem::path(evt).parent_path().string();
}

void Report(benchmark::State& state, const std::vector<pellam::ManifestFile>& files)
{
    std::int64_t bytes = 0;
    for (const auto& file : files)
        bytes += static_cast<std::int64_t>(file.size);
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["files"] = static_cast<double>(files.size());
}

void ManifestRuns(benchmark::State& state, unsigned threads)
{
    const std::string folder = Folder(state);
    if (folder.empty())
        return;
    for (auto _ : state) {
        const auto manifest = pellam::MakeManifest(folder, threads);
        if (!manifest || !manifest.value().problems.empty()) {
            state.SkipWithError("the folder could not be hashed whole");
            return;
        }
        benchmark::DoNotOptimize(pellam::Sha256sumText(manifest.value().entries));
    }
    Report(state, pellam::ListFolderFiles(folder).value().files);
}

void BM_Manifest(benchmark::State& state)
{
    ManifestRuns(state, pellam::kManifestThreads);
}
BENCHMARK(BM_Manifest)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ManifestOneThread(benchmark::State& state)
{
    ManifestRuns(state, 1);
}
BENCHMARK(BM_ManifestOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();

// sha256sum over the same files, named on its command line, its lines to /dev/null.
void BM_Sha256sum(benchmark::State& state)
{
    const std::string folder = Folder(state);
    if (folder.empty())
        return;
    const auto files = pellam::ListFolderFiles(folder).value().files;
    std::vector<std::string> args {"sha256sum", "--"};
    for (const auto& file : files)
        args.push_back(folder + "/" + file.path);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t pid = 0;
        int status = -1;
        if (posix_spawnp(&pid, "sha256sum", &actions, nullptr, argv.data(), environ) != 0
            || ::waitpid(pid, &status, 0) != pid || status != 0) {
            state.SkipWithError("sha256sum failed");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    Report(state, files);
}
BENCHMARK(BM_Sha256sum)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
