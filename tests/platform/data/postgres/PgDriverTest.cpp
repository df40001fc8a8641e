// What only the server has: sessions that can be lost, tables made on the
// server by other means, rows that move on disk, the hidden key.

#include "tests/platform/data/TestArchive.h"

#include "platform/data/Driver.h"
#include "platform/data/Query.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace {

std::unique_ptr<TQuery> OpenQuery(const TestArchive& archive, const std::string& sql) {
    auto q = std::make_unique<TQuery>();
    archive.Bind(q.get());
    q->SQL()->Add(sql.c_str());
    q->Open();
    return q;
}

TEST(PgDriverTest, AProgramThatLosesItsConnectionLosesItsLocks) {
    TestArchive archive;
    archive.Populate();
    TTable held;
    archive.Bind(&held);
    held.SetTableName("Condomini");
    held.SetExclusive(true);
    held.Open();
    const std::string backend =
        OpenQuery(archive, "select pg_backend_pid()")->Fields()->Fields(0)->AsString().str();

    TDatabase other;
    other.SetDatabaseName("dbAltro");
    other.SetAliasName("Prova");
    other.SetSessionName("SessioneProva");
    TTable mine;
    mine.SetDatabaseName("dbAltro");
    mine.SetSessionName("SessioneProva");
    mine.SetTableName("Condomini");
    mine.SetExclusive(true);
    EXPECT_NE(OpenError(mine), "");

    // The network goes away under the holder: the server ends its session
    // (and pg_terminate_backend waits until it is gone).
    ASSERT_EQ(archive.Scalar("select pg_terminate_backend(" + backend + ", 20000)"), "t");
    EXPECT_EQ(OpenError(mine), "");
    EXPECT_TRUE(mine.Active());
    // The holder hears of it at its next request, with its alias named.
    try {
        held.Refresh();
        FAIL() << "a lost connection went unnoticed";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().Pos("'Prova'"), 0) << e.Message().c_str();
        EXPECT_NE(e.Message().Pos("interrotta"), 0) << e.Message().c_str();
    }
}

TEST(PgDriverTest, TablesMadeOnTheServerReadWithTheirOwnTypes) {
    TestArchive archive;
    // Made by another tool: no comments, the server's own types and names.
    ASSERT_TRUE(archive.Raw().ServerExec(
        "create table fornitori (id bigint generated always as identity primary key, "
        "ragione varchar(40) not null, attivo boolean default true, sconto numeric(6,3), "
        "note text, aggiornato timestamptz, giorno date, peso real, stato varchar(1) default 'A', "
        "livello integer default -1)"));
    ASSERT_TRUE(archive.Raw().ServerExec(
        "insert into fornitori (ragione, attivo, sconto, aggiornato, giorno, peso) values "
        "('Rossi', false, 12.125, '2004-03-12 18:30:05+00', '2004-03-12', 0.5)"));
    TTable t;
    archive.Bind(&t);
    t.SetTableName("Fornitori.DB");
    t.Open();
    struct Expect {
        const char* name;
        TFieldType type;
    } expected[] = {{"id", ftAutoInc},  {"ragione", ftString}, {"attivo", ftBoolean},
                    {"sconto", ftBCD},  {"note", ftMemo},      {"aggiornato", ftDateTime},
                    {"giorno", ftDate}, {"peso", ftFloat}};
    ASSERT_EQ(t.FieldCount(), 10);
    for (const Expect& e : expected)
        EXPECT_EQ(t.FieldByName(e.name)->DataType(), e.type) << e.name;
    EXPECT_EQ(t.FieldByName("ragione")->Size(), 40);
    EXPECT_TRUE(t.FieldByName("ragione")->Required());
    EXPECT_EQ(static_cast<TBCDField*>(t.FieldByName("sconto"))->Scale(), 3);
    EXPECT_EQ(t.FieldByName("sconto")->AsString(), "12,125");
    EXPECT_FALSE(t.FieldByName("attivo")->AsBoolean());
    EXPECT_EQ(t.FieldByName("giorno")->AsString(), "12/03/2004");
    EXPECT_FALSE(t.FieldByName("aggiornato")->IsNull());
    // Defaults as the engine's SQL writes them, for archive-copy to carry.
    std::map<std::string, std::string> defaults;
    for (const dbengine::ColumnInfo& c : archive.Database()->Connection().Columns("fornitori"))
        defaults[c.Name] = c.Default;
    EXPECT_EQ(defaults["attivo"], "true");
    EXPECT_EQ(defaults["stato"], "'A'");
    EXPECT_EQ(defaults["livello"], "'-1'");
    EXPECT_EQ(defaults["id"], "");

    t.Append();
    t.FieldByName("ragione")->SetAsString("Bianchi");
    t.FieldByName("attivo")->SetAsBoolean(true);
    t.Post();
    EXPECT_EQ(t.FieldByName("id")->AsInteger(), 2);
    EXPECT_TRUE(t.FieldByName("attivo")->AsBoolean());
    EXPECT_EQ(archive.Scalar("select attivo from fornitori where id = 2"), "t");
}

TEST(PgDriverTest, OneTablesRowsComeInKeyOrderAndTheHiddenKeyStaysHidden) {
    TestArchive archive;
    archive.Exec("create table Note (Testo varchar(200));"
                 "insert into Note values ('prima'); insert into Note values ('seconda');"
                 "insert into Note values ('terza')");
    // The first row moves to the end of the table on disk.
    ASSERT_TRUE(archive.Raw().TryExec("update Note set Testo = 'PRIMA' where Testo = 'prima'"));
    ASSERT_EQ(archive.Scalar("select Testo from Note limit 1"), "seconda");
    auto rows = OpenQuery(archive, "select * from Note");
    ASSERT_EQ(rows->FieldCount(), 1);
    std::string seen;
    for (; !rows->Eof(); rows->Next())
        seen += rows->Fields()->Fields(0)->AsString().str() + ";";
    EXPECT_EQ(seen, "PRIMA;seconda;terza;");
    // Named, the hidden key shows.
    auto keyed = OpenQuery(archive, "select quor_rowid, Testo from Note where Testo = 'terza'");
    ASSERT_EQ(keyed->FieldCount(), 2);
    EXPECT_EQ(keyed->Fields()->Fields(0)->AsInteger(), 3);
    // Aggregates keep their own meaning.
    EXPECT_EQ(OpenQuery(archive, "select count(*) from Note")->Fields()->Fields(0)->AsInteger(), 3);
}

} // namespace
