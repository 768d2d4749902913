#pragma once
// Base of the converters whose source is a plain sequence of fixed-size
// sample frames (integer PCM, float, G.711): every whole frame converts on its
// own, so a block converts as many frames as fit in both buffers.
#include <algorithm>

#include "media/PcmConverter.h"

namespace pellam {

inline void StoreLe16(std::uint8_t* p, std::int16_t v)
{
    const auto u = static_cast<std::uint16_t>(v);
    p[0] = static_cast<std::uint8_t>(u & 0xFF);
    p[1] = static_cast<std::uint8_t>(u >> 8);
}

class FrameConverter : public PcmConverter {
public:
    // `sampleBytes`: bytes of one stored sample of one channel.
    FrameConverter(std::size_t sampleBytes, std::size_t channels) : m_sampleBytes(sampleBytes), m_channels(channels) { }

    std::size_t SourceSizeFor(std::size_t destinationBytes) const override
    {
        return destinationBytes / (2 * m_channels) * m_sampleBytes * m_channels;
    }

    ConvertResult Convert(
        std::span<const std::uint8_t> source, std::span<std::uint8_t> destination, unsigned /*flags*/) override
    {
        // A trailing partial frame cannot be decoded with or without more input
        // announced; it stays unused.
        const std::size_t frames
            = std::min(source.size() / (m_sampleBytes * m_channels), destination.size() / (2 * m_channels));
        const std::size_t samples = frames * m_channels;
        ConvertSamples(source.data(), samples, destination.data());
        return {true, samples * m_sampleBytes, samples * 2};
    }

protected:
    // Converts `samples` stored samples to little-endian 16-bit ones.
    virtual void ConvertSamples(const std::uint8_t* source, std::size_t samples, std::uint8_t* destination) = 0;

private:
    std::size_t m_sampleBytes;
    std::size_t m_channels;
};

} // namespace pellam
