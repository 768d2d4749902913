#include "audio/ui/LoadSequenceDriver.h"

namespace pellam {

LoadSequenceDriver::LoadSequenceDriver(PlaybackPanel& panel, WAVPlayer& player, DecodeCache& cache, Prompter& prompter,
    Selection selected, QObject* parent)
    : QObject(parent), m_panel(panel), m_prompter(prompter), m_selected(std::move(selected)),
      m_seq(*this, player, cache)
{
    m_waitTimer.setObjectName("Wait_For_It_TIMER");
    m_loadTimer.setObjectName("WaveLoadTIM");
    m_decodeTimer.setObjectName("DecodeWatchTIM");
    connect(&m_waitTimer, &QTimer::timeout, this, [this] { m_seq.WaitForItTick(); });
    connect(&m_loadTimer, &QTimer::timeout, this, [this] { m_seq.WaveLoadTick(); });
    connect(&m_decodeTimer, &QTimer::timeout, this, [this] { m_seq.DecodeTick(); });
    m_timersChanged = m_seq.TimersChanged.Subscribe([this] { SyncTimers(); });
    connect(&m_panel, &PlaybackPanel::RegraphRequested, this, [this] { m_seq.Reload(); });
    m_panel.FollowLoads(&m_seq);
    SyncTimers();
}

LoadSequenceDriver::~LoadSequenceDriver()
{
    m_panel.FollowLoads(nullptr);
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
    apply(m_decodeTimer, m_seq.DecodeTimer());
}

void LoadSequenceDriver::PressPlay()
{
    m_panel.PlayClicked();
}
void LoadSequenceDriver::PressStop()
{
    m_panel.StopClicked();
}
void LoadSequenceDriver::PopulateGFX(std::shared_ptr<const DecodedTrace> trace)
{
    m_panel.PopulateGFX(std::move(trace));
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
void LoadSequenceDriver::SetStatus(const StatusLine& status)
{
    m_panel.SetStatus(status);
}
void LoadSequenceDriver::SetStatusText(const std::string& text)
{
    m_panel.SetStatus({text, m_panel.Status().colour});
}
void LoadSequenceDriver::SetPointer(MousePointer pointer)
{
    m_panel.SetPointer(pointer);
}
void LoadSequenceDriver::ShowMessage(const Message& message)
{
    m_prompter.Show(message);
}

} // namespace pellam
