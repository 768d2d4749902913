// The rich-text reader on a generated incident Main Log: MB/s of RTF at 5, 10
// and 20 MB (equal rates mean the reader is linear), beside two floors over
// the same 20 MB buffer (a plain read of every byte and zlib's crc32). Then
// what opening the log viewer costs on a 5 MB Main Log: building the view's
// QTextDocument from the read document, and the whole viewer opened on the
// file; and what a double-click costs at the end of a 20 MB log.
#include "GeneratedLog.h"
#include "OffscreenMain.h"
#include "logs/NotationLink.h"
#include "logs/ui/DocViewer.h"
#include "richtext/RtfReader.h"
#include "richtext/ui/TextDocumentBuilder.h"

#include <QApplication>
#include <QTextDocument>

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

constexpr std::size_t kMB = 1000 * 1000;

const std::string& Log(std::size_t megabytes)
{
    static std::map<std::size_t, std::string> logs;
    auto& log = logs[megabytes];
    if (log.empty())
        log = pellam::bench::GenerateMainLog(megabytes * kMB);
    return log;
}

void Bytes(benchmark::State& state, std::size_t perIteration)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * perIteration));
}

void BM_MemoryRead(benchmark::State& state)
{
    const std::string& log = Log(20);
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (char c : log)
            sum += static_cast<unsigned char>(c);
        benchmark::DoNotOptimize(sum);
    }
    Bytes(state, Log(20).size());
}
BENCHMARK(BM_MemoryRead)->Unit(benchmark::kMillisecond);

void BM_zlib_crc32(benchmark::State& state)
{
    const std::string& log = Log(20);
    for (auto _ : state)
        benchmark::DoNotOptimize(crc32(0L, reinterpret_cast<const Bytef*>(log.data()), static_cast<uInt>(log.size())));
    Bytes(state, log.size());
}
BENCHMARK(BM_zlib_crc32)->Unit(benchmark::kMillisecond);

void BM_ReadRtf(benchmark::State& state)
{
    const std::string& log = Log(static_cast<std::size_t>(state.range(0)));
    std::size_t characters = 0;
    for (auto _ : state) {
        const pellam::RichDocument doc = pellam::ReadRtf(log);
        characters = doc.PlainLength();
        benchmark::DoNotOptimize(characters);
    }
    Bytes(state, log.size());
    state.counters["characters"] = static_cast<double>(characters);
}
BENCHMARK(BM_ReadRtf)->Arg(5)->Arg(10)->Arg(20)->Unit(benchmark::kMillisecond);

// The view's document from a read 5 MB Main Log.
void BM_BuildTextDocument(benchmark::State& state)
{
    const pellam::RichDocument doc = pellam::ReadRtf(Log(5));
    for (auto _ : state) {
        const auto text = pellam::BuildTextDocument(doc);
        benchmark::DoNotOptimize(text.get());
    }
    Bytes(state, Log(5).size());
}
BENCHMARK(BM_BuildTextDocument)->Unit(benchmark::kMillisecond)->UseRealTime();

// The log viewer opened on a 5 MB Main Log file: read, document built, shown.
class NoPrompts final : public pellam::Prompter {
public:
    void Show(const pellam::Message&) override { }
    void Beep() override { }
};

void BM_OpenViewer(benchmark::State& state)
{
    const auto path = std::filesystem::path(PELLAM_BENCH_DIR) / "rtfbench-main-5mb.rtf";
    std::ofstream(path, std::ios::binary) << Log(5);
    NoPrompts prompter;
    pellam::LogViewerInput input {
        {path.string(), "NONE", "NONE", "NONE"}, "4711", pellam::FolderPath(PELLAM_BENCH_DIR)};
    for (auto _ : state) {
        pellam::DocViewer viewer(input, prompter);
        viewer.show();
        QApplication::processEvents();
        if (!viewer.LogViewerOpen())
            state.SkipWithError("the viewer did not load the log");
    }
    Bytes(state, Log(5).size());
    std::filesystem::remove(path);
}
BENCHMARK(BM_OpenViewer)->Unit(benchmark::kMillisecond)->UseRealTime();

// A double-click near the end of a 20 MB log: the scans back and the header
// search over the whole text.
void BM_DoubleClickAtEnd(benchmark::State& state)
{
    const std::u16string text = pellam::ReadRtf(Log(20)).PlainText();
    const auto caret = static_cast<std::int32_t>(text.rfind(u"Notation By") - 5);
    for (auto _ : state)
        benchmark::DoNotOptimize(pellam::NotationAtCaret(text, caret));
}
BENCHMARK(BM_DoubleClickAtEnd)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarksWithWindows(argc, argv);
}
