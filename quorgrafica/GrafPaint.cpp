// Painting graphs and boxes on a canvas.

#include "quorgrafica/Clsgraf.h"

#include "graphics/Utilitiesgrafiche.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"
#include "quorgrafica/Arith.h"
#include "utilities/AppServices.h"

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
    const std::int64_t size = LinkSize;
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
        DrawLine(canvas, sx, sy, ex, ey);
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
        DrawLine(canvas, PaintCoord(Frame.Left), PaintCoord(Frame.Top), PaintCoord(Frame.Right),
                 PaintCoord(Frame.Bottom));
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
