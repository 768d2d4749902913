#include "audio/ui/PlaybackPanel.h"

#include "audio/FormatTime.h"
#include "audio/LoadSequence.h"
#include "audio/PanelRules.h"
#include "audio/WaveformTrace.h"
#include "audio/ui/ButtonIcons.h"
#include "base/Twips.h"
#include "workspace/MainLayout.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <cmath>

namespace pellam {
namespace {

// Where the lines of a trace start.
constexpr TracePoint kTraceStart {-1, static_cast<std::int32_t>(kTraceMiddle)};
// One notch of the wheel (Qt's 120) halves or doubles the time shown, or pans by this share of it.
constexpr double kWheelNotch = 120;
constexpr double kPanPerNotch = 0.1;

void Colour(QLabel* label, const QColor& text)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, text);
    pal.setColor(QPalette::Window, Qt::black);
    label->setPalette(pal);
    label->setAutoFillBackground(true);
}

QToolButton* MakeButton(QWidget* parent, const char* name, const QIcon& icon, const char* tip)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setIcon(icon);
    b->setIconSize(QSize(16, 16));
    b->setToolTip(tip);
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

} // namespace

PlaybackPanel::PlaybackPanel(WAVPlayer& player, Prompter& prompter, QWidget* parent)
    : QFrame(parent), m_player(player), m_prompter(prompter)
{
    setObjectName("Frame1");
    setFrameShape(QFrame::StyledPanel);
    setMinimumSize(360, 90); // the main window gives it 1440 twips (96 pixels)

    m_graph = new WaveformPicture(this);
    m_graph->setObjectName("PlayGRFX");
    m_vol = new VolumePicture(this);
    m_vol->setObjectName("Vol");
    m_volCaption = new QLabel("Volume", this);
    m_time = new QLabel("0:00/0:00", this);
    m_time->setObjectName("lblTime");
    m_time->setAlignment(Qt::AlignCenter);
    Colour(m_time, QColor(0, 255, 0));
    m_speed = new QLabel("1.0×", this);
    m_speed->setObjectName("lblSpeed");
    m_speed->setAlignment(Qt::AlignCenter);
    m_speed->setToolTip("Playing speed, the pitch kept: [ slower, ] faster, \\ normal");
    Colour(m_speed, QColor(0, 255, 0));
    m_status = new QLabel(this);
    m_status->setObjectName("NPLabel");
    SetStatus({"", kStatusYellow});
    m_play = MakeButton(this, "PlayButton", PlayIcon(), "Play");
    m_pause = MakeButton(this, "PauseButton", PauseIcon(), "Pause");
    m_stop = MakeButton(this, "StopButton", StopIcon(), "Stop");
    m_pause->setEnabled(false);
    m_stop->setEnabled(false);
    m_mark = new QToolButton(this);
    m_mark->setObjectName("MarkButton");
    m_mark->setText("Mark\u2026");
    m_mark->setFocusPolicy(Qt::NoFocus);
    connect(m_mark, &QToolButton::clicked, this, &PlaybackPanel::BeginMark);
    m_markField = new QLineEdit(this);
    m_markField->setObjectName("MarkField");
    m_markField->hide();
    m_markField->installEventFilter(this);
    connect(m_markField, &QLineEdit::returnPressed, this, [this] { EndMark(true); });

    m_tmrPos.setObjectName("tmrPos");
    m_tmrPos.setInterval(20);
    m_reGraph.setObjectName("ReGraphTIM");
    m_reGraph.setInterval(250);
    m_traceFollow.setObjectName("TraceTIM");
    m_traceFollow.setInterval(100);
    connect(&m_traceFollow, &QTimer::timeout, this, &PlaybackPanel::FollowTrace);
    connect(&m_tmrPos, &QTimer::timeout, this, &PlaybackPanel::tmrPosTick);
    connect(&m_reGraph, &QTimer::timeout, this, &PlaybackPanel::ReGraphTick);
    connect(m_play, &QToolButton::clicked, this, &PlaybackPanel::PlayClicked);
    connect(m_pause, &QToolButton::clicked, this, &PlaybackPanel::PauseClicked);
    connect(m_stop, &QToolButton::clicked, this, &PlaybackPanel::StopClicked);

    connect(m_graph, &WaveformPicture::pressed, this, [this](double x) { GraphMouseDown(x); });
    connect(m_graph, &WaveformPicture::moved, this, &PlaybackPanel::GraphMouseMove);
    connect(m_graph, &WaveformPicture::released, this, &PlaybackPanel::GraphMouseUp);
    connect(m_graph, &WaveformPicture::doubleClicked, this, &PlaybackPanel::GraphDblClick);
    connect(m_graph, &WaveformPicture::wheeled, this, &PlaybackPanel::GraphWheel);
    connect(m_graph, &WaveformPicture::resized, this, [this] {
        if (m_drawn != Drawn::Nothing)
            RedrawView();
    });
    connect(m_vol, &VolumePicture::leftButtonAt, this, &PlaybackPanel::VolumeMouse);

    m_statusWatch = m_player.StatusChanged.Subscribe([this](PlayerStatus s) { OnStatusChanged(s); });
    m_endWatch = m_player.EndOfStream.Subscribe([this] { OnStatusChanged(PlayerStatus::Stopped); });
}

PlaybackPanel::~PlaybackPanel()
{
    m_statusWatch.reset();
    m_endWatch.reset();
    SetPointer(MousePointer::Normal);
}

void PlaybackPanel::resizeEvent(QResizeEvent*)
{
    const int w = width();
    const int h = height();
    const int row = 26;
    m_status->setGeometry(4, 4, w - 8, 18);
    m_graph->setGeometry(2, 24, w - TwipsToPixels(kWaveformInsetTwips), h - 24 - row - 6);
    const int y = h - row - 2;
    m_play->setGeometry(4, y, row, row);
    m_pause->setGeometry(4 + row + 2, y, row, row);
    m_stop->setGeometry(4 + 2 * (row + 2), y, row, row);
    m_time->setGeometry(4 + 3 * (row + 2) + 8, y + 3, 90, 20);
    m_speed->setGeometry(4 + 3 * (row + 2) + 8 + 94, y + 3, 44, 20);
    m_mark->setGeometry(4 + 3 * (row + 2) + 8 + 94 + 48, y, 58, row);
    m_markField->setGeometry(2, 2, w - 4, 22);
    m_vol->setGeometry(w - 124, y + 2, 116, 22);
    m_volCaption->setGeometry(w - 180, y + 4, 52, 18);
}

void PlaybackPanel::ShowSpeed(const QString& text)
{
    m_speed->setText(text);
}

void PlaybackPanel::SetStatus(const StatusLine& status)
{
    m_statusLine = status;
    m_status->setText(QString::fromStdString(status.text));
    Colour(m_status, QColor(status.colour.r, status.colour.g, status.colour.b));
    m_status->repaint();
}

void PlaybackPanel::SetPointer(MousePointer pointer)
{
    if (pointer == m_pointer)
        return;
    m_pointer = pointer;
    if (pointer == MousePointer::Busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void PlaybackPanel::ShowTime(double positionMs)
{
    m_time->setText(QString::fromStdString(TimeLabelText(positionMs, m_player.Duration())));
    emit positionShown(positionMs);
}

void PlaybackPanel::OnStatusChanged(PlayerStatus status)
{
    const ButtonStates b = ButtonsForStatus(status);
    m_play->setEnabled(b.play);
    m_pause->setEnabled(b.pause);
    m_stop->setEnabled(b.stop);
    if (b.positionTimer)
        m_tmrPos.start();
    else
        m_tmrPos.stop();
    if (b.focusStop)
        m_stop->setFocus();
    if (status == PlayerStatus::Stopped)
        ShowTime(0);
}

void PlaybackPanel::DrawGrid()
{
    m_traceFollow.stop();
    m_trace.reset();
    m_points.clear();
    m_traceComplete = false;
    m_drawn = Drawn::Grid;
    m_graph->DrawGrid();
}

void PlaybackPanel::PopulateGFX(std::shared_ptr<const DecodedTrace> trace)
{
    // The same trace again redraws the recording shown (after a resize, say): its zoom stays.
    const bool sameRecording = m_drawn == Drawn::Recording && trace && trace == m_trace;
    CurrentPosition = 0;
    const std::int32_t volume = m_player.Volume();
    if (LoweredVolume(volume) != volume)
        m_player.SetVolume(LoweredVolume(volume));
    DrawVolume(m_player.Volume());
    DrawGrid();
    CursorX = -1; // the grid replaced any cursor drawn before
    ShowTime(m_player.Position());
    // The picture is the recording's length in ms wide from the start, so a
    // click seeks anywhere while the waveform is still coming.
    m_graph->SetScale(m_player.Duration(), kTraceHeight);
    if (sameRecording)
        m_view.SetDuration(m_player.Duration());
    else
        m_view.Reset(m_player.Duration());
    GraphDrawn = true;
    m_drawn = Drawn::Recording;
    m_loopA.reset();
    m_loopB.reset();
    m_trace = std::move(trace);
    m_traceWidth = 0;
    RedrawView();
    FollowTrace();
    if (!m_traceComplete)
        m_traceFollow.start();
    SetPointer(MousePointer::Normal);
}

void PlaybackPanel::FollowTrace()
{
    if (!m_trace) {
        m_traceFollow.stop();
        return;
    }
    // Finished first: the points read after it are then the last ones.
    const bool finished = m_trace->Finished();
    const double width = m_trace->Width();
    const std::size_t drawn = m_points.size();
    if (width > 0)
        m_trace->CopyFrom(drawn, m_points);
    // The length becomes exact as the decode goes on: the scale and the view
    // follow it, and what was drawn moves with them.
    const bool reshaped = m_graph->ScaleWidth() != m_player.Duration() || (drawn > 0 && width != m_traceWidth);
    m_traceWidth = width;
    if (reshaped) {
        m_graph->SetScale(m_player.Duration(), kTraceHeight);
        m_view.SetDuration(m_player.Duration());
        RedrawView();
        if (!m_tmrPos.isActive())
            ShowTime(CurrentPosition);
    } else if (m_points.size() > drawn) {
        // The cursor is taken off while lines are drawn under it, then put back.
        const bool cursorShown = CursorX >= 0;
        if (cursorShown)
            m_graph->XorCursor(CursorX);
        m_graph->DrawTracePoints(
            std::span(m_points).subspan(drawn), drawn > 0 ? m_points[drawn - 1] : kTraceStart, width);
        if (cursorShown)
            m_graph->XorCursor(CursorX);
    }
    if (finished) {
        m_traceComplete = true;
        m_traceFollow.stop();
    }
}

void PlaybackPanel::PlaceCur()
{
    // Drawn at the rounded position so the erase next time hits the same pixels.
    const std::int32_t next = PositionAt(CurrentPosition);
    // A zoomed waveform pages after the cursor, but never under the mouse dragging it.
    if (m_drawn == Drawn::Recording && !Dragging && m_view.Follow(next))
        RedrawView();
    if (CursorX > 0)
        m_graph->XorCursor(CursorX);
    CursorX = next;
    m_graph->XorCursor(CursorX);
}

void PlaybackPanel::ShowLoop(std::optional<std::int32_t> aMs, std::optional<std::int32_t> bMs)
{
    if (aMs == m_loopA && bMs == m_loopB)
        return;
    m_loopA = aMs;
    m_loopB = bMs;
    if (m_drawn == Drawn::Recording)
        RedrawView();
}

void PlaybackPanel::RedrawView()
{
    if (m_drawn == Drawn::Recording) {
        m_graph->SetView(m_view.Start(), m_view.End());
        const auto marks = m_loads ? m_marks.find(m_loads->LoadedMP3) : m_marks.end();
        m_graph->SetTicks(marks != m_marks.end() ? marks->second : std::vector<WaveformTick>());
        m_graph->DrawBackdrop(m_loopA, m_loopB);
        m_graph->DrawTracePoints(m_points, kTraceStart, m_traceWidth);
    } else {
        m_graph->DrawGrid();
    }
    if (CursorX >= 0)
        m_graph->XorCursor(CursorX);
}

void PlaybackPanel::ShowMarks(std::map<std::string, std::vector<WaveformTick>> marks)
{
    m_marks = std::move(marks);
    if (m_drawn == Drawn::Recording)
        RedrawView();
}

std::optional<double> PlaybackPanel::OnTick(double x) const
{
    if (m_drawn != Drawn::Recording)
        return std::nullopt;
    const auto tick = m_graph->TickNear(m_graph->ToPixelX(x));
    return tick ? std::optional(m_graph->Ticks()[*tick].ms) : std::nullopt;
}

void PlaybackPanel::BeginMark()
{
    if (!m_player.IsFileOpen()) {
        m_prompter.Beep();
        return;
    }
    m_markMs = m_player.Position();
    m_markField->clear();
    m_markField->setPlaceholderText(QString::fromUtf8("Note at %1 \u2014 Enter keeps the mark, Escape drops it")
                                        .arg(QString::fromStdString(FormatTime(m_markMs))));
    if (!m_markField->isVisible())
        m_focusBeforeMark = QApplication::focusWidget();
    m_markField->show();
    m_markField->raise();
    m_markField->setFocus();
}

void PlaybackPanel::EndMark(bool keep)
{
    if (!m_markField->isVisible())
        return;
    const QString note = m_markField->text();
    m_markField->hide();
    // The keys go back to where they were (the list, say): Space plays on.
    if (m_focusBeforeMark)
        m_focusBeforeMark->setFocus();
    if (keep)
        emit markMade(m_markMs, note);
}

bool PlaybackPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_markField && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        EndMark(false);
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void PlaybackPanel::StartOrComplain()
{
    if (m_loads && m_loads->Converting())
        return;
    if (!m_player.PlaybackStart()) {
        m_prompter.Beep();
        SetStatus({kNoSoundFile, kStatusYellow});
    }
}

void PlaybackPanel::PlayClicked()
{
    StartOrComplain();
}

void PlaybackPanel::PauseClicked()
{
    m_player.PlaybackPause();
}

void PlaybackPanel::StopClicked()
{
    if (!m_player.PlaybackStop())
        m_prompter.Show({"", "Couldn't stop!", MessageIcon::Exclamation});
    CurrentPosition = 0;
    ShowTime(0);
    PlaceCur();
}

void PlaybackPanel::tmrPosTick()
{
    if (Dragging) {
        ShowTime(CurrentPosition);
        return;
    }
    CurrentPosition = static_cast<float>(m_player.Position());
    PlaceCur();
    ShowTime(m_player.Position());
}

void PlaybackPanel::restartReGraph()
{
    m_reGraph.stop();
    m_reGraph.start();
}

void PlaybackPanel::ReGraphTick()
{
    m_reGraph.stop();
    if (!GraphDrawn)
        return;
    if (m_player.Status() == PlayerStatus::Playing)
        StopClicked();
    emit RegraphRequested();
}

void PlaybackPanel::StopForSeek()
{
    if (m_player.Status() != PlayerStatus::Playing)
        return;
    if (!m_player.PlaybackStop())
        m_prompter.Beep();
    m_player.SetPosition(0);
    ResumeAfterSeek = true;
}

void PlaybackPanel::GraphMouseDown(double x)
{
    if (m_player.Duration() == 0)
        return;
    x = OnTick(x).value_or(x);
    MouseDownX = x;
    StopForSeek();
    CurrentPosition = static_cast<float>(PositionAt(x));
    ShowTime(CurrentPosition);
    Dragging = true;
    PlaceCur();
}

void PlaybackPanel::GraphMouseMove(double x, Qt::MouseButtons buttons)
{
    const std::int32_t duration = m_player.Duration();
    if (duration == 0 || !(buttons & Qt::LeftButton) || !(x > 0 && x < duration))
        return;
    CurrentPosition = static_cast<float>(PositionAt(x));
    ShowTime(CurrentPosition);
    PlaceCur();
}

void PlaybackPanel::GraphMouseUp(double x)
{
    if (m_player.Duration() == 0)
        return;
    // A click seeks to the whole second, or exactly to a mark under it.
    const auto tick = OnTick(x);
    const auto target = tick && *tick >= 0 && *tick < m_player.Duration() ? std::optional(PositionAt(*tick))
                                                                          : SeekTarget(x, m_player.Duration());
    if (target) {
        CurrentPosition = static_cast<float>(*target);
        m_player.SetPosition(0);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_player.SetPosition(*target);
        PlaceCur();
        if (ResumeAfterSeek) {
            ResumeAfterSeek = false;
            m_player.PlaybackStart();
        }
    }
    Dragging = false;
}

void PlaybackPanel::GraphDblClick()
{
    if (m_player.Duration() == 0)
        return;
    StopForSeek();
    CurrentPosition = static_cast<float>(PositionAt(MouseDownX));
    ShowTime(CurrentPosition);
    Dragging = true;
    PlaceCur();
    StartOrComplain();
}

void PlaybackPanel::GraphWheel(double x, QPoint angleDelta, Qt::KeyboardModifiers modifiers)
{
    if (m_drawn != Drawn::Recording)
        return;
    bool changed = false;
    if (angleDelta.x() != 0 || (modifiers & Qt::ShiftModifier)) {
        if (Dragging)
            return;
        // Turned up or to the left, earlier times come into view.
        const double notches = (angleDelta.x() != 0 ? angleDelta.x() : angleDelta.y()) / kWheelNotch;
        changed = m_view.Pan(-notches * kPanPerNotch * (m_view.End() - m_view.Start()));
    } else {
        changed = m_view.ZoomAround(x, std::pow(2.0, -angleDelta.y() / kWheelNotch));
    }
    if (changed)
        RedrawView();
}

void PlaybackPanel::VolumeMouse(double x)
{
    const auto v = VolumeAt(x);
    if (!v)
        return;
    DrawVolume(*v);
    m_player.SetVolume(*v);
}

} // namespace pellam
