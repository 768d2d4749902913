#pragma once
// What the recording-details window shows for one recording: its file name,
// the artist, album and genre of its ID3 tag, a note when the recording was
// cut short, and its SHA-256 as the open took it.
#include "media/cMP3ID3v2.h"

#include <string>

namespace pellam {

struct RecordingDetails {
    std::string fileName; // "FILE LOAD ERROR" when the recording cannot be read
    std::string artist;
    std::string album;
    std::string genre; // empty when the tag names no genre
    std::string note = {}; // "cut short: 62 of 105 frames", or ""
    std::string sha256 = {}; // lower-case hex; "" when the open could not take it
};

inline constexpr const char* kFileLoadError = "FILE LOAD ERROR";

// Points the tag reader at the recording's full path and reads the details;
// the file name shown is the path's last component. The note comes from a
// scan of the recording's frames. The SHA-256 is the one the open took, given
// here so the recording is not read again.
RecordingDetails ReadRecordingDetails(cMP3ID3v2& reader, const std::string& path, const std::string& sha256 = {});

// The details window's hash line: "SHA-256: " and the hex, or "Unknown".
std::string Sha256Line(const RecordingDetails& details);

} // namespace pellam
