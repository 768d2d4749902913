#pragma once
// The waveform a decode traces of a WAV file, its bytes fed in pieces as a
// decoder writes them.
#include "audio/WaveformTrace.h"

#include <fstream>
#include <string>
#include <vector>

namespace pellam::test {

// The file taken as `size` bytes long (its own size when -1).
inline WaveformTrace TraceOfFile(const std::string& path, std::size_t piece = 1 << 20, std::int64_t size = -1)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    TraceBuilder builder(size < 0 ? static_cast<std::int64_t>(in.tellg()) : size);
    in.seekg(0);
    std::vector<std::uint8_t> buffer(piece);
    while (in.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(piece)) || in.gcount() > 0)
        builder.Feed(std::span(buffer.data(), static_cast<std::size_t>(in.gcount())));
    builder.Finish();
    return builder.Trace();
}

} // namespace pellam::test
