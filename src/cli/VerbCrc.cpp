// pellam-cli crc PATH...: the confirmed CRC text of each file, as the
// recording list shows it.
#include "base/Cp1252.h"
#include "checksums/CrcText.h"
#include "cli/Verbs.h"

#include <cstdio>
#include <filesystem>

namespace pellam::cli {
namespace {

// A path as one line of output: valid UTF-8, and a line break inside a name
// (which a file name may hold) also printed as U+FFFD, so every file keeps
// exactly one line.
std::string OneLine(std::string_view path)
{
    std::string out = ValidUtf8(path);
    for (std::size_t at; (at = out.find_first_of("\r\n")) != std::string::npos;)
        out.replace(at, 1, "\xEF\xBF\xBD");
    return out;
}

int Run(const Args& args)
{
    clsCRC crc;
    int status = kOk;
    for (const auto& path : args) {
        // The recording list always checksums absolute paths; a relative one
        // given here names a file, not a text.
        std::error_code ec;
        const std::string absolute = std::filesystem::absolute(path, ec).string();
        const std::string text = GetStableCRC(crc, ec ? path : absolute);
        std::printf("%s  %s\n", text.c_str(), OneLine(path).c_str());
        if (text == kUnknownCrc) {
            const auto v = crc.CalculateFile(absolute);
            status = Complain(path, v ? "does not read the same twice" : v.error().text);
        }
    }
    return status;
}

const VerbRegistrar reg("crc", "PATH...", "the recording list's CRC text of each file", &Run);

} // namespace
} // namespace pellam::cli
