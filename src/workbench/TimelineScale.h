#pragma once
// The timeline window's axis as plain arithmetic: which part of the incident's
// span is in view, where a moment falls for a width in pixels, zoom around a
// pointer, pan, fit, and the step between the axis labels at the current zoom.
#include "workbench/LocalTime.h"
#include "workspace/LocaleFormats.h"

#include <string>
#include <vector>

namespace pellam {

class TimelineScale {
public:
    // The deepest zoom shows this many seconds across the window.
    static constexpr double kNarrowestSeconds = 10;

    // The whole span in view. A span shorter than the deepest zoom is widened
    // to it (an incident with one dated entry still has an axis).
    TimelineScale(LocalSeconds start = 0, LocalSeconds end = 0);

    double SpanStart() const { return m_spanStart; }
    double SpanEnd() const { return m_spanEnd; }
    double First() const { return m_first; } // the moment at the left edge
    double Seconds() const { return m_seconds; } // seconds across the view
    double Last() const { return m_first + m_seconds; }
    bool Whole() const { return m_seconds >= m_spanEnd - m_spanStart; }

    // Position of moment t within a view `pixels` wide, and back.
    double XOf(double t, double pixels) const;
    double TimeAt(double x, double pixels) const;

    // Zooms in by `factor` (out when below 1) keeping the moment under x where
    // it is, between the whole span and kNarrowestSeconds across.
    void ZoomAt(double factor, double x, double pixels);
    // Moves the view by seconds (positive: later), kept within the span.
    void Pan(double seconds);
    // Puts `first` at the left edge, kept within the span.
    void ShowFrom(double first);
    void Fit();

private:
    void Clamp();

    double m_spanStart;
    double m_spanEnd;
    double m_first;
    double m_seconds;
};

// Seconds between axis labels: the smallest step of the round ones (1 s up
// to a day, then whole days) that leaves at least `minPixels` between two
// labels when a second takes `pixelsPerSecond`.
std::int64_t TickStep(double pixelsPerSecond, double minPixels);

// The label moments of the view: multiples of `step` (so days start at
// midnight) from the left edge to the right one.
std::vector<LocalSeconds> TicksInView(const TimelineScale& scale, std::int64_t step);

// A moment written by a pattern of LocaleFormats ("M/d/yyyy", "h:mm:ss tt").
std::string LocalMomentText(LocalSeconds t, const std::string& pattern, const LocaleFormats& formats);

} // namespace pellam
