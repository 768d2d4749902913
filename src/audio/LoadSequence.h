#pragma once
// Loading a recording into the player. The recording plays while it is being
// decoded: the player reads it through a decoder of its own from the first
// frame, while a decode in the background scans it (exact length, seek
// table), writes it into a WAV file in the working folder and traces its
// waveform, which the panel draws as it grows. A recording decoded before in
// this session plays from its kept file without decoding again.
//
// The steps are the ones the operator knows: "Converting MP3 to WAV" while
// the recording is opened, "Loading.." with one more dot for each attempt
// while it cannot be read (15 attempts a second apart), "Playing ..." while it
// plays, "Couldn't Load Audio Clip" and why when nothing can be decoded.
// Unlike a decoder that must finish first, the load no longer waits for the
// whole recording: the first attempt follows at once, and a long decode is no
// failure. Timers are requests the window carries out: it runs the ticks
// below while they are enabled.
#include "audio/DecodeCache.h"
#include "audio/RecordingDecode.h"
#include "audio/RecordingRef.h"
#include "audio/StatusLine.h"
#include "audio/WAVPlayer.h"
#include "audio/WaveformTrace.h"
#include "base/Listeners.h"
#include "base/Message.h"

#include <cstdint>
#include <memory>
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

    // Draws the grid and the waveform as far as it is known, and the rest as it comes.
    virtual void PopulateGFX(std::shared_ptr<const DecodedTrace> trace) = 0;
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
    Idle, // nothing picked yet
    Decoding, // picked: the recording is opened at the next tick
    Loading, // opening the recording, possibly again after a failed attempt
    Loaded, // the recording is open in the player and drawn
    Failed, // nothing of the recording could be decoded
};

inline constexpr std::int16_t kLoadAttempts = 15;
inline constexpr std::int16_t kRedFromAttempt = 7;

class LoadSequence {
public:
    // The cache holds the decoded recordings and must outlive the sequence.
    LoadSequence(LoadHost& host, WAVPlayer& player, DecodeCache& cache);
    // Stops a decode still running.
    ~LoadSequence();
    LoadSequence(const LoadSequence&) = delete;
    LoadSequence& operator=(const LoadSequence&) = delete;

    // File name of the recording last picked, for the status line and the log viewer.
    std::string LoadedMP3;
    // Whole seconds into the recording to be heard on the next load; 0 = none.
    std::int32_t NoteAudioStart = 0;
    // How many seconds before NoteAudioStart playback begins: a notation is
    // written after what it notes; a moment picked on the timeline has none.
    static constexpr std::int32_t kNoteLeadIn = 10;
    std::int32_t NoteLeadIn = kNoteLeadIn;
    bool AutoPlay = false;
    // Background decodes run on threads of their own; when false, whoever
    // drives the sequence steps them (Decoding()->Step()).
    bool ThreadedDecode = true;
    std::int16_t Retries() const { return m_retries; }
    LoadState State() const { return m_state; }
    // The status line reads "Converting MP3 to WAV": Play is refused meanwhile.
    bool Converting() const { return m_state == LoadState::Decoding; }
    // The background decode of the loaded recording, while there is one.
    RecordingDecode* Decoding() const { return m_decode.get(); }
    // Whether the loaded recording plays from its kept decoded file.
    bool PlaysKeptFile() const { return m_playsKept; }

    // Stops and closes the player, ends the decode of the previous recording
    // and opens fullPath at the next tick.
    void ConvertMP3toWAV(const std::string& fullPath);
    // Loads a recording and remembers it as the loaded one.
    void Decode(const RecordingRef& recording);
    // Whether this recording (same number in the same table) is the one last picked.
    bool IsLoaded(const RecordingRef& recording) const;
    // The recording last picked, if any.
    const std::optional<RecordingRef>& LoadedRecording() const { return m_loaded; }
    // Once a recording is loaded, the status line says what the player does
    // with it: "Playing", "Paused", "Stopped" or "Ended" and its name, or
    // "Loaded" before it was first started.
    void ShowLoaded();

    // Release of a mouse button other than the right one over the recording
    // list, with the selected recording: loads it unless it is the loaded one.
    void ListClick(const std::optional<RecordingRef>& selected);
    // Double-click on the list: load and play, loading only when the
    // recording is not the loaded one.
    void ListDoubleClick(const std::optional<RecordingRef>& selected);
    // The panel redraws the waveform at a new size: reopen without playing;
    // a decode under way goes on.
    void Reload();
    // Positions the player NoteLeadIn seconds before NoteAudioStart (or at 0),
    // clears the offset and starts playback; for a recording that is loaded already.
    void StartAtNoteOffset();

    const TimerRequest& WaitTimer() const { return m_wait; } // Wait_For_It_TIMER
    const TimerRequest& LoadTimer() const { return m_load; } // WaveLoadTIM
    const TimerRequest& DecodeTimer() const { return m_decodeWatch; } // watches the background decode
    // Raised whenever a timer request changes.
    Listeners<> TimersChanged;

    void WaitForItTick();
    void WaveLoadTick();
    // Once the background decode has ended: its file to the cache, or why not
    // in the status line.
    void DecodeTick();
    void WavLoad();

private:
    void SetTimer(TimerRequest& timer, bool enabled, int intervalMs);
    void Failed(const std::string& reason);
    void Forget();
    void CouldNotLoad(const std::string& reason, const std::string& detail);
    // Hands the finished decode's file to the cache, or stops the decode and drops it.
    void RetireDecode();
    void StartDecode(std::int64_t estimatedBytes);
    void Loaded(std::shared_ptr<const DecodedTrace> trace);
    void DecodeEndedEarly();
    // The player's length is exact (not an estimate before the scan).
    bool LengthKnown() const;

    LoadHost& m_host;
    WAVPlayer& m_player;
    DecodeCache& m_cache;
    std::optional<RecordingRef> m_loaded;
    std::string m_source; // the recording last picked, absolute
    std::shared_ptr<RecordingDecode> m_decode;
    bool m_playsKept = false;
    // Said after the name while the recording is loaded: why its decode is not kept.
    std::string m_statusNote;
    // Why the decode ended before the recording's end, and where; told when playback gets there.
    std::string m_endedEarly;
    LoadState m_state = LoadState::Idle;
    std::int16_t m_retries = 0;
    TimerRequest m_wait {false, 0};
    TimerRequest m_load {false, 1000};
    TimerRequest m_decodeWatch {false, 100};
    // How the status line names a stopped player: never started, stopped, played out.
    const char* m_stoppedPrefix = kLoadedPrefix;
    Subscription m_playerStatus;
    Subscription m_endOfStream;
};

} // namespace pellam
