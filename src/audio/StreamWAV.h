#pragma once
// Reads the audio of one RIFF/WAVE file and hands it out as 16-bit PCM bytes,
// whatever the stored encoding, through a converter chosen by the format tag.
// Results are small status codes, never exceptions.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pellam {

// Status codes of the stream operations.
enum StreamStatus : std::int32_t {
    kStreamOk = 0,
    kStreamNotOpen = 1, // no file open, cannot be opened, or not a usable WAVE file
    kStreamNoCodec = 3, // no conversion from the file's format to PCM
    kStreamBadSeek = 4, // seek argument out of range
    kStreamEnded = 5, // end of the audio reached before the request was filled
};

class StreamWAV {
public:
    StreamWAV();
    ~StreamWAV();
    StreamWAV(const StreamWAV&) = delete;
    StreamWAV& operator=(const StreamWAV&) = delete;

    std::string StreamDescription() const; // "Wave Audio"
    std::vector<std::string> StreamExtensions() const; // {"WAV"}

    std::int32_t StreamOpen(const std::string& path);
    std::int32_t StreamClose();
    std::int32_t StreamRead(void* destination, std::int32_t count, std::int32_t& read);
    std::int32_t StreamSeek(std::int32_t value, std::int32_t mode); // mode 0: percent, 1: seconds

    std::int32_t Position() const; // ms handed out, less 500
    std::int32_t Duration() const; // ms of the data chunk
    std::int16_t BitsPerSample() const; // always 16
    std::int32_t BitsPerSecond() const; // source average bytes per second * 8
    std::int16_t Channels() const;
    std::int32_t SamplesPerSecond() const;
    bool EndOfStream() const;

private:
    struct State;
    std::unique_ptr<State> m; // kept out of the header so codec details stay private
};

} // namespace pellam
