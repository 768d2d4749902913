#pragma once
// An MP3 recording played as it is decoded: the player's stream reads the
// recording through a decoder of its own, so sound starts with the first
// frame whatever the recording's length. The background decode of the same
// recording, when there is one, tells the exact length once its scan has
// ended and lends its seek table, so a seek anywhere lands at once.
#include "audio/PcmStream.h"
#include "media/Mp3Decoder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pellam {

class RecordingDecode;

class Mp3Stream final : public PcmStream {
public:
    // decode may be null: the length is then the decoder's own.
    Mp3Stream(std::unique_ptr<Mp3Decoder> decoder, std::shared_ptr<const RecordingDecode> decode);
    ~Mp3Stream() override;

    // Decodes the first piece of audio: "" when there is sound, else why not.
    std::string Prime();

    StreamStatus StreamClose() override;
    StreamStatus StreamRead(void* destination, std::int32_t count, std::int32_t& read) override;
    StreamStatus StreamSeek(std::int32_t value, std::int32_t mode) override;

    std::int32_t Duration() const override;
    std::int16_t BitsPerSample() const override { return 16; }
    std::int16_t Channels() const override;
    std::int32_t SamplesPerSecond() const override;

private:
    std::int64_t LengthSamples() const;
    // The length is the scan's or the finished decode's, not an estimate
    // from the encoder's tag or the file's size.
    bool LengthExact() const;

    std::unique_ptr<Mp3Decoder> m_decoder;
    std::shared_ptr<const RecordingDecode> m_decode;
    std::vector<std::uint8_t> m_pending; // decoded by Prime, not handed out yet
    std::size_t m_pendingAt = 0;
    bool m_ended = false;
    bool m_indexAdopted = false;
};

} // namespace pellam
