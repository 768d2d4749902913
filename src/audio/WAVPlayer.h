#pragma once
// Plays one WAV file: keeps a fixed number of sample buffers queued on the
// sound device and refills the queue from the stream reader each time the
// device finishes a buffer. Start, pause, stop, seek, loop and volume for the
// playback panel; state changes are reported through the events below.
#include "audio/StreamWAV.h"
#include "audio/WaveOut.h"
#include "base/Listeners.h"
#include "base/Result.h"
#include "base/SystemError.h"

#include <cstdint>
#include <functional>
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

    // A looping pass has finished playing; a handler that sets stop ends playback.
    std::function<void(std::int16_t loopCount, bool& stop)> NextLoop;
    // Start, pause and stop, each with the status it leads to.
    Listeners<PlayerStatus> StatusChanged;
    // Playback ended by itself (end of file or a NextLoop handler); the status
    // is Stopped already and StatusChanged is not raised for it.
    Listeners<> EndOfStream;

    bool FileOpen(const std::string& path);
    bool FileClose();
    bool PlaybackStart();
    bool PlaybackPause();
    bool PlaybackStop();

    // Milliseconds played, as the device counts them.
    std::int32_t Position() const;
    // Seeks the stream to the whole second and restarts the device count at ms.
    void SetPosition(std::int32_t ms);
    std::int32_t Duration() const;
    PlayerStatus Status() const { return m_status; }

    std::int32_t Volume() const;
    void SetVolume(std::int32_t value);

    // A refused property write is told as a fault of the value (number 0) and
    // the player's sentence for it.
    std::int16_t Buffers() const { return m_buffers; }
    Result<std::int16_t, SystemError> SetBuffers(std::int16_t count);
    std::int32_t BufferSize() const { return m_bufferSize; }
    // Stores value + (value mod 4); results of 4 or less are refused.
    Result<std::int32_t, SystemError> SetBufferSize(std::int32_t value);
    bool PlaybackLoop() const { return m_loop; }
    void SetPlaybackLoop(bool loop) { m_loop = loop; }
    std::int16_t LoopCount() const { return m_loopCount; }
    std::int16_t SelectedDevice() const { return m_selectedDevice; }
    // Refused while playing; reopens the device for an open file.
    Result<std::int16_t, SystemError> SetSelectedDevice(std::int16_t device);

    std::int16_t DeviceCount() const;
    std::string DeviceName(std::int16_t index) const;

    bool IsFileOpen() const { return m_fileOpen; }

private:
    bool FillBuffer();
    // Brings the queue back to Buffers buffers; onFailure runs after each fill
    // that failed before the end of the stream and returns false to give up.
    bool TopUp(const std::function<bool()>& onFailure);
    void CopyShortFile();
    void OnBufferDone(std::int32_t user);
    void EndPlayback();

    WaveOut m_device;
    StreamWAV m_stream;
    bool m_fileOpen = false;
    std::int16_t m_selectedDevice = 0;
    std::int16_t m_buffers = 10;
    std::int32_t m_bufferSize = 10240;
    bool m_endReached = false;
    bool m_loop = false;
    std::int16_t m_loopCount = 0;
    PlayerStatus m_status = PlayerStatus::Stopped;
};

} // namespace pellam
