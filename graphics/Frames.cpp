#include "graphics/Frames.h"

#include "platform/graphics/Canvas.h"

#include <exception>

void MoveRect(TRect& rect, int dx, int dy) {
    rect.Left += dx;
    rect.Right += dx;
    rect.Top += dy;
    rect.Bottom += dy;
}

void DrawLine(TCanvas* canvas, int x1, int y1, int x2, int y2) {
    if (!canvas) return;
    try {
        canvas->MoveTo(x1, y1);
        canvas->LineTo(x2, y2);
    } catch (const std::exception&) {
    }
}

void DrawFrame(TCanvas* canvas, const TRect& rect, TColor color, int width) {
    if (!canvas) return;
    try {
        TPen* pen = canvas->Pen();
        TColor oldColor = pen->Color();
        int oldWidth = pen->Width();
        pen->SetColor(color);
        pen->SetWidth(width);
        canvas->Polyline({{rect.Left, rect.Top},
                          {rect.Right, rect.Top},
                          {rect.Right, rect.Bottom},
                          {rect.Left, rect.Bottom},
                          {rect.Left, rect.Top}});
        pen->SetColor(oldColor);
        pen->SetWidth(oldWidth);
    } catch (const std::exception&) {
    }
}

namespace {

// The four sides from the top-left corner clockwise, each drawn as DrawLine
// draws it, in one call; the pen is left where the last side ends.
void DrawRing(TCanvas* canvas, int l, int t, int r, int b) {
    const TPoint ring[] = {{l, t}, {r, t}, {r, b}, {l, b}, {l, t}};
    try {
        canvas->Polyline(ring, 5);
    } catch (const std::exception&) {
    }
    canvas->MoveTo(l, t);
}

// clDefault keeps the brush's own colour.
void FillWith(TCanvas* canvas, TColor color, const TRect& r) {
    if (color != clDefault) canvas->Brush()->SetColor(color);
    canvas->FillRect(r);
}

} // namespace

void DrawSmartFrame(TCanvas* canvas, int Style, int L, int T, int R, int B, int SX, int SY, int W,
                    int ShadowColor, int BackColor) {
    if (!canvas || (Style & tsFrameMask) == 0) return;
    try {
        TBrush* brush = canvas->Brush();
        TColor oldBrush = brush->Color();
        if (BackColor != clNone) FillWith(canvas, BackColor, TRect{L, T, R + 1, B + 1});

        // Each strip grows into the corner of a neighbouring shadow and
        // stops short of a side without one.
        const bool sl = Style & tsShadowLeft, sr = Style & tsShadowRight;
        const bool st = Style & tsShadowTop, sb = Style & tsShadowBottom;
        const int t2 = st ? T - W : T + W, b2 = sb ? B + W : B - W;
        const int l2 = sl ? L - W : L + W, r2 = sr ? R + W : R - W;
        if (sl) FillWith(canvas, ShadowColor, TRect{L - W, t2, L, b2});
        if (sr) FillWith(canvas, ShadowColor, TRect{R, t2, R + W, b2});
        if (st) FillWith(canvas, ShadowColor, TRect{l2, T - W, r2, T});
        if (sb) FillWith(canvas, ShadowColor, TRect{l2, B, r2, B + W});
        brush->SetColor(oldBrush);

        static constexpr int kBits[2][4] = {{tsTop, tsRight, tsBottom, tsLeft},
                                            {tsTop2, tsRight2, tsBottom2, tsLeft2}};
        static constexpr int kRing[2] = {tsTop | tsRight | tsBottom | tsLeft,
                                         tsTop2 | tsRight2 | tsBottom2 | tsLeft2};
        for (int k = 0; k < 2; ++k) {
            const int dx = k * SX, dy = k * SY;
            if ((Style & kRing[k]) == kRing[k]) {
                DrawRing(canvas, L + dx, T + dy, R - dx, B - dy);
                continue;
            }
            if (Style & kBits[k][0]) DrawLine(canvas, L + dx, T + dy, R - dx, T + dy);
            if (Style & kBits[k][1]) DrawLine(canvas, R - dx, T + dy, R - dx, B - dy);
            if (Style & kBits[k][2]) DrawLine(canvas, R - dx, B - dy, L + dx, B - dy);
            if (Style & kBits[k][3]) DrawLine(canvas, L + dx, B - dy, L + dx, T + dy);
        }

        if (Style & tsRaised) {
            TPen* pen = canvas->Pen();
            TColor oldPen = pen->Color();
            pen->SetColor(0x808080);
            DrawLine(canvas, L + 1, B - 1, R - 1, B - 1);
            DrawLine(canvas, R - 1, T + 1, R - 1, B - 1);
            pen->SetColor(0xFFFFFF);
            DrawLine(canvas, L + 1, T + 1, R - 1, T + 1);
            DrawLine(canvas, L + 1, T + 1, L + 1, B - 1);
            pen->SetColor(oldPen);
        }
    } catch (const std::exception&) {
    }
}

void DrawSmartFrame(TCanvas* canvas, int Style, TRect& rect, int SpacingX, int SpacingY,
                    int ShadowWidth, int ShadowColor, int BackColor) {
    DrawSmartFrame(canvas, Style, rect.Left, rect.Top, rect.Right, rect.Bottom, SpacingX, SpacingY,
                   ShadowWidth, ShadowColor, BackColor);
}

namespace {

bool CornerIn(int left, int top, int right, int bottom, int x, int y) {
    return left <= x && x < right && top <= y && y < bottom;
}

} // namespace

bool InsideRect(const int aLeft, const int aTop, const int aRight, const int aBottom,
                const int bLeft, const int bTop, const int bRight, const int bBottom) {
    return CornerIn(aLeft, aTop, aRight, aBottom, bLeft, bTop) ||
           CornerIn(bLeft, bTop, bRight, bBottom, aLeft, aTop);
}

bool InsideRect(const TRect& a, const TRect& b) {
    return InsideRect(a.Left, a.Top, a.Right, a.Bottom, b.Left, b.Top, b.Right, b.Bottom);
}

bool InsideRect(const TRect& r, int x, int y) {
    return r.Left <= x && x < r.Right && r.Top <= y && y <= r.Bottom;
}

void SelectColors(TCanvas* canvas, TColor penColor, TColor brushColor, TColor fontColor,
                  int penWidth) {
    if (!canvas) return;
    try {
        canvas->Pen()->SetStyle(psSolid);
        canvas->Pen()->SetColor(penColor);
        canvas->Pen()->SetWidth(penWidth);
        canvas->Brush()->SetColor(brushColor);
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Font()->SetColor(fontColor);
    } catch (const std::exception&) {
    }
}
