#include "quorgrafica/ChartClipboard.h"

#include "quorbase/clsConfig.h"
#include "quorgrafica/ChartFile.h"
#include "quorgrafica/Clsgraf.h"

#include <unordered_set>

namespace quorgrafica {

using quorbase::clsConfig;
using quorbase::clsString;

namespace {

void AddLine(clsConfig& lines, const char* key, const clsString& value) {
    clsString line(key);
    line.Append(value);
    quorbase::Add(lines, line);
}

bool HasKey(const clsString* line, const char* key) {
    if (!line) return false;
    const clsString prefix(key);
    return line->Length() >= prefix.Length() &&
           clsString(line->CStr(), prefix.Length()).Equals(prefix);
}

} // namespace

std::string BoxesToChartText(clsGraf& graf, const std::vector<clsBox*>& boxes) {
    const std::unordered_set<const clsBox*> chosen(boxes.begin(), boxes.end());
    clsConfig lines;
    lines.AddBegin();
    AddLine(lines, "clsGraf=", clsString());
    AddLine(lines, "Title=", clsString());
    for (int i = 0; i < graf.GetCount(); ++i) {
        clsBox* box = graf.GetValue(i);
        if (!box || !chosen.count(box)) continue;
        AddLine(lines, "clsBox.Type=", clsString(box->TypeName()));
        lines.AddBegin();
        clsConfig own;
        box->DataTo(own);
        // The box's own "Link=" lines come before a group's "Graf=", one
        // for each target in LinksOut, in order.
        int link = 0;
        bool nested = false;
        for (int j = 0; j < own.GetCount(); ++j) {
            const clsString* line = own.GetItem(j);
            if (!line) continue;
            if (!nested && line->Equals("Graf=")) nested = true;
            if (!nested && HasKey(line, "Link=")) {
                while (link < box->LinksOut.GetCount() && !box->LinksOut.GetValue(link))
                    ++link;
                const clsBox* target =
                    link < box->LinksOut.GetCount() ? box->LinksOut.GetValue(link) : nullptr;
                ++link;
                if (!chosen.count(target)) continue;
            }
            quorbase::Add(lines, *line);
        }
        lines.AddEnd();
    }
    lines.AddEnd();
    return ChartLinesToText(lines);
}

std::unique_ptr<clsGraf> ChartTextToBoxes(std::string_view text) {
    // The library's kinds are known whether or not a component was made.
    RegisterBoxKinds();
    clsConfig lines;
    ChartTextToLines(text, lines);
    auto graf = std::make_unique<clsGraf>(nullptr);
    graf->DataFrom(lines);
    if (graf->GetCount() == 0) return nullptr;
    return graf;
}

clsBox* MoveBoxTo(clsGraf& from, int index, clsGraf& to) {
    clsBox* box = from.GetValue(index);
    if (!box) return nullptr;
    if (from.Selected == box) from.Selected = nullptr;
    from.RemoveAt(index, true, true);
    box->OwnerGraf = &to;
    to.Add(box->Name, box);
    return box;
}

} // namespace quorgrafica
