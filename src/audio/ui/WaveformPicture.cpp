#include "audio/ui/WaveformPicture.h"

#include "base/Rounding.h"

#include <QMouseEvent>
#include <QPainter>

namespace pellam {
namespace {

const QColor kBackground(0, 0, 0);
const QColor kGridColour(75, 75, 175);
const QColor kWaveColour(0, 255, 0);
constexpr QRgb kCursorBits = 0x00FF0000; // red, alpha untouched

} // namespace

WaveformPicture::WaveformPicture(QWidget* parent) : QWidget(parent)
{
    setObjectName("PlayGRFX");
    m_image = QImage(QSize(1, 1), QImage::Format_RGB32);
    m_image.fill(kBackground);
}

void WaveformPicture::SetScale(double width, double height)
{
    m_scaleW = width;
    m_scaleH = height;
}

QPointF WaveformPicture::ToPixelIn(double x, double y, double width, double height) const
{
    const double px = width > 0 ? x * m_image.width() / width : 0;
    const double py = height > 0 ? y * m_image.height() / height : 0;
    return {px, py};
}

int WaveformPicture::ToPixelX(double x) const
{
    return static_cast<int>(RoundToInt(ToPixel(x, 0).x()));
}

double WaveformPicture::ToScaleX(double px) const
{
    return m_image.width() > 0 ? px * m_scaleW / m_image.width() : 0;
}

void WaveformPicture::Clear()
{
    m_image.fill(kBackground);
    update();
}

void WaveformPicture::DrawGrid()
{
    Clear();
    SetScale(12, 6);
    QPainter p(&m_image);
    p.setPen(QPen(kGridColour, 1));
    for (int y = 1; y <= 6; ++y)
        p.drawLine(ToPixel(0, y), ToPixel(12, y));
    for (int x = 1; x <= 11; ++x)
        p.drawLine(ToPixel(x, 0), ToPixel(x, 6));
    update();
}

void WaveformPicture::DrawTracePoints(const std::vector<TracePoint>& points, TracePoint from, double width)
{
    QPainter p(&m_image);
    p.setPen(QPen(kWaveColour, 1));
    QPointF pen = ToPixelIn(static_cast<double>(from.x), from.y, width, kTraceHeight);
    for (const TracePoint& pt : points) {
        const QPointF next = ToPixelIn(static_cast<double>(pt.x), pt.y, width, kTraceHeight);
        p.drawLine(pen, next);
        pen = next;
    }
    update();
}

void WaveformPicture::XorCursor(double x)
{
    const int px = ToPixelX(x);
    for (int col = px; col <= px + 1; ++col) {
        if (col < 0 || col >= m_image.width())
            continue;
        for (int row = 0; row < m_image.height(); ++row) {
            auto* line = reinterpret_cast<QRgb*>(m_image.scanLine(row));
            line[col] ^= kCursorBits;
        }
    }
    update();
}

void WaveformPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, m_image);
}

void WaveformPicture::resizeEvent(QResizeEvent*)
{
    // The old picture stays in the corner until the panel redraws at the new size.
    QImage next(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    next.fill(kBackground);
    QPainter p(&next);
    p.drawImage(0, 0, m_image);
    p.end();
    m_image = next;
}

void WaveformPicture::mousePressEvent(QMouseEvent* event)
{
    emit pressed(ToScaleX(event->position().x()), event->button());
}

void WaveformPicture::mouseMoveEvent(QMouseEvent* event)
{
    emit moved(ToScaleX(event->position().x()), event->buttons());
}

void WaveformPicture::mouseReleaseEvent(QMouseEvent* event)
{
    emit released(ToScaleX(event->position().x()));
}

void WaveformPicture::mouseDoubleClickEvent(QMouseEvent*)
{
    emit doubleClicked();
}

} // namespace pellam
