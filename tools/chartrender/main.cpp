// chartrender: draws a chart file as a PNG image or a PDF page.
//
//   chartrender [options] chart-file output.png|output.pdf
//
// The options are those of the flowchart component: which texts and flags
// the boxes show, the grid, and which graph of the tree to draw.

#include "platform/graphics/GuiApplication.h"
#include "platform/graphics/ImageCanvas.h"
#include "platform/graphics/PdfCanvas.h"
#include "quorgrafica/ChartFile.h"
#include "quorgrafica/Clsgraf.h"

#include "platform/core/Encoding.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

using namespace quorgrafica;

namespace {

const char* const Usage =
    "Uso: chartrender [opzioni] diagramma.chart uscita.png|uscita.pdf\n"
    "  --names            mostra i nomi dei box\n"
    "  --texts            mostra i testi dei box\n"
    "  --flags            mostra l'esito dell'ultimo calcolo\n"
    "  --grid             disegna la griglia\n"
    "  --compute=NOME     calcola il box NOME prima di disegnare (con --flags)\n"
    "  --backwards        calcola all'indietro, lungo i collegamenti entranti\n"
    "  --graf=G1/G2       disegna il grafico annidato nei gruppi G1, poi G2\n"
    "  --size=LxA         dimensioni della pagina in pixel\n"
    "  --columns=N        colonne di caratteri della pagina (0: larghezza / 10)\n"
    "  --rows=N           righe di caratteri della pagina (0: altezza / 10)\n"
    "  --dpi=N            risoluzione del PDF (96)\n";

struct Options {
    bool names = false, texts = false, flags = false, grid = false, backwards = false;
    std::string compute, graf;
    int width = 0, height = 0, columns = 0, rows = 0, dpi = 96;
    std::string input, output;
};

bool StartsWith(const char* arg, const char* prefix, const char** rest) {
    const std::size_t n = std::strlen(prefix);
    if (std::strncmp(arg, prefix, n) != 0) return false;
    *rest = arg + n;
    return true;
}

bool ParseInt(const char* text, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < 0 || v > 100000) return false;
    value = static_cast<int>(v);
    return true;
}

bool Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const char* rest = nullptr;
        if (!std::strcmp(a, "--names"))
            o.names = true;
        else if (!std::strcmp(a, "--texts"))
            o.texts = true;
        else if (!std::strcmp(a, "--flags"))
            o.flags = true;
        else if (!std::strcmp(a, "--grid"))
            o.grid = true;
        else if (!std::strcmp(a, "--backwards"))
            o.backwards = true;
        else if (StartsWith(a, "--compute=", &rest))
            o.compute = rest;
        else if (StartsWith(a, "--graf=", &rest))
            o.graf = rest;
        else if (StartsWith(a, "--size=", &rest)) {
            const char* x = std::strchr(rest, 'x');
            if (!x || !ParseInt(std::string(rest, x).c_str(), o.width) ||
                !ParseInt(x + 1, o.height))
                return false;
        } else if (StartsWith(a, "--columns=", &rest)) {
            if (!ParseInt(rest, o.columns)) return false;
        } else if (StartsWith(a, "--rows=", &rest)) {
            if (!ParseInt(rest, o.rows)) return false;
        } else if (StartsWith(a, "--dpi=", &rest)) {
            if (!ParseInt(rest, o.dpi) || o.dpi < 10) return false;
        } else if (a[0] == '-' && a[1] == '-')
            return false;
        else if (o.input.empty())
            o.input = a;
        else if (o.output.empty())
            o.output = a;
        else
            return false;
    }
    return !o.input.empty() && !o.output.empty();
}

// The graph reached from root through the named group boxes, or null.
clsGraf* Descend(clsGraf* root, const std::string& path, std::string& missing) {
    clsGraf* graf = root;
    std::size_t start = 0;
    while (graf && start < path.size()) {
        const std::size_t slash = path.find('/', start);
        const std::string name =
            path.substr(start, slash == std::string::npos ? slash : slash - start);
        auto* group = dynamic_cast<clsBoxGroup*>(graf->GetBox(name.c_str()));
        if (!group) {
            missing = name;
            return nullptr;
        }
        graf = group->Graf;
        start = slash == std::string::npos ? path.size() : slash + 1;
    }
    return graf;
}

bool EndsWith(const std::string& s, const char* tail) {
    const std::size_t n = std::strlen(tail);
    if (s.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != tail[i]) return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!Parse(argc, argv, o)) {
        std::fputs(Usage, stderr);
        return 2;
    }
    const bool pdf = EndsWith(o.output, ".pdf");
    if (!pdf && !EndsWith(o.output, ".png")) {
        std::fprintf(stderr, "Il file di uscita \"%s\" deve terminare con .png o .pdf.\n",
                     o.output.c_str());
        return 2;
    }
    EnsureGuiApplication();
    RegisterBoxKinds();

    // Messages leave in the terminal's encoding, names arrive in it.
    clsGraf root;
    AnsiString error;
    if (!LoadChartFile(root, AnsiString(Utf8ToCp1252(o.input)), &error)) {
        std::fprintf(stderr, "%s\n", Cp1252ToUtf8(error.view()).c_str());
        return 1;
    }
    std::string missing;
    clsGraf* graf = Descend(&root, Utf8ToCp1252(o.graf), missing);
    if (!graf) {
        std::fprintf(stderr, "Nessun gruppo di nome \"%s\" in \"%s\".\n",
                     Cp1252ToUtf8(missing).c_str(), o.input.c_str());
        return 1;
    }
    if (!o.compute.empty() && !graf->GetBox(quorbase::clsString(Utf8ToCp1252(o.compute).c_str()))) {
        std::fprintf(stderr, "Nessun box di nome \"%s\" da calcolare.\n", o.compute.c_str());
        return 1;
    }
    if (!o.compute.empty()) graf->Compute(Utf8ToCp1252(o.compute).c_str(), o.backwards, false);
    graf->GridShow = o.grid;

    // The page covers every box with a margin unless a size is given.
    const int width = o.width > 0 ? o.width : (graf->MaxRight() > 0 ? graf->MaxRight() : 0) + 40;
    const int height =
        o.height > 0 ? o.height : (graf->MaxBottom() > 0 ? graf->MaxBottom() : 0) + 40;
    if (pdf) {
        TPdfCanvas canvas(AnsiString(Utf8ToCp1252(o.output)), o.dpi);
        graf->SetPage(width, height, o.columns, o.rows);
        graf->Draw(&canvas, true, o.names, o.texts, o.flags);
        canvas.Finish();
        if (!std::ifstream(o.output)) {
            std::fprintf(stderr, "Impossibile scrivere il file \"%s\".\n", o.output.c_str());
            return 1;
        }
        return 0;
    }
    TImageCanvas canvas(width, height);
    graf->SetPage(width, height, o.columns, o.rows);
    graf->Draw(&canvas, true, o.names, o.texts, o.flags);
    if (!canvas.SaveToFile(AnsiString(Utf8ToCp1252(o.output)))) {
        std::fprintf(stderr, "Impossibile scrivere il file \"%s\".\n", o.output.c_str());
        return 1;
    }
    return 0;
}
