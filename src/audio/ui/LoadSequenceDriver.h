#pragma once
// Connects the load sequence to the playback panel, the player and the
// decoder, and owns the sequence's two timers (Wait_For_It_TIMER and
// WaveLoadTIM), running the sequence's ticks while they are requested.
#include "audio/LoadSequence.h"
#include "audio/WAVPlayer.h"
#include "audio/ui/PlaybackPanel.h"
#include "base/Prompter.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace pellam {

class LoadSequenceDriver final : public QObject, public LoadHost {
    Q_OBJECT
public:
    LoadSequenceDriver(PlaybackPanel& panel, WAVPlayer& player, Decoder& decoder, const Paths& paths,
        Prompter& prompter, ProcessSource processes = {}, QObject* parent = nullptr);
    ~LoadSequenceDriver() override;

    LoadSequence& sequence() { return m_seq; }
    QTimer& Wait_For_It_TIMER() { return m_waitTimer; }
    QTimer& WaveLoadTIM() { return m_loadTimer; }

    // The recording list's selected item text; the main window supplies it.
    std::function<std::string()> SelectedItem;

    bool PlayButtonEnabled() const override;
    void PressPlay() override;
    void PressStop() override;
    void ClosePlayerFile() override;
    bool OpenPlayerFile(const std::string& path) override;
    void SetPlayerPosition(std::int32_t ms) override;
    bool PlaybackStart() override;
    void PopulateGFX() override;
    void DrawGrid() override;
    void PlaceCur() override;
    void ClearResumeAfterSeek() override;
    StatusLine Status() const override;
    void SetStatus(const StatusLine& status) override;
    void SetPointer(MousePointer pointer) override;
    std::string SelectedItemText() const override;
    void ShowMessage(const Message& message) override;

private:
    void SyncTimers();

    PlaybackPanel& m_panel;
    WAVPlayer& m_player;
    Prompter& m_prompter;
    LoadSequence m_seq;
    QTimer m_waitTimer;
    QTimer m_loadTimer;
};

} // namespace pellam
