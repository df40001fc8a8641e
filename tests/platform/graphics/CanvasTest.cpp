#include "platform/graphics/Canvas.h"
#include "platform/graphics/DeviceCaps.h"
#include "platform/graphics/ImageCanvas.h"
#include "tests/platform/graphics/FontCheck.h"

#include <QFont>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// Pixels that differ from white inside [x0, x1) x [y0, y1).
int InkCount(TCanvas& c, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (c.Pixels(x, y) != clWhite) ++n;
    return n;
}

} // namespace

TEST(Canvas, LinesLeaveOutTheirEndPoint) {
    TImageCanvas c(40, 40);
    c.MoveTo(2, 5);
    c.LineTo(12, 5);
    EXPECT_EQ(c.PenPos(), Point(12, 5));
    for (int x = 2; x < 12; ++x)
        EXPECT_EQ(c.Pixels(x, 5), clBlack) << x;
    EXPECT_EQ(c.Pixels(12, 5), clWhite);
    EXPECT_EQ(c.Pixels(1, 5), clWhite);
    EXPECT_EQ(c.Pixels(5, 4), clWhite);
    EXPECT_EQ(c.Pixels(5, 6), clWhite);

    // Backwards and vertical.
    c.Pen()->SetColor(clRed);
    c.MoveTo(30, 20);
    c.LineTo(20, 20);
    EXPECT_EQ(c.Pixels(30, 20), clRed);
    EXPECT_EQ(c.Pixels(21, 20), clRed);
    EXPECT_EQ(c.Pixels(20, 20), clWhite);
    c.MoveTo(35, 10);
    c.LineTo(35, 15);
    EXPECT_EQ(c.Pixels(35, 10), clRed);
    EXPECT_EQ(c.Pixels(35, 14), clRed);
    EXPECT_EQ(c.Pixels(35, 15), clWhite);

    // A diagonal lands on exact pixels, one per step.
    c.Pen()->SetColor(clBlue);
    c.MoveTo(0, 30);
    c.LineTo(5, 35);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(c.Pixels(i, 30 + i), clBlue) << i;
    EXPECT_EQ(c.Pixels(5, 35), clWhite);
    EXPECT_EQ(InkCount(c, 0, 30, 6, 36), 5);

    // A polyline through a closed ring paints every corner exactly once.
    TImageCanvas r(20, 20);
    r.Pen()->SetMode(pmXor);
    r.Pen()->SetColor(clWhite);
    r.Polyline({{2, 2}, {10, 2}, {10, 8}, {2, 8}, {2, 2}});
    EXPECT_EQ(r.Pixels(2, 2), clBlack);
    EXPECT_EQ(r.Pixels(10, 2), clBlack);
    EXPECT_EQ(r.Pixels(10, 8), clBlack);
    EXPECT_EQ(r.Pixels(2, 8), clBlack);
    EXPECT_EQ(InkCount(r, 0, 0, 20, 20), 2 * 8 + 2 * 6);
}

TEST(Canvas, FillsAndShapesExcludeRightAndBottom) {
    TImageCanvas c(50, 50);
    c.Brush()->SetColor(clGreen);
    c.FillRect(Rect(5, 5, 10, 8));
    EXPECT_EQ(c.Pixels(5, 5), clGreen);
    EXPECT_EQ(c.Pixels(9, 7), clGreen);
    EXPECT_EQ(c.Pixels(10, 7), clWhite);
    EXPECT_EQ(c.Pixels(9, 8), clWhite);
    EXPECT_EQ(InkCount(c, 0, 0, 50, 50), 15);
    // An empty or inverted rectangle fills nothing.
    c.FillRect(Rect(20, 20, 20, 30));
    c.FillRect(Rect(30, 30, 25, 25));
    EXPECT_EQ(InkCount(c, 0, 0, 50, 50), 15);
    // A clear brush fills nothing either.
    c.Brush()->SetStyle(bsClear);
    c.FillRect(Rect(20, 20, 30, 30));
    EXPECT_EQ(InkCount(c, 0, 0, 50, 50), 15);

    TImageCanvas r(50, 50);
    r.Brush()->SetColor(clYellow);
    r.Pen()->SetColor(clBlue);
    r.Rectangle(10, 10, 20, 16);
    EXPECT_EQ(r.Pixels(10, 10), clBlue);
    EXPECT_EQ(r.Pixels(19, 15), clBlue);
    EXPECT_EQ(r.Pixels(19, 10), clBlue);
    EXPECT_EQ(r.Pixels(10, 15), clBlue);
    EXPECT_EQ(r.Pixels(20, 15), clWhite);
    EXPECT_EQ(r.Pixels(19, 16), clWhite);
    EXPECT_EQ(r.Pixels(11, 11), clYellow);
    EXPECT_EQ(r.Pixels(18, 14), clYellow);
    // Without a pen the fill stops one pixel short, as the platform's does.
    r.Pen()->SetStyle(psClear);
    r.Rectangle(30, 30, 35, 35);
    EXPECT_EQ(r.Pixels(30, 30), clYellow);
    EXPECT_EQ(r.Pixels(33, 33), clYellow);
    EXPECT_EQ(r.Pixels(34, 33), clWhite);
    EXPECT_EQ(r.Pixels(33, 34), clWhite);

    TImageCanvas e(60, 60);
    e.Brush()->SetColor(clRed);
    e.Ellipse(10, 10, 30, 20);
    EXPECT_EQ(e.Pixels(20, 15), clRed);   // filled centre
    EXPECT_EQ(e.Pixels(10, 10), clWhite); // corners stay out
    EXPECT_NE(e.Pixels(10, 14), clWhite); // the left end is on the outline
    EXPECT_EQ(InkCount(e, 30, 0, 60, 60), 0);
    EXPECT_EQ(InkCount(e, 0, 20, 60, 60), 0);
    EXPECT_GT(InkCount(e, 29, 10, 30, 20), 0); // the rightmost column is reached
    EXPECT_GT(InkCount(e, 10, 19, 30, 20), 0); // and the bottom row
    EXPECT_EQ(InkCount(e, 0, 0, 10, 60), 0);
    EXPECT_EQ(InkCount(e, 0, 0, 60, 10), 0);
    // Drawn twice with pmNotXor the ellipse goes away: each pixel is painted once.
    e.Pen()->SetMode(pmNotXor);
    e.Brush()->SetStyle(bsClear);
    e.Ellipse(35, 35, 50, 45);
    EXPECT_GT(InkCount(e, 35, 35, 50, 45), 0);
    e.Ellipse(35, 35, 50, 45);
    EXPECT_EQ(InkCount(e, 35, 35, 50, 45), 0);
}

TEST(Canvas, PenModesCombineWithWhatIsThere) {
    TImageCanvas c(30, 10);
    c.Brush()->SetColor(RGB(0x12, 0x34, 0x56));
    c.FillRect(Rect(0, 0, 30, 10));
    const TColor base = RGB(0x12, 0x34, 0x56);
    const TColor pen = RGB(0xF0, 0x0F, 0x33);
    c.Pen()->SetColor(pen);

    c.Pen()->SetMode(pmXor);
    c.MoveTo(0, 1);
    c.LineTo(30, 1);
    EXPECT_EQ(c.Pixels(4, 1), (base ^ pen) & 0xFFFFFF);
    c.MoveTo(0, 1);
    c.LineTo(30, 1);
    EXPECT_EQ(c.Pixels(4, 1), base);

    c.Pen()->SetMode(pmNotXor);
    c.MoveTo(0, 2);
    c.LineTo(30, 2);
    EXPECT_EQ(c.Pixels(4, 2), ~(base ^ pen) & 0xFFFFFF);
    c.MoveTo(0, 2);
    c.LineTo(30, 2);
    EXPECT_EQ(c.Pixels(4, 2), base); // twice restores

    // NOT(pen OR dest): with a black pen it inverts, so twice restores ...
    c.Pen()->SetMode(pmNotMerge);
    c.Pen()->SetColor(clBlack);
    c.MoveTo(0, 3);
    c.LineTo(30, 3);
    EXPECT_EQ(c.Pixels(4, 3), ~base & 0xFFFFFF);
    c.MoveTo(0, 3);
    c.LineTo(30, 3);
    EXPECT_EQ(c.Pixels(4, 3), base);
    // ... but with any other pen the second pass gives dest AND NOT pen.
    c.Pen()->SetColor(pen);
    c.MoveTo(0, 4);
    c.LineTo(30, 4);
    EXPECT_EQ(c.Pixels(4, 4), ~(base | pen) & 0xFFFFFF);
    c.MoveTo(0, 4);
    c.LineTo(30, 4);
    EXPECT_EQ(c.Pixels(4, 4), base & ~pen & 0xFFFFFF);

    // A diagonal and a rectangle follow the mode too; FillRect does not.
    c.Pen()->SetMode(pmNot);
    c.MoveTo(0, 5);
    c.LineTo(4, 9);
    EXPECT_EQ(c.Pixels(1, 6), ~base & 0xFFFFFF);
    c.Brush()->SetColor(clWhite);
    c.FillRect(Rect(20, 5, 22, 7));
    EXPECT_EQ(c.Pixels(20, 5), clWhite);

    TImageCanvas r(20, 20);
    r.Pen()->SetMode(pmNotXor);
    r.Pen()->SetColor(clRed);
    r.Brush()->SetStyle(bsClear);
    r.Rectangle(2, 2, 12, 12);
    EXPECT_EQ(r.Pixels(2, 2), clRed); // NOT(red XOR white) is red
    r.Rectangle(2, 2, 12, 12);
    EXPECT_EQ(InkCount(r, 0, 0, 20, 20), 0);
}

TEST(Canvas, DashedPensAndWidePens) {
    TImageCanvas c(40, 20);
    c.Pen()->SetStyle(psDot);
    c.MoveTo(0, 1);
    c.LineTo(40, 1);
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(c.Pixels(x, 1), (x / 3) % 2 == 0 ? clBlack : clWhite) << x;
    c.Pen()->SetStyle(psClear);
    c.MoveTo(0, 3);
    c.LineTo(40, 3);
    EXPECT_EQ(InkCount(c, 0, 3, 40, 4), 0);
    EXPECT_EQ(c.PenPos(), Point(40, 3));

    c.Pen()->SetStyle(psSolid);
    c.Pen()->SetWidth(3);
    c.MoveTo(20, 8);
    c.LineTo(20, 18);
    EXPECT_EQ(c.Pixels(19, 12), clBlack);
    EXPECT_EQ(c.Pixels(20, 12), clBlack);
    EXPECT_EQ(c.Pixels(21, 12), clBlack);
    EXPECT_EQ(c.Pixels(23, 12), clWhite);
    EXPECT_EQ(c.Pixels(17, 12), clWhite);
}

TEST(Canvas, TextCellsAndMeasures) {
    TImageCanvas c(200, 60);
    c.Font()->SetName("DejaVu Sans Mono");
    c.Font()->SetHeight(-14);
    c.Font()->SetColor(clBlack);
    ASSERT_TRUE(DrawsWithFace(*c.Font(), true));
    const int w1 = c.TextWidth("M");
    ASSERT_GT(w1, 0);
    EXPECT_EQ(c.TextWidth("MMMMM"), 5 * w1);
    EXPECT_EQ(c.TextWidth("iiiii"), 5 * w1);
    EXPECT_EQ(c.TextWidth(""), 0);
    const int h = c.TextHeight("M");
    EXPECT_GE(h, 14);
    EXPECT_LT(h, 24);
    EXPECT_EQ(c.TextExtent("abc"), (TSize{3 * w1, h}));

    // An opaque brush fills exactly the text cell.
    c.Brush()->SetColor(clYellow);
    c.TextOut(10, 5, "xx");
    EXPECT_EQ(c.Pixels(10, 5), clYellow);
    EXPECT_EQ(c.Pixels(10 + 2 * w1 - 1, 5 + h - 1), clYellow);
    EXPECT_EQ(c.Pixels(10 + 2 * w1, 5), clWhite);
    EXPECT_EQ(c.Pixels(10, 5 + h), clWhite);
    int ink = 0;
    for (int y = 5; y < 5 + h; ++y)
        for (int x = 10; x < 10 + 2 * w1; ++x)
            if (c.Pixels(x, y) == clBlack) ++ink;
    EXPECT_GT(ink, 4);
    EXPECT_EQ(c.PenPos(), Point(0, 0));

    // A clear brush leaves the background alone; so does a transparent mode.
    c.Brush()->SetStyle(bsClear);
    c.TextOut(100, 5, "xx");
    EXPECT_EQ(InkCount(c, 100, 5, 100 + 2 * w1, 5 + h) > 0, true);
    for (int y = 5; y < 5 + h; ++y)
        for (int x = 100; x < 100 + 2 * w1; ++x)
            ASSERT_NE(c.Pixels(x, y), clYellow);
    c.Brush()->SetColor(clYellow);
    SetBkMode(&c, TRANSPARENT);
    c.TextOut(150, 5, "xx");
    for (int y = 5; y < 5 + h; ++y)
        for (int x = 150; x < 150 + 2 * w1; ++x)
            ASSERT_NE(c.Pixels(x, y), clYellow);
    SetBkMode(&c, OPAQUE);

    // TextRect fills its rectangle and clips the text to it.
    c.TextRect(Rect(10, 30, 20, 50), 10, 30, "WWWWWW");
    EXPECT_EQ(c.Pixels(19, 49), clYellow);
    EXPECT_EQ(InkCount(c, 20, 30, 80, 50), 0);
    EXPECT_GT(InkCount(c, 10, 30, 20, 50), 0);
}

TEST(Canvas, WindowsTextIsConvertedForDrawing) {
    // The euro sign and an e grave are single bytes inside; they must show as
    // their own glyphs, not as the replacement mark.
    TImageCanvas a(40, 30), b(40, 30), q(40, 30);
    for (TImageCanvas* c : {&a, &b, &q}) {
        c->Font()->SetName("DejaVu Sans");
        c->Font()->SetHeight(-16);
    }
    a.TextOut(2, 2, "\x80");
    b.TextOut(2, 2, "\xE8");
    q.TextOut(2, 2, "?");
    EXPECT_NE(a.Image(), q.Image());
    EXPECT_NE(b.Image(), q.Image());
    EXPECT_NE(a.Image(), b.Image());
    EXPECT_GT(a.TextWidth("\x80"), 0);
}

TEST(Canvas, FontSizeHeightAndResolution) {
    TFont f;
    EXPECT_EQ(f.PixelsPerInch(), 96);
    f.SetSize(12);
    EXPECT_EQ(f.Height(), -16);
    EXPECT_EQ(f.Size(), 12);
    f.SetPixelsPerInch(192);
    EXPECT_EQ(f.Height(), -16); // the stored measure is the height
    EXPECT_EQ(f.Size(), 6);

    TFont g; // at 96 ppi
    g.SetSize(10);
    f.Assign(g); // keeps f's 192 ppi and g's size
    EXPECT_EQ(f.Size(), 10);
    EXPECT_EQ(f.Height(), -26);

    int changes = 0;
    g.SetOnChange([&] { ++changes; });
    g.SetStyle(fsBold | fsItalic);
    g.SetColor(clRed);
    g.SetColor(clRed);
    EXPECT_EQ(changes, 2);
    QFont q = g.ToQFont();
    EXPECT_TRUE(q.bold());
    EXPECT_TRUE(q.italic());
    EXPECT_FALSE(q.underline());

    // A canvas on a 600 dpi device keeps the font's size in points.
    TImageCanvas hi(10, 10, 600);
    EXPECT_EQ(GetDeviceCaps(&hi, LOGPIXELSY), 600);
    EXPECT_EQ(GetDeviceCaps(&hi, LOGPIXELSX), 600);
    EXPECT_EQ(GetDeviceCaps(&hi, HORZRES), 10);
    EXPECT_EQ(hi.Font()->PixelsPerInch(), 600);
    EXPECT_EQ(hi.Font()->Size(), 8);
    EXPECT_EQ(GetDeviceCaps(nullptr, LOGPIXELSY), 0);
}

TEST(Canvas, ClippingAndCanvasWithoutDevice) {
    TImageCanvas c(50, 50);
    EXPECT_EQ(c.ClipRect(), Rect(0, 0, 50, 50));
    c.SetClipRect(Rect(10, 10, 20, 20));
    EXPECT_EQ(c.ClipRect(), Rect(10, 10, 20, 20));
    c.Brush()->SetColor(clBlack);
    c.FillRect(Rect(0, 0, 50, 50));
    EXPECT_EQ(InkCount(c, 0, 0, 50, 50), 100);
    c.ResetClipRect();
    EXPECT_EQ(c.ClipRect(), Rect(0, 0, 50, 50));

    // Measuring works without a device; drawing raises a platform error.
    TCanvas bare;
    EXPECT_GT(bare.TextWidth("abc"), 0);
    EXPECT_FALSE(bare.CanDraw());
    EXPECT_EQ(bare.Pixels(0, 0), static_cast<TColor>(-1));
    EXPECT_THROW(bare.FillRect(Rect(0, 0, 5, 5)), Exception);
    EXPECT_EQ(c.Pixels(-1, 0), static_cast<TColor>(-1));
    EXPECT_EQ(c.Pixels(50, 0), static_cast<TColor>(-1));

    // A canvas attached to a painter draws through it.
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TCanvas attached(&painter);
        attached.Brush()->SetColor(clRed);
        attached.FillRect(Rect(0, 0, 4, 4));
        attached.Detach();
    }
    EXPECT_EQ(image.pixel(3, 3), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(4, 3), qRgb(255, 255, 255));
}

TEST(Canvas, PolygonsAndFontStyles) {
    TImageCanvas c(40, 40);
    c.Brush()->SetColor(clLime);
    c.Pen()->SetColor(clRed);
    c.Polygon({{5, 5}, {30, 5}, {5, 30}});
    EXPECT_EQ(c.Pixels(5, 5), clRed);
    EXPECT_EQ(c.Pixels(20, 5), clRed);
    EXPECT_EQ(c.Pixels(5, 20), clRed);
    EXPECT_EQ(c.Pixels(10, 10), clLime);
    EXPECT_EQ(c.Pixels(25, 25), clWhite);
    // A polygon drawn twice with pmXor and a clear brush goes away.
    TImageCanvas x(40, 40);
    x.Pen()->SetMode(pmXor);
    x.Pen()->SetColor(clWhite);
    x.Brush()->SetStyle(bsClear);
    x.Polygon({{5, 5}, {30, 5}, {30, 30}, {5, 30}});
    EXPECT_EQ(InkCount(x, 0, 0, 40, 40), 4 * 25);
    x.Polygon({{5, 5}, {30, 5}, {30, 30}, {5, 30}});
    EXPECT_EQ(InkCount(x, 0, 0, 40, 40), 0);

    // Bold and underlined text put down more ink than the plain face.
    auto ink = [](TFontStyles style) {
        TImageCanvas t(120, 30);
        t.Font()->SetName("DejaVu Sans");
        t.Font()->SetHeight(-16);
        t.Font()->SetStyle(style);
        t.TextOut(2, 2, "Prova");
        return InkCount(t, 0, 0, 120, 30);
    };
    const int plain = ink(0);
    EXPECT_GT(plain, 20);
    EXPECT_GT(ink(fsBold), plain);
    EXPECT_GT(ink(fsUnderline), plain);
    EXPECT_GT(ink(fsStrikeOut), plain);
}

TEST(Canvas, LinesMostlyOffTheDeviceKeepTheirPixels) {
    // Lines far longer than the device, straight and dashed, drawn whole and
    // clipped: where both can show, the same pixels.
    const TPoint lines[][2] = {{{-3000, -1000}, {90, 61}}, {{5, 2}, {4000, 2711}},
                               {{-500, 70}, {700, -3}}};
    for (TPenStyle style : {psSolid, psDashDot}) {
        TImageCanvas whole(100, 80);
        TImageCanvas clipped(100, 80);
        clipped.SetClipRect(Rect(20, 10, 70, 60));
        for (TImageCanvas* c : {&whole, &clipped}) {
            c->Pen()->SetStyle(style);
            for (const auto& l : lines) {
                c->MoveTo(l[0].x, l[0].y);
                c->LineTo(l[1].x, l[1].y);
            }
        }
        int ink = 0;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 100; ++x) {
                const bool inside = x >= 20 && x < 70 && y >= 10 && y < 60;
                EXPECT_EQ(clipped.Pixels(x, y), inside ? whole.Pixels(x, y) : clWhite)
                    << x << "," << y;
                ink += inside && whole.Pixels(x, y) != clWhite;
            }
        EXPECT_GT(ink, 40);
    }
}

TEST(Canvas, TextWidthsFollowTheFontButNotItsColour) {
    TImageCanvas c(10, 10);
    c.Font()->SetHeight(-12);
    const int narrow = c.TextWidth("Passo");
    EXPECT_EQ(c.TextWidth("Passo"), narrow);
    c.Font()->SetHeight(-24);
    const int wide = c.TextWidth("Passo");
    EXPECT_GT(wide, narrow + narrow / 2);
    c.Font()->SetColor(clRed);
    EXPECT_EQ(c.TextWidth("Passo"), wide);
    c.Font()->SetStyle(fsBold);
    EXPECT_GT(c.TextWidth("Passo"), wide);
    c.Font()->SetStyle(0);
    c.Font()->SetName("DejaVu Serif");
    EXPECT_NE(c.TextWidth("Passo"), wide);
    c.Font()->SetName("DejaVu Sans");
    EXPECT_EQ(c.TextWidth("Passo"), wide);
    EXPECT_EQ(c.TextExtent("Passo").cx, wide);
    EXPECT_EQ(c.TextWidth(""), 0);
}
