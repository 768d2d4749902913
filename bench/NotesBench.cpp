// The examiner's notes under load.
//
//  - MarkWhilePlaying/N: the main window (offscreen) plays a one-minute
//    recording on the real sound server while marks are made as M and Enter
//    make them, N marks in the store already (the Notes window open, so its
//    list is read again each time). The time is the mark's, from Enter to the
//    waveform's ticks redrawn: the store's transaction with its sync to disk,
//    the marks read back, the list and the ticks. The sound must not stop:
//    the test sink's monitor is heard through parec, and "underruns" counts
//    the silences of more than 5 ms in the tone while marks were made
//    ("longest_gap_ms" the longest; "heard_s" the tone heard meanwhile),
//    beside the same over as many stretches without marks ("underruns_idle");
//    a loop held up for 400 ms shows as one underrun of about 270 ms a mark. "longest_turn_ms" is the longest the
//    event loop (which feeds the sound device) went without a turn, beside
//    the device's buffer ("sink_buffer_ms", 200).
//  - ListMarks: 10 000 marks read from the store into the Notes window's
//    list, sorted and painted; and placed on the timeline and painted there.
//    Goal: under 100 ms each. The floor of the same run is the store's own
//    read of the 10 000 rows ("StoreRead").
//
// MarkWhilePlaying needs a sound server: run between start_services and
// stop_services of scripts/lib/services.sh. Times are manual (UseManualTime).
#include "GeneratedIncident.h"
#include "OffscreenMain.h"
#include "app/DesktopShell.h"
#include "app/Main.h"
#include "app/RecordingListController.h"
#include "app/Workbench.h"
#include "audio/ui/PlaybackPanel.h"
#include "notes/IncidentNotes.h"
#include "notes/MarkPlace.h"
#include "notes/ui/NotesWindow.h"
#include "support/SinkListener.h"
#include "workbench/ui/TimelineView.h"
#include "workspace/WorkFolder.h"
#include "workspace/ui/RecordingListView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>

namespace {

using namespace pellam;
using Clock = std::chrono::steady_clock;

constexpr double kSinkBufferMs = 200; // QtWaveBackend's

class QuietPrompter final : public Prompter {
public:
    void Show(const Message&) override { ++shown; }
    void Beep() override { }
    int shown = 0;
};

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// Runs the event loop for `ms`, and gives the longest turn of the loop.
double Watch(WAVPlayer& player, int ms)
{
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    auto lastTurn = Clock::now();
    double longestTurn = 0;
    QTimer turns;
    turns.start(1);
    while (Clock::now() < until && player.Status() == PlayerStatus::Playing) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const auto now = Clock::now();
        longestTurn = std::max(longestTurn, Ms(now - lastTurn));
        lastTurn = now;
    }
    return longestTurn;
}

// What the test sink plays, heard through its monitor: the silent stretches
// in the middle of the tone, each counted for the stretch of the benchmark
// (with or without marks) in which it was heard.
class SinkGaps {
public:
    static constexpr int kRate = 44100;
    bool Start() { return m_listener.Start(); }
    // 0: not counted, 1: no marks, 2: marks.
    void SetStretch(int stretch) { m_stretch = stretch; }
    int Gaps(int stretch) const { return m_gaps[stretch]; }
    double LongestMs(int stretch) const { return static_cast<double>(m_longest[stretch]) * 1000.0 / kRate; }
    // Seconds of the tone heard (its samples away from zero).
    double HeardSeconds(int stretch) const { return static_cast<double>(m_heard[stretch]) / kRate; }

private:
    void Heard(std::span<const std::int16_t> samples)
    {
        for (const std::int16_t v : samples) {
            if (std::abs(v) < 200) {
                ++m_quiet;
                continue;
            }
            ++m_heard[m_stretch];
            // A silence longer than the tone's slowest half wave is missing sound.
            if (m_quiet > kRate / 200) {
                ++m_gaps[m_stretch];
                m_longest[m_stretch] = std::max(m_longest[m_stretch], m_quiet);
            }
            m_quiet = 0;
        }
    }

    int m_stretch = 0;
    std::int64_t m_quiet = 0;
    int m_gaps[3] = {};
    std::int64_t m_heard[3] = {};
    std::int64_t m_longest[3] = {};
    pellam::test::SinkListener m_listener {kRate, [this](auto samples) { Heard(samples); }}; // last
};

Mark Filler(int i)
{
    Mark m;
    m.on = i % 3 == 0 ? MarkOn::Document : MarkOn::Recording;
    m.recording = "rec00001.mp3";
    m.offsetMs = (i * 37) % 60000;
    m.source = "MainLog";
    m.position = i * 11;
    m.note = "note " + std::to_string(i) + " on what was said";
    m.examiner = "Bench";
    m.createdMs = m.changedMs = 1'700'000'000'000 + i * 1000LL;
    return m;
}

void Fill(const std::string& path, int count)
{
    auto store = std::move(NoteStore::Open(path)).value();
    for (int i = 0; i < count; ++i)
        store->Add(Filler(i));
}

void BM_MarkWhilePlaying(benchmark::State& state)
{
    if (qEnvironmentVariableIsEmpty("PELLAM_SOUND_SERVER")) {
        state.SkipWithError("no sound server: run between start_services and stop_services");
        return;
    }
    const std::string evt = bench::GeneratedIncident(1);
    if (evt.empty()) {
        state.SkipWithError("cannot generate the incident (is lame installed?)");
        return;
    }
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    QuietPrompter prompter;
    DesktopShell shell(prompter);
    Main window(prompter, shell);
    window.Form_Load(false);
    window.show();
    IncidentModel key;
    key.newLoad.EventFile = evt;
    key.CaseNumber = "B-1";
    std::filesystem::create_directories(OwnFolderPath().str());
    Fill(NotesPathOf(key, OwnFolderPath()).value(), static_cast<int>(state.range(0)));
    window.OpenEventFile(QString::fromStdString(evt));
    NotesSession& notes = window.findChild<Workbench*>()->notes();
    if (!WaitFor([&] { return !window.Loading() && notes.Available() && notes.SumsRead(); })) {
        state.SkipWithError("the incident did not open with its notes");
        return;
    }
    window.Choose(MenuEntry::Notes);
    // The waveform is drawn again a moment after the window's last size
    // change, which loads the recording anew: that is over before it plays.
    QElapsedTimer settle;
    settle.start();
    WaitFor([&] { return settle.elapsed() > 600; });
    auto* list = window.findChild<RecordingListView*>("LV1");
    list->setCurrentIndex(list->model()->index(0, 0));
    window.list().DoubleClick();
    WAVPlayer& player = window.player();
    if (!WaitFor([&] { return player.Status() == PlayerStatus::Playing && player.Position() > 1000; })) {
        std::fprintf(stderr, "status %d at %d ms: %s\n", static_cast<int>(player.Status()), player.Position(),
            window.panel().Status().text.c_str());
        state.SkipWithError("the recording did not play");
        return;
    }
    SinkGaps sink;
    if (!sink.Start()) {
        state.SkipWithError("parec cannot listen to the test sink");
        return;
    }
    Watch(player, 400); // the monitor's first samples, and the stream settled
    // As many stretches with no mark: the gaps the sink has on its own.
    sink.SetStretch(1);
    for (int i = 0; i < state.max_iterations; ++i)
        Watch(player, 400);
    sink.SetStretch(2);
    double turn = 0;
    QLineEdit* field = window.panel().MarkField();
    for (auto _ : state) {
        // The mark is made inside the stretch watched, as a key press would come.
        double took = 0;
        QTimer::singleShot(100, [&] {
            window.panel().BeginMark();
            field->setText("heard here");
            const auto start = Clock::now();
            emit field->returnPressed();
            took = std::chrono::duration<double>(Clock::now() - start).count();
        });
        turn = std::max(turn, Watch(player, 400));
        state.SetIterationTime(took);
        if (player.Status() != PlayerStatus::Playing) {
            state.SkipWithError("the recording stopped playing");
            return;
        }
    }
    Watch(player, 100); // what the monitor still had on its way
    sink.SetStretch(0);
    player.PlaybackStop();
    state.counters["longest_turn_ms"] = turn;
    state.counters["sink_buffer_ms"] = kSinkBufferMs;
    state.counters["underruns"] = sink.Gaps(2);
    state.counters["longest_gap_ms"] = sink.LongestMs(2);
    state.counters["underruns_idle"] = sink.Gaps(1);
    state.counters["heard_s"] = sink.HeardSeconds(2);
    state.counters["marks"] = static_cast<double>(notes.marks().size());
    state.counters["messages"] = prompter.shown;
}
BENCHMARK(BM_MarkWhilePlaying)->Arg(0)->Arg(10000)->Iterations(12)->UseManualTime()->Unit(benchmark::kMillisecond);

// A session on an incident of one recording whose store holds 10 000 marks.
struct TenThousand {
    QTemporaryDir dir;
    IncidentModel model;
    QuietPrompter prompter;
    NotesSession session {prompter};

    TenThousand()
    {
        const std::string evt = dir.filePath("bench.evt").toStdString();
        std::ofstream(evt) << "bench";
        model.newLoad.EventFile = evt;
        model.CaseNumber = "B-1";
        model.paths.Evidence = FolderPath(dir.filePath("evidence").toStdString());
        model.paths.Temp = FolderPath(dir.path().toStdString());
        Fill(NotesPathOf(model, model.paths.Temp).value(), 10000);
        session.Open(model);
    }
};

void BM_ListMarks_NotesWindow(benchmark::State& state)
{
    TenThousand marks;
    NotesWindow window(marks.session, "B-1");
    window.show();
    for (auto _ : state) {
        const auto start = Clock::now();
        marks.session.Refresh();
        window.list()->viewport()->repaint();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.counters["rows"] = window.proxy()->rowCount();
    state.SetLabel("goal: under 100 ms");
}
BENCHMARK(BM_ListMarks_NotesWindow)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ListMarks_Timeline(benchmark::State& state)
{
    TenThousand marks;
    Timeline timeline;
    TimelineEvent recording;
    recording.lane = TimelineLane::Recording;
    recording.recording = "rec00001.mp3";
    recording.time = MakeLocalSeconds(2026, 12, 5, 9, 30, 0);
    recording.duration = 60;
    timeline.events.push_back(recording);
    timeline.start = recording.time;
    timeline.end = *recording.time + 3600;
    IncidentTexts texts;
    IncidentDocument log;
    log.source = "MainLog";
    for (int i = 0; i < 2000; ++i)
        log.entries.push_back({i * 60, i * 60 + 20, i * 60 + 60, *recording.time + i});
    texts.documents.push_back(log);
    TimelineView view(LocaleFormats {});
    view.resize(1200, 300);
    view.SetTimeline(&timeline);
    QImage picture(view.size(), QImage::Format_RGB32);
    std::size_t placed = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const auto& all = marks.session.marks();
        std::vector<TimelineNote> notes;
        for (const TimelinePlace& place : TimelinePlaces(all, timeline, texts))
            notes.push_back({place.lane, place.time, QString::fromStdString(all[place.mark].note)});
        placed = notes.size();
        view.SetNotes(std::move(notes));
        QPainter painter(&picture);
        view.Render(painter, picture.size());
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.counters["placed"] = static_cast<double>(placed);
    state.SetLabel("goal: under 100 ms");
}
BENCHMARK(BM_ListMarks_Timeline)->UseManualTime()->Unit(benchmark::kMillisecond);

// The floor: the store's read of the same 10 000 rows, nothing shown.
void BM_ListMarks_StoreRead(benchmark::State& state)
{
    TenThousand marks;
    const std::string path = NotesPathOf(marks.model, marks.model.paths.Temp).value();
    auto own = std::move(NoteStore::Open(path)).value();
    std::size_t rows = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        rows = own->All().value().size();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_ListMarks_StoreRead)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarksWithWindows(argc, argv);
}
