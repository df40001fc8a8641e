#pragma once
// A numbered design grid drawn in pmNotXor, so drawing it twice removes it.

#include "platform/core/Types.h"

class TCanvas;

// Column numbers on every fifth line, row numbers on every second; lines
// 0, 10, 20... three pixels wide, other multiples of five two, the rest one.
// Leaves the pen width at 1 and the mode at pmCopy.
void DrawGrid(TCanvas* canvas, int width, int height, int columns, int rows, TColor color);
