#pragma once
// A stretch of a stream played over and over: reading reaches B, goes back
// to A and goes on, to the sample frame, so a phrase replays without a gap.
// Without a loop it passes the stream through. It counts the frames it has
// handed out since the last seek to know where B is.
#include "audio/PcmStream.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace pellam {

struct LoopRange {
    std::int32_t aMs = 0;
    std::int32_t bMs = 0;
    bool operator==(const LoopRange&) const = default;
};

class LoopStream final : public PcmStreamFilter {
public:
    explicit LoopStream(std::unique_ptr<PcmStream> source);

    // A range of less than one sample frame, or with B before A, is no loop.
    // Reading that is already past B plays on; a loop only turns at B.
    void SetLoop(std::optional<LoopRange> loop);
    const std::optional<LoopRange>& Loop() const { return m_loop; }

    StreamStatus StreamRead(void* destination, std::int32_t count, std::int32_t& read) override;
    StreamStatus StreamSeek(std::int32_t value, std::int32_t mode) override;

private:
    std::int64_t FrameBytes() const;

    std::optional<LoopRange> m_loop;
    std::int64_t m_frame = 0; // the next frame read comes from here
};

} // namespace pellam
