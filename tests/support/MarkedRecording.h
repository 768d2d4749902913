#pragma once
// Recordings whose every second says which second it is: second s is a tone
// of 100 + 5 s Hz, so a stretch of decoded audio tells where in the recording
// it was taken from.
#include "support/LameEncode.h"

#include <cmath>
#include <cstdint>
#include <span>
#include <string>

namespace pellam::test {

// seconds of 8 kHz mono (or `rate`) into folder/name with the given lame
// options; the path, "" on failure.
inline std::string EncodeMarkedSeconds(const std::string& folder, const std::string& name, int seconds,
    const std::string& options = "-b 24", int rate = 8000)
{
    std::string pcm;
    pcm.reserve(static_cast<std::size_t>(seconds) * static_cast<std::size_t>(rate) * 2);
    double phase = 0;
    for (int s = 0; s < seconds; ++s)
        for (int i = 0; i < rate; ++i) {
            phase += 2.0 * M_PI * (100.0 + 5.0 * s) / rate;
            const auto v = static_cast<std::int16_t>(8000.0 * std::sin(phase));
            pcm += static_cast<char>(v & 0xFF);
            pcm += static_cast<char>((v >> 8) & 0xFF);
        }
    return EncodePcm(folder, name, pcm, rate, 1, options);
}

// The second a stretch of mono 16-bit audio (at least half a second) was
// taken from, by its tone's frequency counted in zero crossings; -1 when it
// is no marked tone.
inline int SecondHeard(std::span<const std::int16_t> samples, int rate = 8000)
{
    const std::size_t window = static_cast<std::size_t>(rate) / 2;
    if (samples.size() < window)
        return -1;
    int crossings = 0;
    for (std::size_t i = 1; i < window; ++i)
        crossings += (samples[i - 1] < 0) != (samples[i] < 0);
    const double hz = crossings; // two a period over half a second
    const double second = (hz - 100.0) / 5.0;
    return second < -0.5 ? -1 : static_cast<int>(std::lround(second));
}

} // namespace pellam::test
