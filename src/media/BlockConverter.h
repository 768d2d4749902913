#pragma once
// Base of the ADPCM converters: the source is a run of fixed-size blocks, each
// decoding on its own to a fixed number of samples per channel. Only whole
// blocks convert until the end of the input is announced; then a truncated
// last block yields the samples it fully holds, or nothing when even its
// header is cut off.
#include <algorithm>

#include "media/PcmConverter.h"

namespace pellam {

class BlockConverter : public PcmConverter {
public:
    BlockConverter(std::size_t blockAlign, std::size_t channels, std::size_t samplesPerBlock)
        : m_blockAlign(blockAlign), m_channels(channels), m_samplesPerBlock(samplesPerBlock)
    { }

    std::size_t SourceSizeFor(std::size_t destinationBytes) const override
    {
        return destinationBytes / OutputBytesPerBlock() * m_blockAlign;
    }

    ConvertResult Convert(
        std::span<const std::uint8_t> source, std::span<std::uint8_t> destination, unsigned flags) override
    {
        ConvertResult r {true, 0, 0};
        const std::size_t perBlock = OutputBytesPerBlock();
        while (source.size() - r.sourceUsed >= m_blockAlign && destination.size() - r.produced >= perBlock) {
            DecodeBlock(source.data() + r.sourceUsed, m_samplesPerBlock, destination.data() + r.produced);
            r.sourceUsed += m_blockAlign;
            r.produced += perBlock;
        }
        const std::size_t rest = source.size() - r.sourceUsed;
        if ((flags & kConvertEnd) && rest > 0 && rest < m_blockAlign) {
            const std::size_t samples = std::min(SamplesHeldBy(rest), m_samplesPerBlock);
            const std::size_t bytes = samples * m_channels * 2;
            if (samples > 0 && destination.size() - r.produced >= bytes) {
                DecodeBlock(source.data() + r.sourceUsed, samples, destination.data() + r.produced);
                r.produced += bytes;
            }
            r.sourceUsed += rest; // what could not be decoded never will be
        }
        return r;
    }

protected:
    // Samples per channel that a block of `bytes` bytes holds completely.
    virtual std::size_t SamplesHeldBy(std::size_t bytes) const = 0;
    // Decodes the first `samples` samples per channel of the block at `block`
    // (which holds at least that many) into interleaved little-endian 16-bit PCM.
    virtual void DecodeBlock(const std::uint8_t* block, std::size_t samples, std::uint8_t* destination) = 0;

    std::size_t Channels() const { return m_channels; }

private:
    std::size_t OutputBytesPerBlock() const { return m_samplesPerBlock * m_channels * 2; }

    std::size_t m_blockAlign;
    std::size_t m_channels;
    std::size_t m_samplesPerBlock;
};

} // namespace pellam
