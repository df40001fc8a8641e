#include "quorgrafica/ChartAlign.h"

#include "quorgrafica/Clsgraf.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <numeric>

namespace quorgrafica {

namespace {

using i64 = std::int64_t;

int Clamp32(i64 v) {
    return static_cast<int>(
        std::clamp<i64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

struct Span {
    i64 left, top, right, bottom;
    i64 Width() const { return right - left; }
    i64 Height() const { return bottom - top; }
};

Span SpanOf(const TRect& r) {
    return Span{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
                std::max(r.Top, r.Bottom)};
}

// The original frame moved and sized to span, its direction kept.
TRect Placed(const TRect& original, const Span& s) {
    TRect r;
    if (original.Left <= original.Right) {
        r.Left = Clamp32(s.left);
        r.Right = Clamp32(s.right);
    } else {
        r.Left = Clamp32(s.right);
        r.Right = Clamp32(s.left);
    }
    if (original.Top <= original.Bottom) {
        r.Top = Clamp32(s.top);
        r.Bottom = Clamp32(s.bottom);
    } else {
        r.Top = Clamp32(s.bottom);
        r.Bottom = Clamp32(s.top);
    }
    return r;
}

// Each span moved so that its left (top) edge is at the given place.
void MoveLeft(Span& s, i64 left) {
    const i64 w = s.Width();
    s.left = left;
    s.right = left + w;
}
void MoveTop(Span& s, i64 top) {
    const i64 h = s.Height();
    s.top = top;
    s.bottom = top + h;
}

// Equal gaps between the spans in the order of their left (top) edges: the
// first stays, the last ends where the farthest of them ends.
void Distribute(std::vector<Span>& spans, bool across, const clsGraf& graf) {
    const std::size_t n = spans.size();
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    auto start = [&](std::size_t i) { return across ? spans[i].left : spans[i].top; };
    auto size = [&](std::size_t i) { return across ? spans[i].Width() : spans[i].Height(); };
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return start(a) < start(b); });
    const i64 begin = start(order.front());
    i64 end = std::numeric_limits<i64>::min(), sizes = 0;
    for (std::size_t i = 0; i < n; ++i) {
        end = std::max(end, across ? spans[i].right : spans[i].bottom);
        sizes += size(i);
    }
    // The room left between them, shared out as evenly as whole pixels allow.
    const i64 room = end - begin - sizes;
    i64 before = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t i = order[k];
        i64 place = begin + before + room * static_cast<i64>(k) / static_cast<i64>(n - 1);
        if (k > 0 && k + 1 < n)
            place = across ? graf.AlignX(Clamp32(place)) : graf.AlignY(Clamp32(place));
        before += size(i);
        if (across)
            MoveLeft(spans[i], place);
        else
            MoveTop(spans[i], place);
    }
}

} // namespace

std::vector<TRect> AlignFrames(const std::vector<TRect>& frames, AlignKind kind, int reference,
                               const clsGraf& graf) {
    const bool distribute = kind == AlignKind::DistributeAcross || kind == AlignKind::DistributeDown;
    if (frames.size() < (distribute ? 3u : 2u)) return frames;
    std::vector<Span> spans;
    for (const TRect& f : frames)
        spans.push_back(SpanOf(f));
    i64 left = std::numeric_limits<i64>::max(), top = left;
    i64 right = std::numeric_limits<i64>::min(), bottom = right;
    for (const Span& s : spans) {
        left = std::min(left, s.left);
        top = std::min(top, s.top);
        right = std::max(right, s.right);
        bottom = std::max(bottom, s.bottom);
    }
    auto alignX = [&](i64 x) -> i64 { return graf.AlignX(Clamp32(x)); };
    auto alignY = [&](i64 y) -> i64 { return graf.AlignY(Clamp32(y)); };
    const Span ref = spans[static_cast<std::size_t>(
        std::clamp(reference, 0, static_cast<int>(spans.size()) - 1))];
    for (Span& s : spans) {
        switch (kind) {
        case AlignKind::Left:
            MoveLeft(s, alignX(left));
            break;
        case AlignKind::Centre:
            MoveLeft(s, alignX((left + right) / 2 - s.Width() / 2));
            break;
        case AlignKind::Right:
            MoveLeft(s, alignX(right) - s.Width());
            break;
        case AlignKind::Top:
            MoveTop(s, alignY(top));
            break;
        case AlignKind::Middle:
            MoveTop(s, alignY((top + bottom) / 2 - s.Height() / 2));
            break;
        case AlignKind::Bottom:
            MoveTop(s, alignY(bottom) - s.Height());
            break;
        case AlignKind::SameWidth:
            s.right = alignX(s.left + ref.Width());
            break;
        case AlignKind::SameHeight:
            s.bottom = alignY(s.top + ref.Height());
            break;
        default:
            break;
        }
    }
    if (distribute) Distribute(spans, kind == AlignKind::DistributeAcross, graf);
    std::vector<TRect> out;
    for (std::size_t i = 0; i < frames.size(); ++i)
        out.push_back(Placed(frames[i], spans[i]));
    return out;
}

GuideSnap FindGuides(const TRect& moving, const std::vector<TRect>& others, int tolerance) {
    const Span m = SpanOf(moving);
    const i64 mine[2][3] = {{m.left, (m.left + m.right) / 2, m.right},
                            {m.top, (m.top + m.bottom) / 2, m.bottom}};
    GuideSnap snap;
    i64 shift[2] = {0, 0};
    for (int axis = 0; axis < 2; ++axis) {
        i64 best = static_cast<i64>(tolerance) + 1;
        for (const TRect& r : others) {
            const Span o = SpanOf(r);
            const i64 theirs[3] = {axis ? o.top : o.left,
                                   axis ? (o.top + o.bottom) / 2 : (o.left + o.right) / 2,
                                   axis ? o.bottom : o.right};
            for (i64 a : mine[axis])
                for (i64 b : theirs)
                    if (std::llabs(b - a) < std::llabs(best)) best = b - a;
        }
        if (std::llabs(best) > tolerance) continue;
        shift[axis] = best;
        // The lines the moved frame now shares with another.
        for (const TRect& r : others) {
            const Span o = SpanOf(r);
            const i64 theirs[3] = {axis ? o.top : o.left,
                                   axis ? (o.top + o.bottom) / 2 : (o.left + o.right) / 2,
                                   axis ? o.bottom : o.right};
            for (i64 a : mine[axis])
                for (i64 b : theirs)
                    if (a + shift[axis] == b) {
                        const ChartGuide g{axis == 0, Clamp32(b)};
                        if (std::find(snap.Guides.begin(), snap.Guides.end(), g) ==
                            snap.Guides.end())
                            snap.Guides.push_back(g);
                    }
        }
    }
    snap.Dx = Clamp32(shift[0]);
    snap.Dy = Clamp32(shift[1]);
    return snap;
}

} // namespace quorgrafica
