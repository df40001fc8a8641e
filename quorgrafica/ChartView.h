#pragma once
// Inside the flowchart component: the state of its scrolled and zoomed view
// (see TQuorFlowChart's ViewEnabled) and the painting of a graph through the
// spatial index. Not for programs using the component.

#include "quorgrafica/SpatialIndex.h"

#include <QObject>
#include <QPointer>

#include <memory>

class QPainter;
class QScrollBar;
class QWidget;
class TCanvas;

namespace quorgrafica {

class clsGraf;

struct ChartViewState {
    bool on = false;
    // Widget pixels per page pixel.
    double zoom = 1.0;
    // The page point at the widget's top-left corner.
    double originX = 0, originY = 0;
    ChartIndex index;
    QPointer<QScrollBar> hbar, vbar;
    std::unique_ptr<QObject> filter;
    // The widget the accessible view was registered for.
    QPointer<QWidget> exposed;
    // Set while the bars are moved to follow the view, not by the user.
    bool syncing = false;
};

// The view's scale and scroll on a canvas, until End or the end of the scope.
class ViewTransform {
public:
    // Nothing is done without a canvas.
    ViewTransform(TCanvas* canvas, const ChartViewState& view);
    ~ViewTransform() { End(); }
    ViewTransform(const ViewTransform&) = delete;
    ViewTransform& operator=(const ViewTransform&) = delete;
    void End();

private:
    QPainter* painter_ = nullptr;
};

// graf's Draw, painting only the boxes and links the index lists in the
// canvas's clipping; what each box finds in the canvas (font, brush) is
// what the boxes before it would have left there, so the pixels are Draw's.
//
// scale is the canvas's device pixels per page pixel. Shrunk below 1, the
// drawing leaves out what cannot be seen there: names and texts smaller
// than a legible size, and a box too small for its frame, shadow and text
// shows as a rectangle of its fill with a one-pixel outline; links too
// short-sighted for their markers show as their lines.
void DrawGrafIndexed(clsGraf& graf, const ChartIndex& index, TCanvas* canvas, bool erase,
                     bool showName, bool showText, bool drawFlags, double scale = 1.0);

} // namespace quorgrafica
