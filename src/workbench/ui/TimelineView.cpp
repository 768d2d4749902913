#include "workbench/ui/TimelineView.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace pellam {
namespace {

constexpr const char* kLaneTitles[5] = {"Recordings", "Main Log", "NOC", "ADMIN", "Texts"};
const QColor kLaneColours[5]
    = {QColor(40, 110, 190), QColor(200, 90, 20), QColor(30, 140, 70), QColor(130, 60, 160), QColor(150, 120, 20)};
const QColor kNotationColour(220, 30, 30);
const QColor kNoteColour(20, 140, 220);
constexpr double kNoteFlag = 5; // the flag's half width and its height
// One wheel notch zooms by this factor.
constexpr double kWheelFactor = 1.25;

std::size_t LaneIndex(TimelineLane lane)
{
    return static_cast<std::size_t>(lane);
}

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

bool IsNotation(const TimelineEvent& e)
{
    return e.lane == TimelineLane::Main && !e.recording.empty() && e.offset;
}

TimelineView::TimelineView(const LocaleFormats& formats, QWidget* parent) : QWidget(parent), m_formats(formats)
{
    setObjectName("TimelineView");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(kLabelWidth + 200, kAxisHeight + 5 * kLaneHeight + 40);
}

void TimelineView::SetTimeline(const Timeline* timeline)
{
    m_timeline = timeline;
    m_bars.clear();
    m_barOf.clear();
    m_onBars.clear();
    m_longestBar = 0;
    for (auto& lane : m_lanes)
        lane.clear();
    const auto span = timeline ? timeline->Span() : std::nullopt;
    m_scale = span ? TimelineScale(span->first, span->second) : TimelineScale();
    m_dated = span.has_value();
    if (timeline) {
        const auto& events = timeline->events;
        for (std::size_t i = 0; i < events.size(); ++i) {
            const TimelineEvent& e = events[i];
            if (!e.time)
                continue; // events come by time: the undated ones have no place on the axis
            const auto t = static_cast<double>(*e.time);
            if (e.lane == TimelineLane::Recording) {
                const double length = e.duration ? std::max(0, *e.duration) : 0;
                m_bars.push_back({t, t + length, i, e.row});
                m_longestBar = std::max(m_longestBar, length);
            } else {
                m_lanes[LaneIndex(e.lane)].push_back({t, i});
            }
        }
        // The model hands them out by time; the searches below rely on it.
        const auto byStart = [](const Bar& a, const Bar& b) { return a.start < b.start; };
        std::stable_sort(m_bars.begin(), m_bars.end(), byStart);
        for (auto& lane : m_lanes)
            std::stable_sort(lane.begin(), lane.end(), [](const Mark& a, const Mark& b) { return a.time < b.time; });
        // A recording listed twice keeps its first bar.
        for (std::size_t b = 0; b < m_bars.size(); ++b)
            m_barOf.emplace(events[m_bars[b].event].recording, b);
        for (const Mark& m : m_lanes[LaneIndex(TimelineLane::Main)]) {
            const TimelineEvent& e = events[m.event];
            if (!IsNotation(e))
                continue;
            if (const Bar* bar = BarOf(e.recording))
                m_onBars.push_back({bar->start + *e.offset, bar->start + *e.offset, m.event, bar->row});
        }
        std::stable_sort(m_onBars.begin(), m_onBars.end(), byStart);
    }
    const int rows = timeline ? std::max(1, timeline->recordingRows) : 1;
    setMinimumHeight(kAxisHeight + 4 * kLaneHeight + static_cast<int>(std::min(rows, 16) * 14) + 8);
    update();
    emit scaleChanged();
}

const TimelineView::Bar* TimelineView::BarOf(const std::string& recording) const
{
    const auto found = m_barOf.find(recording);
    return found == m_barOf.end() ? nullptr : &m_bars[found->second];
}

void TimelineView::SetPlayhead(const std::string& recording, std::optional<double> positionMs)
{
    if (recording == m_playing && positionMs == m_playheadMs)
        return;
    m_playing = recording;
    m_playheadMs = positionMs;
    update();
}

double TimelineView::PlotWidth(QSize size) const
{
    return std::max(1, size.width() - kLabelWidth);
}

double TimelineView::XAt(double t, QSize size) const
{
    return kLabelWidth + m_scale.XOf(t, PlotWidth(size));
}

double TimelineView::RowHeight() const
{
    const int rows = m_timeline ? std::max(1, m_timeline->recordingRows) : 1;
    // The lane takes what the other lanes leave, a row at most 24 and at least 1 pixel high.
    const double room = height() - kAxisHeight - 4 * kLaneHeight - 8;
    return std::clamp(room / rows, 1.0, 24.0);
}

QRectF TimelineView::LaneRect(TimelineLane lane) const
{
    const int rows = m_timeline ? std::max(1, m_timeline->recordingRows) : 1;
    const double recordings = rows * RowHeight() + 8;
    // The other lanes share what is left.
    const double each = std::max<double>(kLaneHeight, (height() - kAxisHeight - recordings) / 4);
    const auto i = static_cast<double>(LaneIndex(lane));
    const double top = lane == TimelineLane::Recording ? kAxisHeight : kAxisHeight + recordings + (i - 1) * each;
    return QRectF(0, top, width(), lane == TimelineLane::Recording ? recordings : each);
}

std::optional<QPointF> TimelineView::PointOf(std::size_t event, bool onBar) const
{
    if (!m_timeline || event >= m_timeline->events.size() || !m_timeline->events[event].time)
        return std::nullopt;
    const TimelineEvent& e = m_timeline->events[event];
    if (onBar && !IsNotation(e))
        return std::nullopt;
    double t = static_cast<double>(*e.time);
    double y = LaneRect(e.lane).center().y();
    double shift = 0;
    if (e.lane == TimelineLane::Recording || onBar) {
        const Bar* bar = onBar ? BarOf(e.recording) : nullptr;
        if (!onBar)
            for (const Bar& b : m_bars)
                bar = b.event == event ? &b : bar;
        if (!bar)
            return std::nullopt;
        y = LaneRect(TimelineLane::Recording).top() + 4 + (bar->row + 0.5) * RowHeight();
        if (onBar)
            t = bar->start + *e.offset;
        else if (bar->end > bar->start) // the middle of the part in view
            t = std::max(bar->start, m_scale.First()) / 2 + std::min(bar->end, m_scale.Last()) / 2;
        else
            shift = kHatchedWidth / 2.0;
    }
    if (t < m_scale.First() || t > m_scale.Last())
        return std::nullopt;
    return QPointF(XAt(t, size()) + shift, y);
}

std::optional<std::size_t> TimelineView::NearestMark(const std::vector<Mark>& marks, double x, QSize size) const
{
    const double from = m_scale.TimeAt(x - kLabelWidth - kPick, PlotWidth(size));
    const double to = m_scale.TimeAt(x - kLabelWidth + kPick, PlotWidth(size));
    auto it = std::lower_bound(marks.begin(), marks.end(), from, [](const Mark& m, double t) { return m.time < t; });
    std::optional<std::size_t> best;
    double bestDistance = 0;
    for (; it != marks.end() && it->time <= to; ++it) {
        const double d = std::abs(XAt(it->time, size) - x);
        if (!best || d < bestDistance) {
            best = static_cast<std::size_t>(it - marks.begin());
            bestDistance = d;
        }
    }
    return best;
}

std::optional<TimelineHit> TimelineView::HitAt(QPointF point) const
{
    if (!m_timeline || point.x() < kLabelWidth)
        return std::nullopt;
    const QRectF recordings = LaneRect(TimelineLane::Recording);
    if (recordings.contains(point)) {
        const int row = static_cast<int>(std::floor((point.y() - recordings.top() - 4) / RowHeight()));
        // A notation on the bar before the bar itself.
        std::optional<std::size_t> best;
        double bestDistance = kPick + 1;
        for (const Bar& n : m_onBars) {
            const double d = std::abs(XAt(n.start, size()) - point.x());
            if (n.row == row && d <= bestDistance) {
                best = n.event;
                bestDistance = d;
            }
        }
        if (best)
            return TimelineHit {*best, true};
        const double t = m_scale.TimeAt(point.x() - kLabelWidth, PlotWidth(size()));
        const double pick = kPick * m_scale.Seconds() / PlotWidth(size());
        const auto last = std::upper_bound(
            m_bars.begin(), m_bars.end(), t + pick, [](double v, const Bar& b) { return v < b.start; });
        for (auto it = m_bars.begin(); it != last; ++it) {
            const double hatched = it->end == it->start ? kHatchedWidth * m_scale.Seconds() / PlotWidth(size()) : 0;
            if (it->row == row && t >= it->start - pick && t <= std::max(it->end, it->start + hatched) + pick)
                return TimelineHit {it->event, false};
        }
        return std::nullopt;
    }
    for (const TimelineLane lane : {TimelineLane::Main, TimelineLane::Noc, TimelineLane::Admin, TimelineLane::Text}) {
        if (!LaneRect(lane).contains(point))
            continue;
        const auto& marks = m_lanes[LaneIndex(lane)];
        if (const auto found = NearestMark(marks, point.x(), size()))
            return TimelineHit {marks[*found].event, false};
    }
    return std::nullopt;
}

std::optional<double> TimelineView::PlayheadX() const
{
    if (!m_timeline || !m_playheadMs)
        return std::nullopt;
    const Bar* bar = BarOf(m_playing);
    if (!bar)
        return std::nullopt;
    const double t = bar->start + *m_playheadMs / 1000.0;
    if (t < m_scale.First() || t > m_scale.Last())
        return std::nullopt;
    return XAt(t, size());
}

QString TimelineView::Describe(std::size_t event) const
{
    const TimelineEvent& e = m_timeline->events[event];
    const QString when = e.time
        ? FromUtf8(LocalMomentText(*e.time, m_formats.ShortDate + " " + m_formats.LongTime, m_formats))
        : QString();
    if (e.lane == TimelineLane::Recording) {
        const QString length = e.duration
            ? QString("%1:%2").arg(*e.duration / 60).arg(*e.duration % 60, 2, 10, QChar('0'))
            : QString("length unknown");
        return when + "\n" + FromUtf8(e.recording) + " (" + length + ")";
    }
    return when + "\n" + FromUtf8(e.text);
}

void TimelineView::ZoomAt(double factor, double x)
{
    m_scale.ZoomAt(factor, x - kLabelWidth, PlotWidth(size()));
    update();
    emit scaleChanged();
}

void TimelineView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    Render(p, size());
}

void TimelineView::Render(QPainter& p, QSize size) const
{
    p.fillRect(QRect(QPoint(0, 0), size), palette().base());
    p.setPen(palette().text().color());
    for (std::size_t i = 0; i < 5; ++i) {
        const QRectF lane = LaneRect(static_cast<TimelineLane>(i));
        if (i % 2 == 1)
            p.fillRect(QRectF(0, lane.top(), size.width(), lane.height()), palette().alternateBase());
        p.drawText(QRectF(4, lane.top(), kLabelWidth - 8, std::min(lane.height(), 40.0)),
            Qt::AlignVCenter | Qt::AlignLeft, kLaneTitles[i]);
    }
    if (!m_dated)
        return;
    // The date of the left edge above the lanes' names.
    p.drawText(QRectF(4, 0, kLabelWidth - 8, kAxisHeight - 4), Qt::AlignLeft | Qt::AlignBottom,
        FromUtf8(
            LocalMomentText(static_cast<LocalSeconds>(std::floor(m_scale.First())), m_formats.ShortDate, m_formats)));
    p.save();
    p.setClipRect(QRectF(kLabelWidth, 0, PlotWidth(size), size.height()));
    DrawAxis(p, size);
    DrawBars(p, size);
    for (std::size_t i = 1; i < 5; ++i) {
        const QRectF lane = LaneRect(static_cast<TimelineLane>(i));
        DrawMarks(p, size, m_lanes[i], lane.top() + 6, lane.height() - 12, kLaneColours[i]);
    }
    DrawNotes(p, size);
    if (const auto x = PlayheadX()) {
        const Bar* bar = BarOf(m_playing);
        const double top = LaneRect(TimelineLane::Recording).top() + 4 + bar->row * RowHeight();
        p.setPen(QPen(kNotationColour, 2));
        p.drawLine(QPointF(*x, top - 3), QPointF(*x, top + RowHeight() + 3));
    }
    p.restore();
}

void TimelineView::DrawAxis(QPainter& p, QSize size) const
{
    // Labels at least as far apart as the widest a time or a date can be written.
    const LocalSeconds wide = MakeLocalSeconds(2026, 12, 28, 22, 58, 58).value_or(0);
    const QFontMetricsF metrics(p.font());
    const double room
        = std::max(metrics.horizontalAdvance(FromUtf8(LocalMomentText(wide, m_formats.LongTime, m_formats))),
            metrics.horizontalAdvance(FromUtf8(LocalMomentText(wide, m_formats.ShortDate, m_formats))));
    const std::int64_t step = TickStep(PlotWidth(size) / m_scale.Seconds(), room + 16);
    p.setPen(palette().mid().color());
    p.drawLine(QPointF(kLabelWidth, kAxisHeight - 1), QPointF(size.width(), kAxisHeight - 1));
    for (const LocalSeconds t : TicksInView(m_scale, step)) {
        const double x = XAt(static_cast<double>(t), size);
        p.setPen(palette().midlight().color());
        p.drawLine(QPointF(x, kAxisHeight - 6), QPointF(x, size.height()));
        // Days and midnights show the date, other labels the time.
        const std::string& pattern = step >= 86400 || t % 86400 == 0 ? m_formats.ShortDate : m_formats.LongTime;
        p.setPen(palette().text().color());
        p.drawText(QPointF(x + 3, kAxisHeight - 10), FromUtf8(LocalMomentText(t, pattern, m_formats)));
    }
}

void TimelineView::DrawBars(QPainter& p, QSize size) const
{
    const double top = LaneRect(TimelineLane::Recording).top() + 4;
    const double rowHeight = RowHeight();
    const double barHeight = std::max(1.0, rowHeight - (rowHeight > 4 ? 2 : 0));
    const double secondsPerPixel = m_scale.Seconds() / PlotWidth(size);
    const double from = m_scale.First() - m_longestBar - kHatchedWidth * secondsPerPixel;
    auto it = std::lower_bound(m_bars.begin(), m_bars.end(), from, [](const Bar& b, double t) { return b.start < t; });
    const auto end = std::upper_bound(
        m_bars.begin(), m_bars.end(), m_scale.Last(), [](double t, const Bar& b) { return t < b.start; });
    // Bars narrower than two pixels that touch the last one drawn on their row
    // join it, so a whole day of short recordings costs a few rectangles.
    std::vector<QRectF> pending(static_cast<std::size_t>(m_timeline ? std::max(1, m_timeline->recordingRows) : 1));
    const QColor fill = kLaneColours[0];
    const auto flush = [&](QRectF& r) {
        if (r.isValid())
            p.fillRect(r, fill);
        r = QRectF();
    };
    std::vector<QRectF> hatched;
    for (; it != end; ++it) {
        const double x1 = XAt(it->start, size);
        if (it->end == it->start) {
            hatched.emplace_back(x1, top + it->row * rowHeight, kHatchedWidth, barHeight);
            continue;
        }
        const double x2 = XAt(it->end, size);
        if (x2 < kLabelWidth)
            continue;
        QRectF& row = pending[static_cast<std::size_t>(std::clamp<int>(it->row, 0, int(pending.size()) - 1))];
        const QRectF bar(x1, top + it->row * rowHeight, std::max(2.0, x2 - x1 - (x2 - x1 > 3 ? 1 : 0)), barHeight);
        if (row.isValid() && x2 - x1 < 2 && x1 <= row.right() + 1) {
            row.setRight(std::max(row.right(), bar.right()));
            continue;
        }
        flush(row);
        row = bar;
    }
    for (QRectF& r : pending)
        flush(r);
    p.setPen(Qt::NoPen);
    for (const QRectF& r : hatched) {
        p.fillRect(r, fill.lighter(170));
        p.fillRect(r, QBrush(fill, Qt::BDiagPattern));
    }
    // Notations on their bars.
    std::vector<QLineF> lines;
    double lastX = -1;
    int lastRow = -1;
    auto n = std::lower_bound(
        m_onBars.begin(), m_onBars.end(), m_scale.First(), [](const Bar& b, double t) { return b.start < t; });
    for (; n != m_onBars.end() && n->start <= m_scale.Last(); ++n) {
        const double x = std::floor(XAt(n->start, size)) + 0.5;
        if (x == lastX && n->row == lastRow)
            continue;
        lastX = x;
        lastRow = n->row;
        const double y = top + n->row * rowHeight;
        lines.emplace_back(x, y - 2, x, y + barHeight + 2);
    }
    p.setPen(QPen(kNotationColour, 1));
    p.drawLines(lines.data(), static_cast<int>(lines.size()));
}

void TimelineView::DrawMarks(
    QPainter& p, QSize size, const std::vector<Mark>& marks, double top, double height, const QColor& colour) const
{
    // One line per pixel column that holds marks: after a mark is drawn the
    // search jumps to the first mark past its pixel.
    const double plot = PlotWidth(size);
    const auto byTime = [](const Mark& m, double t) { return m.time < t; };
    auto it = std::lower_bound(marks.begin(), marks.end(), m_scale.First(), byTime);
    std::vector<QLineF> lines;
    std::vector<QLineF> notations;
    while (it != marks.end() && it->time <= m_scale.Last()) {
        const double column = std::floor(m_scale.XOf(it->time, plot));
        const double x = kLabelWidth + column + 0.5;
        bool notation = false;
        const auto next = std::lower_bound(it + 1, marks.end(), m_scale.TimeAt(column + 1, plot), byTime);
        for (auto m = it; m != next && !notation; ++m)
            notation = IsNotation(m_timeline->events[m->event]);
        (notation ? notations : lines).emplace_back(x, top, x, top + height);
        it = next;
    }
    p.setPen(QPen(colour, 1));
    p.drawLines(lines.data(), static_cast<int>(lines.size()));
    p.setPen(QPen(kNotationColour, 1));
    p.drawLines(notations.data(), static_cast<int>(notations.size()));
}

void TimelineView::SetNotes(std::vector<TimelineNote> notes)
{
    std::stable_sort(notes.begin(), notes.end(), [](const auto& a, const auto& b) { return a.time < b.time; });
    m_notes = std::move(notes);
    update();
}

void TimelineView::DrawNotes(QPainter& p, QSize size) const
{
    // A flag per lane and pixel column, however many marks share it.
    std::vector<QPolygonF> flags;
    double lastX[5] = {-1, -1, -1, -1, -1};
    const auto byTime = [](const TimelineNote& n, double t) { return static_cast<double>(n.time) < t; };
    for (auto it = std::lower_bound(m_notes.begin(), m_notes.end(), m_scale.First() - 1, byTime);
         it != m_notes.end() && static_cast<double>(it->time) <= m_scale.Last() + 1; ++it) {
        const auto lane = static_cast<std::size_t>(it->lane);
        const double x = std::floor(XAt(static_cast<double>(it->time), size)) + 0.5;
        if (x == lastX[lane])
            continue;
        lastX[lane] = x;
        const double top = LaneRect(it->lane).top() + 1;
        flags.push_back(
            QPolygonF({QPointF(x - kNoteFlag, top), QPointF(x + kNoteFlag, top), QPointF(x, top + kNoteFlag)}));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kNoteColour);
    for (const QPolygonF& flag : flags)
        p.drawPolygon(flag);
}

std::optional<std::size_t> TimelineView::NoteAt(QPointF point) const
{
    std::optional<std::size_t> best;
    double bestDistance = kNoteFlag + 1;
    const double pick = (kNoteFlag + 1) * m_scale.Seconds() / PlotWidth(size());
    const double t = m_scale.TimeAt(point.x() - kLabelWidth, PlotWidth(size()));
    auto it = std::lower_bound(m_notes.begin(), m_notes.end(), t - pick,
        [](const TimelineNote& n, double v) { return static_cast<double>(n.time) < v; });
    for (; it != m_notes.end() && static_cast<double>(it->time) <= t + pick; ++it) {
        const double top = LaneRect(it->lane).top();
        const double d = std::abs(XAt(static_cast<double>(it->time), size()) - point.x());
        if (point.y() >= top && point.y() <= top + 2 * kNoteFlag + 2 && d < bestDistance) {
            best = static_cast<std::size_t>(it - m_notes.begin());
            bestDistance = d;
        }
    }
    return best;
}

void TimelineView::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0)
        ZoomAt(std::pow(kWheelFactor, notches), event->position().x());
    event->accept();
}

void TimelineView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_pressAt = event->position();
    m_lastDragX = event->position().x();
}

void TimelineView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressAt || !(event->buttons() & Qt::LeftButton))
        return;
    const double dx = event->position().x() - m_lastDragX;
    m_lastDragX = event->position().x();
    m_scale.Pan(-dx * m_scale.Seconds() / PlotWidth(size()));
    update();
    emit scaleChanged();
}

void TimelineView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressAt)
        return QWidget::mouseReleaseEvent(event);
    const QPointF pressed = *m_pressAt;
    m_pressAt.reset();
    // A press released where it was is a click; anything else was a drag.
    if ((event->position() - pressed).manhattanLength() > kPick)
        return;
    if (const auto found = HitAt(pressed))
        emit hit(*found, m_scale.TimeAt(pressed.x() - kLabelWidth, PlotWidth(size())));
}

void TimelineView::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        const QPointF pointer = mapFromGlobal(QCursor::pos());
        const double x = rect().contains(pointer.toPoint()) ? pointer.x() : kLabelWidth + PlotWidth(size()) / 2;
        switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            return ZoomAt(2, x);
        case Qt::Key_Minus:
            return ZoomAt(0.5, x);
        default:
            break;
        }
    }
    QWidget::keyPressEvent(event);
}

bool TimelineView::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (const auto note = NoteAt(help->pos()))
            QToolTip::showText(help->globalPos(), m_notes[*note].text, this);
        else if (const auto found = HitAt(help->pos()))
            QToolTip::showText(help->globalPos(), Describe(found->event), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

} // namespace pellam
