#pragma once

#include "platform/core/Types.h"
#include "platform/graphics/GraphicsObject.h"

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

// How the pen combines with the pixels already there (P pen, D destination).
enum TPenMode {
    pmBlack,       // 0
    pmWhite,       // 1
    pmNop,         // D
    pmNot,         // ~D
    pmCopy,        // P
    pmNotCopy,     // ~P
    pmMergePenNot, // P | ~D
    pmMaskPenNot,  // P & ~D
    pmMergeNotPen, // ~P | D
    pmMaskNotPen,  // ~P & D
    pmMerge,       // P | D
    pmNotMerge,    // ~(P | D)
    pmMask,        // P & D
    pmNotMask,     // ~(P & D)
    pmXor,         // P ^ D
    pmNotXor       // ~(P ^ D)
};

class TPen : public TGraphicsObject {
public:
    QUOR_CLASS_NAME(TPen)
    TColor Color() const { return color_; }
    void SetColor(TColor color) { Set(color_, color); }
    int Width() const { return width_; }
    void SetWidth(int width) { Set(width_, width < 1 ? 1 : width); }
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style) { Set(style_, style); }
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode mode) { Set(mode_, mode); }

    void Assign(const TPen& other) {
        color_ = other.color_;
        width_ = other.width_;
        style_ = other.style_;
        mode_ = other.mode_;
        Changed();
    }

private:
    template <class T> void Set(T& field, T value) {
        if (field == value) return;
        field = value;
        Changed();
    }
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
};
