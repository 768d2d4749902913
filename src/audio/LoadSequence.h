#pragma once
// Loading a recording into the player: the decoder turns the MP3 into the
// one temporary WAV file of the working folder, the sequence waits for it,
// opens it (up to 15 attempts a second apart), has the panel draw it and
// starts playback when asked, possibly from an offset. Progress and failures
// are reported in the status line. Timers are requests the window carries
// out: it runs the ticks below while they are enabled.
#include "audio/Decoder.h"
#include "audio/StatusLine.h"
#include "base/Message.h"
#include "workspace/IncidentPaths.h"
#include "workspace/ServKILL.h"

#include <cstdint>
#include <functional>
#include <string>

namespace pellam {

// The player and the playback panel as the sequence drives them.
class LoadHost {
public:
    virtual ~LoadHost() = default;

    // The Play button is disabled while the player plays.
    virtual bool PlayButtonEnabled() const = 0;
    virtual void PressPlay() = 0;
    virtual void PressStop() = 0;
    // Closes the player's file and selects the system's default device.
    virtual void ClosePlayerFile() = 0;
    virtual bool OpenPlayerFile(const std::string& path) = 0;
    virtual void SetPlayerPosition(std::int32_t ms) = 0;
    virtual bool PlaybackStart() = 0;

    virtual void PopulateGFX() = 0;
    virtual void DrawGrid() = 0;
    virtual void PlaceCur() = 0;
    virtual void ClearResumeAfterSeek() = 0;

    virtual StatusLine Status() const = 0;
    virtual void SetStatus(const StatusLine& status) = 0;
    virtual void SetPointer(MousePointer pointer) = 0;
    // Text of the recording list's selected item ("" when none).
    virtual std::string SelectedItemText() const = 0;
    virtual void ShowMessage(const Message& message) = 0;
};

struct TimerRequest {
    bool enabled = false;
    int intervalMs = 0;
    bool operator==(const TimerRequest&) const = default;
};

inline constexpr const char* kDecoderProgram = "lame";
inline constexpr const char* kTempWavName = "TMP.WAV";
inline constexpr std::int16_t kLoadAttempts = 15;
inline constexpr std::int16_t kRedFromAttempt = 7;

class LoadSequence {
public:
    // paths.Evidence and paths.Temp are read at each use; processes lists the
    // running programs (the system's when empty).
    LoadSequence(LoadHost& host, Decoder& decoder, const Paths& paths, ProcessSource processes = {});

    // Recording last sent to the decoder (its list text).
    std::string LoadedMP3;
    // Whole seconds into the recording to be heard on the next load; 0 = none.
    std::int32_t NoteAudioStart = 0;
    bool AutoPlay = false;
    std::int16_t Retries() const { return m_retries; }

    std::string TempWavPath() const { return m_paths.Temp + kTempWavName; }
    std::string RecordingPath(const std::string& fileName) const { return m_paths.Evidence + "/" + fileName; }

    // Stops and closes the player, deletes the old temporary WAV and starts
    // the decoder on fullPath.
    void ConvertMP3toWAV(const std::string& fullPath);

    // Release of a mouse button other than the right one over the recording
    // list, with the selected item's text: decodes it unless it is the
    // loaded recording.
    void ListClick(const std::string& selectedText);
    // Double-click on the list: load and play, decoding only when the item
    // is not the loaded recording.
    void ListDoubleClick(const std::string& selectedText);
    // The panel redraws the waveform at a new size: reopen without playing.
    void Reload();
    // Positions the player 10 s before NoteAudioStart (or at 0), clears the
    // offset and starts playback; for a recording that is loaded already.
    void StartAtNoteOffset();

    const TimerRequest& WaitTimer() const { return m_wait; } // Wait_For_It_TIMER
    const TimerRequest& LoadTimer() const { return m_load; } // WaveLoadTIM
    // Raised whenever a timer request changes.
    std::function<void()> TimersChanged;

    void WaitForItTick();
    void WaveLoadTick();
    void WavLoad();

private:
    void SetTimer(TimerRequest& timer, bool enabled, int intervalMs);
    void Failed();

    LoadHost& m_host;
    Decoder& m_decoder;
    const Paths& m_paths;
    ProcessSource m_processes;
    std::int16_t m_retries = 0;
    TimerRequest m_wait {false, 200};
    TimerRequest m_load {false, 1000};
};

} // namespace pellam
