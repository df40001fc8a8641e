#include "graphics/DesignGrid.h"

#include "graphics/Frames.h"
#include "platform/graphics/Canvas.h"

#include <exception>

namespace {

int GridPenWidth(int i) {
    return 1 + (i % 5 == 0 ? 1 : 0) + (i % 10 == 0 ? 1 : 0);
}

} // namespace

void DrawGrid(TCanvas* canvas, int width, int height, int columns, int rows, TColor color) {
    if (!canvas || width <= 0 || height <= 0 || columns <= 0 || rows <= 0) return;
    TPen* pen = canvas->Pen();
    TColor oldColor = pen->Color();
    try {
        pen->SetColor(color);
        pen->SetMode(pmNotXor);
        for (int i = 0; i < columns; ++i) {
            int x = MulDiv(i, width, columns);
            if (i % 5 == 0) canvas->TextOut(x, 0, IntToStr(i));
            pen->SetWidth(GridPenWidth(i));
            DrawLine(canvas, x, 0, x, height);
        }
        for (int j = 0; j < rows; ++j) {
            int y = MulDiv(j, height, rows);
            if (j % 2 == 0) canvas->TextOut(0, y, IntToStr(j));
            pen->SetWidth(GridPenWidth(j));
            DrawLine(canvas, 0, y, width, y);
        }
    } catch (const std::exception&) {
    }
    pen->SetWidth(1);
    pen->SetMode(pmCopy);
    pen->SetColor(oldColor);
}
