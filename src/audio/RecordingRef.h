#pragma once
// A recording as the player's load sequence addresses it: its number in the
// recording table (1-based, the listing order), its file name (shown in the
// status line) and its full path (the recording table's entry, never rebuilt
// from the list's text).
#include <cstdint>
#include <string>

namespace pellam {

struct RecordingRef {
    std::int16_t number = 0;
    std::string fileName;
    std::string path;

    bool operator==(const RecordingRef&) const = default;
};

} // namespace pellam
