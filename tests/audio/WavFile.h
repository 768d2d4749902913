#pragma once
// Builds 16-bit PCM WAV files in memory for the player tests.
#include <cstdint>
#include <string>
#include <vector>

namespace pellam::test {

inline void PutLe(std::string& out, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A RIFF/WAVE file holding the samples (interleaved when stereo).
inline std::string PcmWav(std::uint32_t rate, std::uint16_t channels, const std::vector<std::int16_t>& samples)
{
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::string w = "RIFF";
    PutLe(w, 36 + dataBytes, 4);
    w += "WAVEfmt ";
    PutLe(w, 16, 4);
    PutLe(w, 1, 2);
    PutLe(w, channels, 2);
    PutLe(w, rate, 4);
    PutLe(w, rate * channels * 2u, 4);
    PutLe(w, channels * 2u, 2);
    PutLe(w, 16, 2);
    w += "data";
    PutLe(w, dataBytes, 4);
    for (std::int16_t s : samples)
        PutLe(w, static_cast<std::uint16_t>(s), 2);
    return w;
}

// Mono samples whose value is the number of the second they belong to, so
// played bytes tell where in the file they came from.
inline std::vector<std::int16_t> SecondMarks(std::uint32_t rate, std::uint32_t seconds)
{
    std::vector<std::int16_t> s(static_cast<std::size_t>(rate) * seconds);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<std::int16_t>(i / rate);
    return s;
}

} // namespace pellam::test
