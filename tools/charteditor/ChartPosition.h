#pragma once
// Places in a chart that outlive the boxes they point at: a box by its index
// in its graph and its name, a graph by the group boxes leading to it from
// the root. Reading the chart anew (an undo) makes new boxes; a place taken
// before finds the same box or graph after, as far as it still exists.

#include "quorbase/clsString.h"

#include <vector>

namespace quorgrafica {
class clsBox;
class clsGraf;
} // namespace quorgrafica

namespace charteditor {

struct BoxPlace {
    int index = -1; // -1: no box
    quorbase::clsString name;
};

// The group boxes from the root down; empty for the root itself.
using GrafPlace = std::vector<BoxPlace>;

BoxPlace PlaceOf(const quorgrafica::clsBox* box);
// The box at the place's index when its name matches, else the first box of
// that name; null when neither is there (or the place is no box).
quorgrafica::clsBox* BoxAt(quorgrafica::clsGraf* graf, const BoxPlace& place);

GrafPlace PlaceOf(const quorgrafica::clsGraf* graf);
// The graph at the place, or the deepest one on the way that still exists.
quorgrafica::clsGraf* GrafAt(quorgrafica::clsGraf* root, const GrafPlace& place);

} // namespace charteditor
