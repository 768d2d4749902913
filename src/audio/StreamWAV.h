#pragma once
// Reads the audio of one RIFF/WAVE file and hands it out as 16-bit PCM bytes,
// whatever the stored encoding, through a converter chosen by the format tag.
// Results are small status codes, never exceptions.
#include "audio/PcmStream.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pellam {

class StreamWAV final : public PcmStream {
public:
    StreamWAV();
    ~StreamWAV() override;
    StreamWAV(const StreamWAV&) = delete;
    StreamWAV& operator=(const StreamWAV&) = delete;

    std::string StreamDescription() const; // "Wave Audio"
    std::vector<std::string> StreamExtensions() const; // {"WAV"}

    // A folder, FIFO or device is refused (NotOpen) without waiting on it.
    StreamStatus StreamOpen(const std::string& path);
    StreamStatus StreamClose() override;
    StreamStatus StreamRead(void* destination, std::int32_t count, std::int32_t& read) override;
    StreamStatus StreamSeek(std::int32_t value, std::int32_t mode) override;

    std::int32_t Position() const; // ms handed out, less 500
    std::int32_t Duration() const override; // ms of the data chunk
    std::int16_t BitsPerSample() const override; // always 16
    std::int32_t BitsPerSecond() const; // source average bytes per second * 8
    std::int16_t Channels() const override;
    std::int32_t SamplesPerSecond() const override;
    bool EndOfStream() const;

private:
    struct State;
    std::unique_ptr<State> m; // kept out of the header so codec details stay private
};

} // namespace pellam
