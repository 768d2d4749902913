#pragma once
// MP3 files made at test time: a tone of an exact number of samples, written
// as raw 16-bit mono PCM and encoded by the lame command-line encoder, which
// records its delay and padding so decoders give back exactly those samples.
#include "support/TempDir.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace pellam::test {

inline bool HaveLame()
{
    return std::system("lame --version >/dev/null 2>&1") == 0;
}

// Encodes `samples` samples at `rate` Hz into dir/name with the given lame
// options (for example "-b 64" or "-V 5"); returns the path, "" on failure.
inline std::string EncodeTone(
    const TempDir& dir, const std::string& name, std::int64_t samples, int rate, const std::string& options)
{
    std::string pcm;
    pcm.reserve(static_cast<std::size_t>(samples) * 2);
    for (std::int64_t i = 0; i < samples; ++i) {
        const auto v = static_cast<std::int16_t>(6000.0 * std::sin(2.0 * M_PI * 440.0 * static_cast<double>(i) / rate));
        pcm += static_cast<char>(v & 0xFF);
        pcm += static_cast<char>((v >> 8) & 0xFF);
    }
    const std::string raw = dir.write(name + ".raw", pcm);
    const std::string out = dir.file(name);
    char khz[32];
    std::snprintf(khz, sizeof khz, "%g", rate / 1000.0);
    const std::string cmd = "lame --quiet -r -s " + std::string(khz) + " --bitwidth 16 --signed --little-endian -m m "
        + options + " '" + raw + "' '" + out + "' 2>/dev/null";
    std::remove(out.c_str());
    const bool ok = std::system(cmd.c_str()) == 0;
    std::remove(raw.c_str());
    return ok ? out : std::string();
}

} // namespace pellam::test
