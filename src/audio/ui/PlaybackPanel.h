#pragma once
// The playback panel of the main window (Frame1): waveform with position
// cursor, time label, status label, Play/Pause/Stop, volume wedge. It drives
// the main window's player and listens to the player's StatusChanged and
// EndOfStream events beside any other listener. The waveform is drawn as far
// as the decode has traced it and follows it as it grows. The wheel zooms it
// around the pointer and a sideways wheel pans it; a zoomed waveform pages
// after the position cursor when the cursor leaves it.
#include "audio/StatusLine.h"
#include "audio/WAVPlayer.h"
#include "audio/WaveformTrace.h"
#include "audio/WaveformView.h"
#include "audio/ui/VolumePicture.h"
#include "audio/ui/WaveformPicture.h"
#include "base/Listeners.h"
#include "base/Prompter.h"

#include <QFrame>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QToolButton;

namespace pellam {

class LoadSequence;

class PlaybackPanel : public QFrame {
    Q_OBJECT
public:
    PlaybackPanel(WAVPlayer& player, Prompter& prompter, QWidget* parent = nullptr);
    ~PlaybackPanel() override;

    WaveformPicture* PlayGRFX() const { return m_graph; }
    VolumePicture* Vol() const { return m_vol; }
    QLabel* lblTime() const { return m_time; }
    QLabel* lblSpeed() const { return m_speed; }
    QLabel* NPLabel() const { return m_status; }
    QToolButton* PlayButton() const { return m_play; }
    QToolButton* PauseButton() const { return m_pause; }
    QToolButton* StopButton() const { return m_stop; }
    QToolButton* MarkButton() const { return m_mark; }
    // The one-line note of a mark being made; hidden otherwise.
    QLineEdit* MarkField() const { return m_markField; }

    // The status label.
    StatusLine Status() const { return m_statusLine; }
    void SetStatus(const StatusLine& status);
    MousePointer Pointer() const { return m_pointer; }
    void SetPointer(MousePointer pointer);

    // Draws the grid and the waveform as far as it is traced, then follows
    // the trace until it is complete; a newer call or DrawGrid supersedes it.
    // A new recording is shown whole; the same trace again (a redraw) keeps
    // the zoom. No loop is marked: the player opened the recording afresh.
    void PopulateGFX(std::shared_ptr<const DecodedTrace> trace);
    // Draws what the trace gained since the last drawing (TraceTIM's tick).
    void FollowTrace();
    // Every point of a complete trace is drawn.
    bool TraceComplete() const { return m_trace && m_traceComplete; }
    // Clears the picture to the grid; a waveform still growing is no longer followed.
    void DrawGrid();
    // Erases the last cursor (when it was above 0) and draws it at the
    // current position; a zoomed waveform that does not show the position
    // pages to it first, unless the mouse is dragging the cursor.
    void PlaceCur();
    // Marks the A-B loop on the waveform: A alone as a line, A and B as a
    // shaded region between two lines, neither as nothing. Only drawing: the
    // marks stay through zooms and redraws until the next call or load.
    void ShowLoop(std::optional<std::int32_t> aMs, std::optional<std::int32_t> bMs);
    // The examiner's marks on recordings, by file name; the waveform shows
    // those of the recording loaded.
    void ShowMarks(std::map<std::string, std::vector<WaveformTick>> marks);
    // "Mark…" and M: the player's position is taken and the note field opens
    // (Enter keeps the mark, Escape drops it); a beep without a recording.
    void BeginMark();
    void DrawVolume(std::int32_t volume) { m_vol->DrawVolume(volume); }
    // The playing speed beside the time ("1.0×").
    void ShowSpeed(const QString& text);

    void PlayClicked();
    void PauseClicked();
    void StopClicked();
    void tmrPosTick();
    // The main window calls this at every size change; the waveform is
    // redrawn 250 ms after the last one.
    void restartReGraph();
    void ReGraphTick();
    // The load sequence whose state decides whether Play is refused (while it
    // converts); none when null.
    void FollowLoads(const LoadSequence* loads) { m_loads = loads; }

    // Mouse on the waveform, x in its scale (ms once a waveform is drawn).
    void GraphMouseDown(double x);
    void GraphMouseMove(double x, Qt::MouseButtons buttons);
    void GraphMouseUp(double x);
    void GraphDblClick();
    // The wheel on the waveform with the pointer at x: zooms around x, or
    // pans with Shift or when turned sideways (not while dragging).
    void GraphWheel(double x, QPoint angleDelta, Qt::KeyboardModifiers modifiers);
    // Left button pressed or dragged on the volume picture at x (its scale).
    void VolumeMouse(double x);

    // Panel state.
    float CurrentPosition = 0;
    std::int32_t CursorX = -1;
    bool Dragging = false;
    bool ResumeAfterSeek = false;
    double MouseDownX = 0;
    bool GraphDrawn = false;

signals:
    // Asked by the redraw after a resize to reopen the file without playing.
    void RegraphRequested();
    // The time label now shows the player at positionMs (while it plays,
    // at every step of the position timer).
    void positionShown(double positionMs);
    // A mark at positionMs of the loaded recording was kept with its note.
    void markMade(double positionMs, const QString& note);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnStatusChanged(PlayerStatus status);
    void ShowTime(double positionMs);
    void StopForSeek();
    void StartOrComplain();
    // Draws the whole picture again in the current view from the points traced so far.
    void RedrawView();
    // The moment of the mark drawn under x, if any: a click on a mark seeks to it exactly.
    std::optional<double> OnTick(double x) const;
    void EndMark(bool keep);

    WAVPlayer& m_player;
    Prompter& m_prompter;
    WaveformPicture* m_graph;
    VolumePicture* m_vol;
    QLabel* m_volCaption;
    QLabel* m_time;
    QLabel* m_speed;
    QLabel* m_status;
    QToolButton* m_play;
    QToolButton* m_pause;
    QToolButton* m_stop;
    QToolButton* m_mark;
    QLineEdit* m_markField;
    std::int32_t m_markMs = 0;
    QPointer<QWidget> m_focusBeforeMark;
    std::map<std::string, std::vector<WaveformTick>> m_marks;
    QTimer m_tmrPos {this};
    QTimer m_reGraph {this};
    QTimer m_traceFollow {this};
    StatusLine m_statusLine;
    MousePointer m_pointer = MousePointer::Normal;
    const LoadSequence* m_loads = nullptr;
    std::shared_ptr<const DecodedTrace> m_trace;
    // The points drawn so far (at most kTraceMaxPoints), kept to draw another view.
    std::vector<TracePoint> m_points;
    double m_traceWidth = 0;
    bool m_traceComplete = false;
    enum class Drawn { Nothing, Grid, Recording } m_drawn = Drawn::Nothing;
    WaveformView m_view;
    std::optional<std::int32_t> m_loopA;
    std::optional<std::int32_t> m_loopB;
    Subscription m_statusWatch;
    Subscription m_endWatch;
};

} // namespace pellam
