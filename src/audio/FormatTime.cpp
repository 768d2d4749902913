#include "audio/FormatTime.h"

#include "base/Rounding.h"

#include <cstdio>

namespace pellam {

std::string FormatTime(double ms)
{
    const std::int64_t s = RoundToInt(ms / 1000.0);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%lld:%02lld", static_cast<long long>(s / 60), static_cast<long long>(s % 60));
    return buf;
}

std::string TimeLabelText(double positionMs, double durationMs)
{
    return FormatTime(positionMs) + "/" + FormatTime(durationMs);
}

} // namespace pellam
