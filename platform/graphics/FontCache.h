#pragma once
// What a canvas keeps of the fonts it draws with, so that the same strings
// are neither measured nor shaped again: charts draw the same names and
// words at every repaint, and switch fonts from box to box, so a few fonts
// are kept at once.

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QList>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class QPainter;

// One font with its metrics, the widths measured in it and the strings laid
// out in it. Strings are Windows-1252 bytes.
class TFontFace {
public:
    explicit TFontFace(const QFont& font);
    TFontFace(const TFontFace&) = delete;
    TFontFace& operator=(const TFontFace&) = delete;

    const QFont& Font() const { return font_; }
    const QFontMetrics& Metrics() const { return metrics_; }
    int Height() const { return height_; }
    int Ascent() const { return ascent_; }
    int Width(const std::string& text);
    // Draws text with the top of its cell at (x, y) in the painter's pen,
    // exactly as the painter's drawText draws it in this font, which the
    // painter must have.
    void Draw(QPainter* p, int x, int y, const std::string& text);

private:
    // A string laid out once: its glyphs, drawn with the layout's top at
    // the cell's top plus top.
    struct Laid {
        bool ready = false;
        QList<QGlyphRun> runs;
        qreal top = 0;
    };
    void LayOut(Laid& laid, const QString& text) const;

    QFont font_;
    QFontMetrics metrics_;
    int height_;
    int ascent_;
    std::unordered_map<std::string, int> widths_;
    std::unordered_map<std::string, Laid> laid_;
};

class TFontCache {
public:
    // The face of the font, made when none of those kept matches it.
    TFontFace& Face(const QFont& font);

private:
    // The most recently used first.
    std::vector<std::unique_ptr<TFontFace>> faces_;
};
