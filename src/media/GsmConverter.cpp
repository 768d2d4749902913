#include "media/GsmConverter.h"

#include <array>

#include <gsm.h>

#include "media/BlockConverter.h"
#include "media/FrameConverter.h"

namespace pellam {
namespace {

// The first frame of a block takes 33 bytes (its last half byte belongs to the
// second frame), the second the remaining 32. libgsm in WAV49 mode alternates
// between the two by itself, so every block is decoded with both calls in turn.
constexpr std::size_t kFirstFrameBytes = 33;
constexpr std::size_t kFrameSamples = 160;

struct GsmDeleter {
    void operator()(gsm handle) const { gsm_destroy(handle); }
};
using GsmHandle = std::unique_ptr<gsm_state, GsmDeleter>;

// The decoder's prediction runs across blocks, so one handle serves the
// stream from open (or seek, which opens a fresh converter) to its end.
class GsmConverter final : public BlockConverter {
public:
    explicit GsmConverter(GsmHandle handle)
        : BlockConverter(kGsmBlockAlign, 1, kGsmSamplesPerBlock), m_gsm(std::move(handle))
    { }

protected:
    // A cut-off block is dropped whole, as other desktop decoders do, so a
    // truncated file plays the same length everywhere.
    std::size_t SamplesHeldBy(std::size_t bytes) const override
    {
        return bytes >= kGsmBlockAlign ? kGsmSamplesPerBlock : 0;
    }

    void DecodeBlock(const std::uint8_t* block, std::size_t samples, std::uint8_t* dst) override
    {
        // Called only with whole blocks (see SamplesHeldBy), so both frames are
        // decoded and the library's alternation stays in step.
        (void)samples;
        std::array<gsm_byte, kGsmBlockAlign> bytes {};
        std::copy(block, block + kGsmBlockAlign, bytes.begin());
        std::array<gsm_signal, kFrameSamples> pcm {};
        const std::size_t offsets[2] = {0, kFirstFrameBytes};
        for (std::size_t frame = 0; frame < 2; ++frame) {
            if (gsm_decode(m_gsm.get(), bytes.data() + offsets[frame], pcm.data()) != 0)
                pcm.fill(0); // a damaged frame plays as silence
            for (std::size_t i = 0; i < kFrameSamples; ++i)
                StoreLe16(dst + 2 * (frame * kFrameSamples + i), pcm[i]);
        }
    }

private:
    GsmHandle m_gsm;
};

} // namespace

std::unique_ptr<PcmConverter> MakeGsmConverter(const WaveFormat& source, std::span<const std::uint8_t> payload)
{
    if (source.channels != 1 || source.blockAlign != kGsmBlockAlign)
        return nullptr;
    if (payload.size() >= 20 && source.extraSize >= 2 && ReadLe16(payload.data() + 18) != kGsmSamplesPerBlock)
        return nullptr;
    GsmHandle handle(gsm_create());
    if (!handle)
        return nullptr;
    int wav49 = 1;
    if (gsm_option(handle.get(), GSM_OPT_WAV49, &wav49) < 0)
        return nullptr; // a libgsm built without the WAVE packing
    return std::make_unique<GsmConverter>(std::move(handle));
}

} // namespace pellam
