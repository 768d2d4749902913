#pragma once
// Finding a sub-chunk of a RIFF/WAVE file: the top-level RIFF chunk of form
// "WAVE", then the first sub-chunk with a given four-character id, walking
// sub-chunks by their sizes (odd sizes are followed by a pad byte).
#include <cstdint>
#include <string>

namespace pellam {

struct ChunkSpan {
    std::int64_t start = 0; // file offset of the payload; 0 = not found
    std::int64_t length = 0; // payload size as the chunk header claims it
};

// Both fields 0 when the file cannot be read, has no "WAVE" RIFF chunk, or
// holds no such sub-chunk. The claimed length may run past the end of file.
ChunkSpan LocateChunk(const std::string& path, const char (&id)[5]);

} // namespace pellam
