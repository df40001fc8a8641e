#include "graphics/Tiling.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"

#include <exception>

void PaintPicture(TPicture* picture, TCanvas* canvas) {
    if (!picture || !canvas || !picture->Graphic()) return;
    try {
        const int w = picture->Width(), h = picture->Height();
        if (w <= 0 || h <= 0) return;
        const TRect clip = canvas->ClipRect();
        // Columns outer; the first tile starts on a multiple of the size,
        // rounding toward zero.
        for (int x = (clip.Left / w) * w; x < clip.Right; x += w)
            for (int y = (clip.Top / h) * h; y < clip.Bottom; y += h)
                canvas->Draw(x, y, picture->Graphic());
    } catch (const std::exception&) {
    }
}
