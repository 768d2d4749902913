#pragma once
// The 18-byte wave format header as stored at the front of a "fmt " payload:
// little-endian tag, channels, rate, average bytes per second, block
// alignment, bits per sample and the count of extra bytes that follow.
#include <cstddef>
#include <cstdint>
#include <span>

namespace pellam {

inline constexpr std::uint16_t kWaveFormatPcm = 0x0001;
inline constexpr std::uint16_t kWaveFormatMsAdpcm = 0x0002;
inline constexpr std::uint16_t kWaveFormatIeeeFloat = 0x0003;
inline constexpr std::uint16_t kWaveFormatAlaw = 0x0006;
inline constexpr std::uint16_t kWaveFormatMulaw = 0x0007;
inline constexpr std::uint16_t kWaveFormatImaAdpcm = 0x0011;
inline constexpr std::uint16_t kWaveFormatGsm610 = 0x0031;
inline constexpr std::uint16_t kWaveFormatMpeg = 0x0050;
inline constexpr std::uint16_t kWaveFormatMpegLayer3 = 0x0055;
inline constexpr std::uint16_t kWaveFormatExtensible = 0xFFFE;

struct WaveFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;

    static constexpr std::size_t kSize = 18;

    // Reads the header from the front of a payload; bytes missing at the end
    // (a 16-byte payload has no extra-size field) read as zero.
    static WaveFormat Parse(std::span<const std::uint8_t> bytes);

    // A 16-bit-or-other PCM header with the derived block alignment and rate.
    static WaveFormat Pcm(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits);
};

inline std::uint16_t ReadLe16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t ReadLe32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
        | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

} // namespace pellam
