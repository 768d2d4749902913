#include "audio/WAVPlayer.h"

#include "audio/StreamWAV.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace pellam {

namespace {
// Buffers kept queued on the device, and the bytes of each.
constexpr std::int32_t kBuffers = 10;
constexpr std::int32_t kBufferSize = 10240;
} // namespace

WAVPlayer::WAVPlayer(WaveOutBackend& backend, Dispatcher& dispatcher) : m_device(backend, dispatcher)
{
    m_device.BufferDone = [this](std::int32_t) { OnBufferDone(); };
}

WAVPlayer::~WAVPlayer()
{
    m_device.BufferDone = nullptr;
    m_device.Deinit();
    if (m_stream)
        m_stream->StreamClose();
}

bool WAVPlayer::FileOpen(const std::string& path)
{
    auto wav = std::make_unique<StreamWAV>();
    if (wav->StreamOpen(path) != StreamStatus::Ok) {
        m_fileOpen = false;
        return false;
    }
    return Open(std::move(wav));
}

bool WAVPlayer::Open(std::unique_ptr<PcmStream> stream)
{
    m_stream.reset();
    m_loop = nullptr;
    m_tempo = nullptr;
    m_endReached = false;
    m_anchorMs = 0;
    if (stream
        && m_device.Init(stream->SamplesPerSecond(), stream->Channels(), stream->BitsPerSample(), m_selectedDevice)) {
        auto loop = std::make_unique<LoopStream>(std::move(stream));
        m_loop = loop.get();
        auto tempo = std::make_unique<TempoStream>(std::move(loop));
        m_tempo = tempo.get();
        m_tempo->SetSpeed(m_speed);
        m_stream = std::move(tempo);
        m_fileOpen = true;
        ++m_generation;
        return true;
    }
    m_fileOpen = false;
    return false;
}

void WAVPlayer::Reanchor(std::int32_t ms)
{
    // A landed seek leaves the end behind: refills read from the new place
    // instead of rewinding to the start.
    if (m_stream->StreamSeek(ms, kSeekMilliseconds) == StreamStatus::Ok)
        m_endReached = false;
    m_anchorMs = ms;
    m_device.SetElapsed(ms);
    m_device.ClearBufferQueue();
}

void WAVPlayer::SetSpeed(double speed)
{
    const double wanted = std::clamp(speed, TempoStream::kMinSpeed, TempoStream::kMaxSpeed);
    if (wanted == m_speed)
        return;
    if (!m_fileOpen) {
        m_speed = wanted;
        return;
    }
    const std::int32_t here = Position();
    m_speed = wanted;
    m_tempo->SetSpeed(m_speed);
    Reanchor(here);
}

void WAVPlayer::SetLoop(std::optional<LoopRange> loop)
{
    if (!m_fileOpen)
        return;
    const std::int32_t here = Position();
    m_loop->SetLoop(loop);
    Reanchor(here);
}

std::optional<LoopRange> WAVPlayer::Loop() const
{
    return m_loop ? m_loop->Loop() : std::nullopt;
}

void WAVPlayer::SeekExact(std::int32_t ms)
{
    if (m_fileOpen)
        Reanchor(std::clamp(ms, 0, Duration()));
}

bool WAVPlayer::FileClose()
{
    PlaybackStop();
    const bool deinit = m_device.Deinit();
    const StreamStatus closed = m_stream ? m_stream->StreamClose() : StreamStatus::NotOpen;
    m_stream.reset();
    m_loop = nullptr;
    m_tempo = nullptr;
    m_fileOpen = false;
    m_endReached = false;
    m_anchorMs = 0;
    return closed == StreamStatus::Ok ? deinit : false;
}

bool WAVPlayer::FillBuffer()
{
    if (m_endReached)
        return false;
    std::vector<std::uint8_t> buffer;
    try {
        buffer.resize(static_cast<std::size_t>(kBufferSize));
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::int32_t read = 0;
    m_stream->StreamRead(buffer.data(), kBufferSize, read);
    if (read > 0)
        return m_device.WriteSamples(buffer.data(), read, 0);
    m_endReached = true;
    return false;
}

bool WAVPlayer::TopUp(const std::function<bool()>& onFailure)
{
    const std::int32_t queued = m_device.Buffers();
    for (std::int32_t i = queued; i < kBuffers; ++i) {
        if (!FillBuffer() && !m_endReached && !onFailure())
            return false;
    }
    return true;
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
        m_stream->StreamSeek(0, kSeekSeconds);
        m_endReached = false;
        if (!TopUp(giveUpWhenEmpty))
            return false;
    }
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
    m_anchorMs = 0;
    if (m_stream)
        m_stream->StreamSeek(0, kSeekSeconds);
    m_endReached = false;
    m_status = PlayerStatus::Stopped;
    StatusChanged(m_status);
    return stopped;
}

void WAVPlayer::EndPlayback()
{
    m_device.StopPlayback();
    m_anchorMs = 0;
    m_status = PlayerStatus::Stopped;
    EndOfStream();
}

void WAVPlayer::OnBufferDone()
{
    if (m_endReached) {
        m_stream->StreamSeek(0, kSeekPercent);
        if (m_device.Buffers() == 0) {
            m_endReached = false;
            EndPlayback();
            return;
        }
        // Buffers remain to be played; the fills below do nothing while the end is marked.
    }
    TopUp([this] {
        m_device.StopPlayback(); // the owner's buttons are not told
        return true;
    });
}

std::int32_t WAVPlayer::Position() const
{
    const std::int32_t elapsed = m_device.Elapsed();
    const std::optional<LoopRange> loop = Loop();
    if (m_speed == 1.0 && !loop)
        return elapsed;
    // The device counts sound heard; at speed s each ms of it is s ms of the recording.
    std::int64_t ms = m_anchorMs + std::llround(static_cast<double>(std::int64_t {elapsed} - m_anchorMs) * m_speed);
    // Reading that started before B, or at B itself (the loop key's second
    // press), turned back to A at B, each time round.
    if (loop && m_anchorMs <= loop->bMs && ms >= loop->bMs)
        ms = loop->aMs + (ms - loop->bMs) % (loop->bMs - loop->aMs);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(ms, 0, std::max(Duration(), 0)));
}

void WAVPlayer::SetPosition(std::int32_t ms)
{
    if (!m_fileOpen)
        return;
    // A landed seek leaves the end behind: refills read from the new place
    // instead of rewinding to the start.
    if (m_stream->StreamSeek(ms / 1000, kSeekSeconds) == StreamStatus::Ok)
        m_endReached = false;
    m_anchorMs = ms;
    m_device.SetElapsed(ms);
    m_device.ClearBufferQueue();
}

std::int32_t WAVPlayer::Duration() const
{
    return m_stream ? m_stream->Duration() : 0;
}

std::int32_t WAVPlayer::Volume() const
{
    return m_device.VolumeForDev(m_selectedDevice);
}

void WAVPlayer::SetVolume(std::int32_t value)
{
    m_device.SetVolumeForDev(m_selectedDevice, value);
}

Result<std::int16_t, SystemError> WAVPlayer::SetSelectedDevice(std::int16_t device)
{
    if (m_status == PlayerStatus::Playing)
        return fail(SystemError::Content("Stop playback before you change the device!"));
    m_selectedDevice = device;
    if (m_fileOpen) {
        m_device.Deinit();
        m_anchorMs = 0;
        if (!m_device.Init(m_stream->SamplesPerSecond(), m_stream->Channels(), m_stream->BitsPerSample(), device)) {
            m_stream.reset();
            m_loop = nullptr;
            m_tempo = nullptr;
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
