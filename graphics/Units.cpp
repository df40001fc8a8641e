#include "graphics/Units.h"

#include "platform/core/Types.h"
#include "platform/graphics/Canvas.h"

int DmmToPixels(TCanvas* canvas, int tenthsOfMm) {
    if (!canvas) return 0;
    return MulDiv(tenthsOfMm, canvas->Font()->PixelsPerInch(), 254);
}

int MmToPixels(TCanvas* canvas, int mm) {
    return DmmToPixels(canvas, mm * 10);
}
