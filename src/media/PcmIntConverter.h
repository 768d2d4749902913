#pragma once
// Integer PCM of 8 (unsigned), 16, 24 or 32 bits to 16-bit PCM.
#include "media/PcmConverter.h"

namespace pellam {

std::unique_ptr<PcmConverter> MakePcmIntConverter(const WaveFormat& source);

} // namespace pellam
