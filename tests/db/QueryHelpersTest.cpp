#include "db/QueryHelpers.h"
#include "tests/db/DbFixture.h"

#include "platform/core/Exception.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/data/Query.h"

#include <memory>

namespace {

using dbtest::DbFixture;

int CountOf(const ScriptedDialogs& dialogs, ScriptedDialogs::Kind kind) {
    int count = 0;
    for (const auto& q : dialogs.Questions())
        count += q.kind == kind;
    return count;
}

class QueryHelpersTest : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        Sql("create table Causali (Id integer primary key, Nome varchar(30), Importo currency,"
            " Data datetime, Flag boolean);"
            "insert into Causali values (1, 'Spese', '10.5', '2004-03-12 18:30:00', 1);"
            "insert into Causali values (2, 'Affitto', '1500', '2007-03-05', 0);"
            "insert into Causali values (3, '', null, null, null);");
    }
};

TEST_F(QueryHelpersTest, TypedReadersTakeTheFirstColumnOfTheFirstRow) {
    EXPECT_EQ(QueryStr("select Nome from Causali where Id=2"), "Affitto");
    EXPECT_EQ(QueryInt("select count(*) from Causali"), 3);
    EXPECT_EQ(QueryInt("select Id, Nome from Causali order by Id desc"), 3);
    EXPECT_TRUE(QueryBool("select Flag from Causali where Id=1"));
    EXPECT_FALSE(QueryBool("select Flag from Causali where Id=2"));
    EXPECT_DOUBLE_EQ(QueryDate("select Data from Causali where Id=1"), EncodeDate(2004, 3, 12));
    EXPECT_EQ(QueryCurrency("select Importo from Causali where Id=1").Value, 105000);
    EXPECT_EQ(QueryChar("select Nome from Causali where Id=1"), 'S');
    // A statement spread over lines is one statement.
    EXPECT_EQ(QueryStr("select Nome\nfrom Causali\nwhere Id=1"), "Spese");
}

TEST_F(QueryHelpersTest, TypedReadersAbsorbFailuresExceptQueryCurrencyWhenReading) {
    // Empty results give the defaults.
    EXPECT_EQ(QueryInt("select Id from Causali where Id=99"), 0);
    EXPECT_EQ(QueryStr("select Nome from Causali where Id=99"), "");
    EXPECT_FALSE(QueryBool("select Flag from Causali where Id=99"));
    EXPECT_DOUBLE_EQ(QueryDate("select Data from Causali where Id=99"), 0.0);
    EXPECT_EQ(QueryCurrency("select Importo from Causali where Id=99").Value, 0);
    EXPECT_EQ(QueryChar("select Nome from Causali where Id=3"), 0); // holds ""
    // A missing table or a malformed statement fails at prepare.
    EXPECT_EQ(QueryInt("select count(*) from Manca"), 0);
    EXPECT_EQ(QueryStr("selezione Nome da Causali"), "");
    EXPECT_EQ(QueryCurrency("select Importo from Manca").Value, 0);
    // A value that cannot be read: the default, but QueryCurrency passes it on.
    EXPECT_EQ(QueryInt("select 'abc'"), 0);
    EXPECT_DOUBLE_EQ(QueryDate("select 'non una data'"), 0.0);
    EXPECT_THROW(QueryCurrency("select 'abc'"), Exception);
}

TEST_F(QueryHelpersTest, QueryAndQueryOpenHandTheCallerABoundQueryOrNull) {
    std::unique_ptr<TQuery> prepared(Query("select Nome from Causali order by Id", false));
    ASSERT_NE(prepared, nullptr);
    EXPECT_TRUE(prepared->Prepared());
    EXPECT_FALSE(prepared->Active());
    EXPECT_FALSE(prepared->UniDirectional());
    EXPECT_EQ(prepared->DatabaseName(), kDatabase);
    EXPECT_EQ(prepared->SessionName(), kSession);
    EXPECT_EQ(prepared->SQL()->Count(), 1);

    std::unique_ptr<TQuery> open(QueryOpen("select Nome from Causali\norder by Id", true));
    ASSERT_NE(open, nullptr);
    EXPECT_TRUE(open->Active());
    EXPECT_TRUE(open->UniDirectional());
    EXPECT_EQ(open->SQL()->Count(), 1);
    EXPECT_EQ(open->Fields()->Fields(0)->AsString(), "Spese");

    std::unique_ptr<TQuery> empty(QueryOpen("select Nome from Causali where Id=99", true));
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->Eof());

    EXPECT_EQ(Query("select * from Manca", true), nullptr);
    EXPECT_EQ(QueryOpen("select * from Manca", true), nullptr);
    EXPECT_EQ(QueryOpen("select", false), nullptr);

    // The checked forms say why instead.
    std::unique_ptr<TQuery> checked(QueryOpenChecked("select Nome from Causali order by Id", true));
    EXPECT_EQ(checked->Fields()->Fields(0)->AsString(), "Spese");
    EXPECT_FALSE(std::unique_ptr<TQuery>(QueryChecked("select Nome from Causali", false))->Active());
    for (const char* wrong :
         {"select * from Manca", "select Manca from Causali", "select Nome from"}) {
        try {
            delete QueryOpenChecked(wrong, true);
            ADD_FAILURE() << wrong;
        } catch (const EDatabaseError& e) {
            EXPECT_NE(e.Message().Pos(wrong), 0) << e.Message().c_str();
        }
        EXPECT_THROW(delete QueryChecked(wrong, true), EDatabaseError) << wrong;
    }
}

TEST_F(QueryHelpersTest, CountQueryExecuteReportsRowsOrMinusOneAfterABeep) {
    ScopedScriptedDialogs dialogs;
    EXPECT_EQ(CountQueryExecute("update Causali set Flag=1 where Id<=2"), 2);
    EXPECT_TRUE(QueryExecute("update Causali set Flag=1 where Id=99")); // 0 rows is success
    EXPECT_EQ(CountOf(*dialogs, ScriptedDialogs::Kind::Beep), 0);

    EXPECT_EQ(CountQueryExecute("updat Causali set"), -1);
    EXPECT_EQ(CountOf(*dialogs, ScriptedDialogs::Kind::Beep), 1);
    EXPECT_FALSE(QueryExecute("delete from Manca"));
    EXPECT_EQ(CountOf(*dialogs, ScriptedDialogs::Kind::Beep), 2);
    // Nothing but the beep.
    EXPECT_EQ(dialogs->Questions().size(), 2u);

    // The shared query survives a failure; a colon is no parameter marker.
    EXPECT_EQ(CountQueryExecute("update Causali set Nome='ore 10:30' where Id=3"), 1);
    EXPECT_EQ(Value("select Nome from Causali where Id=3"), "ore 10:30");
    EXPECT_EQ(CountQueryExecute("delete from Causali"), 3);
    EXPECT_EQ(Value("select count(*) from Causali"), "0");
}

TEST_F(QueryHelpersTest, SetDataBaseRebindsTheSharedCommandQuery) {
    const std::string other = dir_->Path() + "altro.db";
    dbtest::Exec(other, "create table Vuota (Id integer primary key)");
    dbtest::WriteEngineConfig(dir_->Path(),
                              {{"ArchivioProva", "archivio.db"}, {"ArchivioAltro", "altro.db"}});
    TDatabase second(nullptr);
    second.SetDatabaseName("dbAltro");
    second.SetAliasName("ArchivioAltro");
    second.SetSessionName(kSession);
    second.SetConnected(true);

    EXPECT_EQ(CountQueryExecute("insert into Vuota values (1)"), 1);
    std::unique_ptr<TQuery> before(Query("select count(*) from Vuota", true));
    ASSERT_NE(before, nullptr);

    SetDataBase("dbAltro", kSession);
    EXPECT_EQ(CurrentDatabaseName(), "dbAltro");
    EXPECT_EQ(CountQueryExecute("insert into Vuota values (7)"), 1);
    EXPECT_EQ(QueryInt("select Id from Vuota"), 7);
    // A query made before keeps its names.
    EXPECT_EQ(before->DatabaseName(), kDatabase);
    before->Open();
    EXPECT_EQ(before->Fields()->Fields(0)->AsInteger(), 1);
    before.reset();

    const std::string ids = dbtest::Either("select group_concat(Id) from Vuota",
                                           "select string_agg(Id::text, ',') from Vuota");
    EXPECT_EQ(Value(ids), "1");
    EXPECT_EQ(dbtest::Scalar(other, ids), "7");

    // Names of no database: every statement fails, nothing is raised.
    SetDataBase("dbNessuno", kSession);
    {
        ScopedScriptedDialogs dialogs;
        EXPECT_EQ(CountQueryExecute("insert into Vuota values (8)"), -1);
        EXPECT_EQ(QueryInt("select count(*) from Vuota"), 0);
    }
    SetDataBase("", "");
}

TEST_F(QueryHelpersTest, LookupsOneAfterAnotherHoldNoLockAndFollowTheDatabase) {
    const char* const names[] = {"Spese", "Affitto", ""};
    for (int round = 0; round < 2; ++round)
        for (int id = 1; id <= 3; ++id)
            EXPECT_EQ(QueryStr("select Nome from Causali where Id=" + IntToStr(id)), names[id - 1]);
    // A write from outside: no lookup left the archive open for reading.
    Sql("update Causali set Nome='Pulizie' where Id=1");
    EXPECT_EQ(QueryStr("select Nome from Causali where Id=1"), "Pulizie");
    // A failed lookup does not spoil the next one.
    EXPECT_EQ(QueryStr("select Nome from Manca"), "");
    EXPECT_EQ(QueryStr("select Nome from Causali where Id=2"), "Affitto");
    // The database closed and opened again between two lookups.
    database_->SetConnected(false);
    database_->SetConnected(true);
    EXPECT_EQ(QueryStr("select Nome from Causali where Id=2"), "Affitto");

    const std::string other = dir_->Path() + "altro.db";
    dbtest::Exec(other, "create table Causali (Id integer primary key, Nome varchar(30));"
                        "insert into Causali values (2, 'Riscaldamento')");
    dbtest::WriteEngineConfig(dir_->Path(),
                              {{"ArchivioProva", "archivio.db"}, {"ArchivioAltro", "altro.db"}});
    {
        TDatabase second(nullptr);
        second.SetDatabaseName("dbAltro");
        second.SetAliasName("ArchivioAltro");
        second.SetSessionName(kSession);
        second.SetConnected(true);
        SetDataBase("dbAltro", kSession);
        EXPECT_EQ(QueryStr("select Nome from Causali where Id=2"), "Riscaldamento");
        SetDataBase(kDatabase, kSession);
        EXPECT_EQ(QueryStr("select Nome from Causali where Id=2"), "Affitto");
    }
    SetDataBase("", "");
}

} // namespace
