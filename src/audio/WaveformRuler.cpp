#include "audio/WaveformRuler.h"

#include "base/Rounding.h"
#include "media/Mp3Duration.h"

#include <array>
#include <cmath>

namespace pellam {
namespace {

constexpr std::int64_t kSecond = 1000;
constexpr std::int64_t kMinute = 60 * kSecond;
constexpr std::int64_t kHour = 60 * kMinute;
constexpr std::array<std::int64_t, 16> kSteps {1 * kSecond, 2 * kSecond, 5 * kSecond, 10 * kSecond, 15 * kSecond,
    30 * kSecond, 1 * kMinute, 2 * kMinute, 5 * kMinute, 10 * kMinute, 15 * kMinute, 30 * kMinute, 1 * kHour, 2 * kHour,
    5 * kHour, 10 * kHour};

} // namespace

std::int64_t RulerStepMs(double spanMs, double widthPx, double minGapPx)
{
    for (const std::int64_t step : kSteps)
        if (spanMs > 0 && static_cast<double>(step) * widthPx / spanMs >= minGapPx)
            return step;
    return kSteps.back();
}

std::vector<std::int64_t> RulerTicks(double startMs, double endMs, std::int64_t stepMs)
{
    std::vector<std::int64_t> ticks;
    if (stepMs <= 0)
        return ticks;
    const double step = static_cast<double>(stepMs);
    for (auto t = static_cast<std::int64_t>(std::ceil(startMs / step)) * stepMs; static_cast<double>(t) < endMs;
         t += stepMs)
        ticks.push_back(t);
    return ticks;
}

std::string RulerLabel(double ms)
{
    return DurationText(RoundToInt(ms / 1000.0));
}

} // namespace pellam
