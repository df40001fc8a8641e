// Working on a database opened read-only leaves its file (or the server's
// schema) unchanged.

#include "db/Utilitiesdb.h"
#include "tests/db/DbFixture.h"

#include "platform/core/ScriptedDialogs.h"
#include "platform/data/DataModule.h"
#include "platform/data/Query.h"

#include <filesystem>
#include <memory>

namespace {

TEST(ReadOnlyArchiveTest, TheFileIsUnchangedByteForByte) {
    dbtest::TempDir dir;
    const std::string file = dir.Path() + "bracotene.db";
    dbtest::WriteEngineConfig(dir.Path(), {{"Bracotene", "bracotene.db"}});
    dbtest::Exec(file,
                 "create table Condomini (Id integer primary key, Nome varchar(30), CAP varchar(5),"
                 " Comune varchar(30), Provincia varchar(2), Inizio date);"
                 "insert into Condomini values (1, 'Aurora', '00100', 'Roma', 'RM', '2007-03-05');"
                 "insert into Condomini values (2, 'Belvedere', '20100', 'Milano', 'MI', null);"
                 "create table Contatori (Contatore varchar(40) primary key, Valore integer);"
                 "insert into Contatori values ('Fatture', 5);");
    const std::string before = dbtest::ReadBytes(file);
    ASSERT_FALSE(before.empty());

    {
        ScopedScriptedDialogs dialogs;
        TSession session(nullptr);
        session.SetSessionName("SessioneBracUtil");
        auto module = std::make_unique<TDataModule>(nullptr);
        module->SetName("datBracoUtil");
        auto* database = new TDatabase(module.get());
        database->SetName("dbBracUtil");
        database->SetDatabaseName("dbBracUtil");
        database->SetAliasName("Bracotene");
        database->SetSessionName("SessioneBracUtil");
        database->SetReadOnly(true);
        database->SetTag(1);
        auto* condomini = new TTable(module.get());
        condomini->SetName("tblCondomini");
        condomini->SetDatabaseName("dbBracUtil");
        condomini->SetSessionName("SessioneBracUtil");
        condomini->SetTableName("Condomini.DB");
        condomini->SetTag(1);
        module->FinishLoading();
        SetDataBase("dbBracUtil", "SessioneBracUtil");
        OpenData(module.get(), true);
        ASSERT_TRUE(condomini->Active());
        EXPECT_TRUE(dialogs->Questions().empty());

        EXPECT_EQ(QueryStr("select Nome from Condomini where Id=2"), "Belvedere");
        EXPECT_EQ(QueryInt("select count(*) from Condomini"), 2);
        EXPECT_EQ(Indirizzo(condomini), "00100 Roma (RM)");
        EXPECT_EQ(FormattaDataCBI(condomini, "Inizio"), "050307");
        EXPECT_TRUE(TrovaRecord(condomini, "Id", 2));
        Riapri(condomini);
        EXPECT_EQ(IntField(condomini, "Id"), 2);
        EXPECT_THROW(condomini->Edit(), Exception);

        // Every attempt to write fails and changes nothing.
        EXPECT_FALSE(QueryExecute("update Condomini set Nome='x'"));
        EXPECT_FALSE(CambiaTipoCampo("Condomini", "CAP", "numeric", true));
        TTable counters(nullptr);
        counters.SetDatabaseName("dbBracUtil");
        counters.SetSessionName("SessioneBracUtil");
        counters.SetTableName("Contatori.DB");
        EXPECT_EQ(SetCounter(&counters, "Fatture"), 0);
        EXPECT_EQ(SetCounter(&counters, "Nuovo"), 0);

        OpenData(module.get(), false);
        EXPECT_FALSE(condomini->Active());
        EXPECT_FALSE(database->Connected());
        SetDataBase("", "");
        module.reset();
    }
    EXPECT_EQ(dbtest::ReadBytes(file), before);
    if (dbtest::OnServer()) return;
    EXPECT_FALSE(std::filesystem::exists(file + "-journal"));
    EXPECT_FALSE(std::filesystem::exists(file + "-wal"));
}

} // namespace
