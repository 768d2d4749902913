#include "media/FloatConverter.h"

#include <cmath>
#include <cstring>

#include "media/FrameConverter.h"

namespace pellam {
namespace {

std::int16_t ToSample(double v)
{
    if (!(v == v)) // NaN
        return 0;
    const double scaled = std::nearbyint(v * 32768.0);
    if (scaled >= 32767.0)
        return 32767;
    if (scaled <= -32768.0)
        return -32768;
    return static_cast<std::int16_t>(scaled);
}

template<typename Real>
class FloatConverter final : public FrameConverter {
public:
    explicit FloatConverter(std::size_t channels) : FrameConverter(sizeof(Real), channels) { }

protected:
    void ConvertSamples(const std::uint8_t* src, std::size_t samples, std::uint8_t* dst) override
    {
        // The host is little-endian like the file; memcpy avoids unaligned reads.
        for (std::size_t i = 0; i < samples; ++i, src += sizeof(Real), dst += 2) {
            Real v;
            std::memcpy(&v, src, sizeof v);
            StoreLe16(dst, ToSample(static_cast<double>(v)));
        }
    }
};

} // namespace

std::unique_ptr<PcmConverter> MakeFloatConverter(const WaveFormat& source)
{
    if (source.bitsPerSample == 32 && source.blockAlign == 4u * source.channels)
        return std::make_unique<FloatConverter<float>>(source.channels);
    if (source.bitsPerSample == 64 && source.blockAlign == 8u * source.channels)
        return std::make_unique<FloatConverter<double>>(source.channels);
    return nullptr;
}

} // namespace pellam
