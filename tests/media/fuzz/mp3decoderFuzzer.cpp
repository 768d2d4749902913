// Any bytes as a recording for the in-process decoder: it opens or says why
// not; if it opens, every read ends, gives whole sample frames and no more
// samples than frames of at least 24 bytes could carry, and so does a read
// after a seek, after a scan and after a seek back to the start.
#include "media/Mp3Decoder.h"
#include "support/FuzzInput.h"

#include <vector>

namespace {

using pellam::fuzz::Require;

// Reads to the end in pieces that are not whole frames; the samples per channel.
std::int64_t ReadToEnd(pellam::Mp3Decoder& decoder, std::int64_t bound)
{
    std::vector<std::uint8_t> buffer(1001);
    const auto frame = static_cast<std::size_t>(decoder.FrameBytes());
    std::int64_t samples = 0;
    for (;;) {
        const pellam::Mp3Chunk chunk = decoder.Read(buffer);
        Require(chunk.bytes <= buffer.size() && chunk.bytes % frame == 0, "a read of part of a sample frame");
        Require(chunk.bytes > 0 || chunk.ended, "an empty read that does not end the stream");
        samples += static_cast<std::int64_t>(chunk.bytes / frame);
        Require(samples <= bound, "more samples than the file can carry");
        if (chunk.ended)
            return samples;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = pellam::fuzz::InputFile(data, size, "input.mp3");
    auto opened = pellam::Mp3Decoder::Open(path);
    if (!opened) {
        Require(opened.error().number == 0 && !opened.error().text.empty(), "a file refused without its reason");
        return 0;
    }
    pellam::Mp3Decoder& decoder = *opened.value();
    Require(decoder.Rate() >= 8000 && decoder.Rate() <= 48000, "a rate MPEG audio does not have");
    Require(decoder.Channels() == 1 || decoder.Channels() == 2, "a channel count MPEG audio does not have");
    const std::int64_t bound = static_cast<std::int64_t>(size / 24 + 1) * 1152;
    const std::int64_t samples = ReadToEnd(decoder, bound);
    decoder.Seek(samples / 2);
    ReadToEnd(decoder, bound);
    if (decoder.Scan())
        Require(decoder.Length() >= 0 && decoder.Length() <= bound, "a scanned length the file cannot carry");
    if (decoder.Seek(0))
        ReadToEnd(decoder, bound);
    return 0;
}
