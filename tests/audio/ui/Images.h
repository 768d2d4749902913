#pragma once
#include <QImage>

// The green pixels of a waveform picture from column fromX on.
inline int GreenPixels(const QImage& image, int fromX = 0)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = fromX; x < image.width(); ++x)
            n += image.pixel(x, y) == qRgb(0, 255, 0);
    return n;
}
