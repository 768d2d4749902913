#pragma once
// The waveform picture of the playback panel (PlayGRFX): a picture kept in an
// image, drawn in a logical scale the panel chooses (12 × 6 for the grid, the
// file's records while tracing, milliseconds × 70000 afterwards). The
// position cursor is drawn by exclusive-or of pixel values, so drawing it a
// second time at the same place restores what was under it.
#include "audio/WaveformTrace.h"

#include <QImage>
#include <QWidget>

namespace pellam {

class WaveformPicture : public QWidget {
    Q_OBJECT
public:
    explicit WaveformPicture(QWidget* parent = nullptr);

    void SetScale(double width, double height);
    double ScaleWidth() const { return m_scaleW; }
    double ScaleHeight() const { return m_scaleH; }

    // Clears to the background; the scale is kept.
    void Clear();
    // Clears, sets the scale to 12 × 6 and draws the grid lines.
    void DrawGrid();
    // Lines from `from` through the points, in a scale of width × 70000 for
    // this drawing only: the picture's own scale stays.
    void DrawTracePoints(const std::vector<TracePoint>& points, TracePoint from, double width);
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

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QPointF ToPixel(double x, double y) const { return ToPixelIn(x, y, m_scaleW, m_scaleH); }
    QPointF ToPixelIn(double x, double y, double width, double height) const;

    QImage m_image;
    double m_scaleW = 12;
    double m_scaleH = 6;
};

} // namespace pellam
