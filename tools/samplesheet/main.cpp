// Draws a sample sheet of the graphics utilities (frames with every shadow,
// alignments, three-part lines, barcodes) to a PNG image and a PDF page.
//
//   samplesheet [sheet.png] [sheet.pdf]
//
// Each file named is written, a PNG image or a PDF page by its extension.

#include "graphics/Clsbarcode.h"
#include "graphics/Utilitiesgrafiche.h"
#include "platform/core/CommandLine.h"
#include "platform/core/Encoding.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawingFile.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

// A4 at 96 dots per inch; the PDF page uses the same resolution, so one
// drawing serves both.
constexpr int kWidth = 794;
constexpr int kHeight = 1123;
constexpr int kDpi = 96;

void Caption(TCanvas* c, int x, int y, const char* text) {
    c->Font()->SetSize(8);
    c->Font()->SetStyle(0);
    c->Font()->SetColor(clBlack);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(x, y, text);
}

void Heading(TCanvas* c, int y, const char* text) {
    c->Font()->SetSize(12);
    c->Font()->SetStyle(fsBold);
    c->Font()->SetColor(clNavy);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(40, y, text);
    c->Pen()->SetColor(clNavy);
    DrawLine(c, 40, y + 22, kWidth - 40, y + 22);
    c->Pen()->SetColor(clBlack);
}

int Box(TCanvas* c, const TRect& r, const char* text, int style, TColor back, int shadow = 6) {
    c->Font()->SetSize(9);
    c->Font()->SetStyle(0);
    c->Font()->SetColor(clBlack);
    return TextDraw(c, text, r, style, 2, 2, 2, 2, false, shadow, 0x808080, back);
}

void DrawSheet(TCanvas* c) {
    c->Font()->SetName("DejaVu Sans");
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(0, 0, kWidth, kHeight));

    c->Font()->SetSize(16);
    c->Font()->SetStyle(fsBold);
    TextDraw(c, "BracUtil - foglio di prova della grafica", Rect(40, 24, kWidth - 40, 70),
             tsAlignCenter | tsFrame | tsTop2 | tsBottom2 | tsShadowRight | tsShadowBottom, 4, 4, 3,
             3, false, 5, 0x808080, 0xF4E8D8);

    // Frames with every shadow.
    Heading(c, 90, "Cornici e ombre");
    struct Frame {
        const char* name;
        int style;
    };
    const Frame frames[] = {
        {"Ombra a sinistra", tsFrame | tsShadowLeft},
        {"Ombra a destra", tsFrame | tsShadowRight},
        {"Ombra sopra", tsFrame | tsShadowTop},
        {"Ombra sotto", tsFrame | tsShadowBottom},
        {"Destra e sotto", tsFrame | tsShadowRight | tsShadowBottom},
        {"Sinistra e sopra", tsFrame | tsShadowLeft | tsShadowTop},
        {"Tutte le ombre", tsFrame | tsShadowLeft | tsShadowRight | tsShadowTop | tsShadowBottom},
        {"Rilievo", tsRaised | tsAlignCenter},
        {"Cornice doppia", tsFrame | tsTop2 | tsRight2 | tsBottom2 | tsLeft2},
        {"Doppia e ombra",
         tsFrame | tsTop2 | tsRight2 | tsBottom2 | tsLeft2 | tsShadowRight | tsShadowBottom},
    };
    for (int i = 0; i < 10; ++i) {
        const int col = i % 5, row = i / 5;
        const TRect r =
            Rect(52 + col * 145, 135 + row * 80, 52 + col * 145 + 115, 135 + row * 80 + 48);
        const TColor back = frames[i].style & tsRaised ? clSilver : 0xFFF8F0;
        Box(c, r, frames[i].name, frames[i].style | tsAlignCenter, back);
    }

    // Alignments and layouts.
    Heading(c, 300, "Allineamenti e impaginazione");
    const int y = 345;
    Box(c, Rect(40, y, 250, y + 50), "Testo allineato a sinistra", tsFrame | tsAlignLeft, clWhite);
    Box(c, Rect(292, y, 502, y + 50), "Testo centrato", tsFrame | tsAlignCenter, clWhite);
    Box(c, Rect(544, y, 754, y + 50), "Testo allineato a destra", tsFrame | tsAlignRight, clWhite);
    Box(c, Rect(40, y + 70, 250, y + 200),
        "Un paragrafo lungo va a capo secondo le sillabe: la casa bella sul cammino della "
        "strada.\nSecondo paragrafo.",
        tsFrame | tsShadowRight | tsShadowBottom, 0xE0FFFF);
    Box(c, Rect(292, y + 70, 502, y + 200), "Uno\nDue\nTre\nQuattro\nCinque", tsFrame | tsAlternate,
        0xE8FFE8);
    // Half steps overlap the lines, so they go without a background of their own.
    Box(c, Rect(544, y + 70, 754, y + 200), "Uno\nDue\nTre\nQuattro\nCinque\nSei",
        tsFrame | tsAlternateHalf, clNone);
    Caption(c, 40, y + 210, "A capo per sillabe");
    Caption(c, 292, y + 210, "Paragrafi alterni");
    Caption(c, 544, y + 210, "Alterni a mezza riga");
    Box(c, Rect(40, y + 240, 400, y + 270),
        "Tagliato in fondo: questa riga continua ma il riquadro e' basso", tsFrame | tsClipBottom,
        clWhite);
    Box(c, Rect(420, y + 240, 754, y + 270), "Rientro a destra",
        tsFrame | tsAlignRight | tsIndentRight, clWhite);

    // Three-part lines.
    Heading(c, 660, "Righe in tre parti");
    const char* parts[] = {"Condominio\nVia Roma 12\nPagina 1", "Rata\nScadenza 31/12\n\x80 120,00",
                           "Sinistra\nCentro\nDestra\n(quarta parte ignorata)"};
    for (int i = 0; i < 3; ++i)
        Box(c, Rect(40, 705 + i * 40, kWidth - 40, 705 + i * 40 + 30), parts[i],
            tsFrame | tsThreeParts | (i == 1 ? tsRaised : 0), i == 1 ? clSilver : 0xF8F8F8, 0);

    // Barcodes.
    Heading(c, 840, "Codici a barre (Code 39)");
    c->Font()->SetSize(10);
    c->Font()->SetStyle(0);
    c->Font()->SetColor(clBlack);
    TextDraw(c, "BRACUTIL-2026", Rect(40, 885, 400, 985), tsBarCode | tsFrame, 12, 6, 1, 1, false,
             0, 0x808080, clWhite);
    clsBarCodeEAN39 code;
    code.Data = "CONTO 42/7";
    code.Captions = "Condominio Aurora\nConto corrente";
    c->Brush()->SetColor(clWhite);
    code.Paint(c, Rect(430, 885, 754, 985), true, 6, 10, 10, 8);
    Caption(c, 40, 995, "Disegnato con TextDraw");
    Caption(c, 430, 995, "Con le didascalie sotto");

    Caption(c, 40, kHeight - 40, "Generato da tools/samplesheet");
}

} // namespace

int main(int argc, char** argv) {
    CommandLine cl("samplesheet", "Uso: samplesheet [foglio.png] [foglio.pdf]\n"
                                  "  Disegna il foglio di prova in ogni file indicato, immagine\n"
                                  "  .png o pagina .pdf; senza file, in samplesheet.png e\n"
                                  "  samplesheet.pdf nella cartella corrente.\n"
                                  "  --help             mostra questo aiuto\n"
                                  "  --version          mostra la versione\n");
    if (const int status = cl.Parse(argc, argv, std::cout, std::cerr); status >= 0) return status;
    std::vector<std::string> outputs = cl.Arguments();
    if (outputs.empty()) outputs = {"samplesheet.png", "samplesheet.pdf"};
    for (const std::string& output : outputs)
        if (!IsDrawingFileName(AnsiString(Utf8ToCp1252(output))))
            return cl.Refuse(std::cerr,
                             "il file \"" + output + "\" deve terminare con .png o .pdf");
    for (const std::string& output : outputs) {
        AnsiString error;
        if (!SaveDrawing(AnsiString(Utf8ToCp1252(output)), kWidth, kHeight, kDpi, DrawSheet,
                         &error))
            return cl.Fail(std::cerr, Cp1252ToUtf8(error.view()));
        std::cout << output << '\n';
    }
    return 0;
}
