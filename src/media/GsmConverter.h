#pragma once
// GSM 6.10 full-rate speech in the WAVE packing (two frames of 160 samples in
// each 65-byte block), to 16-bit PCM through libgsm.
#include "media/PcmConverter.h"

namespace pellam {

inline constexpr std::size_t kGsmBlockAlign = 65;
inline constexpr std::size_t kGsmSamplesPerBlock = 320;

// Mono only, 65-byte blocks; the extra bytes, when present, must say 320
// samples per block. Null for anything else or when libgsm cannot start.
std::unique_ptr<PcmConverter> MakeGsmConverter(const WaveFormat& source, std::span<const std::uint8_t> payload);

} // namespace pellam
