#pragma once
// Frames, lines and rectangle helpers drawn with the canvas's current pen
// and brush. Frame edges are drawn on: a fill covers Left..Right and
// Top..Bottom inclusive.

#include "graphics/StyleBits.h"
#include "platform/core/Types.h"

class TCanvas;

void MoveRect(TRect& rect, int dx, int dy);
// From (x1, y1) to (x2, y2), the end point itself not painted.
void DrawLine(TCanvas* canvas, int x1, int y1, int x2, int y2);
// Outline through the four corners in the given pen colour and width.
void DrawFrame(TCanvas* canvas, const TRect& rect, TColor color, int width);
// Background, shadow strips, outer and inner lines and raised bevel as the
// style bits ask; nothing at all when no frame bit is set. BackColor clNone
// leaves the background alone, clDefault fills with the brush's colour.
void DrawSmartFrame(TCanvas* canvas, int Style, int Left, int Top, int Right, int Bottom,
                    int SpacingX, int SpacingY, int ShadowWidth, int ShadowColor, int BackColor);
void DrawSmartFrame(TCanvas* canvas, int Style, TRect& rect, int SpacingX, int SpacingY,
                    int ShadowWidth, int ShadowColor, int BackColor);

// True when b's top-left corner lies in a, or a's in b (right and bottom
// edges outside).
bool InsideRect(const TRect& a, const TRect& b);
bool InsideRect(const int aLeft, const int aTop, const int aRight, const int aBottom,
                const int bLeft, const int bTop, const int bRight, const int bBottom);
// Left <= x < Right and Top <= y <= Bottom.
bool InsideRect(const TRect& r, int x, int y);

// Pen style solid, pen colour, pen width, brush colour, brush solid, font
// colour, in that order; nothing is put back.
void SelectColors(TCanvas* canvas, TColor penColor, TColor brushColor, TColor fontColor,
                  int penWidth);
