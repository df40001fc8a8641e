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
#include "platform/data/DataSource.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/DBGrid.h"
#include "platform/gui/Forms.h"
#include "platform/gui/PageControl.h"
#include "platform/gui/Panel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QPixmap>
#include <QTableView>
#include <QTest>
#include <QWindow>

namespace {

int gArgc = 1;
char gArg0[] = "test_app";
char* gArgv[] = {gArg0, nullptr};

class WindowTest : public AppArchiveTest {
protected:
    void SetUp() override {
        AppArchiveTest::SetUp();
        WriteRegistry("\"Archivi\"=\"" + RegText(dir_) + "/Archivi\"\n\"Net\"=\"" + RegText(dir_) +
                      "/Net\"\n\"Priv\"=\"" + RegText(dir_) + "/Priv\"\n");
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

// The button, clicked as the user does; the cursor shown while the
// clipboard changes is recorded.
class CopyButton {
public:
    explicit CopyButton(TfrmBracUtil* form)
        : button_(qobject_cast<QAbstractButton*>(form->cmdCopiaCC->Widget())) {
        watch_ = QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, [this] {
            const QCursor* cursor = QGuiApplication::overrideCursor();
            cursorWhileCopying = cursor ? cursor->shape() : Qt::ArrowCursor;
        });
    }
    ~CopyButton() { QObject::disconnect(watch_); }
    void Click() {
        ASSERT_NE(button_, nullptr);
        button_->click();
    }
    Qt::CursorShape cursorWhileCopying = Qt::BlankCursor;

private:
    QAbstractButton* button_;
    QMetaObject::Connection watch_;
};

TEST_F(WindowTest, CopyButtonPutsTheTextAndItsTableOnTheClipboard) {
    form_->Show();
    ASSERT_TRUE(module_->tblCondomini->Locate("IdCondominio", Variant(1)));
    form_->pgMain->SetActivePage(form_->tbsContoCorrente);
    ASSERT_EQ(form_->DBGrid1->RowCount(), DemoMovements());
    const quorbase::clsString expected = BuildContoCorrenteText(module_->tblCondomini);
    ASSERT_GT(expected.Length(), 100);

    Clipboard()->SetTextBuf("prima");
    CopyButton button(form_);
    button.Click();
    const std::u16string shown = Cp1252ToUtf16(expected.CStr());
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    EXPECT_EQ(data->text(), QString::fromStdU16String(shown));
    EXPECT_EQ(Clipboard()->AsText(), expected.CStr());
    // The table beside it, in one operation: same movements, UTF-8.
    ASSERT_TRUE(data->hasHtml());
    const QString html = data->html();
    EXPECT_EQ(html.count("<tr>"), DemoMovements() + 1);
    EXPECT_EQ(html.count("<td"), 5 * DemoMovements());
    EXPECT_TRUE(html.contains(QString::fromUtf8(">€</td>")));
    EXPECT_TRUE((*dialogs_)->Questions().empty());
    // The hourglass while copying, the usual cursor afterwards.
    EXPECT_EQ(button.cursorWhileCopying, Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // Without the data module there is no condominium: a message says so,
    // and the clipboard keeps what it had.
    Clipboard()->SetTextBuf("prima");
    datBracoUtil = nullptr;
    button.Click();
    datBracoUtil = module_;
    EXPECT_EQ(Clipboard()->AsText(), "prima");
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasHtml());
    ASSERT_EQ((*dialogs_)->Questions().size(), 1u);
    const auto& message = (*dialogs_)->Questions()[0];
    EXPECT_EQ(message.kind, ScriptedDialogs::Kind::MessageBox);
    EXPECT_EQ(message.flags, MB_OK | MB_ICONERROR);
    EXPECT_NE(message.text.Pos("Impossibile copiare"), 0) << message.text.c_str();
    EXPECT_NE(message.text.Pos("Nessun condominio"), 0) << message.text.c_str();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(WindowTest, ACopyAfterALostConnectionOpensTheTablesAgain) {
    form_->Show();
    module_->tblCondomini->First();
    const quorbase::clsString expected = BuildContoCorrenteText(module_->tblCondomini);
    // A server that restarts leaves the tables of the old connection closed.
    module_->tblMovConti->Close();
    module_->tblCondomini->Close();
    Clipboard()->SetTextBuf("prima");
    CopyButton button(form_);
    button.Click();
    EXPECT_TRUE((*dialogs_)->Questions().empty());
    EXPECT_EQ(Clipboard()->AsText(), expected.CStr());
    EXPECT_TRUE(module_->tblCondomini->Active());
    EXPECT_TRUE(module_->tblMovConti->Active());
    EXPECT_EQ(form_->dbg->DataSource()->DataSet(), module_->tblCondomini);
}

TEST_F(WindowTest, ALockedArchiveLeavesTheClipboardAsItWas) {
    form_->Show();
    ASSERT_TRUE(module_->tblCondomini->Locate("IdCondominio", Variant(2)));
    CopyButton button(form_);
    Clipboard()->SetTextBuf("prima");
    {
        // Another program writing, past the engine's wait.
        ArchiveWriteLock lock(archive_);
        ASSERT_TRUE(lock.Held());
        button.Click();
    }
    EXPECT_EQ(Clipboard()->AsText(), "prima");
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasHtml());
    ASSERT_EQ((*dialogs_)->Questions().size(), 1u);
    const AnsiString& text = (*dialogs_)->Questions()[0].text;
    EXPECT_NE(text.Pos("bloccato"), 0) << text.c_str();
    EXPECT_NE(text.Pos("MovConti"), 0) << text.c_str();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    // Once the other program is done, the copy works.
    button.Click();
    EXPECT_EQ(Clipboard()->AsText(), BuildContoCorrenteText(module_->tblCondomini).CStr());
    EXPECT_EQ((*dialogs_)->Questions().size(), 1u);
}

// Pixels of the row drawn in the selection's colour, out of those of the row.
double HighlightedShare(QTableView* view, int row) {
    const QImage image = view->viewport()->grab().toImage();
    const QColor highlight = view->palette().color(QPalette::Active, QPalette::Highlight);
    const QRect first = view->visualRect(view->model()->index(row, 0));
    const QRect rect(0, first.top(), view->viewport()->width(), first.height());
    int total = 0, lit = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (x >= image.width() || y >= image.height() || y < 0) continue;
            ++total;
            lit += image.pixelColor(x, y) == highlight;
        }
    return total ? double(lit) / total : 0.0;
}

// A key as the user presses it: the widget's window active and the widget
// focused, the key handed to the window system, which routes it through
// shortcuts and focus as it does the user's.
void Press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* window = widget->window();
    if (!window->isActiveWindow()) {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window, 10000));
    }
    if (!widget->hasFocus()) widget->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(widget->hasFocus());
    QTest::keyClick(window->windowHandle(), static_cast<Qt::Key>(key), modifiers);
}

TEST_F(WindowTest, KeyboardMovesKeepTheRowHighlightedAndCtrlTabSwitchesPages) {
    form_->Show();
    for (TDBGrid* grid : {form_->dbg, form_->DBGrid1}) {
        SCOPED_TRACE(grid->Name().c_str());
        form_->pgMain->SetActivePage(grid == form_->dbg ? form_->tbsCondominio
                                                          : form_->tbsContoCorrente);
        auto* view = qobject_cast<QTableView*>(grid->Widget());
        ASSERT_NE(view, nullptr);
        view->setFocus();
        TDataSet* dataSet = grid->DataSet();
        const int last = grid->RowCount() - 1;
        ASSERT_GT(last, 20);
        struct Step {
            int key;
            int row; // -1: anywhere past the start, not at the end
        };
        for (const Step& step : {Step{Qt::Key_Down, 1}, Step{Qt::Key_Down, 2},
                                 Step{Qt::Key_PageDown, -1}, Step{Qt::Key_Up, -1},
                                 Step{Qt::Key_End, last}, Step{Qt::Key_PageUp, -1},
                                 Step{Qt::Key_Home, 0}, Step{Qt::Key_Down, 1}}) {
            const int before = grid->Row();
            Press(view, step.key);
            const int row = grid->Row();
            SCOPED_TRACE(testing::Message() << "key " << std::hex << step.key << std::dec
                                            << " to row " << row);
            if (step.row >= 0) EXPECT_EQ(row, step.row);
            else EXPECT_NE(row, before);
            // The dataset, the grid's current row and its selection agree...
            EXPECT_EQ(dataSet->RecNo(), row + 1);
            EXPECT_EQ(view->currentIndex().row(), row);
            const QModelIndexList selected = view->selectionModel()->selectedRows();
            ASSERT_EQ(selected.size(), 1);
            EXPECT_EQ(selected.front().row(), row);
            // ...and the row is drawn highlighted.
            EXPECT_GT(HighlightedShare(view, row), 0.5);
        }
    }
    // Ctrl+Tab and Ctrl+Shift+Tab from inside a grid, where Tab moves
    // between cells, go to the next and the previous page.
    form_->pgMain->SetActivePage(form_->tbsCondominio);
    auto* view = qobject_cast<QTableView*>(form_->dbg->Widget());
    view->setFocus();
    const int row = form_->dbg->Row();
    Press(view, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(form_->pgMain->ActivePage(), form_->tbsContoCorrente);
    Press(qobject_cast<QTableView*>(form_->DBGrid1->Widget()), Qt::Key_Backtab,
          Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form_->pgMain->ActivePage(), form_->tbsCondominio);
    Press(view, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form_->pgMain->ActivePage(), form_->tbsContoCorrente);
    EXPECT_EQ(form_->dbg->Row(), row);
    EXPECT_TRUE((*dialogs_)->Questions().empty());
}

} // namespace
