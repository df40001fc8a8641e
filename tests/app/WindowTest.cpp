// The real window, offscreen: its layout and bindings, the grids following
// the condominium chosen, and the copy button filling the clipboard.

#include "app/ContoCorrenteExport.h"
#include "app/MainUtil.h"
#include "app/Utilitiesbracotene.h"
#include "app/datBracUtil.h"
#include "tests/app/AppFixture.h"

#include "platform/core/Encoding.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/data/Table.h"
#include "platform/data/Variant.h"
#include "platform/graphics/Font.h"
#include "platform/gui/Button.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/DBGrid.h"
#include "platform/gui/Forms.h"
#include "platform/gui/PageControl.h"
#include "platform/gui/Panel.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>

namespace {

int gArgc = 1;
char gArg0[] = "test_app";
char* gArgv[] = {gArg0, nullptr};

class WindowTest : public AppArchiveTest {
protected:
    void SetUp() override {
        AppArchiveTest::SetUp();
        WriteRegistry("\"Archivi\"=\"" + dir_ + "/Archivi\"\n\"Net\"=\"" + dir_ +
                      "/Net\"\n\"Priv\"=\"" + dir_ + "/Priv\"\n");
        application_ = std::make_unique<TGuiApplication>(gArgc, gArgv);
        dialogs_ = std::make_unique<ScopedScriptedDialogs>();
        form_ = application_->CreateForm<TfrmBracUtil>();
        module_ = application_->CreateForm<TdatBracoUtil>();
        form_->ConnectDataModule(module_);
    }
    void TearDown() override {
        dialogs_.reset();
        application_.reset();
        AppArchiveTest::TearDown();
    }

    std::unique_ptr<TGuiApplication> application_;
    std::unique_ptr<ScopedScriptedDialogs> dialogs_;
    TfrmBracUtil* form_ = nullptr;
    TdatBracoUtil* module_ = nullptr;
};

void ExpectGridLook(TDBGrid* grid) {
    EXPECT_EQ(grid->Align(), alClient);
    EXPECT_EQ(grid->Color(), clWhite);
    EXPECT_EQ(grid->Font()->Name(), "Times New Roman");
    EXPECT_EQ(grid->Font()->Height(), -16);
    EXPECT_EQ(grid->Font()->Style(), fsBold);
    EXPECT_EQ(grid->TitleFont()->Name(), "Times New Roman");
    EXPECT_EQ(grid->TitleFont()->Height(), -15);
    EXPECT_EQ(grid->TitleFont()->Style(), fsBold);
    const TDBGridOptions expected{
        dgTitles, dgIndicator, dgColumnResize,        dgColLines,      dgRowLines,
        dgTabs,   dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit};
    EXPECT_EQ(grid->Options(), expected);
}

TEST_F(WindowTest, LayoutAndBindings) {
    EXPECT_EQ(form_->Caption(), "BracUtil - Utilities per Bracotene");
    EXPECT_EQ(form_->BoundsRect(), Rect(296, 104, 296 + 979, 104 + 563));
    EXPECT_EQ(form_->Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(form_->Font()->Height(), -11);
    ASSERT_EQ(form_->pgMain->PageCount(), 2);
    EXPECT_EQ(form_->pgMain->Align(), alClient);
    EXPECT_EQ(form_->pgMain->ActivePage(), form_->tbsCondominio);
    EXPECT_EQ(form_->tbsCondominio->Caption(), "Scelta Condominio");
    EXPECT_EQ(form_->tbsCondominio->ImageIndex(), 1);
    EXPECT_EQ(form_->tbsContoCorrente->Caption(), "Conto Corrente");
    EXPECT_EQ(form_->Panel1->Align(), alTop);
    EXPECT_EQ(form_->Panel1->Height(), 41);
    EXPECT_EQ(form_->cmdCopiaCC->Parent(), form_->Panel1);
    EXPECT_EQ(form_->cmdCopiaCC->BoundsRect(), Rect(8, 8, 8 + 177, 8 + 25));
    EXPECT_EQ(form_->cmdCopiaCC->Caption(), "Copia negli appunti");
    ExpectGridLook(form_->dbg);
    ExpectGridLook(form_->DBGrid1);
    EXPECT_EQ(form_->dbg->Parent(), form_->tbsCondominio);
    EXPECT_EQ(form_->DBGrid1->Parent(), form_->tbsContoCorrente);

    // The grids show the visible persistent fields, in field order.
    const TDBGridColumns& condomini = form_->dbg->Columns();
    ASSERT_EQ(condomini.Count(), 20);
    EXPECT_EQ(condomini[0]->FieldName(), "Nome");
    EXPECT_EQ(condomini[12]->FieldName(), "NumeroConto");
    EXPECT_EQ(condomini[12]->Title(), "Numero Conto");
    EXPECT_EQ(condomini[13]->FieldName(), "Icona");
    EXPECT_EQ(condomini[19]->FieldName(), "IdCondominio");
    const TDBGridColumns& movimenti = form_->DBGrid1->Columns();
    ASSERT_EQ(movimenti.Count(), 5);
    const char* names[] = {"Data", "Importo", "Valuta", "Descrizione", "idCondominio"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(movimenti[i]->FieldName(), names[i]);

    // Showing the window reads the product settings into the globals.
    EXPECT_EQ(Archivi, "");
    form_->Show();
    EXPECT_TRUE(form_->Showing());
    EXPECT_EQ(Archivi, AnsiString(dir_ + "/Archivi"));
    EXPECT_EQ(Net, AnsiString(dir_ + "/Net"));
    EXPECT_EQ(Priv, AnsiString(dir_ + "/Priv"));
    EXPECT_TRUE((*dialogs_)->Questions().empty());
}

TEST_F(WindowTest, MovementGridFollowsTheChosenCondominium) {
    form_->Show();
    TDBGrid* grid = form_->dbg;
    ASSERT_EQ(grid->RowCount(), condominiums_);
    for (int row : {3, 0, condominiums_ - 1}) {
        grid->SetRow(row);
        const int id = module_->tblCondomini->FieldByName("IdCondominio")->AsInteger();
        EXPECT_EQ(grid->CellText(row, 0), module_->tblCondomini->FieldByName("Nome")->AsString());
        EXPECT_EQ(
            form_->DBGrid1->RowCount(),
            ScalarInt("SELECT count(*) FROM MovConti WHERE idCondominio=" + std::to_string(id)))
            << "condominium " << id;
    }
}

TEST_F(WindowTest, CopyButtonPutsTheExportOnTheClipboard) {
    form_->Show();
    ASSERT_TRUE(module_->tblCondomini->Locate("IdCondominio", Variant(1)));
    form_->dbg->SetRow(form_->dbg->Row());
    form_->pgMain->SetActivePage(form_->tbsContoCorrente);
    ASSERT_EQ(form_->DBGrid1->RowCount(), DemoMovements());
    const quorbase::clsString expected = BuildContoCorrenteText(module_->tblCondomini);
    ASSERT_GT(expected.Length(), 100);

    Clipboard()->SetTextBuf("prima");
    auto* button = qobject_cast<QAbstractButton*>(form_->cmdCopiaCC->Widget());
    ASSERT_NE(button, nullptr);
    button->click();
    const std::u16string shown = Cp1252ToUtf16(expected.CStr());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromStdU16String(shown));
    EXPECT_EQ(Clipboard()->AsText(), expected.CStr());
    EXPECT_TRUE((*dialogs_)->Questions().empty());

    // Without the data module the click fails: the error is shown and the
    // clipboard keeps what it had.
    Clipboard()->SetTextBuf("prima");
    datBracoUtil = nullptr;
    button->click();
    datBracoUtil = module_;
    EXPECT_EQ(Clipboard()->AsText(), "prima");
    ASSERT_EQ((*dialogs_)->Questions().size(), 1u);
    EXPECT_EQ((*dialogs_)->Questions()[0].kind, ScriptedDialogs::Kind::ShowException);
}

} // namespace
