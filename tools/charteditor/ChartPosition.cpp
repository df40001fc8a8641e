#include "tools/charteditor/ChartPosition.h"

#include "quorgrafica/Clsgraf.h"

#include <algorithm>

namespace charteditor {

using quorgrafica::clsBox;
using quorgrafica::clsBoxGroup;
using quorgrafica::clsGraf;

BoxPlace PlaceOf(const clsBox* box) {
    BoxPlace place;
    if (!box || !box->OwnerGraf) return place;
    clsGraf* graf = box->OwnerGraf;
    for (int i = 0; i < graf->GetCount(); ++i) {
        if (graf->GetValue(i) == box) {
            place.index = i;
            place.name = box->Name;
            break;
        }
    }
    return place;
}

clsBox* BoxAt(clsGraf* graf, const BoxPlace& place) {
    if (!graf || place.index < 0) return nullptr;
    // Names compare without case, as the graph finds them.
    if (clsBox* same = graf->BoxAt(place.index); same && same->Name.Equals(place.name)) return same;
    if (place.name.Length() == 0) return nullptr;
    for (int i = 0; i < graf->GetCount(); ++i)
        if (clsBox* box = graf->BoxAt(i); box && box->Name.Equals(place.name)) return box;
    return nullptr;
}

GrafPlace PlaceOf(const clsGraf* graf) {
    GrafPlace place;
    while (graf && graf->Owner) {
        place.push_back(PlaceOf(graf->Owner));
        graf = graf->Owner->OwnerGraf;
    }
    std::reverse(place.begin(), place.end());
    return place;
}

clsGraf* GrafAt(clsGraf* root, const GrafPlace& place) {
    clsGraf* graf = root;
    for (const BoxPlace& step : place) {
        auto* group = dynamic_cast<clsBoxGroup*>(BoxAt(graf, step));
        if (!group || !group->Graf) break;
        graf = group->Graf;
    }
    return graf;
}

} // namespace charteditor
