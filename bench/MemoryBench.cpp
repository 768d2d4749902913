// Peak memory of the largest inputs: a 100 MB Main Log of bare paragraphs, a
// 200 MB ordinary Main Log and a records file at its format's maximum (every
// slot of 65,537 bytes holding a text of 65,535, all 800 persons). Each case
// runs in a process of its own (this program started again, or pellam-cli),
// so that no case's memory hides another's; the peak resident set is the
// process's own high-water mark, reported beside the file's size and the
// time taken. Nothing is asserted. The files go to a temporary folder that is
// removed at the end.
//
//   MemoryBench [FOLDER]           all cases (FOLDER keeps the files for another run)
//   MemoryBench --case KIND FILE   one case in this process (used by the above)
#include "GeneratedLog.h"
#include "analysis/Statistics.h"
#include "logs/ui/DocViewer.h"
#include "records/clsRecord.h"
#include "richtext/RtfReader.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// The bare paragraphs: nothing but paragraph marks, one per line.
void WriteBareLog(const fs::path& path, std::size_t bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
    std::string piece;
    while (piece.size() < 1000 * 1000)
        piece += "\\par\r\n";
    for (std::size_t n = 0; n + piece.size() < bytes; n += piece.size())
        out << piece;
    out << "}\r\n";
}

void WriteMainLog(const fs::path& path, std::size_t bytes)
{
    std::ofstream out(path, std::ios::binary);
    pellam::bench::GenerateMainLog(bytes, [&](const std::string& piece) { out << piece; });
}

// The records file at the format's maximum: the slot length is the largest
// a text of 65,535 bytes (all the length word counts) needs, every role has
// 100 persons, every text fills its slot.
void WriteLargestRecords(const fs::path& path)
{
    constexpr std::int32_t L = 65537;
    constexpr int kSlots = 11 + 8 * 100 * 33 + 1;
    std::ofstream out(path, std::ios::binary);
    std::string slot(L, '\0');
    auto put = [&](const std::string& text) {
        std::fill(slot.begin(), slot.end(), '\0');
        slot[0] = static_cast<char>(text.size() & 0xFF);
        slot[1] = static_cast<char>(text.size() >> 8);
        std::memcpy(slot.data() + 2, text.data(), text.size());
        out.write(slot.data(), L);
    };
    put(std::to_string(L));
    for (int k = 0; k < 8; ++k)
        put("100");
    put("");
    put("Subject");
    std::string text(65535, 'x');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>('a' + i % 26);
    for (int s = 11; s < kSlots - 1; ++s)
        put(text);
    put(pellam::clsRecord::TrailerText().substr(0, 2));
}

// The peak resident set (kB) and time of a process started with `args`;
// its output goes to /dev/null unless `showOutput`.
struct Measured {
    long peakKB = -1;
    double seconds = 0;
};

Measured Run(const std::vector<std::string>& args, bool showOutput)
{
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!showOutput)
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    Measured m;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage {};
        if (wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) && WEXITSTATUS(status) <= 1)
            m.peakKB = usage.ru_maxrss;
    }
    m.seconds = Seconds(start);
    posix_spawn_file_actions_destroy(&actions);
    return m;
}

void Report(const char* what, const fs::path& file, const Measured& m)
{
    const double mb = static_cast<double>(fs::file_size(file)) / 1e6;
    if (m.peakKB < 0) {
        std::printf("%-34s %9.1f MB   failed\n", what, mb);
        return;
    }
    const double peak = static_cast<double>(m.peakKB) / 1e3;
    std::printf("%-34s %9.1f MB %9.1f MB peak %6.2fx %8.2f s\n", what, mb, peak, peak / mb, m.seconds);
    std::fflush(stdout);
}

// One case in this process.
int RunCase(const std::string& kind, const std::string& path, int argc, char** argv)
{
    if (kind == "read") {
        const auto doc = pellam::LoadRichTextFile(path);
        return doc ? 0 : 2;
    }
    if (kind == "viewer") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        class NoPrompts final : public pellam::Prompter {
        public:
            void Show(const pellam::Message&) override { }
            void Beep() override { }
        } prompter;
        const auto start = Clock::now();
        auto* viewer = new pellam::DocViewer(pellam::LogViewerInput {{path, "NONE", "NONE", "NONE"}, "4711",
                                                 pellam::FolderPath(fs::path(path).parent_path().string())},
            prompter);
        viewer->show();
        QApplication::processEvents();
        const double open = Seconds(start);
        const bool loaded = viewer->LogViewerOpen();
        const auto closing = Clock::now();
        viewer->close(); // deletes itself
        QApplication::processEvents();
        std::printf("    viewer: open %.2f s, closed %.3f s later%s\n", open, Seconds(closing),
            loaded ? "" : " (the log did not load)");
        return loaded ? 0 : 2;
    }
    if (kind == "records") {
        pellam::clsRecord store;
        store.SetRecordPath(path);
        auto table = std::make_unique<pellam::RecordTable>();
        pellam::RoleTable roles;
        return store.RECORDLOAD(*table, roles) ? 0 : 2;
    }
    if (kind == "label") {
        return pellam::PageRoleName0(path, pellam::RoleTable {}) == "Subject" ? 0 : 2;
    }
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "--case") == 0)
        return RunCase(argv[2], argv[3], argc, argv);
    // A folder given is used as it is: files already there are not made again
    // and all are kept.
    const bool keep = argc >= 2;
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string cli = (fs::path(self).parent_path() / "pellam-cli").string();
    const fs::path dir
        = keep ? fs::path(argv[1]) : fs::temp_directory_path() / ("pellam-memorybench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path bare = dir / "bare-100MB.rtf";
    const fs::path main = dir / "main-200MB.rtf";
    const fs::path records = dir / "4711_Records.rmq";
    if (!fs::exists(bare))
        WriteBareLog(bare, 100 * 1000 * 1000);
    if (!fs::exists(main))
        WriteMainLog(main, 200 * 1000 * 1000);
    if (!fs::exists(records))
        WriteLargestRecords(records);

    std::printf("%-34s %12s %12s\n", "case", "file", "peak RSS");
    for (const auto& log : {bare, main}) {
        const std::string name = log.filename().string();
        Report(("read " + name).c_str(), log, Run({self, "--case", "read", log.string()}, false));
        Report(("rtf2text " + name).c_str(), log, Run({cli, "rtf2text", log.string()}, false));
        Report(("viewer " + name).c_str(), log, Run({self, "--case", "viewer", log.string()}, true));
    }
    Report("records load (all persons)", records, Run({self, "--case", "records", records.string()}, false));
    Report("role-0 label (statistics page)", records, Run({self, "--case", "label", records.string()}, false));
    Report("pellam-cli records", records, Run({cli, "records", records.string()}, false));

    if (!keep)
        fs::remove_all(dir);
    return 0;
}
