#include "platform/graphics/FontCache.h"

#include "platform/core/Encoding.h"
#include "platform/graphics/WholePixels.h"

#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace {

// Beyond these a map starts over, so that a stream of new strings cannot
// grow it without end.
constexpr std::size_t MaxWidths = 8192;
constexpr std::size_t MaxLaid = 8192;
constexpr std::size_t MaxFaces = 8;

QString ToQString(const std::string& text) {
    return QString::fromStdU16String(Cp1252ToUtf16(text));
}

// Whether laid-out glyphs draw exactly what drawText draws: a layout gives
// tabs, line and page breaks, carriage returns and soft hyphens their own
// meaning, so strings holding a control character or a soft hyphen are left
// to drawText.
bool LaysOutAsDrawn(const std::string& text) {
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 || b == 0xAD;
    });
}

} // namespace

TFontFace::TFontFace(const QFont& font)
    : font_(font), metrics_(font_), height_(metrics_.height()), ascent_(metrics_.ascent()) {}

int TFontFace::Width(const std::string& text) {
    if (auto found = widths_.find(text); found != widths_.end()) return found->second;
    if (widths_.size() >= MaxWidths) widths_.clear();
    const int width = metrics_.horizontalAdvance(ToQString(text));
    widths_.emplace(text, width);
    return width;
}

void TFontFace::LayOut(Laid& laid, const QString& text) const {
    QTextLayout layout(text, font_);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setNumColumns(static_cast<int>(text.size()));
    layout.endLayout();
    laid.runs = layout.glyphRuns();
    laid.top = ascent_ - line.ascent();
    laid.ready = true;
}

void TFontFace::Draw(QPainter* p, int x, int y, const std::string& text) {
    // Other devices (a PDF, a recording) keep drawText, which also keeps the
    // text as text.
    if (LaysOutAsDrawn(text) && OnWholePixels(p)) {
        auto found = laid_.find(text);
        if (found != laid_.end()) {
            Laid& laid = found->second;
            if (!laid.ready) LayOut(laid, ToQString(text));
            for (const QGlyphRun& run : laid.runs)
                p->drawGlyphRun(QPointF(x, y + laid.top), run);
            return;
        }
        // A layout costs a few drawings: a string is laid out once it is
        // drawn again.
        if (laid_.size() >= MaxLaid) laid_.clear();
        laid_.emplace(text, Laid{});
    }
    p->drawText(QPoint(x, y + ascent_), ToQString(text));
}

TFontFace& TFontCache::Face(const QFont& font) {
    auto found = std::find_if(faces_.begin(), faces_.end(),
                              [&](const auto& face) { return face->Font() == font; });
    if (found == faces_.end()) {
        if (faces_.size() >= MaxFaces) faces_.pop_back();
        faces_.insert(faces_.begin(), std::make_unique<TFontFace>(font));
    } else {
        std::rotate(faces_.begin(), found, found + 1);
    }
    return *faces_.front();
}
