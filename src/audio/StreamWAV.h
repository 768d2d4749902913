#pragma once
// Reads the audio of one RIFF/WAVE file and hands it out as 16-bit PCM bytes,
// whatever the stored encoding, through a converter chosen by the format tag.
// Results are small status codes, never exceptions.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pellam {

// Status codes of the stream operations; the numbers are part of the
// interface (pellam-cli prints the open status).
enum class StreamStatus : std::int32_t {
    Ok = 0,
    NotOpen = 1, // no file open, cannot be opened, or not a usable WAVE file
    NoCodec = 3, // no conversion from the file's format to PCM
    BadSeek = 4, // seek argument out of range
    Ended = 5, // end of the audio reached before the request was filled
};

class StreamWAV {
public:
    StreamWAV();
    ~StreamWAV();
    StreamWAV(const StreamWAV&) = delete;
    StreamWAV& operator=(const StreamWAV&) = delete;

    std::string StreamDescription() const; // "Wave Audio"
    std::vector<std::string> StreamExtensions() const; // {"WAV"}

    // A folder, FIFO or device is refused (NotOpen) without waiting on it.
    StreamStatus StreamOpen(const std::string& path);
    StreamStatus StreamClose();
    StreamStatus StreamRead(void* destination, std::int32_t count, std::int32_t& read);
    StreamStatus StreamSeek(std::int32_t value, std::int32_t mode); // mode 0: percent, 1: seconds

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
