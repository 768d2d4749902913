// pellam-cli wav2pcm WAV OUT: everything the WAV stream reader hands out, from
// open to end of stream, written to OUT; the stream's properties as JSON.
// OUT is refused (exit 2, nothing written) when it is WAV itself or lies in
// the evidence folder WAV belongs to: the folder of WAV counts as one when it
// holds an event file, since that is how an incident folder is recognised.
#include "audio/StreamWAV.h"
#include "base/PathText.h"
#include "cli/Json.h"
#include "cli/Verbs.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include <sys/stat.h>

namespace pellam::cli {
namespace {

namespace fs = std::filesystem;

// The folders IN counts as evidence in: its folder, as named and with links
// resolved, when that folder holds an event file (*.evt, in any letter case).
std::vector<std::string> EvidenceFoldersOf(const std::string& in)
{
    std::vector<std::string> folders;
    std::error_code ec;
    for (const fs::path& file : {fs::absolute(in, ec), fs::weakly_canonical(in, ec)}) {
        const fs::path folder = file.parent_path();
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            std::string ext = it->path().extension().string();
            std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
            if (ext == ".evt" && it->is_regular_file(ec)) {
                folders.push_back(folder.string());
                break;
            }
        }
        ec.clear();
    }
    return folders;
}

// Why OUT must not be written, or "": the output never replaces its input
// (the same file by device and inode, however it is named or linked) and
// never goes into the evidence folder the input comes from.
std::string OutputRefusal(const std::string& in, const std::string& out)
{
    struct stat inStat {
    }, outStat {};
    if (::stat(in.c_str(), &inStat) == 0 && ::stat(out.c_str(), &outStat) == 0 && inStat.st_dev == outStat.st_dev
        && inStat.st_ino == outStat.st_ino)
        return "is the same file as " + in + "; nothing written";
    for (const std::string& folder : EvidenceFoldersOf(in))
        if (LiesWithin(folder, out, true))
            return "lies in the evidence folder " + folder + "; nothing written";
    return {};
}

int Run(const Args& args)
{
    if (const std::string refusal = OutputRefusal(args[0], args[1]); !refusal.empty())
        return Complain(args[1], refusal);
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
