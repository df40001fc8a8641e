#pragma once
// The part of the page a box or a link may touch when painted, so that a
// repaint of one part of the page can leave out what lies elsewhere. Each
// area errs on the large side: a box's text may stick out of its frame by
// about a character, its selection frame, shadow and flag lie around it.

#include "platform/core/Types.h"

class TFont;

namespace quorgrafica {

class clsBox;
class clsGraf;

// Whether BoxPaintArea bounds the painting of the box: true for the
// library's own kinds, false for kinds defined elsewhere, which may paint
// anywhere.
bool PaintAreaKnown(const clsBox& box);
// The character height in pixels that drawing with the font gives.
int FontPixels(const TFont& font);
// The box painted on a canvas whose font is fontPixels high (the box's own
// size once applied) and whose pen is penWidth wide.
TRect BoxPaintArea(const clsBox& box, int fontPixels, int penWidth);
// The link from source to target as graf draws it, with a pen penWidth wide.
TRect LinkPaintArea(const clsGraf& graf, const clsBox& source, const clsBox& target,
                    int penWidth);
// Whether two areas share a pixel.
bool AreasMeet(const TRect& a, const TRect& b);
// The smallest area holding both; an empty area adds nothing.
TRect AreaUnion(const TRect& a, const TRect& b);

} // namespace quorgrafica
