#include "audio/WaveOut.h"

#include "base/Rounding.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace pellam {

namespace {

std::uint32_t BothHalves(std::int32_t value)
{
    const auto low = static_cast<std::uint32_t>(value) & 0xFFFFu;
    return low | (low << 16);
}
} // namespace

WaveOut::WaveOut(WaveOutBackend& backend, Dispatcher& dispatcher)
    : m_backend(backend), m_dispatcher(dispatcher), m_alive(std::make_shared<WaveOut*>(this))
{ }

WaveOut::~WaveOut()
{
    // No handler may run for a half-destroyed owner.
    BufferDone = nullptr;
    m_destroying = true;
    Deinit();
    m_alive.reset();
}

void WaveOut::Raise(WaveStatus status)
{
    if (!m_destroying)
        PlayStatusChanged(status);
}

bool WaveOut::Init(std::int32_t rate, std::int16_t channels, std::int16_t bits, std::int32_t device)
{
    Deinit();
    if (bits < 8 || bits > 24 || rate < 1 || rate > 100000 || channels < 1 || channels > 2)
        return false;

    WaveFormat f;
    f.formatTag = 1;
    f.channels = static_cast<std::uint16_t>(channels);
    f.samplesPerSec = static_cast<std::uint32_t>(rate);
    f.bitsPerSample = static_cast<std::uint16_t>(bits);
    f.blockAlign = static_cast<std::uint16_t>(DivRoundHalfEven(std::int64_t {bits} * channels, 8));
    f.avgBytesPerSec = static_cast<std::uint32_t>(f.blockAlign) * f.samplesPerSec;
    f.extraSize = 0;
    m_format = f;
    m_offsetMs = 0;

    std::weak_ptr<WaveOut*> alive = m_alive;
    Dispatcher* dispatcher = &m_dispatcher;
    auto onDone = [alive, dispatcher](std::uint64_t id) {
        dispatcher->Post([alive, id] {
            if (auto self = alive.lock())
                (*self)->HandleDone(id);
        });
    };
    if (!m_backend.Open(m_format, device, onDone)) {
        m_open = false;
        return false;
    }
    // Open paused, so buffers written before Play wait.
    m_backend.Pause();
    m_status = WaveStatus::Stopped;
    m_open = true;
    Raise(m_status);
    return true;
}

bool WaveOut::Deinit()
{
    if (!m_open)
        return false;
    m_backend.Close();
    m_queued.clear();
    m_offsetMs = 0;
    m_open = false;
    m_status = WaveStatus::Stopped;
    Raise(m_status);
    return true;
}

bool WaveOut::WriteSamples(const void* samples, std::int32_t count, std::int32_t user)
{
    if (!m_open || count <= 0 || samples == nullptr || m_format.blockAlign == 0 || count % m_format.blockAlign != 0)
        return false;
    const auto* bytes = static_cast<const std::uint8_t*>(samples);
    std::vector<std::uint8_t> copy;
    try {
        copy.assign(bytes, bytes + count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const std::uint64_t id = m_nextId++;
    m_queued.emplace(id, user);
    m_backend.Write(id, std::move(copy));
    return true;
}

void WaveOut::HandleDone(std::uint64_t id)
{
    auto it = m_queued.find(id);
    if (it == m_queued.end())
        return; // dropped by StopPlayback or Deinit: already counted out
    const std::int32_t user = it->second;
    m_queued.erase(it);
    // Buffers returned by a reset while paused or stopped are released silently.
    if (m_status == WaveStatus::Playing && BufferDone)
        BufferDone(user);
}

bool WaveOut::Pause()
{
    if (!m_open)
        return false;
    m_backend.Pause();
    m_status = WaveStatus::Paused;
    Raise(m_status);
    return true;
}

bool WaveOut::Play()
{
    if (!m_open)
        return false;
    m_backend.Resume();
    m_status = WaveStatus::Playing;
    Raise(m_status);
    return true;
}

bool WaveOut::StopPlayback()
{
    if (!m_open)
        return false;
    m_backend.Reset();
    m_backend.Pause();
    m_offsetMs = 0;
    m_queued.clear();
    m_status = WaveStatus::Stopped;
    Raise(m_status);
    return true;
}

bool WaveOut::ClearBufferQueue()
{
    if (m_open)
        m_backend.Reset();
    return true;
}

std::int64_t WaveOut::DevicePositionMs() const
{
    return m_open ? m_backend.PositionMs() : 0;
}

std::int32_t WaveOut::Elapsed() const
{
    if (!m_open)
        return 0;
    return ClampToInt32(std::int64_t {m_offsetMs} + DevicePositionMs());
}

void WaveOut::SetElapsed(std::int32_t ms)
{
    if (m_open)
        m_offsetMs = ms;
}

std::int32_t WaveOut::VolumeForDev(std::int16_t device) const
{
    return static_cast<std::int32_t>(m_backend.DeviceVolume(device) & 0xFFFFu);
}

void WaveOut::SetVolumeForDev(std::int16_t device, std::int32_t value)
{
    m_backend.SetDeviceVolume(device, BothHalves(value));
}

std::int32_t WaveOut::GetNumDevs() const
{
    return m_backend.DeviceCount();
}

std::string WaveOut::GetDevName(std::int32_t device) const
{
    WaveDeviceCaps caps;
    if (!m_backend.DeviceCaps(device, caps))
        caps = WaveDeviceCaps {};
    std::string name = caps.name.substr(0, caps.name.find('\0'));
    const std::uint32_t major = (caps.driverVersion & ~0xFFu) / 256;
    const std::uint32_t minor = caps.driverVersion & 0xFFu;
    return name + " " + std::to_string(major) + "." + std::to_string(minor);
}

} // namespace pellam
