#pragma once

class TCanvas;
class TPicture;

// Tiles the picture over the canvas's clip rectangle, tiles aligned on
// multiples of the picture's size in canvas coordinates.
void PaintPicture(TPicture* picture, TCanvas* canvas);
