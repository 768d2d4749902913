#pragma once
// The duration of an MP3 recording as the recording list shows it: "mm:ss",
// minutes at least two digits and counting on past 59 (75:03 is an hour and a
// quarter). The length comes from a scan of every frame header through
// libmpg123, so variable-bitrate files and encoder padding are accounted for.
#include "base/Result.h"

#include <cstdint>
#include <stop_token>
#include <string>

namespace pellam {

// Text shown for a recording whose duration cannot be had.
inline constexpr const char* kUnknownDuration = "??:??";
// What the duration pass takes as "not known yet".
inline constexpr const char* kNoDuration = "00:00";

// Whole seconds as "mm:ss"; negative values count as 0.
std::string DurationText(std::int64_t seconds);

// Number of samples per channel and sample rate of a scanned MP3.
struct Mp3Length {
    std::int64_t samples = 0;
    std::int64_t rate = 0;
};

// Why a file has no length: the system's error number when it could not be
// opened (0 when its content was at fault) and a description.
struct Mp3ScanError {
    int Errno = 0;
    std::string Reason;
};

// Scans a regular file; a folder, FIFO or device is refused without waiting
// on it. A requested stop ends the scan at the next block read, refused.
Result<Mp3Length, Mp3ScanError> ScanMp3(const std::string& path, std::stop_token stop = {});

// samples / rate rounded to whole seconds (halves to the even second), as
// "mm:ss"; "??:??" for an unreadable, empty or non-MP3 file.
std::string Mp3DurationText(const std::string& path, std::stop_token stop = {});

} // namespace pellam
