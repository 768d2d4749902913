#include "workbench/TimelineScale.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

constexpr LocalSeconds kStart = 1'764'900'000; // an hour-long incident
constexpr LocalSeconds kEnd = kStart + 3600;

TEST(TimelineScale, ZoomKeepsThePointerMomentAndStopsAtTheBounds)
{
    struct Case {
        double factor, x, first, seconds;
    };
    const Case cases[] = {
        {2, 0, 0, 1800}, // at the left edge the start stays
        {2, 1000, 1800, 1800}, // at the right edge the end stays
        {2, 500, 900, 1800}, // around the middle
        {1000, 500, 1795, 10}, // no deeper than ten seconds across
        {0.5, 500, 0, 3600}, // no wider than the whole span
        {0, 500, 0, 3600}, // a nonsense factor changes nothing
    };
    for (const auto& c : cases) {
        TimelineScale s(kStart, kEnd);
        s.ZoomAt(c.factor, c.x, 1000);
        EXPECT_DOUBLE_EQ(s.First() - kStart, c.first) << c.factor << " at " << c.x;
        EXPECT_DOUBLE_EQ(s.Seconds(), c.seconds) << c.factor << " at " << c.x;
    }
    // Zoomed in near the end, zooming out again keeps the view inside the span.
    TimelineScale s(kStart, kEnd);
    s.ZoomAt(100, 990, 1000);
    EXPECT_NEAR(s.TimeAt(990, 1000), kStart + 3564, 1e-6);
    s.ZoomAt(0, 0, 1000); // nonsense changes nothing here either
    EXPECT_DOUBLE_EQ(s.Seconds(), 36);
    s.ZoomAt(0.25, 0, 1000);
    EXPECT_DOUBLE_EQ(s.Last(), kEnd);
    s.Fit();
    EXPECT_TRUE(s.Whole());
    EXPECT_DOUBLE_EQ(s.XOf(kEnd, 1000), 1000);
}

TEST(TimelineScale, PanAndShowFromStayWithinTheSpan)
{
    TimelineScale s(kStart, kEnd);
    s.ZoomAt(4, 0, 800); // 900 s from the start
    s.Pan(-10);
    EXPECT_DOUBLE_EQ(s.First(), kStart);
    s.Pan(2700);
    EXPECT_DOUBLE_EQ(s.Last(), kEnd);
    s.Pan(1);
    EXPECT_DOUBLE_EQ(s.Last(), kEnd);
    s.ShowFrom(kStart + 100);
    EXPECT_DOUBLE_EQ(s.First(), kStart + 100);
    s.ShowFrom(kEnd);
    EXPECT_DOUBLE_EQ(s.First(), kEnd - 900);
    // The whole span in view does not move at all.
    s.Fit();
    s.Pan(50);
    EXPECT_DOUBLE_EQ(s.First(), kStart);
    // A span of one moment is widened to the deepest zoom.
    EXPECT_DOUBLE_EQ(TimelineScale(kStart, kStart).Seconds(), TimelineScale::kNarrowestSeconds);
}

TEST(TimelineScale, TickStepsFromSecondsToDays)
{
    const std::pair<double, std::int64_t> cases[] = {
        {100, 1}, // ten seconds across 1000 pixels
        {80, 1}, // exactly 80 pixels a second
        {79.9, 2}, {1.0, 120}, {100.0 / 86400, 86400}, {79.0 / 86400, 2 * 86400}, // beyond a day: whole days
        {1.0 / 86400, 80 * 86400}, {80.0 / (86400 * 13), 13 * 86400}, // the division lands a hair above 13
        {0, 86400}, // a view of no width
    };
    for (const auto& [pps, step] : cases)
        EXPECT_EQ(TickStep(pps, 80), step) << pps;
}

TEST(TimelineScale, TicksAreRoundMomentsInView)
{
    TimelineScale s(MakeLocalSeconds(2026, 12, 5, 14, 0, 0).value(), MakeLocalSeconds(2026, 12, 7, 2, 0, 0).value());
    const auto days = TicksInView(s, 86400);
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(IsoText(days[0]), "2026-12-06T00:00:00");
    s.ZoomAt(s.Seconds() / 25, 0, 1000); // 14:00:00 to 14:00:25
    const auto seconds = TicksInView(s, 5);
    EXPECT_EQ(seconds.size(), 6u);
    EXPECT_EQ(IsoText(seconds.back()), "2026-12-05T14:00:25");
    EXPECT_TRUE(TicksInView(s, 0).empty());
    // Before 1970 the moments still round up.
    EXPECT_EQ(TicksInView(TimelineScale(-7, 10), 5).front(), -5);

    LocaleFormats f;
    EXPECT_EQ(LocalMomentText(seconds.back(), f.ShortDate + " " + f.LongTime, f), "12/5/2026 2:00:25 PM");
}

} // namespace
} // namespace pellam
