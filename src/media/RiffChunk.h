#pragma once
// Finding a sub-chunk of a RIFF/WAVE file: the top-level RIFF chunk of form
// "WAVE", then the first sub-chunk with a given four-character id, walking
// sub-chunks by their sizes (odd sizes are followed by a pad byte).
#include "base/FileDescriptor.h"
#include "base/Result.h"

#include <cstdint>

namespace pellam {

struct ChunkSpan {
    std::int64_t start = 0; // file offset of the payload
    std::int64_t length = 0; // payload size as the chunk header claims it; may run past the end of file
};

enum class ChunkError {
    NotWave, // no RIFF chunk of form "WAVE" among the top-level chunks
    Missing, // the form holds no sub-chunk with that id
    ReadFailed, // the system reported a read error
};

Result<ChunkSpan, ChunkError> LocateChunk(const FileDescriptor& file, const char (&id)[5]);

} // namespace pellam
