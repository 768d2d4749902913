// The timeline model of a large incident: a 50 MB Main Log in the incident
// system's form (dated entries, notations, recording announcements) and 5000
// listed recordings, 4000 of them announced in the log. Measured once the
// log is loaded: reading its dated entries, and building the whole timeline
// from them; beside the floor of the same machine in the same run, `cat`
// and `sha256sum` of the same 50 MB file. One notation linked the slow way
// (a search from the top of the log) shows what linking them one at a time
// would cost per notation.
#include "GeneratedLog.h"

#include "logs/NotationLink.h"
#include "richtext/RichDocument.h"
#include "richtext/RtfReader.h"
#include "workbench/Timeline.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

namespace {

namespace fs = std::filesystem;
using namespace pellam;

constexpr std::size_t kLogBytes = 50'000'000;
constexpr std::size_t kListed = 5000;
constexpr std::size_t kAnnounced = 4000;

struct LargeIncident {
    fs::path logFile;
    TimelineInput input;
    IncidentTexts texts; // the Main Log, its dated entries read
};

const LargeIncident& Generated()
{
    static const LargeIncident incident = [] {
        LargeIncident made;
        const fs::path folder = fs::path(PELLAM_BENCH_DIR) / "timeline";
        fs::create_directories(folder);
        made.logFile = folder / "4711_MainLOG.doc";
        if (!fs::exists(made.logFile)) {
            std::ofstream out(made.logFile, std::ios::binary);
            bench::GenerateMainLog(kLogBytes, [&](const std::string& piece) { out << piece; });
        }
        std::ifstream in(made.logFile, std::ios::binary);
        const std::string rtf {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

        IncidentDocument log;
        log.source = kLogSources[0];
        log.text = ReadRtf(rtf).PlainText();
        log.entries = ReadDatedEntries(log.text);

        made.input.incident.StartDate = made.input.incident.EndDate = "12/5/2026";
        made.input.incident.StartTime = "0800";
        made.input.incident.EndTime = "2000";
        made.input.evidence = FolderPath(folder.string()); // the recordings are not there: no file times
        std::set<std::string> seen;
        for (const DatedEntry& entry : log.entries) {
            const std::string name = ToUtf8(AnnouncedRecording(std::u16string_view(log.text).substr(entry.textStart)));
            if (!name.empty() && seen.insert(name).second && seen.size() <= kAnnounced)
                made.input.listRows.push_back({"", name, seen.size() % 50 == 0 ? "??:??" : "05:00", "", "", ""});
        }
        for (std::size_t i = made.input.listRows.size(); i < kListed; ++i)
            made.input.listRows.push_back({"", "4711_Quiet" + std::to_string(i) + ".mp3", "01:00", "", "", ""});
        made.texts.documents.push_back(std::move(log));
        return made;
    }();
    return incident;
}

void Report(benchmark::State& state)
{
    const LargeIncident& incident = Generated();
    state.counters["entries"] = static_cast<double>(incident.texts.documents[0].entries.size());
    state.counters["listed"] = static_cast<double>(incident.input.listRows.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(incident.logFile)));
}

void Shell(benchmark::State& state, const std::string& program)
{
    const std::string command = program + " '" + Generated().logFile.string() + "' >/dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError(("cannot run " + program).c_str());
    Report(state);
}

void BM_Cat(benchmark::State& state)
{
    Shell(state, "cat");
}
BENCHMARK(BM_Cat)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Sha256sum(benchmark::State& state)
{
    Shell(state, "sha256sum");
}
BENCHMARK(BM_Sha256sum)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadDatedEntries(benchmark::State& state)
{
    const std::u16string& text = Generated().texts.documents[0].text;
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadDatedEntries(text));
    Report(state);
}
BENCHMARK(BM_ReadDatedEntries)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BuildTimeline(benchmark::State& state)
{
    const LargeIncident& incident = Generated();
    std::size_t linked = 0;
    for (auto _ : state) {
        const Timeline timeline = BuildTimeline(incident.input, incident.texts);
        linked = static_cast<std::size_t>(std::count_if(timeline.events.begin(), timeline.events.end(),
            [](const TimelineEvent& e) { return e.lane == TimelineLane::Main && e.offset; }));
        benchmark::DoNotOptimize(timeline.events.data());
    }
    state.counters["linked notations"] = static_cast<double>(linked);
    Report(state);
}
BENCHMARK(BM_BuildTimeline)->Unit(benchmark::kMillisecond)->UseRealTime();

// The last notation of the log, linked alone as a double-click links it.
void BM_OneNotationAtCaretAtTheEnd(benchmark::State& state)
{
    const IncidentDocument& log = Generated().texts.documents[0];
    std::int32_t caret = 0;
    for (auto it = log.entries.rbegin(); it != log.entries.rend() && caret == 0; ++it)
        if (NotationAtCaret(log.text, it->position))
            caret = it->position;
    for (auto _ : state)
        benchmark::DoNotOptimize(NotationAtCaret(log.text, caret));
}
BENCHMARK(BM_OneNotationAtCaretAtTheEnd)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
