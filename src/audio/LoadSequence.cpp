#include "audio/LoadSequence.h"

#include "audio/Mp3Stream.h"
#include "base/PathText.h"
#include "base/Rounding.h"
#include "media/Mp3Decoder.h"
#include "media/Mp3Duration.h"

#include <cerrno>

namespace pellam {
namespace {

constexpr std::int64_t kWavHeaderBytes = 44;

std::string TimeOf(std::int64_t samples, int rate)
{
    return DurationText(rate > 0 ? DivRoundHalfEven(samples, rate) : 0);
}

} // namespace

LoadSequence::LoadSequence(LoadHost& host, WAVPlayer& player, DecodeCache& cache)
    : m_host(host), m_player(player), m_cache(cache)
{
    m_playerStatus = m_player.StatusChanged.Subscribe([this](PlayerStatus status) {
        if (status == PlayerStatus::Stopped)
            m_stoppedPrefix = kStoppedPrefix;
        ShowLoaded();
    });
    m_endOfStream = m_player.EndOfStream.Subscribe([this] {
        m_stoppedPrefix = kEndedPrefix;
        if (m_endedEarly.empty())
            ShowLoaded();
        else
            DecodeEndedEarly();
    });
}

LoadSequence::~LoadSequence()
{
    if (m_decode)
        m_decode->Stop();
}

void LoadSequence::SetTimer(TimerRequest& timer, bool enabled, int intervalMs)
{
    const TimerRequest next {enabled, intervalMs};
    if (timer == next)
        return;
    timer = next;
    TimersChanged();
}

void LoadSequence::RetireDecode()
{
    SetTimer(m_decodeWatch, false, m_decodeWatch.intervalMs);
    if (!m_decode)
        return;
    if (!m_cache.Keep(*m_decode))
        m_decode->Stop();
    // The player's stream shared the decode and was closed before: the last
    // owner goes here, and with it the decode's thread (one step at most).
    m_decode.reset();
}

void LoadSequence::ConvertMP3toWAV(const std::string& fullPath)
{
    if (m_player.Status() == PlayerStatus::Playing)
        m_host.PressStop();
    m_player.FileClose();
    m_player.SetSelectedDevice(-1); // refused only while playing, and the player was stopped first
    RetireDecode();

    // A new pick replaces the load still waiting or retrying: its timers
    // end here, whatever becomes of this one.
    SetTimer(m_wait, false, m_wait.intervalMs);
    SetTimer(m_load, false, m_load.intervalMs);
    m_retries = 0;
    m_playsKept = false;
    m_statusNote.clear();
    m_endedEarly.clear();

    m_host.SetStatusText(kConverting);
    m_host.SetPointer(MousePointer::Busy);
    m_source = MakeAbsolute(fullPath);
    m_state = LoadState::Decoding;
    SetTimer(m_wait, true, m_wait.intervalMs);
}

void LoadSequence::Decode(const RecordingRef& recording)
{
    m_loaded = recording;
    LoadedMP3 = recording.fileName;
    ConvertMP3toWAV(recording.path);
}

void LoadSequence::Forget()
{
    m_loaded.reset();
    LoadedMP3.clear();
}

void LoadSequence::CouldNotLoad(const std::string& reason, const std::string& detail)
{
    const std::string name = LoadedMP3.empty() ? BaseName(m_source) : LoadedMP3;
    m_player.FileClose();
    RetireDecode();
    SetTimer(m_wait, false, m_wait.intervalMs);
    SetTimer(m_load, false, m_load.intervalMs);
    m_retries = 0;
    m_state = LoadState::Failed;
    Forget();
    AutoPlay = false;
    NoteAudioStart = 0;
    m_host.DrawGrid();
    m_host.SetStatus({std::string(kCouldNotLoad) + " - " + reason, kStatusRed});
    m_host.SetPointer(MousePointer::Normal);
    m_host.ShowMessage({kCouldNotLoad, name + " was not loaded: " + reason + ".", MessageIcon::Exclamation,
        "Recording: " + m_source + (detail.empty() ? "" : "\n" + detail)});
}

bool LoadSequence::IsLoaded(const RecordingRef& recording) const
{
    // The path tells two incidents' recordings of the same number apart.
    return m_loaded && m_loaded->number == recording.number && m_loaded->path == recording.path;
}

void LoadSequence::ShowLoaded()
{
    if (m_state != LoadState::Loaded)
        return;
    const PlayerStatus status = m_player.Status();
    const char* prefix = status == PlayerStatus::Playing ? kPlayingPrefix
        : status == PlayerStatus::Paused                 ? kPausedPrefix
                                                         : m_stoppedPrefix;
    m_host.SetStatus({prefix + LoadedMP3 + m_statusNote, kStatusGreen});
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
    // Nothing could be decoded: there is nothing to reopen, and the status
    // line keeps saying why.
    if (!m_loaded && m_state == LoadState::Failed)
        return;
    AutoPlay = false;
    if (m_state != LoadState::Decoding)
        m_state = LoadState::Loading;
    SetTimer(m_wait, true, m_wait.intervalMs);
}

void LoadSequence::WaitForItTick()
{
    SetTimer(m_wait, false, m_wait.intervalMs);
    m_retries = 0;
    WavLoad();
}

void LoadSequence::WaveLoadTick()
{
    SetTimer(m_load, false, m_load.intervalMs);
    WavLoad();
}

void LoadSequence::Failed(const std::string& reason)
{
    ++m_retries;
    if (m_retries >= kLoadAttempts) {
        m_host.DrawGrid();
        m_retries = 0;
        m_state = LoadState::Failed;
        Forget();
        m_host.SetStatus({std::string(kCouldNotLoad) + " - " + reason, kStatusRed});
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
    // log and the recording disagree, and the examiner is told so. Until the
    // scan has ended the length may be an estimate: the seek then decides.
    const std::int32_t length = m_player.Duration();
    if (LengthKnown() && static_cast<std::int64_t>(note) * 1000 > length) {
        m_host.SetStatus({"(" + DurationText(note) + ") lies past the end of " + LoadedMP3 + " ("
                + DurationText(DivRoundHalfEven(length, 1000)) + ")",
            kStatusRed});
        return;
    }
    m_player.SetPosition(0);
    if (note > NoteLeadIn)
        m_player.SetPosition((note - NoteLeadIn) * 1000);
    m_host.PlaceCur();
    m_host.ClearResumeAfterSeek();
    m_player.PlaybackStart();
}

bool LoadSequence::LengthKnown() const
{
    // Without a decode the recording plays from its kept file, whose length is exact.
    return !m_decode || m_decode->LengthExact();
}

void LoadSequence::StartDecode(std::int64_t estimatedBytes)
{
    std::string wavPath;
    if (auto reserved = m_cache.Reserve(estimatedBytes))
        wavPath = std::move(reserved).value();
    else
        m_statusNote = " - not kept (" + reserved.error() + "): going back to it decodes it again";
    m_decode = std::make_shared<RecordingDecode>(m_source, wavPath, ThreadedDecode);
    SetTimer(m_decodeWatch, true, m_decodeWatch.intervalMs);
}

void LoadSequence::WavLoad()
{
    // Decoded before in this session and unchanged since: its kept file plays.
    if (const CachedRecording* kept = m_cache.Find(m_source); kept && m_player.FileOpen(kept->wavPath)) {
        m_playsKept = true;
        Loaded(kept->trace);
        return;
    }
    m_playsKept = false;
    auto opened = Mp3Decoder::Open(m_source);
    if (!opened) {
        const SystemError& error = opened.error();
        if (error.number == ENOSYS) {
            m_state = LoadState::Failed;
            Forget();
            m_host.SetPointer(MousePointer::Normal);
            m_host.SetStatusText(kMissingCodec);
        } else if (error.IsContent()) {
            CouldNotLoad(error.text, {});
        } else {
            // The system could not read it: the evidence may still be arriving.
            Failed(error.text);
        }
        return;
    }
    std::unique_ptr<Mp3Decoder> decoder = std::move(opened).value();
    const std::int64_t estimated
        = kWavHeaderBytes + std::max<std::int64_t>(decoder->Length(), 0) * decoder->FrameBytes();
    // A reopen (a redraw, a second double-click) goes on with the decode under way.
    if (!m_decode)
        StartDecode(estimated);
    auto stream = std::make_unique<Mp3Stream>(std::move(decoder), m_decode);
    if (const std::string silent = stream->Prime(); !silent.empty()) {
        CouldNotLoad(silent, {});
        return;
    }
    if (!m_player.Open(std::move(stream))) {
        Failed("the sound device could not be opened");
        return;
    }
    Loaded(m_decode->Trace());
}

void LoadSequence::Loaded(std::shared_ptr<const DecodedTrace> trace)
{
    m_state = LoadState::Loaded;
    m_stoppedPrefix = kLoadedPrefix;
    m_host.SetPointer(MousePointer::Normal);
    ShowLoaded();
    m_host.PopulateGFX(std::move(trace));
    if (NoteAudioStart > 0) {
        AutoPlay = false;
        StartAtNoteOffset();
        return;
    }
    if (AutoPlay) {
        AutoPlay = false;
        m_host.PressPlay();
    }
    m_retries = 0;
}

void LoadSequence::DecodeTick()
{
    if (!m_decode) {
        SetTimer(m_decodeWatch, false, m_decodeWatch.intervalMs);
        return;
    }
    const DecodeStatus status = m_decode->Status();
    if (!status.Ended())
        return;
    SetTimer(m_decodeWatch, false, m_decodeWatch.intervalMs);
    if (!status.failure.empty())
        m_endedEarly = status.failure + " at " + TimeOf(status.decoded, status.rate) + " of "
            + TimeOf(status.scanned, status.rate);
    if (!m_cache.Keep(*m_decode) && !m_decode->WavPath().empty() && m_statusNote.empty()) {
        const std::string why = !status.notKept.empty() ? status.notKept : status.failure;
        m_statusNote = " - not kept (" + why + "): going back to it decodes it again";
    }
    ShowLoaded();
}

void LoadSequence::DecodeEndedEarly()
{
    if (m_endedEarly.empty())
        return;
    m_host.SetStatus({LoadedMP3 + " ends here: " + m_endedEarly, kStatusRed});
    m_host.ShowMessage(
        {"Recording cut short", LoadedMP3 + " could not be decoded past this point: " + m_endedEarly + ".",
            MessageIcon::Exclamation, "Recording: " + m_source});
}

} // namespace pellam
