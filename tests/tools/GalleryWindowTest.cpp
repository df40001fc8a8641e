// The gallery's window over a copy of a real demo archive, driven as a user
// drives it: keys, clicks, the popup menu and drags. Every change must
// reach the copy's file, and the archive it was copied from must keep every
// byte.

#include "tests/tools/GalleryFixture.h"

#include "tests/controls/ControlsTestSupport.h"
#include "tests/tools/ArchiveQueries.h"

#include "controls/DBQuorLookupComboBox.h"
#include "controls/QuorDbEdit.h"
#include "controls/QuorTreeView.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/data/DataSource.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"
#include "platform/gui/DBGrid.h"
#include "platform/gui/DragDrop.h"
#include "platform/gui/Menus.h"
#include "platform/gui/Screen.h"
#include "platform/data/Driver.h"
#include "platform/data/Query.h"
#include "platform/gui/ImgList.h"
#include "tools/demoarchive/ChartOfAccounts.h"
#include "tools/demoarchive/DemoArchive.h"
#include "tools/gallery/GalleryArchive.h"
#include "tools/gallery/GalleryData.h"
#include "tools/gallery/GalleryForm.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QTest>
#include <QTreeView>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using gallerytest::GalleryWindowTest;
using tooltest::Exec;
using tooltest::Rows;

TEST_F(GalleryWindowTest, TheWindowWorksOnTheCopyAndNeverOnTheOriginal) {
    Open();
    // Windows writes its own separators into the names it joins.
    const auto same = [](const std::string& a, const std::string& b) {
        return std::filesystem::path(a).lexically_normal() == std::filesystem::path(b).lexically_normal();
    };
    EXPECT_PRED2(same, copy_.archive, dir_.Path() + "/galleria/Galleria.db");
    EXPECT_PRED2(same, data_->dbGalleria->Connection().Identity(), copy_.archive);
    EXPECT_EQ(form_->StatusText(), AnsiString("Copia di lavoro: " + copy_.archive));
    // The copy starts as the original.
    EXPECT_EQ(Copy("SELECT count(*), sum(Importo) FROM MovConti"),
              Original("SELECT count(*), sum(Importo) FROM MovConti"));
    EXPECT_EQ(Copy("SELECT group_concat(Descrizione) FROM PianoConti"),
              Original("SELECT group_concat(Descrizione) FROM PianoConti"));

    // Changes of every kind, all of them in the copy only.
    form_->edtImporto->SetFocus();
    form_->edtImporto->SelectAll();
    TypeKeys(form_->edtImporto->Widget(), "77");
    Click(Child(nullptr, "Entrate"));
    dialogs_->AnswerInput("Entrate diverse");
    form_->tvConti->ItemChange();
    EXPECT_EQ(Movement("Importo"), "77");
    EXPECT_EQ(Copy("SELECT count(*) FROM PianoConti WHERE Descrizione = 'Entrate diverse'"), "1");
    EXPECT_EQ(Original("SELECT count(*) FROM PianoConti WHERE Descrizione = 'Entrate diverse'"),
              "0");
}

TEST_F(GalleryWindowTest, ATypedAmountAndDateReachTheFileKeyByKey) {
    Open();
    QWidget* importo = form_->edtImporto->Widget();
    form_->edtImporto->SetFocus();
    form_->edtImporto->SelectAll();
    const std::vector<std::pair<QString, std::string>> amount = {
        {"1", "1"}, {"2", "12"}, {"3", "123"}, {"4", "1234"}, {".", "1234"}, {"5", "1234.5"}};
    for (const auto& [key, stored] : amount) {
        TypeKeys(importo, key);
        EXPECT_EQ(Movement("Importo"), stored) << "after " << key.toStdString();
        EXPECT_EQ(data_->tblMovConti->State(), dsBrowse);
    }
    // The point key typed the decimal comma; the thousands point came by itself.
    EXPECT_EQ(form_->edtImporto->Text(), AnsiString("1.234,5"));
    EXPECT_EQ(form_->edtImporto->SelStart(), 7);
    EXPECT_EQ(GridCell(form_->dbgMovimenti, "Importo"), "1.234,50");
    PressKey(importo, Qt::Key_Home);
    TypeKeys(importo, "-");
    EXPECT_EQ(Movement("Importo"), "-1234.5");

    QWidget* data = form_->edtData->Widget();
    form_->edtData->SetFocus();
    form_->edtData->SelectAll();
    TypeKeys(data, "251");
    EXPECT_EQ(form_->edtData->Text(), AnsiString("25/1/"));
    const std::string before = Movement("Data");
    EXPECT_EQ(Movement("Data"), before) << "a date of five characters is not stored";
    TypeKeys(data, "22024");
    EXPECT_EQ(form_->edtData->Text(), AnsiString("25/12/2024"));
    EXPECT_EQ(Movement("Data"), "2024-12-25");
    EXPECT_EQ(GridCell(form_->dbgMovimenti, "Data"), "25/12/2024");
    // Emptied, the date is null.
    for (int i = 0; i < 10; ++i)
        PressKey(data, Qt::Key_Backspace);
    EXPECT_EQ(form_->edtData->Text(), AnsiString());
    EXPECT_EQ(Movement("Data"), "<null>");

    form_->edtDescrizione->SetFocus();
    form_->edtDescrizione->SelectAll();
    TypeKeys(form_->edtDescrizione->Widget(), "Pi");
    // A letter beyond ASCII, as the keyboard sends it.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("ù"));
    QApplication::sendEvent(form_->edtDescrizione->Widget(), &press);
    TypeKeys(form_->edtDescrizione->Widget(), " luce");
    EXPECT_EQ(Movement("Descrizione"), "Più luce");

    // Another movement: its values come in and nothing is written back.
    const std::string second = Copy("SELECT Importo, Data FROM MovConti WHERE idMovConti = 2");
    form_->dbgMovimenti->SetRow(1);
    EXPECT_EQ(CurrentMovement(), 2);
    EXPECT_EQ(Copy("SELECT Importo, Data FROM MovConti WHERE idMovConti = 2"), second);
    EXPECT_EQ(data_->tblMovConti->State(), dsBrowse);
    EXPECT_EQ(form_->edtImporto->Text(), AnsiString(GridCell(form_->dbgMovimenti, "Importo")));
}

TEST_F(GalleryWindowTest, AMovementTheFileRefusesIsReportedAndNotHalfWritten) {
    Exec(copy_.archive, "CREATE TRIGGER tetto BEFORE UPDATE OF Importo ON MovConti "
                        "WHEN CAST(NEW.Importo AS REAL) > 99999 BEGIN SELECT RAISE(ABORT, "
                        "'importo oltre il tetto'); END;");
    Open();
    form_->edtImporto->SetFocus();
    form_->edtImporto->SelectAll();
    TypeKeys(form_->edtImporto->Widget(), "123456");
    EXPECT_EQ(Movement("Importo"), "12345");
    EXPECT_TRUE(form_->StatusText().Pos("Movimento non salvato in " + copy_.archive) == 1)
        << form_->StatusText().str();
    EXPECT_TRUE(form_->StatusText().Pos("importo oltre il tetto") > 0) << form_->StatusText().str();
    EXPECT_EQ(data_->tblMovConti->State(), dsBrowse);
    // What the user typed stays in sight; the next accepted change clears the message.
    EXPECT_EQ(form_->edtImporto->Text(), AnsiString("123.456"));
    PressKey(form_->edtImporto->Widget(), Qt::Key_Backspace);
    EXPECT_EQ(Movement("Importo"), "12345");
    EXPECT_EQ(form_->StatusText(), AnsiString("Copia di lavoro: " + copy_.archive));
}

TEST_F(GalleryWindowTest, TheCauseIsChosenFromTheListAndClearedWithBackspace) {
    Open();
    TDBQuorLookupComboBox* box = form_->cboCausale;
    const std::vector<std::string> names =
        Rows(copy_.archive, "SELECT Nome FROM Causali ORDER BY Nome");
    ASSERT_EQ(box->ListCount(), static_cast<int>(names.size()));
    for (int i = 0; i < box->ListCount(); ++i)
        EXPECT_EQ(box->ListText(i).str(), names[static_cast<std::size_t>(i)]);

    // The list opens on the movement's cause; Down and Enter take the next one.
    const std::string current =
        Copy("SELECT Nome FROM Causali WHERE idCausale = (SELECT idCausale FROM MovConti WHERE "
             "idMovConti = " + std::to_string(CurrentMovement()) + ")");
    const auto at = std::find(names.begin(), names.end(), current);
    ASSERT_TRUE(at != names.end() && at + 1 != names.end()) << current;
    const std::string next = *(at + 1);
    EXPECT_EQ(box->Text().str(), current);
    box->SetFocus();
    PressKey(box->Widget(), Qt::Key_F4);
    ASSERT_TRUE(box->ListVisible());
    PressKey(box->Widget(), Qt::Key_Down);
    PressKey(box->Widget(), Qt::Key_Return);
    EXPECT_FALSE(box->ListVisible());
    EXPECT_EQ(box->Text().str(), next);
    EXPECT_EQ(Movement("idCausale"),
              Copy("SELECT idCausale FROM Causali WHERE Nome = '" + next + "'"));
    EXPECT_EQ(GridCell(form_->dbgMovimenti, "idCausale"), Movement("idCausale"));
    // Initials choose with the list closed.
    TypeKeys(box->Widget(), "Gi");
    EXPECT_EQ(box->Text(), AnsiString("Giardinaggio"));
    EXPECT_EQ(Movement("idCausale"),
              Copy("SELECT idCausale FROM Causali WHERE Nome = 'Giardinaggio'"));

    PressKey(box->Widget(), Qt::Key_F4);
    PressKey(box->Widget(), Qt::Key_Backspace);
    EXPECT_FALSE(box->ListVisible());
    EXPECT_EQ(box->Text(), AnsiString());
    EXPECT_EQ(Movement("idCausale"), "<null>");
    EXPECT_EQ(GridCell(form_->dbgMovimenti, "idCausale"), "");
    EXPECT_EQ(data_->tblMovConti->State(), dsBrowse);
}

TEST_F(GalleryWindowTest, TheTreeShowsEveryLevelOfTheTable) {
    Open();
    TQuorTreeView* tree = form_->tvConti;
    const auto names = [](TTreeNode* parent, TQuorTreeView* t) {
        std::vector<std::string> list;
        TTreeNode* n = parent ? parent->getFirstChild() : t->Items()->GetFirstNode();
        for (; n; n = n->getNextSibling())
            list.push_back(n->Text().str());
        return list;
    };
    EXPECT_EQ(names(nullptr, tree),
              Rows(copy_.archive, "SELECT Descrizione FROM PianoConti WHERE Padre = 0 "
                                  "ORDER BY Ordine"));
    // Down the chart to one of its deepest accounts, comparing every level
    // passed on the way with the table.
    std::vector<std::string> path = Rows(
        copy_.archive,
        "WITH RECURSIVE down(id, level) AS (SELECT IdConto, 1 FROM PianoConti WHERE Padre = 0 "
        "UNION ALL SELECT p.IdConto, level + 1 FROM PianoConti p JOIN down ON p.Padre = down.id), "
        "up(id, parent, level) AS (SELECT IdConto, Padre, 0 FROM PianoConti WHERE IdConto = "
        "(SELECT id FROM down ORDER BY level DESC, id LIMIT 1) UNION ALL SELECT p.IdConto, "
        "p.Padre, level + 1 FROM PianoConti p JOIN up ON p.IdConto = up.parent) "
        "SELECT Descrizione FROM up JOIN PianoConti ON IdConto = id ORDER BY level DESC");
    ASSERT_EQ(path.size(), 5u);
    TTreeNode* node = nullptr;
    int depth = 0;
    for (const std::string& next : path) {
        const std::string parentKey = node ? std::to_string(NodeKey(node)) : "0";
        const auto expected = Rows(copy_.archive, "SELECT Descrizione FROM PianoConti WHERE "
                                                  "Padre = " + parentKey + " ORDER BY Ordine");
        ASSERT_EQ(names(node, tree), expected) << "under " << parentKey;
        ++depth;
        TTreeNode* child = Child(node, next);
        ASSERT_NE(child, nullptr) << next;
        Click(child);
        EXPECT_EQ(tree->SelectedKey(), NodeKey(child));
        // The grid of the same table stands on the selected account.
        EXPECT_EQ(GridCell(form_->dbgConti, "Descrizione"), next);
        EXPECT_EQ(child->ImageIndex(),
                  std::stoi(Copy("SELECT Icona FROM PianoConti WHERE IdConto = " +
                                 std::to_string(NodeKey(child)))));
        node = child;
    }
    EXPECT_EQ(depth, 5);
    // The deepest account has no children to show.
    EXPECT_EQ(node->Count(), 0);
    EXPECT_EQ(tree->Images()->Count(), demoarchive::kChartIcons);
}

TEST_F(GalleryWindowTest, MenuKeysAndDragsEditTheChartInTheFile) {
    Open();
    TQuorTreeView* tree = form_->tvConti;
    TTreeNode* manutenzioni = Child(nullptr, "Manutenzioni");
    Click(manutenzioni);
    TTreeNode* ascensore = Child(manutenzioni, "Ascensore");
    Click(ascensore);
    TTreeNode* verifica = Child(ascensore, "Verifica biennale");
    Click(verifica);
    const int key = NodeKey(verifica);
    const auto column = [&](const char* name, int id) {
        return Copy(std::string("SELECT ") + name + " FROM PianoConti WHERE IdConto = " +
                    std::to_string(id));
    };

    // The popup menu, with every caption.
    const QPoint at = Centre(verifica);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, view_->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view_->viewport(), &event);
    QMenu* menu = tree->PopupMenu()->MenuWidget();
    ASSERT_NE(menu, nullptr);
    QStringList captions;
    QAction* rename = nullptr;
    for (QAction* action : menu->actions()) {
        captions << action->text();
        if (action->text() == "Rinomina") rename = action;
    }
    EXPECT_EQ(captions, QStringList({"Nuovo conto", "Nuovo sottoconto", "Rinomina", "", "Sposta su",
                                     QString::fromUtf8("Sposta giù"), "", "Elimina"}));
    ASSERT_NE(rename, nullptr);
    dialogs_->AnswerInput("Verifica periodica");
    rename->trigger();
    tree->PopupMenu()->CloseMenu();
    EXPECT_EQ(column("Descrizione", key), "Verifica periodica");
    EXPECT_EQ(GridCell(form_->dbgConti, "Descrizione"), "Verifica periodica");
    ASSERT_FALSE(dialogs_->Questions().empty());
    EXPECT_EQ(dialogs_->Questions().back().caption, AnsiString("Nuovo conto"));
    EXPECT_EQ(dialogs_->Questions().back().text, AnsiString("Nome del conto:"));

    // The keys: F2 renames, Ctrl+Up moves, Ins makes a sub-account, Del asks.
    dialogs_->AnswerInput("Verifica biennale");
    PressKey(view_, Qt::Key_F2);
    EXPECT_EQ(column("Descrizione", key), "Verifica biennale");
    EXPECT_FALSE(tree->IsEditing());
    PressKey(view_, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(column("Ordine", key), "1");
    EXPECT_EQ(tree->Selected(), verifica);
    EXPECT_EQ(verifica->Index(), 0);
    dialogs_->AnswerInput("Scala D");
    dialogs_->AnswerInput("");
    PressKey(view_, Qt::Key_Insert);
    EXPECT_EQ(Copy("SELECT count(*) FROM PianoConti WHERE Descrizione = 'Scala D' AND Padre = " +
                   std::to_string(key)),
              "1");
    dialogs_->AnswerButton(IDCANCEL);
    PressKey(view_, Qt::Key_Delete);
    EXPECT_EQ(dialogs_->Questions().back().flags, MB_OKCANCEL | MB_ICONEXCLAMATION);
    EXPECT_EQ(column("IdConto", key), std::to_string(key));

    // A drag onto another group makes the account its last child, in the file too.
    TTreeNode* impianti = Child(manutenzioni, "Impianti");
    Drag(verifica, impianti);
    EXPECT_EQ(column("Padre", key), std::to_string(NodeKey(impianti)));
    EXPECT_EQ(verifica->Parent(), impianti);
    EXPECT_EQ(impianti->GetLastChild(), verifica);
    // The original knows nothing of it.
    EXPECT_EQ(Original("SELECT Padre FROM PianoConti WHERE IdConto = " + std::to_string(key)),
              std::to_string(NodeKey(ascensore)));
}

TEST_F(GalleryWindowTest, F5ReadsTheFileAgain) {
    Open();
    Exec(copy_.archive, "UPDATE PianoConti SET Descrizione = 'Uscite generali' WHERE Padre = 0 "
                        "AND Ordine = 1; UPDATE MovConti SET Descrizione = 'Cambiata fuori' "
                        "WHERE idMovConti = 1;");
    EXPECT_EQ(form_->tvConti->Items()->GetFirstNode()->Text(), AnsiString("Spese generali"));
    std::vector<TCursor> cursors;
    data_->tblPianoConti->AfterOpen = [&](TDataSet*) { cursors.push_back(Screen()->Cursor()); };
    form_->tvConti->SetFocus();
    PressKey(view_, Qt::Key_F5);
    EXPECT_EQ(form_->tvConti->Items()->GetFirstNode()->Text(), AnsiString("Uscite generali"));
    // The hourglass while the file is read, the usual cursor afterwards.
    EXPECT_EQ(cursors, std::vector<TCursor>{crHourGlass});
    EXPECT_EQ(Screen()->Cursor(), crDefault);
    EXPECT_EQ(GridCell(form_->dbgMovimenti, "Descrizione"), "Cambiata fuori");
    EXPECT_EQ(form_->edtDescrizione->Text(), AnsiString("Cambiata fuori"));
}

TEST_F(GalleryWindowTest, TheTreeAndTheGridOfTheChartAgreeFromTheStart) {
    Open();
    TQuorTreeView* tree = form_->tvConti;
    const auto agree = [&](const char* when) {
        SCOPED_TRACE(when);
        TTreeNode* selected = tree->Selected();
        ASSERT_NE(selected, nullptr);
        EXPECT_EQ(data_->tblPianoConti->FieldByName("IdConto")->AsInteger(), tree->SelectedKey());
        EXPECT_EQ(GridCell(form_->dbgConti, "Descrizione"), selected->Text().str());
    };
    agree("at start");
    EXPECT_EQ(tree->Selected(), tree->Items()->GetFirstNode());
    EXPECT_EQ(tree->SelectedKey(),
              std::stoi(Copy("SELECT IdConto FROM PianoConti WHERE Padre = 0 AND Ordine = 1")));

    // A sub-account selected before F5 is not shown again at once: the tree
    // and the grid still agree.
    TTreeNode* second = tree->Items()->GetFirstNode()->getNextSibling();
    ASSERT_NE(second, nullptr);
    second->SetSelected(true);
    agree("on another account");
    ASSERT_NE(second->getFirstChild(), nullptr);
    second->getFirstChild()->SetSelected(true);
    agree("on a sub-account");
    tree->SetFocus();
    PressKey(view_, Qt::Key_F5);
    agree("after F5");
    EXPECT_EQ(data_->tblPianoConti->State(), dsBrowse);
}

TEST_F(GalleryWindowTest, F5OpensAgainTheTablesALostConnectionClosed) {
    Open();
    // A server that restarts leaves the datasets of the old connection closed.
    data_->tblMovConti->Close();
    data_->qryCausali->Close();
    form_->tvConti->SetFocus();
    PressKey(view_, Qt::Key_F5);
    EXPECT_TRUE(data_->tblMovConti->Active());
    EXPECT_TRUE(data_->qryCausali->Active());
    EXPECT_EQ(form_->tvConti->Items()->GetFirstNode()->Text(), AnsiString("Spese generali"));
    EXPECT_FALSE(GridCell(form_->dbgMovimenti, "Descrizione").empty());
}
