#include "audio/TempoStream.h"

#include <soundtouch/SoundTouch.h>

#include <algorithm>
#include <cmath>

namespace pellam {
namespace {
constexpr std::size_t kBlockFrames = 2048;
constexpr float kScale = 32768.0f;
} // namespace

TempoStream::TempoStream(std::unique_ptr<PcmStream> source) : PcmStreamFilter(std::move(source)) { }

TempoStream::~TempoStream() = default;

void TempoStream::SetSpeed(double speed)
{
    const double tempo = std::clamp(speed, kMinSpeed, kMaxSpeed);
    m_sourceEnded = false;
    if (tempo == 1.0) {
        m_stretch.reset();
        return;
    }
    if (!m_stretch) {
        m_stretch = std::make_unique<soundtouch::SoundTouch>();
        m_stretch->setSampleRate(static_cast<unsigned>(std::max(m_source->SamplesPerSecond(), 1)));
        m_stretch->setChannels(static_cast<unsigned>(std::max<int>(m_source->Channels(), 1)));
    }
    m_stretch->clear();
    m_stretch->setTempo(tempo);
}

StreamStatus TempoStream::StreamClose()
{
    m_stretch.reset();
    return m_source->StreamClose();
}

StreamStatus TempoStream::StreamSeek(std::int32_t value, std::int32_t mode)
{
    const StreamStatus status = m_source->StreamSeek(value, mode);
    if (m_stretch && status == StreamStatus::Ok) {
        m_stretch->clear();
        m_sourceEnded = false;
    }
    return status;
}

bool TempoStream::Feed()
{
    if (m_sourceEnded)
        return false;
    const auto channels = static_cast<std::size_t>(std::max<int>(m_source->Channels(), 1));
    m_block.resize(kBlockFrames * channels);
    std::int32_t read = 0;
    const StreamStatus status
        = m_source->StreamRead(m_block.data(), static_cast<std::int32_t>(m_block.size() * 2), read);
    const std::size_t frames = static_cast<std::size_t>(read) / 2 / channels;
    m_floats.resize(frames * channels);
    for (std::size_t i = 0; i < m_floats.size(); ++i)
        m_floats[i] = static_cast<float>(m_block[i]) / kScale;
    if (frames > 0)
        m_stretch->putSamples(m_floats.data(), static_cast<unsigned>(frames));
    if (status != StreamStatus::Ok || frames == 0) {
        // The last input: what the stretcher holds back comes out too.
        m_sourceEnded = true;
        m_stretch->flush();
    }
    return true;
}

StreamStatus TempoStream::StreamRead(void* destination, std::int32_t count, std::int32_t& read)
{
    if (!m_stretch)
        return m_source->StreamRead(destination, count, read);
    read = 0;
    const auto channels = static_cast<std::size_t>(std::max<int>(m_source->Channels(), 1));
    const std::size_t wanted = destination && count > 0 ? static_cast<std::size_t>(count) / 2 / channels : 0;
    auto* out = static_cast<std::int16_t*>(destination);
    std::size_t done = 0;
    while (done < wanted) {
        if (m_stretch->numSamples() == 0 && !Feed())
            break;
        m_floats.resize((wanted - done) * channels);
        const unsigned got = m_stretch->receiveSamples(m_floats.data(), static_cast<unsigned>(wanted - done));
        for (std::size_t i = 0; i < got * channels; ++i)
            out[done * channels + i]
                = static_cast<std::int16_t>(std::clamp(std::lround(m_floats[i] * kScale), long {-32768}, long {32767}));
        done += got;
    }
    read = static_cast<std::int32_t>(done * channels * 2);
    return done < wanted ? StreamStatus::Ended : StreamStatus::Ok;
}

} // namespace pellam
