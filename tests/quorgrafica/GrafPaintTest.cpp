#include "ChartHelpers.h"
#include "ImageHelpers.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GuiApplication.h"
#include "platform/graphics/ImageCanvas.h"

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>

using namespace quorgrafica;
using charttest::AddBox;
using charttest::At;
using charttest::Count;

namespace {

constexpr TColor Blue = 0xFF0000;
constexpr TColor Red = 0x0000FF;
constexpr TColor Green = 0x00FF00;
constexpr TColor White = 0xFFFFFF;
constexpr TColor Aqua = 0xFFFF00;

class Paint : public ::testing::Test {
protected:
    void SetUp() override { EnsureGuiApplication(); }

    // Draws the graph on a fresh white canvas of its page size.
    static QImage Render(clsGraf& graf, bool names = false, bool texts = false, bool flags = false,
                         TColor background = White) {
        TImageCanvas canvas(graf.PageWidth, graf.PageHeight);
        if (background != White) {
            canvas.Brush()->SetColor(background);
            canvas.FillRect(TRect{0, 0, graf.PageWidth, graf.PageHeight});
            graf.Draw(&canvas, false, names, texts, flags);
        } else {
            graf.Draw(&canvas, true, names, texts, flags);
        }
        return canvas.Image().copy();
    }

    static clsGraf* Page(clsGraf& graf, int width, int height) {
        graf.SetPage(width, height, 0, 0);
        graf.GridAlign = false;
        return &graf;
    }
};

} // namespace

TEST_F(Paint, LinkGeometryAndEndMarkers) {
    clsGraf graf;
    Page(graf, 300, 300);
    clsBox* upper = AddBox(graf, "clsBoxRectangle", "U", TRect{0, 0, 100, 50});
    clsBox* lower = AddBox(graf, "clsBoxRectangle", "L", TRect{0, 200, 100, 250});
    upper->AddLink(lower);
    QImage image = Render(graf);
    // Downward link at x 56 from y 50 to 200, a 6 x 6 red square at the start.
    EXPECT_EQ(Count(image, TRect{56, 60, 57, 190}, Blue), 130);
    EXPECT_EQ(At(image, 55, 120), White);
    EXPECT_EQ(At(image, 57, 120), White);
    EXPECT_EQ(Count(image, TRect{53, 47, 59, 53}, Red), 36);
    EXPECT_NE(At(image, 59, 49), Red);
    EXPECT_NE(At(image, 52, 49), Red);
    // A filled circle at the end, inside its 6 x 6 square and not at its corners.
    EXPECT_EQ(At(image, 56, 200), Blue);
    EXPECT_NE(At(image, 53, 197), Blue);
    EXPECT_EQ(At(image, 44, 120), White) << "no link back yet";

    // The link back runs 2 x LinkSize to the left, so the pair stays apart.
    lower->AddLink(upper);
    image = Render(graf);
    EXPECT_EQ(Count(image, TRect{44, 60, 45, 190}, Blue), 130);
    EXPECT_EQ(Count(image, TRect{41, 197, 47, 203}, Red), 36);
    EXPECT_EQ(At(image, 44, 50), Blue);

    // With alignment the ends snap to the character grid: x 56 -> 51, y 50 -> 51.
    lower->RemoveLink(upper);
    EXPECT_EQ(Count(Render(graf), TRect{0, 0, 300, 300}, Red), 0) << "both links are gone";
    upper->AddLink(lower);
    graf.SetPage(300, 300, 30, 30);
    graf.GridAlign = true;
    image = Render(graf);
    EXPECT_EQ(Count(image, TRect{51, 60, 52, 190}, Blue), 130);
    EXPECT_EQ(At(image, 56, 120), White);
    EXPECT_EQ(At(image, 51, 51), Red);
}

TEST_F(Paint, SideLinksUseTheMiddleOfTheEdgesAndOwnColours) {
    clsGraf graf;
    Page(graf, 400, 200);
    clsBox* left = AddBox(graf, "clsBoxRectangle", "A", TRect{10, 50, 110, 100});
    clsBox* right = AddBox(graf, "clsBoxRectangle", "B", TRect{250, 50, 350, 100});
    left->AddLink(right);
    right->AddLink(left);
    right->LinkLineColor = Green;
    right->LinkSrcColor = 0x00FFFF;
    right->LinkDstColor = 0xFF00FF;
    right->LinkSize = 4;
    QImage image = Render(graf);
    // A to B leaves the right edge 6 below the middle (75 + 6).
    EXPECT_EQ(Count(image, TRect{130, 81, 230, 82}, Blue), 100);
    // B to A leaves the left edge 8 above the middle, in B's colours.
    EXPECT_EQ(Count(image, TRect{130, 67, 230, 68}, Green), 100);
    EXPECT_EQ(Count(image, TRect{246, 63, 254, 71}, 0x00FFFF), 64);
    EXPECT_EQ(At(image, 110, 67), 0xFF00FF);
    EXPECT_EQ(At(image, 130, 75), White);
}

TEST_F(Paint, StateFlagsOnlyForFinishedComputations) {
    clsGraf graf;
    Page(graf, 300, 200);
    clsBox* box = AddBox(graf, "clsBoxRectangle", "F", TRect{100, 100, 200, 150});
    const TRect greenFlag{92, 86, 100, 91};
    const TRect redFlag{86, 101, 91, 109};

    box->ComputeState = 2;
    QImage image = Render(graf, false, false, true);
    EXPECT_EQ(Count(image, greenFlag, Green), greenFlag.Width() * greenFlag.Height());
    EXPECT_EQ(Count(image, TRect{100, 86, 101, 100}, 0), 14) << "the pole";
    EXPECT_EQ(Count(image, redFlag, Red), 0);
    EXPECT_EQ(Count(Render(graf, false, false, false), greenFlag, Green), 0)
        << "flags only when asked";

    box->ComputeState = 3;
    image = Render(graf, false, false, true);
    EXPECT_EQ(Count(image, redFlag, Red), redFlag.Width() * redFlag.Height());
    EXPECT_EQ(Count(image, greenFlag, Green), 0);
    EXPECT_EQ(Count(image, TRect{86, 100, 100, 101}, 0), 14) << "the lowered pole";

    for (int state : {0, 1}) {
        box->ComputeState = state;
        image = Render(graf, false, false, true);
        EXPECT_EQ(Count(image, TRect{70, 70, 100, 120}, White), 30 * 50) << state;
    }

    // A line draws no flag.
    clsGraf lines;
    Page(lines, 300, 200);
    AddBox(lines, "clsBoxLine", "L", TRect{100, 100, 200, 100})->ComputeState = 2;
    image = Render(lines, true, true, true);
    EXPECT_EQ(Count(image, greenFlag, Green), 0);
    EXPECT_EQ(Count(image, TRect{100, 100, 200, 101}, 0), 100);
    EXPECT_EQ(At(image, 200, 100), White) << "the end point is not painted";
}

TEST_F(Paint, NameAndTextCombinations) {
    // Renders one box showing `name` alone: the reference for what a
    // combination must look like.
    auto shown = [](const char* name, const char* text, bool names, bool texts) {
        clsGraf graf;
        Page(graf, 160, 120);
        clsBox* box = AddBox(graf, "clsBoxRectangle", name, TRect{10, 10, 150, 110});
        box->Text = text;
        box->FontName = "DejaVu Sans";
        box->FontSize = 12;
        return Render(graf, names, texts);
    };
    const QImage both = shown("A", "B", true, true);
    EXPECT_EQ(both, shown("A\nB", "", true, false));
    EXPECT_EQ(shown("A", "B", false, true), shown("B", "", true, false));
    EXPECT_EQ(shown("A", "B", true, false), shown("A", "ignored", true, false));
    EXPECT_EQ(shown("", "B", true, true), shown("\nB", "", true, false))
        << "an empty name still puts a line feed before the text";
    EXPECT_NE(both, shown("A", "", true, true));

    // Neither: the frame's inside is all fill colour; the text shows as font pixels.
    const QImage neither = shown("A", "B", false, false);
    EXPECT_EQ(Count(neither, TRect{12, 12, 148, 108}, Aqua), 136 * 96);
    EXPECT_GT(Count(both, TRect{12, 12, 148, 108}, 0), 20);
    // The shadow lies right of and below the frame.
    EXPECT_EQ(At(neither, 152, 60), 0x808080);
    EXPECT_EQ(At(neither, 80, 112), 0x808080);
    EXPECT_EQ(At(neither, 8, 60), White);
}

TEST_F(Paint, SelectionFrameSurroundsTheBox) {
    clsGraf graf;
    Page(graf, 300, 250);
    clsBox* box = AddBox(graf, "clsBoxRectangle", "S", TRect{100, 100, 200, 150});
    QImage image = Render(graf);
    EXPECT_EQ(Count(image, TRect{90, 90, 99, 160}, Blue), 0);
    graf.Selected = box;
    image = Render(graf);
    // 2 x ShadowWidth outside the frame, ShadowWidth pixels thick, in blue.
    EXPECT_EQ(At(image, 94, 125), Blue);
    EXPECT_EQ(At(image, 150, 94), Blue);
    EXPECT_EQ(At(image, 206, 125), Blue);
    EXPECT_EQ(At(image, 150, 156), Blue);
    EXPECT_EQ(At(image, 89, 125), White);
    EXPECT_EQ(At(image, 98, 125), White);
    // Lines are not framed even when selected.
    clsGraf lines;
    Page(lines, 300, 250);
    lines.Selected = AddBox(lines, "clsBoxLine", "L", TRect{100, 100, 200, 150});
    EXPECT_EQ(Count(Render(lines), TRect{0, 0, 300, 250}, Blue), 0);
}

TEST_F(Paint, PageEraseGridAndPictures) {
    clsGraf graf;
    Page(graf, 200, 100);
    graf.SetPage(200, 100, 10, 10);
    QImage image = Render(graf, false, false, false, Red);
    EXPECT_EQ(At(image, 150, 50), Red) << "without erase the page keeps what was there";
    EXPECT_EQ(At(Render(graf), 150, 55), White);
    graf.GridShow = true;
    image = Render(graf);
    EXPECT_EQ(At(image, 20, 55), graf.GridColor);
    EXPECT_EQ(At(image, 150, 55), White);

    // A picture covers the text area; a missing file leaves the fill colour.
    const auto file = std::filesystem::temp_directory_path() / "chart-picture-test.png";
    TBitmap green(8, 8);
    green.Canvas()->Brush()->SetColor(Green);
    green.Canvas()->FillRect(TRect{0, 0, 8, 8});
    ASSERT_TRUE(green.SaveToFile(AnsiString(file.string())));
    clsGraf pictures;
    Page(pictures, 200, 100);
    auto* picture =
        static_cast<clsBoxPicture*>(AddBox(pictures, "clsBoxPicture", "P", TRect{10, 10, 90, 90}));
    picture->ComputeState = 3;
    picture->PictureFile = file.string().c_str();
    image = Render(pictures, true, true, true);
    EXPECT_EQ(Count(image, TRect{10, 10, 90, 90}, Green), 80 * 80);
    EXPECT_EQ(At(image, 0, 12), Red) << "the flag stays visible";
    picture->PictureFile = "/nonexistent/picture.png";
    image = Render(pictures);
    EXPECT_EQ(At(image, 50, 50), Aqua);
    std::filesystem::remove(file);
}

TEST_F(Paint, FontsAndCanvasStateAfterPainting) {
    clsGraf graf;
    Page(graf, 200, 100);
    clsBox* first = AddBox(graf, "clsBoxRectangle", "A", TRect{0, 0, 50, 50});
    first->FontName = "DejaVu Serif";
    first->FontSize = 14;
    first->FontColor = Red;
    clsBox* second = AddBox(graf, "clsBoxRectangle", "B", TRect{60, 0, 110, 50});
    second->FontSize = 0;
    second->FontColor = Green;
    first->AddLink(second);
    TImageCanvas canvas(200, 100);
    canvas.Brush()->SetColor(0x123456);
    graf.Draw(&canvas, true, true, true, false);
    // The second box kept the face and size the first one set.
    EXPECT_EQ(canvas.Font()->Name(), "DejaVu Serif");
    EXPECT_EQ(canvas.Font()->Size(), 14);
    EXPECT_EQ(canvas.Font()->Color(), Green);
    EXPECT_EQ(canvas.Pen()->Color(), 0);
    EXPECT_FALSE(canvas.OpaqueText());
    // Links put the brush back as they found it.
    canvas.Brush()->SetColor(0x123456);
    first->DrawLinks(&canvas, &graf);
    EXPECT_EQ(canvas.Brush()->Color(), 0x123456);
    EXPECT_EQ(At(canvas.Image(), 52, 33), Red) << "the link's start marker";
    graf.Draw(nullptr, true, true, true, true);
}

TEST_F(Paint, FramesFromBadFilesPaintQuicklyAndSafely) {
    clsGraf graf;
    Page(graf, 200, 200);
    // A line far longer than the page still shows its visible part.
    AddBox(graf, "clsBoxLine", "Long", TRect{-1000000, -1000000, 1000000, 1000000});
    clsBox* huge = AddBox(graf, "clsBoxRectangle", "Huge", TRect{INT32_MIN, 150, INT32_MAX, 170});
    huge->LinkSize = INT32_MAX;
    huge->ShadowWidth = INT32_MAX;
    huge->ComputeState = 3;
    clsBox* target =
        AddBox(graf, "clsBoxRectangle", "T", TRect{INT32_MAX - 10, INT32_MIN, INT32_MAX, -5});
    huge->AddLink(target);
    target->AddLink(huge);
    graf.Selected = huge;
    const QImage image = Render(graf, true, true, true);
    EXPECT_EQ(At(image, 50, 50), 0);
    EXPECT_EQ(At(image, 120, 120), 0);
    EXPECT_EQ(At(image, 51, 50), White);
    EXPECT_EQ(image, Render(graf, true, true, true));
}

TEST_F(Paint, ClippedDrawingLeavesOutOnlyWhatLiesOutside) {
    clsGraf graf;
    Page(graf, 400, 300);
    // Far from the clipping: a big font and a red fill, both left in the
    // canvas for the boxes after it, a line, and a link into the clipping.
    clsBox* far = AddBox(graf, "clsBoxRectangle", "Lontano", TRect{300, 200, 380, 260});
    far->FontName = "DejaVu Serif";
    far->FontSize = 20;
    far->FillColor = Red;
    far->ComputeState = 2;
    AddBox(graf, "clsBoxLine", "Linea", TRect{250, 250, 390, 290});
    // Inside: keeps the canvas's font and brush colour.
    clsBox* near = AddBox(graf, "clsBoxRectangle", "Vicino", TRect{10, 10, 110, 70});
    near->Text = "Testo del box";
    near->FontName = "";
    near->FontSize = 0;
    near->FillColor = clDefault;
    near->ComputeState = 3;
    // Just outside the clipping, with a wide shadow and a selection frame
    // that reach into it.
    clsBox* edge = AddBox(graf, "clsBoxRectangle", "Bordo", TRect{160, 30, 220, 90});
    edge->ShadowWidth = 6;
    graf.Selected = edge;
    far->AddLink(near);
    near->AddLink(edge);

    TImageCanvas whole(400, 300);
    graf.Draw(&whole, true, true, true, true);
    const QImage all = whole.Image().copy();
    TImageCanvas part(400, 300);
    part.Brush()->SetColor(Green);
    part.FillRect(TRect{0, 0, 400, 300});
    const TRect clip{0, 0, 150, 120};
    part.SetClipRect(clip);
    graf.Draw(&part, true, true, true, true);
    const QImage clipped = part.Image().copy();

    int differing = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            const bool inside = x < clip.Right && y < clip.Bottom;
            if (inside ? clipped.pixel(x, y) != all.pixel(x, y) : At(clipped, x, y) != Green)
                ++differing;
        }
    EXPECT_EQ(differing, 0);
    // The inherited red fill and the selection frame reaching in are there.
    EXPECT_EQ(At(clipped, 100, 40), Red);
    EXPECT_GT(Count(clipped, TRect{140, 0, 150, 120}, Blue), 0);
}

TEST_F(Paint, RepaintsOnOneCanvasAreFreshDrawings) {
    // A canvas keeps fonts, strings laid out and shapes from one drawing to
    // the next: after every change to the boxes, drawing again on it gives
    // what a fresh canvas gives.
    clsGraf graf;
    Page(graf, 400, 240);
    clsBox* a = AddBox(graf, "clsBoxRectangle", "Primo", TRect{10, 10, 120, 60});
    a->Text = "Lettura dei movimenti";
    a->FontName = "DejaVu Sans";
    clsBox* b = AddBox(graf, "clsBoxRectangle", "Secondo", TRect{150, 10, 164, 20});
    b->Text = "Passo";
    b->FontName = "DejaVu Serif";
    clsBox* c = AddBox(graf, "clsBoxRectangle", "Terzo", TRect{10, 100, 200, 160});
    c->Text = "Calcolo del saldo\ndel condominio";
    c->FontName = "DejaVu Sans";
    c->FontSize = 14;
    c->FontColor = Red;
    c->ComputeState = 2;
    AddBox(graf, "clsBoxLine", "Linea", TRect{220, 100, 390, 230});
    a->AddLink(b);
    b->AddLink(c);
    c->AddLink(a);
    TImageCanvas reused(400, 240);
    auto check = [&](const char* step) {
        for (int time = 0; time < 3; ++time)
            graf.Draw(&reused, true, true, true, true);
        EXPECT_EQ(reused.Image(), Render(graf, true, true, true)) << step;
    };
    check("as built");
    c->FontSize = 9;
    check("a smaller font");
    b->FontName = "DejaVu Sans Mono";
    check("another face");
    a->FontColor = Blue;
    check("another colour");
    a->Text = "Scelta del condominio";
    b->Name = "Quarto";
    check("other texts");
    b->Frame = TRect{250, 150, 330, 200};
    check("a box moved");
    a->LinkSize = 5;
    c->LinkSize = 1;
    check("other link markers");
    graf.Selected = c;
    check("a selection");
}
