// The timeline window painting a day of a large incident offscreen into a
// picture of a big window's size: 5000 recordings and 100 000 dated entries,
// at the whole day, an hour, a minute and ten seconds across. Beside each
// paint, the floor: filling the same picture once, measured in the same run.
#include "OffscreenMain.h"
#include "base/Prompter.h"
#include "workbench/ui/TimelineWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

namespace {

using namespace pellam;

class SilentPrompter final : public Prompter {
public:
    void Show(const Message&) override { }
    void Beep() override { }
};

constexpr LocalSeconds kDay = 1'764'892'800; // a midnight
const QSize kPicture(1600, 700);

// Recordings of one to five minutes stacked on the first free row, and
// entries spread over the day, every tenth Main Log entry a notation.
std::shared_ptr<const Timeline> BusyDay()
{
    auto t = std::make_shared<Timeline>();
    t->start = kDay;
    t->end = kDay + 86400;
    std::mt19937 random(4711);
    std::vector<TimelineEvent> recordings;
    for (int i = 0; i < 5000; ++i) {
        TimelineEvent e;
        e.lane = TimelineLane::Recording;
        e.time = kDay + static_cast<LocalSeconds>(random() % 86000);
        e.duration = 60 + static_cast<int>(random() % 240);
        if (i % 50 == 0)
            e.duration.reset();
        e.recording = "rec" + std::to_string(i) + ".mp3";
        recordings.push_back(e);
    }
    std::sort(recordings.begin(), recordings.end(), [](const auto& a, const auto& b) { return *a.time < *b.time; });
    std::vector<LocalSeconds> rowEnds;
    for (TimelineEvent& e : recordings) {
        const LocalSeconds end = *e.time + e.duration.value_or(1);
        auto free = std::find_if(rowEnds.begin(), rowEnds.end(), [&](LocalSeconds r) { return r <= *e.time; });
        if (free == rowEnds.end())
            free = rowEnds.insert(rowEnds.end(), 0);
        *free = end;
        e.row = static_cast<int>(free - rowEnds.begin());
    }
    t->recordingRows = static_cast<int>(rowEnds.size());
    std::vector<TimelineEvent> all = recordings;
    const TimelineLane lanes[]
        = {TimelineLane::Main, TimelineLane::Main, TimelineLane::Main, TimelineLane::Main, TimelineLane::Main,
            TimelineLane::Main, TimelineLane::Noc, TimelineLane::Noc, TimelineLane::Admin, TimelineLane::Text};
    for (int i = 0; i < 100000; ++i) {
        TimelineEvent e;
        e.lane = lanes[i % 10];
        e.time = kDay + static_cast<LocalSeconds>(random() % 86400);
        e.text = "Entry " + std::to_string(i);
        if (e.lane == TimelineLane::Main && i % 10 == 0) {
            e.recording = recordings[random() % recordings.size()].recording;
            e.offset = 30;
        }
        all.push_back(e);
    }
    std::stable_sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return *a.time < *b.time; });
    t->events = std::move(all);
    return t;
}

void BM_Paint(benchmark::State& state)
{
    static const auto day = BusyDay();
    SilentPrompter prompter;
    TimelineWindow window({day, LocaleFormats {}, "4711", {}, {}}, prompter);
    TimelineView* view = window.view();
    view->resize(kPicture);
    const double across = static_cast<double>(state.range(0));
    view->ZoomAt(86400 / across, TimelineView::kLabelWidth + (kPicture.width() - TimelineView::kLabelWidth) / 2.0);
    QImage picture(kPicture, QImage::Format_RGB32);
    QElapsedTimer floor;
    double floorMs = 0;
    for (auto _ : state) {
        floor.start();
        picture.fill(Qt::white);
        floorMs += static_cast<double>(floor.nsecsElapsed()) / 1e6;
        QPainter painter(&picture);
        view->Render(painter, kPicture);
    }
    state.counters["floor_ms"] = floorMs / static_cast<double>(state.iterations());
    state.counters["seconds_across"] = view->scale().Seconds();
}
// Taking the model: the lanes sorted apart and the notations found on their bars.
void BM_TakeModel(benchmark::State& state)
{
    static const auto day = BusyDay();
    SilentPrompter prompter;
    TimelineWindow window({nullptr, LocaleFormats {}, "4711", {}, {}}, prompter);
    for (auto _ : state)
        window.SetTimeline(day);
}
BENCHMARK(BM_TakeModel)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_Paint)->Arg(86400)->Arg(3600)->Arg(60)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarksWithWindows(argc, argv);
}
