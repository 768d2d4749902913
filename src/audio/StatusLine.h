#pragma once
// The one-line status of the load sequence and the mouse pointer, as values:
// the sequence decides them, the panel shows them.
#include <cstdint>
#include <string>

namespace pellam {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kStatusRed {255, 0, 0};
inline constexpr Rgb kStatusYellow {255, 255, 0};
inline constexpr Rgb kStatusGreen {0, 255, 0};
inline constexpr Rgb kStatusCyan {0, 255, 255};

struct StatusLine {
    std::string text;
    Rgb colour = kStatusYellow;
    bool operator==(const StatusLine&) const = default;
};

enum class MousePointer { Normal, Busy };

inline constexpr const char* kConverting = "Converting MP3 to WAV";
inline constexpr const char* kMissingCodec = "Error: Missing CODEC";
inline constexpr const char* kCouldNotLoad = "Couldn't Load Audio Clip";
inline constexpr const char* kPlayingPrefix = "Playing ";
inline constexpr const char* kLoadedPrefix = "Loaded ";
inline constexpr const char* kPausedPrefix = "Paused ";
inline constexpr const char* kStoppedPrefix = "Stopped ";
inline constexpr const char* kEndedPrefix = "Ended ";
inline constexpr const char* kNoSoundFile = "No Sound File Loaded!";

} // namespace pellam
