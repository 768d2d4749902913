#pragma once
// One open sound output device for a PCM format. It queues copies of caller
// buffers, pauses, resumes and stops, reports the playing time in ms, and tells
// its owner on the user-interface thread each time the device has finished
// with a buffer. Finished buffers are always delivered through the dispatcher,
// never inside the call that returned them, so the owner may refill the queue
// from its BufferDone handler.
#include "audio/Dispatcher.h"
#include "audio/WaveOutBackend.h"
#include "base/Listeners.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace pellam {

// The device's state; the numbers are the ones shown where a status is printed.
enum class WaveStatus : std::int32_t {
    Playing = 0,
    Paused = 1,
    Stopped = 2,
};

class WaveOut {
public:
    WaveOut(WaveOutBackend& backend, Dispatcher& dispatcher);
    ~WaveOut();
    WaveOut(const WaveOut&) = delete;
    WaveOut& operator=(const WaveOut&) = delete;

    // Raised for each finished buffer, with its user value, while playing only.
    std::function<void(std::int32_t user)> BufferDone;
    // Raised after Init, Deinit, Pause, Play and StopPlayback.
    Listeners<WaveStatus> PlayStatusChanged;

    // Opens the device (index -1 = the system default) paused; closes whatever was open first.
    bool Init(std::int32_t rate, std::int16_t channels, std::int16_t bits, std::int32_t device);
    bool Deinit();
    // Queues a copy of count bytes; refused when closed, empty or not whole sample frames.
    bool WriteSamples(const void* samples, std::int32_t count, std::int32_t user = 0);
    bool Pause();
    bool Play();
    // Empties the queue at once (Buffers reads 0, no BufferDone follows), pauses, offset 0.
    bool StopPlayback();
    // Returns every queued buffer as finished and restarts the device position at 0.
    bool ClearBufferQueue();

    std::int32_t Buffers() const { return static_cast<std::int32_t>(m_queued.size()); }
    WaveStatus PlayStatus() const { return m_status; }
    bool IsOpen() const { return m_open; }
    const WaveFormat& Format() const { return m_format; }

    // Elapsed offset + device position, in ms; 0 when closed.
    std::int32_t Elapsed() const;
    // Sets the offset itself: the caller resets the queue next, which brings the
    // device position back to 0, so Elapsed then reads ms and grows from there.
    void SetElapsed(std::int32_t ms);

    // The left channel of a device; value mod 65536 to both of its channels.
    std::int32_t VolumeForDev(std::int16_t device) const;
    void SetVolumeForDev(std::int16_t device, std::int32_t value);

    std::int32_t GetNumDevs() const;
    // Product name, " ", driver version as major.minor.
    std::string GetDevName(std::int32_t device) const;

private:
    void Queue(std::uint64_t id);
    void HandleDone(std::uint64_t id);
    std::int64_t DevicePositionMs() const;
    void Raise(WaveStatus status);

    WaveOutBackend& m_backend;
    Dispatcher& m_dispatcher;
    WaveFormat m_format;
    bool m_open = false;
    WaveStatus m_status = WaveStatus::Stopped;
    bool m_destroying = false; // the closing Deinit tells no listener
    // Buffers written and not yet reported done: id → user value. Ids are never
    // reused, so a report of a buffer dropped by StopPlayback or Deinit finds
    // nothing here and is ignored.
    std::map<std::uint64_t, std::int32_t> m_queued;
    std::uint64_t m_nextId = 1;
    std::int32_t m_offsetMs = 0;
    // Reports posted to the dispatcher check this before touching the object.
    std::shared_ptr<WaveOut*> m_alive;
};

} // namespace pellam
