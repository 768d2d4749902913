#include "audio/LoadSequence.h"

#include <filesystem>
#include <system_error>

namespace pellam {

LoadSequence::LoadSequence(LoadHost& host, Decoder& decoder, const Paths& paths, ProcessSource processes)
    : m_host(host), m_decoder(decoder), m_paths(paths), m_processes(std::move(processes))
{ }

void LoadSequence::SetTimer(TimerRequest& timer, bool enabled, int intervalMs)
{
    const TimerRequest next {enabled, intervalMs};
    if (timer == next)
        return;
    timer = next;
    if (TimersChanged)
        TimersChanged();
}

void LoadSequence::ConvertMP3toWAV(const std::string& fullPath)
{
    if (!m_host.PlayButtonEnabled())
        m_host.PressStop();
    m_host.ClosePlayerFile();

    // A decode that fails must not leave the previous recording to be played.
    std::error_code ignored;
    std::filesystem::remove(TempWavPath(), ignored);

    m_host.SetStatus({kConverting, m_host.Status().colour});
    m_host.SetPointer(MousePointer::Busy);

    const DecoderStart started = m_decoder.Start(kDecoderProgram, {"--decode", fullPath, TempWavPath()});
    if (started.outcome == DecoderStart::Outcome::Started) {
        SetTimer(m_wait, true, 500);
        return;
    }
    m_host.SetPointer(MousePointer::Normal);
    const std::string text = started.outcome == DecoderStart::Outcome::Missing
        ? std::string(kMissingCodec)
        : kStartFailedPrefix + std::to_string(started.error);
    m_host.SetStatus({text, m_host.Status().colour});
}

void LoadSequence::ListClick(const std::string& selectedText)
{
    if (selectedText.empty() || selectedText == LoadedMP3)
        return;
    AutoPlay = false;
    ConvertMP3toWAV(RecordingPath(selectedText));
    LoadedMP3 = selectedText;
}

void LoadSequence::ListDoubleClick(const std::string& selectedText)
{
    if (selectedText.empty())
        return;
    AutoPlay = true;
    if (selectedText != LoadedMP3) {
        ConvertMP3toWAV(RecordingPath(selectedText));
        LoadedMP3 = selectedText;
    } else {
        SetTimer(m_wait, true, m_wait.intervalMs);
    }
}

void LoadSequence::Reload()
{
    AutoPlay = false;
    SetTimer(m_wait, true, m_wait.intervalMs);
}

void LoadSequence::WaitForItTick()
{
    // A second decoder (one we did not start, or an older one of ours) is
    // still at work: wait for it.
    const ProcessCheck others = CheckProcess(kDecoderProgram, m_processes);
    if (!others)
        m_host.ShowMessage(others.error().Shown);
    if (others.value_or(false))
        return;
    SetTimer(m_wait, false, m_wait.intervalMs);
    m_retries = 0;
    WavLoad();
}

void LoadSequence::WaveLoadTick()
{
    SetTimer(m_load, false, m_load.intervalMs);
    WavLoad();
}

void LoadSequence::Failed()
{
    ++m_retries;
    if (m_retries >= kLoadAttempts) {
        m_host.DrawGrid();
        m_retries = 0;
        m_host.SetStatus({kCouldNotLoad, kStatusRed});
        m_host.SetPointer(MousePointer::Normal);
        return;
    }
    const std::string current = m_host.Status().text;
    const std::string text = current.rfind("Load", 0) == 0 ? current + "." : std::string("Loading..");
    m_host.SetStatus({text, m_retries < kRedFromAttempt ? kStatusYellow : kStatusRed});
    SetTimer(m_load, true, m_load.intervalMs);
}

void LoadSequence::StartAtNoteOffset()
{
    m_host.SetPlayerPosition(0);
    if (NoteAudioStart > 10)
        m_host.SetPlayerPosition((NoteAudioStart - 10) * 1000);
    NoteAudioStart = 0;
    m_host.PlaceCur();
    m_host.ClearResumeAfterSeek();
    m_host.PlaybackStart();
}

void LoadSequence::WavLoad()
{
    // Other programs may open a file that is still being written, so the
    // file only counts once the decoder we started has exited.
    const bool opened = !m_decoder.IsRunning() && m_host.OpenPlayerFile(TempWavPath());
    if (!opened) {
        Failed();
        return;
    }
    m_host.SetStatus({kPlayingPrefix + m_host.SelectedItemText(), kStatusGreen});
    if (NoteAudioStart > 0) {
        AutoPlay = false;
        m_host.PopulateGFX();
        StartAtNoteOffset();
        return;
    }
    m_host.PopulateGFX();
    if (AutoPlay) {
        AutoPlay = false;
        m_host.PressPlay();
    }
    m_retries = 0;
}

} // namespace pellam
