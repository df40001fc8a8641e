#include "GuiTestSupport.h"

#include "platform/core/Exception.h"
#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/data/Table.h"
#include "platform/graphics/Font.h"
#include "platform/gui/DBGrid.h"
#include "platform/gui/Form.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableView>

#include <algorithm>

namespace {

const char* kSchema = R"sql(
create table Condomini(IdCondominio integer primary key autoincrement, Nome varchar(50),
                       Comune varchar(50), Note memo);
create index idxNome on Condomini(Nome collate nocase);
insert into Condomini(Nome, Comune, Note) values
  ('Aurora', 'Milano', 'n1'), ('Belvedere', 'Torino', 'n2'), ('Cedri', 'Roma', 'n3'),
  ('Dalia', 'Bari', 'n4');
create table MovConti(idMovConti integer primary key autoincrement, idCondominio integer,
                      Descrizione varchar(50), Importo numeric(32,2));
create index idxCondominio on MovConti(idCondominio);
insert into MovConti(idCondominio, Descrizione, Importo) values
  (1, 'Luce scale', 12.5), (1, 'Pulizie', 100), (2, 'Ascensore', 7), (3, 'Acqua', 1),
  (3, 'Gas', 2), (3, 'Verde', 3);
)sql";

class GridFixture : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        // The session keeps a database per alias: a new alias per test.
        static int serial = 0;
        alias = "GuiGrid" + std::to_string(++serial);
        MakeArchive(dir, alias, kSchema);
        condomini = new TTable(&form);
        condomini->SetName("tblCondomini");
        condomini->SetDatabaseName(alias);
        condomini->SetTableName("Condomini.DB");
        condomini->SetIndexName("idxNome");
        source = new TDataSource(&form);
        source->SetDataSet(condomini);
        grid = new TDBGrid(&form);
        grid->SetParent(&form);
        grid->SetAlign(alClient);
        grid->SetDataSource(source);
        form.SetBounds(0, 0, 600, 400);
    }

    QTableView* View() { return qobject_cast<QTableView*>(grid->Widget()); }
    std::vector<std::string> ColumnNames() const {
        std::vector<std::string> names;
        for (int i = 0; i < grid->Columns().Count(); ++i)
            names.push_back(grid->Columns()[i]->FieldName().str());
        return names;
    }

    TempDir dir;
    std::string alias;
    TForm form;
    TTable* condomini = nullptr;
    TDataSource* source = nullptr;
    TDBGrid* grid = nullptr;
};

} // namespace

TEST_F(GridFixture, ColumnsAreTheVisibleFieldsWithLabelsAndWidths) {
    condomini->AddPersistentField("Nome", ftString);
    condomini->AddPersistentField("Note", ftMemo, "", false);
    condomini->AddPersistentField("Comune", ftString, "Citt\xE0", true, 12);
    condomini->AddPersistentField("IdCondominio", ftAutoInc);
    grid->Font()->SetHeight(-16);
    EXPECT_EQ(grid->Columns().Count(), 0);
    EXPECT_EQ(grid->RowCount(), 0);
    condomini->Open();

    EXPECT_EQ(ColumnNames(), (std::vector<std::string>{"Nome", "Comune", "IdCondominio"}));
    EXPECT_EQ(grid->Columns()[1]->Title(), AnsiString("Citt\xE0"));
    EXPECT_EQ(grid->Columns()[1]->Index(), 1);
    EXPECT_EQ(grid->Columns().Items(3), nullptr);
    const int zero = QFontMetrics(grid->Font()->ToQFont()).horizontalAdvance(u'0');
    EXPECT_EQ(grid->Columns()[1]->Width(), 12 * zero + 4);
    EXPECT_EQ(grid->Columns()[0]->Width(), 50 * zero + 4);

    // Rows in index order, read through the model the view uses.
    ASSERT_EQ(grid->RowCount(), 4);
    EXPECT_EQ(grid->CellText(2, 0), AnsiString("Cedri"));
    QTableView* view = View();
    QAbstractItemModel* model = view->model();
    EXPECT_EQ(model->rowCount(), 4);
    EXPECT_EQ(model->columnCount(), 3);
    EXPECT_EQ(model->data(model->index(1, 1)).toString(), QString("Torino"));
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("Città"));
    EXPECT_TRUE(model->data(model->index(0, 2), Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignRight);
    EXPECT_EQ(view->horizontalHeader()->sectionSize(1), grid->Columns()[1]->Width());

    // Closing empties the rows but keeps the columns.
    condomini->Close();
    EXPECT_EQ(grid->RowCount(), 0);
    EXPECT_EQ(grid->Row(), -1);
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_EQ(grid->Columns().Count(), 3);
}

TEST_F(GridFixture, CurrentRowAndCurrentRecordMoveTogether) {
    grid->SetOptions({dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                      dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit});
    condomini->Open();
    QTableView* view = View();
    form.Show();
    EXPECT_EQ(grid->Row(), 0);
    EXPECT_EQ(view->currentIndex().row(), 0);

    // The dataset moves: the grid follows, and the indicator with it.
    condomini->Next();
    condomini->Next();
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(view->currentIndex().row(), 2);
    EXPECT_FALSE(view->model()->headerData(2, Qt::Vertical).toString().isEmpty());
    EXPECT_TRUE(view->model()->headerData(0, Qt::Vertical).toString().isEmpty());
    condomini->Last();
    EXPECT_EQ(view->currentIndex().row(), 3);

    // The user moves in the grid: the dataset follows.
    view->selectionModel()->setCurrentIndex(view->model()->index(1, 0),
                                            QItemSelectionModel::ClearAndSelect |
                                                QItemSelectionModel::Rows);
    EXPECT_EQ(condomini->RecNo(), 2);
    EXPECT_EQ(condomini->FieldByName("Nome")->AsString(), AnsiString("Belvedere"));
    TypeInto(view, Qt::Key_Down);
    EXPECT_EQ(condomini->RecNo(), 3);
    // Whole rows are selected, and nothing can be edited.
    EXPECT_TRUE(view->selectionModel()->isRowSelected(2, QModelIndex()));
    EXPECT_EQ(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);

    grid->SetRow(0);
    EXPECT_EQ(condomini->RecNo(), 1);
    grid->SetRow(99);
    EXPECT_EQ(condomini->RecNo(), 1);
}

TEST_F(GridFixture, HomeAndEndGoToTheEndsAndCtrlTabIsLeftToThePages) {
    condomini->Open();
    QTableView* view = View();
    form.Show();
    // Whether the grid used the key: one it lets pass reaches the form.
    KeysReaching form_keys(form.Widget());
    auto press = [view, &form_keys](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        form_keys.Clear();
        TypeInto(view, static_cast<Qt::Key>(key), QString(), modifiers);
        return !form_keys.Saw(key);
    };
    // Cells selected one by one: Home and End stay in the row.
    view->setCurrentIndex(view->model()->index(1, 1));
    press(Qt::Key_End);
    EXPECT_EQ(condomini->RecNo(), 2);
    // Whole rows selected: they go to the first and the last record.
    grid->SetOptions({dgTitles, dgIndicator, dgRowSelect, dgTabs, dgAlwaysShowSelection});
    press(Qt::Key_End);
    EXPECT_EQ(condomini->RecNo(), 4);
    EXPECT_TRUE(view->selectionModel()->isRowSelected(3, QModelIndex()));
    press(Qt::Key_Home);
    EXPECT_EQ(condomini->RecNo(), 1);
    EXPECT_TRUE(view->selectionModel()->isRowSelected(0, QModelIndex()));
    // Tab moves between cells; with Ctrl the grid lets it pass on.
    EXPECT_TRUE(press(Qt::Key_Tab));
    EXPECT_FALSE(press(Qt::Key_Tab, Qt::ControlModifier));
    EXPECT_FALSE(press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier));
    EXPECT_EQ(condomini->RecNo(), 1);
}

TEST_F(GridFixture, EditsOfTheCurrentRecordShowInItsRow) {
    condomini->Open();
    QAbstractItemModel* model = View()->model();
    std::vector<int> changedRows;
    QObject::connect(model, &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& from, const QModelIndex& to) {
                         for (int r = from.row(); r <= to.row(); ++r)
                             changedRows.push_back(r);
                     });
    condomini->Next();
    condomini->Edit();
    condomini->FieldByName("Comune")->SetAsString("Napoli");
    // Only the edited row is refreshed (entering edit may refresh it too).
    ASSERT_FALSE(changedRows.empty());
    EXPECT_EQ(std::count(changedRows.begin(), changedRows.end(), 1), long(changedRows.size()));
    EXPECT_EQ(model->data(model->index(1, 2)).toString(), QString("Napoli"));
    condomini->Post();
    EXPECT_EQ(grid->CellText(1, 2), AnsiString("Napoli"));
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(View()->currentIndex().row(), 1);
}

TEST_F(GridFixture, DetailGridFollowsItsMaster) {
    auto* movements = new TTable(&form);
    movements->SetDatabaseName(alias);
    movements->SetTableName("MovConti.db");
    movements->SetIndexName("idxCondominio");
    movements->SetMasterSource(source);
    movements->SetMasterFields("IdCondominio");
    auto* movSource = new TDataSource(&form);
    movSource->SetDataSet(movements);
    auto* detail = new TDBGrid(&form);
    detail->SetParent(&form);
    detail->SetDataSource(movSource);
    condomini->Open();
    movements->Open();
    QTableView* masterView = View();
    auto* detailView = qobject_cast<QTableView*>(detail->Widget());

    EXPECT_EQ(detail->RowCount(), 2); // Aurora
    EXPECT_EQ(detail->CellText(1, detail->Columns()[2]->Index()), AnsiString("Pulizie"));
    masterView->selectionModel()->setCurrentIndex(masterView->model()->index(2, 0),
                                                  QItemSelectionModel::ClearAndSelect |
                                                      QItemSelectionModel::Rows);
    EXPECT_EQ(detail->RowCount(), 3); // Cedri
    EXPECT_EQ(detailView->model()->rowCount(), 3);
    EXPECT_EQ(detailView->model()->data(detailView->model()->index(2, 2)).toString(),
              QString("Verde"));
    EXPECT_EQ(detail->Row(), 0);
    condomini->Last(); // Dalia has no movements
    EXPECT_EQ(detail->RowCount(), 0);
    EXPECT_EQ(detailView->model()->rowCount(), 0);
}

TEST_F(GridFixture, UserAndCodeMoveAndResizeColumns) {
    condomini->Open();
    ASSERT_EQ(ColumnNames(), (std::vector<std::string>{"IdCondominio", "Nome", "Comune", "Note"}));
    QTableView* view = View();
    QHeaderView* header = view->horizontalHeader();

    // Dragging a title moves the column: the grid's columns take the new order.
    header->moveSection(0, 2);
    EXPECT_EQ(ColumnNames(), (std::vector<std::string>{"Nome", "Comune", "IdCondominio", "Note"}));
    EXPECT_EQ(header->visualIndex(2), 2);
    EXPECT_EQ(view->model()->headerData(2, Qt::Horizontal).toString(), QString("IdCondominio"));
    EXPECT_EQ(view->model()->data(view->model()->index(0, 0)).toString(), QString("Aurora"));

    header->resizeSection(1, 123);
    EXPECT_EQ(grid->Columns()[1]->Width(), 123);
    EXPECT_EQ(grid->Columns()[1]->FieldName(), AnsiString("Comune"));

    // From code: SetIndex moves, SetWidth resizes, and the view follows.
    grid->Columns()[3]->SetIndex(0);
    EXPECT_EQ(ColumnNames(), (std::vector<std::string>{"Note", "Nome", "Comune", "IdCondominio"}));
    EXPECT_EQ(header->sectionSize(2), 123);
    grid->Columns()[0]->SetWidth(77);
    EXPECT_EQ(header->sectionSize(0), 77);
    EXPECT_EQ(view->model()->headerData(0, Qt::Horizontal).toString(), QString("Note"));
    grid->Columns()[0]->SetIndex(10); // beyond the end: the last place
    EXPECT_EQ(grid->Columns()[3]->FieldName(), AnsiString("Note"));
    EXPECT_EQ(grid->Columns()[3]->Width(), 77);

    // Reopened with the same fields, the layout stays; with other fields the
    // columns are rebuilt.
    condomini->Close();
    condomini->Open();
    EXPECT_EQ(ColumnNames(), (std::vector<std::string>{"Nome", "Comune", "IdCondominio", "Note"}));
    EXPECT_EQ(grid->Columns()[1]->Width(), 123);
    condomini->Close();
    condomini->SetTableName("MovConti.db");
    condomini->SetIndexName("");
    condomini->Open();
    EXPECT_EQ(ColumnNames(),
              (std::vector<std::string>{"idMovConti", "idCondominio", "Descrizione", "Importo"}));
    EXPECT_EQ(view->model()->columnCount(), 4);
    EXPECT_EQ(grid->CellText(0, 2), AnsiString("Luce scale"));
    EXPECT_EQ(grid->RowCount(), 6);
}

TEST_F(GridFixture, ColumnsOfTheGridsOwnSurviveReopening) {
    condomini->Open();
    grid->Columns().Add("Comune");
    TColumn* name = grid->Columns().Add("Nome");
    name->SetTitle("Denominazione");
    EXPECT_FALSE(grid->Columns().Default());
    EXPECT_EQ(ColumnNames(), (std::vector<std::string>{"Comune", "Nome"}));
    EXPECT_EQ(grid->CellText(1, 1), AnsiString("Belvedere"));
    EXPECT_EQ(View()->model()->headerData(1, Qt::Horizontal).toString(), QString("Denominazione"));
    // A column naming no field shows empty cells.
    grid->Columns().Add("Manca");
    EXPECT_EQ(grid->CellText(0, 2), AnsiString());
    condomini->Close();
    condomini->Open();
    EXPECT_EQ(ColumnNames(), (std::vector<std::string>{"Comune", "Nome", "Manca"}));
    grid->Columns().Clear();
    EXPECT_TRUE(grid->Columns().Default());
    EXPECT_EQ(grid->Columns().Count(), 4);
}

TEST(GridLarge, HundredThousandRowsAreReadOnDemand) {
    TestApp();
    TempDir dir;
    MakeArchive(dir, "GuiLarge", R"sql(
        create table Righe(id integer primary key, Testo varchar(20));
        with recursive n(i) as (select 1 union all select i + 1 from n where i < 100000)
        insert into Righe select i, 'riga ' || i from n;)sql");
    TForm form;
    form.SetBounds(0, 0, 400, 300);
    auto* table = new TTable(&form);
    table->SetDatabaseName("GuiLarge");
    table->SetTableName("Righe");
    auto* source = new TDataSource(&form);
    source->SetDataSet(table);
    auto* grid = new TDBGrid(&form);
    grid->SetParent(&form);
    grid->SetAlign(alClient);
    grid->SetDataSource(source);
    table->Open();
    form.Show();
    auto* view = qobject_cast<QTableView*>(grid->Widget());
    EXPECT_EQ(view->model()->rowCount(), 100000);
    table->Last();
    EXPECT_EQ(view->currentIndex().row(), 99999);
    EXPECT_EQ(view->model()->data(view->model()->index(99999, 1)).toString(),
              QString("riga 100000"));
    // The last row is scrolled into view.
    EXPECT_GE(view->rowAt(view->viewport()->height() - 1), 99990);
}

TEST(GridLinks, SourceOrDatasetMayGoFirst) {
    TestApp();
    TempDir dir;
    MakeArchive(dir, "GuiLinks", kSchema);
    auto* table = new TTable;
    table->SetDatabaseName("GuiLinks");
    table->SetTableName("Condomini");
    auto* source = new TDataSource;
    source->SetDataSet(table);
    TDBGrid grid;
    grid.SetDataSource(source);
    table->Open();
    grid.Widget();
    EXPECT_EQ(grid.RowCount(), 4);
    delete table;
    EXPECT_EQ(grid.RowCount(), 0);
    delete source;
    EXPECT_EQ(grid.DataSource(), nullptr);
    EXPECT_EQ(grid.CellText(0, 0), AnsiString());
}
