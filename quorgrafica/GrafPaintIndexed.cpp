// Painting a graph through its spatial index.

#include "quorgrafica/ChartView.h"

#include "graphics/Utilitiesgrafiche.h"
#include "platform/graphics/Canvas.h"
#include "quorgrafica/Arith.h"
#include "quorgrafica/Clsgraf.h"
#include "quorgrafica/PaintArea.h"

#include <typeinfo>

namespace quorgrafica {

using detail::PaintCoord;

void DrawGrafIndexed(clsGraf& graf, const ChartIndex& index, TCanvas* canvas, bool erase,
                     bool showName, bool showText, bool drawFlags) {
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
            const TRect area =
                BoxPaintArea(*box, FontPixels(*canvas->Font()), canvas->Pen()->Width());
            if (AreasMeet(area, clip))
                box->Paint(canvas, box == graf.Selected, showName, showText, drawFlags);
        }
        if (line) continue;
        if (box->FontName.Length() > 0) named = box;
        if (box->FontSize != 0) sized = box;
        if (box->FillColor != clNone && box->FillColor != clDefault &&
            PaintCoord(box->Frame.Right) - PaintCoord(box->Frame.Left) > 0)
            brush = box->FillColor;
    }
    canvas->Pen()->SetColor(0xFF0000);
    for (int i : index.LinkSourcesMeeting(clip))
        if (clsBox* box = graf.GetValue(i)) box->DrawLinks(canvas, &graf);
    canvas->Pen()->SetColor(0);
}

} // namespace quorgrafica
