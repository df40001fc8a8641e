// chartviewer_test CHART OUT.png: opens the chart in the viewer's window
// (offscreen), exports it and reads the picture back.

#include "ChartViewer.h"

#include "platform/core/Encoding.h"
#include "platform/gui/Forms.h"
#include "quorgrafica/Clsgraf.h"
#include "quorgrafica/QuorFlowChart.h"

#include <QColor>
#include <QFile>
#include <QImage>

#include <iostream>
#include <string>

namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
    if (ok) return;
    std::cerr << "FALLITO: " << what << '\n';
    ++failures;
}

bool Contains(const AnsiString& text, const std::string& part) {
    return text.str().find(part) != std::string::npos;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "Uso: chartviewer_test DIAGRAMMA.chart USCITA.png\n";
        return 2;
    }
    const std::string chart = argv[1], out = argv[2];
    QFile::remove(QString::fromStdString(out));

    TGuiApplication application(argc, argv);
    TChartViewer* viewer = application.CreateForm<TChartViewer>();
    AnsiString error;

    Check(!viewer->OpenChart("/non/esiste.chart", &error), "a missing chart is refused");
    Check(Contains(error, "/non/esiste.chart"), "the message names the missing file: " + error.str());

    Check(viewer->OpenChart(AnsiString(Utf8ToCp1252(chart)), &error), "opens " + chart + ": " + error.str());
    quorgrafica::clsGraf* graf = viewer->Chart()->CurrentGraf();
    Check(graf->GetBox("Inizio") != nullptr, "the example's box Inizio is there");

    viewer->FitChart();
    viewer->Show();
    application.ProcessMessages();
    Check(viewer->Chart()->Width() >= graf->MaxRight(), "the window shows every box");

    const std::string wrong = out + ".jpg";
    Check(!viewer->ExportPng(AnsiString(wrong), &error), "only .png is written");
    Check(!QFile::exists(QString::fromStdString(wrong)), "nothing is written under another name");

    quorgrafica::clsBox* inizio = graf->GetBox("Inizio");
    graf->Selected = inizio;
    Check(viewer->ExportPng(AnsiString(Utf8ToCp1252(out)), &error), "exports: " + error.str());
    Check(graf->Selected == inizio, "the selection stays as it was");

    QImage image(QString::fromStdString(out));
    Check(!image.isNull(), out + " is a PNG image");
    if (!image.isNull()) {
        Check(image.width() == viewer->Chart()->Width() && image.height() == viewer->Chart()->Height(),
              "the picture has the component's size");
        // The example's boxes are filled with 0xFFFF00 as Windows writes
        // colours (blue, green, red): cyan.
        long cyan = 0, other = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() == 0 && c.green() == 255 && c.blue() == 255)
                    ++cyan;
                else if (c != QColor(Qt::white))
                    ++other;
            }
        Check(cyan > 1000, "the boxes are drawn with their fill (" + std::to_string(cyan) + " pixels)");
        Check(other > 100, "names, texts and links are drawn too");
    }
    if (failures == 0) std::cout << "chartviewer_test: tutto bene, immagine in " << out << '\n';
    return failures == 0 ? 0 : 1;
}
