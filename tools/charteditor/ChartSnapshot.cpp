#include "tools/charteditor/ChartSnapshot.h"

#include "quorgrafica/ChartFile.h"
#include "quorgrafica/Clsgraf.h"
#include "quorgrafica/TextLines.h"

#include <utility>
#include <vector>

namespace charteditor {

using quorbase::clsConfig;
using quorbase::clsString;
using quorgrafica::clsBoxGroup;
using quorgrafica::clsGraf;

namespace {

// root and the graphs nested below it, depth first, in the order the text
// format writes them.
std::vector<clsGraf*> GrafsInTextOrder(clsGraf& root) {
    std::vector<clsGraf*> grafs{&root};
    std::vector<std::pair<clsGraf*, int>> pending{{&root, 0}};
    while (!pending.empty()) {
        auto& [graf, next] = pending.back();
        if (next >= graf->GetCount()) {
            pending.pop_back();
            continue;
        }
        auto* group = dynamic_cast<clsBoxGroup*>(graf->BoxAt(next++));
        if (group && group->Graf) {
            grafs.push_back(group->Graf);
            pending.emplace_back(group->Graf, 0);
        }
    }
    return grafs;
}

} // namespace

std::string TakeSnapshot(clsGraf& root) {
    clsConfig lines;
    root.DataTo(lines);
    return quorgrafica::ChartLinesToText(lines);
}

void RestoreSnapshot(clsGraf& root, const std::string& snapshot) {
    clsConfig lines;
    quorgrafica::ChartTextToLines(snapshot, lines);
    root.DataFrom(lines);
    CopyGrafTitles(root, lines);
}

void CopyGrafTitles(clsGraf& root, const clsConfig& lines) {
    struct Header {
        clsString name, title;
    };
    std::vector<Header> headers;
    clsString key, value;
    for (int i = 0; i < lines.GetCount(); ++i) {
        const clsString* line = lines.GetItem(i);
        if (!line) continue;
        quorgrafica::detail::SplitKeyValue(*line, key, value);
        if (key.Equals("clsGraf")) {
            headers.push_back({value, clsString()});
        } else if (key.Equals("Title") && !headers.empty() && i > 0 && lines.GetItem(i - 1)) {
            // The title line follows its graph's header.
            clsString before, ignored;
            quorgrafica::detail::SplitKeyValue(*lines.GetItem(i - 1), before, ignored);
            if (before.Equals("clsGraf")) headers.back().title = value;
        }
    }
    const std::vector<clsGraf*> grafs = GrafsInTextOrder(root);
    if (grafs.size() != headers.size()) return;
    for (std::size_t i = 0; i < grafs.size(); ++i) {
        grafs[i]->Name = headers[i].name;
        grafs[i]->Title = headers[i].title;
    }
}

} // namespace charteditor
