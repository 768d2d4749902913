#pragma once
// Real numbers become integers by rounding to the nearest integer, halves to
// the even neighbour, everywhere in the program (sizes, times, positions).
#include <cmath>
#include <cstdint>

namespace pellam {

inline double RoundHalfEven(double v)
{
    // nearbyint follows the current rounding mode, which is round-to-nearest-even;
    // nothing in this program changes it.
    return std::nearbyint(v);
}

// A 64-bit figure as the 32-bit signed value an interface carries, saturated.
inline std::int32_t ClampToInt32(std::int64_t v)
{
    return static_cast<std::int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}

inline std::int64_t RoundToInt(double v)
{
    return static_cast<std::int64_t>(RoundHalfEven(v));
}

// num / den rounded half-to-even, exactly, for den > 0.
inline std::int64_t DivRoundHalfEven(std::int64_t num, std::int64_t den)
{
    std::int64_t q = num / den;
    std::int64_t r = num % den;
    if (r < 0) { // make the remainder non-negative (floor division)
        r += den;
        --q;
    }
    const std::int64_t twice = 2 * r;
    if (twice > den || (twice == den && (q % 2 != 0)))
        ++q;
    return q;
}

} // namespace pellam
