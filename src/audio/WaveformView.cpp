#include "audio/WaveformView.h"

#include <algorithm>

namespace pellam {

void WaveformView::Reset(double durationMs)
{
    m_duration = std::max(durationMs, 0.0);
    m_start = 0;
    m_span = m_duration;
}

void WaveformView::SetDuration(double durationMs)
{
    if (!ZoomedIn()) {
        Reset(durationMs);
        return;
    }
    m_duration = std::max(durationMs, 0.0);
    Place(m_start, m_span);
}

bool WaveformView::ZoomAround(double anchorMs, double factor)
{
    const double span = std::clamp(m_span * factor, std::min(kShortestViewMs, m_duration), m_duration);
    const double share = m_span > 0 ? (anchorMs - m_start) / m_span : 0;
    return Place(anchorMs - share * span, span);
}

bool WaveformView::Pan(double deltaMs)
{
    return Place(m_start + deltaMs, m_span);
}

bool WaveformView::Follow(double positionMs)
{
    if (!ZoomedIn() || (positionMs >= m_start && positionMs < End()))
        return false;
    return Place(positionMs - kFollowLead * m_span, m_span);
}

bool WaveformView::Place(double start, double span)
{
    span = std::min(span, m_duration);
    start = std::clamp(start, 0.0, m_duration - span);
    const bool changed = start != m_start || span != m_span;
    m_start = start;
    m_span = span;
    return changed;
}

} // namespace pellam
