#pragma once
// The pixels of an ellipse as the canvas paints it on a raster device: a
// pixel belongs to the ellipse inscribed in Left..Right-1 x Top..Bottom-1
// when its centre lies inside the ellipse through the box's outer edges;
// with a pen, the outline is every pixel of it with a neighbour outside it.
// The two parts never share a pixel, so each is painted once and the pen
// mode holds.

#include "platform/core/Types.h"

#include <QPoint>
#include <QRect>

#include <vector>

struct TEllipseShape {
    // The box it was made for, and whether it has an outline.
    TRect box;
    bool outlined = false;
    // The inside, in rectangles: runs of rows alike are one rectangle.
    std::vector<QRect> inside;
    std::vector<QPoint> outline;

    void Make(const TRect& r, bool withOutline);
    // Whether the shape of r is that of r's size made at (0, 0) and moved:
    // true for the sizes and places checked, which cover link markers
    // anywhere on a page. A canvas keeps the last shape made.
    static bool Movable(const TRect& r) {
        return r.Right - r.Left <= 80 && r.Bottom - r.Top <= 80 && r.Left >= -20000 &&
               r.Left <= 40000 && r.Top >= -20000 && r.Top <= 40000;
    }
};
