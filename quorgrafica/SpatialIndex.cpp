#include "quorgrafica/SpatialIndex.h"

#include "quorgrafica/Arith.h"
#include "quorgrafica/Clsgraf.h"
#include "quorgrafica/PaintArea.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <typeinfo>
#include <cstdint>

namespace quorgrafica {

namespace {

// A box or link covering more cells than this is listed everywhere.
constexpr std::int64_t MaxCellsPerEntry = 256;
// The grid never has more cells than this, however far apart the boxes.
constexpr std::int64_t MaxCells = 1 << 20;
constexpr std::int64_t SmallestCell = 128;

bool Empty(const TRect& r) {
    return r.Left >= r.Right || r.Top >= r.Bottom;
}

TRect Ordered(const TRect& f) {
    return TRect{std::min(f.Left, f.Right), std::min(f.Top, f.Bottom),
                 std::max(f.Left, f.Right), std::max(f.Top, f.Bottom)};
}

// The pixels a frame spans, in whichever order its edges are.
TRect FrameArea(const clsBox& box) {
    const TRect f = Ordered(box.Frame);
    return TRect{f.Left, f.Top, detail::Clamp32(static_cast<std::int64_t>(f.Right) + 1, INT32_MIN, INT32_MAX),
                 detail::Clamp32(static_cast<std::int64_t>(f.Bottom) + 1, INT32_MIN, INT32_MAX)};
}

// Where the box may paint or be hit: painting stops at the drawing layer's
// limits, a hit does not.
TRect Reach(const clsBox& box, int fontPixels) {
    return AreaUnion(BoxPaintArea(box, fontPixels, 2), FrameArea(box));
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

void ChartIndex::Grid::Reset(const TRect& bounds, std::int64_t cellSize) {
    left = bounds.Left;
    top = bounds.Top;
    const std::int64_t w = static_cast<std::int64_t>(bounds.Right) - bounds.Left;
    const std::int64_t h = static_cast<std::int64_t>(bounds.Bottom) - bounds.Top;
    cell = cellSize;
    while ((w / cell + 1) * (h / cell + 1) > MaxCells)
        cell *= 2;
    cols = static_cast<int>(std::max<std::int64_t>(w / cell + 1, 1));
    rows = static_cast<int>(std::max<std::int64_t>(h / cell + 1, 1));
    cells.assign(static_cast<std::size_t>(cols) * rows, {});
    everywhere.clear();
    global.clear();
}

bool ChartIndex::Grid::CellsOf(const TRect& a, int& c0, int& r0, int& c1, int& r1) const {
    if (Empty(a)) return false;
    const std::int64_t x0 = FloorDiv(a.Left - left, cell), x1 = FloorDiv(a.Right - 1 - left, cell);
    const std::int64_t y0 = FloorDiv(a.Top - top, cell), y1 = FloorDiv(a.Bottom - 1 - top, cell);
    if (x1 < 0 || y1 < 0 || x0 >= cols || y0 >= rows) return false;
    c0 = static_cast<int>(std::max<std::int64_t>(x0, 0));
    r0 = static_cast<int>(std::max<std::int64_t>(y0, 0));
    c1 = static_cast<int>(std::min<std::int64_t>(x1, cols - 1));
    r1 = static_cast<int>(std::min<std::int64_t>(y1, rows - 1));
    return true;
}

void ChartIndex::Grid::Add(int id, const TRect& area, bool anywhere) {
    if (static_cast<std::size_t>(id) >= global.size()) global.resize(id + 1, 0);
    int c0 = 0, r0 = 0, c1 = -1, r1 = -1;
    if (!anywhere && Empty(area)) return;
    // Past the grid's edge a point finds no cell: such an entry, like one
    // too large for the cells, is listed everywhere.
    const bool inside =
        !anywhere && CellsOf(area, c0, r0, c1, r1) && area.Left >= left && area.Top >= top &&
        area.Right <= left + cell * cols && area.Bottom <= top + cell * rows;
    if (!inside || static_cast<std::int64_t>(c1 - c0 + 1) * (r1 - r0 + 1) > MaxCellsPerEntry) {
        everywhere.push_back(id);
        global[id] = 1;
        return;
    }
    global[id] = 0;
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
            cells[static_cast<std::size_t>(r) * cols + c].push_back(id);
}

void ChartIndex::Grid::Remove(int id, const TRect& area) {
    auto drop = [id](std::vector<int>& list) {
        auto it = std::find(list.begin(), list.end(), id);
        if (it != list.end()) {
            *it = list.back();
            list.pop_back();
        }
    };
    if (static_cast<std::size_t>(id) < global.size() && global[id]) {
        drop(everywhere);
        global[id] = 0;
        return;
    }
    int c0, r0, c1, r1;
    if (!CellsOf(area, c0, r0, c1, r1)) return;
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
            drop(cells[static_cast<std::size_t>(r) * cols + c]);
}

void ChartIndex::Grid::Collect(const TRect& area, std::vector<int>& out) const {
    out.insert(out.end(), everywhere.begin(), everywhere.end());
    int c0, r0, c1, r1;
    if (!CellsOf(area, c0, r0, c1, r1)) return;
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            const auto& list = cells[static_cast<std::size_t>(r) * cols + c];
            out.insert(out.end(), list.begin(), list.end());
        }
}

TRect ChartIndex::LinkArea(int source) const {
    const clsBox* box = graf_->GetValue(source);
    TRect area{};
    if (!box) return area;
    for (int k = 0; k < box->LinksOut.GetCount(); ++k)
        if (const clsBox* target = box->LinksOut.GetValue(k))
            area = AreaUnion(area, LinkPaintArea(*graf_, *box, *target, 2));
    return area;
}

int ChartIndex::PositionOf(const clsBox* box) const {
    const auto it = position_.find(box);
    return it == position_.end() ? -1 : it->second;
}

void ChartIndex::Copy(int i, const clsBox& box) {
    frame_[i] = box.Frame;
    fill_[i] = box.FillColor;
    line_[i] = typeid(box) == typeid(clsBoxLine) ? 1 : 0;
    linkSize_[i] = box.LinkSize;
    linkColor_[i] = box.LinkLineColor;
    targets_[i].clear();
    firstTarget_[i] = -1;
    for (int k = 0; k < box.LinksOut.GetCount(); ++k) {
        const int t = PositionOf(box.LinksOut.GetValue(k));
        if (t < 0) continue;
        if (firstTarget_[i] < 0)
            firstTarget_[i] = t;
        else
            targets_[i].push_back(t);
    }
}

void ChartIndex::Build(const clsGraf& graf, int fontPixels) {
    graf_ = &graf;
    count_ = graf.GetCount();
    fontPixels_ = fontPixels;
    boxArea_.assign(count_, TRect{});
    linkArea_.assign(count_, TRect{});
    foreign_.assign(count_, false);
    position_.clear();
    position_.reserve(static_cast<std::size_t>(count_));
    frames_ = TRect{};
    frame_.assign(count_, TRect{});
    fill_.assign(count_, clNone);
    linkColor_.assign(count_, 0);
    line_.assign(count_, 0);
    linkSize_.assign(count_, 0);
    firstTarget_.assign(count_, -1);
    targets_.assign(count_, {});
    allKnown_ = true;
    namedBefore_.assign(count_, -1);
    sizedBefore_.assign(count_, -1);
    brushBefore_.assign(count_, 0xFFFFFF);
    int named = -1, sized = -1;
    TColor brush = 0xFFFFFF;
    TRect bounds{};
    for (int i = 0; i < count_; ++i) {
        const clsBox* box = graf.GetValue(i);
        namedBefore_[i] = named;
        sizedBefore_[i] = sized;
        brushBefore_[i] = brush;
        if (!box) continue;
        if (typeid(*box) != typeid(clsBoxLine)) {
            if (box->FontName.Length() > 0) named = i;
            if (box->FontSize != 0) sized = i;
            if (box->FillColor != clNone && box->FillColor != clDefault &&
                detail::PaintCoord(box->Frame.Right) - detail::PaintCoord(box->Frame.Left) > 0)
                brush = box->FillColor;
        }
        position_.emplace(box, i);
        foreign_[i] = !PaintAreaKnown(*box);
        if (foreign_[i]) allKnown_ = false;
        boxArea_[i] = Reach(*box, fontPixels);
        linkArea_[i] = LinkArea(i);
        frames_ = AreaUnion(frames_, FrameArea(*box));
        if (!foreign_[i]) bounds = AreaUnion(bounds, AreaUnion(boxArea_[i], linkArea_[i]));
    }
    // Cells of about the size of a box, but never too many of them.
    const std::int64_t cell = std::max<std::int64_t>(
        SmallestCell,
        count_ > 0 ? static_cast<std::int64_t>(std::sqrt(
                         (static_cast<double>(bounds.Right) - bounds.Left) *
                         (static_cast<double>(bounds.Bottom) - bounds.Top) / count_))
                   : SmallestCell);
    boxes_.Reset(bounds, cell);
    links_.Reset(bounds, cell);
    for (int i = 0; i < count_; ++i) {
        if (!graf.GetValue(i)) continue;
        Copy(i, *graf.GetValue(i));
        boxes_.Add(i, boxArea_[i], foreign_[i]);
        links_.Add(i, linkArea_[i], false);
    }
}

bool ChartIndex::Fresh(const clsGraf& graf) const {
    return graf_ == &graf && count_ == graf.GetCount();
}

void ChartIndex::Moved(const clsBox* box) {
    if (!graf_) return;
    const auto it = position_.find(box);
    if (it == position_.end()) return;
    const int i = it->second;
    auto place = [](Grid& grid, int id, TRect& stored, const TRect& area, bool anywhere) {
        grid.Remove(id, stored);
        stored = area;
        grid.Add(id, area, anywhere);
    };
    Copy(i, *box);
    place(boxes_, i, boxArea_[i], Reach(*box, fontPixels_), foreign_[i]);
    place(links_, i, linkArea_[i], LinkArea(i), false);
    for (int k = 0; k < box->LinksIn.GetCount(); ++k) {
        const auto source = position_.find(box->LinksIn.GetValue(k));
        if (source != position_.end())
            place(links_, source->second, linkArea_[source->second], LinkArea(source->second),
                  false);
    }
    frames_ = AreaUnion(frames_, FrameArea(*box));
}

void ChartIndex::RecountFrames() {
    if (!graf_) return;
    frames_ = TRect{};
    for (int i = 0; i < count_; ++i)
        if (const clsBox* box = graf_->GetValue(i)) {
            frames_ = AreaUnion(frames_, FrameArea(*box));
        }
}

std::vector<int> ChartIndex::Unique(std::vector<int> ids) const {
    // Many of them: marked off in one pass over the positions.
    if (ids.size() > static_cast<std::size_t>(count_) / 16) {
        std::vector<char> seen(static_cast<std::size_t>(count_), 0);
        for (int id : ids)
            if (id >= 0 && id < count_) seen[id] = 1;
        ids.clear();
        for (int i = 0; i < count_; ++i)
            if (seen[i]) ids.push_back(i);
        return ids;
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

bool ChartIndex::Grid::Covers(const TRect& a) const {
    return a.Left <= left && a.Top <= top && a.Right >= left + cell * cols &&
           a.Bottom >= top + cell * rows;
}

std::vector<int> ChartIndex::Everything() const {
    std::vector<int> ids(static_cast<std::size_t>(count_));
    for (int i = 0; i < count_; ++i)
        ids[i] = i;
    return ids;
}

std::vector<int> ChartIndex::BoxesMeeting(const TRect& area) const {
    // With the whole graph in view, every box: no need to gather them.
    if (boxes_.Covers(area)) return Everything();
    std::vector<int> ids;
    boxes_.Collect(area, ids);
    return Unique(std::move(ids));
}

std::vector<int> ChartIndex::LinkSourcesMeeting(const TRect& area) const {
    if (links_.Covers(area)) return Everything();
    std::vector<int> ids;
    links_.Collect(area, ids);
    return Unique(std::move(ids));
}

clsBox* ChartIndex::FindBoxAt(const clsGraf& graf, int x, int y) const {
    std::vector<int> ids;
    boxes_.Collect(TRect{x, y, x + 1, y + 1}, ids);
    ids = Unique(std::move(ids));
    // The graph's order: the last box added is on top.
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        clsBox* box = graf.GetValue(*it);
        if (!box || (box->Locked && !graf.UnlockAll)) continue;
        if (box->HitTest(x, y)) return box;
    }
    return nullptr;
}

} // namespace quorgrafica
