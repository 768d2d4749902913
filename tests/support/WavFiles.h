#pragma once
// Building WAVE files byte by byte for the audio tests, and running the sound
// tools (sox, lame) that make reference material when they are installed.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/StreamWAV.h"
#include "support/TempDir.h"

namespace pellam::test {

inline std::string Le16(unsigned v)
{
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}
inline std::string Le32(std::uint32_t v)
{
    return Le16(v & 0xFFFF) + Le16(v >> 16);
}

// A chunk: id, claimed size (the real size unless given), payload, pad byte for odd sizes.
inline std::string Chunk(const std::string& id, const std::string& payload, std::int64_t claimed = -1)
{
    const auto size = static_cast<std::uint32_t>(claimed >= 0 ? claimed : static_cast<std::int64_t>(payload.size()));
    return id + Le32(size) + payload + (payload.size() % 2 ? std::string(1, '\0') : std::string());
}

inline std::string Riff(const std::string& chunks, const std::string& form = "WAVE")
{
    return "RIFF" + Le32(static_cast<std::uint32_t>(4 + chunks.size())) + form + chunks;
}

// An 18-byte wave format header followed by `extra` (extra-size = its length).
inline std::string Fmt(unsigned tag, unsigned channels, std::uint32_t rate, std::uint32_t avg, unsigned align,
    unsigned bits, const std::string& extra = {})
{
    return Le16(tag) + Le16(channels) + Le32(rate) + Le32(avg) + Le16(align) + Le16(bits)
        + Le16(static_cast<unsigned>(extra.size())) + extra;
}

inline std::string PcmFmt(unsigned channels, std::uint32_t rate, unsigned bits)
{
    const unsigned align = channels * ((bits + 7) / 8);
    return Fmt(1, channels, rate, align * rate, align, bits);
}

inline std::string Samples16(const std::vector<std::int16_t>& s)
{
    std::string b;
    for (auto v : s)
        b += Le16(static_cast<std::uint16_t>(v));
    return b;
}

// A 16-bit PCM WAVE file around the sample bytes `data`.
inline std::string PcmWav(unsigned channels, std::uint32_t rate, const std::string& data)
{
    return Riff(Chunk("fmt ", PcmFmt(channels, rate, 16)) + Chunk("data", data));
}

// The sample bytes of a 440 Hz tone of `ms` at `rate`, the same on every channel.
inline std::string Tone(std::uint32_t rate, unsigned channels, int ms)
{
    std::vector<std::int16_t> s;
    for (std::size_t i = 0; i < static_cast<std::size_t>(rate) * static_cast<std::size_t>(ms) / 1000; ++i)
        s.insert(s.end(), channels,
            static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 440.0 * static_cast<double>(i) / rate)));
    return Samples16(s);
}

template<typename Bytes>
std::vector<std::int16_t> ToSamples(const Bytes& bytes)
{
    std::vector<std::int16_t> s(bytes.size() / 2);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<std::int16_t>(
            static_cast<std::uint8_t>(bytes[2 * i]) | (static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8));
    return s;
}

// Everything the stream hands out until it reports the end, read in pieces of
// `piece` bytes; stops (and fails the caller's size checks) after `limit`.
inline std::string ReadToEnd(StreamWAV& s, std::int32_t piece = 10240, std::size_t limit = 64u << 20)
{
    std::string all;
    std::vector<char> buf(static_cast<std::size_t>(piece));
    for (std::int32_t got = 0;;) {
        const auto rc = s.StreamRead(buf.data(), piece, got);
        all.append(buf.data(), static_cast<std::size_t>(got));
        if (rc != StreamStatus::Ok || all.size() > limit)
            return all;
    }
}

inline bool Shell(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

} // namespace pellam::test
