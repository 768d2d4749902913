#pragma once
// The time ruler along the waveform: how far apart its ticks are at a zoom,
// where they fall in the part shown, and what they say. Labels are written as
// the recording list writes durations ("00:05", "01:50", "125:00").
#include <cstdint>
#include <string>
#include <vector>

namespace pellam {

// The shortest of the spacings 1, 2, 5, 10, 15, 30 s, 1, 2, 5, 10, 15, 30 min,
// 1, 2, 5, 10 h whose ticks lie at least minGapPx apart when spanMs is shown
// across widthPx pixels; the longest when none does.
std::int64_t RulerStepMs(double spanMs, double widthPx, double minGapPx);

// The multiples of stepMs from startMs up to, not including, endMs.
std::vector<std::int64_t> RulerTicks(double startMs, double endMs, std::int64_t stepMs);

// ms rounded to whole seconds (halves to even) as "mm:ss", minutes zero-filled
// to two digits and counting on past 99.
std::string RulerLabel(double ms);

} // namespace pellam
