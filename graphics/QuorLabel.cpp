#include "graphics/QuorLabel.h"

#include "graphics/Tiling.h"
#include "platform/graphics/Canvas.h"
#include "platform/gui/Image.h"

#include <exception>

TQuorLabel::TQuorLabel(TComponent* owner) : TLabel(owner) {}

void TQuorLabel::SetShadowColor(TColor color) {
    shadowColor_ = color;
    Invalidate();
}

void TQuorLabel::SetShadowWidth(int width) {
    shadowWidth_ = width;
    Invalidate();
}

void PaintShadowCaption(TCanvas* canvas, const AnsiString& caption, TAlignment alignment, int width,
                        TColor fontColor, TColor shadowColor, int shadowWidth) {
    const int y = 0;
    int x = 0;
    if (alignment == taRightJustify)
        x = width - canvas->TextWidth(caption);
    else if (alignment == taCenter)
        x = (width - canvas->TextWidth(caption)) / 2;
    canvas->Font()->SetColor(shadowColor);
    for (int i = 1; i <= shadowWidth; ++i)
        canvas->TextOut(x + i, y + i, caption);
    canvas->Font()->SetColor(fontColor);
    canvas->TextOut(x, y, caption);
}

void TQuorLabel::Paint() {
    try {
        TLabel::Paint();
        TCanvas* canvas = Canvas();
        if (image_) PaintPicture(image_->Picture(), canvas);
        // The caption copies are written without a background of their own,
        // as the inherited painting leaves the brush.
        canvas->Brush()->SetStyle(bsClear);
        PaintShadowCaption(canvas, Caption(), Alignment(), Width(), Font()->Color(), shadowColor_,
                           shadowWidth_);
    } catch (const std::exception&) {
    }
}
