#pragma once
// G.711 mu-law and A-law (8 bits per sample) to 16-bit PCM.
#include "media/PcmConverter.h"

namespace pellam {

std::unique_ptr<PcmConverter> MakeG711Converter(const WaveFormat& source);

} // namespace pellam
