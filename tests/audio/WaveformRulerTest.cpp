#include "audio/WaveformRuler.h"
#include "audio/WaveformView.h"

#include <gtest/gtest.h>

using namespace pellam;

// Labels are written as the recording list writes durations, seconds rounded halves to even.
TEST(WaveformRuler, LabelsStepsAndTicks)
{
    const std::pair<double, const char*> labels[] = {{0, "00:00"}, {5000, "00:05"}, {59499, "00:59"}, {59500, "01:00"},
        {59999, "01:00"}, {110000, "01:50"}, {5999499, "99:59"}, {6000000, "100:00"}, {7500000, "125:00"}};
    for (const auto& [ms, text] : labels)
        EXPECT_EQ(RulerLabel(ms), text) << ms;

    // 80 s across 800 pixels is 10 pixels a second: 5 s ticks lie exactly 50
    // apart, the next spacing after 10 s is 15 s, an hour wants 5 minutes, and
    // nothing fits a span beyond reach.
    EXPECT_EQ(std::tuple(RulerStepMs(2000, 800, 60), RulerStepMs(80000, 800, 50), RulerStepMs(80000, 800, 51),
                  RulerStepMs(80000, 800, 101), RulerStepMs(3600000, 800, 60), RulerStepMs(1e9, 100, 60)),
        std::tuple(1000, 5000, 10000, 15000, 300000, 36000000));
    EXPECT_EQ(RulerTicks(22500, 40000, 5000), (std::vector<std::int64_t> {25000, 30000, 35000}));
}

// The panel's tests zoom around the pointer and page; here the edges.
TEST(WaveformView, StaysInsideTheRecordingAndNoShorterThanTwoSeconds)
{
    using View = std::pair<double, double>;
    WaveformView v;
    v.Reset(80000);
    EXPECT_FALSE(v.ZoomAround(30000, 2) || v.Follow(90000)); // whole already, never paging
    v.ZoomAround(30000, 0.001);
    EXPECT_EQ(View(v.Start(), v.End()), View(29250, 31250));
    v.Pan(-1e6);
    EXPECT_EQ(View(v.Start(), v.End()), View(0, 2000));
    // It pages once the position reaches its end, the position then a tenth in.
    EXPECT_FALSE(v.Follow(1999));
    EXPECT_TRUE(v.Follow(2000));
    EXPECT_EQ(View(v.Start(), v.End()), View(1800, 3800));
    v.Follow(90000);
    EXPECT_EQ(View(v.Start(), v.End()), View(78000, 80000));
    // A new length: a zoomed view keeps its span inside it, a whole one stays whole.
    v.SetDuration(50000);
    EXPECT_EQ(View(v.Start(), v.End()), View(48000, 50000));
    v.SetDuration(1000);
    v.SetDuration(60000);
    EXPECT_EQ(View(v.Start(), v.End()), View(0, 60000));
}
