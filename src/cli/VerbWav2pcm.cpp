// pellam-cli wav2pcm WAV OUT: everything the WAV stream reader hands out, from
// open to end of stream, written to OUT; the stream's properties as JSON.
#include "audio/StreamWAV.h"
#include "cli/Json.h"
#include "cli/Verbs.h"

#include <cstdio>
#include <fstream>
#include <vector>

namespace pellam::cli {
namespace {

int Run(const Args& args)
{
    StreamWAV stream;
    const StreamStatus status = stream.StreamOpen(args[0]);
    std::int64_t total = 0;
    if (status == StreamStatus::Ok) {
        std::ofstream out(args[1], std::ios::binary | std::ios::trunc);
        if (!out)
            return Complain(args[1], "cannot be written");
        std::vector<char> buffer(65536);
        for (;;) {
            std::int32_t read = 0;
            const StreamStatus rc = stream.StreamRead(buffer.data(), static_cast<std::int32_t>(buffer.size()), read);
            out.write(buffer.data(), read);
            total += read;
            if (rc != StreamStatus::Ok)
                break;
        }
        if (!out.flush())
            return Complain(args[1], "cannot be written");
    }
    Json json;
    json.BeginObject()
        .Field("status", static_cast<std::int32_t>(status))
        .Field("SamplesPerSecond", std::int64_t {stream.SamplesPerSecond()})
        .Field("Channels", std::int64_t {stream.Channels()})
        .Field("BitsPerSecond", std::int64_t {stream.BitsPerSecond()})
        .Field("Duration", std::int64_t {stream.Duration()})
        .Field("bytes", total)
        .EndObject();
    std::printf("%s\n", json.str().c_str());
    return status == StreamStatus::Ok ? kOk : kNegative;
}

const VerbRegistrar reg("wav2pcm", "WAV OUT", "the 16-bit PCM the player reads from a WAV file, written to OUT", &Run);

} // namespace
} // namespace pellam::cli
