// Painting graphs and boxes on a canvas.

#include "quorgrafica/Clsgraf.h"

#include "graphics/Utilitiesgrafiche.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"
#include "quorgrafica/Arith.h"
#include "quorgrafica/ChartLinks.h"
#include "quorgrafica/PaintArea.h"
#include "utilities/AppServices.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <typeinfo>

namespace quorgrafica {

using detail::PaintCoord;
using quorbase::clsString;

namespace {

// Single frame, centred lines, shadow right and below, lines cut at the bottom.
constexpr int RectangleTextStyle = 0x1A00954;
// Single frame on all four sides.
constexpr int FlagStyle = 0x154;

AnsiString ToAnsi(const clsString& text) {
    return AnsiString(text.CStr(), text.Length());
}

TRect PaintRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
    return TRect{PaintCoord(left), PaintCoord(top), PaintCoord(right), PaintCoord(bottom)};
}

// Marker sizes and pen widths beyond any sensible drawing, read from a bad
// file, are drawn at this size.
constexpr std::int64_t MarkerLimit = 256;
std::int64_t Marker(std::int64_t v) {
    return v < -MarkerLimit ? -MarkerLimit : v > MarkerLimit ? MarkerLimit : v;
}

// Lines are drawn pixel by pixel: one far longer than any page is first cut
// to the canvas's clip rectangle, so that a bad frame cannot stall painting.
// Lines of ordinary length are drawn exactly as given.
void DrawBoundedLine(TCanvas* canvas, int x1, int y1, int x2, int y2) {
    constexpr std::int64_t LongLine = 1 << 16;
    const std::int64_t dx = static_cast<std::int64_t>(x2) - x1,
                       dy = static_cast<std::int64_t>(y2) - y1;
    if ((dx < 0 ? -dx : dx) <= LongLine && (dy < 0 ? -dy : dy) <= LongLine) {
        DrawLine(canvas, x1, y1, x2, y2);
        return;
    }
    const TRect clip = canvas->ClipRect();
    const double left = clip.Left - 2.0, right = clip.Right + 2.0;
    const double top = clip.Top - 2.0, bottom = clip.Bottom + 2.0;
    // Liang-Barsky: the part of the segment inside the rectangle.
    double t0 = 0, t1 = 1;
    const double p[4] = {-static_cast<double>(dx), static_cast<double>(dx),
                         -static_cast<double>(dy), static_cast<double>(dy)};
    const double q[4] = {x1 - left, right - x1, y1 - top, bottom - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0 && t > t0)
            t0 = t;
        else if (p[i] > 0 && t < t1)
            t1 = t;
    }
    if (t0 > t1) return;
    auto at = [](int a, std::int64_t d, double t) {
        return t == 0   ? a
               : t == 1 ? static_cast<int>(a + d)
                        : static_cast<int>(std::lround(a + d * t));
    };
    DrawLine(canvas, at(x1, dx, t0), at(y1, dy, t0), at(x1, dx, t1), at(y1, dy, t1));
}

// The two ends of the link from s to t as drawn: the sides facing each
// other, shifted so that the two links of a pair of boxes stay apart, then
// snapped to graf's grid.
struct LinkEnds {
    int sx, sy, ex, ey;
};

LinkEnds EndsOf(const clsGraf* graf, const clsBox& source, const TRect& t) {
    const TRect& s = source.Frame;
    const std::int64_t d = 2 * static_cast<std::int64_t>(source.LinkSize);
    std::int64_t x1, y1, x2, y2;
    if (t.Bottom < s.Top) { // above
        x1 = detail::Mid(s.Left, s.Right) - d;
        y1 = s.Top;
        x2 = detail::Mid(t.Left, t.Right) - d;
        y2 = t.Bottom;
    } else if (t.Top > s.Bottom) { // below
        x1 = detail::Mid(s.Left, s.Right) + d;
        y1 = s.Bottom;
        x2 = detail::Mid(t.Left, t.Right) + d;
        y2 = t.Top;
    } else if (t.Right < s.Left) { // to the left
        x1 = s.Left;
        y1 = detail::Mid(s.Top, s.Bottom) - d;
        x2 = t.Right;
        y2 = detail::Mid(t.Top, t.Bottom) - d;
    } else { // to the right, or overlapping
        x1 = s.Right;
        y1 = detail::Mid(s.Top, s.Bottom) + d;
        x2 = t.Left;
        y2 = detail::Mid(t.Top, t.Bottom) + d;
    }
    LinkEnds e{PaintCoord(x1), PaintCoord(y1), PaintCoord(x2), PaintCoord(y2)};
    if (graf) {
        e.sx = PaintCoord(graf->AlignX(e.sx));
        e.sy = PaintCoord(graf->AlignY(e.sy));
        e.ex = PaintCoord(graf->AlignX(e.ex));
        e.ey = PaintCoord(graf->AlignY(e.ey));
    }
    return e;
}

TRect AreaAround(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b,
                 std::int64_t margin) {
    return PaintRect(std::min(l, r) - margin, std::min(t, b) - margin, std::max(l, r) + margin + 1,
                     std::max(t, b) + margin + 1);
}

TRect LinkArea(const LinkEnds& e, const clsBox& source, int penWidth) {
    const std::int64_t size = Marker(source.LinkSize);
    return AreaAround(e.sx, e.sy, e.ex, e.ey, (size < 0 ? -size : size) + penWidth + 2);
}

// What painting a rectangle leaves in the canvas's brush: its fill colour,
// once its text area has been filled.
void LeaveBrushAsPainted(const clsBox& box, TCanvas* canvas) {
    if (box.FillColor == clNone || box.FillColor == clDefault) return;
    if (PaintCoord(box.Frame.Right) - PaintCoord(box.Frame.Left) <= 0) return;
    canvas->Brush()->SetColor(box.FillColor);
}

} // namespace

bool PaintAreaKnown(const clsBox& box) {
    const std::type_info& kind = typeid(box);
    return kind == typeid(clsBoxRectangle) || kind == typeid(clsBoxGroup) ||
           kind == typeid(clsBoxPicture) || kind == typeid(clsBoxLine);
}

int FontPixels(const TFont& font) {
    const int height = font.Height() < 0 ? -font.Height() : font.Height();
    return height > 0 ? height : MulDiv(8, font.PixelsPerInch(), 72);
}

TRect BoxPaintArea(const clsBox& box, int fontPixels, int penWidth) {
    const TRect& f = box.Frame;
    if (typeid(box) == typeid(clsBoxLine)) return AreaAround(f.Left, f.Top, f.Right, f.Bottom, penWidth + 2);
    // The first line of text is drawn even in a frame too low for it, and
    // one character is drawn even where it is wider than the frame.
    const std::int64_t shadow = box.ShadowWidth < 0 ? -static_cast<std::int64_t>(box.ShadowWidth)
                                                    : box.ShadowWidth;
    const std::int64_t margin = 3 * static_cast<std::int64_t>(fontPixels) + 8 * shadow + penWidth + 8;
    return AreaAround(f.Left, f.Top, f.Right, f.Bottom, margin);
}

TRect LinkPaintArea(const clsGraf& graf, const clsBox& source, const clsBox& target,
                    int penWidth) {
    return LinkArea(EndsOf(&graf, source, target.Frame), source, penWidth);
}

TRect LinkLine(const clsGraf& graf, const clsBox& source, const clsBox& target) {
    const LinkEnds e = EndsOf(&graf, source, target.Frame);
    return TRect{e.sx, e.sy, e.ex, e.ey};
}

bool AreasMeet(const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom &&
           a.Left < a.Right && a.Top < a.Bottom && b.Left < b.Right && b.Top < b.Bottom;
}

TRect AreaUnion(const TRect& a, const TRect& b) {
    if (a.Left >= a.Right || a.Top >= a.Bottom) return b;
    if (b.Left >= b.Right || b.Top >= b.Bottom) return a;
    return TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                 std::max(a.Bottom, b.Bottom)};
}

void clsGraf::Draw(TCanvas* canvas, bool erase, bool showName, bool showText, bool drawFlags) {
    if (!canvas) return;
    const TRect page = PaintRect(0, 0, PageWidth, PageHeight);
    canvas->SetOpaqueText(false);
    canvas->Brush()->SetColor(0xFFFFFF);
    if (erase) canvas->FillRect(page);
    if (GridShow) DrawGrid(canvas, page.Right, page.Bottom, Columns, Rows, GridColor);
    canvas->Pen()->SetColor(0);
    canvas->Pen()->SetStyle(psSolid);
    // Boxes of the library's kinds wholly outside the clipping are left out;
    // what their painting would leave in the canvas (font, brush) is kept,
    // so that the boxes after them look the same.
    const bool skip = canvas->KeepsOnlyClipRect();
    const TRect clip = canvas->ClipRect();
    for (int i = 0; i < GetCount(); ++i) {
        clsBox* box = GetValue(i);
        if (!box) continue;
        if (skip && PaintAreaKnown(*box)) {
            const bool line = typeid(*box) == typeid(clsBoxLine);
            if (!line) box->ApplyFont(canvas);
            const TRect area =
                BoxPaintArea(*box, FontPixels(*canvas->Font()), canvas->Pen()->Width());
            if (!AreasMeet(area, clip)) {
                if (!line) LeaveBrushAsPainted(*box, canvas);
                continue;
            }
        }
        box->Paint(canvas, box == Selected, showName, showText, drawFlags);
    }
    canvas->Pen()->SetColor(0xFF0000);
    for (int i = 0; i < GetCount(); ++i) {
        if (clsBox* box = GetValue(i)) box->DrawLinks(canvas, this);
    }
    canvas->Pen()->SetColor(0);
}

void clsBox::Paint(TCanvas* canvas, bool, bool, bool, bool drawFlags) {
    if (canvas && drawFlags) DrawState(canvas);
}

void clsBox::ApplyFont(TCanvas* canvas) {
    if (!canvas) return;
    if (FontName.Length() > 0) canvas->Font()->SetName(ToAnsi(FontName));
    if (FontSize != 0) canvas->Font()->SetSize(FontSize);
    canvas->Font()->SetColor(FontColor);
}

void clsBox::DrawState(TCanvas* canvas) {
    if (!canvas || (ComputeState != 2 && ComputeState != 3)) return;
    const std::int64_t l = Frame.Left, t = Frame.Top, w = ShadowWidth;
    const int shadow = PaintCoord(w);
    if (ComputeState == 2) {
        // A raised green flag on a pole above the top-left corner.
        DrawSmartFrame(canvas, FlagStyle, PaintCoord(l - 3 * w), PaintCoord(t - 5 * w),
                       PaintCoord(l), PaintCoord(t - 3 * w), 1, 1, shadow, 0x808080, 0x00FF00);
        DrawLine(canvas, PaintCoord(l), PaintCoord(t), PaintCoord(l), PaintCoord(t - 5 * w));
    } else {
        // A lowered red flag left of the top-left corner.
        DrawSmartFrame(canvas, FlagStyle, PaintCoord(l - 5 * w), PaintCoord(t),
                       PaintCoord(l - 3 * w), PaintCoord(t + 3 * w), 1, 1, shadow, 0x808080,
                       0x0000FF);
        DrawLine(canvas, PaintCoord(l - 5 * w), PaintCoord(t), PaintCoord(l), PaintCoord(t));
    }
}

void clsBox::DrawLinks(TCanvas* canvas, clsGraf* graf) {
    if (!canvas) return;
    const TColor savedBrush = canvas->Brush()->Color();
    const std::int64_t size = Marker(LinkSize);
    // Links wholly outside the clipping are left out. The ends lie on the
    // two frames, shifted by d and by snapping to at most a cell: a link
    // whose frames are far enough from the clipping is left out unmeasured.
    const bool skip = canvas->KeepsOnlyClipRect();
    const TRect clip = skip ? canvas->ClipRect() : TRect{};
    std::int64_t reach = 0;
    if (skip) {
        const std::int64_t cellX = graf && graf->Columns ? graf->PageWidth / graf->Columns : 0;
        const std::int64_t cellY = graf && graf->Rows ? graf->PageHeight / graf->Rows : 0;
        reach = 2 * (LinkSize < 0 ? -static_cast<std::int64_t>(LinkSize) : LinkSize) +
                std::max(cellX < 0 ? -cellX : cellX, cellY < 0 ? -cellY : cellY) + 2 +
                (size < 0 ? -size : size) + canvas->Pen()->Width() + 2;
    }
    const TRect& s = Frame;
    for (int i = 0; i < LinksOut.GetCount(); ++i) {
        const clsBox* target = LinksOut.GetValue(i);
        if (!target) continue;
        if (skip) {
            const TRect& t = target->Frame;
            const TRect both = AreaAround(std::min({s.Left, s.Right, t.Left, t.Right}),
                                          std::min({s.Top, s.Bottom, t.Top, t.Bottom}),
                                          std::max({s.Left, s.Right, t.Left, t.Right}),
                                          std::max({s.Top, s.Bottom, t.Top, t.Bottom}), reach);
            if (!AreasMeet(both, clip)) continue;
        }
        const LinkEnds e = EndsOf(graf, *this, target->Frame);
        if (skip && !AreasMeet(LinkArea(e, *this, canvas->Pen()->Width()), clip)) continue;
        const TColor pen = canvas->Pen()->Color();
        canvas->Pen()->SetColor(LinkLineColor);
        DrawBoundedLine(canvas, e.sx, e.sy, e.ex, e.ey);
        canvas->Pen()->SetColor(pen);
        canvas->Brush()->SetColor(LinkSrcColor);
        canvas->FillRect(PaintRect(e.sx - size, e.sy - size, e.sx + size, e.sy + size));
        canvas->Brush()->SetColor(LinkDstColor);
        canvas->Ellipse(PaintRect(e.ex - size, e.ey - size, e.ex + size, e.ey + size));
    }
    canvas->Brush()->SetColor(savedBrush);
}

void clsBoxRectangle::Paint(TCanvas* canvas, bool selected, bool showName, bool showText,
                            bool drawFlags) {
    if (!canvas) return;
    ApplyFont(canvas);
    clsString text;
    if (showName) text = Name;
    if (Text.Length() > 0 && showText) {
        if (showName) text.Append("\n");
        text.Append(Text);
    }
    if (selected) {
        const std::int64_t grow = 2 * static_cast<std::int64_t>(ShadowWidth);
        DrawFrame(
            canvas,
            PaintRect(Frame.Left - grow, Frame.Top - grow, Frame.Right + grow, Frame.Bottom + grow),
            0xFF0000, PaintCoord(ShadowWidth));
    }
    const TRect frame = PaintRect(Frame.Left, Frame.Top, Frame.Right, Frame.Bottom);
    TextDraw(canvas, text, frame, RectangleTextStyle, 1, 1, 0, 0, false, PaintCoord(ShadowWidth),
             ShadowColor, FillColor);
    if (drawFlags) DrawState(canvas);
}

void clsBoxLine::Paint(TCanvas* canvas, bool, bool, bool, bool) {
    if (canvas)
        DrawBoundedLine(canvas, PaintCoord(Frame.Left), PaintCoord(Frame.Top),
                        PaintCoord(Frame.Right), PaintCoord(Frame.Bottom));
}

void clsBoxPicture::Paint(TCanvas* canvas, bool selected, bool showName, bool showText,
                          bool drawFlags) {
    clsBoxRectangle::Paint(canvas, selected, showName, showText, drawFlags);
    if (!canvas || PictureFile.Length() == 0 || !FileExists(PictureFile.CStr())) return;
    try {
        // Loaded at every paint, so the box always shows the file as it is.
        TPicture picture;
        picture.LoadFromFile(ToAnsi(PictureFile));
        if (picture.Graphic())
            canvas->StretchDraw(PaintRect(Frame.Left, Frame.Top, Frame.Right, Frame.Bottom),
                                picture.Graphic());
    } catch (...) {
        // An unreadable picture is left out.
    }
    // The flag stays visible over the picture.
    if (drawFlags) DrawState(canvas);
}

} // namespace quorgrafica
