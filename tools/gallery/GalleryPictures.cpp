#include "tools/gallery/GalleryPictures.h"

#include "platform/graphics/Bitmap.h"
#include "platform/gui/ImgList.h"
#include "tools/demoarchive/ChartOfAccounts.h"

#include <vector>

namespace gallery {
namespace {

// Left out of the icons: the list's transparent colour.
constexpr TColor kClear = RGB(255, 0, 255);

void Shape(TCanvas* c, TColor fill, TColor line) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(fill);
    c->Pen()->SetColor(line);
}

void Folder(TCanvas* c, TColor fill, TColor tab, TColor line) {
    Shape(c, tab, line);
    c->Polygon({{1, 3}, {6, 3}, {8, 5}, {8, 6}, {1, 6}});
    Shape(c, fill, line);
    c->Rectangle(1, 5, 15, 14);
    c->Pen()->SetColor(RGB(255, 255, 255));
    c->MoveTo(2, 6);
    c->LineTo(14, 6);
}

// A sheet with a dog-ear and lines of writing, marked with a coloured badge.
void Sheet(TCanvas* c, TColor badge) {
    Shape(c, RGB(255, 255, 255), RGB(96, 96, 96));
    c->Polygon({{2, 1}, {10, 1}, {13, 4}, {13, 15}, {2, 15}});
    c->MoveTo(10, 1);
    c->LineTo(10, 4);
    c->LineTo(13, 4);
    c->Pen()->SetColor(RGB(150, 170, 200));
    for (int y = 6; y <= 12; y += 2) {
        c->MoveTo(4, y);
        c->LineTo(y < 10 ? 11 : 8, y);
    }
    Shape(c, badge, RGB(64, 64, 64));
    c->Ellipse(8, 9, 16, 16);
}

void Coin(TCanvas* c) {
    Shape(c, RGB(110, 190, 90), RGB(40, 110, 40));
    c->Ellipse(1, 1, 15, 15);
    Shape(c, RGB(255, 255, 255), RGB(255, 255, 255));
    c->FillRect(Rect(7, 4, 9, 12));
    c->FillRect(Rect(4, 7, 12, 9));
}

void Safe(TCanvas* c) {
    Shape(c, RGB(90, 120, 170), RGB(40, 55, 90));
    c->Rectangle(1, 2, 15, 15);
    Shape(c, RGB(200, 210, 230), RGB(40, 55, 90));
    c->Ellipse(5, 5, 12, 12);
    c->Pen()->SetColor(RGB(40, 55, 90));
    c->MoveTo(8, 6);
    c->LineTo(8, 9);
    Shape(c, RGB(40, 55, 90), RGB(40, 55, 90));
    c->FillRect(Rect(3, 15, 5, 16));
    c->FillRect(Rect(11, 15, 13, 16));
}

void Leaf(TCanvas* c) {
    Shape(c, RGB(235, 240, 245), RGB(120, 130, 140));
    c->Rectangle(3, 2, 13, 14);
    Shape(c, RGB(230, 150, 60), RGB(170, 90, 30));
    c->Ellipse(5, 5, 11, 11);
}

} // namespace

void AddChartIcons(TCustomImageList* images) {
    using namespace demoarchive;
    for (int icon = 0; icon < kChartIcons; ++icon) {
        TBitmap bitmap(images->Width(), images->Height());
        TCanvas* c = bitmap.Canvas();
        c->Brush()->SetColor(kClear);
        c->FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
        switch (icon) {
        case iconCategoria:
            Folder(c, RGB(245, 200, 80), RGB(230, 175, 50), RGB(150, 105, 20));
            break;
        case iconSottocategoria:
            Folder(c, RGB(140, 185, 235), RGB(110, 160, 220), RGB(50, 90, 150));
            break;
        case iconSpesa:
            Sheet(c, RGB(215, 70, 60));
            break;
        case iconEntrata:
            Coin(c);
            break;
        case iconFondo:
            Safe(c);
            break;
        default:
            Leaf(c);
            break;
        }
        c->EndPaint();
        images->AddMasked(&bitmap, kClear);
    }
}

void DrawBannerTile(TBitmap* tile) {
    constexpr int size = 32;
    tile->SetSize(size, size);
    TCanvas* c = tile->Canvas();
    // Deep blue, lighter towards the middle of the tile, so that rows of
    // tiles read as soft horizontal bands.
    for (int y = 0; y < size; ++y) {
        const int lift = y < size / 2 ? y : size - 1 - y;
        c->Pen()->SetColor(RGB(22 + lift * 2, 52 + lift * 3, 110 + lift * 4));
        c->MoveTo(0, y);
        c->LineTo(size, y);
    }
    // Fine diagonals that meet across the tile's edges.
    c->Pen()->SetColor(RGB(70, 110, 175));
    for (int start = -size; start < size; start += 8) {
        c->MoveTo(start, size);
        c->LineTo(start + size, 0);
    }
    c->EndPaint();
}

} // namespace gallery
