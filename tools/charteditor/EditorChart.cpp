#include "tools/charteditor/EditorChart.h"

#include "platform/graphics/Canvas.h"

namespace charteditor {

TEditorChart::TEditorChart(TComponent* owner) : TQuorFlowChart(owner) {}

void TEditorChart::DblClick() {
    TQuorFlowChart::DblClick();
    if (OnNavigate) OnNavigate();
}

void TEditorChart::BoxSelected(quorgrafica::clsBox* box) {
    TQuorFlowChart::BoxSelected(box);
    if (OnSelect) OnSelect();
}

void TEditorChart::Paint() {
    TQuorFlowChart::Paint();
    if (!CurrentGraf()->Owner || PreviewWidth() <= PreviewLeft() || PreviewHeight() <= PreviewTop())
        return;
    TCanvas* canvas = Canvas();
    const TColor color = canvas->Pen()->Color();
    const TBrushStyle style = canvas->Brush()->Style();
    canvas->Pen()->SetColor(0x808080);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Rectangle(PreviewLeft() - 1, PreviewTop() - 1, PreviewWidth() + 1, PreviewHeight() + 1);
    canvas->Brush()->SetStyle(style);
    canvas->Pen()->SetColor(color);
}

} // namespace charteditor
