// Painting graphs and boxes on a canvas.

#include "quorgrafica/Clsgraf.h"

#include "graphics/Utilitiesgrafiche.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"
#include "quorgrafica/Arith.h"
#include "utilities/AppServices.h"

#include <cmath>
#include <cstdint>

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

} // namespace

void clsGraf::Draw(TCanvas* canvas, bool erase, bool showName, bool showText, bool drawFlags) {
    if (!canvas) return;
    const TRect page = PaintRect(0, 0, PageWidth, PageHeight);
    canvas->SetOpaqueText(false);
    canvas->Brush()->SetColor(0xFFFFFF);
    if (erase) canvas->FillRect(page);
    if (GridShow) DrawGrid(canvas, page.Right, page.Bottom, Columns, Rows, GridColor);
    canvas->Pen()->SetColor(0);
    canvas->Pen()->SetStyle(psSolid);
    for (int i = 0; i < GetCount(); ++i) {
        if (clsBox* box = GetValue(i))
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
    const std::int64_t d = 2 * static_cast<std::int64_t>(LinkSize);
    const std::int64_t size = Marker(LinkSize);
    const TRect& s = Frame;
    for (int i = 0; i < LinksOut.GetCount(); ++i) {
        const clsBox* target = LinksOut.GetValue(i);
        if (!target) continue;
        const TRect& t = target->Frame;
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
        int sx = PaintCoord(x1), sy = PaintCoord(y1), ex = PaintCoord(x2), ey = PaintCoord(y2);
        if (graf) {
            sx = PaintCoord(graf->AlignX(sx));
            sy = PaintCoord(graf->AlignY(sy));
            ex = PaintCoord(graf->AlignX(ex));
            ey = PaintCoord(graf->AlignY(ey));
        }
        const TColor pen = canvas->Pen()->Color();
        canvas->Pen()->SetColor(LinkLineColor);
        DrawBoundedLine(canvas, sx, sy, ex, ey);
        canvas->Pen()->SetColor(pen);
        canvas->Brush()->SetColor(LinkSrcColor);
        canvas->FillRect(PaintRect(sx - size, sy - size, sx + size, sy + size));
        canvas->Brush()->SetColor(LinkDstColor);
        canvas->Ellipse(PaintRect(ex - size, ey - size, ex + size, ey + size));
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
