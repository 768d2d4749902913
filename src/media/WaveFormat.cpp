#include "media/WaveFormat.h"

#include <array>
#include <cmath>

#include "base/Rounding.h"

namespace pellam {

WaveFormat WaveFormat::Parse(std::span<const std::uint8_t> bytes)
{
    std::array<std::uint8_t, kSize> b {};
    for (std::size_t i = 0; i < kSize && i < bytes.size(); ++i)
        b[i] = bytes[i];
    WaveFormat f;
    f.formatTag = ReadLe16(&b[0]);
    f.channels = ReadLe16(&b[2]);
    f.samplesPerSec = ReadLe32(&b[4]);
    f.avgBytesPerSec = ReadLe32(&b[8]);
    f.blockAlign = ReadLe16(&b[12]);
    f.bitsPerSample = ReadLe16(&b[14]);
    f.extraSize = ReadLe16(&b[16]);
    return f;
}

WaveFormat WaveFormat::Pcm(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits)
{
    WaveFormat f;
    f.formatTag = kWaveFormatPcm;
    f.channels = channels;
    f.samplesPerSec = rate;
    f.bitsPerSample = bits;
    f.blockAlign = static_cast<std::uint16_t>(RoundToInt(bits / 8.0 * channels));
    f.avgBytesPerSec = static_cast<std::uint32_t>(std::uint64_t {f.blockAlign} * rate);
    f.extraSize = 0;
    return f;
}

} // namespace pellam
