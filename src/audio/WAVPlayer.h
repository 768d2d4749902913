#pragma once
// Plays one WAV file or another PCM stream: keeps a fixed number of sample buffers queued on the
// sound device and refills the queue from the stream reader each time the
// device finishes a buffer. Start, pause, stop, seek and volume for the
// playback panel; state changes are reported through the events below.
#include "audio/LoopStream.h"
#include "audio/PcmStream.h"
#include "audio/TempoStream.h"
#include "audio/WaveOut.h"
#include "base/Listeners.h"
#include "base/Result.h"
#include "base/SystemError.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace pellam {

// The player's state; the numbers are the ones shown where a status is printed.
enum class PlayerStatus : std::int32_t {
    Stopped = 0,
    Paused = 1,
    Playing = 2,
};

class WAVPlayer {
public:
    // The device backend and the dispatcher that delivers its finished buffers
    // must outlive the player.
    WAVPlayer(WaveOutBackend& backend, Dispatcher& dispatcher);
    ~WAVPlayer();
    WAVPlayer(const WAVPlayer&) = delete;
    WAVPlayer& operator=(const WAVPlayer&) = delete;

    // Start, pause and stop, each with the status it leads to.
    Listeners<PlayerStatus> StatusChanged;
    // Playback ended by itself at the end of the file; the status is Stopped
    // already and StatusChanged is not raised for it.
    Listeners<> EndOfStream;

    // Opens a WAV file, or a stream of another kind; a stream that does not
    // open leaves the player without a file.
    bool FileOpen(const std::string& path);
    bool Open(std::unique_ptr<PcmStream> stream);
    bool FileClose();
    bool PlaybackStart();
    bool PlaybackPause();
    bool PlaybackStop();

    // Where in the recording the sound now heard comes from, in ms of the
    // recording's own time at any speed and inside a loop. At 1.0 without a
    // loop it is the device's count as it is.
    std::int32_t Position() const;
    // Seeks the stream to the whole second and restarts the device count at ms.
    void SetPosition(std::int32_t ms);
    // Seeks to the sample at ms, held to the recording's ends; playing goes
    // on from there at once, what was queued is dropped.
    void SeekExact(std::int32_t ms);
    std::int32_t Duration() const;
    PlayerStatus Status() const { return m_status; }

    std::int32_t Volume() const;
    void SetVolume(std::int32_t value);

    // A refused property write is told as a fault of the value (number 0) and
    // the player's sentence for it.
    std::int16_t SelectedDevice() const { return m_selectedDevice; }
    // Refused while playing; reopens the device for an open file.
    Result<std::int16_t, SystemError> SetSelectedDevice(std::int16_t device);

    std::int16_t DeviceCount() const;
    std::string DeviceName(std::int16_t index) const;

    bool IsFileOpen() const { return m_fileOpen; }
    // Counts the files opened: a time kept for one file is not carried to the next.
    std::uint64_t Generation() const { return m_generation; }

    // Plays at speed (0.5 to 2.0) with the pitch kept, this file and the
    // ones opened after it; 1.0 plays the samples unchanged. A change while
    // playing is heard at once: the queue is refilled from the position.
    void SetSpeed(double speed);
    double Speed() const { return m_speed; }

    // Plays A to B over and over (see LoopStream) in the open file; none
    // plays on. Either change is heard at once, as a speed change is.
    void SetLoop(std::optional<LoopRange> loop);
    std::optional<LoopRange> Loop() const;

private:
    bool FillBuffer();
    // Brings the queue back to Buffers buffers; onFailure runs after each fill
    // that failed before the end of the stream and returns false to give up.
    bool TopUp(const std::function<bool()>& onFailure);
    void OnBufferDone();
    void EndPlayback();
    // Restarts the stream and the device count at ms of the recording.
    void Reanchor(std::int32_t ms);

    WaveOut m_device;
    // The open file's chain: the stream, its loop, then the stretch (m_stream).
    std::unique_ptr<PcmStream> m_stream;
    LoopStream* m_loop = nullptr;
    TempoStream* m_tempo = nullptr;
    double m_speed = 1.0;
    // The recording's time at which the device count last restarted; the
    // device's elapsed offset is this same value.
    std::int32_t m_anchorMs = 0;
    bool m_fileOpen = false;
    std::uint64_t m_generation = 0;
    std::int16_t m_selectedDevice = 0;
    bool m_endReached = false;
    PlayerStatus m_status = PlayerStatus::Stopped;
};

} // namespace pellam
