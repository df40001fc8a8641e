// Constants lifted out of lookups so that lookups of one shape share a
// compiled statement, and what the queries built on them still return.

#include "TestArchive.h"

#include "platform/data/Query.h"
#include "platform/data/SqlLiterals.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using dbengine::DbValue;
using dbengine::LiftedStatement;
using dbengine::LiftLiterals;

std::unique_ptr<TQuery> MakeQuery(const TestArchive& archive, const std::string& sql) {
    auto q = std::make_unique<TQuery>();
    archive.Bind(q.get());
    q->SQL()->Add(sql.c_str());
    return q;
}

TEST(StatementShapeTest, LiftsOnlyComparedConstantsOfTheTopLevelWhere) {
    struct Case {
        const char* sql;
        const char* shape; // null: nothing may be lifted
        std::vector<DbValue> values;
    } cases[] = {
        {"select Nome from Causali where idCausale=7",
         "select Nome from Causali where idCausale=?",
         {std::int64_t{7}}},
        {"SELECT * FROM t WHERE a >= 10 AND b<>'l''uno' or c = -3 and d<=0",
         "SELECT * FROM t WHERE a >= ? AND b<>? or c = ? and d<=?",
         {std::int64_t{10}, std::string("l'uno"), std::int64_t{-3}, std::int64_t{0}}},
        {"select a from t where x == 5 and y != 6 and z < 7 and w > 8",
         "select a from t where x == ? and y != ? and z < ? and w > ?",
         {std::int64_t{5}, std::int64_t{6}, std::int64_t{7}, std::int64_t{8}}},
        // A comment between the operator and its operand changes nothing.
        {"select a from t where x = /* chiave */ 12",
         "select a from t where x = /* chiave */ ?",
         {std::int64_t{12}}},
        // Ordering and grouping by position, LIMIT and OFFSET stay as written.
        {"select a, b from t where a=1 group by 2 having count(*)>1 order by 1 limit 3",
         "select a, b from t where a=? group by 2 having count(*)>1 order by 1 limit 3",
         {std::int64_t{1}}},
        // Result columns: their text is the column's name.
        {"select a=1, 'x'='y' from t", nullptr, {}},
        // Inside parentheses (a subquery, IN, a function) nothing moves.
        {"select (select n from u where id=3) from t where x in (1, 2) and f(y=4)", nullptr, {}},
        // Quotes, identifiers and comments hide look-alikes.
        {"select \"a=1\", [b=2], `c=3` from t where \"x=\" is null -- y=4", nullptr, {}},
        {"select a from t where s = 'it''s = 5'",
         "select a from t where s = ?",
         {std::string("it's = 5")}},
        // Reals, hexadecimals, exponents and huge integers are read exactly
        // only by the engine.
        {"select a from t where x=1.5 or x=0x10 or x=1e3 or x=12345678901234567890", nullptr, {}},
        // Statements that carry their own parameters, or are not SELECTs.
        {"select a from t where x=1 and y=?", nullptr, {}},
        {"select a from t where x=1 and y=:nome", nullptr, {}},
        {"update t set a=1 where id=2", nullptr, {}},
        {"with c as (select 1) select * from c where 1=1", nullptr, {}},
        // After a compound operator the next SELECT is left alone.
        {"select a from t where x=1 union select b from u where y=2",
         "select a from t where x=? union select b from u where y=2",
         {std::int64_t{1}}},
        // The operand must be the whole constant.
        {"select a from t where x = 3abc", nullptr, {}},
        {"select a from t where x = 'aperta", nullptr, {}},
        {"select x'41' from t where b = x'42'", nullptr, {}},
        {"select a from t where a<<2 = 8 and b||'x' = 'yx'",
         "select a from t where a<<2 = ? and b||'x' = ?",
         {std::int64_t{8}, std::string("yx")}},
    };
    for (const Case& c : cases) {
        LiftedStatement lifted;
        const bool did = LiftLiterals(c.sql, lifted);
        if (!c.shape) {
            EXPECT_FALSE(did) << c.sql << " -> " << lifted.Shape;
            EXPECT_TRUE(lifted.Values.empty()) << c.sql;
            continue;
        }
        ASSERT_TRUE(did) << c.sql;
        EXPECT_EQ(lifted.Shape, c.shape);
        EXPECT_EQ(lifted.Values, c.values) << c.sql;
    }
}

TEST(StatementShapeTest, LifterThatComparesWithTheLastStatementLiftsAsLiftLiterals) {
    // Each statement in turn: the lifter must give what LiftLiterals gives,
    // whether it compared the texts or read the statement again.
    struct Step {
        const char* sql;
        bool sameShape;
    } steps[] = {
        {"select Nome from Causali where idCausale=7", false},
        {"select Nome from Causali where idCausale=1234", true},
        {"select Nome from Causali where idCausale=0", true},
        {"select Nome from Causali where idCausale=123456789012345678", true},
        // Too long for the engine's integers, a real, a word: not lifted.
        {"select Nome from Causali where idCausale=1234567890123456789", false},
        {"select Nome from Causali where idCausale=7", false},
        {"select Nome from Causali where idCausale=7.5", false},
        {"select Nome from Causali where idCausale=7", false},
        {"select Nome from Causali where idCausale=7x", false},
        {"select Nome from Causali where idCausale=7", false},
        {"select Nome from Causali where idCausale=-7", false},
        {"select Nome from Causali where idCausale=8", false},
        // Other text around the constant, or text after it.
        {"select Nome from Causali where idCausale=8 ", false},
        {"select Nome from Causali where idCausale=9 ", true},
        {"select Nome from Causali where idCausale=9 and x=1", false},
        {"select Nome from Causali where idCausale=10 and x=22", true},
        {"select Nome from Causali where idCausale=10 or x=22", false},
        {"select Nome from Causali where idCausale=10 or x='a'", false},
        // Text constants are read again every time.
        {"select Nome from Causali where idCausale=10 or x='b'", false},
        {"select Nome from Causali where idCausale=3 limit 4", false},
        {"select Nome from Causali where idCausale=5 limit 4", true},
        {"select Nome from Causali where idCausale=5 limit 45", false},
        {"select Nome from Causali where idCausale=5 or idCausale=(6)", false},
        {"select Nome from Causali where idCausale=55 or idCausale=(6)", true},
        {"select Nome from Causali where idCausale=5 -- 6", false},
        {"select Nome from Causali where idCausale=5 -- 7", false},
        {"select Nome from Causali where idCausale=6 -- 7", true},
        {"update Causali set Nome='x' where idCausale=6", false},
        {"select Nome from Causali where idCausale=6", false},
        {"select Nome from Causali where idCausale=6;", false},
        {"select Nome from Causali where idCausale=66;", true},
        {"select Nome from Causali where idCausale=66; select 1", false},
        {"select Nome from Causali where idCausale=", false},
        {"select Nome from Causali where idCausale=", false},
    };
    dbengine::LiteralLifter lifter;
    for (const Step& step : steps) {
        LiftedStatement expected;
        const bool expectedAny = LiftLiterals(step.sql, expected);
        LiftedStatement lifted;
        bool sameShape = true;
        EXPECT_EQ(lifter.Lift(step.sql, lifted, sameShape), expectedAny) << step.sql;
        EXPECT_EQ(sameShape, step.sameShape) << step.sql;
        EXPECT_EQ(sameShape ? lifter.KeptShape() : lifted.Shape, expected.Shape) << step.sql;
        EXPECT_EQ(lifted.Values, expected.Values) << step.sql;
    }
}

TEST(StatementShapeTest, QueriesOfOneShapeKeepTheirOwnConstantsAndTypes) {
    TestArchive archive;
    archive.Populate();
    archive.Exec("INSERT INTO Causali VALUES (4, 'l''ultima'); "
                 "CREATE TABLE Codici (Codice VARCHAR(5), Valore);"
                 "INSERT INTO Codici VALUES ('007', 1), ('7', 2), ('A', 'testo')");
    // Prepared one after the other, opened in another order: each binds its own.
    auto one = MakeQuery(archive, "select Nome from Causali where idCausale=1");
    auto two = MakeQuery(archive, "select Nome from Causali where idCausale=2");
    auto three = MakeQuery(archive, "select Nome from Causali where idCausale=3");
    one->Prepare();
    two->Prepare();
    three->Prepare();
    three->Open();
    one->Open();
    two->Open();
    EXPECT_EQ(one->Fields()->Fields(0)->AsString(), "Spese");
    EXPECT_EQ(two->Fields()->Fields(0)->AsString(), "Rate");
    EXPECT_EQ(three->Fields()->Fields(0)->AsString(), "Varie");
    EXPECT_EQ(one->Fields()->Fields(0)->DataType(), ftString);
    EXPECT_EQ(one->Fields()->Fields(0)->Size(), 30);
    // Reopened after the others used the shared statement: still its own row.
    one->Close();
    one->Open();
    EXPECT_EQ(one->Fields()->Fields(0)->AsString(), "Spese");

    auto text = MakeQuery(archive, "select idCausale from Causali where Nome='l''ultima'");
    text->Open();
    EXPECT_EQ(text->Fields()->Fields(0)->AsInteger(), 4);
    // A quoted number stays text against a text column and a number
    // compared with one: exactly what the written constants did.
    auto quoted = MakeQuery(archive, "select Valore from Codici where Codice='7'");
    quoted->Open();
    EXPECT_EQ(quoted->RecordCount(), 1);
    EXPECT_EQ(quoted->Fields()->Fields(0)->AsInteger(), 2);
    auto number = MakeQuery(archive, "select count(*) from Codici where Codice=7");
    number->Open();
    EXPECT_EQ(number->Fields()->Fields(0)->AsInteger(), 1);
    // No declared type: in a file the value found tells, whatever the bound
    // constant; the server keeps such a column as text.
    auto untyped = MakeQuery(archive, "select Valore from Codici where Codice='A'");
    untyped->Open();
    EXPECT_EQ(untyped->Fields()->Fields(0)->DataType(), ftString);
    auto counted = MakeQuery(archive, "select Valore from Codici where Codice='007'");
    counted->Open();
    EXPECT_EQ(counted->Fields()->Fields(0)->DataType(), archive.OnServer() ? ftString : ftInteger);
    EXPECT_EQ(counted->Fields()->Fields(0)->AsInteger(), 1);
    // Errors name the statement as written.
    auto wrong = MakeQuery(archive, "select Nessuno from Causali where idCausale=5");
    try {
        wrong->Prepare();
        ADD_FAILURE() << "prepared";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().Pos("idCausale=5"), 0) << e.Message().c_str();
        EXPECT_NE(e.Message().Pos(TestArchive::Either("no such column: Nessuno",
                                                      "column \"nessuno\" does not exist")
                                      .c_str()),
                  0)
            << e.Message().c_str();
    }
    // A statement that changes rows runs as written, once.
    auto update = MakeQuery(archive, "update Causali set Nome='Nuova' where idCausale=4");
    update->ExecSQL();
    EXPECT_EQ(update->RowsAffected(), 1);
    EXPECT_EQ(archive.Scalar("select Nome from Causali where idCausale=4"), "Nuova");
}

} // namespace

namespace {

TEST(StatementShapeTest, StatementsLetGoOfServeTheNextOfTheirShapeWithItsOwnConstants) {
    TestArchive archive;
    archive.Populate();
    // One query given lookup after lookup, another shape in between, as a
    // lookup per row does: each answer is its own constant's.
    TQuery lookup;
    archive.Bind(&lookup);
    lookup.SetUniDirectional(true);
    std::string seen;
    for (int round = 0; round < 2; ++round) {
        for (int id : {3, 1, 2, 99}) {
            lookup.SQL()->Clear();
            lookup.SQL()->Add(("select Nome from Causali where idCausale=" + std::to_string(id)).c_str());
            lookup.Open();
            seen += lookup.Eof() ? std::string("-") : lookup.Fields()->Fields(0)->AsString().str();
            lookup.Close();
            auto count = MakeQuery(archive, "select count(*) from MovConti where idCausale=" +
                                                std::to_string(id));
            count->Open();
            seen += "/" + count->Fields()->Fields(0)->AsString().str() + ";";
        }
    }
    EXPECT_EQ(seen, "Varie/1;Spese/2;Rate/1;-/0;Varie/1;Spese/2;Rate/1;-/0;");
    // A statement let go of half way through its rows lets go of the file,
    // and the next of its shape starts from its own first row.
    auto half = MakeQuery(archive, "select Nome from Causali where idCausale>=1 order by idCausale");
    half->SetUniDirectional(true);
    half->Open();
    half.reset();
    EXPECT_TRUE(archive.Raw().TryExec("insert into Causali values (4, 'Quarta')"));
    auto next = MakeQuery(archive, "select Nome from Causali where idCausale>=2 order by idCausale");
    next->SetUniDirectional(true);
    next->Open();
    std::string names;
    for (; !next->Eof(); next->Next())
        names += next->Fields()->Fields(0)->AsString().str() + ";";
    EXPECT_EQ(names, "Rate;Varie;Quarta;");
}

} // namespace
