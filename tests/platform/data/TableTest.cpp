// Tables over a real archive: order, master and detail, filters, Locate,
// bookmarks, editing, persistent fields, read-only archives and the errors a
// user meets.

#include "TestArchive.h"

#include "platform/data/DataSource.h"
#include "platform/data/Query.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Column(TDataSet& ds, const char* field) {
    std::vector<std::string> out;
    for (ds.First(); !ds.Eof(); ds.Next())
        out.push_back(ds.FieldByName(field)->AsString().str());
    return out;
}

using Names = std::vector<std::string>;

struct Fixture {
    TestArchive archive;
    TTable condomini;
    Fixture() {
        archive.Populate();
        archive.Bind(&condomini);
        condomini.SetName("tblCondomini");
        condomini.SetTableName("Condomini.DB");
    }
};

TEST(TableTest, RowsFollowTheIndexAndItsCollation) {
    Fixture f;
    f.condomini.Open();
    EXPECT_EQ(Column(f.condomini, "Nome"), (Names{"bianchi", "Alfa", "Zeta", "alfa due"}));
    EXPECT_EQ(f.condomini.RecordCount(), 4);
    f.condomini.SetIndexName("idxNome"); // reopens in the index's order, case-insensitive
    ASSERT_TRUE(f.condomini.Active());
    EXPECT_EQ(Column(f.condomini, "Nome"), (Names{"Alfa", "alfa due", "bianchi", "Zeta"}));

    f.condomini.Close();
    f.condomini.SetIndexName("idxNessuno");
    try {
        f.condomini.Open();
        FAIL() << "a missing index must not open";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().Pos("idxNessuno"), 0) << e.Message().c_str();
    }
    EXPECT_FALSE(f.condomini.Active());
}

TEST(TableTest, NavigationReportsItsEnds) {
    Fixture f;
    f.condomini.Open();
    EXPECT_TRUE(f.condomini.Bof());
    EXPECT_FALSE(f.condomini.Eof());
    EXPECT_EQ(f.condomini.RecNo(), 1);
    f.condomini.Prior();
    EXPECT_TRUE(f.condomini.Bof());
    EXPECT_EQ(f.condomini.MoveBy(2), 2);
    EXPECT_EQ(f.condomini.RecNo(), 3);
    EXPECT_EQ(f.condomini.MoveBy(5), 1);
    EXPECT_TRUE(f.condomini.Eof());
    EXPECT_EQ(f.condomini.FieldByName("Nome")->AsString(), "alfa due");
    f.condomini.Next();
    EXPECT_TRUE(f.condomini.Eof());
    EXPECT_EQ(f.condomini.RecNo(), 4);
    f.condomini.First();
    f.condomini.Last();
    EXPECT_TRUE(f.condomini.Eof());
    f.condomini.SetRecNo(2);
    EXPECT_EQ(f.condomini.FieldByName("Nome")->AsString(), "Alfa");
    f.condomini.Close();
    EXPECT_EQ(f.condomini.RecordCount(), 0);
    EXPECT_THROW(f.condomini.Next(), EDatabaseError);
}

TEST(TableTest, DetailFollowsTheMastersCurrentRecord) {
    Fixture f;
    TDataSource datCondomini;
    datCondomini.SetDataSet(&f.condomini);
    TTable movimenti;
    f.archive.Bind(&movimenti);
    movimenti.SetTableName("MovConti.db");
    movimenti.SetIndexName("idxCondominio");
    movimenti.SetMasterSource(&datCondomini);
    movimenti.SetMasterFields("IdCondominio");
    movimenti.Open();
    // Master closed: no current master record, so no detail rows.
    EXPECT_TRUE(movimenti.IsEmpty());

    f.condomini.Open();
    EXPECT_EQ(Column(movimenti, "Descrizione"), (Names{"Acqua", "l'uno"}));
    f.condomini.Next();
    EXPECT_EQ(Column(movimenti, "Descrizione"), (Names{"Luce"}));
    f.condomini.Locate("Nome", "alfa due");
    EXPECT_TRUE(movimenti.IsEmpty());
    EXPECT_TRUE(movimenti.Eof());
    // The master moving while its controls are disabled catches up once enabled.
    f.condomini.DisableControls();
    f.condomini.First();
    EXPECT_TRUE(movimenti.IsEmpty());
    f.condomini.EnableControls();
    EXPECT_EQ(movimenti.RecordCount(), 2);

    // A new detail record starts on its master.
    movimenti.Append();
    EXPECT_EQ(movimenti.FieldByName("idCondominio")->AsInteger(), 1);
    movimenti.FieldByName("Descrizione")->SetAsString("Gas");
    movimenti.Post();
    EXPECT_EQ(f.archive.Scalar("SELECT idCondominio FROM MovConti WHERE Descrizione='Gas'"), "1");
    movimenti.Locate("Descrizione", "Gas");
    movimenti.Delete();

    // A filter narrows the detail further.
    movimenti.SetFilter("Importo > 50");
    movimenti.SetFiltered(true);
    EXPECT_EQ(Column(movimenti, "Descrizione"), (Names{"l'uno"}));

    // A master source that goes away leaves the detail unbound, not dangling.
    auto* temporary = new TDataSource;
    temporary->SetDataSet(&f.condomini);
    movimenti.SetMasterSource(temporary);
    delete temporary;
    EXPECT_EQ(movimenti.MasterSource(), nullptr);
    movimenti.Refresh();
    EXPECT_EQ(movimenti.RecordCount(), 1); // only the filter is left
}

TEST(TableTest, FiltersSelectRowsAndRejectWhatTheyCannotRead) {
    Fixture f;
    f.condomini.SetFilter("Comune='Milano'");
    f.condomini.SetFiltered(true);
    f.condomini.Open();
    EXPECT_EQ(Column(f.condomini, "Nome"), (Names{"bianchi", "Zeta"}));
    f.condomini.SetFilter("Icona=2 or Comune = 'Torino'");
    EXPECT_EQ(Column(f.condomini, "Nome"), (Names{"Alfa", "alfa due"}));
    f.condomini.SetFilter("(Comune='Milano' and Icona=1) and not CAP='20121'");
    EXPECT_EQ(Column(f.condomini, "Nome"), (Names{"bianchi"}));
    f.condomini.SetFilter("Riscaldamento is null");
    EXPECT_EQ(Column(f.condomini, "Nome"), (Names{"Zeta"}));
    f.condomini.SetFilter("Nome='l''uno'"); // a doubled quote is a quote
    EXPECT_TRUE(f.condomini.IsEmpty());
    f.condomini.SetFiltered(false);
    EXPECT_EQ(f.condomini.RecordCount(), 4);
    f.condomini.Close();

    for (const char* bad : {"Nome='l'uno'", "Nome=", "Nome 'x'", "(Icona=1", "Icona=1 and"}) {
        f.condomini.SetFilter(bad);
        f.condomini.SetFiltered(true);
        try {
            f.condomini.Open();
            ADD_FAILURE() << "filter accepted: " << bad;
        } catch (const EDatabaseError& e) {
            EXPECT_NE(e.Message().Pos("tblCondomini"), 0) << e.Message().c_str();
            EXPECT_NE(e.Message().Pos(bad), 0) << e.Message().c_str();
        }
        EXPECT_FALSE(f.condomini.Active());
    }
    f.condomini.SetFilter("Sconosciuto=1");
    try {
        f.condomini.Open();
        ADD_FAILURE() << "a filter on a missing field was accepted";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().Pos("'Sconosciuto'"), 0) << e.Message().c_str();
    }
    EXPECT_FALSE(f.condomini.Active());
}

TEST(TableTest, LocateFindsTheFirstMatchAndStaysPutOtherwise) {
    Fixture f;
    f.condomini.SetIndexName("idxNome");
    f.condomini.Open();
    f.condomini.Last();
    EXPECT_FALSE(f.condomini.Locate("Nome", "alfa", 0));
    EXPECT_EQ(f.condomini.FieldByName("Nome")->AsString(), "Zeta");
    EXPECT_FALSE(f.condomini.Locate("Nome", "ALFA", 0));
    EXPECT_TRUE(f.condomini.Locate("Nome", "ALFA", loCaseInsensitive));
    EXPECT_EQ(f.condomini.FieldByName("Nome")->AsString(), "Alfa");
    EXPECT_FALSE(f.condomini.Locate("Nome", "ALFA D", loCaseInsensitive));
    EXPECT_TRUE(f.condomini.Locate("Nome", "ALFA D", loCaseInsensitive | loPartialKey));
    EXPECT_EQ(f.condomini.FieldByName("Nome")->AsString(), "alfa due");
    f.condomini.First();
    EXPECT_TRUE(f.condomini.Locate("Nome", "alfa d", loPartialKey));
    EXPECT_EQ(f.condomini.RecNo(), 2);
    EXPECT_TRUE(f.condomini.Locate("IdCondominio", 3, 0));
    EXPECT_EQ(f.condomini.FieldByName("Nome")->AsString(), "Zeta");
    EXPECT_TRUE(f.condomini.Locate("Icona", "2", 0)); // converted to the field's type
    EXPECT_EQ(f.condomini.FieldByName("Nome")->AsString(), "Alfa");
    EXPECT_TRUE(f.condomini.Locate("Comune;Icona", VarArrayOf({"Milano", 1}), 0));
    EXPECT_EQ(f.condomini.FieldByName("Nome")->AsString(), "bianchi");
    EXPECT_TRUE(f.condomini.Locate("Riscaldamento", Variant(), 0));
    EXPECT_EQ(f.condomini.FieldByName("Nome")->AsString(), "Zeta");
    EXPECT_THROW(f.condomini.Locate("Comune;Icona", "Milano", 0), EDatabaseError);
    EXPECT_THROW(f.condomini.Locate("Nessuno", 1, 0), EDatabaseError);

    // Lookup reads another record without moving.
    int scrolls = 0;
    f.condomini.AfterScroll = [&](TDataSet*) { ++scrolls; };
    EXPECT_EQ(f.condomini.Lookup("IdCondominio", 2, "Comune").ToString(), "Roma");
    const Variant both = f.condomini.Lookup("IdCondominio", 2, "Comune;CAP");
    ASSERT_EQ(both.ArrayCount(), 2);
    EXPECT_EQ(both.ArrayItem(1).ToString(), "00100");
    EXPECT_EQ(scrolls, 0);
    EXPECT_EQ(f.condomini.FieldByName("Nome")->AsString(), "Zeta");
    EXPECT_TRUE(f.condomini.Lookup("IdCondominio", 99, "Comune").IsNull());
}

TEST(TableTest, BookmarksSurviveAReopenUnlessTheRecordIsGone) {
    Fixture f;
    f.condomini.SetIndexName("idxNome");
    f.condomini.Open();
    EXPECT_FALSE(f.condomini.BookmarkValid(TBookmark()));
    f.condomini.Locate("Nome", "bianchi");
    TBookmark mark = f.condomini.GetBookmark();
    ASSERT_TRUE(mark);
    // Another program adds a row that sorts before it.
    f.archive.Exec("INSERT INTO Condomini (Nome) VALUES ('Aaa')");
    f.condomini.Close();
    f.condomini.Open();
    ASSERT_TRUE(f.condomini.BookmarkValid(mark));
    f.condomini.GotoBookmark(mark);
    EXPECT_EQ(f.condomini.FieldByName("Nome")->AsString(), "bianchi");
    EXPECT_EQ(f.condomini.RecNo(), 4);
    f.condomini.FreeBookmark(mark);
    EXPECT_FALSE(mark);

    TBookmark zeta = (f.condomini.Locate("Nome", "Zeta"), f.condomini.GetBookmark());
    f.archive.Exec("DELETE FROM Condomini WHERE Nome='Zeta'");
    f.condomini.Refresh();
    EXPECT_FALSE(f.condomini.BookmarkValid(zeta));
    EXPECT_THROW(f.condomini.GotoBookmark(zeta), EDatabaseError);
    EXPECT_EQ(f.condomini.RecordCount(), 4);
}

TEST(TableTest, EditInsertPostCancelAndDelete) {
    Fixture f;
    f.condomini.Open();
    TField* nome = f.condomini.FieldByName("Nome");
    f.condomini.Edit();
    EXPECT_EQ(f.condomini.State(), dsEdit);
    nome->SetAsString("Rossi");
    EXPECT_TRUE(f.condomini.Modified());
    f.condomini.Cancel();
    EXPECT_EQ(f.condomini.State(), dsBrowse);
    EXPECT_EQ(nome->AsString(), "bianchi");
    EXPECT_EQ(f.archive.Scalar("SELECT Nome FROM Condomini WHERE IdCondominio=1"), "bianchi");

    // Edit reads the record again: a change made elsewhere is not overwritten.
    f.archive.Exec("UPDATE Condomini SET Comune='Monza' WHERE IdCondominio=1");
    f.condomini.Edit();
    EXPECT_EQ(f.condomini.FieldByName("Comune")->AsString(), "Monza");
    nome->SetAsString("Rossi");
    f.condomini.Post();
    EXPECT_EQ(f.archive.Scalar("SELECT Nome || '/' || Comune FROM Condomini WHERE IdCondominio=1"),
              "Rossi/Monza");

    f.condomini.Append();
    EXPECT_EQ(f.condomini.State(), dsInsert);
    EXPECT_TRUE(f.condomini.FieldByName("IdCondominio")->IsNull());
    nome->SetAsString("Nuovo");
    f.condomini.FieldByName("Icona")->SetAsInteger(9);
    f.condomini.Post();
    EXPECT_EQ(f.condomini.FieldByName("IdCondominio")->AsInteger(), 5); // the key given by the file
    EXPECT_EQ(f.condomini.RecordCount(), 5);
    EXPECT_EQ(f.archive.Scalar("SELECT Nome FROM Condomini WHERE IdCondominio=5"), "Nuovo");

    f.condomini.First();
    f.condomini.Insert();
    EXPECT_EQ(f.condomini.RecNo(), 1);
    f.condomini.Cancel(); // a cancelled insert leaves no trace
    EXPECT_EQ(f.condomini.RecordCount(), 5);
    EXPECT_EQ(nome->AsString(), "Rossi");

    // A required field left empty names itself.
    f.condomini.Insert();
    try {
        f.condomini.Post();
        FAIL() << "a null required field was posted";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().Pos("'Nome'"), 0) << e.Message().c_str();
    }
    EXPECT_EQ(f.condomini.State(), dsInsert);
    f.condomini.Cancel();

    f.condomini.Locate("Nome", "Alfa");
    f.condomini.Delete();
    EXPECT_EQ(f.condomini.RecordCount(), 4);
    EXPECT_EQ(f.archive.Scalar("SELECT count(*) FROM Condomini WHERE Nome='Alfa'"), "0");
    EXPECT_EQ(nome->AsString(), "Zeta"); // on the record that followed

    // Moving away from an edit posts it.
    f.condomini.Edit();
    nome->SetAsString("Zeta bis");
    f.condomini.Next();
    EXPECT_EQ(f.archive.Scalar("SELECT count(*) FROM Condomini WHERE Nome='Zeta bis'"), "1");
}

TEST(TableTest, ErrorEventsChooseBetweenFailAbortAndRetry) {
    Fixture f;
    f.condomini.Open();
    int calls = 0;
    f.condomini.OnPostError = [&](TDataSet* ds, EDatabaseError* e, TDataAction& action) {
        EXPECT_EQ(ds, &f.condomini);
        EXPECT_NE(e->Message().Pos("UNIQUE"), 0) << e->Message().c_str();
        ++calls;
        action = calls < 3 ? daRetry : daAbort;
    };
    f.condomini.Edit();
    f.condomini.FieldByName("IdCondominio")->SetAsInteger(2); // taken
    EXPECT_THROW(f.condomini.Post(), EAbort);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(f.condomini.State(), dsEdit);
    f.condomini.Cancel();

    f.condomini.OnPostError = [](TDataSet*, EDatabaseError*, TDataAction& action) {
        action = daFail;
    };
    f.condomini.Edit();
    f.condomini.FieldByName("IdCondominio")->SetAsInteger(2);
    EXPECT_THROW(f.condomini.Post(), EDatabaseError);
    f.condomini.Cancel();
    EXPECT_EQ(f.archive.Scalar("SELECT Nome FROM Condomini WHERE IdCondominio=1"), "bianchi");
}

TEST(TableTest, PersistentFieldsDecideWhichFieldsExist) {
    Fixture f;
    f.condomini.AddPersistentField("Nome", ftString, "", true, 30);
    f.condomini.AddPersistentField("Note", ftMemo, "", false);
    f.condomini.AddPersistentField("CAP", ftString, "Codice postale");
    f.condomini.AddPersistentField("IdCondominio", ftAutoInc, "", true, 0, true);
    f.condomini.Open();
    ASSERT_EQ(f.condomini.FieldCount(), 4);
    EXPECT_EQ(f.condomini.Fields()->Fields(0)->FieldName(), "Nome");
    EXPECT_EQ(f.condomini.Fields()->Fields(0)->DisplayWidth(), 30);
    EXPECT_FALSE(f.condomini.Fields()->Fields(1)->Visible());
    EXPECT_EQ((*f.condomini.Fields())[2]->DisplayLabel(), "Codice postale");
    EXPECT_EQ(f.condomini.FieldByName("CAP")->AsString(), "20100");
    EXPECT_EQ(f.condomini.FindField("Comune"), nullptr);
    try {
        f.condomini.FieldByName("Xyz");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Campo 'Xyz' non trovato in tblCondomini");
    }
    // The read-only key cannot be set; the other fields can, and only they are written.
    f.condomini.Edit();
    EXPECT_THROW(f.condomini.FieldByName("IdCondominio")->SetAsInteger(7), EDatabaseError);
    f.condomini.FieldByName("CAP")->SetAsString("20131");
    f.condomini.Post();
    EXPECT_EQ(f.archive.Scalar("SELECT CAP || Comune FROM Condomini WHERE IdCondominio=1"),
              "20131Milano");
    f.condomini.Close();

    f.condomini.AddPersistentField("Scomparso", ftInteger);
    try {
        f.condomini.Open();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().Pos("'Scomparso'"), 0) << e.Message().c_str();
    }
    EXPECT_FALSE(f.condomini.Active());
    // A field destroyed by its owner leaves the list.
    auto* owner = new TComponent(nullptr);
    auto* extra = new TIntegerField(owner);
    extra->SetFieldName("Icona");
    extra->SetDataSet(&f.condomini);
    EXPECT_EQ(f.condomini.FieldCount(), 6);
    delete owner;
    EXPECT_EQ(f.condomini.FieldCount(), 5);
}

TEST(TableTest, AReadOnlyArchiveIsNeverWritten) {
    Fixture f;
    const std::string before = f.archive.Contents();
    f.archive.Database()->SetReadOnly(true);
    f.condomini.SetIndexName("idxNome");
    f.condomini.Open();
    EXPECT_FALSE(f.condomini.CanModify());
    EXPECT_THROW(f.condomini.Edit(), EDatabaseError);
    EXPECT_THROW(f.condomini.Append(), EDatabaseError);
    EXPECT_THROW(f.condomini.Delete(), EDatabaseError);
    EXPECT_EQ(f.condomini.State(), dsBrowse);
    f.condomini.Locate("Nome", "Zeta");
    f.condomini.Refresh();

    TQuery q;
    f.archive.Bind(&q);
    q.SQL()->Add("UPDATE Condomini SET Nome='X'");
    EXPECT_THROW(q.ExecSQL(), EDatabaseError);
    q.SQL()->SetText("SELECT count(*) FROM Condomini");
    q.Open();
    EXPECT_EQ(q.Fields()->Fields(0)->AsInteger(), 4);
    q.Close();
    f.condomini.Close();
    f.archive.Database()->SetConnected(false);
    EXPECT_EQ(f.archive.Contents(), before);

    // A read-only table on a writable archive refuses too.
    f.archive.Database()->SetReadOnly(false);
    f.condomini.SetReadOnly(true);
    f.condomini.Open();
    EXPECT_THROW(f.condomini.Edit(), EDatabaseError);
    EXPECT_EQ(f.archive.Contents(), before);
}

TEST(TableTest, MissingAliasTableAndFileAreNamedInTheMessage) {
    Fixture f;
    TTable t;
    f.archive.Bind(&t);
    t.SetTableName("Nessuna.DB");
    try {
        t.Open();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().Pos("'Nessuna.DB'"), 0) << e.Message().c_str();
    }

    TDatabase other;
    other.SetDatabaseName("dbAltro");
    other.SetAliasName("Sconosciuto");
    other.SetSessionName("SessioneProva");
    try {
        other.SetConnected(true);
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().Pos("'Sconosciuto'"), 0) << e.Message().c_str();
        EXPECT_NE(e.Message().Pos(f.archive.ConfigPath().c_str()), 0) << e.Message().c_str();
    }
    EXPECT_FALSE(other.Connected());

    f.archive.Database()->SetConnected(false);
    // The archive's file is gone, or its server cannot be reached.
    if (f.archive.OnServer())
        std::ofstream(f.archive.ConfigPath())
            << "[Prova]\nDriver=POSTGRES\nConnection=host=/nessuna/cartella dbname=x\n";
    else
        std::filesystem::remove(f.archive.DbPath());
    try {
        f.archive.Database()->SetConnected(true);
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().Pos("'Prova'"), 0) << e.Message().c_str();
        EXPECT_NE(e.Message().Pos(f.archive.ConfigPath().c_str()), 0) << e.Message().c_str();
    }

    if (f.archive.OnServer()) {
        // A password written in the configuration is refused, never sent.
        std::ofstream(f.archive.ConfigPath())
            << "[Prova]\nDriver=POSTGRES\nConnection=host=/nessuna/cartella password=segreta\n";
        try {
            f.archive.Database()->SetConnected(true);
            FAIL();
        } catch (const EDatabaseError& e) {
            EXPECT_NE(e.Message().Pos("password"), 0) << e.Message().c_str();
            EXPECT_EQ(e.Message().Pos("segreta"), 0) << e.Message().c_str();
            EXPECT_NE(e.Message().Pos("'Prova'"), 0) << e.Message().c_str();
        }
        return;
    }
    // A file that is not an archive.
    std::ofstream(f.archive.DbPath()) << "non sono un archivio";
    EXPECT_THROW(f.archive.Database()->SetConnected(true), EDatabaseError);
}

class CountingLink : public TDataLink {
public:
    int active = 0, changed = 0, scrolled = 0, record = 0, editing = 0, distance = 0;

protected:
    void ActiveChanged() override { ++active; }
    void DataSetChanged() override { ++changed; }
    void DataSetScrolled(int d) override {
        ++scrolled;
        distance += d;
    }
    void RecordChanged(TField*) override { ++record; }
    void EditingChanged() override { ++editing; }
};

TEST(TableTest, DataLinksHearWhatHappensUnlessControlsAreDisabled) {
    Fixture f;
    TDataSource source;
    CountingLink link;
    link.SetDataSource(&source);
    source.SetDataSet(&f.condomini);
    EXPECT_EQ(link.DataSet(), &f.condomini);
    int dataChanges = 0;
    source.OnDataChange = [&](TObject*, TField*) { ++dataChanges; };
    link.active = 0;

    f.condomini.Open();
    EXPECT_EQ(link.active, 1);
    EXPECT_TRUE(link.Active());
    EXPECT_EQ(source.State(), dsBrowse);
    f.condomini.MoveBy(3);
    f.condomini.Prior();
    EXPECT_EQ(link.scrolled, 2);
    EXPECT_EQ(link.distance, 2);
    f.condomini.Edit();
    f.condomini.FieldByName("Comune")->SetAsString("Lodi");
    EXPECT_EQ(source.State(), dsEdit);
    f.condomini.Post();
    EXPECT_EQ(link.editing, 2);
    EXPECT_GE(link.record, 1);
    EXPECT_GE(link.changed, 1);
    EXPECT_GT(dataChanges, 0);

    // Grids read any row without moving the current one.
    TField* nome = f.condomini.FieldByName("Nome");
    const int recNo = f.condomini.RecNo();
    EXPECT_EQ(f.condomini.DisplayTextAt(0, nome), "bianchi");
    EXPECT_EQ(f.condomini.ValueAt(3, nome).ToString(), "alfa due");
    EXPECT_TRUE(f.condomini.ValueAt(4, nome).IsNull());
    EXPECT_EQ(f.condomini.RecNo(), recNo);

    const int changedBefore = link.changed, scrolledBefore = link.scrolled;
    f.condomini.DisableControls();
    EXPECT_TRUE(f.condomini.ControlsDisabled());
    f.condomini.First();
    f.condomini.Last();
    f.condomini.Close();
    f.condomini.Open();
    f.condomini.DisableControls();
    f.condomini.EnableControls();
    EXPECT_EQ(link.scrolled, scrolledBefore);
    EXPECT_EQ(link.changed, changedBefore);
    f.condomini.EnableControls();
    EXPECT_FALSE(f.condomini.ControlsDisabled());
    EXPECT_EQ(link.changed, changedBefore + 1);

    source.SetEnabled(false);
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(source.State(), dsInactive);
    f.condomini.Next();
    EXPECT_EQ(link.scrolled, scrolledBefore);
}

} // namespace
