// pellam-cli crc PATH...: the confirmed CRC text of each file, as the
// recording list shows it.
#include "base/Cp1252.h"
#include "checksums/CrcText.h"
#include "cli/Verbs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace pellam::cli {
namespace {

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
        // A name that is not UTF-8 prints with U+FFFD for each stray byte.
        std::printf("%s  %s\n", text.c_str(), ValidUtf8(path).c_str());
        if (text == kUnknownCrc) {
            const auto v = crc.CalculateFile(absolute);
            status = Complain(path, v ? "does not read the same twice" : std::strerror(v.error()));
        }
    }
    return status;
}

const VerbRegistrar reg("crc", "PATH...", "the recording list's CRC text of each file", &Run);

} // namespace
} // namespace pellam::cli
