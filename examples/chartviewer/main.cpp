// chartviewer [--png FILE.png] FILE.chart: shows a flowchart in a window, or
// with --png writes its picture and ends, without a display.

#include "ChartViewer.h"

#include "platform/core/CommandLine.h"
#include "platform/core/Encoding.h"
#include "platform/gui/Forms.h"

#include <QByteArray>
#include <QtGlobal>

#include <iostream>

namespace {

const char* const kUsage =
    "Uso: chartviewer [--png FILE.png] DIAGRAMMA.chart\n"
    "Mostra il diagramma di flusso in una finestra, da cui si esporta come PNG.\n"
    "  --png FILE.png   scrive l'immagine del diagramma ed esce, senza finestra\n"
    "  --help           mostra questo aiuto\n"
    "  --version        mostra la versione\n";

} // namespace

int main(int argc, char** argv) {
    CommandLine cl("chartviewer", kUsage);
    cl.Value("--png");
    if (const int status = cl.Parse(argc, argv, std::cout, std::cerr); status >= 0) return status;
    if (cl.Arguments().size() != 1) return cl.Refuse(std::cerr, "indica un diagramma");
    const std::string png = cl.Get("--png");
    if (cl.Has("--png") && !HasExtension(png, {".png"}))
        return cl.Refuse(std::cerr, "il file \"" + png + "\" deve terminare con .png");
    if (cl.Has("--png") && !GuiAvailable()) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!GuiAvailable())
        return cl.Fail(std::cerr, "nessuno schermo disponibile; per l'immagine usa --png FILE.png");

    TGuiApplication application(argc, argv);
    application.SetTitle("Visore di diagrammi");
    TChartViewer* viewer = application.CreateForm<TChartViewer>();
    AnsiString error;
    if (!viewer->OpenChart(AnsiString(Utf8ToCp1252(cl.Arguments()[0])), &error))
        return cl.Fail(std::cerr, Cp1252ToUtf8(error.view()));
    if (!cl.Has("--png")) return application.Run();

    viewer->FitChart();
    viewer->Show();
    application.ProcessMessages();
    if (!viewer->ExportPng(AnsiString(Utf8ToCp1252(png)), &error))
        return cl.Fail(std::cerr, Cp1252ToUtf8(error.view()));
    return 0;
}
