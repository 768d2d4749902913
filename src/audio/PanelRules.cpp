#include "audio/PanelRules.h"

#include "base/Rounding.h"

namespace pellam {

ButtonStates ButtonsForStatus(PlayerStatus status)
{
    switch (status) {
    case PlayerStatus::Paused:
        return {true, false, true, false, false};
    case PlayerStatus::Playing:
        return {false, true, true, true, true};
    case PlayerStatus::Stopped:
        break;
    }
    return {true, false, false, false, false};
}

std::int32_t PositionAt(double x)
{
    return static_cast<std::int32_t>(RoundToInt(x));
}

std::optional<std::int32_t> SeekTarget(double x, std::int32_t durationMs)
{
    if (!(x > 0) || !(x < durationMs))
        return std::nullopt;
    return static_cast<std::int32_t>(RoundToInt(x / 1000.0) * 1000);
}

VolumeWedge WedgeFor(std::int32_t volume)
{
    const double v = volume;
    const double y = 700.0 - static_cast<double>(RoundToInt(v / 100.0));
    return {{1, 700, v, y}, {v, y, v, 700}, {1, 700, v, 700}};
}

std::optional<std::int32_t> VolumeAt(double x)
{
    if (!(x > -1) || !(x < 65535))
        return std::nullopt;
    return static_cast<std::int32_t>(RoundToInt(x));
}

std::int32_t LoweredVolume(std::int32_t volume)
{
    return volume >= 65535 ? kVolumeLoud : volume;
}

} // namespace pellam
