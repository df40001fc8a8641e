#include "ChartViewer.h"

#include "platform/core/CommandLine.h"
#include "platform/core/Encoding.h"
#include "platform/graphics/DrawingFile.h"
#include "platform/graphics/Font.h"
#include "platform/gui/Button.h"
#include "platform/gui/Label.h"
#include "platform/gui/Panel.h"
#include "quorgrafica/ChartFile.h"
#include "quorgrafica/QuorFlowChart.h"

#include <QFileDialog>
#include <QString>

#include <algorithm>

namespace {

constexpr int kBarHeight = 36;
constexpr int kMargin = 40;

} // namespace

TChartViewer::TChartViewer(TComponent* owner) : TForm(owner) {
    SetCaption("Visore di diagrammi");
    SetBounds(100, 100, 800, 600);

    bar_ = new TPanel(this);
    bar_->SetParent(this);
    bar_->SetAlign(alTop);
    bar_->SetHeight(kBarHeight);

    export_ = new TButton(this);
    export_->SetParent(bar_);
    export_->SetBounds(6, 6, 140, kBarHeight - 12);
    export_->SetCaption("Esporta come PNG...");
    export_->OnClick = [this](TObject*) { ExportClick(); };

    status_ = new TLabel(this);
    status_->SetParent(bar_);
    status_->SetBounds(160, 10, 600, kBarHeight - 16);

    chart_ = new quorgrafica::TQuorFlowChart(this);
    chart_->SetParent(this);
    chart_->SetAlign(alClient);
    chart_->SetShowBoxName(true);
    chart_->SetShowBoxText(true);
    chart_->SetConnectBoxes(true);
}

bool TChartViewer::OpenChart(const AnsiString& fileName, AnsiString* error) {
    if (!quorgrafica::LoadChartFile(*chart_->RootGraf(), fileName, error)) return false;
    fileName_ = fileName;
    SetCaption(fileName + " - Visore di diagrammi");
    status_->SetCaption(AnsiString());
    chart_->Invalidate();
    return true;
}

void TChartViewer::FitChart() {
    quorgrafica::clsGraf* graf = chart_->CurrentGraf();
    const int width = std::max(200, graf->MaxRight() + kMargin);
    const int height = std::max(150, graf->MaxBottom() + kMargin);
    SetBounds(Left(), Top(), width, height + kBarHeight);
}

bool TChartViewer::ExportPng(const AnsiString& fileName, AnsiString* error) {
    if (!HasExtension(fileName.str(), {".png"})) {
        if (error) *error = "Il file \"" + fileName + "\" deve terminare con .png.";
        return false;
    }
    quorgrafica::clsGraf* graf = chart_->CurrentGraf();
    quorgrafica::clsBox* selected = graf->Selected;
    graf->Selected = nullptr;
    const bool saved = SaveDrawing(
        fileName, std::max(1, chart_->Width()), std::max(1, chart_->Height()), 96,
        [this](TCanvas* canvas) { chart_->DrawOn(canvas); }, error);
    graf->Selected = selected;
    return saved;
}

void TChartViewer::ExportClick() {
    QString proposal = QString::fromStdString(Cp1252ToUtf8(fileName_.view()));
    if (proposal.endsWith(".chart")) proposal.chop(6);
    const QString chosen = QFileDialog::getSaveFileName(
        nullptr, "Esporta come PNG", proposal + ".png", "Immagini PNG (*.png)");
    if (chosen.isEmpty()) return;
    const AnsiString name(Utf8ToCp1252(chosen.toStdString()));
    AnsiString error;
    if (ExportPng(name, &error)) {
        status_->SetCaption("Esportato in " + name);
        status_->Font()->SetColor(clBlack);
    } else {
        status_->SetCaption(error);
        status_->Font()->SetColor(clRed);
    }
}
