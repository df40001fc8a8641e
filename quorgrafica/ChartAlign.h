#pragma once
// Lining boxes up: aligning and distributing frames, making them the same
// size, and the guides that show while a box is dragged into line with
// others. Pure functions over frames; the graph gives only its grid.

#include "platform/core/Types.h"

#include <vector>

namespace quorgrafica {

class clsGraf;

enum class AlignKind {
    Left,             // every left edge at the leftmost one
    Centre,           // every centre on the centre of them all, across
    Right,            // every right edge at the rightmost one
    Top,              // every top edge at the topmost one
    Middle,           // every middle on the middle of them all, down
    Bottom,           // every bottom edge at the lowest one
    DistributeAcross, // equal gaps between them, the outermost two staying
    DistributeDown,
    SameWidth,        // the reference frame's width, left edges staying
    SameHeight        // its height, top edges staying
};

// The frames after the change, in the order given. A line's frame (two end
// points in any order) is taken as the rectangle they span and keeps its
// direction. When graf aligns to its grid, the edge lined up (the left or
// top one for centres, distribution and moves; the right or bottom one for
// sizes and right or bottom alignment) is snapped to the grid. reference is
// the index of the frame whose size SameWidth and SameHeight give the rest.
// Fewer than two frames (three to distribute) come back unchanged.
std::vector<TRect> AlignFrames(const std::vector<TRect>& frames, AlignKind kind, int reference,
                               const clsGraf& graf);

// A guide: a vertical line at x = At, or a horizontal one at y = At.
struct ChartGuide {
    bool Vertical = true;
    int At = 0;
    bool operator==(const ChartGuide&) const = default;
};

// Where a dragged frame lines up with others: on each axis the nearest of
// its edges and centre line (left, centre, right; top, middle, bottom)
// within tolerance of one of another frame's, Dx and Dy moving it there, and
// the guides it then shares with the others (each line once).
struct GuideSnap {
    int Dx = 0;
    int Dy = 0;
    std::vector<ChartGuide> Guides;
};
GuideSnap FindGuides(const TRect& moving, const std::vector<TRect>& others, int tolerance);

} // namespace quorgrafica
