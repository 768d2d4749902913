#pragma once
// Times as the playback panel shows them: whole minutes (not zero-filled, no
// hours), ":" and two-digit seconds.
#include <string>

namespace pellam {

// ms ÷ 1000 rounded to whole seconds (halves to even), as "m:ss".
std::string FormatTime(double ms);

// The time label: position and duration joined by "/", no blanks.
std::string TimeLabelText(double positionMs, double durationMs);

} // namespace pellam
