#include "tools/gallery/GalleryMain.h"

#include "platform/core/CommandLine.h"
#include "platform/core/Encoding.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Screen.h"
#include "tools/gallery/GalleryArchive.h"
#include "tools/gallery/GalleryChart.h"
#include "tools/gallery/GalleryData.h"
#include "tools/gallery/GalleryForm.h"
#include "tools/gallery/GalleryScreenshot.h"

#include <QTimer>
#include <QtGlobal>

#include <iostream>
#include <memory>
#include <exception>
#include <string>

namespace {

const char* const kUsage =
    "Uso: gallery [CARTELLA] [--archivio FILE] [--diagramma] [--screenshot FILE.png]\n"
    "  Apre la galleria dei componenti Quor su una copia dell'archivio dimostrativo\n"
    "  e su una copia del diagramma d'esempio conti.chart.\n"
    "  Le copie (Galleria.db, conti.chart) si rifanno a ogni avvio in CARTELLA,\n"
    "  predefinita \"galleria\" nella cartella corrente; gli originali non vengono\n"
    "  mai aperti in scrittura.\n"
    "  --archivio FILE        archivio da copiare (predefinito: quello dell'alias\n"
    "                         \"Bracotene\", che BracUtil apre)\n"
    "  --diagramma            apre la finestra sulla pagina del diagramma\n"
    "  --screenshot FILE.png  salva l'immagine della finestra e termina: la pagina\n"
    "                         dell'archivio col menu dell'albero aperto, o quella\n"
    "                         del diagramma dentro il gruppo Verifiche\n"
    "  --help                 mostra questo aiuto\n"
    "  --version              mostra la versione\n";

// The screenshot waits for the window to be laid out and shown.
void ScheduleScreenshot(TGuiApplication& application, TfrmGalleria* form, const std::string& file,
                        int& status) {
    QTimer::singleShot(400, [form] { gallery::StageScreenshot(form); });
    QTimer::singleShot(900, [&application, form, file, &status] {
        std::string error;
        if (!gallery::SaveScreenshot(form, file, error)) {
            std::cerr << "gallery: " << error << '\n';
            status = 1;
        }
        application.Terminate();
    });
}

} // namespace

int GalleryMain(int argc, char** argv) {
    CommandLine cl("gallery", kUsage);
    cl.Value("--archivio").Value("--screenshot").Flag("--diagramma");
    if (const int status = cl.Parse(argc, argv, std::cout, std::cerr); status >= 0) return status;
    if (cl.Arguments().size() > 1) return cl.Refuse(std::cerr, "indica al più una cartella");
    const std::string screenshot = cl.Get("--screenshot");
    if (cl.Has("--screenshot") && !HasExtension(screenshot, {".png"}))
        return cl.Refuse(std::cerr, "il file \"" + screenshot + "\" deve terminare con .png");

    if (!GuiAvailable()) {
        if (screenshot.empty())
            return cl.Fail(std::cerr,
                           "nessuno schermo disponibile: la galleria è una finestra e ha "
                           "bisogno di un display (DISPLAY o WAYLAND_DISPLAY); per averne "
                           "solo l'immagine usa --screenshot FILE.png");
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    std::string source = cl.Get("--archivio");
    std::string error;
    if (!cl.Has("--archivio") && !gallery::UtilityArchive(source, error))
        return cl.Fail(std::cerr, error + "; indica l'archivio da copiare con --archivio FILE");
    const std::string folder = cl.Arguments().empty() ? "galleria" : cl.Arguments()[0];

    TGuiApplication application(argc, argv);
    application.SetTitle("Galleria Quor");
    gallery::GalleryCopy copy;
    std::string chart;
    TfrmGalleria* form = nullptr;
    {
        TWaitCursor wait;
        if (!gallery::MakeGalleryCopy(source, folder, copy, error)) return cl.Fail(std::cerr, error);
        gallery::UseGalleryCopy(copy);
        TdatGalleria* data = nullptr;
        try {
            data = application.CreateForm<TdatGalleria>();
        } catch (const std::exception& e) {
            return cl.Fail(std::cerr,
                           "la copia " + copy.archive + " non si apre: " + Cp1252ToUtf8(e.what()));
        }
        const AnsiString archiveName(Utf8ToCp1252(copy.archive));
        try {
            form = application.CreateForm<TfrmGalleria>(
                [&] { return new TfrmGalleria(nullptr, data, archiveName); });
        } catch (const std::exception& e) {
            return cl.Fail(std::cerr, "la finestra non si apre: " + Cp1252ToUtf8(e.what()));
        }
        // Without the chart the window still shows the archive; its page says why.
        std::string example;
        AnsiString why;
        if (!gallery::ExampleChart(example, error) ||
            !gallery::MakeChartCopy(example, folder, chart, error)) {
            chart.clear();
            why = AnsiString(Utf8ToCp1252(error));
            form->ChartUnavailable(why);
        } else if (!form->OpenChart(AnsiString(Utf8ToCp1252(chart)), &why)) {
            chart.clear();
        }
        if (chart.empty()) std::cerr << "gallery: " << Cp1252ToUtf8(why.view()) << '\n';
        if (cl.Has("--diagramma")) form->ShowPage(form->tbsDiagramma);
    }
    std::cout << "Copia di lavoro: " << copy.archive << std::endl;
    if (!chart.empty()) std::cout << "Copia del diagramma: " << chart << std::endl;

    int status = 0;
    if (!screenshot.empty()) ScheduleScreenshot(application, form, screenshot, status);
    application.Run();
    return status;
}
