#include "support/VirtualWaveBackend.h"

#include "base/Rounding.h"

#include <algorithm>

namespace pellam {

VirtualWaveBackend::VirtualWaveBackend(std::vector<WaveDeviceCaps> devices) : m_devices(std::move(devices)) { }

bool VirtualWaveBackend::Open(const WaveFormat& format, std::int32_t device, DoneCallback onDone)
{
    Close();
    if (device < -1 || device >= DeviceCount() || m_failing.count(device) != 0)
        return false;
    m_isOpen = true;
    m_paused = true;
    m_device = device;
    m_format = format;
    m_onDone = std::move(onDone);
    m_playedSinceReset = 0;
    m_carryMicros = 0;
    return true;
}

void VirtualWaveBackend::Close()
{
    m_queue.clear();
    m_onDone = nullptr;
    m_isOpen = false;
    m_paused = true;
}

void VirtualWaveBackend::Write(std::uint64_t id, std::vector<std::uint8_t> bytes)
{
    if (m_isOpen)
        m_queue.push_back({id, std::move(bytes), 0});
}

void VirtualWaveBackend::Finish(std::uint64_t id)
{
    if (m_onDone)
        m_onDone(id);
}

void VirtualWaveBackend::Reset()
{
    std::deque<Queued> returned;
    returned.swap(m_queue);
    m_playedSinceReset = 0;
    m_carryMicros = 0;
    for (const auto& q : returned)
        Finish(q.id);
}

std::int64_t VirtualWaveBackend::PositionMs() const
{
    if (!m_isOpen || m_format.avgBytesPerSec == 0)
        return 0;
    return DivRoundHalfEven(m_playedSinceReset * 1000, m_format.avgBytesPerSec);
}

std::size_t VirtualWaveBackend::Advance(std::int64_t ms)
{
    if (!m_isOpen || m_paused || ms <= 0 || m_format.avgBytesPerSec == 0)
        return 0;
    // Bytes worth ms at the byte rate, whole sample frames only; the rest carries over.
    const std::int64_t micros = ms * 1000 + m_carryMicros;
    const std::int64_t frame = std::max<std::int64_t>(1, m_format.blockAlign);
    std::int64_t budget = micros * m_format.avgBytesPerSec / 1000000;
    budget -= budget % frame;
    m_carryMicros = micros - budget * 1000000 / m_format.avgBytesPerSec;

    std::size_t finished = 0;
    while (budget > 0 && !m_queue.empty()) {
        auto& front = m_queue.front();
        const auto left = static_cast<std::int64_t>(front.bytes.size() - front.played);
        const std::int64_t take = std::min(left, budget);
        m_played.insert(m_played.end(), front.bytes.begin() + static_cast<std::ptrdiff_t>(front.played),
            front.bytes.begin() + static_cast<std::ptrdiff_t>(front.played + static_cast<std::size_t>(take)));
        front.played += static_cast<std::size_t>(take);
        m_playedSinceReset += take;
        budget -= take;
        if (front.played == front.bytes.size()) {
            const std::uint64_t id = front.id;
            m_queue.pop_front();
            ++finished;
            Finish(id);
        }
    }
    if (m_queue.empty())
        m_carryMicros = 0; // an idle device does not bank time
    return finished;
}

std::size_t VirtualWaveBackend::PlayAll()
{
    std::size_t finished = 0;
    while (m_isOpen && !m_paused && !m_queue.empty()) {
        const auto& front = m_queue.front();
        const auto left = static_cast<std::int64_t>(front.bytes.size() - front.played);
        // Enough whole milliseconds to finish the front buffer.
        const std::int64_t ms = (left * 1000 + m_format.avgBytesPerSec - 1) / m_format.avgBytesPerSec + 1;
        finished += Advance(ms);
    }
    return finished;
}

std::uint32_t VirtualWaveBackend::DeviceVolume(std::int32_t device) const
{
    auto it = m_volumes.find(device);
    return it == m_volumes.end() ? 0xFFFFFFFFu : it->second;
}

bool VirtualWaveBackend::DeviceCaps(std::int32_t device, WaveDeviceCaps& caps) const
{
    if (device == -1 && !m_devices.empty())
        device = 0;
    if (device < 0 || device >= DeviceCount())
        return false;
    caps = m_devices[static_cast<std::size_t>(device)];
    return true;
}

} // namespace pellam
