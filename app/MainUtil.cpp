#include "app/MainUtil.h"

#include "app/Utilitiesbracotene.h"
#include "app/datBracUtil.h"
#include "platform/core/Application.h"
#include "platform/core/Exception.h"
#include "platform/core/Memory.h"
#include "platform/core/TextBlocks.h"
#include "platform/data/Table.h"
#include "platform/graphics/Font.h"
#include "platform/gui/Button.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/DBGrid.h"
#include "platform/gui/PageControl.h"
#include "platform/gui/Panel.h"
#include "platform/gui/Screen.h"

#include <new>

TfrmBracUtil* frmBracUtil = nullptr;

TfrmBracUtil::TfrmBracUtil(TComponent* owner) : TForm(owner) {
    SetName("frmBracUtil");
    SetCaption("BracUtil - Utilities per Bracotene");
    SetBounds(296, 104, 979, 563);
    SetColor(clBtnFace);
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(-11);
    OnShow = [this](TObject* sender) { FormShow(sender); };

    pgMain = new TPageControl(this);
    pgMain->SetName("pgMain");
    pgMain->SetParent(this);
    pgMain->SetAlign(alClient);

    tbsCondominio = new TTabSheet(this);
    tbsCondominio->SetName("tbsCondominio");
    tbsCondominio->SetPageControl(pgMain);
    tbsCondominio->SetCaption("Scelta Condominio");
    tbsCondominio->SetImageIndex(1);
    dbg = CreateGrid(tbsCondominio, "dbg");

    tbsContoCorrente = new TTabSheet(this);
    tbsContoCorrente->SetName("tbsContoCorrente");
    tbsContoCorrente->SetPageControl(pgMain);
    tbsContoCorrente->SetCaption("Conto Corrente");

    Panel1 = new TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(tbsContoCorrente);
    Panel1->SetAlign(alTop);
    Panel1->SetHeight(41);

    cmdCopiaCC = new TButton(this);
    cmdCopiaCC->SetName("cmdCopiaCC");
    cmdCopiaCC->SetParent(Panel1);
    cmdCopiaCC->SetBounds(8, 8, 177, 25);
    cmdCopiaCC->SetCaption("Copia negli appunti");
    cmdCopiaCC->OnClick = [this](TObject* sender) { cmdCopiaCCClick(sender); };

    DBGrid1 = CreateGrid(tbsContoCorrente, "DBGrid1");

    pgMain->SetActivePage(tbsCondominio);
    if (!frmBracUtil) frmBracUtil = this;
    if (datBracoUtil) ConnectDataModule(datBracoUtil);
}

TfrmBracUtil::~TfrmBracUtil() {
    if (frmBracUtil == this) frmBracUtil = nullptr;
}

TDBGrid* TfrmBracUtil::CreateGrid(TTabSheet* page, const char* name) {
    auto* grid = new TDBGrid(this);
    grid->SetName(name);
    grid->SetParent(page);
    grid->SetAlign(alClient);
    grid->SetColor(clWhite);
    grid->Font()->SetName("Times New Roman");
    grid->Font()->SetHeight(-16);
    grid->Font()->SetStyle(fsBold);
    grid->TitleFont()->SetName("Times New Roman");
    grid->TitleFont()->SetHeight(-15);
    grid->TitleFont()->SetStyle(fsBold);
    // Whole rows selected and no editing: the archive is read-only.
    grid->SetOptions({dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                      dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit});
    return grid;
}

void TfrmBracUtil::ConnectDataModule(TdatBracoUtil* module) {
    dbg->SetDataSource(module ? module->datCondomini : nullptr);
    DBGrid1->SetDataSource(module ? module->datMovConti : nullptr);
}

void TfrmBracUtil::FormShow(TObject* /*sender*/) {
    ReadProductSettings();
}

void TfrmBracUtil::cmdCopiaCCClick(TObject* /*sender*/) {
    AnsiString failure;
    {
        TWaitCursor hourglass;
        // After a server restart the tables are opened again on a new
        // connection, on the condominium the user chose.
        AnsiString chosen;
        if (datBracoUtil && datBracoUtil->tblCondomini->Active() &&
            datBracoUtil->tblCondomini->RecNo() > 0)
            chosen = datBracoUtil->tblCondomini->FieldByName("IdCondominio")->AsString();
        try {
            if (datBracoUtil) datBracoUtil->ReopenLostTables(chosen);
            TTextBlocks text, html;
            WriteContoCorrente(datBracoUtil ? datBracoUtil->tblCondomini : nullptr, text, &html);
            Clipboard()->SetTextAndHtml(text, html);
        } catch (const Exception& e) {
            failure = e.Message();
        } catch (const std::bad_alloc&) {
            failure = "memoria insufficiente";
        }
        // The copy may have found the connection lost and made a new one,
        // closing the tables of the old: the grids get them back.
        try {
            if (datBracoUtil) datBracoUtil->ReopenLostTables(chosen);
        } catch (const Exception& e) {
            if (failure.IsEmpty()) failure = e.Message();
        }
    }
    // A large copy leaves much memory free: the system gets it back.
    ReturnFreeMemory();
    if (!failure.IsEmpty())
        Application->MessageBox("Impossibile copiare i movimenti negli appunti.\n\n" + failure, "",
                                MB_OK | MB_ICONERROR);
}
