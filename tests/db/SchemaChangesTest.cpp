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
    // The table's columns in order, as the archive spells them, joined with
    // commas. The server keeps the spelling in each column's comment.
    std::string Columns(const std::string& table) {
        return Value(dbtest::Either(
            "select group_concat(name) from pragma_table_info('" + table + "')",
            "select string_agg(coalesce(substring(col_description(attrelid, attnum) from "
            "'^\"([^\"]*)\"'), attname), ',' order by attnum) from pg_attribute where attrelid = "
            "lower('" +
                table + "')::regclass and attnum > 0 and not attisdropped"));
    }
    // Each value of the column with its type, joined with commas.
    std::string Typed(const std::string& column) {
        return Value(dbtest::Either("select group_concat(" + column + " || ':' || typeof(" +
                                        column + ")) from Rate",
                                    "select string_agg(" + column + " || ':' || pg_typeof(" +
                                        column + "), ',' order by Id) from Rate"));
    }
    std::string Joined(const std::string& column) {
        return Value(dbtest::Either("select group_concat(" + column + ") from Rate",
                                    "select string_agg(" + column +
                                        "::text, ',' order by Id) from Rate"));
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
    EXPECT_EQ(Typed("ImportoEuro"), dbtest::Either("12:integer,30:integer", "12:numeric,30:numeric"));

    // Without the conversion the values travel as they are.
    EXPECT_TRUE(ModificaCampo("Rate", "Nota", "Commento", "varchar(20)", false));
    EXPECT_EQ(Columns("Rate"), "Id,ImportoEuro,Commento");
    EXPECT_EQ(Joined("Commento"), "a,b");
    EXPECT_EQ(Beeps(), 0);
}

TEST_F(SchemaChangesTest, ModificaCampoStopsAtTheFirstFailingStatement) {
    EXPECT_FALSE(ModificaCampo("Mancante", "A", "B", "numeric", false));
    EXPECT_EQ(Beeps(), 1);

    // The new column exists already: nothing changes.
    EXPECT_FALSE(ModificaCampo("Rate", "Importo", "Nota", "numeric", true));
    EXPECT_EQ(Beeps(), 2);
    EXPECT_EQ(Columns("Rate"), "Id,Importo,Nota");
    EXPECT_EQ(Joined("Importo"), "12,30");

    // The copy fails once the column is added: the addition stays.
    EXPECT_FALSE(ModificaCampo("Rate", "Manca", "Nuova", "numeric", false));
    EXPECT_EQ(Beeps(), 3);
    EXPECT_EQ(Columns("Rate"), "Id,Importo,Nota,Nuova");
}

TEST_F(SchemaChangesTest, CambiaTipoCampoKeepsTheNameAndTheValues) {
    EXPECT_TRUE(CambiaTipoCampo("Rate", "Importo", "numeric", true));
    EXPECT_EQ(Columns("Rate"), "Id,Nota,Importo");
    EXPECT_EQ(Typed("Importo"), dbtest::Either("12:integer,30:integer", "12:numeric,30:numeric"));
    EXPECT_EQ(Value(dbtest::Either(
                  "select type from pragma_table_info('Rate') where name='Importo'",
                  "select format_type(atttypid, atttypmod) from pg_attribute where "
                  "attrelid = 'rate'::regclass and attname = 'importo'")),
              "numeric");
    EXPECT_EQ(Beeps(), 0);
}

TEST_F(SchemaChangesTest, CambiaTipoCampoFailsAtOnceWhenTheTemporaryColumnExists) {
    Sql("alter table Rate add Importo_dummy integer");
    EXPECT_FALSE(CambiaTipoCampo("Rate", "Importo", "numeric", true));
    EXPECT_EQ(Beeps(), 1);
    EXPECT_EQ(Columns("Rate"), "Id,Importo,Nota,Importo_dummy");
    EXPECT_EQ(Typed("Importo"), dbtest::Either("12:text,30:text",
                                               "12:character varying,30:character varying"));
}

} // namespace
