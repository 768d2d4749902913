#pragma once
// One MP3 recording decoded in this process by libmpg123 into 16-bit
// interleaved PCM at the recording's own rate and channel count. The decoder
// starts at once: opening reads only up to the first frame, so sound is there
// before anything else of a long file has been read. Seeking is by sample;
// it is exact, and immediate once the decoder holds a frame index, its own
// from Scan or one handed over from another decoder of the same file.
#include "base/Result.h"
#include "base/SystemError.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stop_token>
#include <string>
#include <vector>

namespace pellam {

// Where every step-th MPEG frame begins in the file: the seek table a full
// scan leaves behind.
struct Mp3FrameIndex {
    std::vector<std::int64_t> offsets;
    std::int64_t step = 0; // frames from one offset to the next
    bool empty() const { return offsets.empty() || step <= 0; }
};

// What one Read gave.
struct Mp3Chunk {
    std::size_t bytes = 0; // whole sample frames written to the caller's buffer
    bool ended = false; // the stream is over: its end, a stop, or the error below
    std::string error; // why the decode cannot go on; "" at the regular end
};

class Mp3Decoder {
public:
    // Opens a regular file and reads up to its first MPEG audio layer III
    // frame. A file that cannot be opened gives the system's error; one that
    // holds no such frame, number 0 and why; ENOSYS when the decoder itself
    // cannot be had. A requested stop makes every
    // later read of the file fail.
    static Result<std::unique_ptr<Mp3Decoder>, SystemError> Open(const std::string& path, std::stop_token stop = {});
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    int Rate() const;
    int Channels() const;
    // Bytes of one sample frame (2 per channel).
    int FrameBytes() const { return 2 * Channels(); }
    // Samples per channel: from the encoder's info tag or the file's size
    // until Scan, exact after it; -1 when nothing tells.
    std::int64_t Length() const;
    // Reads every frame header: the exact length and the frame index. False
    // when the scan could not finish (a stop, a read error); the next Read
    // goes on where the last one ended either way.
    bool Scan();
    bool Scanned() const;
    // The frame index the decoder holds now.
    Mp3FrameIndex Index() const;
    // Takes over the index of another decoder's Scan of the same file.
    bool AdoptIndex(const Mp3FrameIndex& index);

    // Decodes into out, which holds at least one sample frame.
    Mp3Chunk Read(std::span<std::uint8_t> out);
    // Moves to sample (per channel) from the start; false when the decoder
    // refuses it (past the end, or the file cannot be read there).
    bool Seek(std::int64_t sample);
    // The sample the next Read begins with.
    std::int64_t Tell() const;

private:
    struct State;
    explicit Mp3Decoder(std::unique_ptr<State> state);
    std::unique_ptr<State> m;
};

} // namespace pellam
