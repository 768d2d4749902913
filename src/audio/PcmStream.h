#pragma once
// What the player plays: 16-bit PCM handed out in byte counts, seekable by
// percent, by whole seconds or to the millisecond. A WAV file read through its codec is one such
// stream, an MP3 recording decoded as it plays another. Results are small
// status codes, never exceptions.
#include <cstdint>
#include <memory>

namespace pellam {

// Status codes of the stream operations; the numbers are part of the
// interface (pellam-cli prints the open status).
enum class StreamStatus : std::int32_t {
    Ok = 0,
    NotOpen = 1, // no file open, cannot be opened, or not a usable WAVE file
    NoCodec = 3, // no conversion from the file's format to PCM
    BadSeek = 4, // seek argument out of range
    Ended = 5, // end of the audio reached before the request was filled
};

// Seek modes. Milliseconds land on the sample frame that starts at or just
// before the time (on the block for compressed WAV formats).
inline constexpr std::int32_t kSeekPercent = 0;
inline constexpr std::int32_t kSeekSeconds = 1;
inline constexpr std::int32_t kSeekMilliseconds = 2;

// The sample frame at ms: ms × rate ÷ 1000, truncated.
inline std::int64_t FrameAtMs(std::int64_t ms, std::int64_t rate)
{
    return ms * rate / 1000;
}

class PcmStream {
public:
    virtual ~PcmStream() = default;

    virtual StreamStatus StreamClose() = 0;
    // Up to count bytes of whole sample frames; Ended when the audio ran out first.
    virtual StreamStatus StreamRead(void* destination, std::int32_t count, std::int32_t& read) = 0;
    virtual StreamStatus StreamSeek(std::int32_t value, std::int32_t mode) = 0; // one of the kSeek modes

    virtual std::int32_t Duration() const = 0; // ms
    virtual std::int16_t BitsPerSample() const = 0; // always 16
    virtual std::int16_t Channels() const = 0;
    virtual std::int32_t SamplesPerSecond() const = 0;
};

// A stream that reads another and changes the sound on its way: the format,
// the length and the closing are the source's.
class PcmStreamFilter : public PcmStream {
public:
    explicit PcmStreamFilter(std::unique_ptr<PcmStream> source) : m_source(std::move(source)) { }

    StreamStatus StreamClose() override { return m_source->StreamClose(); }
    std::int32_t Duration() const override { return m_source->Duration(); }
    std::int16_t BitsPerSample() const override { return m_source->BitsPerSample(); }
    std::int16_t Channels() const override { return m_source->Channels(); }
    std::int32_t SamplesPerSecond() const override { return m_source->SamplesPerSecond(); }

protected:
    std::unique_ptr<PcmStream> m_source;
};

} // namespace pellam
