#include "graphics/QuorLabel.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/GuiApplication.h"
#include "platform/graphics/Picture.h"
#include "tests/platform/graphics/FontCheck.h"
#include "platform/gui/Image.h"

#include <QImage>
#include <gtest/gtest.h>

#include <memory>

namespace {

struct Box {
    int minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1;
    bool Empty() const { return maxX < 0; }
};

// Bounding box of the pixels of one colour.
Box Extent(const QImage& image, QRgb rgb) {
    Box b;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF)) {
                b.minX = std::min(b.minX, x);
                b.maxX = std::max(b.maxX, x);
                b.minY = std::min(b.minY, y);
                b.maxY = std::max(b.maxY, y);
            }
    return b;
}

template <class Label> std::unique_ptr<Label> MakeLabel(const char* caption, TAlignment align) {
    EnsureGuiApplication();
    auto label = std::make_unique<Label>();
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 120, 30);
    label->Font()->SetName("DejaVu Sans Mono");
    label->Font()->SetHeight(-16);
    EXPECT_TRUE(DrawsWithFace(*label->Font(), true));
    label->Font()->SetColor(clBlack);
    label->SetColor(clWhite);
    label->SetAlignment(align);
    label->SetCaption(caption);
    return label;
}

} // namespace

TEST(QuorLabel, ShadowCopiesLieUnderTheCaption) {
    auto plain = MakeLabel<TLabel>("Hi", taLeftJustify);
    auto quor = MakeLabel<TQuorLabel>("Hi", taLeftJustify);
    EXPECT_EQ(quor->ShadowWidth(), 0);
    EXPECT_EQ(quor->ShadowColor(), clBlack);
    EXPECT_EQ(quor->Image(), nullptr);
    // No shadow, no image: the caption is written again where it already is.
    const QImage base = plain->PaintToImage();
    EXPECT_EQ(quor->PaintToImage(), base);

    quor->SetShadowColor(clRed);
    quor->SetShadowWidth(3);
    const QImage shadowed = quor->PaintToImage(); // the setters asked for a repaint
    EXPECT_NE(shadowed, base);
    const Box ink = Extent(base, qRgb(0, 0, 0));
    ASSERT_FALSE(ink.Empty());
    EXPECT_EQ(Extent(shadowed, qRgb(0, 0, 0)).minX, ink.minX);
    const Box red = Extent(shadowed, qRgb(255, 0, 0));
    ASSERT_FALSE(red.Empty());
    // Copies at (1, 1) .. (3, 3): the red reaches three pixels past the ink.
    EXPECT_EQ(red.maxX, ink.maxX + 3);
    EXPECT_EQ(red.maxY, ink.maxY + 3);
    EXPECT_GT(red.minX, ink.minX);
    EXPECT_LE(red.minX, ink.minX + 1 + 2);
    // The caption itself is on top: every black pixel of the plain label stays black.
    for (int y = 0; y < base.height(); ++y)
        for (int x = 0; x < base.width(); ++x) {
            if ((base.pixel(x, y) & 0xFFFFFF) == 0) {
                ASSERT_EQ(shadowed.pixel(x, y) & 0xFFFFFF, 0u) << x << "," << y;
            }
        }
}

TEST(QuorLabel, AlignmentOriginAndNegativeCentre) {
    auto right = MakeLabel<TQuorLabel>("Hi", taRightJustify);
    right->SetShadowWidth(2);
    right->SetShadowColor(clBlue);
    const QImage r = right->PaintToImage();
    const Box blue = Extent(r, qRgb(0, 0, 255));
    ASSERT_FALSE(blue.Empty());
    // The caption ends at the right edge; its shadow is cut there.
    const Box ink = Extent(r, qRgb(0, 0, 0));
    EXPECT_GT(ink.maxX, 120 - 6);
    EXPECT_LE(blue.maxX, 119);

    // A centred caption wider than the label starts left of it and is cut.
    auto wide = MakeLabel<TQuorLabel>("WWWWWWWWWWWWWWWWWWWW", taCenter);
    const QImage w = wide->PaintToImage();
    TCanvas measure;
    measure.Font()->Assign(*wide->Font());
    ASSERT_GT(measure.TextWidth(wide->Caption()), 120);
    const Box wideInk = Extent(w, qRgb(0, 0, 0));
    EXPECT_EQ(wideInk.minX, 0);
    EXPECT_GE(wideInk.maxX, 117);
}

TEST(QuorLabel, TilesTheImagePictureOverTheCaption) {
    auto label = MakeLabel<TQuorLabel>("Hi", taLeftJustify);
    TImage image;
    TBitmap tile(8, 8);
    tile.Canvas()->Brush()->SetColor(clLime);
    tile.Canvas()->FillRect(Rect(0, 0, 8, 8));
    image.Picture()->SetGraphic(&tile);
    label->SetImage(&image);
    label->SetShadowWidth(1);
    label->SetShadowColor(clRed);
    const QImage out = label->PaintToImage();
    EXPECT_EQ(out.pixel(119, 29) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(out.pixel(60, 0) & 0xFFFFFF, 0x00FF00u);
    EXPECT_FALSE(Extent(out, qRgb(0, 0, 0)).Empty());
    EXPECT_FALSE(Extent(out, qRgb(255, 0, 0)).Empty());
    EXPECT_TRUE(Extent(out, qRgb(255, 255, 255)).Empty()); // the tiles cover the background
    label->SetImage(nullptr);
}
