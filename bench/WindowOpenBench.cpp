// The main window opening a generated incident offscreen, as the operator
// would see it: the recording pass runs from the window's own 20 ms timer
// while a repeating zero-interval timer notes the longest gap between two
// turns of the event loop. Reports that gap beside the total open time, and
// how many times rows were added and the progress bar moved on the way: for
// 1000 one-minute recordings, and for 5000 one-second ones, where the list's
// own work (model, sort proxy, view) weighs more than the reading.
#include "GeneratedIncident.h"
#include "OffscreenMain.h"
#include "app/DesktopShell.h"
#include "app/Main.h"
#include "base/Prompter.h"
#include "workspace/ui/RecordingListView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

// Counts the boxes an open shows instead of showing them.
class CountingPrompter final : public pellam::Prompter {
public:
    void Show(const pellam::Message&) override { ++shown; }
    void Beep() override { }
    int shown = 0;
};

void BM_WindowOpen(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const std::string evt = pellam::bench::GeneratedIncident(count, static_cast<int>(state.range(1)));
    if (evt.empty()) {
        state.SkipWithError("cannot generate the incident (is lame installed?)");
        return;
    }
    double longestGapMs = 0;
    double longestCallMs = 0;
    int rowSteps = 0;
    int progressSteps = 0;
    for (auto _ : state) {
        CountingPrompter prompter;
        pellam::DesktopShell shell(prompter);
        pellam::Main window(prompter, shell);
        window.show();
        const auto* list = window.findChild<pellam::RecordingListView*>("LV1");
        QCoreApplication::processEvents();

        QElapsedTimer sinceTurn;
        qint64 longest = 0;
        int rows = 0;
        int progress = window.findChild<QProgressBar*>("PB1")->value();
        rowSteps = progressSteps = 0;
        QTimer turns;
        turns.setInterval(0);
        QObject::connect(&turns, &QTimer::timeout, [&] {
            longest = std::max(longest, sinceTurn.nsecsElapsed());
            sinceTurn.restart();
            if (const int now = list->model()->rowCount(); now != rows) {
                rows = now;
                ++rowSteps;
            }
            if (const int now = window.findChild<QProgressBar*>("PB1")->value(); now != progress) {
                progress = now;
                ++progressSteps;
            }
        });
        turns.start();
        sinceTurn.start();
        // The open itself runs inside one turn of the loop: its time counts,
        // and is reported on its own too.
        QElapsedTimer call;
        call.start();
        window.OpenFromCommandLine(QString::fromStdString(evt));
        longestCallMs = std::max(longestCallMs, static_cast<double>(call.nsecsElapsed()) / 1e6);
        while (window.Loading())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        turns.stop();
        if (prompter.shown > 0 || list->model()->rowCount() != count) {
            state.SkipWithError("the open did not list every recording");
            return;
        }
        longestGapMs = std::max(longestGapMs, static_cast<double>(longest) / 1e6);
    }
    state.counters["recordings"] = count;
    state.counters["longest_gap_ms"] = longestGapMs;
    state.counters["open_call_ms"] = longestCallMs;
    state.counters["row_steps"] = rowSteps;
    state.counters["progress_steps"] = progressSteps;
}
BENCHMARK(BM_WindowOpen)
    ->Args({1000, 60})
    ->Args({5000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    qputenv("XDG_CONFIG_HOME", PELLAM_BENCH_DIR "/config"); // the window's settings, not the user's
    return RunBenchmarksWithWindows(argc, argv);
}
