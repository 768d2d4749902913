#include "audio/ui/WaveformPicture.h"

#include "audio/WaveformRuler.h"
#include "base/Rounding.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace pellam {
namespace {

const QColor kBackground(0, 0, 0);
const QColor kGridColour(75, 75, 175);
const QColor kWaveColour(0, 255, 0);
const QColor kRulerBackground(22, 22, 34);
const QColor kRulerText(185, 185, 205);
const QColor kLoopShade(70, 52, 0);
const QColor kLoopLine(255, 186, 0);
const QColor kTickColour(90, 200, 255);
// How far from a mark's line the pointer still finds it.
constexpr int kTickReach = 4;
constexpr QRgb kCursorBits = 0x00FF0000; // red, alpha untouched
constexpr int kRulerFontPixels = 9;
constexpr int kLabelGap = 3; // between a tick and its label
constexpr int kLabelSpacing = 16; // at least this much room between one label and the next tick
constexpr int kMinRowPixels = 6; // between the grid's horizontal lines
// Pixel columns further out than this are off the picture whatever its size;
// keeps the conversion to int in range when a short view meets a far time.
constexpr std::int64_t kFarPixels = 1 << 24;

} // namespace

WaveformPicture::WaveformPicture(QWidget* parent) : QWidget(parent)
{
    setObjectName("PlayGRFX");
    m_rulerFont = font();
    m_rulerFont.setPixelSize(kRulerFontPixels);
    m_rulerHeight = QFontMetrics(m_rulerFont).height() + 2;
    m_image = QImage(QSize(1, 1), QImage::Format_RGB32);
    m_image.fill(kBackground);
}

void WaveformPicture::SetScale(double width, double height)
{
    m_scaleW = width;
    m_scaleH = height;
    SetView(0, width);
}

void WaveformPicture::SetView(double start, double end)
{
    m_viewStart = start;
    m_viewEnd = end;
}

int WaveformPicture::WaveHeight() const
{
    return std::max(m_image.height() - m_rulerHeight, 1);
}

double WaveformPicture::PixelX(double x) const
{
    const double span = m_viewEnd - m_viewStart;
    return span > 0 ? (x - m_viewStart) * m_image.width() / span : 0;
}

double WaveformPicture::PixelY(double y, double height) const
{
    return height > 0 ? y * WaveHeight() / height : 0;
}

int WaveformPicture::ToPixelX(double x) const
{
    return static_cast<int>(std::clamp(RoundToInt(PixelX(x)), -kFarPixels, kFarPixels));
}

double WaveformPicture::ToScaleX(double px) const
{
    return m_image.width() > 0 ? m_viewStart + px * (m_viewEnd - m_viewStart) / m_image.width() : 0;
}

void WaveformPicture::Clear()
{
    m_image.fill(kBackground);
    QPainter p(&m_image);
    p.fillRect(0, WaveHeight(), m_image.width(), m_rulerHeight, kRulerBackground);
    update();
}

void WaveformPicture::DrawGrid()
{
    Clear();
    SetScale(12, 6);
    QPainter p(&m_image);
    p.setClipRect(0, 0, m_image.width(), WaveHeight());
    p.setPen(QPen(kGridColour, 1));
    for (int y = 1; y <= 6; ++y)
        p.drawLine(QPointF(PixelX(0), PixelY(y, 6)), QPointF(PixelX(12), PixelY(y, 6)));
    for (int x = 1; x <= 11; ++x)
        p.drawLine(QPointF(PixelX(x), 0), QPointF(PixelX(x), WaveHeight()));
    update();
}

void WaveformPicture::DrawBackdrop(std::optional<double> loopA, std::optional<double> loopB)
{
    Clear();
    const int w = m_image.width();
    const int waveH = WaveHeight();
    QPainter p(&m_image);
    p.setFont(m_rulerFont);
    const QFontMetrics fm(m_rulerFont);

    if (loopA && loopB) {
        const int left = ToPixelX(std::min(*loopA, *loopB));
        const int right = ToPixelX(std::max(*loopA, *loopB));
        p.fillRect(QRect(QPoint(std::max(left, 0), 0), QPoint(std::min(right, w), waveH - 1)), kLoopShade);
    }

    // The grid's columns are the ruler's ticks, so the lines read as times.
    const double widest = fm.horizontalAdvance(QString::fromStdString(RulerLabel(m_viewEnd)));
    const std::int64_t step = RulerStepMs(m_viewEnd - m_viewStart, w, widest + kLabelGap + kLabelSpacing);
    // Six rows, or only the middle line where rows would crowd the trace.
    const int rows = waveH >= 6 * kMinRowPixels ? 6 : 2;
    p.setPen(QPen(kGridColour, 1));
    for (int y = 1; y < rows; ++y) {
        const int row = static_cast<int>(RoundToInt(PixelY(y, rows)));
        p.drawLine(0, row, w - 1, row);
    }
    const int baseline = waveH + (m_rulerHeight + fm.ascent() - fm.descent()) / 2;
    for (const std::int64_t tick : RulerTicks(m_viewStart, m_viewEnd, step)) {
        const int x = ToPixelX(static_cast<double>(tick));
        p.setPen(QPen(kGridColour, 1));
        p.drawLine(x, 0, x, m_image.height() - 1);
        const QString label = QString::fromStdString(RulerLabel(static_cast<double>(tick)));
        if (x + kLabelGap + fm.horizontalAdvance(label) <= w) {
            p.setPen(kRulerText);
            p.drawText(x + kLabelGap, baseline, label);
        }
    }

    // The marks over the grid and the ruler, each named at its top.
    p.setPen(QPen(kLoopLine, 1));
    for (const auto& [at, name] : {std::pair(loopA, "A"), std::pair(loopB, "B")}) {
        if (!at)
            continue;
        const int x = ToPixelX(*at);
        p.drawLine(x, 0, x, m_image.height() - 1);
        p.drawText(x + kLabelGap, fm.ascent(), QString::fromLatin1(name));
    }

    // The examiner's marks: a line down the waveform under a small flag.
    p.setPen(QPen(kTickColour, 1));
    p.setBrush(kTickColour);
    int lastX = -1;
    for (auto it = std::lower_bound(
             m_ticks.begin(), m_ticks.end(), m_viewStart, [](const WaveformTick& t, double ms) { return t.ms < ms; });
         it != m_ticks.end() && it->ms <= m_viewEnd; ++it) {
        const int x = ToPixelX(it->ms);
        if (x == lastX)
            continue; // marks on one pixel are drawn once
        lastX = x;
        p.drawLine(x, 0, x, waveH - 1);
        const QPoint flag[3] = {QPoint(x - 3, 0), QPoint(x + 4, 0), QPoint(x, 5)};
        p.drawPolygon(flag, 3);
    }
    update();
}

void WaveformPicture::SetTicks(std::vector<WaveformTick> ticks)
{
    std::stable_sort(ticks.begin(), ticks.end(), [](const auto& a, const auto& b) { return a.ms < b.ms; });
    m_ticks = std::move(ticks);
}

std::optional<std::size_t> WaveformPicture::TickNear(double px) const
{
    std::optional<std::size_t> nearest;
    double best = kTickReach + 0.5;
    const double from = ToScaleX(px - kTickReach - 1);
    auto it = std::lower_bound(
        m_ticks.begin(), m_ticks.end(), from, [](const WaveformTick& t, double ms) { return t.ms < ms; });
    for (; it != m_ticks.end() && ToPixelX(it->ms) <= px + kTickReach; ++it) {
        const double distance = std::abs(ToPixelX(it->ms) - px);
        if (distance < best) {
            best = distance;
            nearest = static_cast<std::size_t>(it - m_ticks.begin());
        }
    }
    return nearest;
}

bool WaveformPicture::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (const auto tick = TickNear(help->pos().x()); tick && help->pos().y() < WaveHeight())
            QToolTip::showText(help->globalPos(), m_ticks[*tick].note.isEmpty() ? "(mark)" : m_ticks[*tick].note, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void WaveformPicture::DrawTracePoints(std::span<const TracePoint> points, TracePoint from, double width)
{
    if (width <= 0)
        return;
    QPainter p(&m_image);
    p.setClipRect(0, 0, m_image.width(), WaveHeight());
    p.setPen(QPen(kWaveColour, 1));
    const double right = m_image.width() + 1;
    const auto at = [&](const TracePoint& pt) {
        return QPointF(PixelX(static_cast<double>(pt.x) * m_scaleW / width), PixelY(pt.y, kTraceHeight));
    };
    QList<QLineF> lines;
    lines.reserve(static_cast<qsizetype>(points.size()));
    QPointF pen = at(from);
    for (const TracePoint& pt : points) {
        const QPointF next = at(pt);
        // Lines wholly left or right of the view are not drawn.
        if (std::max(pen.x(), next.x()) >= -1 && std::min(pen.x(), next.x()) <= right)
            lines.append(QLineF(pen, next));
        pen = next;
    }
    p.drawLines(lines);
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
    emit resized();
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

void WaveformPicture::wheelEvent(QWheelEvent* event)
{
    emit wheeled(ToScaleX(event->position().x()), event->angleDelta(), event->modifiers());
    event->accept();
}

} // namespace pellam
