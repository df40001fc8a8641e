#include "quorgrafica/BoxKinds.h"

#include "quorgrafica/ChartFile.h"

#include "quorgrafica/Clsgraf.h"
#include "quorgrafica/TextLines.h"

#include <cmath>

namespace quorgrafica {

using quorbase::clsConfig;
using quorbase::clsString;

bool clsBoxLine::HitTest(int x, int y) {
    const int x1 = Frame.Left, y1 = Frame.Top, x2 = Frame.Right, y2 = Frame.Bottom;
    if (x < (x1 < x2 ? x1 : x2) || x > (x1 < x2 ? x2 : x1)) return false;
    if (y < (y1 < y2 ? y1 : y2) || y > (y1 < y2 ? y2 : y1)) return false;
    if (x1 == x2) return x == x1 && y1 <= y && y < y2;
    if (y1 == y2) return y == y1 && x1 <= x && x < x2;
    const double m = (static_cast<double>(y2) - y1) / (static_cast<double>(x2) - x1);
    const double b = y1 - x1 * m;
    const double dx = x - (y - b) / m;
    const double dy = (x * m + b) - y;
    const double dist = std::sqrt(dx * dx + dy * dy);
    if (dist == 0) return true;
    return std::fabs(dx * dy) / dist < 5.0;
}

clsBoxGroup::clsBoxGroup(clsGraf* ownerGraf)
    : clsBoxRectangle(ownerGraf), Graf(new clsGraf(this)) {}

clsBoxGroup::~clsBoxGroup() {
    delete Graf;
}

bool clsBoxGroup::ReadKey(const clsConfig& block, const clsString& key, int& index,
                          const clsString& value) {
    if (!key.Equals("Graf")) return clsBoxRectangle::ReadKey(block, key, index, value);
    // Past the nesting limit the nested graph stays empty: the stack, not the
    // text, sets how deep a reader may go.
    const bool deeper = Graf && detail::ReadNestingGuard::Depth() < MaxReadNesting;
    if (Graf && !deeper)
        if (ChartReadNotes* notes = detail::ReadNotesScope::Current()) notes->NestingCapped = true;
    int length = 0;
    if (const auto* view = dynamic_cast<const detail::BorrowedBlock*>(&block)) {
        const int start = view->Start() + index + 1;
        length = view->Table().Length(start, view->Start() + view->GetCount());
        if (deeper) Graf->ReadLines(view->Table(), start, start + length);
    } else {
        const detail::BlockTable table(block);
        length = table.Length(index + 1, block.GetCount());
        if (deeper) Graf->ReadLines(table, index + 1, index + 1 + length);
    }
    index += length;
    return true;
}

void clsBoxGroup::DataTo(clsConfig& lines) {
    lines.AddBegin();
    clsBoxRectangle::DataTo(lines);
    quorbase::Add(lines, "Graf=");
    if (Graf)
        Graf->DataTo(lines);
    else {
        lines.AddBegin();
        lines.AddEnd();
    }
    lines.AddEnd();
}

} // namespace quorgrafica
