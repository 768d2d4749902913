#include "audio/ui/LoadSequenceDriver.h"

#include <QToolButton>

namespace pellam {

LoadSequenceDriver::LoadSequenceDriver(PlaybackPanel& panel, WAVPlayer& player, Decoder& decoder, const Paths& paths,
    Prompter& prompter, ProcessSource processes, QObject* parent)
    : QObject(parent), m_panel(panel), m_player(player), m_prompter(prompter),
      m_seq(*this, decoder, paths, std::move(processes))
{
    connect(&m_waitTimer, &QTimer::timeout, this, [this] { m_seq.WaitForItTick(); });
    connect(&m_loadTimer, &QTimer::timeout, this, [this] { m_seq.WaveLoadTick(); });
    m_seq.TimersChanged = [this] { SyncTimers(); };
    m_panel.RegraphRequested = [this] { m_seq.Reload(); };
    SyncTimers();
}

LoadSequenceDriver::~LoadSequenceDriver()
{
    m_panel.RegraphRequested = nullptr;
}

void LoadSequenceDriver::SyncTimers()
{
    const auto apply = [](QTimer& timer, const TimerRequest& want) {
        if (timer.interval() != want.intervalMs)
            timer.setInterval(want.intervalMs);
        if (want.enabled && !timer.isActive())
            timer.start();
        else if (!want.enabled && timer.isActive())
            timer.stop();
    };
    apply(m_waitTimer, m_seq.WaitTimer());
    apply(m_loadTimer, m_seq.LoadTimer());
}

bool LoadSequenceDriver::PlayButtonEnabled() const
{
    return m_panel.PlayButton()->isEnabled();
}
void LoadSequenceDriver::PressPlay()
{
    m_panel.PlayClicked();
}
void LoadSequenceDriver::PressStop()
{
    m_panel.StopClicked();
}

void LoadSequenceDriver::ClosePlayerFile()
{
    m_player.FileClose();
    m_player.SetSelectedDevice(-1); // refused only while playing, and the player was stopped first
}

bool LoadSequenceDriver::OpenPlayerFile(const std::string& path)
{
    return m_player.FileOpen(path);
}
void LoadSequenceDriver::SetPlayerPosition(std::int32_t ms)
{
    m_player.SetPosition(ms);
}
bool LoadSequenceDriver::PlaybackStart()
{
    return m_player.PlaybackStart();
}
void LoadSequenceDriver::PopulateGFX()
{
    m_panel.PopulateGFX(m_seq.TempWavPath());
}
void LoadSequenceDriver::DrawGrid()
{
    m_panel.DrawGrid();
}
void LoadSequenceDriver::PlaceCur()
{
    m_panel.PlaceCur();
}
void LoadSequenceDriver::ClearResumeAfterSeek()
{
    m_panel.ResumeAfterSeek = false;
}
StatusLine LoadSequenceDriver::Status() const
{
    return m_panel.Status();
}
void LoadSequenceDriver::SetStatus(const StatusLine& status)
{
    m_panel.SetStatus(status);
}
void LoadSequenceDriver::SetPointer(MousePointer pointer)
{
    m_panel.SetPointer(pointer);
}
std::string LoadSequenceDriver::SelectedItemText() const
{
    return SelectedItem ? SelectedItem() : std::string();
}
void LoadSequenceDriver::ShowMessage(const Message& message)
{
    m_prompter.Show(message);
}

} // namespace pellam
