#pragma once
// The sound device under WaveOut: one output stream for one PCM format that
// plays caller buffers in order. WaveOut holds the bookkeeping (buffer counts,
// the elapsed offset, the play status); a backend only moves sound.
#include "media/WaveFormat.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pellam {

struct WaveDeviceCaps {
    std::string name; // product name as the device layer gives it
    std::uint32_t driverVersion = 0; // major in the high byte, minor in the low byte
};

class WaveOutBackend {
public:
    // Reports that the device has finished with the buffer written under id.
    // It may be called from inside Reset or from another thread: the receiver
    // only queues the report.
    using DoneCallback = std::function<void(std::uint64_t id)>;

    virtual ~WaveOutBackend() = default;

    // Opens device (-1 = the system default) for the format, paused; false when it cannot.
    virtual bool Open(const WaveFormat& format, std::int32_t device, DoneCallback onDone) = 0;
    // Closes the stream; buffers still queued are dropped without a report.
    virtual void Close() = 0;
    // Queues bytes (whole sample frames) behind those already queued.
    virtual void Write(std::uint64_t id, std::vector<std::uint8_t> bytes) = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    // Stops the sound, reports every queued buffer as done and restarts the
    // position count at 0; whether the device is paused does not change.
    virtual void Reset() = 0;
    // Milliseconds played since Open or the last Reset.
    virtual std::int64_t PositionMs() const = 0;

    // Volume of the open stream, left channel in the low 16 bits, right in the high.
    virtual std::uint32_t Volume() const = 0;
    virtual void SetVolume(std::uint32_t leftRight) = 0;
    // The same for a device by index, open or not (-1 = the system default).
    virtual std::uint32_t DeviceVolume(std::int32_t device) const = 0;
    virtual void SetDeviceVolume(std::int32_t device, std::uint32_t leftRight) = 0;

    virtual std::int32_t DeviceCount() const = 0;
    // Capabilities of the device by index; false for an index that names no device.
    virtual bool DeviceCaps(std::int32_t device, WaveDeviceCaps& caps) const = 0;
};

} // namespace pellam
