#include "audio/LoadSequence.h"

#include "base/PathText.h"
#include "base/Rounding.h"
#include "workspace/Mp3Duration.h"
#include "workspace/WorkFolder.h"

#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace pellam {

LoadSequence::LoadSequence(
    LoadHost& host, WAVPlayer& player, Decoder& decoder, const Paths& paths, ProcessSource processes, int pid)
    : m_host(host), m_player(player), m_decoder(decoder), m_paths(paths), m_processes(std::move(processes)),
      m_pid(pid != 0 ? pid : static_cast<int>(::getpid()))
{ }

LoadSequence::~LoadSequence()
{
    if (m_paths.Temp.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove(TempWavPath(), ignored);
}

std::string LoadSequence::TempWavPath() const
{
    return m_paths.Temp + TempWavName(m_pid);
}

void LoadSequence::SetTimer(TimerRequest& timer, bool enabled, int intervalMs)
{
    const TimerRequest next {enabled, intervalMs};
    if (timer == next)
        return;
    timer = next;
    TimersChanged();
}

void LoadSequence::ConvertMP3toWAV(const std::string& fullPath)
{
    if (m_player.Status() == PlayerStatus::Playing)
        m_host.PressStop();
    m_player.FileClose();
    m_player.SetSelectedDevice(-1); // refused only while playing, and the player was stopped first

    // A decode that fails must not leave the previous recording to be played.
    std::error_code ignored;
    std::filesystem::remove(TempWavPath(), ignored);

    m_host.SetStatusText(kConverting);
    m_host.SetPointer(MousePointer::Busy);

    // The decoder takes no "--": an absolute path is the way to make sure a
    // recording named "-x.mp3" (or "-") is read as a file, never as an option.
    const DecoderStart started = m_decoder.Start(kDecoderProgram, {"--decode", MakeAbsolute(fullPath), TempWavPath()});
    if (started.outcome == DecoderStart::Outcome::Started) {
        m_state = LoadState::Decoding;
        SetTimer(m_wait, true, 500);
        return;
    }
    m_state = LoadState::Failed;
    m_host.SetPointer(MousePointer::Normal);
    m_host.SetStatusText(started.outcome == DecoderStart::Outcome::Missing
            ? std::string(kMissingCodec)
            : kStartFailedPrefix + std::to_string(started.error));
}

void LoadSequence::Decode(const RecordingRef& recording)
{
    ConvertMP3toWAV(recording.path);
    m_loaded = recording;
    LoadedMP3 = recording.fileName;
}

bool LoadSequence::IsLoaded(const RecordingRef& recording) const
{
    // The path tells two incidents' recordings of the same number apart.
    return m_loaded && m_loaded->number == recording.number && m_loaded->path == recording.path;
}

void LoadSequence::ShowLoaded(const std::optional<RecordingRef>& current)
{
    if (m_state != LoadState::Loaded)
        return;
    const bool ownRow = current && IsLoaded(*current);
    const bool playing = m_player.Status() == PlayerStatus::Playing;
    m_host.SetStatus({(ownRow || playing ? kPlayingPrefix : kLoadedPrefix) + LoadedMP3, kStatusGreen});
}

void LoadSequence::ListClick(const std::optional<RecordingRef>& selected)
{
    if (!selected || IsLoaded(*selected))
        return;
    AutoPlay = false;
    Decode(*selected);
}

void LoadSequence::ListDoubleClick(const std::optional<RecordingRef>& selected)
{
    if (!selected)
        return;
    AutoPlay = true;
    if (!IsLoaded(*selected)) {
        Decode(*selected);
    } else {
        if (m_state != LoadState::Decoding)
            m_state = LoadState::Loading;
        SetTimer(m_wait, true, m_wait.intervalMs);
    }
}

void LoadSequence::Reload()
{
    AutoPlay = false;
    if (m_state != LoadState::Decoding)
        m_state = LoadState::Loading;
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
        m_state = LoadState::Failed;
        m_host.SetStatus({kCouldNotLoad, kStatusRed});
        m_host.SetPointer(MousePointer::Normal);
        return;
    }
    // "Loading.." after the first failed attempt, one more dot for each further one.
    m_state = LoadState::Loading;
    m_host.SetStatus({"Loading" + std::string(static_cast<std::size_t>(m_retries) + 1, '.'),
        m_retries < kRedFromAttempt ? kStatusYellow : kStatusRed});
    SetTimer(m_load, true, m_load.intervalMs);
}

void LoadSequence::StartAtNoteOffset()
{
    const std::int32_t note = NoteAudioStart;
    NoteAudioStart = 0;
    // A notation timed after the recording's end has nothing to play: the
    // log and the recording disagree, and the examiner is told so.
    const std::int32_t length = m_player.Duration();
    if (static_cast<std::int64_t>(note) * 1000 > length) {
        m_host.SetStatus({"(" + DurationText(note) + ") lies past the end of " + LoadedMP3 + " ("
                + DurationText(DivRoundHalfEven(length, 1000)) + ")",
            kStatusRed});
        return;
    }
    m_player.SetPosition(0);
    if (note > 10)
        m_player.SetPosition((note - 10) * 1000);
    m_host.PlaceCur();
    m_host.ClearResumeAfterSeek();
    m_player.PlaybackStart();
}

void LoadSequence::WavLoad()
{
    // Other programs may open a file that is still being written, so the
    // file only counts once the decoder we started has exited.
    const bool opened = !m_decoder.IsRunning() && m_player.FileOpen(TempWavPath());
    if (!opened) {
        Failed();
        return;
    }
    m_state = LoadState::Loaded;
    m_host.SetStatus({kPlayingPrefix + LoadedMP3, kStatusGreen});
    if (NoteAudioStart > 0) {
        AutoPlay = false;
        m_host.PopulateGFX(TempWavPath());
        StartAtNoteOffset();
        return;
    }
    m_host.PopulateGFX(TempWavPath());
    if (AutoPlay) {
        AutoPlay = false;
        m_host.PressPlay();
    }
    m_retries = 0;
}

} // namespace pellam
