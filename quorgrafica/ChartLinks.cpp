#include "quorgrafica/ChartLinks.h"

#include "quorgrafica/Clsgraf.h"

#include <cmath>
#include <cstdint>

namespace quorgrafica {

namespace {

// The distance from the point to the segment, in double precision.
double SegmentDistance(double px, double py, double x1, double y1, double x2, double y2) {
    const double dx = x2 - x1, dy = y2 - y1;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((px - x1) * dx + (py - y1) * dy) / length2 : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    const double cx = x1 + t * dx - px, cy = y1 + t * dy - py;
    return std::sqrt(cx * cx + cy * cy);
}

bool NearMarker(int x, int y, int cx, int cy, std::int64_t size, int tolerance) {
    // Markers of absurd size from a bad file are drawn at most this big.
    size = size < -256 ? -256 : size > 256 ? 256 : size;
    const std::int64_t reach = (size < 0 ? -size : size) + tolerance;
    return std::llabs(static_cast<std::int64_t>(x) - cx) <= reach &&
           std::llabs(static_cast<std::int64_t>(y) - cy) <= reach;
}

void RemoveEvery(clsBoxList& list, const clsBox* box, bool& removed) {
    for (int i = list.GetCount() - 1; i >= 0; --i) {
        if (list.GetValue(i) == box) {
            list.RemoveAt(i, true, true);
            removed = true;
        }
    }
}

LinkRef LinkOfAt(const clsGraf& graf, clsBox* source, int x, int y, int tolerance) {
    if (!source) return LinkRef{};
    for (int j = source->LinksOut.GetCount() - 1; j >= 0; --j) {
        clsBox* target = source->LinksOut.GetValue(j);
        if (!target) continue;
        const TRect line = LinkLine(graf, *source, *target);
        if (SegmentDistance(x, y, line.Left, line.Top, line.Right, line.Bottom) <= tolerance ||
            NearMarker(x, y, line.Left, line.Top, source->LinkSize, tolerance) ||
            NearMarker(x, y, line.Right, line.Bottom, source->LinkSize, tolerance))
            return LinkRef{source, target};
    }
    return LinkRef{};
}

} // namespace

LinkRef FindLinkAt(const clsGraf& graf, int x, int y, int tolerance) {
    // The reverse of the drawing order: the boxes' links from the last box
    // back, each box's from its last link back.
    for (int i = graf.GetCount() - 1; i >= 0; --i)
        if (const LinkRef link = LinkOfAt(graf, graf.GetValue(i), x, y, tolerance)) return link;
    return LinkRef{};
}

LinkRef FindLinkAmong(const clsGraf& graf, const std::vector<int>& sources, int x, int y,
                      int tolerance) {
    for (auto i = sources.rbegin(); i != sources.rend(); ++i)
        if (*i >= 0 && *i < graf.GetCount())
            if (const LinkRef link = LinkOfAt(graf, graf.GetValue(*i), x, y, tolerance))
                return link;
    return LinkRef{};
}

bool RemoveLinkOf(clsBox& source, clsBox& target) {
    bool removed = false;
    RemoveEvery(source.LinksOut, &target, removed);
    bool unused = false;
    RemoveEvery(target.LinksIn, &source, unused);
    return removed;
}

} // namespace quorgrafica
