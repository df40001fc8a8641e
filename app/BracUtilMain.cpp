#include "app/BracUtilMain.h"

#include "app/ContoCorrenteExport.h"
#include "app/MainUtil.h"
#include "app/Utilitiesbracotene.h"
#include "app/datBracUtil.h"
#include "platform/core/Application.h"
#include "platform/core/CommandLine.h"
#include "platform/core/Encoding.h"
#include "platform/core/Exception.h"
#include "platform/core/Locale.h"
#include "platform/core/TextBlocks.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"
#include "platform/data/Variant.h"
#include "platform/gui/Forms.h"

#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <ostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr const char* kUsage =
    "Uso: bracutil [--export [--condominio ID]] [--screenshot FILE.png]\n"
    "Apre la finestra di BracUtil sull'archivio dell'alias \"Bracotene\". Senza uno schermo\n"
    "stampa invece il conto corrente del primo condominio, come --export.\n"
    "L'alias si cerca nel file indicato da QUOR_ENGINE_CONFIG, se c'\xC3\xA8; se no in\n"
    "~/.config/Quor/engine.ini (o $XDG_CONFIG_HOME/Quor/engine.ini), poi in /etc/quor/engine.ini.\n"
    "\n"
    "  --export               stampa sullo standard output il conto corrente (testo UTF-8,\n"
    "                         colonne separate da tabulazioni) invece di aprire la finestra\n"
    "  --condominio ID        con --export: il condominio da esportare (IdCondominio);\n"
    "                         senza, il primo in ordine di nome\n"
    "  --screenshot FILE.png  salva l'immagine della finestra appena aperta, poi esce\n"
    "  --help                 mostra questo aiuto\n"
    "  --version              mostra la versione\n"
    "\n"
    "Esce con 0 se tutto va bene, 1 per un errore (il messaggio va sullo standard error),\n"
    "2 per una riga di comando sbagliata.\n";

// Texts of the library are Windows-1252; the terminal reads UTF-8.
void Say(std::ostream& err, const AnsiString& text) {
    err << "bracutil: " << Cp1252ToUtf8(text.view()) << '\n';
}

bool ParseId(const std::string& text, int& id) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || errno != 0 || value < -2147483647LL - 1 || value > 2147483647LL)
        return false;
    id = static_cast<int>(value);
    return true;
}

bool StandardOutputIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdout)) != 0;
#else
    return isatty(STDOUT_FILENO) != 0;
#endif
}

} // namespace

int ParseBracUtilOptions(int argc, char** argv, BracUtilOptions& options, std::ostream& out,
                         std::ostream& err) {
    options = BracUtilOptions();
    CommandLine line("bracutil", kUsage);
    line.Flag("--export").Value("--condominio").Value("--screenshot");
    const int status = line.Parse(argc, argv, out, err);
    if (status >= 0) return status;
    if (!line.Arguments().empty())
        return line.Refuse(err, "argomento inatteso: " + line.Arguments().front());
    options.exportText = line.Has("--export");
    if (line.Has("--condominio")) {
        const std::string value = line.Get("--condominio");
        int id = 0;
        if (!ParseId(value, id))
            return line.Refuse(err, "--condominio vuole il numero (IdCondominio) del condominio, "
                                    "non \"" + value + "\"");
        if (!options.exportText) return line.Refuse(err, "--condominio vale solo con --export");
        options.condominio = id;
    }
    if (line.Has("--screenshot")) {
        const std::string file = line.Get("--screenshot");
        if (options.exportText) return line.Refuse(err, "--screenshot non vale con --export");
        // Never a picture named after an option ("--screenshot --export").
        if (file.empty() || file.front() == '-' || !HasExtension(file, {".png"}))
            return line.Refuse(err, "--screenshot vuole il nome di un file .png, non \"" + file +
                                        "\"");
        options.screenshot = file;
    }
    return -1;
}

int ExportContoCorrente(const std::optional<int>& condominio, std::ostream& out,
                        std::ostream& err, bool toTerminal) {
    ReadProductSettings();
    std::unique_ptr<TdatBracoUtil> module;
    try {
        module = std::make_unique<TdatBracoUtil>(nullptr, true);
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
    // The export reads the movements through its own query: the table that
    // follows the condominium would only hold them all once more.
    module->tblMovConti->Close();
    TTextBlocks text;
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
        WriteContoCorrente(condomini, text);
    } catch (const Exception& e) {
        Say(err, e.Message());
        return 1;
    } catch (const std::bad_alloc&) {
        Say(err, "memoria insufficiente per il conto corrente");
        return 1;
    }
    text.DrainUtf8([&out](std::string_view block) {
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    });
    // A terminal shows the prompt on a line of its own; a file or a pipe gets
    // exactly the text.
    if (toTerminal) out << '\n';
    out.flush();
    if (!out) {
        Say(err, "impossibile scrivere il conto corrente sullo standard output");
        return 1;
    }
    return 0;
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

// Grabs the main window once the window system shows it and the events
// that fill it are done, then closes it.
void ScheduleScreenshot(TGuiApplication& application, TfrmBracUtil* form, const std::string& file) {
    auto* poll = new QTimer(form->Widget());
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [&application, form, file, poll] {
        const QWindow* window = form->Widget()->windowHandle();
        if (!window || !window->isExposed()) return;
        poll->stop();
        QTimer::singleShot(0, [&application, form, file] {
            const QPixmap shot = form->Widget()->grab();
            if (!shot.save(QString::fromStdString(file), "PNG"))
                std::fprintf(stderr, "bracutil: non riesco a salvare %s\n", file.c_str());
            application.Terminate();
        });
    });
    poll->start();
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
    const int status = ParseBracUtilOptions(argc, argv, options, std::cout, std::cerr);
    if (status >= 0) return status;
    // The product is Italian: with no locale of the user's (none, C or POSIX)
    // dates and amounts are Italian too.
    FormatSettings() = TFormatSettings::FromEnvironment("it_IT.UTF-8");
    if (options.exportText) {
#ifdef _WIN32
        // The lines end in CR LF already.
        _setmode(_fileno(stdout), _O_BINARY);
#endif
        return ExportContoCorrente(options.condominio, std::cout, std::cerr,
                                   StandardOutputIsTerminal());
    }
    bool display = GuiAvailable();
    if (display) {
        const AnsiString problem = DisplayProblem();
        if (!problem.IsEmpty()) {
            Say(std::cerr, problem);
            display = false;
        }
    }
    if (!display) {
        if (options.screenshot.empty()) {
            Say(std::cerr, "nessuno schermo disponibile, stampo il conto corrente del primo "
                           "condominio invece di aprire la finestra");
            return ExportContoCorrente(std::nullopt, std::cout, std::cerr,
                                       StandardOutputIsTerminal());
        }
        // A picture of the window needs no screen.
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    TGuiApplication application(argc, argv);
    return RunBracUtilWindow(application, options);
}
