// chartrender: draws a chart file as a PNG image or a PDF page.
//
//   chartrender [options] chart-file output.png|output.pdf
//
// The options are those of the flowchart component: which texts and flags
// the boxes show, the grid, and which graph of the tree to draw.

#include "platform/core/CommandLine.h"
#include "platform/core/Encoding.h"
#include "platform/graphics/DrawingFile.h"
#include "platform/graphics/GuiApplication.h"
#include "quorgrafica/ChartFile.h"
#include "quorgrafica/Clsgraf.h"
#include "quorgrafica/GrafPath.h"

#include <cstdlib>
#include <iostream>
#include <string>

using namespace quorgrafica;

namespace {

const char* const Usage =
    "Uso: chartrender [opzioni] diagramma.chart uscita.png|uscita.pdf\n"
    "  --no-names         non mostra i nomi dei box (mostrati se non richiesto)\n"
    "  --no-texts         non mostra i testi dei box (mostrati se non richiesto)\n"
    "  --flags            mostra l'esito dell'ultimo calcolo\n"
    "  --grid             disegna la griglia\n"
    "  --compute=NOME     calcola il box NOME prima di disegnare (con --flags)\n"
    "  --backwards        calcola all'indietro, lungo i collegamenti entranti\n"
    "  --graf=G1/G2       disegna il grafico annidato nei gruppi G1, poi G2\n"
    "  --size=LxA         dimensioni della pagina in pixel\n"
    "  --columns=N        colonne di caratteri della pagina (0: larghezza / 10)\n"
    "  --rows=N           righe di caratteri della pagina (0: altezza / 10)\n"
    "  --dpi=N            risoluzione del PDF (96)\n"
    "  --help             mostra questo aiuto\n"
    "  --version          mostra la versione\n";

// A whole number from low to 100000; false for anything else.
bool ParseInt(const std::string& text, int low, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < low || v > 100000) return false;
    value = static_cast<int>(v);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    CommandLine cl("chartrender", Usage);
    // --names and --texts ask for what is drawn anyway; older command lines use them.
    cl.Flag("--names").Flag("--texts").Flag("--no-names").Flag("--no-texts");
    cl.Flag("--flags").Flag("--grid").Flag("--backwards");
    cl.Value("--compute").Value("--graf").Value("--size").Value("--columns").Value("--rows");
    cl.Value("--dpi");
    if (const int status = cl.Parse(argc, argv, std::cout, std::cerr); status >= 0) return status;

    if (cl.Arguments().size() != 2)
        return cl.Refuse(std::cerr, "servono il diagramma e il file di uscita");
    const std::string input = cl.Arguments()[0], output = cl.Arguments()[1];
    if (!IsDrawingFileName(AnsiString(Utf8ToCp1252(output))))
        return cl.Refuse(std::cerr,
                         "il file di uscita \"" + output + "\" deve terminare con .png o .pdf");
    int width = 0, height = 0, columns = 0, rows = 0, dpi = 96;
    if (cl.Has("--size")) {
        const std::string size = cl.Get("--size");
        const std::size_t x = size.find('x');
        if (x == std::string::npos || !ParseInt(size.substr(0, x), 1, width) ||
            !ParseInt(size.substr(x + 1), 1, height))
            return cl.Refuse(std::cerr, "--size vuole LARGHEZZAxALTEZZA, per esempio 800x600");
    }
    if (!ParseInt(cl.Get("--columns", "0"), 0, columns))
        return cl.Refuse(std::cerr, "--columns vuole un numero intero");
    if (!ParseInt(cl.Get("--rows", "0"), 0, rows))
        return cl.Refuse(std::cerr, "--rows vuole un numero intero");
    if (!ParseInt(cl.Get("--dpi", "96"), 10, dpi))
        return cl.Refuse(std::cerr, "--dpi vuole un numero intero da 10 in su");
    const std::string compute = Utf8ToCp1252(cl.Get("--compute"));

    EnsureGuiApplication();
    RegisterBoxKinds();

    // Messages leave in the terminal's encoding, names arrive in it.
    clsGraf root;
    AnsiString error;
    ChartReadNotes notes;
    if (!LoadChartFile(root, AnsiString(Utf8ToCp1252(input)), &error, &notes))
        return cl.Fail(std::cerr, Cp1252ToUtf8(error.view()));
    if (notes.NestingCapped)
        std::cerr << "chartrender: attenzione: \"" << input << "\" ha gruppi annidati oltre "
                  << MaxReadNesting << " livelli; quelli pi\xC3\xB9 interni sono disegnati vuoti\n";
    if (notes.UnclosedBlocks)
        std::cerr << "chartrender: attenzione: in \"" << input
                  << "\" alcuni blocchi non si chiudono; letto fino alla fine del file\n";

    std::string missing;
    clsGraf* graf = GrafAtPath(&root, Utf8ToCp1252(cl.Get("--graf")), &missing);
    if (!graf)
        return cl.Fail(std::cerr, "nessun gruppo di nome \"" + Cp1252ToUtf8(missing) + "\" in \"" +
                                      input + "\"");
    if (!compute.empty() && !graf->GetBox(quorbase::clsString(compute.c_str())))
        return cl.Fail(std::cerr,
                       "nessun box di nome \"" + cl.Get("--compute") + "\" da calcolare");
    if (!compute.empty()) graf->Compute(compute.c_str(), cl.Has("--backwards"), false);
    graf->GridShow = cl.Has("--grid");

    // The page covers every box with a margin unless a size is given.
    if (width == 0) width = (graf->MaxRight() > 0 ? graf->MaxRight() : 0) + 40;
    if (height == 0) height = (graf->MaxBottom() > 0 ? graf->MaxBottom() : 0) + 40;
    const bool names = !cl.Has("--no-names"), texts = !cl.Has("--no-texts");
    if (!SaveDrawing(
            AnsiString(Utf8ToCp1252(output)), width, height,
            HasExtension(output, {".pdf"}) ? dpi : 96,
            [&](TCanvas* canvas) {
                graf->SetPage(width, height, columns, rows);
                graf->Draw(canvas, true, names, texts, cl.Has("--flags"));
            },
            &error))
        return cl.Fail(std::cerr, Cp1252ToUtf8(error.view()));
    return 0;
}
