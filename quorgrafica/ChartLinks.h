#pragma once
// Links as things of their own: found under a point as they are drawn, and
// taken away one at a time.

#include "platform/core/Types.h"

#include <vector>

namespace quorgrafica {

class clsBox;
class clsGraf;

// One link: from Source (in whose LinksOut it stands) to Target.
struct LinkRef {
    clsBox* Source = nullptr;
    clsBox* Target = nullptr;
    explicit operator bool() const { return Source && Target; }
    bool operator==(const LinkRef&) const = default;
};

// The two ends of the link's line as graf draws it: (Left, Top) at the
// source, (Right, Bottom) at the target.
TRect LinkLine(const clsGraf& graf, const clsBox& source, const clsBox& target);

// The link whose drawn line, or end marker, passes within tolerance pixels
// of the point; of several, the one drawn last (it lies on top). None when
// no link is that close.
LinkRef FindLinkAt(const clsGraf& graf, int x, int y, int tolerance = 4);
// The same among the links of the boxes at positions sources (ascending),
// those a spatial index lists near the point.
LinkRef FindLinkAmong(const clsGraf& graf, const std::vector<int>& sources, int x, int y,
                      int tolerance = 4);

// Takes the link from source to target away from both boxes' lists; a link
// the other way stays. False when there was none.
bool RemoveLinkOf(clsBox& source, clsBox& target);

} // namespace quorgrafica
