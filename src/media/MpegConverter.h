#pragma once
// MPEG audio (layers 1-3) stored in a WAVE file, decoded with libmpg123's feed
// interface to 16-bit PCM at the file's rate and channel count.
#include "media/PcmConverter.h"

namespace pellam {

std::unique_ptr<PcmConverter> MakeMpegConverter(const WaveFormat& source);

} // namespace pellam
