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
#include "platform/gui/Panel.h"
#include "platform/gui/Screen.h"
#include "tools/gallery/GalleryData.h"
#include "tools/gallery/GalleryPictures.h"

namespace {

constexpr TColor kHeadingColor = RGB(30, 60, 120);
constexpr unsigned short kF2 = VK_F1 + 1;
constexpr unsigned short kF5 = VK_F1 + 4;
constexpr TColor kErrorColor = RGB(170, 20, 20);

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
    CreateChart();
    CreateMovement();
    data_->datMovConti->OnDataChange = [this](TObject* s, TField* f) { datMovContiDataChange(s, f); };
    ShowStatus(AnsiString(), false);
    SetupTree();
}

TfrmGalleria::~TfrmGalleria() {
    if (data_) data_->datMovConti->OnDataChange = nullptr;
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

void TfrmGalleria::CreateChart() {
    pnlConti = new TPanel(this);
    pnlConti->SetName("pnlConti");
    pnlConti->SetParent(this);
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
}

void TfrmGalleria::CreateMovement() {
    pnlMovimenti = new TPanel(this);
    pnlMovimenti->SetName("pnlMovimenti");
    pnlMovimenti->SetParent(this);
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

void TfrmGalleria::ShowStatus(const AnsiString& text, bool error) {
    status_ = text.IsEmpty() ? "Copia di lavoro: " + archiveName_ : text;
    lblStato->Font()->SetColor(error ? kErrorColor : clBlack);
    lblStato->SetCaption("  " + status_);
}

void TfrmGalleria::Ricarica() {
    TWaitCursor wait;
    try {
        for (TDataSet* dataSet : {static_cast<TDataSet*>(data_->tblMovConti),
                                  static_cast<TDataSet*>(data_->qryCausali)}) {
            dataSet->Cancel();
            dataSet->Refresh();
        }
        tvConti->Reload();
        ShowStatus(AnsiString(), false);
    } catch (const Exception& e) {
        ShowStatus("Non riesco a rileggere " + archiveName_ + ": " + e.Message(), true);
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
        ShowStatus(AnsiString(), false);
    } catch (const Exception& e) {
        // Nothing half-written: the record goes back to what the file holds.
        movimenti->Cancel();
        ShowStatus("Movimento non salvato in " + archiveName_ + ": " + e.Message(), true);
    }
}
