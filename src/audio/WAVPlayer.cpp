#include "audio/WAVPlayer.h"

#include <new>
#include <vector>

namespace pellam {

namespace {
constexpr std::int32_t kSeekPercent = 0;
constexpr std::int32_t kSeekSeconds = 1;
} // namespace

WAVPlayer::WAVPlayer(WaveOutBackend& backend, Dispatcher& dispatcher) : m_device(backend, dispatcher)
{
    m_device.BufferDone = [this](std::int32_t user) { OnBufferDone(user); };
}

WAVPlayer::~WAVPlayer()
{
    m_device.BufferDone = nullptr;
    m_device.Deinit();
    m_stream.StreamClose();
}

bool WAVPlayer::FileOpen(const std::string& path)
{
    if (m_stream.StreamOpen(path) != StreamStatus::Ok) {
        m_fileOpen = false;
        return false;
    }
    if (m_device.Init(m_stream.SamplesPerSecond(), m_stream.Channels(), m_stream.BitsPerSample(), m_selectedDevice)) {
        m_fileOpen = true;
        return true;
    }
    m_stream.StreamClose();
    m_fileOpen = false;
    return false;
}

bool WAVPlayer::FileClose()
{
    PlaybackStop();
    const bool deinit = m_device.Deinit();
    const StreamStatus closed = m_stream.StreamClose();
    m_fileOpen = false;
    m_endReached = false;
    m_loopCount = 0;
    return closed == StreamStatus::Ok ? deinit : false;
}

bool WAVPlayer::FillBuffer()
{
    if (m_endReached)
        return false;
    std::vector<std::uint8_t> buffer;
    try {
        buffer.resize(static_cast<std::size_t>(m_bufferSize));
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::int32_t read = 0;
    m_stream.StreamRead(buffer.data(), m_bufferSize, read);
    if (read > 0) {
        // A short read while looping is the last buffer of a pass.
        const std::int32_t user = (read < m_bufferSize && m_loop) ? 1 : 0;
        return m_device.WriteSamples(buffer.data(), read, user);
    }
    m_endReached = true;
    return false;
}

bool WAVPlayer::TopUp(const std::function<bool()>& onFailure)
{
    const std::int32_t queued = m_device.Buffers();
    for (std::int32_t i = queued; i < m_buffers; ++i) {
        if (!FillBuffer() && !m_endReached && !onFailure())
            return false;
    }
    return true;
}

void WAVPlayer::CopyShortFile()
{
    // The whole file fits in one buffer: queue copies of it so a looping pass
    // never waits on a refill.
    if (m_device.Buffers() != 1 || !m_loop || !m_endReached)
        return;
    const std::int32_t queued = m_device.Buffers();
    for (std::int32_t i = queued; i < m_buffers; ++i) {
        m_stream.StreamSeek(0, kSeekSeconds);
        m_endReached = false;
        FillBuffer();
    }
}

bool WAVPlayer::PlaybackStart()
{
    if (!m_fileOpen)
        return false;
    auto giveUpWhenEmpty = [this] {
        if (m_device.Buffers() < 1) {
            m_device.ClearBufferQueue();
            return false;
        }
        return true;
    };
    if (!TopUp(giveUpWhenEmpty))
        return false;
    if (m_device.Buffers() == 0 && m_endReached) {
        // Played to its end before: start over.
        m_stream.StreamSeek(0, kSeekSeconds);
        m_endReached = false;
        if (!TopUp(giveUpWhenEmpty))
            return false;
    }
    CopyShortFile();
    if (!m_device.Play()) {
        m_device.ClearBufferQueue();
        m_device.StopPlayback();
        return false;
    }
    m_status = PlayerStatus::Playing;
    StatusChanged(m_status);
    return true;
}

bool WAVPlayer::PlaybackPause()
{
    const bool paused = m_device.Pause();
    m_status = PlayerStatus::Paused;
    StatusChanged(m_status);
    return paused;
}

bool WAVPlayer::PlaybackStop()
{
    const bool stopped = m_device.StopPlayback();
    m_stream.StreamSeek(0, kSeekSeconds);
    m_endReached = false;
    m_loopCount = 0;
    m_status = PlayerStatus::Stopped;
    StatusChanged(m_status);
    return stopped;
}

void WAVPlayer::EndPlayback()
{
    m_device.StopPlayback();
    m_status = PlayerStatus::Stopped;
    EndOfStream();
}

void WAVPlayer::OnBufferDone(std::int32_t user)
{
    if (m_endReached) {
        m_stream.StreamSeek(0, kSeekPercent);
        if (!m_loop) {
            if (m_device.Buffers() == 0) {
                m_endReached = false;
                EndPlayback();
                return;
            }
            // Buffers remain to be played; the fills below do nothing while the end is marked.
        } else {
            m_endReached = false;
        }
    }
    if (user == 1) {
        m_device.ResetElapsed();
        m_loopCount = static_cast<std::int16_t>(m_loopCount + 1);
        bool stop = false;
        if (NextLoop)
            NextLoop(m_loopCount, stop);
        if (stop) {
            m_loopCount = 0;
            EndPlayback();
            return;
        }
    }
    TopUp([this] {
        m_device.StopPlayback(); // the owner's buttons are not told
        return true;
    });
    CopyShortFile();
}

std::int32_t WAVPlayer::Position() const
{
    return m_device.Elapsed();
}

void WAVPlayer::SetPosition(std::int32_t ms)
{
    if (!m_fileOpen)
        return;
    // A landed seek leaves the end behind: refills read from the new place
    // instead of rewinding to the start.
    if (m_stream.StreamSeek(ms / 1000, kSeekSeconds) == StreamStatus::Ok)
        m_endReached = false;
    m_device.SetElapsed(ms);
    m_device.ClearBufferQueue();
}

std::int32_t WAVPlayer::Duration() const
{
    return m_stream.Duration();
}

std::int32_t WAVPlayer::Volume() const
{
    return m_device.VolumeForDev(m_selectedDevice);
}

void WAVPlayer::SetVolume(std::int32_t value)
{
    m_device.SetVolumeForDev(m_selectedDevice, value);
}

Result<std::int16_t, SystemError> WAVPlayer::SetBuffers(std::int16_t count)
{
    if (count < 2)
        return fail(SystemError::Content("Invalid number of buffers!"));
    m_buffers = count;
    return m_buffers;
}

Result<std::int32_t, SystemError> WAVPlayer::SetBufferSize(std::int32_t value)
{
    // The remainder takes the sign of value, as C++ computes it.
    const std::int64_t size = std::int64_t {value} + value % 4;
    if (size <= 4 || size > INT32_MAX)
        return fail(SystemError::Content("Invalid buffer size!"));
    m_bufferSize = static_cast<std::int32_t>(size);
    return m_bufferSize;
}

Result<std::int16_t, SystemError> WAVPlayer::SetSelectedDevice(std::int16_t device)
{
    if (m_status == PlayerStatus::Playing)
        return fail(SystemError::Content("Stop playback before you change the device!"));
    m_selectedDevice = device;
    if (m_fileOpen) {
        m_device.Deinit();
        if (!m_device.Init(m_stream.SamplesPerSecond(), m_stream.Channels(), m_stream.BitsPerSample(), device)) {
            m_stream.StreamClose();
            m_fileOpen = false;
            return fail(SystemError::Content("Couldn't change device!"));
        }
    }
    return m_selectedDevice;
}

std::int16_t WAVPlayer::DeviceCount() const
{
    return static_cast<std::int16_t>(m_device.GetNumDevs());
}

std::string WAVPlayer::DeviceName(std::int16_t index) const
{
    return m_device.GetDevName(index);
}

} // namespace pellam
