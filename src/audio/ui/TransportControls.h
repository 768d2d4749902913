#pragma once
// The keys of close listening as actions: play/pause, stop, speed, jumps,
// replay, the A–B loop and a mark with a note. Each action carries its shortcut, so a menu that
// lists them shows the keys, and works while one of the widgets it is given
// (the recording list, the playback panel) has the focus — never while a
// text field elsewhere has it. Every action is applied through Transport and
// shown on the panel at once.
#include "audio/Transport.h"

#include <QObject>

#include <vector>

class QAction;
class QWidget;

namespace pellam {

class PlaybackPanel;
class Prompter;

class TransportControls final : public QObject {
    Q_OBJECT
public:
    TransportControls(WAVPlayer& player, PlaybackPanel& panel, Prompter& prompter, QObject* parent = nullptr);

    // The actions in menu order; nullptr stands for a separator.
    const std::vector<QAction*>& Actions() const { return m_actions; }
    QAction* Action(const char* objectName) const;
    // Keys work while `scope` or a widget inside it has the focus.
    void ListenIn(QWidget* scope);

    Transport& transport() { return m_transport; }

private:
    QAction* Add(const char* name, const QString& caption, const QKeySequence& keys, void (TransportControls::*slot)());
    void TogglePlayPause();
    void Stop();
    void Slower();
    void Faster();
    void NormalSpeed();
    void BackShort() { JumpBy(-kShortJumpMs); }
    void ForwardShort() { JumpBy(kShortJumpMs); }
    void BackLong() { JumpBy(-kLongJumpMs); }
    void ForwardLong() { JumpBy(kLongJumpMs); }
    void Replay();
    void Loop();
    void Mark();
    void JumpBy(std::int32_t ms);
    // The panel's speed, loop and cursor as the player now has them.
    void Show();

    WAVPlayer& m_player;
    PlaybackPanel& m_panel;
    Prompter& m_prompter;
    Transport m_transport;
    std::vector<QAction*> m_actions;
};

} // namespace pellam
