#include "audio/LoadSequence.h"

#include "base/PathText.h"
#include "base/Rounding.h"
#include "media/Mp3Duration.h"
#include "workspace/WorkFolder.h"

#include <cstdio>
#include <filesystem>
#include <sys/statvfs.h>
#include <system_error>
#include <unistd.h>

namespace pellam {
namespace {

// Bytes as megabytes with one decimal, as the operator reads sizes.
std::string Megabytes(std::uint64_t bytes)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f MB", static_cast<double>(bytes) / 1048576.0);
    return buf;
}

// Milliseconds as seconds with one decimal.
std::string Seconds(std::int64_t ms)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", static_cast<double>(ms) / 1000.0);
    return buf;
}

std::int64_t LengthMs(const Mp3Length& length, std::int64_t samples)
{
    return length.rate > 0 ? samples * 1000 / length.rate : 0;
}

} // namespace

std::optional<std::uint64_t> FreeBytes(const FolderPath& folder)
{
    struct statvfs st { };
    if (::statvfs(folder.str().c_str(), &st) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(st.f_bavail) * st.f_frsize;
}

std::uint64_t DecodedBytes(const Mp3Length& length)
{
    constexpr std::uint64_t kHeader = 44; // RIFF, "fmt " and "data" chunk headers
    return static_cast<std::uint64_t>(length.samples + kDecodeSlackSamples)
        * static_cast<std::uint64_t>(length.channels) * 2
        + kHeader;
}

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
    return m_paths.Temp.Join(TempWavName(m_pid));
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

    // A new decode replaces the load still waiting or retrying: its timers
    // end here, whatever becomes of this one.
    SetTimer(m_wait, false, m_wait.intervalMs);
    SetTimer(m_load, false, m_load.intervalMs);
    m_retries = 0;

    m_host.SetStatusText(kConverting);
    m_host.SetPointer(MousePointer::Busy);

    // The decoder takes no "--": an absolute path is the way to make sure a
    // recording named "-x.mp3" (or "-") is read as a file, never as an option.
    m_source = MakeAbsolute(fullPath);
    m_expected.reset();
    if (const auto length = ScanMp3(m_source); length && length->channels > 0 && length->rate > 0)
        m_expected = *length;
    if (m_expected && FreeSpace) {
        const std::uint64_t needed = DecodedBytes(*m_expected);
        if (const auto free = FreeSpace(m_paths.Temp); free && *free < needed) {
            CouldNotLoad(
                "the working folder has " + Megabytes(*free) + " free, the recording needs " + Megabytes(needed),
                "Working folder: " + m_paths.Temp.WithSeparator() + "\nFree: " + std::to_string(*free)
                    + " bytes\nNeeded: " + std::to_string(needed) + " bytes");
            return;
        }
    }

    const DecoderStart started = m_decoder.Start(kDecoderProgram, {"--decode", m_source, TempWavPath()});
    if (started.outcome == DecoderStart::Outcome::Started) {
        m_state = LoadState::Decoding;
        SetTimer(m_wait, true, 500);
        return;
    }
    m_state = LoadState::Failed;
    Forget();
    m_host.SetPointer(MousePointer::Normal);
    m_host.SetStatusText(started.outcome == DecoderStart::Outcome::Missing
            ? std::string(kMissingCodec)
            : kStartFailedPrefix + std::to_string(started.error.number));
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
    std::error_code ignored;
    std::filesystem::remove(TempWavPath(), ignored);
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
        "Recording: " + m_source + "\nDecoded file: " + TempWavPath() + "\n" + detail});
}

std::optional<std::string> LoadSequence::ShortDecode()
{
    if (!m_expected)
        return std::nullopt;
    const std::int64_t wanted = LengthMs(*m_expected, m_expected->samples);
    const std::int64_t decoded = m_player.Duration();
    if (decoded + LengthMs(*m_expected, kDecodeSlackSamples) >= wanted)
        return std::nullopt;
    std::string reason = "decoded " + Seconds(decoded) + " of " + Seconds(wanted) + " seconds";
    // The usual cause: the working folder's file system filled up while the
    // decoder wrote, which it does not report.
    const auto free = FreeSpace ? FreeSpace(m_paths.Temp) : std::nullopt;
    if (free && *free < DecodedBytes(*m_expected))
        reason += ", the working folder is full";
    return reason;
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
    // Nothing was decoded (the decoder is missing, or the load failed and
    // was forgotten): there is no file to reopen, and the status line keeps
    // saying why.
    if (!m_loaded && m_state == LoadState::Failed)
        return;
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
        m_host.ShowMessage(CheckProcessFailedMessage());
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
    if (note > NoteLeadIn)
        m_player.SetPosition((note - NoteLeadIn) * 1000);
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
    if (const auto shortened = ShortDecode()) {
        const auto free = FreeSpace ? FreeSpace(m_paths.Temp) : std::nullopt;
        std::error_code ec;
        const auto size = std::filesystem::file_size(TempWavPath(), ec);
        CouldNotLoad(*shortened,
            "Decoded: " + std::to_string(m_player.Duration()) + " ms in "
                + (ec ? ec.message() : std::to_string(size) + " bytes")
                + "\nRecording: " + std::to_string(LengthMs(*m_expected, m_expected->samples)) + " ms\nFree in "
                + m_paths.Temp.WithSeparator() + ": " + (free ? std::to_string(*free) + " bytes" : "unknown"));
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
