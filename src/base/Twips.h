#pragma once
// Window geometry is given in twips (1440 per inch); on screen 15 twips make
// one pixel.
#include "base/Rounding.h"

namespace pellam {

inline constexpr int kTwipsPerPixel = 15;

inline int TwipsToPixels(int twips)
{
    return static_cast<int>(RoundToInt(twips / static_cast<double>(kTwipsPerPixel)));
}
inline int PixelsToTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

} // namespace pellam
