#pragma once
// Microsoft ADPCM, 4 bits per sample, to 16-bit PCM.
#include "media/PcmConverter.h"

namespace pellam {

// `payload` is the whole "fmt " payload: its extra bytes carry the samples per
// block and the predictor coefficient table, both required.
std::unique_ptr<PcmConverter> MakeMsAdpcmConverter(const WaveFormat& source, std::span<const std::uint8_t> payload);

} // namespace pellam
