#include "graphics/TextLayout.h"

#include "graphics/Clsbarcode.h"
#include "graphics/Frames.h"
#include "graphics/TextFit.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DeviceCaps.h"
#include "utilities/TextPieces.h"

#include <algorithm>
#include <exception>

using quorbase::clsString;

namespace {

AnsiString ToAnsi(std::string_view text) {
    return AnsiString(text.data(), static_cast<int>(text.size()));
}

std::string_view View(const clsString& s) {
    return s.CStr() ? std::string_view(s.CStr(), s.Length()) : std::string_view();
}

// Paragraphs at each line feed, as successive NextPiece calls cut them; a
// trailing line feed gives an empty last one. They point into text.
std::vector<std::string_view> Paragraphs(std::string_view text) {
    std::vector<std::string_view> out;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            out.push_back(text.substr(start));
            return out;
        }
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

// Moves a cut so a consonant stays with the vowel after it; s[k] is the k-th
// character counted from 1.
int CorrectBreak(std::string_view s, int w) {
    const int len = static_cast<int>(s.size());
    if (!(1 < w && w < len)) return w;
    auto at = [&](int k) { return s[k - 1]; };
    if (2 < w && w < len - 1 && !IsVowel(at(w + 1)) && !IsVowel(at(w + 2))) --w;
    if (w > 1 && at(w) != ' ' && at(w + 1) != ' ' && !IsVowel(at(w)) && IsVowel(at(w + 1))) --w;
    return w;
}

// Fills with the given colour; clDefault uses the brush's own.
void FillBack(TCanvas* canvas, int backColor, const TRect& r) {
    if (backColor != clDefault) canvas->Brush()->SetColor(backColor);
    canvas->FillRect(r);
}

int TextDrawImpl(TCanvas* Canvas, const clsString& Text, const TRect& Rect, const int Style,
                 const int MarginX, const int MarginY, const int SpacingX, const int SpacingY,
                 const bool MeasureOnly, const int ShadowWidth, const int ShadowColor,
                 const int BackColor, TextFitMethod method) {
    if (!Canvas || Rect.Right - Rect.Left <= 0) return 0;
    int height = 0;
    try {
        const int h = Canvas->TextHeight("M");
        const int left = Rect.Left + SpacingX + MarginX;
        const int top = Rect.Top + SpacingY + MarginY;
        int right = Rect.Right - SpacingX - MarginX;
        int bottom = Rect.Bottom - SpacingY - MarginY;
        if (bottom < top) bottom = top + h;
        int y = top;
        const TBrushStyle savedStyle = Canvas->Brush()->Style();
        bool fillsRest = false;

        if (Style & tsBarCode) {
            height = h;
            if (!MeasureOnly) {
                // The bars stand on the box's colour.
                if (BackColor != clNone)
                    FillBack(Canvas, BackColor, TRect{left, top, right + 1, bottom + 1});
                clsBarCodeEAN39 code;
                code.Data = Text;
                const int size = Canvas->Font()->Size();
                code.Paint(Canvas, Rect, true, MarginY, MarginX, size, MulDiv(size, 7, 9));
            }
        } else if ((Style & tsThreeParts) && !(Style & tsNoThreeParts)) {
            if (!MeasureOnly && BackColor != clNone)
                FillBack(Canvas, BackColor, TRect{left, top, right + 1, bottom + 1});
            int pos = 0;
            static constexpr int kAlign[3] = {tsAlignLeft, tsAlignCenter, tsAlignRight};
            for (int part = 0; part < 3; ++part) {
                clsString piece = pos >= 0 ? Text.Token('\n', pos) : clsString();
                const int partStyle = (Style & static_cast<int>(0xFFFF0003u)) | kAlign[part];
                height = std::max(height, TextDrawImpl(Canvas, piece, Rect, partStyle, MarginX,
                                                       MarginY, SpacingX, SpacingY, MeasureOnly,
                                                       ShadowWidth, ShadowColor, clNone, method));
            }
        } else if (Text.Length() == 0) {
            height = h;
            fillsRest = true;
        } else {
            fillsRest = true;
            clsString text = Text;
            if ((Style & tsBlankZero) && text.ToDouble(0.0) == 0.0) text = "";
            if (Style & tsIndentRight) {
                right -= Canvas->TextWidth("M") / 2;
                if (right < 0) right = left;
            }
            const int avail = right - left;
            const bool alternate = Style & (tsAlternateHalf | tsAlternate);
            const std::vector<std::string_view> paragraphs = Paragraphs(View(text));
            bool stop = false;
            for (std::size_t n = 0; n < paragraphs.size() && !stop; ++n) {
                const bool odd = n % 2 == 0; // paragraphs count from 1
                std::string_view s = paragraphs[n];
                do {
                    int w = FitPrefix(Canvas, s, avail, method);
                    w = CorrectBreak(s, w);
                    const AnsiString line = ToAnsi(s.substr(0, w));
                    s.remove_prefix(w);

                    int step = h, x = left;
                    if (alternate) {
                        step = (Style & tsAlternateHalf) ? h / 2 : h;
                        if (odd) {
                            height += h;
                        } else {
                            height += step;
                            x = right - Canvas->TextWidth(line);
                        }
                    } else {
                        height += h;
                        if (Style & tsAlignRight) x = right - Canvas->TextWidth(line);
                        if (Style & tsAlignCenter)
                            x = left + (right - left - Canvas->TextWidth(line)) / 2;
                    }
                    if (!MeasureOnly) {
                        if (BackColor == clNone)
                            Canvas->Brush()->SetStyle(bsClear);
                        else
                            FillBack(Canvas, BackColor, TRect{left, y, right + 1, y + h + 1});
                        Canvas->TextOut(x, y, line);
                    }
                    y += step;
                    if ((Style & tsClipBottom) && Rect.Bottom - y < h) {
                        stop = true;
                        break;
                    }
                } while (!s.empty());
            }
        }

        height += 2 * MarginY;
        if (!MeasureOnly) {
            if (fillsRest && BackColor != clNone)
                FillBack(Canvas, BackColor, TRect{left, y, right + 1, bottom + 1});
            const int frameBottom = std::max(Rect.Bottom, Rect.Top + height);
            DrawSmartFrame(Canvas, Style, Rect.Left, Rect.Top, Rect.Right, frameBottom, SpacingX,
                           SpacingY, ShadowWidth, ShadowColor, clNone);
        }
        Canvas->Brush()->SetStyle(savedStyle);
    } catch (const std::exception&) {
    }
    return height;
}

} // namespace

int FitPrefix(TCanvas* canvas, std::string_view text, int avail, TextFitMethod method) {
    const int len = static_cast<int>(text.size());
    if (len <= 1) return len;
    auto width = [&](int w) { return canvas->TextWidth(ToAnsi(text.substr(0, w))); };
    if (method == TextFitMethod::OneByOne) {
        int w = len;
        while (w > 1 && width(w) > avail)
            --w;
        return w;
    }
    // Grow a prefix that fits by doubling, then halve the gap to the first
    // one that does not: only prefixes up to about twice the line get measured.
    int fits = 0, over = len;
    for (int probe = 1;; probe *= 2) {
        if (probe >= len) {
            if (width(len) <= avail) return len;
            break;
        }
        if (width(probe) > avail) {
            over = probe;
            break;
        }
        fits = probe;
    }
    while (over - fits > 1) {
        const int mid = fits + (over - fits) / 2;
        if (width(mid) > avail)
            over = mid;
        else
            fits = mid;
    }
    return fits < 1 ? 1 : fits;
}

std::vector<std::string> WrapText(TCanvas* canvas, std::string_view text, int avail,
                                  TextFitMethod method) {
    std::vector<std::string> lines;
    const std::vector<std::string_view> paragraphs = Paragraphs(text);
    for (std::string_view s : paragraphs) {
        do {
            const int w = CorrectBreak(s, FitPrefix(canvas, s, avail, method));
            lines.emplace_back(s.substr(0, w));
            s.remove_prefix(w);
        } while (!s.empty());
    }
    return lines;
}

int TextDraw(TCanvas* Canvas, const clsString& Text, const TRect& Rect, const int Style,
             const int MarginX, const int MarginY, const int SpacingX, const int SpacingY,
             const bool MeasureOnly, const int ShadowWidth, const int ShadowColor,
             const int BackColor) {
    return TextDrawImpl(Canvas, Text, Rect, Style, MarginX, MarginY, SpacingX, SpacingY,
                        MeasureOnly, ShadowWidth, ShadowColor, BackColor, TextFitMethod::Search);
}

int TextDraw(const clsTextOut& a) {
    return TextDraw(a, TextFitMethod::Search);
}

int TextDraw(const clsTextOut& a, TextFitMethod method) {
    return TextDrawImpl(a.Canvas, a.Text, a.Rect, a.Style, a.MarginX, a.MarginY, a.SpacingX,
                        a.SpacingY, a.MeasureOnly, a.ShadowWidth, a.ShadowColor, a.BackColor,
                        method);
}

int TextBox(TCanvas* canvas, const clsString& text, const TRect& rect, const int Style,
            const int BackColor, const int ShadowWidth, const int ShadowColor) {
    clsTextOut t;
    t.Canvas = canvas;
    t.Text = text;
    t.Rect = rect;
    t.Style = Style;
    t.BackColor = BackColor;
    t.ShadowWidth = ShadowWidth;
    t.ShadowColor = ShadowColor;
    t.MeasureOnly = true;
    const int needed = TextDraw(t);
    if (rect.Bottom - rect.Top < needed) t.Rect.Bottom = t.Rect.Top + needed;
    t.MeasureOnly = false;
    return TextDraw(t);
}

void RectText(TCanvas* canvas, const TRect& rect, const clsString& text) {
    if (!canvas) return;
    try {
        const int p = canvas->Pen()->Width();
        canvas->Rectangle(rect);
        const TRect inner{rect.Left + p, rect.Top + p, rect.Right - p, rect.Bottom - p};
        canvas->TextRect(inner, inner.Left, inner.Top, ToAnsi(View(text)));
    } catch (const std::exception&) {
    }
}

void Draw(TCanvas* canvas, const quorbase::clsCStrings& lines, int linesPerInch) {
    if (!canvas) return;
    try {
        const int resolution = GetDeviceCaps(canvas, LOGPIXELSY);
        const int pitch = canvas->TextHeight("X");
        for (int i = 0; i < lines.GetCount(); ++i) {
            const clsString* line = lines.GetItem(i);
            if (!line || line->Length() == 0) continue;
            const int y =
                linesPerInch != 0 ? MulDiv(i, resolution, linesPerInch) : MulDiv(i, pitch, 1);
            canvas->TextOut(0, y, ToAnsi(View(*line)));
        }
    } catch (const std::exception&) {
    }
}
