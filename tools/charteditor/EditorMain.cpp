#include "tools/charteditor/EditorMain.h"

#include "platform/core/Application.h"
#include "platform/core/CommandLine.h"
#include "platform/core/Encoding.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawingFile.h"
#include "platform/gui/Forms.h"
#include "quorgrafica/Clsgraf.h"
#include "quorgrafica/GrafPath.h"
#include "tools/charteditor/ChartEditor.h"
#include "tools/charteditor/EditorChart.h"
#include "tools/charteditor/EditorWindow.h"

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <iostream>
#include <string>

using namespace charteditor;

namespace {

const char* const Usage =
    "Uso: charteditor [opzioni] [diagramma.chart]\n"
    "Apre l'editor di diagrammi, sul diagramma indicato o su uno nuovo.\n"
    "  --graf=G1/G2         mostra il grafico annidato nei gruppi G1, poi G2\n"
    "  --select=NOME        seleziona il box NOME del grafico mostrato\n"
    "  --screenshot=F.png   salva l'immagine della finestra in F.png ed esce\n"
    "  --report             all'uscita scrive dove sta il diagramma nella finestra,\n"
    "                       lo scorrimento, lo zoom e i box interamente in vista\n"
    "  --help               mostra questo aiuto\n"
    "  --version            mostra la versione\n";

// The window, once on screen, into a PNG file written aside and renamed; false
// with a message naming the file when it cannot be written.
bool SaveScreenshot(QWidget* window, const std::string& file, std::string& error) {
    const QImage shot = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    TBitmap bitmap(shot);
    AnsiString message;
    if (SaveDrawing(
            AnsiString(Utf8ToCp1252(file)), shot.width(), shot.height(), 96,
            [&](TCanvas* canvas) { canvas->Draw(0, 0, &bitmap); }, &message))
        return true;
    error = Cp1252ToUtf8(message.view());
    return false;
}

// Where the chart is and what of it shows, for scripts and tests that look at
// the window from outside: they need no pixel offsets of the layout.
std::string Report(QWidget* window, TEditorChart& chart) {
    QWidget* area = chart.Widget();
    const QPoint at = area->mapTo(window, QPoint(0, 0));
    const TPoint scroll = chart.ScrollPosition();
    std::string out = "area " + std::to_string(at.x()) + " " + std::to_string(at.y()) + " " +
                      std::to_string(chart.Width()) + " " + std::to_string(chart.Height()) + "\n";
    out += "vista " + std::to_string(chart.ViewWidth()) + " " +
           std::to_string(chart.ViewHeight()) + "\n";
    out += "scorrimento " + std::to_string(scroll.x) + " " + std::to_string(scroll.y) + "\n";
    out += "zoom " + std::to_string(chart.ZoomPercent()) + "\n";
    quorgrafica::clsGraf* graf = chart.CurrentGraf();
    for (int i = 0; i < graf->GetCount(); ++i) {
        const quorgrafica::clsBox* box = graf->BoxAt(i);
        const TPoint topLeft = chart.PageToWidget(box->Frame.Left, box->Frame.Top);
        const TPoint bottomRight = chart.PageToWidget(box->Frame.Right, box->Frame.Bottom);
        if (topLeft.x >= 0 && topLeft.y >= 0 && bottomRight.x <= chart.ViewWidth() &&
            bottomRight.y <= chart.ViewHeight())
            out += "box " + Cp1252ToUtf8(box->Name.CStr()) + "\n";
    }
    return out;
}

} // namespace

int ChartEditorMain(int argc, char** argv) {
    CommandLine cl("charteditor", Usage);
    cl.Value("--graf").Value("--select").Value("--screenshot").Flag("--report");
    if (const int status = cl.Parse(argc, argv, std::cout, std::cerr); status >= 0) return status;
    if (cl.Arguments().size() > 1) return cl.Refuse(std::cerr, "si apre un diagramma alla volta");
    const std::string screenshot = cl.Get("--screenshot");
    if (cl.Has("--screenshot") && !HasExtension(screenshot, {".png"}))
        return cl.Refuse(std::cerr, "--screenshot vuole un file .png, non \"" + screenshot + "\"");
    if (!GuiAvailable()) {
        // A picture of the window needs no screen.
        if (!cl.Has("--screenshot"))
            return cl.Fail(std::cerr, "nessuno schermo disponibile per aprire la finestra");
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    TGuiApplication application(argc, argv);
    application.SetTitle("Editor di diagrammi");
    auto* form = application.CreateForm<TfrmChartEditor>();
    ChartEditor& editor = form->Editor();
    // Names arrive, and messages leave, in the terminal's encoding.
    if (!cl.Arguments().empty()) {
        AnsiString error;
        if (!editor.OpenFile(AnsiString(Utf8ToCp1252(cl.Arguments()[0])), &error))
            return cl.Fail(std::cerr, Cp1252ToUtf8(error.view()));
    }
    TEditorChart& chart = editor.Chart();
    if (cl.Has("--graf")) {
        std::string missing;
        quorgrafica::clsGraf* graf =
            quorgrafica::GrafAtPath(chart.RootGraf(), Utf8ToCp1252(cl.Get("--graf")), &missing);
        if (!graf)
            return cl.Fail(std::cerr, "nessun gruppo di nome \"" + Cp1252ToUtf8(missing) + "\"");
        // Each group on the way is selected in its graph, as entering it does.
        for (quorgrafica::clsGraf* inner = graf; inner->Owner; inner = inner->Owner->OwnerGraf)
            inner->Owner->OwnerGraf->Selected = inner->Owner;
        chart.SetCurrentGraf(graf);
        chart.OnNavigate();
    }
    if (cl.Has("--select")) {
        const std::string name = Utf8ToCp1252(cl.Get("--select"));
        quorgrafica::clsBox* box = chart.GetBox(name.c_str());
        if (!box) return cl.Fail(std::cerr, "nessun box di nome \"" + cl.Get("--select") + "\"");
        chart.SetSelectedBox(box);
    }
    int status = 0;
    if (cl.Has("--screenshot")) {
        QTimer::singleShot(700, [&] {
            std::string error;
            if (!SaveScreenshot(form->Widget(), screenshot, error))
                status = cl.Fail(std::cerr, error);
            application.Terminate();
        });
    }
    application.Run();
    if (cl.Has("--report") && status == 0) std::cout << Report(form->Widget(), chart) << std::flush;
    return status;
}
