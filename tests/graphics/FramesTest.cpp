#include "Probe.h"
#include "graphics/Utilitiesgrafiche.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageCanvas.h"
#include "platform/graphics/Picture.h"

#include <gtest/gtest.h>

TEST(SmartFrame, NothingWithoutFrameBitsAndBackgroundWithAny) {
    TImageCanvas c(80, 60);
    DrawSmartFrame(&c, 0, 10, 10, 50, 30, 1, 1, 3, clGray, clRed);
    DrawSmartFrame(&c, tsAlignCenter | tsClipBottom | tsBarCode, 10, 10, 50, 30, 1, 1, 3, clGray,
                   clRed);
    EXPECT_EQ(CountNot(c, 0, 0, 80, 60, clWhite), 0);

    c.Pen()->SetColor(clBlue);
    c.Brush()->SetColor(clYellow);
    DrawSmartFrame(&c, tsTop, 10, 10, 50, 30, 1, 1, 3, clGray, clRed);
    // The background covers the edges inclusively.
    EXPECT_EQ(CountColor(c, 10, 11, 51, 31, clRed), 41 * 20);
    EXPECT_EQ(c.Pixels(51, 20), clWhite);
    EXPECT_EQ(c.Pixels(20, 31), clWhite);
    // The top line runs from L up to R, R itself not painted.
    EXPECT_EQ(CountColor(c, 10, 10, 50, 11, clBlue), 40);
    EXPECT_EQ(c.Pixels(50, 10), clRed);
    // The brush colour is put back, the pen untouched.
    EXPECT_EQ(c.Brush()->Color(), clYellow);
    EXPECT_EQ(c.Pen()->Color(), clBlue);

    // clDefault fills with the brush's own colour; clNone fills nothing.
    TImageCanvas d(80, 60);
    d.Brush()->SetColor(clLime);
    DrawSmartFrame(&d, tsLeft, 10, 10, 20, 20, 1, 1, 0, clGray, clDefault);
    EXPECT_EQ(d.Pixels(15, 15), clLime);
    DrawSmartFrame(&d, tsLeft, 30, 30, 40, 40, 1, 1, 0, clGray, clNone);
    EXPECT_EQ(d.Pixels(35, 35), clWhite);
    EXPECT_EQ(d.Pixels(30, 35), clBlack);
}

TEST(SmartFrame, ShadowStripsMeetInTheirCorners) {
    TImageCanvas c(80, 60);
    c.Pen()->SetStyle(psClear);
    DrawSmartFrame(&c, tsShadowRight | tsShadowBottom, 10, 10, 50, 30, 1, 1, 3, clRed, clNone);
    // Right strip (50, 13, 53, 33) and bottom strip (13, 30, 53, 33), half-open.
    EXPECT_EQ(CountColor(c, 50, 13, 53, 33, clRed), 3 * 20);
    EXPECT_EQ(CountColor(c, 13, 30, 53, 33, clRed), 40 * 3);
    EXPECT_EQ(CountColor(c, 0, 0, 80, 60, clRed), 3 * 20 + 37 * 3);
    EXPECT_EQ(c.Pixels(50, 12), clWhite);
    EXPECT_EQ(c.Pixels(12, 31), clWhite);
    EXPECT_EQ(c.Pixels(53, 31), clWhite);

    // All four: every strip lengthened into both corners.
    TImageCanvas a(80, 60);
    a.Pen()->SetStyle(psClear);
    DrawSmartFrame(&a, tsShadowLeft | tsShadowRight | tsShadowTop | tsShadowBottom, 10, 10, 50, 30,
                   0, 0, 2, clNavy, clNone);
    EXPECT_EQ(a.Pixels(8, 8), clNavy);
    EXPECT_EQ(a.Pixels(51, 31), clNavy);
    EXPECT_EQ(a.Pixels(8, 31), clNavy);
    EXPECT_EQ(a.Pixels(51, 8), clNavy);
    EXPECT_EQ(a.Pixels(7, 20), clWhite);
    EXPECT_EQ(a.Pixels(52, 20), clWhite);
    EXPECT_EQ(a.Pixels(20, 7), clWhite);
    EXPECT_EQ(a.Pixels(20, 32), clWhite);
    EXPECT_EQ(a.Pixels(20, 20), clWhite); // inside stays clear

    // A lone left shadow is shortened by W at both ends.
    TImageCanvas l(80, 60);
    l.Pen()->SetStyle(psClear);
    DrawSmartFrame(&l, tsShadowLeft, 10, 10, 50, 30, 0, 0, 4, clRed, clNone);
    EXPECT_EQ(CountColor(l, 0, 0, 80, 60, clRed), 4 * (26 - 14));
    EXPECT_EQ(l.Pixels(6, 14), clRed);
    EXPECT_EQ(l.Pixels(9, 25), clRed);
    EXPECT_EQ(l.Pixels(9, 26), clWhite);
    EXPECT_EQ(l.Pixels(9, 13), clWhite);
}

TEST(SmartFrame, DoubleLinesAndRaisedBevel) {
    TImageCanvas c(80, 60);
    DrawSmartFrame(&c, tsTop | tsTop2, 10, 10, 50, 30, 2, 3, 0, clGray, clNone);
    EXPECT_EQ(CountColor(c, 10, 10, 50, 11, clBlack), 40);
    EXPECT_EQ(CountColor(c, 12, 13, 48, 14, clBlack), 36);
    EXPECT_EQ(CountNot(c, 0, 0, 80, 60, clWhite), 76);

    // Every line of both rings, with no spacing the rings coincide.
    TImageCanvas f(80, 60);
    DrawSmartFrame(&f, tsFrame | tsTop2 | tsRight2 | tsBottom2 | tsLeft2, 10, 10, 50, 30, 3, 3, 0,
                   clGray, clNone);
    for (int x : {10, 13, 47, 50})
        EXPECT_EQ(f.Pixels(x, 20), clBlack) << x;
    for (int y : {10, 13, 27, 30})
        EXPECT_EQ(f.Pixels(30, y), clBlack) << y;
    EXPECT_EQ(f.Pixels(11, 20), clWhite);
    EXPECT_EQ(f.Pixels(30, 12), clWhite);
    // The outer ring closes: each line ends where the next starts.
    EXPECT_EQ(f.Pixels(50, 30), clBlack);
    EXPECT_EQ(f.Pixels(10, 30), clBlack);

    TImageCanvas r(80, 60);
    r.Brush()->SetColor(clSilver);
    r.Pen()->SetColor(clRed);
    DrawSmartFrame(&r, tsRaised, 10, 10, 50, 30, 0, 0, 0, clGray, clSilver);
    EXPECT_EQ(r.Pixels(11, 11), clWhite); // top and left in white
    EXPECT_EQ(r.Pixels(30, 11), clWhite);
    EXPECT_EQ(r.Pixels(11, 20), clWhite);
    EXPECT_EQ(r.Pixels(30, 29), clGray); // bottom and right in grey
    EXPECT_EQ(r.Pixels(49, 20), clGray);
    EXPECT_EQ(r.Pixels(49, 11), clGray);
    EXPECT_EQ(r.Pixels(10, 10), clSilver); // no outer line asked
    EXPECT_EQ(r.Pixels(30, 20), clSilver);
    EXPECT_EQ(r.Pen()->Color(), clRed);

    // A whole ring paints each of its pixels once, corners included, and
    // the pen ends where the ring's last line ends.
    TImageCanvas x(80, 60);
    x.Pen()->SetMode(pmXor);
    x.Pen()->SetColor(clWhite);
    DrawSmartFrame(&x, tsFrame, 10, 10, 50, 30, 0, 0, 0, clGray, clNone);
    EXPECT_EQ(CountColor(x, 0, 0, 80, 60, clBlack), 2 * 40 + 2 * 20);
    EXPECT_EQ(x.PenPos(), Point(10, 10));
    DrawSmartFrame(&x, tsTop2 | tsRight2 | tsBottom2 | tsLeft2, 10, 10, 50, 30, 3, 2, 0, clGray,
                   clNone);
    EXPECT_EQ(CountColor(x, 0, 0, 80, 60, clBlack), 2 * 40 + 2 * 20 + 2 * 34 + 2 * 16);
    EXPECT_EQ(x.PenPos(), Point(13, 12));
    DrawSmartFrame(&x, tsTop | tsRight | tsBottom, 10, 10, 50, 30, 0, 0, 0, clGray, clNone);
    EXPECT_EQ(x.PenPos(), Point(10, 30));

    // The rectangle form reads the same edges.
    TImageCanvas g(80, 60);
    TRect rect = Rect(10, 10, 50, 30);
    DrawSmartFrame(&g, tsTop | tsTop2, rect, 2, 3, 0, clGray, clNone);
    EXPECT_EQ(g.Image(), c.Image());
}

TEST(Frames, DrawFrameLinesAndRectangleTests) {
    TImageCanvas c(60, 40);
    c.Pen()->SetColor(clGreen);
    DrawFrame(&c, Rect(5, 5, 20, 15), clRed, 1);
    EXPECT_EQ(c.Pixels(5, 5), clRed);
    EXPECT_EQ(c.Pixels(20, 5), clRed);
    EXPECT_EQ(c.Pixels(20, 15), clRed);
    EXPECT_EQ(c.Pixels(5, 15), clRed);
    EXPECT_EQ(CountColor(c, 0, 0, 60, 40, clRed), 2 * 15 + 2 * 10);
    EXPECT_EQ(c.Pen()->Color(), clGreen);
    EXPECT_EQ(c.Pen()->Width(), 1);
    DrawFrame(&c, Rect(30, 10, 50, 30), clBlue, 3);
    EXPECT_EQ(c.Pixels(40, 9), clBlue); // three pixels wide around the edge
    EXPECT_EQ(c.Pixels(40, 11), clBlue);
    EXPECT_EQ(c.Pen()->Width(), 1);

    DrawLine(&c, 0, 38, 10, 38);
    EXPECT_EQ(c.Pixels(9, 38), clGreen);
    EXPECT_EQ(c.Pixels(10, 38), clWhite);
    DrawLine(nullptr, 0, 0, 5, 5);

    TRect r = Rect(1, 2, 3, 4);
    MoveRect(r, 10, -5);
    EXPECT_EQ(r, Rect(11, -3, 13, -1));

    EXPECT_FALSE(InsideRect(Rect(0, 0, 10, 10), 10, 10));
    EXPECT_TRUE(InsideRect(Rect(0, 0, 10, 10), 9, 10));
    EXPECT_TRUE(InsideRect(Rect(0, 0, 10, 10), 0, 0));
    EXPECT_FALSE(InsideRect(Rect(0, 0, 10, 10), -1, 5));
    EXPECT_FALSE(InsideRect(Rect(0, 0, 10, 10), 5, 11));
    EXPECT_TRUE(InsideRect(Rect(0, 0, 10, 10), Rect(5, 5, 20, 20)));
    EXPECT_TRUE(InsideRect(Rect(5, 5, 20, 20), Rect(0, 0, 10, 10)));
    EXPECT_FALSE(InsideRect(Rect(0, 4, 20, 6), Rect(8, 0, 12, 20)));
    EXPECT_FALSE(InsideRect(Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)));
    EXPECT_FALSE(InsideRect(Rect(0, 0, 10, 10), Rect(0, 10, 10, 20)));
    EXPECT_TRUE(InsideRect(0, 0, 10, 10, 9, 9, 30, 30));
    EXPECT_FALSE(InsideRect(0, 0, 10, 10, 10, 9, 30, 30));

    SelectColors(&c, clRed, clBlue, clLime, 4);
    EXPECT_EQ(c.Pen()->Color(), clRed);
    EXPECT_EQ(c.Pen()->Width(), 4);
    EXPECT_EQ(c.Pen()->Style(), psSolid);
    EXPECT_EQ(c.Brush()->Color(), clBlue);
    EXPECT_EQ(c.Brush()->Style(), bsSolid);
    EXPECT_EQ(c.Font()->Color(), clLime);
    SelectColors(nullptr, clRed, clBlue, clLime, 4);
}

TEST(DesignGrid, NumbersLineWidthsAndSecondPassRemovesLines) {
    TImageCanvas c(240, 100);
    c.Font()->SetColor(clRed);
    c.Brush()->SetStyle(bsClear);
    c.Pen()->SetColor(clGreen);
    const int h = c.TextHeight("0");
    DrawGrid(&c, 240, 100, 12, 5, clBlack);
    EXPECT_EQ(c.Pen()->Mode(), pmCopy);
    EXPECT_EQ(c.Pen()->Width(), 1);
    EXPECT_EQ(c.Pen()->Color(), clGreen);

    // Column i at x = 20 i: numbers only at 0, 5 and 10.
    for (int i = 1; i < 12; ++i) {
        int reds = CountColor(c, 20 * i + 2, 0, 20 * i + 18, h, clRed);
        if (i % 5 == 0)
            EXPECT_GT(reds, 0) << i;
        else
            EXPECT_EQ(reds, 0) << i;
    }
    // Row j at y = 20 j: numbers at 0, 2 and 4.
    for (int j = 1; j < 5; ++j) {
        int reds = CountColor(c, 2, 20 * j + 2, 18, 20 * j + h, clRed);
        if (j % 2 == 0)
            EXPECT_GT(reds, 0) << j;
        else
            EXPECT_EQ(reds, 0) << j;
    }
    // Widths, read on a row clear of text: 3 at 0 and 10, 2 at 5, else 1.
    EXPECT_EQ(CountColor(c, 16, 90, 25, 91, clBlack), 1);
    EXPECT_EQ(CountColor(c, 95, 90, 105, 91, clBlack), 2);
    EXPECT_EQ(CountColor(c, 195, 90, 205, 91, clBlack), 3);
    EXPECT_EQ(CountColor(c, 0, 90, 5, 91, clBlack), 2);     // 0 is centred on the edge
    EXPECT_EQ(CountColor(c, 150, 0, 151, 5, clBlack), 2);   // row 0, cut by the edge
    EXPECT_EQ(CountColor(c, 150, 36, 151, 45, clBlack), 1); // row 2
    EXPECT_EQ(c.Pixels(150, 40), clBlack);

    DrawGrid(&c, 240, 100, 12, 5, clBlack);
    // Lines are gone; only the numbers (written over, not combined) stay.
    EXPECT_EQ(CountColor(c, 0, 0, 240, 100, clBlack), 0);
    EXPECT_EQ(CountNot(c, 20, 20, 240, 100, clWhite), 0);
    EXPECT_GT(CountNot(c, 100, 0, 115, h, clWhite), 0);

    // Nothing for degenerate sizes.
    TImageCanvas e(50, 50);
    DrawGrid(&e, 50, 50, 0, 5, clBlack);
    DrawGrid(&e, 50, 0, 5, 5, clBlack);
    DrawGrid(nullptr, 50, 50, 5, 5, clBlack);
    EXPECT_EQ(CountNot(e, 0, 0, 50, 50, clWhite), 0);
}

TEST(Tiling, TilesAlignToThePictureSizeInsideTheClip) {
    TPicture pic;
    TBitmap* bmp = pic.Bitmap();
    bmp->SetSize(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            bmp->Canvas()->SetPixels(x, y, RGB(x * 8, y * 8, 77));

    TImageCanvas c(200, 120);
    c.SetClipRect(Rect(40, 40, 100, 70));
    PaintPicture(&pic, &c);
    c.ResetClipRect();
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 200; ++x) {
            bool inside = x >= 40 && x < 100 && y >= 40 && y < 70;
            TColor want = inside ? RGB((x % 32) * 8, (y % 32) * 8, 77) : clWhite;
            ASSERT_EQ(c.Pixels(x, y), want) << x << "," << y;
        }

    // The whole canvas when nothing is clipped.
    TImageCanvas all(70, 40);
    PaintPicture(&pic, &all);
    EXPECT_EQ(all.Pixels(69, 39), RGB((69 % 32) * 8, (39 % 32) * 8, 77));
    EXPECT_EQ(all.Pixels(0, 0), RGB(0, 0, 77));

    TPicture empty;
    TImageCanvas none(20, 20);
    PaintPicture(&empty, &none);
    PaintPicture(nullptr, &none);
    EXPECT_EQ(CountNot(none, 0, 0, 20, 20, clWhite), 0);
}

TEST(Units, MillimetresFollowTheFontResolution) {
    TImageCanvas c(10, 10);
    EXPECT_EQ(MmToPixels(&c, 25), 94);
    EXPECT_EQ(DmmToPixels(&c, 254), c.Font()->PixelsPerInch());
    TImageCanvas hi(10, 10, 600);
    EXPECT_EQ(DmmToPixels(&hi, 10), 24);
    EXPECT_EQ(DmmToPixels(&hi, 254), 600);
    hi.Font()->SetPixelsPerInch(300); // the font, not the device, decides
    EXPECT_EQ(DmmToPixels(&hi, 254), 300);
    EXPECT_EQ(DmmToPixels(nullptr, 254), 0);
}
