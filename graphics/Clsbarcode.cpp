#include "graphics/Clsbarcode.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/DeviceCaps.h"
#include "utilities/TextPieces.h"

#include <array>
#include <string_view>

using quorbase::clsString;

namespace {

// Nine elements, bar first, '1' for wide; the tenth (the gap) is narrow.
constexpr std::uint32_t Elements(std::string_view wide) {
    std::uint32_t bits = 0;
    for (std::size_t j = 0; j < wide.size(); ++j)
        if (wide[j] == '1') bits |= 1u << j;
    return bits;
}

// In table order: "*", 0-9, A-Z, "-", ".", space, "$", "/", "+", "%".
constexpr std::array<std::uint32_t, 44> kCode39 = {
    Elements("010010100"), // *
    Elements("000110100"), Elements("100100001"), Elements("001100001"), Elements("101100000"),
    Elements("000110001"), Elements("100110000"), Elements("001110000"), Elements("000100101"),
    Elements("100100100"), Elements("001100100"), // 0-9
    Elements("100001001"), Elements("001001001"), Elements("101001000"), Elements("000011001"),
    Elements("100011000"), Elements("001011000"), Elements("000001101"), Elements("100001100"),
    Elements("001001100"), Elements("000011100"), // A-J
    Elements("100000011"), Elements("001000011"), Elements("101000010"), Elements("000010011"),
    Elements("100010010"), Elements("001010010"), Elements("000000111"), Elements("100000110"),
    Elements("001000110"), Elements("000010110"), // K-T
    Elements("110000001"), Elements("011000001"), Elements("111000000"), Elements("010010001"),
    Elements("110010000"), Elements("011010000"), // U-Z
    Elements("010000101"), Elements("110000100"), Elements("011000100"), Elements("010101000"),
    Elements("010100010"), Elements("010001010"), Elements("000101010"), // - . sp $ / + %
};
static_assert(kCode39[0] == 0x052 && kCode39[1] == 0x058 && kCode39[11] == 0x121);

constexpr std::string_view kSymbolChars = "-. $/+%";

AnsiString ToAnsi(const clsString& s) {
    return s.CStr() ? AnsiString(s.CStr(), s.Length()) : AnsiString();
}

} // namespace

clsBarCodeEAN39::clsBarCodeEAN39() {
    Pattern = kCode39.data();
}

int clsBarCodeEAN39::IndexOf(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0' + 1;
    if (ch >= 'A' && ch <= 'Z') return ch - 'A' + 11;
    if (ch >= 'a' && ch <= 'z') return ch - 'a' + 11;
    std::size_t k = kSymbolChars.find(ch);
    if (ch != '\0' && k != std::string_view::npos) return static_cast<int>(37 + k);
    return -1;
}

clsString clsBarCodeEAN39::EncodedText() const {
    clsString out;
    for (int i = 0; i < Data.Length(); ++i) {
        char ch = Data.CStr()[i];
        if (IndexOf(ch) < 0) continue;
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
        out.Append(&ch, 1);
    }
    return out;
}

clsString clsBarCodeEAN39::Encode() {
    const clsString text = EncodedText();
    clsString code;
    const char startStop = static_cast<char>(255);
    code.Append(&startStop, 1);
    for (int i = 0; i < text.Length(); ++i) {
        const char index = static_cast<char>(IndexOf(text.CStr()[i]));
        code.Append(&index, 1);
    }
    code.Append(&startStop, 1);
    return code;
}

void clsBarCodeEAN39::Paint(TCanvas* canvas, const TRect& rect, bool pixels, int marginY,
                            int marginX, int textSize, int captionSize) {
    if (!canvas) return;
    const clsString code = Encode();
    const clsString labels = EncodedText();
    const int n = code.Length();

    int fx = 1, fy = 1;
    if (!pixels) {
        fx = MulDiv(GetDeviceCaps(canvas, LOGPIXELSX), 100, 2540);
        fy = MulDiv(GetDeviceCaps(canvas, LOGPIXELSY), 100, 2540);
    }
    const int x0 = (rect.Left + marginX) * fx;
    const int y0 = (rect.Top + marginY) * fy;
    const int W = (rect.Right - rect.Left - 2 * marginX) * fx;
    const int H = (rect.Bottom - rect.Top - 2 * marginY) * fy;

    const int narrow = MulDiv(W, 10, n * 151);
    const int wide = MulDiv(narrow, 27, 10);

    TFont* font = canvas->Font();
    TBrush* brush = canvas->Brush();
    font->SetSize(captionSize);
    const int hC = canvas->TextHeight("X");
    font->SetSize(textSize);
    const int hT = canvas->TextHeight("X");
    const int yB = y0 + H - hT - hC;

    int x = x0;
    for (int k = 0; k < n; ++k) {
        const signed char index = static_cast<signed char>(code.CStr()[k]);
        const std::uint32_t p = Pattern[index < 0 ? kStartStop : index];
        int labelX = x;
        for (int j = 0; j < 10; ++j) {
            brush->SetColor(j % 2 == 0 ? 0x000000 : 0xFFFFFF);
            const int width = (p >> j) & 1 ? wide : narrow;
            canvas->FillRect(TRect{x, y0, x + width, yB});
            if (j == 4) labelX = x;
            x += width;
        }
        if (k > 0 && k < n - 1) {
            brush->SetColor(0xFFFFFF);
            canvas->TextOut(labelX, yB, AnsiString(labels.CStr()[k - 1]));
        }
    }

    const AnsiString captions = ToAnsi(Captions);
    const AnsiString leftCaption = FirstPiece(captions, '\n');
    const AnsiString rightCaption = AfterLast(captions, '\n');
    font->SetSize(captionSize);
    if (!leftCaption.IsEmpty()) canvas->TextOut(x0, y0 + H - hC, leftCaption);
    if (!rightCaption.IsEmpty())
        canvas->TextOut(x0 + W - canvas->TextWidth(rightCaption), y0 + H - hC, rightCaption);
}
