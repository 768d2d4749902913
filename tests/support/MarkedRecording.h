#pragma once
// Recordings whose every second says which second it is: second s is a tone
// of 100 + 5 s Hz, so a stretch of decoded audio tells where in the recording
// it was taken from. Encoded by the lame command-line encoder, which records
// its delay and padding so a gapless decoder gives back exactly the samples.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <span>
#include <string>

namespace pellam::test {

inline double MarkFrequency(int second)
{
    return 100.0 + 5.0 * second;
}

// seconds of 8 kHz mono (or `rate`) into folder/name with the given lame
// options; the path, "" on failure.
inline std::string EncodeMarkedSeconds(
    const std::string& folder, const std::string& name, int seconds, const std::string& options = "-b 24", int rate = 8000)
{
    std::string pcm;
    pcm.reserve(static_cast<std::size_t>(seconds) * static_cast<std::size_t>(rate) * 2);
    double phase = 0;
    for (int s = 0; s < seconds; ++s)
        for (int i = 0; i < rate; ++i) {
            phase += 2.0 * M_PI * MarkFrequency(s) / rate;
            const auto v = static_cast<std::int16_t>(8000.0 * std::sin(phase));
            pcm += static_cast<char>(v & 0xFF);
            pcm += static_cast<char>((v >> 8) & 0xFF);
        }
    const std::string raw = folder + "/" + name + ".raw";
    const std::string out = folder + "/" + name;
    std::ofstream(raw, std::ios::binary) << pcm;
    char khz[32];
    std::snprintf(khz, sizeof khz, "%g", rate / 1000.0);
    const std::string cmd = "lame --quiet -r -s " + std::string(khz) + " --bitwidth 16 --signed --little-endian -m m "
        + options + " '" + raw + "' '" + out + "' 2>/dev/null";
    std::remove(out.c_str());
    const bool ok = std::system(cmd.c_str()) == 0;
    std::remove(raw.c_str());
    return ok ? out : std::string();
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
