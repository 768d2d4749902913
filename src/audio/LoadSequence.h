#pragma once
// Loading a recording into the player: the decoder turns the MP3 into this
// process's temporary WAV file ("TMP-<pid>.WAV") in the working folder, the sequence
// waits for it, opens it (up to 15 attempts a second apart), has the panel draw
// it and starts playback when asked, possibly from an offset. Progress and
// failures are reported in the status line. Timers are requests the window
// carries out: it runs the ticks below while they are enabled.
//
// The decoder writes what fits and still succeeds when the working folder's
// file system fills up, so the decoded file is checked: before decoding, the
// free space against the size the recording decodes to; after, the decoded
// length against the recording's. A recording that would play shortened is
// not loaded at all.
#include "audio/Decoder.h"
#include "audio/RecordingRef.h"
#include "audio/StatusLine.h"
#include "audio/WAVPlayer.h"
#include "base/Listeners.h"
#include "base/Message.h"
#include "media/Mp3Duration.h"
#include "workspace/IncidentPaths.h"
#include "workspace/ServKILL.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace pellam {

// What the sequence shows: the panel's pictures, its buttons' actions, the
// status line, the mouse pointer and messages.
class LoadHost {
public:
    virtual ~LoadHost() = default;

    // Act as the panel's Play and Stop buttons.
    virtual void PressPlay() = 0;
    virtual void PressStop() = 0;

    // Draws the grid and the waveform of the file at wavPath.
    virtual void PopulateGFX(const std::string& wavPath) = 0;
    virtual void DrawGrid() = 0;
    virtual void PlaceCur() = 0;
    virtual void ClearResumeAfterSeek() = 0;

    virtual void SetStatus(const StatusLine& status) = 0;
    // Changes the text only; the colour shown stays.
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void SetPointer(MousePointer pointer) = 0;
    virtual void ShowMessage(const Message& message) = 0;
};

struct TimerRequest {
    bool enabled = false;
    int intervalMs = 0;
    bool operator==(const TimerRequest&) const = default;
};

// Where a load stands.
enum class LoadState {
    Idle, // nothing sent to the decoder yet
    Decoding, // the decoder was started and has not been waited for yet
    Loading, // opening the decoded file, possibly again after a failed attempt
    Loaded, // the file is open in the player and drawn
    Failed, // the decoder did not start or the file never opened
};

inline constexpr const char* kDecoderProgram = "lame";
inline constexpr std::int16_t kLoadAttempts = 15;
inline constexpr std::int16_t kRedFromAttempt = 7;

// How much shorter than the recording its decoded file may be: the encoder's
// delay and padding, which a file without the encoder's info tag does not
// state, are at most a few frames of up to 1152 samples.
inline constexpr std::int64_t kDecodeSlackSamples = 4 * 1152;

// Bytes this process may still write in a folder; nullopt when the system
// cannot say.
using FreeSpaceSource = std::function<std::optional<std::uint64_t>(const FolderPath& folder)>;
std::optional<std::uint64_t> FreeBytes(const FolderPath& folder);

// The size of the WAV file the decoder writes for a recording of that length,
// with room for the slack above and the file's header.
std::uint64_t DecodedBytes(const Mp3Length& length);

class LoadSequence {
public:
    // paths.Evidence and paths.Temp are read at each use; processes lists the
    // running programs (the system's when empty); pid names this copy's
    // temporary file (our own process id when 0).
    LoadSequence(LoadHost& host, WAVPlayer& player, Decoder& decoder, const Paths& paths, ProcessSource processes = {},
        int pid = 0);
    // Deletes this copy's temporary file.
    ~LoadSequence();
    LoadSequence(const LoadSequence&) = delete;
    LoadSequence& operator=(const LoadSequence&) = delete;

    // File name of the recording last sent to the decoder, for the status
    // line and the log viewer.
    std::string LoadedMP3;
    // Whole seconds into the recording to be heard on the next load; 0 = none.
    std::int32_t NoteAudioStart = 0;
    // How many seconds before NoteAudioStart playback begins: a notation is
    // written after what it notes; a moment picked on the timeline has none.
    static constexpr std::int32_t kNoteLeadIn = 10;
    std::int32_t NoteLeadIn = kNoteLeadIn;
    bool AutoPlay = false;
    // The working folder's free space, asked before each decode.
    FreeSpaceSource FreeSpace = FreeBytes;
    std::int16_t Retries() const { return m_retries; }
    LoadState State() const { return m_state; }
    // The status line reads "Converting MP3 to WAV": Play is refused meanwhile.
    bool Converting() const { return m_state == LoadState::Decoding; }

    // This copy's own temporary WAV file; two copies of the program never share one.
    std::string TempWavPath() const;

    // Stops and closes the player, deletes the old temporary WAV and starts
    // the decoder on fullPath.
    void ConvertMP3toWAV(const std::string& fullPath);
    // Decodes a recording and remembers it as the loaded one.
    void Decode(const RecordingRef& recording);
    // Whether this recording (same number in the same table) is the one last decoded.
    bool IsLoaded(const RecordingRef& recording) const;
    // The recording last sent to the decoder, if any.
    const std::optional<RecordingRef>& LoadedRecording() const { return m_loaded; }
    // Once a recording is loaded, the status line names it for the list's
    // current row: "Playing ..." for its own row, and for another row
    // "Playing ..." only while it plays, "Loaded ..." otherwise, so the
    // operator always sees what Play will play.
    void ShowLoaded(const std::optional<RecordingRef>& current);

    // Release of a mouse button other than the right one over the recording
    // list, with the selected recording: decodes it unless it is the loaded one.
    void ListClick(const std::optional<RecordingRef>& selected);
    // Double-click on the list: load and play, decoding only when the
    // recording is not the loaded one.
    void ListDoubleClick(const std::optional<RecordingRef>& selected);
    // The panel redraws the waveform at a new size: reopen without playing.
    void Reload();
    // Positions the player NoteLeadIn seconds before NoteAudioStart (or at 0),
    // clears the offset and starts playback; for a recording that is loaded already.
    void StartAtNoteOffset();

    const TimerRequest& WaitTimer() const { return m_wait; } // Wait_For_It_TIMER
    const TimerRequest& LoadTimer() const { return m_load; } // WaveLoadTIM
    // Raised whenever a timer request changes.
    Listeners<> TimersChanged;

    void WaitForItTick();
    void WaveLoadTick();
    void WavLoad();

private:
    void SetTimer(TimerRequest& timer, bool enabled, int intervalMs);
    void Failed();
    // Nothing usable was decoded: the recording no longer counts as loaded, so
    // picking it again decodes it again, and no timer retries anything.
    void Forget();
    // Ends the load with "Couldn't Load Audio Clip" and the reason, the
    // details in a message; the partial file is deleted.
    void CouldNotLoad(const std::string& reason, const std::string& detail);
    // The decoded file is shorter than the recording: the reason, else nullopt.
    std::optional<std::string> ShortDecode();

    LoadHost& m_host;
    WAVPlayer& m_player;
    Decoder& m_decoder;
    const Paths& m_paths;
    ProcessSource m_processes;
    int m_pid;
    std::optional<RecordingRef> m_loaded;
    std::string m_source; // the recording last sent to the decoder
    std::optional<Mp3Length> m_expected; // its length, when a scan could tell
    LoadState m_state = LoadState::Idle;
    std::int16_t m_retries = 0;
    TimerRequest m_wait {false, 200};
    TimerRequest m_load {false, 1000};
};

} // namespace pellam
