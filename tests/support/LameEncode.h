#pragma once
// MP3 files made at test time: a tone of an exact number of samples, written
// as raw 16-bit PCM and encoded by the lame command-line encoder, which
// records its delay and padding so decoders give back exactly those samples;
// and the samples a second decoder, the mpg123 program, makes of a file.
#include "support/TempDir.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace pellam::test {

inline bool HaveLame()
{
    return std::system("lame --version >/dev/null 2>&1") == 0;
}

// Encodes raw 16-bit interleaved PCM of `channels` channels at `rate` Hz
// into folder/name with the given lame options (for example "-b 64" or
// "-V 5"); returns the path, "" on failure.
inline std::string EncodePcm(const std::string& folder, const std::string& name, const std::string& pcm, int rate,
    int channels, const std::string& options)
{
    const std::string raw = folder + "/" + name + ".raw";
    const std::string out = folder + "/" + name;
    std::ofstream(raw, std::ios::binary) << pcm;
    char khz[32];
    std::snprintf(khz, sizeof khz, "%g", rate / 1000.0);
    const std::string cmd = "lame --quiet -r -s " + std::string(khz) + " --bitwidth 16 --signed --little-endian -m "
        + (channels == 1 ? "m " : "s ") + options + " '" + raw + "' '" + out + "' 2>/dev/null";
    std::remove(out.c_str());
    const bool ok = std::system(cmd.c_str()) == 0;
    std::remove(raw.c_str());
    return ok ? out : std::string();
}

// A tone of `samples` samples per channel: 440 Hz on the first channel, and
// on a second one a pitch that rises by 110 Hz every second, so a sample of
// the wrong channel or the wrong second differs from the right one.
inline std::string ToneSamples(std::int64_t samples, int rate, int channels = 1)
{
    std::string pcm;
    pcm.reserve(static_cast<std::size_t>(samples * channels) * 2);
    for (std::int64_t i = 0; i < samples; ++i) {
        for (int c = 0; c < channels; ++c) {
            const double hz = c == 0 ? 440.0 : 220.0 + 110.0 * static_cast<double>(i / rate);
            const auto v
                = static_cast<std::int16_t>(6000.0 * std::sin(2.0 * M_PI * hz * static_cast<double>(i) / rate));
            pcm += static_cast<char>(v & 0xFF);
            pcm += static_cast<char>((v >> 8) & 0xFF);
        }
    }
    return pcm;
}

// Encodes a 440 Hz mono tone of exactly `samples` samples.
inline std::string EncodeTone(
    const TempDir& dir, const std::string& name, std::int64_t samples, int rate, const std::string& options)
{
    return EncodePcm(dir.str(), name, ToneSamples(samples, rate), rate, 1, options);
}

inline bool HaveMpg123()
{
    return std::system("mpg123 --version >/dev/null 2>&1") == 0;
}

// The samples the mpg123 program decodes from a file: 16-bit interleaved,
// with the encoder's delay and padding cut as the file's info tag states.
inline std::vector<std::int16_t> Mpg123Samples(const std::string& path)
{
    std::vector<std::int16_t> samples;
    FILE* pipe = ::popen(("mpg123 -q -s '" + path + "' 2>/dev/null").c_str(), "r");
    if (!pipe)
        return samples;
    std::int16_t buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 2, 4096, pipe)) > 0;)
        samples.insert(samples.end(), buffer, buffer + n);
    ::pclose(pipe);
    return samples;
}

// Decoded samples against the mpg123 program's: the same count, each in the
// same place. The values agree exactly in most files, but in some 8 kHz files
// a few samples differ by one step of rounding, which varies with how the
// output is read; a sample out of place differs by far more.
inline bool SameSamples(const std::vector<std::int16_t>& decoded, const std::vector<std::int16_t>& reference)
{
    if (decoded.size() != reference.size())
        return false;
    for (std::size_t i = 0; i < decoded.size(); ++i)
        if (std::abs(decoded[i] - reference[i]) > 1)
            return false;
    return true;
}

} // namespace pellam::test
