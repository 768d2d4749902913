#pragma once
// What the recording-details window shows for one recording: its file name,
// the artist, album and genre of its ID3 tag, and a note when the recording
// was cut short.
#include "media/cMP3ID3v2.h"

#include <string>

namespace pellam {

struct RecordingDetails {
    std::string fileName; // "FILE LOAD ERROR" when the recording cannot be read
    std::string artist;
    std::string album;
    std::string genre; // empty when the tag names no genre
    std::string note = {}; // "cut short: 62 of 105 frames", or ""
};

inline constexpr const char* kFileLoadError = "FILE LOAD ERROR";

// Points the tag reader at the recording's full path and reads the details;
// the file name shown is the path's last component. The note comes from a
// scan of the recording's frames.
RecordingDetails ReadRecordingDetails(cMP3ID3v2& reader, const std::string& path);

} // namespace pellam
