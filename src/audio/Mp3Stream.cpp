#include "audio/Mp3Stream.h"

#include "audio/RecordingDecode.h"
#include "base/Rounding.h"

#include <algorithm>
#include <cstring>

namespace pellam {
namespace {
constexpr std::size_t kPrimeBytes = 16 * 1024;
}

Mp3Stream::Mp3Stream(std::unique_ptr<Mp3Decoder> decoder, std::shared_ptr<const RecordingDecode> decode)
    : m_decoder(std::move(decoder)), m_decode(std::move(decode))
{ }

Mp3Stream::~Mp3Stream() = default;

std::string Mp3Stream::Prime()
{
    if (!m_decoder)
        return "the recording is not open";
    m_pending.resize(kPrimeBytes);
    const Mp3Chunk chunk = m_decoder->Read(m_pending);
    m_pending.resize(chunk.bytes);
    m_pendingAt = 0;
    m_ended = chunk.ended;
    if (!m_pending.empty())
        return {};
    return chunk.error.empty() ? "no audio could be decoded" : chunk.error;
}

StreamStatus Mp3Stream::StreamClose()
{
    if (!m_decoder)
        return StreamStatus::NotOpen;
    m_decoder.reset();
    m_decode.reset();
    return StreamStatus::Ok;
}

StreamStatus Mp3Stream::StreamRead(void* destination, std::int32_t count, std::int32_t& read)
{
    read = 0;
    if (!m_decoder)
        return StreamStatus::NotOpen;
    auto* out = static_cast<std::uint8_t*>(destination);
    const std::size_t frame = static_cast<std::size_t>(m_decoder->FrameBytes());
    std::size_t wanted = destination && count > 0 ? static_cast<std::size_t>(count) : 0;
    wanted -= wanted % frame;
    std::size_t done = 0;
    if (m_pendingAt < m_pending.size()) {
        const std::size_t take = std::min(wanted, m_pending.size() - m_pendingAt);
        std::memcpy(out, m_pending.data() + m_pendingAt, take);
        m_pendingAt += take;
        done = take;
    }
    while (done < wanted && !m_ended) {
        const Mp3Chunk chunk = m_decoder->Read(std::span<std::uint8_t>(out + done, wanted - done));
        done += chunk.bytes;
        m_ended = chunk.ended;
    }
    read = static_cast<std::int32_t>(done);
    return done < wanted ? StreamStatus::Ended : StreamStatus::Ok;
}

StreamStatus Mp3Stream::StreamSeek(std::int32_t value, std::int32_t mode)
{
    if (!m_decoder)
        return StreamStatus::NotOpen;
    std::int64_t sample = 0;
    if (mode == 0) {
        if (value < 0 || value > 99)
            return StreamStatus::BadSeek;
        sample = DivRoundHalfEven(std::int64_t {value} * std::max<std::int64_t>(LengthSamples(), 0), 100);
    } else {
        // Past an estimated end the decoder itself tells whether there is audio.
        const std::int64_t ms = mode == kSeekMilliseconds ? std::int64_t {value} : std::int64_t {value} * 1000;
        if (value < 0 || (LengthExact() && ms > Duration()))
            return StreamStatus::BadSeek;
        sample = FrameAtMs(ms, m_decoder->Rate());
    }
    if (!m_indexAdopted && m_decode)
        if (const Mp3FrameIndex index = m_decode->Index(); !index.empty())
            m_indexAdopted = m_decoder->AdoptIndex(index);
    m_pending.clear();
    m_pendingAt = 0;
    if (!m_decoder->Seek(sample))
        return StreamStatus::BadSeek;
    m_ended = false;
    return StreamStatus::Ok;
}

bool Mp3Stream::LengthExact() const
{
    return (m_decoder && m_decoder->Scanned()) || (m_decode && m_decode->LengthExact());
}

std::int64_t Mp3Stream::LengthSamples() const
{
    if (m_decode)
        if (const std::int64_t known = m_decode->Status().length; known > 0)
            return known;
    return m_decoder ? m_decoder->Length() : 0;
}

std::int32_t Mp3Stream::Duration() const
{
    if (!m_decoder || m_decoder->Rate() <= 0)
        return 0;
    return ClampToInt32(DivRoundHalfEven(std::max<std::int64_t>(LengthSamples(), 0) * 1000, m_decoder->Rate()));
}

std::int16_t Mp3Stream::Channels() const
{
    return static_cast<std::int16_t>(m_decoder ? m_decoder->Channels() : 0);
}

std::int32_t Mp3Stream::SamplesPerSecond() const
{
    return m_decoder ? m_decoder->Rate() : 0;
}

} // namespace pellam
