#pragma once
// A sound device that plays by a clock its owner advances. Nothing is heard:
// buffers are consumed at the format's byte rate when Advance is called, so
// every ordering of writes, resets and finished buffers can be replayed step
// by step without a sound server.
#include "audio/WaveOutBackend.h"
#include "audio/ManualDispatcher.h"

#include <cstddef>
#include <deque>
#include <map>

namespace pellam {

class VirtualWaveBackend final : public WaveOutBackend {
public:
    struct Queued {
        std::uint64_t id;
        std::vector<std::uint8_t> bytes;
        std::size_t played; // bytes of this buffer already played
    };

    // Devices the backend offers; one default device when none is given.
    explicit VirtualWaveBackend(std::vector<WaveDeviceCaps> devices = {{"Virtual Output", 0x0100}});

    bool Open(const WaveFormat& format, std::int32_t device, DoneCallback onDone) override;
    void Close() override;
    void Write(std::uint64_t id, std::vector<std::uint8_t> bytes) override;
    void Pause() override { m_paused = true; }
    void Resume() override { m_paused = false; }
    void Reset() override;
    std::int64_t PositionMs() const override;

    std::uint32_t Volume() const override { return DeviceVolume(m_device); }
    void SetVolume(std::uint32_t leftRight) override { SetDeviceVolume(m_device, leftRight); }
    std::uint32_t DeviceVolume(std::int32_t device) const override;
    void SetDeviceVolume(std::int32_t device, std::uint32_t leftRight) override { m_volumes[device] = leftRight; }

    std::int32_t DeviceCount() const override { return static_cast<std::int32_t>(m_devices.size()); }
    bool DeviceCaps(std::int32_t device, WaveDeviceCaps& caps) const override;

    // Plays ms of sound when running; finished buffers are reported in order.
    // Returns how many buffers finished.
    std::size_t Advance(std::int64_t ms);
    // Plays until the queue is empty (or the device is paused); returns buffers finished.
    std::size_t PlayAll();

    // Devices whose Open fails, by index (-1 included).
    void FailOpenFor(std::int32_t device) { m_failing[device] = true; }

    bool IsOpen() const { return m_isOpen; }
    bool IsPaused() const { return m_paused; }
    const std::deque<Queued>& Queue() const { return m_queue; }
    // Every byte played to its end since construction, in order.
    const std::vector<std::uint8_t>& Played() const { return m_played; }

private:
    void Finish(std::uint64_t id);

    std::vector<WaveDeviceCaps> m_devices;
    std::map<std::int32_t, bool> m_failing;
    std::map<std::int32_t, std::uint32_t> m_volumes;
    bool m_isOpen = false;
    bool m_paused = true;
    std::int32_t m_device = 0;
    WaveFormat m_format;
    DoneCallback m_onDone;
    std::deque<Queued> m_queue;
    std::int64_t m_playedSinceReset = 0; // bytes
    std::int64_t m_carryMicros = 0; // clock time not yet worth a whole byte
    std::vector<std::uint8_t> m_played;
};

} // namespace pellam
