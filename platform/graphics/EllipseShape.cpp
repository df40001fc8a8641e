#include "platform/graphics/EllipseShape.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// The span [first, last] of each row (first > last when the row is empty).
void Spans(const TRect& r, std::vector<std::pair<int, int>>& spans) {
    spans.clear();
    const double cx = (r.Left + r.Right) / 2.0, cy = (r.Top + r.Bottom) / 2.0;
    const double ax = (r.Right - r.Left) / 2.0, by = (r.Bottom - r.Top) / 2.0;
    for (int y = r.Top; y < r.Bottom; ++y) {
        const double dy = (y + 0.5 - cy) / by;
        const double rest = 1.0 - dy * dy;
        if (rest < 0) {
            spans.emplace_back(1, 0);
            continue;
        }
        const double half = ax * std::sqrt(rest);
        // Pixel centres x + 0.5 within [cx - half, cx + half].
        const int first = static_cast<int>(std::ceil(cx - half - 0.5));
        const int last = static_cast<int>(std::floor(cx + half - 0.5));
        spans.emplace_back(std::max(first, r.Left), std::min(last, r.Right - 1));
    }
}

} // namespace

void TEllipseShape::Make(const TRect& r, bool withOutline) {
    box = r;
    outlined = withOutline;
    inside.clear();
    outline.clear();
    std::vector<std::pair<int, int>> spans;
    Spans(r, spans);
    auto in = [&](int x, int y) {
        if (y < r.Top || y >= r.Bottom) return false;
        const auto& s = spans[y - r.Top];
        return x >= s.first && x <= s.second;
    };
    // The rectangle of the row above when that row has one run: a row of
    // the same one run makes it taller.
    int open = -1;
    std::vector<std::pair<int, int>> runs;
    for (int y = r.Top; y < r.Bottom; ++y) {
        const auto& s = spans[y - r.Top];
        runs.clear();
        bool running = false;
        int runStart = 0;
        for (int x = s.first; x <= s.second + 1; ++x) {
            const bool here = x <= s.second;
            const bool edge = here && withOutline &&
                              (!in(x - 1, y) || !in(x + 1, y) || !in(x, y - 1) || !in(x, y + 1));
            if (here && !edge) {
                if (!running) runStart = x;
                running = true;
                continue;
            }
            if (running) runs.emplace_back(runStart, x - 1);
            running = false;
            if (edge) outline.emplace_back(x, y);
        }
        if (runs.size() == 1 && open >= 0 && inside[open].left() == runs[0].first &&
            inside[open].right() == runs[0].second) {
            inside[open].setBottom(y);
            continue;
        }
        for (const auto& [first, last] : runs)
            inside.emplace_back(first, y, last - first + 1, 1);
        open = runs.size() == 1 ? static_cast<int>(inside.size()) - 1 : -1;
    }
}
