#include "quorgrafica/LineDrag.h"

#include <cstdint>

namespace quorgrafica {

namespace {

std::int64_t Span(int a, int b) {
    const std::int64_t d = static_cast<std::int64_t>(a) - b;
    return d < 0 ? -d : d;
}

// The larger of the two axis distances, or -1 when not near.
std::int64_t Nearness(int ex, int ey, int x, int y, int band) {
    const std::int64_t dx = Span(ex, x), dy = Span(ey, y);
    if (dx >= band || dy >= band) return -1;
    return dx > dy ? dx : dy;
}

} // namespace

bool IsLineBox(const clsBox* box) {
    return dynamic_cast<const clsBoxLine*>(box) != nullptr;
}

InputStates LineMargin(clsBox& line, int x, int y, int band) {
    const TRect& f = line.Frame;
    // Even with no band the end point itself is grabbed.
    const int reach = band > 1 ? band : 1;
    const std::int64_t first = Nearness(f.Left, f.Top, x, y, reach);
    const std::int64_t second = Nearness(f.Right, f.Bottom, x, y, reach);
    if (second >= 0 && (first < 0 || second <= first)) return qfcResizeSE;
    if (first >= 0) return qfcResizeNW;
    return line.HitTest(x, y) ? qfcMoveBox : qfcNothing;
}

void DragLineEnd(clsBox& line, InputStates state, int x, int y) {
    if (state == qfcResizeNW) {
        line.Frame.Left = x;
        line.Frame.Top = y;
    } else if (state == qfcResizeSE) {
        line.Frame.Right = x;
        line.Frame.Bottom = y;
    }
}

} // namespace quorgrafica
