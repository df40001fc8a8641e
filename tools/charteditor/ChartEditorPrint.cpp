// The chart editor's printing: the graph on show, drawn as the PDF export
// draws it, fitted to the printer's page.

#include "tools/charteditor/ChartEditor.h"

#include "platform/core/Application.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Font.h"
#include "platform/gui/ControlWidget.h"
#include "platform/gui/Screen.h"
#include "quorgrafica/Clsgraf.h"
#include "tools/charteditor/EditorChart.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace charteditor {

using quorgrafica::clsBox;
using quorgrafica::clsGraf;

bool ChartEditor::Print() {
    if (!Idle()) return false;
    EndTyping();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(ToQString(DocumentName()));
    if (!AskPrinter || !AskPrinter(printer)) return false;
    return PrintTo(printer);
}

void ChartEditor::DrawFitted(QPainter& painter, const QRectF& page) {
    const int width = std::max(1, chart_.Width()), height = std::max(1, chart_.Height());
    const double scale = std::min(page.width() / width, page.height() / height);
    painter.save();
    painter.translate(page.topLeft());
    painter.scale(scale, scale);
    // The page shows the chart, not the editor's selection.
    clsGraf* graf = chart_.CurrentGraf();
    struct Unselected {
        clsGraf* graf;
        clsBox* selected;
        ~Unselected() { graf->Selected = selected; }
    } unselected{graf, graf->Selected};
    graf->Selected = nullptr;
    {
        TCanvas canvas(&painter);
        // Letters as large, against the boxes, as on the PDF page.
        canvas.Font()->SetPixelsPerInch(PageDpi(width, height));
        chart_.DrawOn(&canvas);
    }
    painter.restore();
}

bool ChartEditor::PrintTo(QPrinter& printer) {
    if (!Idle()) return false;
    TWaitCursor wait;
    QPainter painter;
    if (!painter.begin(&printer)) {
        Ask("Impossibile stampare il diagramma \"" + DocumentName() +
                "\": la stampante scelta non accetta il lavoro.",
            MB_OK | MB_ICONERROR);
        return false;
    }
    // The painter's origin is the printable area's corner.
    const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
    DrawFitted(painter, QRectF(0, 0, area.width(), area.height()));
    if (!painter.end()) {
        Ask("Impossibile stampare il diagramma \"" + DocumentName() + "\".",
            MB_OK | MB_ICONERROR);
        return false;
    }
    return true;
}

} // namespace charteditor
