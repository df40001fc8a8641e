// The chart editor's files: new, open, save, the question over unsaved
// changes, and the export of the graph on show.

#include "tools/charteditor/ChartEditor.h"

#include "platform/core/Application.h"
#include "platform/core/CommandLine.h"
#include "platform/core/Encoding.h"
#include "platform/core/Files.h"
#include "platform/graphics/DrawingFile.h"
#include "platform/gui/Screen.h"
#include "quorgrafica/ChartFile.h"
#include "quorgrafica/Clsgraf.h"
#include "tools/charteditor/ChartSnapshot.h"
#include "tools/charteditor/EditorChart.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace charteditor {

using quorgrafica::clsBox;
using quorgrafica::clsGraf;

namespace {

constexpr const char* ProgramTitle = "Editor di diagrammi";

// The lines of a chart file that has just been read, for what the reader
// leaves out; none when it cannot be read again.
void ReadLinesAgain(const AnsiString& fileName, quorbase::clsConfig& lines) {
    std::ifstream in(std::filesystem::path(Cp1252ToUtf16(fileName.view())), std::ios::binary);
    std::ostringstream text;
    if (in && (text << in.rdbuf())) quorgrafica::ChartTextToLines(text.str(), lines);
}

// name with extension when it has none.
AnsiString WithExtension(const AnsiString& name, const char* extension) {
    return ExtractFileExt(name).IsEmpty() ? name + extension : name;
}

// The document's name for a file of another kind: "conti.png" for "conti.chart".
AnsiString Proposal(const AnsiString& fileName, const char* extension) {
    if (fileName.IsEmpty()) return AnsiString("diagramma") + extension;
    const AnsiString ext = ExtractFileExt(fileName);
    const std::string& name = fileName.str();
    return AnsiString(name.substr(0, name.size() - ext.str().size())) + extension;
}

} // namespace

AnsiString ChartEditor::DocumentName() const {
    return fileName_.IsEmpty() ? AnsiString("Senza nome") : ExtractFileName(fileName_);
}

AnsiString ChartEditor::Caption() const {
    return (Modified() ? AnsiString("*") : AnsiString()) + DocumentName() + " - " + ProgramTitle;
}

bool ChartEditor::CanClose() {
    if (!Modified()) return true;
    EndTyping();
    switch (
        Ask("Il diagramma \"" + DocumentName() + "\" \xE8 stato modificato.\nSalvare le modifiche?",
            MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
        return Save();
    case IDNO:
        return true;
    default:
        return false;
    }
}

bool ChartEditor::NewChart() {
    if (!Idle() || !CanClose()) return false;
    clsGraf* root = chart_.RootGraf();
    root->Clear();
    root->Name = quorbase::clsString();
    root->Title = quorbase::clsString();
    Started(AnsiString());
    return true;
}

bool ChartEditor::Open() {
    if (!Idle() || !CanClose()) return false;
    AnsiString name = fileName_;
    if (!AskOpenName || !AskOpenName(name) || name.IsEmpty()) return false;
    return OpenFile(name);
}

bool ChartEditor::OpenFile(const AnsiString& fileName, AnsiString* error) {
    if (!Idle()) return false;
    TWaitCursor wait;
    clsGraf* root = chart_.RootGraf();
    AnsiString failure;
    quorgrafica::ChartReadNotes notes;
    if (!quorgrafica::LoadChartFile(*root, fileName, &failure, &notes)) {
        if (error)
            *error = failure;
        else
            Ask(failure, MB_OK | MB_ICONERROR);
        return false;
    }
    quorbase::clsConfig lines;
    ReadLinesAgain(fileName, lines);
    CopyGrafTitles(*root, lines);
    Started(fileName);
    // Saving such a chart would keep only what could be read.
    AnsiString warning;
    if (notes.NestingCapped)
        warning = "Il diagramma \"" + DocumentName() + "\" ha gruppi annidati oltre " +
                  AnsiString(quorgrafica::MaxReadNesting) +
                  " livelli: quelli pi\xF9 interni sono stati letti vuoti.";
    if (notes.UnclosedBlocks)
        warning = (warning.IsEmpty() ? AnsiString() : warning + "\n") + "Nel diagramma \"" +
                  DocumentName() +
                  "\" alcuni blocchi non si chiudono: letto fino alla fine del file.";
    if (!warning.IsEmpty() && !error) Ask(warning, MB_OK | MB_ICONWARNING);
    return true;
}

bool ChartEditor::Save() {
    if (fileName_.IsEmpty()) return SaveAs();
    return SaveTo(fileName_);
}

bool ChartEditor::SaveAs() {
    if (!Idle()) return false;
    AnsiString name = fileName_.IsEmpty() ? AnsiString("diagramma.chart") : fileName_;
    if (!AskSaveName || !AskSaveName(name) || name.IsEmpty()) return false;
    return SaveTo(WithExtension(name, ".chart"));
}

bool ChartEditor::SaveTo(const AnsiString& fileName) {
    if (!Idle()) return false;
    EndTyping();
    TWaitCursor wait;
    AnsiString error;
    if (!quorgrafica::SaveChartFile(*chart_.RootGraf(), fileName, &error)) {
        Ask(error, MB_OK | MB_ICONERROR);
        return false;
    }
    fileName_ = fileName;
    history_.MarkSaved();
    StateChanged();
    return true;
}

bool ChartEditor::Export(const char* extension) {
    if (!Idle()) return false;
    AnsiString name = Proposal(fileName_, extension);
    if (!AskExportName || !AskExportName(name) || name.IsEmpty()) return false;
    return ExportTo(WithExtension(name, extension));
}

int ChartEditor::PageDpi(int width, int height) {
    // A PDF page is A4: the resolution makes the drawing fit it.
    return std::max({96, static_cast<int>(std::ceil(width * 25.4 / 210)),
                     static_cast<int>(std::ceil(height * 25.4 / 297))});
}

bool ChartEditor::ExportTo(const AnsiString& fileName) {
    if (!Idle()) return false;
    if (!IsDrawingFileName(fileName)) {
        Ask("Il file \"" + fileName + "\" deve terminare con .png o .pdf.", MB_OK | MB_ICONERROR);
        return false;
    }
    TWaitCursor wait;
    const int width = std::max(1, chart_.Width()), height = std::max(1, chart_.Height());
    const int dpi = HasExtension(fileName.str(), {".pdf"}) ? PageDpi(width, height) : 96;
    // The picture shows the chart, not the editor's selection.
    clsGraf* graf = chart_.CurrentGraf();
    struct Unselected {
        clsGraf* graf;
        clsBox* selected;
        ~Unselected() { graf->Selected = selected; }
    } unselected{graf, graf->Selected};
    graf->Selected = nullptr;
    AnsiString error;
    const bool saved = SaveDrawing(
        fileName, width, height, dpi, [&](TCanvas* canvas) { chart_.DrawOn(canvas); }, &error);
    if (!saved) Ask(error, MB_OK | MB_ICONERROR);
    return saved;
}

} // namespace charteditor
