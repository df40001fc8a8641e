#include "tools/gallery/GalleryMain.h"

#include "platform/core/CommandLine.h"
#include "platform/core/Encoding.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Screen.h"
#include "tools/gallery/GalleryArchive.h"
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
    "Uso: gallery [CARTELLA] [--archivio FILE] [--screenshot FILE.png]\n"
    "  Apre la galleria dei componenti Quor su una copia dell'archivio dimostrativo.\n"
    "  La copia (Galleria.db) si rifà a ogni avvio in CARTELLA, predefinita \"galleria\"\n"
    "  nella cartella corrente; l'archivio copiato non viene mai aperto in scrittura.\n"
    "  --archivio FILE        archivio da copiare (predefinito: quello dell'alias\n"
    "                         \"Bracotene\", che BracUtil apre)\n"
    "  --screenshot FILE.png  salva l'immagine della finestra, col menu dell'albero\n"
    "                         aperto, e termina\n"
    "  --help                 mostra questo aiuto\n";

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
    cl.Value("--archivio").Value("--screenshot");
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
    }
    std::cout << "Copia di lavoro: " << copy.archive << std::endl;

    int status = 0;
    if (!screenshot.empty()) ScheduleScreenshot(application, form, screenshot, status);
    application.Run();
    return status;
}
