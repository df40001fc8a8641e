#pragma once

#include "platform/core/Types.h"
#include "platform/graphics/GraphicsObject.h"

enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

class TBrush : public TGraphicsObject {
public:
    QUOR_CLASS_NAME(TBrush)
    TColor Color() const { return color_; }
    // Choosing a colour makes a clear brush solid again, as the platform does.
    void SetColor(TColor color) {
        if (color_ == color && style_ != bsClear) return;
        color_ = color;
        if (style_ == bsClear) style_ = bsSolid;
        Changed();
    }
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style) {
        if (style_ == style) return;
        style_ = style;
        Changed();
    }
    void Assign(const TBrush& other) {
        color_ = other.color_;
        style_ = other.style_;
        Changed();
    }

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
};
