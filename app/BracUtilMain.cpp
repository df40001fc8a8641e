#include "app/BracUtilMain.h"

#include "app/ContoCorrenteExport.h"
#include "app/MainUtil.h"
#include "app/Utilitiesbracotene.h"
#include "app/datBracUtil.h"
#include "platform/core/Application.h"
#include "platform/core/Encoding.h"
#include "platform/core/Exception.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"
#include "platform/data/Variant.h"
#include "platform/gui/Forms.h"

#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <ostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

// Texts of the library are Windows-1252; the terminal reads UTF-8.
void Say(std::ostream& err, const AnsiString& text) {
    err << "bracutil: " << Cp1252ToUtf8(text.view()) << '\n';
}

bool ParseId(const std::string& text, int& id) {
    if (text.empty()) return false;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || value < -2147483647L - 1 || value > 2147483647L) return false;
    id = static_cast<int>(value);
    return true;
}

} // namespace

bool ParseBracUtilOptions(int argc, char** argv, BracUtilOptions& options, std::string& error) {
    options = BracUtilOptions();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--export") {
            options.exportText = true;
        } else if (arg == "--condominio") {
            int id = 0;
            if (i + 1 >= argc || !ParseId(argv[i + 1], id)) {
                error = "--condominio vuole il numero (IdCondominio) del condominio";
                return false;
            }
            options.condominio = id;
            ++i;
        } else if (arg == "--screenshot") {
            if (i + 1 >= argc) {
                error = "--screenshot vuole il nome del file PNG";
                return false;
            }
            options.screenshot = argv[++i];
        } else {
            error = "opzione sconosciuta: " + arg;
            return false;
        }
    }
    if (options.condominio && !options.exportText) {
        error = "--condominio vale solo con --export";
        return false;
    }
    if (options.exportText && !options.screenshot.empty()) {
        error = "--screenshot non vale con --export";
        return false;
    }
    return true;
}

int ExportContoCorrente(const std::optional<int>& condominio, std::ostream& out,
                        std::ostream& err) {
    ReadProductSettings();
    std::unique_ptr<TdatBracoUtil> module;
    try {
        module = std::make_unique<TdatBracoUtil>();
    } catch (const Exception& e) {
        Say(err, e.Message());
        return 1;
    } catch (const std::exception& e) {
        Say(err, AnsiString("errore durante l'avvio: ") + e.what());
        return 1;
    }
    // Without either table the text would be a bare header: say so instead.
    TTable* condomini = module->tblCondomini;
    for (TTable* table : {condomini, module->tblMovConti}) {
        if (!table->Active()) {
            Say(err, "l'archivio " + table->TableName() + " non \xE8 aperto");
            return 1;
        }
    }
    try {
        if (condominio) {
            if (!condomini->Locate("IdCondominio", Variant(*condominio))) {
                Say(err, "il condominio " + IntToStr(*condominio) + " non esiste");
                return 1;
            }
        } else {
            condomini->First();
            if (condomini->Eof()) {
                Say(err, "l'archivio non contiene condomini");
                return 1;
            }
        }
        const quorbase::clsString text = BuildContoCorrenteText(condomini);
        out << Cp1252ToUtf8(std::string_view(text.CStr() ? text.CStr() : "", text.Length()));
        out.flush();
    } catch (const std::exception& e) {
        Say(err, e.what());
        return 1;
    }
    return out ? 0 : 1;
}

namespace {

// The platform's display of an error that ended the start-up.
void ShowStartupError(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const Exception&) {
        Application->HandleException(error);
    } catch (...) {
        Application->ShowException(Exception(""));
    }
}

// Grabs the main window once it is on screen, then closes it.
void ScheduleScreenshot(TGuiApplication& application, TfrmBracUtil* form, const std::string& file) {
    QTimer::singleShot(700, [&application, form, file] {
        const QPixmap shot = form->Widget()->grab();
        if (!shot.save(QString::fromStdString(file), "PNG"))
            std::fprintf(stderr, "bracutil: non riesco a salvare %s\n", file.c_str());
        application.Terminate();
    });
}

} // namespace

int RunBracUtilWindow(TGuiApplication& application, const BracUtilOptions& options) {
    application.SetTitle("BracUtil");
    // Read before the session starts, so that Net and Priv reach the engine.
    ReadProductSettings();
    TfrmBracUtil* form = application.CreateForm<TfrmBracUtil>();
    TdatBracoUtil* module = nullptr;
    try {
        module = application.CreateForm<TdatBracoUtil>();
    } catch (...) {
        ShowStartupError(std::current_exception());
        return 0;
    }
    form->ConnectDataModule(module);
    if (!options.screenshot.empty()) ScheduleScreenshot(application, form, options.screenshot);
    return application.Run();
}

int BracUtilMain(int argc, char** argv) {
    BracUtilOptions options;
    std::string error;
    if (!ParseBracUtilOptions(argc, argv, options, error)) {
        std::fprintf(stderr,
                     "bracutil: %s\nUso: bracutil [--export [--condominio ID]] "
                     "[--screenshot FILE.png]\n",
                     error.c_str());
        return 2;
    }
    if (options.exportText) {
#ifdef _WIN32
        // The lines end in CR LF already.
        _setmode(_fileno(stdout), _O_BINARY);
#endif
        return ExportContoCorrente(options.condominio, std::cout, std::cerr);
    }
    if (!GuiAvailable() && options.screenshot.empty()) {
        std::fprintf(stderr, "bracutil: nessuno schermo disponibile, stampo il conto corrente "
                             "del primo condominio invece di aprire la finestra\n");
        return ExportContoCorrente(std::nullopt, std::cout, std::cerr);
    }
    TGuiApplication application(argc, argv);
    return RunBracUtilWindow(application, options);
}
