#include "platform/gui/PaintBox.h"

#include "platform/graphics/Canvas.h"

TPaintBox::TPaintBox(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint() {
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(*Font());
    canvas->Brush()->SetColor(Color());
    if (OnPaint) OnPaint(this);
}
