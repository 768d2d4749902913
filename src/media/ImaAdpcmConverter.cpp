#include "media/ImaAdpcmConverter.h"

#include <array>

#include "media/BlockConverter.h"
#include "media/FrameConverter.h"

namespace pellam {
namespace {

constexpr std::array<int, 89> kStep = {7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 19, 21, 23, 25, 28, 31, 34, 37, 41, 45, 50,
    55, 60, 66, 73, 80, 88, 97, 107, 118, 130, 143, 157, 173, 190, 209, 230, 253, 279, 307, 337, 371, 408, 449, 494,
    544, 598, 658, 724, 796, 876, 963, 1060, 1166, 1282, 1411, 1552, 1707, 1878, 2066, 2272, 2499, 2749, 3024, 3327,
    3660, 4026, 4428, 4871, 5358, 5894, 6484, 7132, 7845, 8630, 9493, 10442, 11487, 12635, 13899, 15289, 16818, 18500,
    20350, 22385, 24623, 27086, 29794, 32767};

constexpr std::array<int, 16> kIndexShift = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

// Layout of a block: per channel a 4-byte header (first sample, step index,
// reserved), then groups of 4 bytes per channel in turn, each holding 8
// samples of that channel, low nibble first.
class ImaAdpcmConverter final : public BlockConverter {
public:
    using BlockConverter::BlockConverter;

    static std::size_t SamplesHeldBy(std::size_t bytes, std::size_t channels)
    {
        if (bytes < 4 * channels)
            return 0;
        return 1 + (bytes - 4 * channels) / (4 * channels) * 8;
    }

protected:
    std::size_t SamplesHeldBy(std::size_t bytes) const override { return SamplesHeldBy(bytes, Channels()); }

    void DecodeBlock(const std::uint8_t* block, std::size_t samples, std::uint8_t* dst) override
    {
        const std::size_t channels = Channels();
        for (std::size_t c = 0; c < channels; ++c) {
            const std::uint8_t* head = block + 4 * c;
            int predictor = static_cast<std::int16_t>(ReadLe16(head));
            int index = std::clamp<int>(head[2], 0, 88);
            StoreLe16(dst + 2 * c, static_cast<std::int16_t>(predictor));
            const std::uint8_t* data = block + 4 * channels + 4 * c;
            for (std::size_t i = 1; i < samples; ++i) {
                const std::size_t k = i - 1;
                const std::uint8_t byte = data[(k / 8) * 4 * channels + (k % 8) / 2];
                const int nibble = (k % 2 == 0) ? (byte & 0x0F) : (byte >> 4);
                const int step = kStep[static_cast<std::size_t>(index)];
                int diff = step >> 3;
                if (nibble & 1)
                    diff += step >> 2;
                if (nibble & 2)
                    diff += step >> 1;
                if (nibble & 4)
                    diff += step;
                predictor = std::clamp((nibble & 8) ? predictor - diff : predictor + diff, -32768, 32767);
                index = std::clamp(index + kIndexShift[static_cast<std::size_t>(nibble)], 0, 88);
                StoreLe16(dst + 2 * (i * channels + c), static_cast<std::int16_t>(predictor));
            }
        }
    }
};

} // namespace

std::unique_ptr<PcmConverter> MakeImaAdpcmConverter(const WaveFormat& source, std::span<const std::uint8_t> payload)
{
    if (source.bitsPerSample != 4 || source.blockAlign == 0)
        return nullptr;
    const std::size_t held = ImaAdpcmConverter::SamplesHeldBy(source.blockAlign, source.channels);
    std::size_t perBlock = payload.size() >= 20 && source.extraSize >= 2 ? ReadLe16(payload.data() + 18) : 0;
    if (perBlock == 0)
        perBlock = held;
    // A block using less than half its room is a damaged header; taking it at
    // its word would make the input buffer for half a second of output huge.
    if (perBlock == 0 || perBlock > held || perBlock < held / 2)
        return nullptr;
    return std::make_unique<ImaAdpcmConverter>(source.blockAlign, source.channels, perBlock);
}

} // namespace pellam
