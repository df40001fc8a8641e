#include "Probe.h"
#include "graphics/Clsbarcode.h"
#include "graphics/Utilitiesgrafiche.h"
#include "platform/graphics/ImageCanvas.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

using quorbase::clsString;

namespace {

std::vector<int> Bytes(const clsString& s) {
    std::vector<int> out;
    for (int i = 0; i < s.Length(); ++i)
        out.push_back(static_cast<unsigned char>(s.CStr()[i]));
    return out;
}

// Widths of the alternating runs of black and white along a row, from x0
// until the first pixel that is neither.
std::vector<int> Runs(const TCanvas& c, int x0, int y) {
    std::vector<int> runs;
    TColor current = c.Pixels(x0, y);
    int length = 0;
    for (int x = x0;; ++x) {
        TColor p = c.Pixels(x, y);
        if (p != clBlack && p != clWhite) break;
        if (p != current) {
            runs.push_back(length);
            length = 0;
            current = p;
        }
        ++length;
    }
    runs.push_back(length);
    return runs;
}

// The element widths Paint should produce for a code.
std::vector<int> Expected(clsBarCodeEAN39& bc, int narrow, int wide) {
    std::vector<int> out;
    for (int index : Bytes(bc.Encode())) {
        std::uint32_t p = bc.Pattern[index == 255 ? 0 : index];
        for (int j = 0; j < 10; ++j)
            out.push_back((p >> j) & 1 ? wide : narrow);
    }
    return out;
}

bool HaveZbar() {
    return std::system("command -v zbarimg >/dev/null 2>&1") == 0;
}

std::string Decode(const QString& file) {
    std::string cmd = "zbarimg --raw -q '" + file.toStdString() + "' 2>/dev/null";
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) return "<no zbarimg>";
    std::string out;
    char buf[256];
    while (fgets(buf, sizeof buf, pipe))
        out += buf;
    pclose(pipe);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

} // namespace

TEST(Barcode, EncodesIndexesBetweenStartAndStop) {
    clsBarCodeEAN39 bc;
    ASSERT_NE(bc.Pattern, nullptr);
    EXPECT_EQ(bc.Pattern[0], 0x052u);
    EXPECT_EQ(bc.Pattern[1], 0x058u);
    EXPECT_EQ(bc.Pattern[11], 0x121u);
    // Every symbol: three wide elements of nine, a narrow gap, all different.
    std::set<std::uint32_t> seen;
    for (int i = 0; i < clsBarCodeEAN39::kSymbols; ++i) {
        std::uint32_t p = bc.Pattern[i];
        EXPECT_EQ(__builtin_popcount(p & 0x1FF), 3) << i;
        EXPECT_EQ(p & 0x200, 0u) << i;
        seen.insert(p);
    }
    EXPECT_EQ(seen.size(), 44u);

    EXPECT_TRUE(Bytes(bc.Encode()) == (std::vector<int>{255, 255}));
    bc.Data = "123";
    EXPECT_EQ(Bytes(bc.Encode()), (std::vector<int>{255, 2, 3, 4, 255}));
    bc.Data = "09AZ-. $/+%";
    EXPECT_EQ(Bytes(bc.Encode()),
              (std::vector<int>{255, 1, 10, 11, 36, 37, 38, 39, 40, 41, 42, 43, 255}));
    // Lower case is read as upper case; anything else outside the 43 is left out.
    bc.Data = "ab#c\xE8!*z";
    EXPECT_EQ(Bytes(bc.Encode()), (std::vector<int>{255, 11, 12, 13, 36, 255}));
    EXPECT_STREQ(bc.EncodedText().CStr(), "ABCZ");
    EXPECT_EQ(clsBarCodeEAN39::IndexOf('*'), -1);
    EXPECT_EQ(clsBarCodeEAN39::IndexOf('\0'), -1);
}

TEST(Barcode, ElementsFillTheWidthExactly) {
    TImageCanvas c(800, 120);
    c.Brush()->SetColor(clSilver);
    c.FillRect(Rect(0, 0, 800, 120));
    clsBarCodeEAN39 bc;
    bc.Data = "123";
    // W = 765 - 2 x 5 = 755, five symbols: narrow 10, wide 27, 151 per symbol.
    bc.Paint(&c, Rect(5, 4, 770, 104), true, 4, 5, 8, 6);
    const int x0 = 10, y0 = 8;
    EXPECT_EQ(Runs(c, x0, y0 + 1), Expected(bc, 10, 27));
    EXPECT_EQ(c.Pixels(x0 - 1, y0 + 1), clSilver);
    EXPECT_EQ(c.Pixels(x0 + 754, y0 + 1), clWhite); // the last gap
    EXPECT_EQ(c.Pixels(x0 + 755, y0 + 1), clSilver);
    EXPECT_EQ(c.Pixels(x0, y0 - 1), clSilver);

    // Paint leaves the caption size and a white brush.
    EXPECT_EQ(c.Font()->Size(), 6);
    EXPECT_EQ(c.Brush()->Color(), clWhite);

    // The bars stop above a row of labels and a row of captions.
    c.Font()->SetSize(6);
    const int hC = c.TextHeight("X");
    c.Font()->SetSize(8);
    const int hT = c.TextHeight("X");
    const int yB = y0 + 92 - hT - hC;
    EXPECT_EQ(c.Pixels(x0, yB - 1), clBlack);
    EXPECT_NE(c.Pixels(x0, yB), clBlack);
    // Each data character is labelled under its own symbol, start and stop are not.
    for (int k = 0; k < 5; ++k) {
        int ink = Ink(c, x0 + 151 * k, yB, x0 + 151 * (k + 1), yB + hT);
        if (k == 0 || k == 4)
            EXPECT_EQ(ink, 0) << k;
        else
            EXPECT_GT(ink, 0) << k;
    }
    // No captions: the caption row stays untouched.
    EXPECT_EQ(CountNot(c, 0, yB + hT, 800, 120, clSilver), 0);
    // An empty text draws start and stop only, without labels.
    TImageCanvas e(400, 120);
    e.Brush()->SetColor(clSilver);
    e.FillRect(Rect(0, 0, 400, 120));
    clsBarCodeEAN39 empty;
    empty.Paint(&e, Rect(0, 0, 302, 100), true, 0, 0, 8, 6);
    EXPECT_EQ(Runs(e, 0, 1), Expected(empty, 10, 27));
    EXPECT_EQ(CountNot(e, 0, 100 - hT - hC, 400, 120, clSilver), 0);

    // A space is encoded and labelled with a white cell of its own.
    TImageCanvas s(800, 120);
    s.Brush()->SetColor(clSilver);
    s.FillRect(Rect(0, 0, 800, 120));
    clsBarCodeEAN39 sp;
    sp.Data = "A B";
    sp.Paint(&s, Rect(0, 0, 755, 100), true, 0, 0, 8, 6);
    const int yS = 100 - hT - hC;
    EXPECT_EQ(Ink(s, 151 * 2, yS, 151 * 3, yS + hT), 0);
    EXPECT_GT(CountColor(s, 151 * 2, yS, 151 * 3, yS + hT, clWhite), 0);
    EXPECT_GT(Ink(s, 151, yS, 151 * 2, yS + hT), 0);
}

TEST(Barcode, CaptionsLeftAndRight) {
    auto render = [](const char* captions) {
        auto c = std::make_unique<TImageCanvas>(420, 120);
        clsBarCodeEAN39 bc;
        bc.Data = "AB";
        bc.Captions = captions;
        bc.Paint(c.get(), Rect(0, 0, 400, 100), true, 5, 10, 8, 7);
        return c;
    };
    auto both = render("QWE\nRTY");
    auto same = render("QWE");
    auto right = render("ZZZZ\nQWE");
    auto none = render("");
    TImageCanvas& b = *both;
    b.Font()->SetSize(7);
    const int hC = b.TextHeight("X");
    const int wQ = b.TextWidth("QWE");
    const int y = 5 + 90 - hC;
    // The left caption starts at x0, the right one ends at x0 + W.
    EXPECT_GE(FirstInkColumn(b, 0, y, 420, y + hC), 10);
    EXPECT_LT(FirstInkColumn(b, 0, y, 420, y + hC), 14);
    EXPECT_LE(LastInkColumn(b, 0, y, 420, y + hC), 390);
    EXPECT_GT(LastInkColumn(b, 0, y, 420, y + hC), 385);
    EXPECT_EQ(Ink(*none, 0, y, 420, y + hC), 0);
    // Without a line feed the same text stands at both ends.
    for (int yy = y; yy < y + hC; ++yy) {
        for (int x = 10; x < 10 + wQ; ++x)
            ASSERT_EQ(same->Pixels(x, yy), b.Pixels(x, yy));
        for (int x = 390 - wQ; x < 390; ++x)
            ASSERT_EQ(same->Pixels(x, yy), right->Pixels(x, yy));
    }
}

TEST(Barcode, MillimetresUseTheDeviceResolution) {
    TImageCanvas c(1000, 500, 600);
    clsBarCodeEAN39 bc;
    // 40 mm at 24 pixels per mm: W = 960, narrow MulDiv(960, 10, 302) = 32.
    bc.Paint(&c, Rect(0, 0, 40, 20), false, 0, 0, 8, 6);
    std::vector<int> runs = Runs(c, 0, 5);
    ASSERT_GE(runs.size(), 3u);
    EXPECT_EQ(runs[0], 32);
    EXPECT_EQ(runs[1], MulDiv(32, 27, 10));
    // Margins are millimetres too: 2 mm move the bars 48 pixels.
    TImageCanvas m(1000, 500, 600);
    bc.Paint(&m, Rect(0, 0, 44, 20), false, 1, 2, 8, 6);
    EXPECT_EQ(m.Pixels(47, 30), clWhite);
    EXPECT_EQ(m.Pixels(48, 30), clBlack);
    EXPECT_EQ(m.Pixels(48, 23), clWhite);
    EXPECT_EQ(m.Pixels(48, 24), clBlack);
}

TEST(Barcode, ScannersReadWhatTheLabelsShow) {
    if (!HaveZbar()) GTEST_SKIP() << "zbarimg is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        const char* data;
        const char* read;
    };
    const Case cases[] = {
        {"0123456789", "0123456789"},
        {"ABCDEFGHIJKLM", "ABCDEFGHIJKLM"},
        {"NOPQRSTUVWXYZ", "NOPQRSTUVWXYZ"},
        {"-. $/+%", "-. $/+%"},
        {"CODE-39 $1.50/PZ+5%", "CODE-39 $1.50/PZ+5%"},
        {"lotto42b", "LOTTO42B"},
        {"A#B!C\xE8"
         "9",
         "ABC9"},
    };
    int file = 0;
    for (const Case& t : cases) {
        for (int narrow : {2, 3, 4}) {
            clsBarCodeEAN39 bc;
            bc.Data = t.data;
            const int n = bc.Encode().Length();
            const int W = n * 151 * narrow / 10 + 1;
            const int quiet = 12 * narrow;
            TImageCanvas c(W + 2 * quiet, 110);
            bc.Paint(&c, Rect(0, 0, W + 2 * quiet, 100), true, 5, quiet, 8, 6);
            QString path = QDir(dir.path()).filePath(QString("bc%1.png").arg(file++));
            ASSERT_TRUE(c.SaveToFile(AnsiString(path.toStdString())));
            EXPECT_EQ(Decode(path), t.read) << t.data << " narrow " << narrow;
        }
    }

    // Through the text layout, in a box 260 pixels wide.
    TImageCanvas c(300, 80);
    TextDraw(&c, "Ab-12", Rect(20, 10, 280, 70), tsBarCode | tsFrame, 20, 2, 1, 1, false, 0, clGray,
             clWhite);
    QString path = QDir(dir.path()).filePath("layout.png");
    ASSERT_TRUE(c.SaveToFile(AnsiString(path.toStdString())));
    EXPECT_EQ(Decode(path), "AB-12");
}

TEST(Barcode, LayoutFillsTheBoxBeforeTheBars) {
    TImageCanvas c(340, 100);
    const int h = c.TextHeight("M");
    // W = 314: narrow 5, wide 14, four symbols of 77 end at 13 + 308.
    const int hgt = TextDraw(&c, "12", Rect(10, 10, 330, 90), tsBarCode | tsFrame, 3, 2, 1, 1,
                             false, 0, clGray, clYellow);
    EXPECT_EQ(hgt, h + 4);
    // The box keeps its colour where no bar or label stands: past the last
    // symbol, up to the inner box's right edge.
    EXPECT_EQ(c.Pixels(320, 50), clWhite); // the last gap
    EXPECT_EQ(c.Pixels(321, 50), clYellow);
    EXPECT_EQ(c.Pixels(326, 50), clYellow);
    EXPECT_EQ(c.Pixels(327, 50), clWhite);
    EXPECT_EQ(c.Pixels(13, 50), clBlack); // the start bar
    EXPECT_EQ(c.Pixels(10, 50), clBlack); // the frame
    EXPECT_EQ(c.Pixels(330, 50), clBlack);
}
