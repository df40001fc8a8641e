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
    explicit Sketch(TCanvas* canvas) : canvas_(canvas) {}
    void Box(const TRect& f, TColor fill) {
        boxes_[fill].push_back(QRect(f.Left, f.Top, f.Right - f.Left, f.Bottom - f.Top));
        ++pending_;
    }
    void Line(TPoint a, TPoint b, TColor color) {
        lines_[color].push_back(QLine(a.x, a.y, b.x, b.y));
        ++pending_;
    }
    void Flush() {
        if (!pending_) return;
        QPainter* p = canvas_->Painter();
        if (!p) return;
        p->save();
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        for (auto& [fill, rects] : boxes_) {
            if (rects.empty()) continue;
            p->setPen(QPen(QColor(0x60, 0x60, 0x60), 0));
            if (fill == clNone)
                p->setBrush(Qt::NoBrush);
            else
                p->setBrush(ToQColor(fill));
            p->drawRects(rects.data(), static_cast<int>(rects.size()));
            rects.clear();
        }
        p->setBrush(Qt::NoBrush);
        for (auto& [color, lines] : lines_) {
            if (lines.empty()) continue;
            p->setPen(QPen(ToQColor(color), 0));
            p->drawLines(lines.data(), static_cast<int>(lines.size()));
            lines.clear();
        }
        p->restore();
        pending_ = 0;
    }

private:
    TCanvas* canvas_;
    std::map<TColor, std::vector<QRect>> boxes_;
    std::map<TColor, std::vector<QLine>> lines_;
    std::size_t pending_ = 0;
};

} // namespace

void DrawGrafIndexed(clsGraf& graf, const ChartIndex& index, TCanvas* canvas, bool erase,
                     bool showName, bool showText, bool drawFlags, double scale) {
    if (!canvas) return;
    // A recording keeps everything: the plain drawing is as quick.
    if (!canvas->KeepsOnlyClipRect() || !index.Fresh(graf)) {
        graf.Draw(canvas, erase, showName, showText, drawFlags);
        return;
    }
    const int count = graf.GetCount();
    for (int i = 0; i < count; ++i) {
        const clsBox* box = graf.GetValue(i);
        // Kinds defined elsewhere may leave anything in the canvas.
        if (box && !PaintAreaKnown(*box)) {
            graf.Draw(canvas, erase, showName, showText, drawFlags);
            return;
        }
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
    // The font and brush as the boxes before each one leave them: a box
    // without a face or size of its own keeps the one before it, a
    // rectangle leaves its fill in the brush.
    const AnsiString baseName = canvas->Font()->Name();
    const int baseSize = canvas->Font()->Size();
    const clsBox* named = nullptr;
    const clsBox* sized = nullptr;
    TColor brush = 0xFFFFFF;
    std::size_t next = 0;
    Sketch sketch(canvas);
    for (int i = 0; i < count && next < shown.size(); ++i) {
        clsBox* box = graf.GetValue(i);
        if (!box) continue;
        const bool line = typeid(*box) == typeid(clsBoxLine);
        if (shown[next] == i) {
            ++next;
            const AnsiString name =
                named ? AnsiString(named->FontName.CStr(), named->FontName.Length()) : baseName;
            if (canvas->Font()->Name() != name) canvas->Font()->SetName(name);
            const int size = sized ? sized->FontSize : baseSize;
            if (canvas->Font()->Size() != size) canvas->Font()->SetSize(size);
            canvas->Brush()->SetColor(brush);
            if (!line) box->ApplyFont(canvas);
            const int fontPixels = FontPixels(*canvas->Font());
            const TRect area = BoxPaintArea(*box, fontPixels, canvas->Pen()->Width());
            if (AreasMeet(area, clip)) {
                const TRect& f = box->Frame;
                const double w = (static_cast<double>(f.Right) - f.Left) * scale;
                const double h = (static_cast<double>(f.Bottom) - f.Top) * scale;
                if (scale < 1 && line) {
                    sketch.Line(TPoint{f.Left, f.Top}, TPoint{f.Right, f.Bottom},
                                canvas->Pen()->Color());
                } else if (scale < 1 && box != graf.Selected && w > 0 && h > 0 &&
                           (w < DetailPixels || h < DetailPixels)) {
                    sketch.Box(f, box->FillColor == clDefault ? brush : box->FillColor);
                } else {
                    sketch.Flush();
                    const bool legible = fontPixels * scale >= LegiblePixels;
                    box->Paint(canvas, box == graf.Selected, showName && legible,
                               showText && legible, drawFlags);
                }
            }
        }
        if (line) continue;
        if (box->FontName.Length() > 0) named = box;
        if (box->FontSize != 0) sized = box;
        if (box->FillColor != clNone && box->FillColor != clDefault &&
            PaintCoord(box->Frame.Right) - PaintCoord(box->Frame.Left) > 0)
            brush = box->FillColor;
    }
    sketch.Flush();
    canvas->Pen()->SetColor(0xFF0000);
    for (int i : index.LinkSourcesMeeting(clip)) {
        clsBox* box = graf.GetValue(i);
        if (!box) continue;
        // Markers of less than a pixel or two: the lines alone.
        if (scale < 1 && (box->LinkSize < 0 ? -box->LinkSize : box->LinkSize) * scale < 1.5) {
            for (int k = 0; k < box->LinksOut.GetCount(); ++k)
                if (const clsBox* target = box->LinksOut.GetValue(k)) {
                    TPoint a, b;
                    LinkEndPoints(graf, *box, *target, a, b);
                    sketch.Line(a, b, box->LinkLineColor);
                }
        } else {
            box->DrawLinks(canvas, &graf);
        }
    }
    sketch.Flush();
    canvas->Pen()->SetColor(0);
}

} // namespace quorgrafica
