#pragma once
// A stream played faster or slower with its pitch kept: the time-stretch of
// the SoundTouch library between the stream and the sound device. Times stay
// the stream's own (Duration, seeks); only the sound handed out is shorter or
// longer. At 1.0 the stream's bytes pass through unchanged.
#include "audio/PcmStream.h"

#include <memory>
#include <vector>

namespace soundtouch {
class SoundTouch;
}

namespace pellam {

class TempoStream final : public PcmStreamFilter {
public:
    static constexpr double kMinSpeed = 0.5;
    static constexpr double kMaxSpeed = 2.0;

    explicit TempoStream(std::unique_ptr<PcmStream> source);
    ~TempoStream() override;

    // Clamped to 0.5..2.0; sound stretched and not handed out yet is dropped.
    void SetSpeed(double speed);

    StreamStatus StreamClose() override;
    StreamStatus StreamRead(void* destination, std::int32_t count, std::int32_t& read) override;
    StreamStatus StreamSeek(std::int32_t value, std::int32_t mode) override;

private:
    // Feeds the stretcher one block of the source; false once the source has ended.
    bool Feed();

    std::unique_ptr<soundtouch::SoundTouch> m_stretch;
    bool m_sourceEnded = false;
    std::vector<std::int16_t> m_block;
    std::vector<float> m_floats;
};

} // namespace pellam
