// Painting a graph through its spatial index.

#include "quorgrafica/ChartView.h"

#include "graphics/Utilitiesgrafiche.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Colors.h"
#include "quorgrafica/Arith.h"
#include "quorgrafica/Clsgraf.h"
#include "quorgrafica/PaintArea.h"

#include <QLine>
#include <QPainter>
#include <QRect>

#include <QTransform>

#include <algorithm>
#include <cmath>
#include <map>
#include <typeinfo>
#include <vector>

namespace quorgrafica {

using detail::PaintCoord;

namespace {

// Device pixels below which a text cannot be read, and a box is too small
// for more than its fill and outline.
constexpr double LegiblePixels = 5;
constexpr double DetailPixels = 8;

// Boxes and links too small for their details, drawn together by colour
// once the boxes painted in full over them come, or at the end.
class Sketch {
public:
    // Kept in device pixels, drawn without the painter's transformation.
    explicit Sketch(TCanvas* canvas) : canvas_(canvas) {
        if (QPainter* p = canvas->Painter()) {
            const QTransform t = p->worldTransform();
            scale_ = t.m11();
            dx_ = t.dx();
            dy_ = t.dy();
        }
    }
    void Box(const TRect& f, TColor fill) {
        const int l = X(f.Left), t = Y(f.Top);
        if (!lastBoxes_ || lastFill_ != fill) {
            lastBoxes_ = &boxes_[fill];
            lastFill_ = fill;
        }
        lastBoxes_->push_back(QRect(l, t, std::max(1, X(f.Right) - l), std::max(1, Y(f.Bottom) - t)));
        ++pending_;
    }
    void Line(TPoint a, TPoint b, TColor color) {
        const int x1 = X(a.x), y1 = Y(a.y), x2 = X(b.x), y2 = Y(b.y);
        // Within a pixel of itself, a line cannot be told from the boxes it
        // joins.
        if (std::abs(x2 - x1) <= 1 && std::abs(y2 - y1) <= 1) return;
        if (!lastLines_ || lastColor_ != color) {
            lastLines_ = &lines_[color];
            lastColor_ = color;
        }
        // Across or down, as most links run: the pixels of the line, ends
        // included, as one rectangle, which is filled without stroking.
        if (x1 == x2 || y1 == y2)
            lastLines_->straight.push_back(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                                                 QPoint(std::max(x1, x2), std::max(y1, y2))));
        else
            lastLines_->slanted.push_back(QLine(x1, y1, x2, y2));
        ++pending_;
    }
    void Flush() {
        if (!pending_) return;
        QPainter* p = canvas_->Painter();
        if (!p) return;
        p->save();
        p->resetTransform();
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        const QColor outline(0x60, 0x60, 0x60);
        for (auto& [fill, rects] : boxes_) {
            if (rects.empty()) continue;
            if (fill == clNone) {
                p->setPen(QPen(outline, 0));
                p->setBrush(Qt::NoBrush);
                p->drawRects(rects.data(), static_cast<int>(rects.size()));
                rects.clear();
                continue;
            }
            // The one-pixel outline as a rectangle filled one pixel wider and
            // taller, the fill inside it: the same pixels as a cosmetic pen's,
            // without stroking each rectangle.
            p->setPen(Qt::NoPen);
            p->setBrush(outline);
            for (QRect& r : rects)
                r.setSize(QSize(r.width() + 1, r.height() + 1));
            p->drawRects(rects.data(), static_cast<int>(rects.size()));
            p->setBrush(ToQColor(fill));
            for (QRect& r : rects)
                r.adjust(1, 1, -1, -1);
            p->drawRects(rects.data(), static_cast<int>(rects.size()));
            rects.clear();
        }
        for (auto& [color, lines] : lines_) {
            if (!lines.straight.empty()) {
                p->setPen(Qt::NoPen);
                p->setBrush(ToQColor(color));
                p->drawRects(lines.straight.data(), static_cast<int>(lines.straight.size()));
                lines.straight.clear();
            }
            if (!lines.slanted.empty()) {
                p->setPen(QPen(ToQColor(color), 0));
                p->setBrush(Qt::NoBrush);
                p->drawLines(lines.slanted.data(), static_cast<int>(lines.slanted.size()));
                lines.slanted.clear();
            }
        }
        p->restore();
        pending_ = 0;
    }

private:
    int X(int x) const { return static_cast<int>(std::floor(x * scale_ + dx_)); }
    int Y(int y) const { return static_cast<int>(std::floor(y * scale_ + dy_)); }

    TCanvas* canvas_;
    double scale_ = 1, dx_ = 0, dy_ = 0;
    std::map<TColor, std::vector<QRect>> boxes_;
    struct Lines {
        std::vector<QRect> straight;
        std::vector<QLine> slanted;
    };
    std::map<TColor, Lines> lines_;
    // The lists of the colour last used: most boxes share it.
    std::vector<QRect>* lastBoxes_ = nullptr;
    Lines* lastLines_ = nullptr;
    TColor lastFill_ = 0, lastColor_ = 0;
    std::size_t pending_ = 0;
};

// The ends of a link as the graph draws it (the sides facing each other,
// shifted by d), before snapping.
void SketchedLinkEnds(const TRect& s, const TRect& t, std::int64_t d, TPoint& a, TPoint& b) {
    std::int64_t x1, y1, x2, y2;
    if (t.Bottom < s.Top) {
        x1 = detail::Mid(s.Left, s.Right) - d, y1 = s.Top;
        x2 = detail::Mid(t.Left, t.Right) - d, y2 = t.Bottom;
    } else if (t.Top > s.Bottom) {
        x1 = detail::Mid(s.Left, s.Right) + d, y1 = s.Bottom;
        x2 = detail::Mid(t.Left, t.Right) + d, y2 = t.Top;
    } else if (t.Right < s.Left) {
        x1 = s.Left, y1 = detail::Mid(s.Top, s.Bottom) - d;
        x2 = t.Right, y2 = detail::Mid(t.Top, t.Bottom) - d;
    } else {
        x1 = s.Right, y1 = detail::Mid(s.Top, s.Bottom) + d;
        x2 = t.Left, y2 = detail::Mid(t.Top, t.Bottom) + d;
    }
    a = TPoint{PaintCoord(x1), PaintCoord(y1)};
    b = TPoint{PaintCoord(x2), PaintCoord(y2)};
}

} // namespace

void DrawGrafIndexed(clsGraf& graf, const ChartIndex& index, TCanvas* canvas, bool erase,
                     bool showName, bool showText, bool drawFlags, double scale) {
    if (!canvas) return;
    // A recording keeps everything: the plain drawing is as quick.
    if (!canvas->KeepsOnlyClipRect() || !index.Fresh(graf)) {
        graf.Draw(canvas, erase, showName, showText, drawFlags);
        return;
    }
    // Kinds defined elsewhere may leave anything in the canvas.
    if (!index.AllKnown()) {
        graf.Draw(canvas, erase, showName, showText, drawFlags);
        return;
    }
    const TRect page = TRect{0, 0, PaintCoord(graf.PageWidth), PaintCoord(graf.PageHeight)};
    canvas->SetOpaqueText(false);
    canvas->Brush()->SetColor(0xFFFFFF);
    if (erase) canvas->FillRect(page);
    if (graf.GridShow) DrawGrid(canvas, page.Right, page.Bottom, graf.Columns, graf.Rows, graf.GridColor);
    canvas->Pen()->SetColor(0);
    canvas->Pen()->SetStyle(psSolid);
    const TRect clip = canvas->ClipRect();
    const std::vector<int> shown = index.BoxesMeeting(clip);
    // The font and brush as the boxes before each one leave them (the
    // index keeps them): a box without a face or size of its own keeps the
    // one before it, a rectangle leaves its fill in the brush.
    const AnsiString baseName = canvas->Font()->Name();
    const int baseSize = canvas->Font()->Size();
    Sketch sketch(canvas);
    // Which box's face and size the canvas holds (-1: the base font's).
    int faceOf = -1, sizeOf = -1;
    const int selected = graf.Selected ? index.PositionOf(graf.Selected) : -1;
    for (const int i : shown) {
        if (scale < 1) {
            // Too small for its details: a sketch, which needs no font, and
            // reads only the index's copies, side by side in memory.
            const TRect& f = index.FrameOf(i);
            const double w = (static_cast<double>(f.Right) - f.Left) * scale;
            const double h = (static_cast<double>(f.Bottom) - f.Top) * scale;
            if (index.IsLine(i)) {
                sketch.Line(TPoint{f.Left, f.Top}, TPoint{f.Right, f.Bottom}, canvas->Pen()->Color());
                continue;
            }
            if (i != selected && w > 0 && h > 0 && (w < DetailPixels || h < DetailPixels)) {
                const TColor fill = index.FillOf(i);
                sketch.Box(f, fill == clDefault ? index.BrushBefore(i) : fill);
                continue;
            }
        }
        clsBox* box = graf.GetValue(i);
        if (!box) continue;
        const bool line = typeid(*box) == typeid(clsBoxLine);
        if (index.NamedBefore(i) != faceOf) {
            faceOf = index.NamedBefore(i);
            const clsBox* named = faceOf >= 0 ? graf.GetValue(faceOf) : nullptr;
            canvas->Font()->SetName(named ? AnsiString(named->FontName.CStr(), named->FontName.Length())
                                          : baseName);
        }
        if (index.SizedBefore(i) != sizeOf) {
            sizeOf = index.SizedBefore(i);
            const clsBox* sized = sizeOf >= 0 ? graf.GetValue(sizeOf) : nullptr;
            canvas->Font()->SetSize(sized ? sized->FontSize : baseSize);
        }
        canvas->Brush()->SetColor(index.BrushBefore(i));
        if (!line) {
            box->ApplyFont(canvas);
            if (box->FontName.Length() > 0) faceOf = i;
            if (box->FontSize != 0) sizeOf = i;
        }
        const int fontPixels = FontPixels(*canvas->Font());
        if (!AreasMeet(BoxPaintArea(*box, fontPixels, canvas->Pen()->Width()), clip)) continue;
        sketch.Flush();
        const bool legible = fontPixels * scale >= LegiblePixels;
        box->Paint(canvas, box == graf.Selected, showName && legible, showText && legible,
                   drawFlags);
    }
    sketch.Flush();
    canvas->Pen()->SetColor(0xFF0000);
    for (int i : index.LinkSourcesMeeting(clip)) {
        // Markers of less than a pixel or two: the lines alone, where they
        // would be drawn but for the snapping, less than a pixel here.
        const std::int64_t size = index.LinkSizeOf(i);
        if (scale < 1 && (size < 0 ? -size : size) * scale < 1.5) {
            const int first = index.FirstTargetOf(i);
            if (first < 0) continue;
            auto link = [&](int t) {
                TPoint a, b;
                SketchedLinkEnds(index.FrameOf(i), index.FrameOf(t), 2 * size, a, b);
                sketch.Line(a, b, index.LinkColorOf(i));
            };
            link(first);
            for (int t : index.MoreTargetsOf(i))
                link(t);
        } else if (clsBox* box = graf.GetValue(i)) {
            box->DrawLinks(canvas, &graf);
        }
    }
    sketch.Flush();
    canvas->Pen()->SetColor(0);
}

} // namespace quorgrafica
