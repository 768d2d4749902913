#include "audio/LoopStream.h"

#include <algorithm>

namespace pellam {

LoopStream::LoopStream(std::unique_ptr<PcmStream> source) : PcmStreamFilter(std::move(source)) { }

std::int64_t LoopStream::FrameBytes() const
{
    return std::int64_t {std::max<std::int16_t>(m_source->Channels(), 1)} * 2;
}

void LoopStream::SetLoop(std::optional<LoopRange> loop)
{
    const std::int64_t rate = m_source->SamplesPerSecond();
    if (loop && (loop->aMs < 0 || FrameAtMs(loop->bMs, rate) <= FrameAtMs(loop->aMs, rate)))
        loop.reset();
    m_loop = loop;
}

StreamStatus LoopStream::StreamSeek(std::int32_t value, std::int32_t mode)
{
    const StreamStatus status = m_source->StreamSeek(value, mode);
    if (status != StreamStatus::Ok)
        return status;
    const std::int64_t rate = m_source->SamplesPerSecond();
    if (mode == kSeekMilliseconds)
        m_frame = FrameAtMs(value, rate);
    else if (mode == kSeekSeconds)
        m_frame = std::int64_t {value} * rate;
    else
        m_frame = FrameAtMs(std::int64_t {m_source->Duration()} * value / 100, rate);
    return status;
}

StreamStatus LoopStream::StreamRead(void* destination, std::int32_t count, std::int32_t& read)
{
    const std::int64_t frameBytes = FrameBytes();
    if (!m_loop || !destination || count <= 0) {
        const StreamStatus status = m_source->StreamRead(destination, count, read);
        m_frame += read / frameBytes;
        return status;
    }
    const std::int64_t rate = m_source->SamplesPerSecond();
    const std::int64_t a = FrameAtMs(m_loop->aMs, rate);
    const std::int64_t b = FrameAtMs(m_loop->bMs, rate);
    auto* out = static_cast<std::uint8_t*>(destination);
    const std::int64_t wanted = count - count % frameBytes;
    std::int64_t done = 0;
    while (done < wanted) {
        if (m_frame == b) {
            // Back to A; a recording that cannot go there plays on past B.
            if (m_source->StreamSeek(m_loop->aMs, kSeekMilliseconds) == StreamStatus::Ok)
                m_frame = a;
            else
                m_loop.reset();
        }
        std::int64_t piece = wanted - done;
        if (m_loop && m_frame < b)
            piece = std::min(piece, (b - m_frame) * frameBytes);
        std::int32_t got = 0;
        (void)m_source->StreamRead(out + done, static_cast<std::int32_t>(piece), got);
        done += got;
        m_frame += got / frameBytes;
        if (got < piece)
            break; // the source ended (a B past the end never turns)
    }
    read = static_cast<std::int32_t>(done);
    return done < wanted ? StreamStatus::Ended : StreamStatus::Ok;
}

} // namespace pellam
