#pragma once
// Connects the load sequence to the playback panel, the player and the cache
// of decoded recordings, and owns the sequence's timers (Wait_For_It_TIMER,
// WaveLoadTIM and the watch on the background decode), running the
// sequence's ticks while they are requested.
#include "audio/LoadSequence.h"
#include "audio/RecordingRef.h"
#include "audio/WAVPlayer.h"
#include "audio/ui/PlaybackPanel.h"
#include "base/Listeners.h"
#include "base/Prompter.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

namespace pellam {

class LoadSequenceDriver final : public QObject, public LoadHost {
    Q_OBJECT
public:
    // The recording selected in the recording list (none when no row is).
    using Selection = std::function<std::optional<RecordingRef>()>;

    // The list's clicks act on `selected`.
    LoadSequenceDriver(PlaybackPanel& panel, WAVPlayer& player, DecodeCache& cache, Prompter& prompter,
        Selection selected, QObject* parent = nullptr);
    ~LoadSequenceDriver() override;

    LoadSequence& sequence() { return m_seq; }

    // The list's click and double-click, for the selected recording.
    void ListClick() { m_seq.ListClick(Selected()); }
    void ListDoubleClick() { m_seq.ListDoubleClick(Selected()); }

    void PressPlay() override;
    void PressStop() override;
    void PopulateGFX(std::shared_ptr<const DecodedTrace> trace) override;
    void DrawGrid() override;
    void PlaceCur() override;
    void ClearResumeAfterSeek() override;
    void SetStatus(const StatusLine& status) override;
    void SetStatusText(const std::string& text) override;
    void SetPointer(MousePointer pointer) override;
    void ShowMessage(const Message& message) override;

private:
    void SyncTimers();
    std::optional<RecordingRef> Selected() const { return m_selected ? m_selected() : std::nullopt; }

    PlaybackPanel& m_panel;
    Prompter& m_prompter;
    Selection m_selected;
    LoadSequence m_seq;
    QTimer m_waitTimer {this};
    QTimer m_loadTimer {this};
    QTimer m_decodeTimer {this};
    Subscription m_timersChanged;
};

} // namespace pellam
