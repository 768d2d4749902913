#pragma once
// The part of a recording the waveform shows, [Start, End) in ms: the whole
// recording when zoomed out, down to kShortestViewMs across the picture when
// zoomed in, always inside the recording.
namespace pellam {

inline constexpr double kShortestViewMs = 2000;
// Where a view that pages after the position puts it: this share of the view from its left edge.
inline constexpr double kFollowLead = 0.1;

class WaveformView {
public:
    // Zoomed out on a recording of durationMs.
    void Reset(double durationMs);
    // The recording's length is now durationMs: a zoomed-out view stays
    // zoomed out, a zoomed one keeps its place as far as the length allows.
    void SetDuration(double durationMs);

    double Start() const { return m_start; }
    double End() const { return m_start + m_span; }
    bool ZoomedIn() const { return m_span < m_duration; }

    // The view's length times factor (below 1 zooms in), the time anchorMs
    // staying at the same place across the view unless an end of the
    // recording is reached. Whether the view changed.
    bool ZoomAround(double anchorMs, double factor);
    // The view moved by deltaMs, stopping at the ends. Whether it changed.
    bool Pan(double deltaMs);
    // A zoomed view that does not hold positionMs pages to it, positionMs
    // then lying kFollowLead of the view from its left edge. Whether it changed.
    bool Follow(double positionMs);

private:
    bool Place(double start, double span);

    double m_duration = 0;
    double m_start = 0;
    double m_span = 0;
};

} // namespace pellam
