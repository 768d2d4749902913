#include "media/PcmConverter.h"

#include <vector>

#include "media/FloatConverter.h"
#include "media/G711Converter.h"
#include "media/GsmConverter.h"
#include "media/ImaAdpcmConverter.h"
#include "media/MpegConverter.h"
#include "media/MsAdpcmConverter.h"
#include "media/PcmIntConverter.h"

namespace pellam {
namespace {

// Offsets inside a WAVE_FORMAT_EXTENSIBLE payload: valid bits and channel mask
// follow the 18-byte header, then the sub-format GUID whose first two bytes
// are the format tag of the samples.
constexpr std::size_t kExtensibleSubFormat = 24;
constexpr std::size_t kExtensibleSize = 40;

std::unique_ptr<PcmConverter> OpenForTag(const WaveFormat& source, std::span<const std::uint8_t> payload)
{
    switch (source.formatTag) {
    case kWaveFormatPcm:
        return MakePcmIntConverter(source);
    case kWaveFormatIeeeFloat:
        return MakeFloatConverter(source);
    case kWaveFormatMulaw:
    case kWaveFormatAlaw:
        return MakeG711Converter(source);
    case kWaveFormatImaAdpcm:
        return MakeImaAdpcmConverter(source, payload);
    case kWaveFormatMsAdpcm:
        return MakeMsAdpcmConverter(source, payload);
    case kWaveFormatGsm610:
        return MakeGsmConverter(source, payload);
    case kWaveFormatMpeg:
    case kWaveFormatMpegLayer3:
        return MakeMpegConverter(source);
    default:
        return nullptr;
    }
}

} // namespace

std::unique_ptr<PcmConverter> OpenPcmConverter(std::span<const std::uint8_t> fmtPayload, const WaveFormat& output)
{
    if (fmtPayload.size() < 16)
        return nullptr;
    WaveFormat source = WaveFormat::Parse(fmtPayload);
    if (source.channels == 0 || source.samplesPerSec == 0)
        return nullptr;
    if (output.formatTag != kWaveFormatPcm || output.bitsPerSample != 16 || output.channels != source.channels
        || output.samplesPerSec != source.samplesPerSec)
        return nullptr;
    if (std::uint64_t {2} * source.channels * source.samplesPerSec > kMaxOutputBytesPerSecond)
        return nullptr;

    if (source.formatTag != kWaveFormatExtensible)
        return OpenForTag(source, fmtPayload);

    // Unwrap: the inner format is the same header with the sub-format's tag;
    // codec parameters an inner format needs follow the extensible part.
    if (fmtPayload.size() < kExtensibleSize || source.extraSize < kExtensibleSize - WaveFormat::kSize)
        return nullptr;
    std::vector<std::uint8_t> inner(fmtPayload.begin(), fmtPayload.begin() + WaveFormat::kSize);
    inner.insert(inner.end(), fmtPayload.begin() + kExtensibleSize, fmtPayload.end());
    const std::size_t innerExtra = fmtPayload.size() - kExtensibleSize;
    if (innerExtra > 0xFFFF)
        return nullptr;
    inner[0] = fmtPayload[kExtensibleSubFormat];
    inner[1] = fmtPayload[kExtensibleSubFormat + 1];
    inner[16] = static_cast<std::uint8_t>(innerExtra & 0xFF);
    inner[17] = static_cast<std::uint8_t>(innerExtra >> 8);
    const WaveFormat unwrapped = WaveFormat::Parse(inner);
    if (unwrapped.formatTag == kWaveFormatExtensible)
        return nullptr;
    return OpenForTag(unwrapped, inner);
}

} // namespace pellam
