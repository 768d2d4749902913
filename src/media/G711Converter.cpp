#include "media/G711Converter.h"

#include <array>

#include "media/FrameConverter.h"

namespace pellam {
namespace {

std::int16_t MulawToLinear(std::uint8_t code)
{
    const int u = ~code & 0xFF;
    int t = ((u & 0x0F) << 3) + 0x84;
    t <<= (u & 0x70) >> 4;
    return static_cast<std::int16_t>((u & 0x80) ? (0x84 - t) : (t - 0x84));
}

std::int16_t AlawToLinear(std::uint8_t code)
{
    const int a = code ^ 0x55;
    int t = (a & 0x0F) << 4;
    const int segment = (a & 0x70) >> 4;
    if (segment == 0)
        t += 8;
    else
        t = (t + 0x108) << (segment - 1);
    return static_cast<std::int16_t>((a & 0x80) ? t : -t);
}

using Table = std::array<std::int16_t, 256>;

Table MakeTable(std::int16_t (*decode)(std::uint8_t))
{
    Table t {};
    for (int i = 0; i < 256; ++i)
        t[static_cast<std::size_t>(i)] = decode(static_cast<std::uint8_t>(i));
    return t;
}

class G711Converter final : public FrameConverter {
public:
    G711Converter(const Table& table, std::size_t channels) : FrameConverter(1, channels), m_table(table) { }

protected:
    void ConvertSamples(const std::uint8_t* src, std::size_t samples, std::uint8_t* dst) override
    {
        for (std::size_t i = 0; i < samples; ++i, dst += 2)
            StoreLe16(dst, m_table[src[i]]);
    }

private:
    const Table& m_table;
};

} // namespace

std::unique_ptr<PcmConverter> MakeG711Converter(const WaveFormat& source)
{
    static const Table mulaw = MakeTable(MulawToLinear);
    static const Table alaw = MakeTable(AlawToLinear);
    if (source.bitsPerSample != 8 || source.blockAlign != source.channels)
        return nullptr;
    return std::make_unique<G711Converter>(source.formatTag == kWaveFormatMulaw ? mulaw : alaw, source.channels);
}

} // namespace pellam
