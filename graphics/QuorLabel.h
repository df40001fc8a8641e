#pragma once
// TQuorLabel: a label that can tile a picture behind its caption and paint
// a solid drop shadow under it.

#include "platform/gui/Label.h"

class TImage;
class TCanvas;

class TQuorLabel : public TLabel {
public:
    explicit TQuorLabel(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TQuorLabel)

    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor color);
    // Number of shadow copies, each one pixel further right and down.
    int ShadowWidth() const { return shadowWidth_; }
    void SetShadowWidth(int width);
    // The image control whose picture is tiled behind the caption; not owned
    // and not watched, so it must outlive the label or be cleared first.
    TImage* Image() const { return image_; }
    void SetImage(TImage* image) { image_ = image; }

protected:
    void Paint() override;

private:
    TColor shadowColor_ = clBlack;
    int shadowWidth_ = 0;
    TImage* image_ = nullptr;
};

// The label's own painting after the inherited one: tiles, shadow copies and
// the caption on one line at the origin of its alignment.
void PaintShadowCaption(TCanvas* canvas, const AnsiString& caption, TAlignment alignment, int width,
                        TColor fontColor, TColor shadowColor, int shadowWidth);
