#pragma once
// The arithmetic of the playback panel: which buttons a player status
// allows, where a click on the waveform seeks to, and the volume wedge.
#include "audio/WAVPlayer.h"

#include <cstdint>
#include <optional>

namespace pellam {

struct ButtonStates {
    bool play = true;
    bool pause = false;
    bool stop = false;
    bool positionTimer = false; // the cursor follows the player
    bool focusStop = false; // keyboard focus moves to Stop
    bool operator==(const ButtonStates&) const = default;
};

// The buttons each player status allows; a value outside the three counts as stopped.
ButtonStates ButtonsForStatus(PlayerStatus status);

// A waveform coordinate (ms) as a position: rounded, halves to even.
std::int32_t PositionAt(double x);

// The seek a mouse release at x makes: the nearest whole second in ms, halves
// to even; none at or outside the ends (x ≤ 0 or x ≥ duration).
std::optional<std::int32_t> SeekTarget(double x, std::int32_t durationMs);

// The volume picture is 67000 units wide and 800 high.
inline constexpr double kVolumeScaleWidth = 67000.0;
inline constexpr double kVolumeScaleHeight = 800.0;
inline constexpr std::int32_t kVolumeLoud = 65534; // the most a new drawing leaves

struct WedgeLine {
    double x1, y1, x2, y2;
    bool operator==(const WedgeLine&) const = default;
};

// The three lines of the wedge for volume v, in volume-picture units.
struct VolumeWedge {
    WedgeLine slope, edge, base;
};
VolumeWedge WedgeFor(std::int32_t volume);

// The volume a left-button press or drag at x sets, when -1 < x < 65535.
std::optional<std::int32_t> VolumeAt(double x);

// What the waveform drawing leaves of a volume: 65535 or more becomes 65534.
std::int32_t LoweredVolume(std::int32_t volume);

} // namespace pellam
