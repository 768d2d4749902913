#pragma once
// Where the main window's parts go for a given size, in twips.
#include "base/Twips.h"

#include <algorithm>

namespace pellam {

struct MainLayout {
    int frameTop; // playback panel
    int progressTop; // progress bar
    int listHeight; // recording list
    int listWidth;
    int progressWidth;
    int frameWidth;
    int waveformWidth; // the waveform picture inside the panel
};

// The waveform picture is narrower than the playback panel by this much.
inline constexpr int kWaveformInsetTwips = 80;

// The layout rules, written for the window's outer height and width in twips.
inline MainLayout LayoutFor(int outerHeight, int outerWidth)
{
    MainLayout l {};
    l.frameTop = outerHeight - 2700;
    l.progressTop = l.frameTop + 1480;
    l.listHeight = outerHeight - 3000;
    l.listWidth = outerWidth - 525;
    l.progressWidth = l.listWidth;
    l.frameWidth = outerWidth - 540;
    l.waveformWidth = l.frameWidth - kWaveformInsetTwips;
    return l;
}

using Box = TwipsBox; // the main window's name for it

// The parts placed inside the client area (below the menu bar), in twips.
struct ClientLayout {
    TwipsBox list;
    TwipsBox frame;
    TwipsBox progress;
};

inline constexpr int kMarginTwips = 120; // around the parts, on every side
inline constexpr int kFrameHeightTwips = 1440;
inline constexpr int kProgressHeightTwips = 200;
inline constexpr int kProgressGapTwips = 40; // between panel and progress bar

// A client area taller than the one the designed window has gives the
// playback panel this share of the extra height, so the waveform grows with
// the window, up to kFrameMaxTwips in all; the list keeps the rest.
inline constexpr int kFrameGrowthPercent = 35;
inline constexpr int kFrameMaxTwips = 4 * kFrameHeightTwips;

// The rules above count the title bar, menu bar and borders of the outer
// size; placed in the client area they would leave a wide right margin and a
// dead strip at the bottom. Here the client size is turned into the outer
// size those rules expect, so the margins come out equal on every side. A
// hidden progress bar gives its room to the list. designedClientHeight is
// the client area's height when the window has its designed size (less the
// menu bar, which only the window knows).
inline ClientLayout LayoutInClient(int clientHeight, int clientWidth, bool progressShown, int designedClientHeight)
{
    const int spare = progressShown ? 0 : kProgressGapTwips + kProgressHeightTwips;
    const int outerHeight = clientHeight + 2700 - 1480 - kProgressHeightTwips - kMarginTwips + spare;
    const int outerWidth = clientWidth + 525 - 2 * kMarginTwips;
    const MainLayout l = LayoutFor(outerHeight, outerWidth);
    const int extra = std::max(clientHeight - designedClientHeight, 0);
    const int growth = std::min(extra * kFrameGrowthPercent / 100, kFrameMaxTwips - kFrameHeightTwips);
    ClientLayout c;
    c.list = {kMarginTwips, kMarginTwips, l.listWidth, l.listHeight - growth};
    c.frame = {kMarginTwips, l.frameTop - growth, l.frameWidth, kFrameHeightTwips + growth};
    c.progress = {kMarginTwips, l.progressTop, l.progressWidth, kProgressHeightTwips};
    return c;
}

// The window's designed size.
inline constexpr int kMainWidthTwips = 16095;
inline constexpr int kMainHeightTwips = 10395;

// The smallest client area in which the panel's buttons, time and volume
// stay apart and the list still shows its header and a few rows.
inline constexpr int kMinClientWidthTwips = 6600;
inline constexpr int kMinClientHeightTwips = 3900;

} // namespace pellam
