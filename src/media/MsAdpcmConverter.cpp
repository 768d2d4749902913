#include "media/MsAdpcmConverter.h"

#include <array>
#include <vector>

#include "media/BlockConverter.h"
#include "media/FrameConverter.h"

namespace pellam {
namespace {

constexpr std::array<int, 16> kAdapt = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};

constexpr int kMaxStep = 0x7FFFFFFF / 768;

struct Coefficients {
    int c1;
    int c2;
};

// Layout of a block: a predictor number per channel (1 byte each), then the
// initial step per channel, then the newer and the older of the first two
// samples per channel (16-bit each); the older one comes out first. Then one
// nibble per sample, high nibble first, channels in turn.
class MsAdpcmConverter final : public BlockConverter {
public:
    MsAdpcmConverter(const WaveFormat& source, std::size_t samplesPerBlock, std::vector<Coefficients> table)
        : BlockConverter(source.blockAlign, source.channels, samplesPerBlock), m_table(std::move(table))
    { }

    static std::size_t SamplesHeldBy(std::size_t bytes, std::size_t channels)
    {
        if (bytes < 7 * channels)
            return 0;
        return 2 + (bytes - 7 * channels) * 2 / channels;
    }

protected:
    std::size_t SamplesHeldBy(std::size_t bytes) const override { return SamplesHeldBy(bytes, Channels()); }

    void DecodeBlock(const std::uint8_t* block, std::size_t samples, std::uint8_t* dst) override
    {
        const std::size_t channels = Channels();
        std::array<Channel, 2> small {};
        std::vector<Channel> many(channels > small.size() ? channels : 0);
        Channel* ch = channels > small.size() ? many.data() : small.data();

        for (std::size_t c = 0; c < channels; ++c) {
            std::size_t predictor = block[c];
            if (predictor >= m_table.size())
                predictor = 0; // an unknown predictor: fall back to the first rather than refuse the block
            ch[c].coef = m_table[predictor];
            ch[c].step = static_cast<std::int16_t>(ReadLe16(block + channels + 2 * c));
            ch[c].s1 = static_cast<std::int16_t>(ReadLe16(block + 3 * channels + 2 * c));
            ch[c].s2 = static_cast<std::int16_t>(ReadLe16(block + 5 * channels + 2 * c));
            StoreLe16(dst + 2 * c, static_cast<std::int16_t>(ch[c].s2));
            if (samples > 1)
                StoreLe16(dst + 2 * (channels + c), static_cast<std::int16_t>(ch[c].s1));
        }

        const std::uint8_t* data = block + 7 * channels;
        const std::size_t nibbles = samples > 2 ? (samples - 2) * channels : 0;
        for (std::size_t n = 0; n < nibbles; ++n) {
            const std::uint8_t byte = data[n / 2];
            const int code = (n % 2 == 0) ? (byte >> 4) : (byte & 0x0F);
            Channel& s = ch[n % channels];
            const int predicted = (s.s1 * s.coef.c1 + s.s2 * s.coef.c2) >> 8;
            const int signedCode = code >= 8 ? code - 16 : code;
            const int sample = std::clamp(predicted + signedCode * s.step, -32768, 32767);
            // Garbage can push the step up threefold per sample; the cap keeps
            // the arithmetic inside an int.
            s.step = std::clamp((kAdapt[static_cast<std::size_t>(code)] * s.step) >> 8, 16, kMaxStep);
            s.s2 = s.s1;
            s.s1 = sample;
            StoreLe16(dst + 2 * (2 * channels + n), static_cast<std::int16_t>(sample));
        }
    }

private:
    struct Channel {
        Coefficients coef {};
        int step = 0;
        int s1 = 0;
        int s2 = 0;
    };

    std::vector<Coefficients> m_table;
};

} // namespace

std::unique_ptr<PcmConverter> MakeMsAdpcmConverter(const WaveFormat& source, std::span<const std::uint8_t> payload)
{
    // Extra bytes: samples per block, coefficient count, then the pairs.
    if (source.bitsPerSample != 4 || source.blockAlign == 0 || payload.size() < 22 || source.extraSize < 4)
        return nullptr;
    const std::size_t perBlock = ReadLe16(payload.data() + 18);
    const std::size_t count = ReadLe16(payload.data() + 20);
    if (count == 0 || payload.size() < 22 + 4 * count)
        return nullptr;
    const std::size_t held = MsAdpcmConverter::SamplesHeldBy(source.blockAlign, source.channels);
    // A block using less than half its room is a damaged header (see IMA).
    if (perBlock < 2 || perBlock > held || perBlock < held / 2)
        return nullptr;
    std::vector<Coefficients> table;
    table.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = payload.data() + 22 + 4 * i;
        table.push_back({static_cast<std::int16_t>(ReadLe16(p)), static_cast<std::int16_t>(ReadLe16(p + 2))});
    }
    return std::make_unique<MsAdpcmConverter>(source, perBlock, std::move(table));
}

} // namespace pellam
