#pragma once
// Device capabilities of a canvas.

class TCanvas;

constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

// 0 for a null canvas, a canvas without a device or an unknown index.
int GetDeviceCaps(TCanvas* canvas, int index);

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
// Whether TextOut fills the text cell with the brush (the brush must be solid too).
void SetBkMode(TCanvas* canvas, int mode);
