#include "workbench/TimelineScale.h"

#include <algorithm>
#include <cmath>
#include <ctime>

namespace pellam {

TimelineScale::TimelineScale(LocalSeconds start, LocalSeconds end)
    : m_spanStart(static_cast<double>(start)),
      m_spanEnd(std::max(static_cast<double>(end), static_cast<double>(start) + kNarrowestSeconds)),
      m_first(m_spanStart), m_seconds(m_spanEnd - m_spanStart)
{ }

double TimelineScale::XOf(double t, double pixels) const
{
    return (t - m_first) * pixels / m_seconds;
}

double TimelineScale::TimeAt(double x, double pixels) const
{
    return m_first + x * m_seconds / std::max(1.0, pixels);
}

void TimelineScale::ZoomAt(double factor, double x, double pixels)
{
    if (!(factor > 0))
        return;
    const double anchor = TimeAt(x, pixels);
    m_seconds = std::clamp(m_seconds / factor, kNarrowestSeconds, m_spanEnd - m_spanStart);
    m_first = anchor - x * m_seconds / std::max(1.0, pixels);
    Clamp();
}

void TimelineScale::Pan(double seconds)
{
    m_first += seconds;
    Clamp();
}

void TimelineScale::ShowFrom(double first)
{
    m_first = first;
    Clamp();
}

void TimelineScale::Fit()
{
    m_first = m_spanStart;
    m_seconds = m_spanEnd - m_spanStart;
}

void TimelineScale::Clamp()
{
    m_first = std::clamp(m_first, m_spanStart, m_spanEnd - m_seconds);
}

std::int64_t TickStep(double pixelsPerSecond, double minPixels)
{
    static constexpr std::int64_t kSteps[] = {1, 2, 5, 10, 15, 30, 60, 2 * 60, 5 * 60, 10 * 60, 15 * 60, 30 * 60, 3600,
        2 * 3600, 3 * 3600, 6 * 3600, 12 * 3600, 86400};
    if (!(pixelsPerSecond > 0))
        return 86400;
    for (const std::int64_t step : kSteps)
        if (static_cast<double>(step) * pixelsPerSecond >= minPixels)
            return step;
    // The small allowance keeps a rounding error from adding a day.
    const double days = std::ceil(minPixels / (pixelsPerSecond * 86400) - 1e-9);
    return static_cast<std::int64_t>(days) * 86400;
}

std::vector<LocalSeconds> TicksInView(const TimelineScale& scale, std::int64_t step)
{
    std::vector<LocalSeconds> ticks;
    if (step <= 0)
        return ticks;
    const auto first = static_cast<LocalSeconds>(std::ceil(scale.First()));
    // Rounded up to a multiple of step, negative moments (before 1970) too.
    LocalSeconds t = first % step == 0 ? first : first - (((first % step) + step) % step) + step;
    for (; static_cast<double>(t) <= scale.Last(); t += step)
        ticks.push_back(t);
    return ticks;
}

std::string LocalMomentText(LocalSeconds t, const std::string& pattern, const LocaleFormats& formats)
{
    // Local seconds count the calendar like UTC seconds do, so the UTC
    // breakdown of the same number is the wall-clock date and time.
    const auto clock = static_cast<std::time_t>(t);
    std::tm parts {};
    gmtime_r(&clock, &parts);
    return FormatDateTime(parts, pattern, formats);
}

} // namespace pellam
