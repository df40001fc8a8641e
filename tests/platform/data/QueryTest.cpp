// Queries: SQLite's SQL passed through, rejected at Prepare when malformed,
// typed by the declared column types, and statements that change rows.

#include "TestArchive.h"

#include "platform/data/Query.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<TQuery> MakeQuery(const TestArchive& archive, const std::string& sql) {
    auto q = std::make_unique<TQuery>();
    archive.Bind(q.get());
    q->SQL()->Add(sql.c_str());
    return q;
}

TEST(QueryTest, PrepareRejectsMalformedStatementsAndMissingTables) {
    TestArchive archive;
    struct Case {
        const char* sql;
        std::string engineSays;
    } cases[] = {
        {"selec Nome from Causali", "syntax error"},
        {"select Nome from Nessuna where x=",
         TestArchive::Either("incomplete input", "syntax error at end of input")},
        {"select Nome from Nessuna",
         TestArchive::Either("no such table: Nessuna", "relation \"nessuna\" does not exist")},
        {"select Sconosciuto from Causali",
         TestArchive::Either("no such column: Sconosciuto",
                             "column \"sconosciuto\" does not exist")},
    };
    for (const Case& c : cases) {
        auto q = MakeQuery(archive, c.sql);
        try {
            q->Prepare();
            ADD_FAILURE() << "prepared: " << c.sql;
        } catch (const EDatabaseError& e) {
            EXPECT_NE(e.Message().Pos(c.engineSays.c_str()), 0) << e.Message().c_str();
            EXPECT_NE(e.Message().Pos(c.sql), 0) << e.Message().c_str();
        }
        EXPECT_FALSE(q->Prepared());
        EXPECT_THROW(q->Open(), EDatabaseError);
        EXPECT_FALSE(q->Active());
    }
    auto empty = MakeQuery(archive, "   ");
    EXPECT_THROW(empty->Prepare(), EDatabaseError);
    auto two = MakeQuery(archive, "delete from Causali; drop table Causali");
    EXPECT_THROW(two->Prepare(), EDatabaseError);
    EXPECT_TRUE(archive.Raw().HasTable("Causali"));
}

TEST(QueryTest, ResultColumnsAreTypedFromTheirDeclarationOrTheirValues) {
    TestArchive archive;
    archive.Populate();
    auto q =
        MakeQuery(archive, "select m.Data, m.Importo, c.Nome, c.IdCondominio, count(*) as n, "
                           "sum(m.Cambio) as s, 1.5 as r, 'x' as t, m.idMovConti, c.IdCondominio "
                           "from MovConti m join Condomini c on c.IdCondominio = m.idCondominio "
                           "where m.idMovConti = 1 group by m.idMovConti, c.IdCondominio");
    q->Open();
    ASSERT_EQ(q->FieldCount(), 10);
    EXPECT_EQ(q->FieldByName("Data")->DataType(), ftDate);
    EXPECT_EQ(q->FieldByName("Importo")->DataType(), ftBCD);
    EXPECT_EQ(q->FieldByName("Importo")->AsString(), "12,5");
    EXPECT_EQ(q->FieldByName("Nome")->DataType(), ftString);
    EXPECT_EQ(q->FieldByName("Nome")->Size(), 50);
    EXPECT_EQ(q->FieldByName("n")->DataType(), ftInteger);
    EXPECT_EQ(q->FieldByName("n")->AsInteger(), 1);
    // All null: nothing to go by in a file; the server knows a sum of reals.
    EXPECT_EQ(q->FieldByName("s")->DataType(), archive.OnServer() ? ftFloat : ftString);
    EXPECT_EQ(q->FieldByName("r")->DataType(), ftFloat);
    EXPECT_EQ(q->FieldByName("t")->DataType(), ftString);
    EXPECT_EQ(q->FieldByName("idMovConti")->DataType(), ftInteger); // no autoinc in a result
    EXPECT_EQ(q->Fields()->Fields(9)->FieldName(), "IdCondominio_1");
    EXPECT_FALSE(q->CanModify());
    EXPECT_THROW(q->Edit(), EDatabaseError);
}

TEST(QueryTest, ForwardOnlyLookupsAndEmptyResults) {
    TestArchive archive;
    archive.Populate();
    auto movements = MakeQuery(archive, "select * from \"MovConti\" where idCondominio=1");
    movements->SetUniDirectional(true);
    movements->Open();
    std::string seen;
    while (!movements->Eof()) {
        // A lookup per row, as the export does, with a statement text seen before.
        auto lookup = MakeQuery(archive, "select Nome from Causali where idCausale=" +
                                             movements->FieldByName("idCausale")->AsString().str());
        lookup->Open();
        seen += lookup->Fields()->Fields(0)->AsString().str() + ";";
        movements->Next();
    }
    EXPECT_EQ(seen, "Spese;Rate;");

    // LIKE ignores the case of ASCII letters, on every engine.
    auto like = MakeQuery(archive, "select count(*) from Condomini where Nome like 'ALFA%'");
    like->Open();
    EXPECT_EQ(like->Fields()->Fields(0)->AsInteger(), 2);

    auto none = MakeQuery(archive, "select Nome from Causali where idCausale=99");
    none->Open();
    EXPECT_TRUE(none->Eof());
    EXPECT_TRUE(none->IsEmpty());
    EXPECT_EQ(none->Fields()->Fields(0)->AsString(), "");
    EXPECT_EQ(none->Fields()->Fields(0)->AsInteger(), 0);

    // Two open queries on the same text keep their own rows.
    auto a = MakeQuery(archive, "select Nome from Condomini order by IdCondominio");
    auto b = MakeQuery(archive, "select Nome from Condomini order by IdCondominio");
    a->Open();
    b->Open();
    b->Last();
    EXPECT_EQ(a->Fields()->Fields(0)->AsString(), "bianchi");
    EXPECT_EQ(b->Fields()->Fields(0)->AsString(), "alfa due");
    // A filter on a query narrows its rows; a missing field is named.
    a->Close();
    a->SetFilter("Nome='Zeta' or Nome='Alfa'");
    a->SetFiltered(true);
    a->Open();
    EXPECT_EQ(a->RecordCount(), 2);
    EXPECT_THROW(a->SetFilter("Cognome='Zeta'"), EDatabaseError);
    EXPECT_THROW(a->Refresh(), EDatabaseError);
    a->Close();
    EXPECT_THROW(a->Open(), EDatabaseError);
}

TEST(QueryTest, ExecSqlReportsTheRowsItChanged) {
    TestArchive archive;
    archive.Populate();
    auto q = MakeQuery(archive, "update Condomini set Icona = 7 where Comune = 'Milano'");
    q->SetParamCheck(false);
    q->ExecSQL();
    EXPECT_EQ(q->RowsAffected(), 2);
    EXPECT_EQ(archive.Scalar(TestArchive::Either(
                  "select group_concat(Icona) from Condomini where Comune='Milano'",
                  "select string_agg(Icona::text, ',') from Condomini where Comune='Milano'")),
              "7,7");

    q->SQL()->SetText("create table Nuova (a integer, b varchar(20))");
    EXPECT_FALSE(q->Prepared()); // a new text unprepares
    q->ExecSQL();
    EXPECT_EQ(q->RowsAffected(), 0);
    q->SQL()->SetText("insert into Nuova (a) values (1), (2), (3)");
    q->ExecSQL();
    EXPECT_EQ(q->RowsAffected(), 3);
    q->SQL()->SetText("insert into Nuova (b) values ('ore 12:30')"); // a colon inside text
    q->ExecSQL();
    EXPECT_EQ(q->RowsAffected(), 1);
    q->SQL()->SetText("delete from Nuova where a = 99");
    q->ExecSQL();
    EXPECT_EQ(q->RowsAffected(), 0);
    q->SQL()->SetText("insert into Nuova values (\x80)");
    EXPECT_THROW(q->ExecSQL(), EDatabaseError);
    // Multi-line text is one statement.
    q->SQL()->Clear();
    q->SQL()->Add("delete from Nuova\r\nwhere a < 3");
    q->ExecSQL();
    EXPECT_EQ(q->RowsAffected(), 2);
    EXPECT_EQ(archive.Scalar("select count(*) from Nuova"), "2");

    // A statement without rows cannot be opened.
    q->SQL()->SetText("delete from Nuova");
    EXPECT_THROW(q->Open(), EDatabaseError);
}

TEST(QueryTest, DatabaseNameMayNameAnAliasDirectly) {
    TestArchive archive;
    archive.Populate();
    TQuery q;
    q.SetDatabaseName("Prova");
    q.SetSessionName("SessioneProva");
    q.SQL()->Add("select count(*) from Causali");
    q.Open();
    EXPECT_EQ(q.Fields()->Fields(0)->AsInteger(), 3);
    TDatabase* made = archive.Session()->FindDatabase("Prova");
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->Connected());
    // Disconnecting a database closes what runs on it.
    made->SetConnected(false);
    EXPECT_FALSE(q.Active());
}

} // namespace

TEST(QueryTest, FieldsKeptForReuseServeTheNextOpenOnTheSameColumnsOnly) {
    TestArchive archive;
    archive.Populate();
    auto q = MakeQuery(archive, "select Nome from Causali where idCausale=1");
    q->SetUniDirectional(true);
    q->SetReuseFields(true);
    q->Open();
    TField* nome = q->FieldByName("Nome");
    EXPECT_EQ(nome->AsString(), "Spese");
    q->Close();
    // Closed, the kept field is no field of the dataset and reads as null.
    EXPECT_EQ(q->FieldCount(), 0);
    EXPECT_EQ(q->FindField("Nome"), nullptr);
    EXPECT_TRUE(nome->IsNull());
    EXPECT_EQ(nome->AsString(), "");
    q->SQL()->Clear();
    q->SQL()->Add("select Nome from Causali where idCausale=2");
    q->Open();
    EXPECT_EQ(q->FieldByName("Nome"), nome);
    EXPECT_EQ(nome->AsString(), "Rate");
    q->Close();
    // Other columns: fields of their own, named and typed as the columns.
    q->SQL()->Clear();
    q->SQL()->Add("select idCausale as Nome, Nome as Altro from Causali where idCausale=3");
    q->Open();
    ASSERT_EQ(q->FieldCount(), 2);
    EXPECT_EQ(q->Fields()->Fields(0)->DataType(), ftInteger);
    EXPECT_EQ(q->Fields()->Fields(0)->AsInteger(), 3);
    EXPECT_EQ(q->Fields()->Fields(1)->FieldName(), "Altro");
    EXPECT_EQ(q->Fields()->Fields(1)->AsString(), "Varie");
    q->Close();
    // An empty result still has the field, null.
    q->SQL()->Clear();
    q->SQL()->Add("select Nome from Causali where idCausale=99");
    q->Open();
    ASSERT_EQ(q->FieldCount(), 1);
    EXPECT_TRUE(q->Fields()->Fields(0)->IsNull());
    q->Close();
    // Without reuse, each open makes its fields anew and none is kept.
    q->SetReuseFields(false);
    q->SQL()->Clear();
    q->SQL()->Add("select Nome from Causali where idCausale=1");
    q->Open();
    EXPECT_EQ(q->Fields()->Fields(0)->AsString(), "Spese");
    q->Close();
    EXPECT_EQ(q->FieldCount(), 0);
}

TEST(QueryTest, TwoFieldsOnOneColumnBothReadItsText) {
    TestArchive archive;
    archive.Populate();
    for (bool forwardOnly : {false, true}) {
        auto q = MakeQuery(archive, "select Descrizione from MovConti order by idMovConti");
        q->SetUniDirectional(forwardOnly);
        TField* first = q->AddPersistentField("Descrizione", ftString);
        TField* second = q->AddPersistentField("Descrizione", ftString);
        q->Open();
        EXPECT_EQ(first->AsString(), "Acqua");
        EXPECT_EQ(second->AsString(), "Acqua");
        q->Next();
        EXPECT_EQ(first->AsString(), "l'uno");
        EXPECT_EQ(second->AsString(), "l'uno");
    }
}
