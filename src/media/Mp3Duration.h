#pragma once
// The duration of an MP3 recording as the recording list shows it: "mm:ss",
// minutes at least two digits and counting on past 59 (75:03 is an hour and a
// quarter). The length is what the file's frames hold, found by a scan of
// every frame header through libmpg123: tags in front and behind and bytes
// after the last frame do not count, variable bitrates and the encoder's
// padding are accounted for, and a damaged frame is skipped as a player
// skips it.
#include "base/Result.h"
#include "base/SystemError.h"

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

// What a scan found in an MP3 file.
struct Mp3Length {
    std::int64_t samples = 0; // per channel
    std::int64_t rate = 0;
    std::int64_t frames = 0; // MPEG audio frames the file holds
    // The frame count the encoder's info tag states, -1 without one.
    std::int64_t statedFrames = -1;
    // The file ends before the stream its info tag describes: frames are
    // missing and so are bytes.
    bool cutShort = false;
    int channels = 0; // of the first frame: 1 or 2
};

// Scans a regular file; a folder, FIFO or device is refused without waiting
// on it, and so is a file whose data does not begin (after its ID3v2 tags)
// with an MPEG audio layer III frame. A requested stop ends the scan at the
// next block read, refused. A file that could not be opened gives the
// system's error; one whose content has no length, number 0 and why.
Result<Mp3Length, SystemError> ScanMp3(const std::string& path, std::stop_token stop = {});

// The duration text and, for a file cut short, a note saying so.
struct DurationAnswer {
    std::string text;
    std::string note; // "cut short: 62 of 105 frames", or ""
    bool operator==(const DurationAnswer&) const = default;
};

// "cut short: N of M frames".
std::string CutShortNote(std::int64_t frames, std::int64_t statedFrames);

// samples / rate rounded to whole seconds (halves to the even second), as
// "mm:ss"; "??:??" for an unreadable, empty or non-MP3 file.
DurationAnswer Mp3DurationAnswer(const std::string& path, std::stop_token stop = {});
std::string Mp3DurationText(const std::string& path, std::stop_token stop = {});

} // namespace pellam
