#pragma once
// The text font. Height is the stored measure: negative is the character
// height in pixels, positive the cell height; Size in points is derived
// through PixelsPerInch.

#include "platform/core/AnsiString.h"
#include "platform/core/Types.h"
#include "platform/graphics/GraphicsObject.h"

class QFont;

enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
// A set of TFontStyle bits.
using TFontStyles = int;

class TFont : public TGraphicsObject {
public:
    QUOR_CLASS_NAME(TFont)
    TFont();

    const AnsiString& Name() const { return name_; }
    void SetName(const AnsiString& name);
    int Size() const;
    void SetSize(int points);
    int Height() const { return height_; }
    void SetHeight(int height);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    // Changing the resolution keeps Height, so Size reads differently.
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int ppi);

    void Assign(const TFont& other);

    // The toolkit's font; characters are sized in device pixels.
    QFont ToQFont() const;
    // Increases on every change but those of the colour: what shapes and
    // measures the characters.
    unsigned ShapeRevision() const { return shapeRevision_; }

private:
    void ShapeChanged() {
        ++shapeRevision_;
        Changed();
    }

    AnsiString name_;
    int height_;
    TColor color_ = clWindowText;
    TFontStyles style_ = 0;
    int pixelsPerInch_ = 96;
    unsigned shapeRevision_ = 0;
};
