// Any bytes as a WAVE file through whatever converter its format tag picks,
// then once more after a seek to the middle. The stream hands out whole 16-bit
// frames, never more than asked, and never more than the densest codec makes
// of that many bytes (an MPEG frame of 1152 samples needs at least 24 bytes).
#include "support/FuzzInput.h"
#include "audio/StreamWAV.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using pellam::fuzz::Require;
    pellam::StreamWAV wav;
    if (wav.StreamOpen(pellam::fuzz::InputFile(data, size, "input.wav")) != pellam::StreamStatus::Ok)
        return 0;
    const std::size_t frame = 2u * static_cast<std::uint16_t>(wav.Channels());
    const std::size_t bound = (size / 24 + 2) * 1152 * frame + (1u << 20);
    std::vector<char> buf(4000);
    for (int pass = 0; pass < 2; ++pass) {
        std::size_t total = 0;
        for (std::int32_t got = 0; total <= bound;) {
            const auto rc = wav.StreamRead(buf.data(), 4000, got);
            Require(got >= 0 && got <= 4000, "a read past the request");
            total += static_cast<std::size_t>(got);
            if (rc != pellam::StreamStatus::Ok)
                break;
        }
        Require(total <= bound && frame > 0 && total % frame == 0, "more output than the data allows, or a cut frame");
        (void)wav.StreamSeek(50, 0);
    }
    return 0;
}
