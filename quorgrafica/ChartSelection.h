#pragma once
// What the flowchart component keeps for the editing of several boxes at
// once: the selected boxes besides the selected one, the selected link, a
// move of the selected boxes under way and the selection band. The boxes
// are checked against the graph on show before any is used, so that boxes
// removed meanwhile are never touched.

#include "platform/core/Types.h"
#include "quorgrafica/ChartAlign.h"
#include "quorgrafica/ChartLinks.h"

#include <utility>
#include <vector>

namespace quorgrafica {

class clsBox;
class clsGraf;

struct ChartSelection {
    // The graph the boxes and the link were selected in.
    clsGraf* graf = nullptr;
    std::vector<clsBox*> boxes;
    LinkRef link;
    // While SetSelectedBox is called from here, the boxes stay selected.
    bool keep = false;

    // A move of the selected boxes: each with its frame at the press.
    bool moving = false;
    std::vector<std::pair<clsBox*, TRect>> pressFrames;
    // A click on one of several selected boxes selects it alone, unless
    // the press became a move.
    bool collapseOnClick = false;
    // Where the dragged box lines up with others.
    std::vector<ChartGuide> guides;

    // The band, in page pixels, and the area it was last painted on.
    TPoint bandAnchor{0, 0};
    TPoint bandPoint{0, 0};
    TRect bandArea{};

    void Forget() {
        boxes.clear();
        link = LinkRef{};
    }
};

} // namespace quorgrafica
