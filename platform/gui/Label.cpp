#include "platform/gui/Label.h"

#include "platform/graphics/Canvas.h"

#include <QGuiApplication>

#include <algorithm>

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 65, 17);
}

void TLabel::SetCaption(const AnsiString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    AdjustSize();
    Invalidate();
}

void TLabel::SetAlignment(TAlignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    Invalidate();
}

void TLabel::SetTransparent(bool transparent) {
    if (transparent == transparent_) return;
    transparent_ = transparent;
    Invalidate();
}

void TLabel::SetAutoSize(bool autoSize) {
    if (autoSize == autoSize_) return;
    autoSize_ = autoSize;
    AdjustSize();
}

void TLabel::SetWordWrap(bool wordWrap) {
    if (wordWrap == wordWrap_) return;
    wordWrap_ = wordWrap;
    AdjustSize();
    Invalidate();
}

void TLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustSize();
    Invalidate();
}

namespace {

std::vector<AnsiString> Paragraphs(const AnsiString& text) {
    std::vector<AnsiString> out;
    std::string current;
    const std::string& s = text.str();
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '\r' || c == '\n') {
            out.emplace_back(current);
            current.clear();
            if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else {
            current += c;
        }
    }
    out.emplace_back(current);
    return out;
}

// Words go on a line while they fit; a word wider than the width gets a
// line of its own.
void WrapParagraph(const std::string& text, int width, const TCanvas& measure,
                   std::vector<AnsiString>& out) {
    std::string line;
    size_t i = 0;
    bool any = false;
    while (i < text.size()) {
        size_t end = text.find(' ', i);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(i, end - i);
        const std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && measure.TextWidth(AnsiString(candidate)) > width) {
            out.emplace_back(line);
            line = word;
        } else {
            line = candidate;
        }
        any = true;
        i = end + 1;
    }
    if (!line.empty() || !any) out.emplace_back(line);
}

bool CanMeasure() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace

std::vector<AnsiString> TLabel::CaptionLines() const {
    std::vector<AnsiString> paragraphs = Paragraphs(caption_);
    if (!wordWrap_ || !CanMeasure()) return paragraphs;
    TCanvas measure;
    measure.Font()->Assign(*Font());
    std::vector<AnsiString> lines;
    for (const AnsiString& p : paragraphs)
        WrapParagraph(p.str(), Width(), measure, lines);
    return lines;
}

void TLabel::AdjustSize() {
    if (!autoSize_ || IsLoading() || !CanMeasure()) return;
    TCanvas measure;
    measure.Font()->Assign(*Font());
    const std::vector<AnsiString> lines = CaptionLines();
    const int lineHeight = measure.TextHeight("Wg");
    int widest = 0;
    for (const AnsiString& line : lines)
        widest = std::max(widest, measure.TextWidth(line));
    const int height = lineHeight * static_cast<int>(lines.size());
    if (wordWrap_) {
        SetBounds(Left(), Top(), Width(), height);
    } else if (alignment_ == taRightJustify) {
        SetBounds(Left() + Width() - widest, Top(), widest, height);
    } else {
        SetBounds(Left(), Top(), widest, height);
    }
}

void TLabel::Paint() {
    PaintBackground();
    PaintCaption();
}

void TLabel::PaintBackground() {
    if (transparent_) return;
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(ClientRect());
}

void TLabel::PaintCaption() {
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(*Font());
    canvas->Brush()->SetStyle(bsClear);
    int y = 0;
    const int lineHeight = canvas->TextHeight("Wg");
    for (const AnsiString& line : CaptionLines()) {
        const int w = canvas->TextWidth(line);
        int x = 0;
        if (alignment_ == taRightJustify)
            x = Width() - w;
        else if (alignment_ == taCenter)
            x = (Width() - w) / 2;
        if (!line.IsEmpty()) canvas->TextOut(x, y, line);
        y += lineHeight;
    }
}
