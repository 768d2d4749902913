#pragma once
// IMA (DVI) ADPCM, 4 bits per sample, to 16-bit PCM.
#include "media/PcmConverter.h"

namespace pellam {

// `payload` is the whole "fmt " payload; its extra bytes carry the samples
// per block (derived from the block alignment when absent or 0).
std::unique_ptr<PcmConverter> MakeImaAdpcmConverter(const WaveFormat& source, std::span<const std::uint8_t> payload);

} // namespace pellam
