#include "Probe.h"
#include "graphics/Utilitiesgrafiche.h"
#include "platform/graphics/ImageCanvas.h"
#include "tests/platform/graphics/FontCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using quorbase::clsString;

namespace {

// A fixed-width font, so that room for n characters is exact.
struct Mono {
    explicit Mono(int w = 300, int h = 200, int dpi = 96) : c(w, h, dpi) {
        c.Font()->SetName("DejaVu Sans Mono");
        c.Font()->SetHeight(-12);
        c.Font()->SetColor(clBlack);
        EXPECT_TRUE(DrawsWithFace(*c.Font(), true));
        cw = c.TextWidth("M");
        h1 = c.TextHeight("M");
    }
    // Outer rectangle at (x, y) whose text room (default margins and spacings)
    // holds chars characters.
    TRect Box(int x, int y, int chars, int height) const {
        return Rect(x, y, x + 4 + chars * cw, y + height);
    }
    TImageCanvas c;
    int cw = 0;
    int h1 = 0;
};

std::vector<std::string> Wrap(Mono& m, const char* text, int chars) {
    return WrapText(&m.c, text, chars * m.cw);
}

} // namespace

TEST(TextDraw, DegenerateRectanglesAndEmptyText) {
    Mono m;
    EXPECT_EQ(
        TextDraw(&m.c, "abc", Rect(10, 10, 10, 50), 0x554, 1, 1, 1, 1, false, 0, clGray, clRed), 0);
    EXPECT_EQ(
        TextDraw(&m.c, "abc", Rect(10, 10, 5, 50), 0x554, 1, 1, 1, 1, false, 0, clGray, clRed), 0);
    EXPECT_EQ(CountNot(m.c, 0, 0, 300, 200, clWhite), 0);
    EXPECT_EQ(
        TextDraw(nullptr, "abc", Rect(0, 0, 50, 50), 0x554, 1, 1, 1, 1, false, 0, clGray, clRed),
        0);

    // Empty text: one line high; the whole inner box filled and the frame drawn.
    const int hgt =
        TextDraw(&m.c, "", Rect(10, 10, 60, 60), tsFrame, 2, 3, 1, 1, false, 0, clGray, clRed);
    EXPECT_EQ(hgt, m.h1 + 2 * 3);
    // Inner box: left 10+1+2 .. right 60-1-2 inclusive, top 10+1+3 .. bottom 60-1-3.
    EXPECT_EQ(CountColor(m.c, 13, 14, 58, 57, clRed), 45 * 43);
    EXPECT_EQ(m.c.Pixels(12, 30), clWhite);
    EXPECT_EQ(m.c.Pixels(58, 30), clWhite);
    EXPECT_EQ(m.c.Pixels(30, 57), clWhite);
    EXPECT_EQ(m.c.Pixels(10, 30), clBlack);
    EXPECT_EQ(m.c.Pixels(60, 30), clBlack);
    EXPECT_EQ(m.c.Pixels(30, 60), clBlack);
    // The brush style is put back.
    m.c.Brush()->SetStyle(bsClear);
    TextDraw(&m.c, "x", Rect(100, 10, 150, 60), tsFrame, 1, 1, 1, 1, false, 0, clGray, clNone);
    EXPECT_EQ(m.c.Brush()->Style(), bsClear);
    m.c.Brush()->SetStyle(bsSolid);
    TextDraw(&m.c, "x", Rect(100, 100, 150, 150), tsFrame, 1, 1, 1, 1, false, 0, clGray, clNone);
    EXPECT_EQ(m.c.Brush()->Style(), bsSolid);
}

TEST(TextDraw, WrapsKeepingConsonantsWithTheirVowels) {
    Mono m;
    EXPECT_EQ(Wrap(m, "cammino", 4), (std::vector<std::string>{"cam", "mino"}));
    EXPECT_EQ(Wrap(m, "la casa bella", 5), (std::vector<std::string>{"la ca", "sa ", "bella"}));
    // Two consonants after the cut move it back one; a consonant before a
    // vowel moves it back too.
    EXPECT_EQ(Wrap(m, "barstrada", 4), (std::vector<std::string>{"bar", "stra", "da"}));
    EXPECT_EQ(Wrap(m, "arstuvw", 4), (std::vector<std::string>{"ars", "tuvw"}));
    // The rule never looks for spaces: they stay where the cut leaves them.
    EXPECT_EQ(Wrap(m, "ab  cd", 3), (std::vector<std::string>{"ab", "  c", "d"}));
    // A paragraph that fits is never corrected.
    EXPECT_EQ(Wrap(m, "cane", 4), (std::vector<std::string>{"cane"}));
    // CR LF: the carriage return stays at the end of its paragraph.
    EXPECT_EQ(Wrap(m, "uno\r\ndue", 10), (std::vector<std::string>{"uno\r", "due"}));
    // A trailing line feed adds an empty paragraph.
    EXPECT_EQ(Wrap(m, "a\n", 10), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(Wrap(m, "a\n\nb", 10), (std::vector<std::string>{"a", "", "b"}));

    // A character wider than the room is still taken, one per line.
    EXPECT_EQ(WrapText(&m.c, "WWW", 1), (std::vector<std::string>{"W", "W", "W"}));
    const int hgt =
        TextDraw(&m.c, "WWW", Rect(0, 0, 5, 20), tsFrame, 1, 1, 1, 1, false, 0, clGray, clNone);
    EXPECT_EQ(hgt, 3 * m.h1 + 2);

    // Drawn: the lines stand one text height apart, and the frame grows with them.
    const TRect box = m.Box(10, 10, 4, 10);
    const int drawn = TextDraw(&m.c, "cammino", box, tsFrame, 1, 1, 1, 1, false, 0, clGray, clNone);
    EXPECT_EQ(drawn, 2 * m.h1 + 2);
    const int left = box.Left + 2, top = box.Top + 2;
    EXPECT_GT(Ink(m.c, left, top, left + 3 * m.cw, top + m.h1), 0);
    EXPECT_EQ(Ink(m.c, left + 3 * m.cw + 1, top, box.Right - 1, top + m.h1), 0);
    EXPECT_GT(Ink(m.c, left + 3 * m.cw + 1, top + m.h1, box.Right - 1, top + 2 * m.h1), 0);
    // The frame's bottom moved down to Top + height.
    EXPECT_EQ(m.c.Pixels(box.Left + 2, box.Top + drawn), clBlack);
    EXPECT_EQ(m.c.Pixels(box.Right, box.Top + drawn - 1), clBlack);
}

TEST(TextDraw, AlignmentsAndIndent) {
    Mono m(400, 200);
    const TRect box = Rect(10, 10, 210, 40);
    const int left = 12, right = 208, top = 12;

    TextDraw(&m.c, "HH", box, tsAlignLeft, 1, 1, 1, 1, false, 0, clGray, clNone);
    EXPECT_GE(FirstInkColumn(m.c, 0, top, 400, top + m.h1), left);
    EXPECT_LT(FirstInkColumn(m.c, 0, top, 400, top + m.h1), left + m.cw / 2);

    Mono r(400, 200);
    TextDraw(&r.c, "HH", box, tsAlignRight, 1, 1, 1, 1, false, 0, clGray, clNone);
    EXPECT_LE(LastInkColumn(r.c, 0, top, 400, top + m.h1), right);
    EXPECT_GT(LastInkColumn(r.c, 0, top, 400, top + m.h1), right - m.cw / 2);

    // Centring wins over right alignment.
    Mono c(400, 200);
    TextDraw(&c.c, "HH", box, tsAlignRight | tsAlignCenter, 1, 1, 1, 1, false, 0, clGray, clNone);
    const int x = left + (right - left - 2 * m.cw) / 2;
    EXPECT_GE(FirstInkColumn(c.c, 0, top, 400, top + m.h1), x);
    EXPECT_LT(LastInkColumn(c.c, 0, top, 400, top + m.h1), x + 2 * m.cw);
    EXPECT_EQ(Ink(c.c, 0, 0, x, 200), 0);

    // Indent: the right limit moves left by half an M.
    Mono i(400, 200);
    TextDraw(&i.c, "HH", box, tsAlignRight | tsIndentRight, 1, 1, 1, 1, false, 0, clGray, clNone);
    EXPECT_LE(LastInkColumn(i.c, 0, top, 400, top + m.h1), right - m.cw / 2);
    EXPECT_GT(LastInkColumn(i.c, 0, top, 400, top + m.h1), right - m.cw / 2 - m.cw / 2);
}

TEST(TextDraw, ThreePartsAndAlternatingParagraphs) {
    Mono m(400, 200);
    const TRect box = Rect(10, 10, 310, 40);
    const int top = 12, band = top + m.h1;
    const int hgt = TextDraw(&m.c, "AAA\nBBB\nCCC\nDDD", box, tsFrame | tsThreeParts, 1, 1, 1, 1,
                             false, 0, clGray, clNone);
    EXPECT_EQ(hgt, m.h1 + 4); // the largest part (with its margins) plus two more
    EXPECT_GT(Ink(m.c, 12, top, 12 + 3 * m.cw, band), 0);
    EXPECT_GT(Ink(m.c, 160 - 2 * m.cw, top, 160 + 2 * m.cw, band), 0);
    EXPECT_GT(Ink(m.c, 308 - 3 * m.cw, top, 308, band), 0);
    EXPECT_EQ(Ink(m.c, 12 + 3 * m.cw + 2, top, 160 - 2 * m.cw, band), 0);
    EXPECT_EQ(Ink(m.c, 11, band + 1, 309, 40), 0); // no second line, no fourth piece

    // With the opt-out, the same text is four paragraphs.
    Mono n(400, 200);
    EXPECT_EQ(TextDraw(&n.c, "AAA\nBBB\nCCC\nDDD", box, tsFrame | tsThreeParts | tsNoThreeParts, 1,
                       1, 1, 1, true, 0, clGray, clNone),
              4 * m.h1 + 2);

    // Alternating: paragraphs 1 and 3 at the left, 2 and 4 at the right, each on its own line.
    Mono a(400, 200);
    const TRect tall = Rect(10, 10, 310, 150);
    EXPECT_EQ(
        TextDraw(&a.c, "AA\nBB\nCC\nDD", tall, tsAlternate, 1, 1, 1, 1, false, 0, clGray, clNone),
        4 * m.h1 + 2);
    for (int k = 0; k < 4; ++k) {
        const int y = top + k * m.h1;
        const int l = FirstInkColumn(a.c, 0, y, 400, y + m.h1);
        const int r = LastInkColumn(a.c, 0, y, 400, y + m.h1);
        if (k % 2 == 0) {
            EXPECT_LT(l, 12 + m.cw) << k;
            EXPECT_LT(r, 12 + 2 * m.cw) << k;
        } else {
            EXPECT_GT(l, 308 - 2 * m.cw - 1) << k;
            EXPECT_GT(r, 308 - m.cw) << k;
        }
    }
    // Half steps: lines advance by h / 2; the result counts h for odd paragraphs.
    EXPECT_EQ(TextDraw(&a.c, "AA\nBB\nCC\nDD", tall, tsAlternateHalf, 1, 1, 1, 1, true, 0, clGray,
                       clNone),
              2 * m.h1 + 2 * (m.h1 / 2) + 2);
    Mono hh(400, 200);
    TextDraw(&hh.c, "AA\nBB\nCC", tall, tsAlternateHalf, 1, 1, 1, 1, false, 0, clGray, clNone);
    // The third paragraph starts one full line below the first.
    EXPECT_EQ(Ink(hh.c, 12, top + 2 * (m.h1 / 2) + m.h1, 60, 200), 0);
    EXPECT_GT(Ink(hh.c, 12, top + 2 * (m.h1 / 2), 60, top + 2 * (m.h1 / 2) + m.h1), 0);
}

TEST(TextDraw, ClipBlankZeroAndMeasuring) {
    Mono m(400, 300);
    // A rectangle one line high shows only the first line of three paragraphs.
    const TRect oneLine = Rect(10, 10, 200, 10 + m.h1 + 4);
    EXPECT_EQ(TextDraw(&m.c, "AAA\nBBB\nCCC", oneLine, tsClipBottom, 1, 1, 1, 1, false, 0, clGray,
                       clNone),
              m.h1 + 2);
    EXPECT_GT(Ink(m.c, 0, 12, 400, 12 + m.h1), 0);
    EXPECT_EQ(Ink(m.c, 0, 12 + m.h1, 400, 300), 0);

    for (const char* zero : {"0", "0,00", "abc"}) {
        Mono z;
        EXPECT_EQ(TextDraw(&z.c, zero, Rect(0, 0, 200, 50), tsBlankZero, 1, 1, 1, 1, false, 0,
                           clGray, clNone),
                  z.h1 + 2)
            << zero;
        EXPECT_EQ(Ink(z.c, 0, 0, 300, 200), 0) << zero;
    }
    for (const char* shown : {"0,5", "12abc", "ab"}) {
        Mono z;
        TextDraw(&z.c, shown, Rect(0, 0, 200, 50), tsBlankZero, 1, 1, 1, 1, false, 0, clGray,
                 clNone);
        EXPECT_GT(Ink(z.c, 0, 0, 300, 200), 0) << shown;
    }

    // Measuring draws nothing and gives the drawn height.
    Mono q;
    const char* text = "una riga piuttosto lunga\nda misurare";
    const TRect box = q.Box(5, 5, 8, 20);
    const int measured =
        TextDraw(&q.c, text, box, 0x00A00954, 1, 1, 1, 1, true, 3, clGray, clYellow);
    EXPECT_EQ(CountNot(q.c, 0, 0, 300, 200, clWhite), 0);
    EXPECT_EQ(TextDraw(&q.c, text, box, 0x00A00954, 1, 1, 1, 1, false, 3, clGray, clYellow),
              measured);
    EXPECT_GT(measured, 4 * q.h1);
    Mono b;
    EXPECT_EQ(TextDraw(&b.c, "ABC123", Rect(0, 0, 200, 80), tsBarCode | tsFrame, 2, 3, 1, 1, true,
                       0, clGray, clYellow),
              b.h1 + 6);
    EXPECT_EQ(CountNot(b.c, 0, 0, 300, 200, clWhite), 0);
}

TEST(TextDraw, BackgroundsAndTextBox) {
    Mono m(300, 200);
    // clDefault paints with the brush's colour: each line and the rest of the box.
    m.c.Brush()->SetColor(clAqua);
    const int hgt = TextDraw(&m.c, "abc", Rect(10, 10, 100, 60), tsFrame, 1, 1, 1, 1, false, 0,
                             clGray, clDefault);
    EXPECT_EQ(hgt, m.h1 + 2);
    EXPECT_EQ(CountColor(m.c, 12, 12, 99, 59, clAqua) + Ink(m.c, 12, 12, 99, 59), 87 * 47);

    // TextBox grows a low rectangle to its text: background and frame go down
    // to the text's end, and it answers the measured height.
    Mono t(300, 300);
    const TRect low = t.Box(10, 10, 6, 8);
    const clsString text = "questo testo va su righe diverse";
    clsTextOut probe;
    probe.Canvas = &t.c;
    probe.Text = text;
    probe.Rect = low;
    probe.Style = tsFrame;
    probe.BackColor = clYellow;
    probe.ShadowWidth = 0;
    probe.MeasureOnly = true;
    const int need = TextDraw(probe);
    EXPECT_GT(need, low.Bottom - low.Top);
    EXPECT_EQ(TextBox(&t.c, text, low, tsFrame, clYellow, 0, clGray), need);
    EXPECT_EQ(t.c.Pixels(low.Left + 3, low.Top + need - 3), clYellow);
    EXPECT_EQ(t.c.Pixels(low.Left + 3, low.Top + need), clBlack);
    EXPECT_EQ(t.c.Pixels(low.Left + 3, low.Top + need + 1), clWhite);

    // The record's defaults.
    clsTextOut d;
    EXPECT_EQ(d.Canvas, nullptr);
    EXPECT_EQ(d.Style, 0x554);
    EXPECT_EQ(d.MarginX + d.MarginY + d.SpacingX + d.SpacingY, 4);
    EXPECT_FALSE(d.MeasureOnly);
    EXPECT_EQ(d.ShadowWidth, 30);
    EXPECT_EQ(d.ShadowColor, 0x808080);
    EXPECT_EQ(d.BackColor, clDefault);
    EXPECT_EQ(d.Text.Length(), 0);
}

TEST(TextFunctions, RectTextAndLinesPerInch) {
    Mono m;
    m.c.Pen()->SetWidth(1);
    m.c.Pen()->SetColor(clRed);
    m.c.Brush()->SetColor(clYellow);
    RectText(&m.c, Rect(10, 10, 40, 30), "WWWWWWWWWW");
    EXPECT_EQ(m.c.Pixels(10, 10), clRed);
    EXPECT_EQ(m.c.Pixels(39, 29), clRed);
    EXPECT_GT(Ink(m.c, 11, 11, 39, 29), 0);
    EXPECT_EQ(Ink(m.c, 40, 0, 300, 200), 0); // clipped, no wrapping
    EXPECT_EQ(Ink(m.c, 0, 30, 300, 200), 0);

    // Six lines to the inch on a 600 dpi device: line i at y = 100 i; the
    // empty line keeps its place.
    Mono hi(200, 400, 600);
    quorbase::clsCStrings lines;
    quorbase::Add(lines, "uno");
    quorbase::Add(lines, "");
    quorbase::Add(lines, "tre");
    Draw(&hi.c, lines, 6);
    EXPECT_GT(Ink(hi.c, 0, 0, 200, 100), 0);
    EXPECT_EQ(Ink(hi.c, 0, 100, 200, 200), 0);
    EXPECT_GT(Ink(hi.c, 0, 200, 200, 200 + hi.h1), 0);
    EXPECT_EQ(Ink(hi.c, 0, 200 + hi.h1, 200, 400), 0);
    EXPECT_EQ(Ink(hi.c, 0, 199 - (100 - hi.h1), 200, 200), 0);

    // Without a pitch the lines are one "X" high apart.
    Mono x(200, 200);
    Draw(&x.c, lines, 0);
    EXPECT_GT(Ink(x.c, 0, 2 * x.h1, 200, 3 * x.h1), 0);
    EXPECT_EQ(Ink(x.c, 0, x.h1, 200, 2 * x.h1), 0);
    Draw(nullptr, lines, 6);
}
