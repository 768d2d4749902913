#pragma once
// The incident on one horizontal time axis, a lane each for the recordings,
// the Main Log, the NOC and ADMIN logs and the conversations. Painted from the
// timeline model, only what is in view: events are found by time with binary
// searches and marks that would fall on the same pixel are drawn once. Wheel
// and Ctrl+=/Ctrl+- zoom around the pointer, dragging pans.
#include "workbench/Timeline.h"
#include "workbench/TimelineScale.h"
#include "workspace/LocaleFormats.h"

#include <QWidget>

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace pellam {

// A mark under a point of the view: the event, and whether it is a
// notation's mark drawn on its recording's bar rather than in its own lane.
struct TimelineHit {
    std::size_t event = 0;
    bool onBar = false;
    bool operator==(const TimelineHit&) const = default;
};

// An examiner's mark on a lane at a moment, and what its tooltip says.
struct TimelineNote {
    TimelineLane lane = TimelineLane::Main;
    LocalSeconds time = 0;
    QString text;
};

// A Main Log notation with the recording and offset a double-click plays.
bool IsNotation(const TimelineEvent& e);

class TimelineView final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kLabelWidth = 96;
    static constexpr int kAxisHeight = 30;
    static constexpr int kLaneHeight = 34;
    static constexpr int kHatchedWidth = 10; // a recording of unknown length
    static constexpr int kPick = 3; // pixels either side a click still hits

    TimelineView(const LocaleFormats& formats, QWidget* parent = nullptr);

    void SetTimeline(const Timeline* timeline);
    void SetPlayhead(const std::string& recording, std::optional<double> positionMs);
    // The examiner's marks, drawn as flags along the top of their lanes.
    void SetNotes(std::vector<TimelineNote> notes);
    // The mark whose flag is under a point, nothing when none is.
    std::optional<std::size_t> NoteAt(QPointF point) const;
    const std::vector<TimelineNote>& notes() const { return m_notes; }
    TimelineScale& scale() { return m_scale; }
    const TimelineScale& scale() const { return m_scale; }

    // Where each lane is drawn, in the view's coordinates.
    QRectF LaneRect(TimelineLane lane) const;
    // The height of one row of the Recordings lane.
    double RowHeight() const;
    // The centre of an event's mark (a bar's middle; a notation on its bar
    // when onBar), nothing when it is not in view or has no time.
    std::optional<QPointF> PointOf(std::size_t event, bool onBar = false) const;
    std::optional<TimelineHit> HitAt(QPointF point) const;
    // The playhead's x, nothing when none is drawn.
    std::optional<double> PlayheadX() const;
    // The tooltip of an event: its time in the locale's patterns and its text.
    QString Describe(std::size_t event) const;

    // Paints the view at `size` (the screen, a picture, a printout).
    void Render(QPainter& painter, QSize size) const;

    void ZoomAt(double factor, double x);

signals:
    void scaleChanged();
    void hit(TimelineHit hit, double time);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Mark {
        double time;
        std::size_t event;
    };
    struct Bar {
        double start;
        double end; // start when the length is unknown
        std::size_t event;
        int row;
    };
    double PlotWidth(QSize size) const;
    double XAt(double t, QSize size) const;
    void DrawAxis(QPainter& p, QSize size) const;
    void DrawBars(QPainter& p, QSize size) const;
    void DrawMarks(
        QPainter& p, QSize size, const std::vector<Mark>& marks, double top, double height, const QColor& colour) const;
    const Bar* BarOf(const std::string& recording) const;
    void DrawNotes(QPainter& p, QSize size) const;
    std::optional<std::size_t> NearestMark(const std::vector<Mark>& marks, double x, QSize size) const;

    const LocaleFormats m_formats;
    const Timeline* m_timeline = nullptr;
    bool m_dated = false; // anything has a place on the axis
    TimelineScale m_scale;
    std::vector<Bar> m_bars; // by start
    std::unordered_map<std::string, std::size_t> m_barOf; // a recording's bar by its file name
    double m_longestBar = 0;
    std::vector<Mark> m_lanes[5]; // the marks of each lane but the first, by time
    // Notations on their recordings' bars, by moment; `row` is the bar's.
    std::vector<Bar> m_onBars;
    std::vector<TimelineNote> m_notes; // by time
    std::string m_playing;
    std::optional<double> m_playheadMs;
    std::optional<QPointF> m_pressAt;
    double m_lastDragX = 0;
};

} // namespace pellam
