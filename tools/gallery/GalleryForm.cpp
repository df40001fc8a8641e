#include "tools/gallery/GalleryForm.h"

#include "controls/DBQuorLookupComboBox.h"
#include "controls/QuorDbEdit.h"
#include "controls/QuorTreeView.h"
#include "graphics/QuorLabel.h"
#include "platform/core/Exception.h"
#include "platform/data/DataSource.h"
#include "platform/data/Query.h"
#include "platform/data/Table.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Picture.h"
#include "platform/gui/Button.h"
#include "platform/gui/DBGrid.h"
#include "platform/gui/Image.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Label.h"
#include "platform/gui/PageControl.h"
#include "platform/gui/Panel.h"
#include "platform/gui/Screen.h"
#include "quorgrafica/ChartFile.h"
#include "quorgrafica/QuorFlowChart.h"
#include "tools/gallery/GalleryChart.h"
#include "tools/gallery/GalleryData.h"
#include "tools/gallery/GalleryPictures.h"

using quorgrafica::TQuorFlowChart;

namespace {

constexpr TColor kHeadingColor = RGB(30, 60, 120);
constexpr unsigned short kF2 = VK_F1 + 1;
constexpr unsigned short kF5 = VK_F1 + 4;
constexpr TColor kErrorColor = RGB(170, 20, 20);
// The parent graph's preview, at the top right of the chart.
constexpr int kPreviewWidth = 300;
constexpr int kPreviewHeight = 238;
constexpr int kPreviewMargin = 12;

TLabel* FieldLabel(TForm* form, TPanel* parent, const char* caption, int left, int top) {
    auto* label = new TLabel(form);
    label->SetParent(parent);
    label->SetCaption(caption);
    label->SetBounds(left, top + 4, 90, 18);
    return label;
}

QuorDbEdit* FieldEdit(TForm* form, TPanel* parent, const char* name, TDataSource* source,
                      const char* field, int left, int top, int width) {
    auto* edit = new QuorDbEdit(form);
    edit->SetName(name);
    edit->SetParent(parent);
    edit->SetBounds(left, top, width, 26);
    edit->SetDataSource(source);
    edit->SetDataField(field);
    return edit;
}

} // namespace

TfrmGalleria::TfrmGalleria(TComponent* owner, TdatGalleria* data, const AnsiString& archiveName)
    : TForm(owner), data_(data), archiveName_(archiveName) {
    SetName("frmGalleria");
    SetCaption("Galleria dei componenti Quor");
    SetBounds(20, 20, 1240, 760);
    SetColor(clBtnFace);
    Font()->SetName("DejaVu Sans");
    Font()->SetSize(9);
    OnKeyDown = [this](TObject* s, unsigned short& key, TShiftState shift) {
        FormKeyDown(s, key, shift);
    };
    // Created in the order the Tab key visits them.
    CreateBanner();
    CreateStatus();
    CreatePages();
    CreateChart();
    CreateMovement();
    CreateDiagram();
    data_->datMovConti->OnDataChange = [this](TObject* s, TField* f) { datMovContiDataChange(s, f); };
    ShowStatus(tbsArchivio, AnsiString(), false);
    ChartUnavailable("Nessun diagramma aperto");
    SetupTree();
}

TfrmGalleria::~TfrmGalleria() {
    if (data_) data_->datMovConti->OnDataChange = nullptr;
    // Tabs and the chart still report while the widgets go, with the form half gone.
    if (pgGalleria) pgGalleria->OnChange = nullptr;
    if (fcDiagramma) {
        fcDiagramma->OnChange = nullptr;
        fcDiagramma->OnResize = nullptr;
    }
    // The label's picture belongs to the image; the label must not outlive it.
    if (lblTitolo) lblTitolo->SetImage(nullptr);
}

void TfrmGalleria::CreateBanner() {
    imgSfondo = new TImage(this);
    imgSfondo->SetName("imgSfondo");
    imgSfondo->SetParent(this);
    imgSfondo->SetVisible(false);
    gallery::DrawBannerTile(imgSfondo->Picture()->Bitmap());

    lblTitolo = new TQuorLabel(this);
    lblTitolo->SetName("lblTitolo");
    lblTitolo->SetParent(this);
    lblTitolo->SetAutoSize(false);
    lblTitolo->SetAlign(alTop);
    lblTitolo->SetHeight(46);
    lblTitolo->SetAlignment(taCenter);
    lblTitolo->Font()->SetName("DejaVu Sans");
    lblTitolo->Font()->SetSize(24);
    lblTitolo->Font()->SetStyle(fsBold);
    lblTitolo->Font()->SetColor(clWhite);
    lblTitolo->SetShadowColor(RGB(10, 20, 45));
    lblTitolo->SetShadowWidth(3);
    lblTitolo->SetImage(imgSfondo);
    lblTitolo->SetCaption("Galleria dei componenti Quor");
}

TQuorLabel* TfrmGalleria::CreateHeading(TPanel* parent, const char* name,
                                        const AnsiString& caption, const AnsiString& hint) {
    auto* row = new TPanel(this);
    row->SetParent(parent);
    row->SetAlign(alTop);
    row->SetHeight(28);

    auto* heading = new TQuorLabel(this);
    heading->SetName(name);
    heading->SetParent(row);
    heading->SetAutoSize(false);
    heading->SetAlign(alLeft);
    heading->SetWidth(220);
    heading->Font()->SetName("DejaVu Sans");
    heading->Font()->SetSize(13);
    heading->Font()->SetStyle(fsBold);
    heading->Font()->SetColor(kHeadingColor);
    heading->SetShadowColor(RGB(190, 190, 200));
    heading->SetShadowWidth(2);
    heading->SetCaption(" " + caption);

    auto* keys = new TLabel(this);
    keys->SetParent(row);
    keys->SetAutoSize(false);
    keys->SetAlign(alClient);
    keys->SetAlignment(taRightJustify);
    keys->Font()->SetSize(8);
    keys->Font()->SetColor(clGray);
    keys->SetCaption(hint + "  ");
    return heading;
}

TDBGrid* TfrmGalleria::CreateGrid(TPanel* parent, const char* name) {
    auto* grid = new TDBGrid(this);
    grid->SetName(name);
    grid->SetParent(parent);
    grid->SetAlign(alClient);
    grid->SetColor(clWhite);
    // Changes come through the components; the grid only shows them.
    grid->SetOptions({dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                      dgRowSelect, dgAlwaysShowSelection});
    return grid;
}

void TfrmGalleria::CreatePages() {
    pgGalleria = new TPageControl(this);
    pgGalleria->SetName("pgGalleria");
    pgGalleria->SetParent(this);
    pgGalleria->SetAlign(alClient);
    pgGalleria->OnChange = [this](TObject*) { ShowActiveStatus(); };

    tbsArchivio = new TTabSheet(this);
    tbsArchivio->SetName("tbsArchivio");
    tbsArchivio->SetPageControl(pgGalleria);
    tbsArchivio->SetCaption("Archivio");

    tbsDiagramma = new TTabSheet(this);
    tbsDiagramma->SetName("tbsDiagramma");
    tbsDiagramma->SetPageControl(pgGalleria);
    tbsDiagramma->SetCaption("Diagramma");
    pgGalleria->SetActivePage(tbsArchivio);
}

void TfrmGalleria::CreateChart() {
    pnlConti = new TPanel(this);
    pnlConti->SetName("pnlConti");
    pnlConti->SetParent(tbsArchivio);
    pnlConti->SetAlign(alLeft);
    pnlConti->SetWidth(640);
    lblConti = CreateHeading(pnlConti, "lblConti", "Piano dei conti",
                             "F2 rinomina \xB7 Ins nuovo \xB7 Canc elimina \xB7 "
                             "Ctrl+Su/Gi\xF9 sposta");

    imlConti = new TImageList(this);
    imlConti->SetName("imlConti");
    gallery::AddChartIcons(imlConti);

    tvConti = new TQuorTreeView(this);
    tvConti->SetName("tvConti");
    tvConti->SetParent(pnlConti);
    tvConti->SetAlign(alLeft);
    tvConti->SetWidth(300);
    tvConti->SetColor(clWhite);
    tvConti->SetImages(imlConti);
    tvConti->SetHideSelection(false);
    tvConti->OnKeyDown = [this](TObject* s, unsigned short& key, TShiftState shift) {
        tvContiKeyDown(s, key, shift);
    };

    dbgConti = CreateGrid(pnlConti, "dbgConti");
    dbgConti->SetDataSource(data_->datPianoConti);
}

void TfrmGalleria::SetupTree() {
    tvConti->SetDataSourceMaster(data_->datPianoConti);
    tvConti->SetDataSourceSlave(data_->datSottoconti);
    tvConti->SetKeyField("IdConto");
    tvConti->SetLinkField("Padre");
    tvConti->SetListField("Descrizione");
    tvConti->SetIconField("Icona");
    tvConti->SetOrderField("Ordine");
    tvConti->SetKeyFieldSlave("IdConto");
    tvConti->SetHideLinked(true);
    tvConti->SetAllowInternalEditing(true);
    tvConti->SetCaptionForCreateItem("Nuovo conto");
    tvConti->SetCaptionForCreateSubItem("Nuovo sottoconto");
    tvConti->SetCaptionForChangeItem("Rinomina");
    tvConti->SetCaptionForMoveUp("Sposta su");
    tvConti->SetCaptionForMoveDown("Sposta gi\xF9");
    tvConti->SetCaptionForDeleteItem("Elimina");
    tvConti->SetAskItemName("Nome del conto:");
    tvConti->SetAskDeleteItem("Eliminare il conto? I suoi sottoconti restano nell'archivio.");
    tvConti->SetCaptionRoot("Piano dei conti");
    tvConti->Reload();
    AgreeTreeAndGrid();
}

void TfrmGalleria::AgreeTreeAndGrid() {
    // Reading the tree leaves the chart on its last record.
    if (tvConti->Selected())
        tvConti->ItemSelect(tvConti->SelectedKey());
    else if (TTreeNode* first = tvConti->Items()->GetFirstNode())
        first->SetSelected(true);
}

void TfrmGalleria::CreateMovement() {
    pnlMovimenti = new TPanel(this);
    pnlMovimenti->SetName("pnlMovimenti");
    pnlMovimenti->SetParent(tbsArchivio);
    pnlMovimenti->SetAlign(alClient);
    lblMovimenti = CreateHeading(pnlMovimenti, "lblMovimenti", "Movimento corrente",
                                 "si salva mentre scrivi \xB7 Backspace svuota la causale");

    pnlCampi = new TPanel(this);
    pnlCampi->SetName("pnlCampi");
    pnlCampi->SetParent(pnlMovimenti);
    pnlCampi->SetAlign(alTop);
    pnlCampi->SetHeight(104);

    TDataSource* movimenti = data_->datMovConti;
    FieldLabel(this, pnlCampi, "Importo", 10, 8);
    edtImporto = FieldEdit(this, pnlCampi, "edtImporto", movimenti, "Importo", 96, 8, 150);
    edtImporto->SetFormatted(true);
    edtImporto->SetPointToComma(true);
    edtImporto->SetAlignment(taRightJustify);
    FieldLabel(this, pnlCampi, "Data", 270, 8);
    edtData = FieldEdit(this, pnlCampi, "edtData", movimenti, "Data", 320, 8, 120);
    edtData->SetFormatted(true);

    FieldLabel(this, pnlCampi, "Causale", 10, 40);
    cboCausale = new TDBQuorLookupComboBox(this);
    cboCausale->SetName("cboCausale");
    cboCausale->SetParent(pnlCampi);
    cboCausale->SetBounds(96, 40, 344, 26);
    cboCausale->SetListSource(data_->datCausali);
    cboCausale->SetListField("Nome");
    cboCausale->SetKeyField("idCausale");
    cboCausale->SetDataSource(movimenti);
    cboCausale->SetDataField("idCausale");

    FieldLabel(this, pnlCampi, "Descrizione", 10, 72);
    edtDescrizione =
        FieldEdit(this, pnlCampi, "edtDescrizione", movimenti, "Descrizione", 96, 72, 450);
    edtDescrizione->SetWordWrap(false);
    edtDescrizione->SetWantReturns(false);

    dbgMovimenti = CreateGrid(pnlMovimenti, "dbgMovimenti");
    dbgMovimenti->SetDataSource(movimenti);
}

void TfrmGalleria::CreateDiagram() {
    auto* row = new TPanel(this);
    row->SetParent(tbsDiagramma);
    row->SetAlign(alTop);
    row->SetHeight(30);
    auto* indent = new TPanel(this);
    indent->SetParent(row);
    indent->SetAlign(alLeft);
    indent->SetWidth(6);

    lblPercorso = new TQuorLabel(this);
    lblPercorso->SetName("lblPercorso");
    lblPercorso->SetParent(row);
    lblPercorso->SetAutoSize(false);
    lblPercorso->SetAlign(alLeft);
    lblPercorso->SetWidth(320);
    lblPercorso->Font()->SetName("DejaVu Sans");
    lblPercorso->Font()->SetSize(13);
    lblPercorso->Font()->SetStyle(fsBold);
    lblPercorso->Font()->SetColor(kHeadingColor);
    lblPercorso->SetShadowColor(RGB(190, 190, 200));
    lblPercorso->SetShadowWidth(2);

    lblMouse = new TLabel(this);
    lblMouse->SetName("lblMouse");
    lblMouse->SetParent(row);
    lblMouse->SetAutoSize(false);
    lblMouse->SetAlign(alClient);
    lblMouse->SetAlignment(taRightJustify);
    lblMouse->Font()->SetSize(8);
    lblMouse->Font()->SetColor(clGray);
    lblMouse->SetCaption("trascina sul vuoto: nuovo box \xB7 trascina un box: sposta, dai bordi: "
                         "ridimensiona  \n"
                         "destro dal box scelto a un altro: collega \xB7 doppio clic su un gruppo: "
                         "entra, sul vuoto: esce  ");

    fcDiagramma = new TQuorFlowChart(this);
    fcDiagramma->SetName("fcDiagramma");
    fcDiagramma->SetParent(tbsDiagramma);
    fcDiagramma->SetAlign(alClient);
    fcDiagramma->SetLabel(lblPercorso);
    fcDiagramma->SetGridShow(true);
    fcDiagramma->SetShowBoxName(true);
    fcDiagramma->SetShowBoxText(true);
    fcDiagramma->SetConnectBoxes(true);
    // New boxes look like the example's.
    fcDiagramma->SetShadowWidth(3);
    fcDiagramma->SetShadowColor(RGB(128, 128, 128));
    fcDiagramma->OnResize = [this](TObject*) {
        const int right = fcDiagramma->Width() - kPreviewMargin;
        fcDiagramma->SetPreviewLeft(right - kPreviewWidth);
        fcDiagramma->SetPreviewTop(kPreviewMargin);
        fcDiagramma->SetPreviewWidth(right);
        fcDiagramma->SetPreviewHeight(kPreviewMargin + kPreviewHeight);
    };
    fcDiagramma->OnResize(fcDiagramma);
    // A name of its own, so that links to the box are saved and read back.
    fcDiagramma->OnAfterNewBox = [this](TObject*, quorgrafica::clsBox* box, bool&) {
        for (int n = fcDiagramma->BoxId() + 1;; ++n) {
            const AnsiString name = "Box" + AnsiString(n);
            if (!fcDiagramma->GetBox(name.c_str())) {
                box->Name = name.c_str();
                return;
            }
        }
    };
    fcDiagramma->OnChange = [this](TObject* s) { fcDiagrammaChange(s); };
}

void TfrmGalleria::CreateStatus() {
    pnlStato = new TPanel(this);
    pnlStato->SetName("pnlStato");
    pnlStato->SetParent(this);
    pnlStato->SetAlign(alBottom);
    pnlStato->SetHeight(34);

    cmdRicarica = new TButton(this);
    cmdRicarica->SetName("cmdRicarica");
    cmdRicarica->SetParent(pnlStato);
    cmdRicarica->SetAlign(alRight);
    cmdRicarica->SetWidth(130);
    cmdRicarica->SetCaption("Ricarica (F5)");
    cmdRicarica->OnClick = [this](TObject*) { Ricarica(); };

    lblStato = new TLabel(this);
    lblStato->SetName("lblStato");
    lblStato->SetParent(pnlStato);
    lblStato->SetAutoSize(false);
    lblStato->SetAlign(alClient);
}

const AnsiString& TfrmGalleria::StatusText() const {
    return status_;
}

void TfrmGalleria::ShowStatus(TTabSheet* page, const AnsiString& text, bool error) {
    PageStatus& status = page == tbsDiagramma ? chartStatus_ : archiveStatus_;
    status.text = text;
    status.error = error;
    ShowActiveStatus();
}

void TfrmGalleria::ShowActiveStatus() {
    const bool chart = pgGalleria->ActivePage() == tbsDiagramma;
    const PageStatus& status = chart ? chartStatus_ : archiveStatus_;
    status_ = !status.text.IsEmpty() ? status.text
                                     : "Copia di lavoro: " + (chart ? chartName_ : archiveName_);
    lblStato->Font()->SetColor(status.error ? kErrorColor : clBlack);
    lblStato->SetCaption("  " + status_);
}

void TfrmGalleria::ShowPage(TTabSheet* page) {
    pgGalleria->SetActivePage(page);
    ShowActiveStatus();
}

bool TfrmGalleria::OpenChart(const AnsiString& fileName, AnsiString* error) {
    AnsiString message;
    // On failure the chart on show stays, and with it the copy it saves to.
    if (!quorgrafica::LoadChartFile(*fcDiagramma->RootGraf(), fileName, &message)) {
        ChartUnavailable(message);
        if (error) *error = message;
        return false;
    }
    chartName_ = fileName;
    gallery::ShowGridEverywhere(*fcDiagramma->RootGraf());
    fcDiagramma->Invalidate();
    ShowStatus(tbsDiagramma, AnsiString(), false);
    return true;
}

void TfrmGalleria::ChartUnavailable(const AnsiString& why) {
    ShowStatus(tbsDiagramma, why, true);
}

void TfrmGalleria::fcDiagrammaChange(TObject*) {
    if (chartName_.IsEmpty()) return;
    AnsiString error;
    if (quorgrafica::SaveChartFile(*fcDiagramma->RootGraf(), chartName_, &error))
        ShowStatus(tbsDiagramma, AnsiString(), false);
    else
        ShowStatus(tbsDiagramma, error, true);
}

void TfrmGalleria::Ricarica() {
    TWaitCursor wait;
    if (pgGalleria->ActivePage() == tbsDiagramma)
        ReloadChart();
    else
        ReloadArchive();
}

void TfrmGalleria::ReloadChart() {
    // Without a copy there is nothing to read again: the page says why.
    if (!chartName_.IsEmpty()) OpenChart(chartName_);
}

void TfrmGalleria::ReloadArchive() {
    try {
        for (TDataSet* dataSet : {static_cast<TDataSet*>(data_->tblMovConti),
                                  static_cast<TDataSet*>(data_->qryCausali)}) {
            dataSet->Cancel();
            dataSet->Refresh();
        }
        tvConti->Reload();
        AgreeTreeAndGrid();
        ShowStatus(tbsArchivio, AnsiString(), false);
    } catch (const Exception& e) {
        ShowStatus(tbsArchivio, "Non riesco a rileggere " + archiveName_ + ": " + e.Message(),
                   true);
    }
}

void TfrmGalleria::tvContiKeyDown(TObject*, unsigned short& key, TShiftState shift) {
    const bool ctrl = shift.Contains(ssCtrl);
    if (key == kF2) {
        tvConti->ItemChange();
    } else if (key == VK_INSERT && !ctrl) {
        tvConti->NewItems(shift.Contains(ssShift) || !tvConti->Selected());
    } else if (key == VK_DELETE && !ctrl) {
        tvConti->ItemDelete();
    } else if ((key == VK_UP || key == VK_DOWN) && ctrl) {
        tvConti->ItemMove(key == VK_UP ? -1 : +1);
    } else {
        return;
    }
    key = 0;
}

void TfrmGalleria::FormKeyDown(TObject*, unsigned short& key, TShiftState) {
    if (key == kF5) {
        Ricarica();
        key = 0;
    }
}

void TfrmGalleria::datMovContiDataChange(TObject*, TField* field) {
    TTable* movimenti = data_->tblMovConti;
    if (!field || (movimenti->State() != dsEdit && movimenti->State() != dsInsert)) return;
    try {
        movimenti->Post();
        ShowStatus(tbsArchivio, AnsiString(), false);
    } catch (const Exception& e) {
        // Nothing half-written: the record goes back to what the file holds.
        movimenti->Cancel();
        ShowStatus(tbsArchivio, "Movimento non salvato in " + archiveName_ + ": " + e.Message(),
                   true);
    }
}
