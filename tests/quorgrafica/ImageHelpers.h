#pragma once
// Reading back the pixels of a painted chart.

#include "platform/core/Types.h"

#include <QImage>

namespace charttest {

// The pixel as a TColor (0x00BBGGRR).
inline TColor At(const QImage& image, int x, int y) {
    const QRgb rgb = image.pixel(x, y);
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

// Pixels of the colour inside area.
inline int Count(const QImage& image, TRect area, TColor color) {
    int n = 0;
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            n += At(image, x, y) == color;
    return n;
}

// Pixels of any other colour inside area.
inline int CountNot(const QImage& image, TRect area, TColor color) {
    return (area.Right - area.Left) * (area.Bottom - area.Top) - Count(image, area, color);
}

} // namespace charttest
