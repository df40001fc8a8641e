#pragma once
// Whether a painter draws on a raster device moved by whole pixels at most.
// There glyphs laid out beforehand and images of shapes land on exactly the
// pixels the toolkit's own text and shapes would cover.

#include <QPaintEngine>
#include <QPainter>
#include <QTransform>

#include <cmath>

inline bool OnWholePixels(QPainter* p) {
    if (!p->paintEngine() || p->paintEngine()->type() != QPaintEngine::Raster) return false;
    const QTransform& t = p->deviceTransform();
    return t.type() <= QTransform::TxTranslate && t.dx() == std::floor(t.dx()) &&
           t.dy() == std::floor(t.dy());
}
