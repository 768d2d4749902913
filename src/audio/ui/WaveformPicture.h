#pragma once
// The waveform picture of the playback panel (PlayGRFX): a picture kept in an
// image, drawn in a logical scale the panel chooses (12 × 6 for the grid, the
// recording's milliseconds × 70000 once a waveform is drawn). The picture
// shows a view of the scale (SetView): everything is drawn through it and
// mouse positions come back through it, so a pixel stands for the same time
// whether drawn or clicked. A strip along the bottom holds the time ruler;
// the waveform has the rest. The position cursor is drawn by exclusive-or of
// pixel values, so drawing it a second time at the same place restores what
// was under it.
#include "audio/WaveformTrace.h"

#include <QFont>
#include <QImage>
#include <QWidget>

#include <QString>

#include <optional>
#include <span>
#include <vector>

namespace pellam {

// An examiner's mark on the recording shown: its moment and note.
struct WaveformTick {
    double ms = 0;
    QString note;
};

class WaveformPicture : public QWidget {
    Q_OBJECT
public:
    explicit WaveformPicture(QWidget* parent = nullptr);

    // The view becomes the whole width.
    void SetScale(double width, double height);
    double ScaleWidth() const { return m_scaleW; }
    double ScaleHeight() const { return m_scaleH; }
    // The part of the scale shown across the picture, [start, end).
    void SetView(double start, double end);

    // Clears to the background; the scale is kept.
    void Clear();
    // Clears, sets the scale to 12 × 6 and draws the grid lines.
    void DrawGrid();
    // Clears and draws what lies under a recording's waveform in the view:
    // the A-B loop region (a single line for A alone), a grid whose columns
    // are the ruler's ticks, the time ruler, and the examiner's marks. The scale is ms.
    void DrawBackdrop(std::optional<double> loopA, std::optional<double> loopB);
    // Lines from `from` through the points, whose x runs over `width` for the
    // whole scale; only the lines that reach the view are drawn.
    void DrawTracePoints(std::span<const TracePoint> points, TracePoint from, double width);
    // The examiner's marks of the recording shown, drawn with the backdrop.
    void SetTicks(std::vector<WaveformTick> ticks);
    const std::vector<WaveformTick>& Ticks() const { return m_ticks; }
    // The mark drawn within a few pixels of pixel column px, the nearest.
    std::optional<std::size_t> TickNear(double px) const;
    // Inverts the cursor colour's bits along a 2-pixel-wide vertical line at x.
    void XorCursor(double x);

    const QImage& image() const { return m_image; }
    int ToPixelX(double x) const;
    double ToScaleX(double px) const;

signals:
    // Mouse events, x in scale units.
    void pressed(double x, Qt::MouseButton button);
    void moved(double x, Qt::MouseButtons buttons);
    void released(double x);
    void doubleClicked();
    // The wheel turned with the pointer at x; angleDelta as Qt gives it.
    void wheeled(double x, QPoint angleDelta, Qt::KeyboardModifiers modifiers);
    // The picture has a new size and shows only what was drawn before, in its corner.
    void resized();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    double PixelX(double x) const;
    double PixelY(double y, double height) const;
    int WaveHeight() const;

    QImage m_image;
    QFont m_rulerFont;
    int m_rulerHeight = 0;
    double m_scaleW = 12;
    double m_scaleH = 6;
    double m_viewStart = 0;
    double m_viewEnd = 12;
    std::vector<WaveformTick> m_ticks; // by time
};

} // namespace pellam
