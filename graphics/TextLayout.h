#pragma once
// TextDraw lays a text out in a rectangle: margins, paragraphs, word wrap by
// an Italian syllable rule, alignment, background, frame, bottom cut-off,
// blank zeros, or the text as a Code 39 barcode. It returns the height the
// text needs, so callers can measure first and draw second.

#include "graphics/StyleBits.h"
#include "platform/core/Types.h"
#include "quorbase/clsPCollection.h"
#include "quorbase/clsString.h"

class TCanvas;

// Every argument of TextDraw, with its defaults.
struct clsTextOut {
    TCanvas* Canvas = nullptr;
    quorbase::clsString Text;
    TRect Rect;
    int Style = 0x554;
    int MarginX = 1;
    int MarginY = 1;
    int SpacingX = 1;
    int SpacingY = 1;
    bool MeasureOnly = false;
    int ShadowWidth = 30;
    TColor ShadowColor = 0x808080;
    TColor BackColor = clDefault;
};

int TextDraw(TCanvas* Canvas, const quorbase::clsString& Text, const TRect& Rect, const int Style,
             const int MarginX, const int MarginY, const int SpacingX, const int SpacingY,
             const bool MeasureOnly, const int ShadowWidth, const int ShadowColor,
             const int BackColor);
int TextDraw(const clsTextOut& args);

// Measures, grows its own copy of rect down to the text's height, draws.
int TextBox(TCanvas* canvas, const quorbase::clsString& text, const TRect& rect, const int Style,
            const int BackColor, const int ShadowWidth, const int ShadowColor);

// Rectangle with the current pen and brush, the text clipped inside the pen.
void RectText(TCanvas* canvas, const TRect& rect, const quorbase::clsString& text);

// The non-empty lines at x = 0, linesPerInch lines to the inch of the device
// (0: one line per height of "X"); empty lines keep their place.
void Draw(TCanvas* canvas, const quorbase::clsCStrings& lines, int linesPerInch);
