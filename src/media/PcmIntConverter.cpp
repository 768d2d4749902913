#include "media/PcmIntConverter.h"

#include "media/FrameConverter.h"

namespace pellam {
namespace {

// Samples are stored in containers of whole bytes; wider samples keep their
// top 16 bits (the low bits are dropped, as a plain narrowing does).
class PcmIntConverter final : public FrameConverter {
public:
    PcmIntConverter(std::size_t containerBytes, std::size_t channels)
        : FrameConverter(containerBytes, channels), m_bytes(containerBytes)
    { }

protected:
    void ConvertSamples(const std::uint8_t* src, std::size_t samples, std::uint8_t* dst) override
    {
        for (std::size_t i = 0; i < samples; ++i, src += m_bytes, dst += 2) {
            if (m_bytes == 1) {
                StoreLe16(dst, static_cast<std::int16_t>((src[0] - 128) * 256));
            } else {
                // The top two bytes of a little-endian sample of any width.
                dst[0] = src[m_bytes - 2];
                dst[1] = src[m_bytes - 1];
            }
        }
    }

private:
    std::size_t m_bytes;
};

} // namespace

std::unique_ptr<PcmConverter> MakePcmIntConverter(const WaveFormat& source)
{
    const std::size_t containerBytes = (source.bitsPerSample + 7u) / 8u;
    if (containerBytes < 1 || containerBytes > 4)
        return nullptr;
    if (source.blockAlign != containerBytes * source.channels)
        return nullptr;
    return std::make_unique<PcmIntConverter>(containerBytes, source.channels);
}

} // namespace pellam
