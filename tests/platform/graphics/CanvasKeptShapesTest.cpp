// What a canvas keeps from one drawing to the next (fonts, strings laid out
// as glyphs, the shape of an ellipse) must never show: whatever came
// before, the pixels are those the toolkit, or a fresh canvas, gives.

#include "platform/core/Encoding.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/EllipseShape.h"
#include "platform/graphics/ImageCanvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The toolkit's own drawing of text in the font and its colour, the top of
// the text's cell at (x, y).
void ToolkitText(QImage& image, const TFont& font, int x, int y, const std::string& text) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    const QFont qfont = font.ToQFont();
    p.setFont(qfont);
    p.setPen(ToQColor(font.Color()));
    p.drawText(QPoint(x, y + QFontMetrics(qfont).ascent()),
               QString::fromStdU16String(Cp1252ToUtf16(text)));
}

// At the resolution of an image canvas, which sets where tabs stop.
QImage Filled(int width, int height, TColor colour, int dpi = 96) {
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(ToQColor(colour));
    return image;
}

QImage White(int width, int height) {
    return Filled(width, height, clWhite);
}

// Every character, sixteen to a string, and strings the toolkit gives a
// meaning of their own: tabs, line breaks, control characters, soft hyphens.
std::vector<std::string> Samples() {
    std::vector<std::string> samples = {"Passo", "Box1012", "Lettura dei movimenti",
                                        " spazi  doppi ", "a\tb", "riga\ra capo", "riga\nnuova",
                                        "x\x01y\x1F", "sil\xADlaba", "fi fl ffi"};
    for (int first = 0x20; first < 0x100; first += 16) {
        std::string s = "W";
        for (int c = first; c < first + 16; ++c)
            s += static_cast<char>(c);
        samples.push_back(s);
    }
    return samples;
}

} // namespace

TEST(KeptShapes, TextDrawnAgainIsWhatTheToolkitDraws) {
    const std::vector<std::string> samples = Samples();
    const int rows = static_cast<int>(samples.size());
    // A face that is not installed draws with the system's fallback. The
    // Windows tests' offscreen font folder has none to offer (Qt then draws
    // boxes), so there the missing face is left to the systems that have one.
#ifdef _WIN32
    for (const char* face : {"DejaVu Sans", "DejaVu Serif", "Liberation Mono"})
#else
    for (const char* face : {"DejaVu Sans", "DejaVu Serif", "Liberation Mono", "Nessun carattere"})
#endif
        for (int height : {-6, -13, -20, -31})
            for (TFontStyles style : {0, fsBold | fsItalic, fsUnderline | fsStrikeOut}) {
                TImageCanvas canvas(3 * 700, rows * 40);
                canvas.Font()->SetName(face);
                canvas.Font()->SetHeight(height);
                canvas.Font()->SetStyle(style);
                canvas.Brush()->SetStyle(bsClear);
                QImage expected = White(3 * 700, rows * 40);
                // The first drawing of a string, the one that lays it out,
                // and one from what was laid out.
                for (int time = 0; time < 3; ++time)
                    for (int i = 0; i < rows; ++i) {
                        canvas.TextOut(700 * time + 3, 40 * i + 2, samples[i]);
                        ToolkitText(expected, *canvas.Font(), 700 * time + 3, 40 * i + 2,
                                    samples[i]);
                    }
                EXPECT_EQ(canvas.Image(), expected) << face << " " << height << " " << style;
            }
}

TEST(KeptShapes, TextDrawnAgainAtAnotherResolution) {
    const std::vector<std::string> samples = Samples();
    const int rows = static_cast<int>(samples.size());
    TImageCanvas canvas(3 * 900, rows * 50, 144);
    canvas.Font()->SetName("DejaVu Sans");
    canvas.Font()->SetSize(10);
    canvas.Brush()->SetStyle(bsClear);
    QImage expected = Filled(3 * 900, rows * 50, clWhite, 144);
    for (int time = 0; time < 3; ++time)
        for (int i = 0; i < rows; ++i) {
            canvas.TextOut(900 * time + 3, 50 * i + 2, samples[i]);
            ToolkitText(expected, *canvas.Font(), 900 * time + 3, 50 * i + 2, samples[i]);
        }
    EXPECT_EQ(canvas.Image(), expected);
}

TEST(KeptShapes, TextFollowsEveryChangeOfFontAndColour) {
    // More fonts than a canvas keeps, taken in turn, in changing colours:
    // each string shows in the font and colour of its own drawing.
    struct Font {
        const char* face;
        int height;
        TFontStyles style;
    };
    std::vector<Font> fonts;
    for (const char* face : {"DejaVu Sans", "DejaVu Serif"})
        for (int height : {-9, -12, -15})
            for (TFontStyles style : {0, static_cast<int>(fsBold)})
                fonts.push_back({face, height, style});
    const TColor colours[] = {clBlack, clRed, clBlue, 0x00A000};
    TImageCanvas canvas(900, 400);
    canvas.Brush()->SetStyle(bsClear);
    QImage expected = White(900, 400);
    int n = 0;
    for (int round = 0; round < 3; ++round)
        for (const Font& font : fonts) {
            canvas.Font()->SetName(font.face);
            canvas.Font()->SetHeight(font.height);
            canvas.Font()->SetStyle(font.style);
            canvas.Font()->SetColor(colours[n % 4]);
            const int x = 5 + (n % 8) * 110, y = 5 + (n / 8) * 40;
            canvas.TextOut(x, y, "Passo 12");
            ToolkitText(expected, *canvas.Font(), x, y, "Passo 12");
            const QFontMetrics metrics(canvas.Font()->ToQFont());
            EXPECT_EQ(canvas.TextWidth("Passo 12"), metrics.horizontalAdvance("Passo 12"))
                << font.face << " " << font.height;
            EXPECT_EQ(canvas.TextHeight("M"), metrics.height());
            ++n;
        }
    EXPECT_EQ(canvas.Image(), expected);
}

TEST(KeptShapes, AnEllipseMovedIsTheEllipseMadeInPlace) {
    // A canvas paints small ellipses from the shape of their size made at
    // (0, 0): it must be the shape made where the ellipse stands.
    auto moved = [](const TEllipseShape& shape, int dx, int dy) {
        TEllipseShape out = shape;
        for (QRect& r : out.inside)
            r.translate(dx, dy);
        for (QPoint& p : out.outline)
            p += QPoint(dx, dy);
        return out;
    };
    int checked = 0;
    for (int w = 1; w <= 80; w += (w < 20 ? 1 : 7))
        for (int h = 1; h <= 80; h += (h < 20 ? 1 : 5))
            for (bool outlined : {false, true}) {
                TEllipseShape origin;
                origin.Make(TRect{0, 0, w, h}, outlined);
                for (TPoint at : {TPoint{-20000, 7}, TPoint{-1, -1}, TPoint{13, 2999},
                                  TPoint{1279, 799}, TPoint{39999, -20000}, TPoint{40000, 40000}}) {
                    const TRect r{at.x, at.y, at.x + w, at.y + h};
                    ASSERT_TRUE(TEllipseShape::Movable(r));
                    TEllipseShape here;
                    here.Make(r, outlined);
                    const TEllipseShape there = moved(origin, at.x, at.y);
                    ASSERT_EQ(here.inside, there.inside) << w << "x" << h << " at " << at.x;
                    ASSERT_EQ(here.outline, there.outline) << w << "x" << h << " at " << at.x;
                    ++checked;
                }
            }
    EXPECT_GT(checked, 1000);
    EXPECT_FALSE(TEllipseShape::Movable(TRect{0, 0, 81, 10}));
    EXPECT_FALSE(TEllipseShape::Movable(TRect{40001, 0, 40010, 10}));
}

TEST(KeptShapes, EllipsesAfterOthersAreThoseOfAFreshCanvas) {
    struct Shape {
        TRect box;
        TPenStyle pen;
        TBrushStyle brush;
        TPenMode mode;
    };
    const std::vector<Shape> shapes = {
        {{4, 4, 10, 10}, psSolid, bsSolid, pmCopy},     {{4, 4, 10, 10}, psClear, bsSolid, pmCopy},
        {{3, 5, 33, 20}, psSolid, bsSolid, pmCopy},     {{3, 5, 33, 20}, psSolid, bsClear, pmXor},
        {{2, 2, 60, 60}, psSolid, bsCross, pmCopy},     {{0, 0, 95, 40}, psSolid, bsSolid, pmCopy},
        {{4, 4, 10, 10}, psSolid, bsSolid, pmNotXor},   {{10, 3, 11, 40}, psSolid, bsSolid, pmCopy},
        {{1, 1, 90, 90}, psClear, bsSolid, pmCopy},     {{6, 6, 12, 12}, psSolid, bsSolid, pmCopy},
    };
    const int cell = 100;
    TImageCanvas all(cell * static_cast<int>(shapes.size()), cell);
    all.Brush()->SetColor(clSilver);
    all.FillRect(TRect{0, 0, all.Image().width(), cell});
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const Shape& s = shapes[i];
        const int left = cell * static_cast<int>(i);
        all.Pen()->SetStyle(s.pen);
        all.Pen()->SetMode(s.mode);
        all.Pen()->SetColor(clBlue);
        all.Brush()->SetColor(clYellow);
        all.Brush()->SetStyle(s.brush);
        all.Ellipse(s.box.Left + left, s.box.Top, s.box.Right + left, s.box.Bottom);

        TImageCanvas fresh(cell * static_cast<int>(shapes.size()), cell);
        fresh.Brush()->SetColor(clSilver);
        fresh.FillRect(TRect{0, 0, fresh.Image().width(), cell});
        fresh.Pen()->SetStyle(s.pen);
        fresh.Pen()->SetMode(s.mode);
        fresh.Pen()->SetColor(clBlue);
        fresh.Brush()->SetColor(clYellow);
        fresh.Brush()->SetStyle(s.brush);
        fresh.Ellipse(s.box.Left + left, s.box.Top, s.box.Right + left, s.box.Bottom);
        const QRect area(left, 0, cell, cell);
        EXPECT_EQ(all.Image().copy(area), fresh.Image().copy(area)) << "ellipse " << i;
        EXPECT_NE(fresh.Image().copy(area), Filled(cell, cell, clSilver)) << "ellipse " << i;
    }
}

TEST(KeptShapes, EllipsesPaintExactlyTheirShape) {
    // However a canvas gets an ellipse onto the image (one made where it
    // stands, one moved, one image of it drawn at once), the pixels are
    // those of the shape: the outline in the pen's colour, the inside in
    // the brush's, nothing else touched.
    struct Case {
        TRect box;
        TPenStyle pen;
        TBrushStyle brush;
    };
    const Case cases[] = {
        {{4, 4, 10, 10}, psSolid, bsSolid},   {{4, 4, 10, 10}, psSolid, bsSolid},
        {{-3, 20, 9, 29}, psSolid, bsSolid},  {{30, -2, 37, 5}, psSolid, bsClear},
        {{40, 10, 52, 30}, psClear, bsSolid}, {{60, 5, 61, 6}, psSolid, bsSolid},
        {{55, 40, 155, 90}, psSolid, bsSolid}, {{4, 40, 44, 52}, psDot, bsSolid},
        {{90, 2, 100, 8}, psSolid, bsSolid},  {{118, 50, 135, 67}, psSolid, bsSolid},
    };
    for (TColor pen : {clBlue, clRed})
        for (const Case& c : cases) {
            TImageCanvas canvas(120, 60);
            canvas.Brush()->SetColor(clSilver);
            canvas.FillRect(TRect{0, 0, 120, 60});
            // Another ellipse first, so that whatever the canvas keeps is
            // that of another shape or other colours.
            canvas.Pen()->SetColor(clGreen);
            canvas.Brush()->SetColor(clRed);
            canvas.Ellipse(100, 50, 106, 56);
            canvas.Brush()->SetColor(clSilver);
            canvas.FillRect(TRect{100, 50, 106, 56});
            canvas.Pen()->SetColor(pen);
            canvas.Pen()->SetStyle(c.pen);
            canvas.Brush()->SetColor(clYellow);
            canvas.Brush()->SetStyle(c.brush);
            canvas.Ellipse(c.box.Left, c.box.Top, c.box.Right, c.box.Bottom);

            TEllipseShape shape;
            shape.Make(c.box, c.pen != psClear);
            QImage expected = Filled(120, 60, clSilver);
            if (c.brush != bsClear)
                for (const QRect& r : shape.inside)
                    for (int y = r.top(); y <= r.bottom(); ++y)
                        for (int x = r.left(); x <= r.right(); ++x)
                            if (expected.valid(x, y)) expected.setPixelColor(x, y, ToQColor(clYellow));
            for (const QPoint& p : shape.outline)
                if (expected.valid(p)) expected.setPixelColor(p, ToQColor(pen));
            EXPECT_EQ(canvas.Image(), expected)
                << c.box.Left << "," << c.box.Top << " " << c.box.Right - c.box.Left << "x"
                << c.box.Bottom - c.box.Top;
        }
}
