#pragma once
// Reading drawn pixels back in tests.

#include "platform/graphics/Canvas.h"

#include <functional>

// Pixels in [x0, x1) x [y0, y1) for which pred holds.
inline int CountPixels(const TCanvas& c, int x0, int y0, int x1, int y1,
                       const std::function<bool(TColor)>& pred) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (pred(c.Pixels(x, y))) ++n;
    return n;
}

inline int CountColor(const TCanvas& c, int x0, int y0, int x1, int y1, TColor color) {
    return CountPixels(c, x0, y0, x1, y1, [color](TColor p) { return p == color; });
}

inline int CountNot(const TCanvas& c, int x0, int y0, int x1, int y1, TColor color) {
    return CountPixels(c, x0, y0, x1, y1, [color](TColor p) { return p != color; });
}

// Dark pixels (text ink) in the area.
inline int Ink(const TCanvas& c, int x0, int y0, int x1, int y1) {
    return CountPixels(c, x0, y0, x1, y1, [](TColor p) {
        return GetRValue(p) + GetGValue(p) + GetBValue(p) < 3 * 128;
    });
}

// Leftmost / rightmost column with ink in the band, -1 when none.
inline int FirstInkColumn(const TCanvas& c, int x0, int y0, int x1, int y1) {
    for (int x = x0; x < x1; ++x)
        if (Ink(c, x, y0, x + 1, y1) > 0) return x;
    return -1;
}
inline int LastInkColumn(const TCanvas& c, int x0, int y0, int x1, int y1) {
    for (int x = x1 - 1; x >= x0; --x)
        if (Ink(c, x, y0, x + 1, y1) > 0) return x;
    return -1;
}
