#include "audio/ui/TransportControls.h"

#include "audio/ui/PlaybackPanel.h"
#include "base/Prompter.h"

#include <QAction>
#include <QToolButton>
#include <QWidget>

namespace pellam {

TransportControls::TransportControls(WAVPlayer& player, PlaybackPanel& panel, Prompter& prompter, QObject* parent)
    : QObject(parent), m_player(player), m_panel(panel), m_prompter(prompter), m_transport(player)
{
    Add("actPlayPause", "Play / Pause", Qt::Key_Space, &TransportControls::TogglePlayPause);
    Add("actStop", "Stop", QKeySequence(Qt::SHIFT | Qt::Key_Space), &TransportControls::Stop);
    m_actions.push_back(nullptr);
    Add("actSlower", "Slower", Qt::Key_BracketLeft, &TransportControls::Slower);
    Add("actFaster", "Faster", Qt::Key_BracketRight, &TransportControls::Faster);
    Add("actNormalSpeed", "Normal Speed", Qt::Key_Backslash, &TransportControls::NormalSpeed);
    m_actions.push_back(nullptr);
    Add("actBack5", "Back 5 Seconds", QKeySequence(Qt::CTRL | Qt::Key_Left), &TransportControls::BackShort);
    Add("actForward5", "Forward 5 Seconds", QKeySequence(Qt::CTRL | Qt::Key_Right), &TransportControls::ForwardShort);
    Add("actBack30", "Back 30 Seconds", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Left), &TransportControls::BackLong);
    Add("actForward30", "Forward 30 Seconds", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Right),
        &TransportControls::ForwardLong);
    Add("actReplay", "Replay Last 3 Seconds", QKeySequence(Qt::CTRL | Qt::Key_R), &TransportControls::Replay);
    Add("actLoop", "Loop A\u2013B (Set A, Set B, Clear)", Qt::Key_L, &TransportControls::Loop);
    m_actions.push_back(nullptr);
    Add("actMark", "Mark\u2026", Qt::Key_M, &TransportControls::Mark);

    const auto tip = [this](QToolButton* button, const char* action, const QString& caption) {
        button->setToolTip(caption + " (" + Action(action)->shortcut().toString(QKeySequence::NativeText) + ")");
    };
    tip(m_panel.PlayButton(), "actPlayPause", "Play");
    tip(m_panel.PauseButton(), "actPlayPause", "Pause");
    tip(m_panel.StopButton(), "actStop", "Stop");
    tip(m_panel.MarkButton(), "actMark", "Mark this moment with a note");
    Show();
}

QAction* TransportControls::Add(
    const char* name, const QString& caption, const QKeySequence& keys, void (TransportControls::*slot)())
{
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    a->setShortcut(keys);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(a, &QAction::triggered, this, slot);
    m_actions.push_back(a);
    return a;
}

QAction* TransportControls::Action(const char* objectName) const
{
    for (QAction* a : m_actions)
        if (a && a->objectName() == objectName)
            return a;
    return nullptr;
}

void TransportControls::ListenIn(QWidget* scope)
{
    for (QAction* a : m_actions)
        if (a)
            scope->addAction(a);
}

void TransportControls::TogglePlayPause()
{
    QToolButton* button = m_player.Status() == PlayerStatus::Playing ? m_panel.PauseButton() : m_panel.PlayButton();
    button->click(); // a disabled button does nothing, as when clicked
}

void TransportControls::Stop()
{
    m_panel.StopButton()->click();
}

void TransportControls::Slower()
{
    m_transport.Slower();
    Show();
}

void TransportControls::Faster()
{
    m_transport.Faster();
    Show();
}

void TransportControls::NormalSpeed()
{
    m_transport.NormalSpeed();
    Show();
}

void TransportControls::JumpBy(std::int32_t ms)
{
    if (!m_player.IsFileOpen() || m_panel.Dragging) {
        m_prompter.Beep();
        return;
    }
    m_transport.Jump(ms);
    Show();
}

void TransportControls::Replay()
{
    if (m_panel.Dragging || !m_transport.Replay())
        m_prompter.Beep();
    Show();
}

void TransportControls::Loop()
{
    const LoopPress press = m_transport.PressLoop();
    if (press == LoopPress::TooShort || press == LoopPress::NoRecording)
        m_prompter.Beep();
    Show();
}

void TransportControls::Mark()
{
    m_panel.BeginMark();
}

void TransportControls::Show()
{
    m_panel.ShowSpeed(QString::fromStdString(m_transport.SpeedText()));
    const auto loop = m_player.Loop();
    m_panel.ShowLoop(loop ? std::optional(loop->aMs) : m_transport.PendingA(),
        loop ? std::optional(loop->bMs) : std::nullopt);
    if (m_player.IsFileOpen() && !m_panel.Dragging)
        m_panel.tmrPosTick(); // the cursor and the time where the player now is
}

} // namespace pellam
