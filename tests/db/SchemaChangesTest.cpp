#include "db/SchemaChanges.h"
#include "tests/db/DbFixture.h"

#include "platform/core/ScriptedDialogs.h"

namespace {

using dbtest::DbFixture;

class SchemaChangesTest : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        Sql("create table Rate (Id integer primary key, Importo varchar(10), Nota varchar(10));"
            "insert into Rate values (1, '12', 'a');"
            "insert into Rate values (2, '30', 'b');");
    }
    // The table's columns in order, joined with commas.
    std::string Columns(const std::string& table) {
        return Value("select group_concat(name) from pragma_table_info('" + table + "')");
    }
    int Beeps() {
        int count = 0;
        for (const auto& q : dialogs_->Questions())
            count += q.kind == ScriptedDialogs::Kind::Beep;
        return count;
    }
    ScopedScriptedDialogs dialogs_;
};

TEST_F(SchemaChangesTest, ModificaCampoReplacesAColumnCarryingItsValues) {
    EXPECT_TRUE(ModificaCampo("Rate", "Importo", "ImportoEuro", "numeric", true));
    EXPECT_EQ(Columns("Rate"), "Id,Nota,ImportoEuro");
    EXPECT_EQ(Value("select group_concat(ImportoEuro || ':' || typeof(ImportoEuro)) from Rate"),
              "12:integer,30:integer");

    // Without the conversion the values travel as they are.
    EXPECT_TRUE(ModificaCampo("Rate", "Nota", "Commento", "varchar(20)", false));
    EXPECT_EQ(Columns("Rate"), "Id,ImportoEuro,Commento");
    EXPECT_EQ(Value("select group_concat(Commento) from Rate"), "a,b");
    EXPECT_EQ(Beeps(), 0);
}

TEST_F(SchemaChangesTest, ModificaCampoStopsAtTheFirstFailingStatement) {
    EXPECT_FALSE(ModificaCampo("Mancante", "A", "B", "numeric", false));
    EXPECT_EQ(Beeps(), 1);

    // The new column exists already: nothing changes.
    EXPECT_FALSE(ModificaCampo("Rate", "Importo", "Nota", "numeric", true));
    EXPECT_EQ(Beeps(), 2);
    EXPECT_EQ(Columns("Rate"), "Id,Importo,Nota");
    EXPECT_EQ(Value("select group_concat(Importo) from Rate"), "12,30");

    // The copy fails once the column is added: the addition stays.
    EXPECT_FALSE(ModificaCampo("Rate", "Manca", "Nuova", "numeric", false));
    EXPECT_EQ(Beeps(), 3);
    EXPECT_EQ(Columns("Rate"), "Id,Importo,Nota,Nuova");
}

TEST_F(SchemaChangesTest, CambiaTipoCampoKeepsTheNameAndTheValues) {
    EXPECT_TRUE(CambiaTipoCampo("Rate", "Importo", "numeric", true));
    EXPECT_EQ(Columns("Rate"), "Id,Nota,Importo");
    EXPECT_EQ(Value("select group_concat(Importo || ':' || typeof(Importo)) from Rate"),
              "12:integer,30:integer");
    EXPECT_EQ(Value("select type from pragma_table_info('Rate') where name='Importo'"), "numeric");
    EXPECT_EQ(Beeps(), 0);
}

TEST_F(SchemaChangesTest, CambiaTipoCampoFailsAtOnceWhenTheTemporaryColumnExists) {
    Sql("alter table Rate add Importo_dummy integer");
    EXPECT_FALSE(CambiaTipoCampo("Rate", "Importo", "numeric", true));
    EXPECT_EQ(Beeps(), 1);
    EXPECT_EQ(Columns("Rate"), "Id,Importo,Nota,Importo_dummy");
    EXPECT_EQ(Value("select group_concat(Importo || ':' || typeof(Importo)) from Rate"),
              "12:text,30:text");
}

} // namespace
