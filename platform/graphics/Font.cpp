#include "platform/graphics/Font.h"

#include "platform/core/Encoding.h"

#include <QFont>
#include <QString>

namespace {
constexpr const char* kDefaultFace = "DejaVu Sans";
constexpr int kDefaultPoints = 8;
} // namespace

TFont::TFont() : name_(kDefaultFace), height_(-MulDiv(kDefaultPoints, 96, 72)) {}

void TFont::SetName(const AnsiString& name) {
    if (name_ == name) return;
    name_ = name;
    ShapeChanged();
}

int TFont::Size() const {
    return -MulDiv(height_, 72, pixelsPerInch_);
}

void TFont::SetSize(int points) {
    SetHeight(-MulDiv(points, pixelsPerInch_, 72));
}

void TFont::SetHeight(int height) {
    if (height_ == height) return;
    height_ = height;
    ShapeChanged();
}

void TFont::SetColor(TColor color) {
    if (color_ == color) return;
    color_ = color;
    Changed();
}

void TFont::SetStyle(TFontStyles style) {
    if (style_ == style) return;
    style_ = style;
    ShapeChanged();
}

void TFont::SetPixelsPerInch(int ppi) {
    if (ppi <= 0 || ppi == pixelsPerInch_) return;
    pixelsPerInch_ = ppi;
    ShapeChanged();
}

void TFont::Assign(const TFont& other) {
    name_ = other.name_;
    // Keeps this font's resolution and the other's size in points.
    height_ = other.pixelsPerInch_ == pixelsPerInch_
                  ? other.height_
                  : MulDiv(other.height_, pixelsPerInch_, other.pixelsPerInch_);
    color_ = other.color_;
    style_ = other.style_;
    ShapeChanged();
}

QFont TFont::ToQFont() const {
    QString face = name_.IsEmpty() ? QString::fromLatin1(kDefaultFace)
                                   : QString::fromStdU16String(Cp1252ToUtf16(name_.view()));
    QFont font(face);
    int pixels = height_ < 0 ? -height_ : height_;
    if (pixels == 0) pixels = MulDiv(kDefaultPoints, pixelsPerInch_, 72);
    font.setPixelSize(pixels < 1 ? 1 : pixels);
    font.setBold((style_ & fsBold) != 0);
    font.setItalic((style_ & fsItalic) != 0);
    font.setUnderline((style_ & fsUnderline) != 0);
    font.setStrikeOut((style_ & fsStrikeOut) != 0);
    // Widths of prefixes must add up and grow: no kerning; crisp glyphs as
    // the platform draws them.
    font.setKerning(false);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}
