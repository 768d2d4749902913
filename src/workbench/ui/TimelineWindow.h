#pragma once
// The timeline window: the incident on one horizontal time axis, a lane each
// for the recordings, the Main Log, the NOC and ADMIN logs and the
// conversations. Painted from the timeline model, only what is in view:
// events are found by time with binary searches and marks that would fall on
// the same pixel are drawn once. Wheel and Ctrl+=/Ctrl+- zoom around the
// pointer, dragging and the scroll bar pan, "Fit" shows everything.
#include "richtext/ui/PrintView.h"
#include "workbench/Timeline.h"
#include "workbench/TimelineScale.h"
#include "workspace/LocaleFormats.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>

class QLabel;
class QPushButton;
class QScrollBar;

namespace pellam {

class Prompter;
class TimelineView;

// Asks for the file to save into, suggesting a name; "" when cancelled.
using SaveFileChooser = std::function<QString(const QString& suggested)>;

// What the timeline window reads: the model (none while the documents are
// still being read), the locale's date and time patterns, the case number
// for titles, the printer choice and the question for a picture's file.
struct TimelineWindowInput {
    std::shared_ptr<const Timeline> timeline;
    LocaleFormats formats;
    std::string caseNumber;
    PrinterChooser choosePrinter;
    SaveFileChooser chooseImageFile;
};

// A mark under a point of the view: the event, and whether it is a
// notation's mark drawn on its recording's bar rather than in its own lane.
struct TimelineHit {
    std::size_t event = 0;
    bool onBar = false;
    bool operator==(const TimelineHit&) const = default;
};

class TimelineWindow final : public QWidget {
    Q_OBJECT
public:
    TimelineWindow(TimelineWindowInput input, Prompter& prompter, QWidget* parent = nullptr);
    ~TimelineWindow() override;

    // The model, once the documents are read (the window opens without it).
    void SetTimeline(std::shared_ptr<const Timeline> timeline);
    const Timeline* timeline() const { return m_input.timeline.get(); }

    // The recording being played and the player's position in it; nothing
    // when nothing plays. The line is drawn on that recording's bar.
    void SetPlayhead(const QString& recording, std::optional<double> positionMs);

    TimelineView* view() const { return m_view; }
    QScrollBar* scrollBar() const { return m_scroll; }
    TimelineScale& scale();
    // The view drawn into a picture of its present size.
    QImage Picture() const;

    void Fit();
    // "Print…": a title line and the picture of what is shown.
    PrintOutcome Print();
    // "Export PNG…": the picture into the file the operator names.
    void ExportPng();

signals:
    // A notation's mark: its recording from its offset, with the lead-in a
    // notation gets (the log viewer's notationActivated).
    void notationActivated(const QString& recording, int second);
    // A recording's bar: the recording from the moment clicked.
    void recordingActivated(const QString& recording, int second);
    // A log entry's mark: the entry at its position in the document `source`.
    void entryActivated(const QString& source, int position);

private:
    void SyncScrollBar();

    TimelineWindowInput m_input;
    Prompter& m_prompter;
    TimelineView* m_view;
    QScrollBar* m_scroll;
    QLabel* m_waiting;
    QPushButton* m_fit;
    QPushButton* m_print;
    QPushButton* m_export;
};

// The painted area; the window's parts are its children.
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
    std::string m_playing;
    std::optional<double> m_playheadMs;
    std::optional<QPointF> m_pressAt;
    double m_lastDragX = 0;
};

} // namespace pellam
