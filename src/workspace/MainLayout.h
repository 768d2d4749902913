#pragma once
// Where the main window's parts go for a given outer size, in twips.
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

// Outer height and width of the window in twips.
inline MainLayout LayoutFor(int outerHeight, int outerWidth)
{
    MainLayout l {};
    l.frameTop = outerHeight - 2700;
    l.progressTop = l.frameTop + 1480;
    l.listHeight = outerHeight - 3000;
    l.listWidth = outerWidth - 525;
    l.progressWidth = l.listWidth;
    l.frameWidth = outerWidth - 540;
    l.waveformWidth = l.frameWidth - 80;
    return l;
}

// The window's designed size.
inline constexpr int kMainWidthTwips = 16095;
inline constexpr int kMainHeightTwips = 10395;

} // namespace pellam
