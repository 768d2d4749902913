#pragma once
// Window geometry is given in twips (1440 per inch); on screen 15 twips make
// one pixel. The windows whose geometry the incident system fixes work out
// their parts as boxes in twips and place them with PlaceInTwips.
#include "base/Rounding.h"

#include <algorithm>

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

// A rectangle in twips.
struct TwipsBox {
    int x = 0, y = 0, width = 0, height = 0;
    int right() const { return x + width; }
    int bottom() const { return y + height; }
};

// A rectangle in pixels.
struct PixelBox {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const PixelBox&) const = default;
};

// The pixels a box covers. Each edge is rounded on its own, so boxes that
// meet in twips meet on screen; a box turned inside out covers nothing.
inline PixelBox ToPixels(const TwipsBox& box)
{
    const int x = TwipsToPixels(box.x);
    const int y = TwipsToPixels(box.y);
    return {x, y, std::max(0, TwipsToPixels(box.right()) - x), std::max(0, TwipsToPixels(box.bottom()) - y)};
}

// Places a widget (anything with setGeometry(x, y, width, height)) on a box given in twips.
template<typename Widget>
void PlaceInTwips(Widget& widget, const TwipsBox& box)
{
    const PixelBox p = ToPixels(box);
    widget.setGeometry(p.x, p.y, p.width, p.height);
}

} // namespace pellam
