#pragma once
// Lengths to device pixels, at the resolution of the canvas's font.

class TCanvas;

// 0 when the canvas is null.
int DmmToPixels(TCanvas* canvas, int tenthsOfMm);
int MmToPixels(TCanvas* canvas, int mm);
