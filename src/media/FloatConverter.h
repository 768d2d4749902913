#pragma once
// IEEE float PCM of 32 or 64 bits to 16-bit PCM, clamping values beyond ±1.
#include "media/PcmConverter.h"

namespace pellam {

std::unique_ptr<PcmConverter> MakeFloatConverter(const WaveFormat& source);

} // namespace pellam
