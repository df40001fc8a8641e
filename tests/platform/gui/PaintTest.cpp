#include "GuiTestSupport.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"
#include "platform/gui/Form.h"
#include "platform/gui/Image.h"
#include "platform/gui/Label.h"
#include "platform/gui/PaintBox.h"
#include "platform/gui/Panel.h"

#include <gtest/gtest.h>

#include <QPixmap>
#include <QWidget>

#include <vector>

namespace {
constexpr unsigned kRed = 0xFF0000;
constexpr unsigned kBlue = 0x0000FF;
constexpr unsigned kWhite = 0xFFFFFF;
constexpr unsigned kGreen = 0x00FF00;

// Pixels darker than mid-grey in a region: where text was written.
int DarkPixels(const QImage& image, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (qGray(image.pixel(x, y)) < 128) ++n;
    return n;
}
} // namespace

TEST(PaintBox, PaintsOnDemandAndKeepsDrawingDoneOutsidePaint) {
    TestApp();
    TPanel parent;
    parent.SetColor(clWhite);
    auto* box = new TPaintBox(&parent);
    box->SetParent(&parent);
    box->SetBounds(0, 0, 40, 30);
    int paints = 0;
    box->OnPaint = [&](TObject* sender) {
        ++paints;
        TCanvas* c = static_cast<TPaintBox*>(sender)->Canvas();
        c->Brush()->SetColor(clRed);
        c->FillRect(Rect(10, 10, 20, 20));
    };
    QImage image = box->PaintToImage();
    ASSERT_EQ(image.size(), QSize(40, 30));
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(CountPixels(image, kRed, 0, 0, 40, 30), 100);
    EXPECT_EQ(PixelAt(image, 10, 10), kRed);
    EXPECT_EQ(PixelAt(image, 20, 20), kWhite); // the parent's colour shows through

    // Nothing changed: no new painting. Drawing outside Paint stays until
    // the next invalidation repaints.
    box->PaintToImage();
    EXPECT_EQ(paints, 1);
    box->Canvas()->Brush()->SetColor(clBlue);
    box->Canvas()->FillRect(Rect(0, 0, 5, 5));
    image = box->PaintToImage();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(PixelAt(image, 0, 0), kBlue);
    box->Invalidate();
    image = box->PaintToImage();
    EXPECT_EQ(paints, 2);
    EXPECT_EQ(PixelAt(image, 0, 0), kWhite);

    // A new size repaints at that size.
    box->SetBounds(0, 0, 50, 50);
    image = box->PaintToImage();
    EXPECT_EQ(paints, 3);
    EXPECT_EQ(image.size(), QSize(50, 50));

    // An error while painting is swallowed and the next paint runs again.
    box->OnPaint = [&](TObject*) {
        ++paints;
        throw std::runtime_error("broken");
    };
    box->Invalidate();
    EXPECT_NO_THROW(box->PaintToImage());
    EXPECT_EQ(paints, 4);

    // The widget shows the same pixels.
    box->OnPaint = [&](TObject*) {
        box->Canvas()->Brush()->SetColor(clLime);
        box->Canvas()->FillRect(Rect(0, 0, 50, 50));
    };
    box->Invalidate();
    const QImage shown = box->Widget()->grab().toImage();
    EXPECT_EQ(PixelAt(shown, 25, 25), kGreen);
}

TEST(Label, PaintsBackgroundAndAlignedCaption) {
    TestApp();
    TPanel parent;
    parent.SetColor(clRed);
    auto* label = new TLabel(&parent);
    label->SetParent(&parent);
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 300, 30);
    label->SetColor(clWhite);
    label->Font()->SetColor(clBlack);
    label->Font()->SetHeight(-16);
    label->SetCaption("MMMM");

    QImage image = label->PaintToImage();
    EXPECT_EQ(CountPixels(image, kRed, 0, 0, 300, 30), 0);
    EXPECT_GT(DarkPixels(image, 0, 0, 100, 30), 20);
    EXPECT_EQ(DarkPixels(image, 150, 0, 300, 30), 0);

    label->SetAlignment(taRightJustify);
    image = label->PaintToImage();
    EXPECT_EQ(DarkPixels(image, 0, 0, 150, 30), 0);
    EXPECT_GT(DarkPixels(image, 200, 0, 300, 30), 20);

    label->SetAlignment(taCenter);
    image = label->PaintToImage();
    EXPECT_EQ(DarkPixels(image, 0, 0, 100, 30), 0);
    EXPECT_GT(DarkPixels(image, 100, 0, 200, 30), 20);
    EXPECT_EQ(DarkPixels(image, 200, 0, 300, 30), 0);

    // Transparent: the parent's colour stays around the caption.
    label->SetTransparent(true);
    image = label->PaintToImage();
    EXPECT_EQ(PixelAt(image, 2, 2), kRed);
    EXPECT_EQ(CountPixels(image, kWhite, 0, 0, 300, 30), 0);

    // The caption in the font's colour.
    label->Font()->SetColor(clBlue);
    image = label->PaintToImage();
    EXPECT_GT(CountPixels(image, kBlue, 100, 0, 200, 30), 5);
}

TEST(Label, AutoSizeAndWordWrapFollowTheText) {
    TestApp();
    TLabel label;
    label.Font()->SetHeight(-14);
    label.SetCaption("Copia negli appunti");
    TCanvas measure;
    measure.Font()->Assign(*label.Font());
    EXPECT_EQ(label.Width(), measure.TextWidth("Copia negli appunti"));
    EXPECT_EQ(label.Height(), measure.TextHeight("Wg"));
    // A larger font grows the label.
    const int before = label.Width();
    label.Font()->SetHeight(-28);
    EXPECT_GT(label.Width(), before);

    // Line breaks split lines; word wrap keeps the width and grows the height.
    label.Font()->SetHeight(-14);
    label.SetCaption("uno\r\ndue\ntre");
    EXPECT_EQ(label.CaptionLines().size(), 3u);
    EXPECT_EQ(label.Height(), 3 * measure.TextHeight("Wg"));

    label.SetAutoSize(false);
    label.SetWidth(measure.TextWidth("uno due") + 2);
    label.SetWordWrap(true);
    label.SetAutoSize(true);
    label.SetCaption("uno due tre quattro precipitevolissimevolmente");
    const std::vector<AnsiString> lines = label.CaptionLines();
    const std::vector<AnsiString> expected = {"uno due", "tre", "quattro",
                                              "precipitevolissimevolmente"};
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(label.Width(), measure.TextWidth("uno due") + 2);
    EXPECT_EQ(label.Height(), 4 * measure.TextHeight("Wg"));
}

TEST(Image, DrawsItsPicturePlainCentredOrStretched) {
    TestApp();
    TPanel parent;
    parent.SetColor(clWhite);
    auto* image = new TImage(&parent);
    image->SetParent(&parent);
    image->SetBounds(0, 0, 20, 20);
    TBitmap bitmap(4, 4);
    bitmap.Canvas()->Brush()->SetColor(clLime);
    bitmap.Canvas()->FillRect(Rect(0, 0, 4, 4));
    image->Picture()->SetGraphic(&bitmap);

    QImage pixels = image->PaintToImage();
    EXPECT_EQ(CountPixels(pixels, kGreen, 0, 0, 20, 20), 16);
    EXPECT_EQ(PixelAt(pixels, 3, 3), kGreen);

    image->SetCenter(true);
    pixels = image->PaintToImage();
    EXPECT_EQ(PixelAt(pixels, 8, 8), kGreen);
    EXPECT_EQ(PixelAt(pixels, 0, 0), kWhite);

    image->SetStretch(true);
    pixels = image->PaintToImage();
    EXPECT_EQ(CountPixels(pixels, kGreen, 0, 0, 20, 20), 400);

    // Emptying the picture repaints without it.
    image->Picture()->SetGraphic(nullptr);
    pixels = image->PaintToImage();
    EXPECT_EQ(CountPixels(pixels, kGreen, 0, 0, 20, 20), 0);
}

TEST(PaintBox, InvalidatingPartRepaintsOnlyThatPartClipped) {
    TestApp();
    TPanel parent;
    parent.SetColor(clWhite);
    auto* box = new TPaintBox(&parent);
    box->SetParent(&parent);
    box->SetBounds(0, 0, 60, 40);
    TColor fill = clRed;
    std::vector<TRect> clips;
    box->OnPaint = [&](TObject*) {
        TCanvas* c = box->Canvas();
        clips.push_back(c->ClipRect());
        c->Brush()->SetColor(fill);
        c->FillRect(Rect(5, 5, 55, 35));
    };
    QImage image = box->PaintToImage();
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ(clips[0], Rect(0, 0, 60, 40));

    // Two damaged parts: the paint is clipped to their union, the rest
    // keeps what was there, drawing outside Paint included.
    box->Canvas()->Brush()->SetColor(clBlue);
    box->Canvas()->FillRect(Rect(50, 30, 60, 40));
    fill = clLime;
    box->InvalidateRect(Rect(0, 0, 10, 10));
    box->InvalidateRect(Rect(20, 10, 30, 20));
    image = box->PaintToImage();
    ASSERT_EQ(clips.size(), 2u);
    EXPECT_EQ(clips[1], Rect(0, 0, 30, 20));
    EXPECT_EQ(CountPixels(image, kGreen, 0, 0, 60, 40), 25 * 15); // (5, 5)-(30, 20)
    EXPECT_EQ(PixelAt(image, 2, 2), kWhite);   // erased, outside the fill
    EXPECT_EQ(PixelAt(image, 40, 25), kRed);   // outside the damage
    EXPECT_EQ(PixelAt(image, 55, 35), kBlue);  // drawn outside Paint, kept
    EXPECT_EQ(CountPixels(image, kGreen, 30, 0, 60, 40), 0);

    // Nothing left to paint; a part off the control is ignored; a whole
    // invalidation wins over parts scheduled before or after it.
    box->PaintToImage();
    box->InvalidateRect(Rect(100, 100, 120, 120));
    box->PaintToImage();
    EXPECT_EQ(clips.size(), 2u);
    fill = clBlue;
    box->InvalidateRect(Rect(0, 0, 5, 5));
    box->Invalidate();
    box->InvalidateRect(Rect(0, 0, 5, 5));
    image = box->PaintToImage();
    ASSERT_EQ(clips.size(), 3u);
    EXPECT_EQ(clips[2], Rect(0, 0, 60, 40));
    EXPECT_EQ(CountPixels(image, kBlue, 0, 0, 60, 40), 50 * 30);

    // The widget shows the partial repaint too.
    box->Widget()->grab();
    fill = clRed;
    box->InvalidateRect(Rect(0, 0, 30, 40));
    const QImage shown = box->Widget()->grab().toImage();
    EXPECT_EQ(PixelAt(shown, 10, 10), kRed);
    EXPECT_EQ(PixelAt(shown, 40, 10), kBlue);
}
