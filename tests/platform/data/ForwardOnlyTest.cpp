// Forward-only queries read their rows as they move on, yet show the rows
// of the moment they opened, and let go of the archive once read or closed.

#include "TestArchive.h"

#include "platform/data/Query.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<TQuery> MakeQuery(const TestArchive& archive, const std::string& sql,
                                  bool forwardOnly = true) {
    auto q = std::make_unique<TQuery>();
    archive.Bind(q.get());
    q->SetUniDirectional(forwardOnly);
    q->SQL()->Add(sql.c_str());
    return q;
}

// A write from another program, which must not wait for a lock: whether
// it went through.
bool ForeignWrite(const TestArchive& archive, const std::string& sql) {
    return archive.Raw().TryExec(sql);
}

const char* const kAddAltrui = "insert into Causali select 8, 'Altrui' where not exists "
                               "(select 1 from Causali where idCausale = 8)";

std::string Names(TQuery* q) {
    std::string out;
    for (; !q->Eof(); q->Next())
        out += q->Fields()->Fields(0)->AsString().str() + ";";
    return out;
}

TEST(ForwardOnlyTest, RowsAreTheOnesOfTheOpeningWhateverIsWrittenMeanwhile) {
    TestArchive archive;
    archive.Populate();
    auto q = MakeQuery(archive, "select Nome, idCausale from Causali order by idCausale");
    q->Open();
    EXPECT_FALSE(q->Eof());
    EXPECT_EQ(q->Fields()->Fields(0)->AsString(), "Spese");
    // Another program waits while rows remain to be read from the file; the
    // server lets it write...
    EXPECT_EQ(ForeignWrite(archive, kAddAltrui), archive.OnServer());
    // ...but the query's own connection writes, and the query keeps its rows.
    auto del = MakeQuery(archive, "delete from Causali where idCausale >= 2", false);
    del->ExecSQL();
    // The server also let the other program's row in.
    EXPECT_EQ(del->RowsAffected(), archive.OnServer() ? 3 : 2);
    auto add = MakeQuery(archive, "insert into Causali values (9, 'Nuova')", false);
    add->ExecSQL();
    q->Next();
    EXPECT_EQ(q->Fields()->Fields(0)->AsString(), "Rate");
    EXPECT_EQ(Names(q.get()), "Rate;Varie;");
    EXPECT_TRUE(q->Eof());
    EXPECT_EQ(q->RecordCount(), 3);
    // Read to the end: other programs write again.
    EXPECT_TRUE(ForeignWrite(archive, kAddAltrui));
    // A reopen sees the archive as it is now.
    q->Close();
    q->Open();
    EXPECT_EQ(Names(q.get()), "Spese;Altrui;Nuova;");

    // Closing half way lets go of the archive as well.
    auto half = MakeQuery(archive, "select Nome from Causali");
    half->Open();
    EXPECT_EQ(ForeignWrite(archive, "delete from Causali where idCausale=8"), archive.OnServer());
    half->Close();
    EXPECT_TRUE(ForeignWrite(archive, "delete from Causali where idCausale=8"));
    half->Open();
    half.reset();
    EXPECT_TRUE(ForeignWrite(archive, "delete from Causali where idCausale=9"));
    EXPECT_EQ(archive.Scalar("select count(*) from Causali"), "1");
}

TEST(ForwardOnlyTest, EverythingThatNeedsALaterRowReadsUpToIt) {
    TestArchive archive;
    archive.Populate();
    const std::string sql = "select Nome, IdCondominio from Condomini order by IdCondominio";
    // Each use on a fresh query, so that nothing was read before it.
    auto count = MakeQuery(archive, sql);
    count->Open();
    EXPECT_EQ(count->RecordCount(), 4);
    EXPECT_EQ(count->Fields()->Fields(0)->AsString(), "bianchi");

    auto last = MakeQuery(archive, sql);
    last->Open();
    last->Last();
    EXPECT_EQ(last->Fields()->Fields(0)->AsString(), "alfa due");
    EXPECT_EQ(last->RecNo(), 4);
    last->Prior();
    EXPECT_EQ(last->Fields()->Fields(0)->AsString(), "Zeta");

    auto locate = MakeQuery(archive, sql);
    locate->Open();
    EXPECT_TRUE(locate->Locate("Nome", Variant("Zeta")));
    EXPECT_EQ(locate->RecNo(), 3);
    EXPECT_FALSE(locate->Locate("Nome", Variant("Nessuno")));
    EXPECT_EQ(locate->RecNo(), 3);

    auto lookup = MakeQuery(archive, sql);
    lookup->Open();
    EXPECT_EQ(lookup->Lookup("IdCondominio", Variant(4), "Nome").ToString(), "alfa due");
    EXPECT_EQ(lookup->RecNo(), 1);

    auto moves = MakeQuery(archive, sql);
    moves->Open();
    EXPECT_EQ(moves->MoveBy(2), 2);
    EXPECT_EQ(moves->Fields()->Fields(0)->AsString(), "Zeta");
    EXPECT_EQ(moves->MoveBy(5), 1);
    EXPECT_TRUE(moves->Eof());
    moves->SetRecNo(2);
    EXPECT_EQ(moves->Fields()->Fields(0)->AsString(), "Alfa");

    auto grid = MakeQuery(archive, sql);
    grid->Open();
    EXPECT_EQ(grid->ValueAt(3, grid->Fields()->Fields(0)).ToString(), "alfa due");
    EXPECT_TRUE(grid->ValueAt(4, grid->Fields()->Fields(0)).IsNull());
    EXPECT_EQ(grid->RecNo(), 1);

    auto marks = MakeQuery(archive, sql);
    marks->Open();
    marks->Next();
    const TBookmark second = marks->GetBookmark();
    marks->Next();
    marks->Refresh();
    EXPECT_EQ(marks->RecNo(), 3);
    marks->GotoBookmark(second);
    EXPECT_EQ(marks->Fields()->Fields(0)->AsString(), "Alfa");

    // Filters and empty results.
    auto filtered = MakeQuery(archive, sql);
    filtered->SetFilter("Nome='Zeta' or Nome='bianchi'");
    filtered->SetFiltered(true);
    filtered->Open();
    EXPECT_EQ(Names(filtered.get()), "bianchi;Zeta;");
    auto none = MakeQuery(archive, "select Nome from Condomini where IdCondominio=99");
    none->Open();
    EXPECT_TRUE(none->Eof());
    EXPECT_TRUE(none->IsEmpty());
    // A column with no declared type takes the type of its first value,
    // even when the first rows have none.
    auto untyped = MakeQuery(archive, "select case when IdCondominio > 2 then IdCondominio * 10 "
                                      "end as n from Condomini order by IdCondominio");
    untyped->Open();
    EXPECT_EQ(untyped->Fields()->Fields(0)->DataType(), ftInteger);
    EXPECT_TRUE(untyped->Fields()->Fields(0)->IsNull());
    untyped->MoveBy(2);
    EXPECT_EQ(untyped->Fields()->Fields(0)->AsInteger(), 30);
}

TEST(ForwardOnlyTest, QueriesOfOneShapeReadSideBySide) {
    TestArchive archive;
    archive.Populate();
    // The export's pattern: movements read forward, a lookup of the same
    // shape for each one, and a second scan of the same shape at once.
    auto outer = MakeQuery(archive, "select idCausale from MovConti where idCondominio=1");
    auto other = MakeQuery(archive, "select idCausale from MovConti where idCondominio=2");
    outer->Open();
    other->Open();
    std::string seen;
    while (!outer->Eof()) {
        auto inner = MakeQuery(archive, "select idCausale from MovConti where idCondominio=3");
        inner->Open();
        auto name = MakeQuery(archive, "select Nome from Causali where idCausale=" +
                                           outer->Fields()->Fields(0)->AsString().str());
        name->Open();
        seen += name->Fields()->Fields(0)->AsString().str() + "/" +
                inner->Fields()->Fields(0)->AsString().str() + ";";
        outer->Next();
    }
    EXPECT_EQ(seen, "Spese/3;Rate/3;");
    EXPECT_EQ(other->Fields()->Fields(0)->AsInteger(), 1);
    other->Next();
    EXPECT_TRUE(other->Eof());
    // A second database on the same archive writes without waiting for the
    // first one's read, which keeps its rows.
    auto scan = MakeQuery(archive, "select Nome from Causali order by idCausale");
    scan->Open();
    TDatabase second;
    second.SetDatabaseName("dbSecondo");
    second.SetAliasName("Prova");
    second.SetSessionName("SessioneProva");
    second.SetConnected(true);
    auto write = MakeQuery(archive, "delete from Causali where idCausale=3", false);
    write->SetDatabaseName("dbSecondo");
    write->ExecSQL();
    EXPECT_EQ(write->RowsAffected(), 1);
    EXPECT_EQ(Names(scan.get()), "Spese;Rate;Varie;");
    // Disconnecting closes a query half way through its rows.
    auto half = MakeQuery(archive, "select Nome from Condomini");
    half->Open();
    archive.Database()->SetConnected(false);
    EXPECT_FALSE(half->Active());
    EXPECT_TRUE(ForeignWrite(archive, "delete from Causali"));
}

} // namespace

TEST(ForwardOnlyTest, UntypedColumnsTakeTheFirstValueSeenAndRowsStayApart) {
    TestArchive archive;
    archive.Populate();
    const std::string sql = "select column1 as v, column2 as v, column1 as v from "
                            "(values (NULL, 'a'), (NULL, 'bb'), (3, 'ccc'), (4, NULL)) as t";
    // Twice, and against a bidirectional open: the second run reuses what the
    // first one compiled and must describe and read the same.
    for (int run = 0; run < 2; ++run) {
        for (bool forwardOnly : {true, false}) {
            SCOPED_TRACE(testing::Message() << "run " << run << " forward-only " << forwardOnly);
            auto q = MakeQuery(archive, sql, forwardOnly);
            q->Open();
            ASSERT_EQ(q->FieldCount(), 3);
            EXPECT_EQ(q->Fields()->Fields(0)->FieldName(), "v");
            EXPECT_EQ(q->Fields()->Fields(1)->FieldName(), "v_1");
            EXPECT_EQ(q->Fields()->Fields(2)->FieldName(), "v_2");
            // The leading NULLs do not decide: the 3 further on does.
            EXPECT_TRUE(q->Fields()->Fields(0)->IsNumeric());
            EXPECT_TRUE(q->Fields()->Fields(2)->IsNumeric());
            EXPECT_FALSE(q->Fields()->Fields(1)->IsNumeric());
            std::string seen;
            for (; !q->Eof(); q->Next())
                seen += q->Fields()->Fields(0)->AsString().str() + "/" +
                        q->Fields()->Fields(1)->AsString().str() + ";";
            EXPECT_EQ(seen, "/a;/bb;3/ccc;4/;");
            if (!forwardOnly) {
                // Rows already passed keep their own values.
                q->First();
                EXPECT_EQ(q->Fields()->Fields(1)->AsString(), "a");
                q->Last();
                EXPECT_EQ(q->Fields()->Fields(2)->AsString(), "4");
                EXPECT_TRUE(q->Fields()->Fields(1)->IsNull());
            }
        }
    }
}

TEST(ForwardOnlyTest, ALongScanKeepsOnlyTheRowsBehindItThatItMayStillNeed) {
    TestArchive archive;
    archive.Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
                 "INSERT INTO Causali SELECT i, 'Causale ' || i FROM n");
    const std::string sql = "select idCausale from Causali order by idCausale";
    const int kept = TQuery::RowsKeptBehind;
    for (bool forwardOnly : {true, false}) {
        SCOPED_TRACE(forwardOnly ? "forward-only" : "both ways");
        auto q = MakeQuery(archive, sql, forwardOnly);
        q->Open();
        const TBookmark first = q->GetBookmark();
        TField* id = q->Fields()->Fields(0);
        int count = 0;
        for (; !q->Eof(); q->Next())
            EXPECT_EQ(id->AsInteger(), ++count);
        EXPECT_EQ(count, 5000);
        // Positions count from the first row whatever was let go of.
        EXPECT_EQ(q->RecNo(), 5000);
        EXPECT_EQ(q->RecordCount(), 5000);
        EXPECT_EQ(q->CurrentRow(), 4999);
        EXPECT_EQ(q->ValueAt(4999 - kept, id).ToInt(), 5000 - kept);
        // The rows just passed are still there.
        EXPECT_EQ(q->MoveBy(-kept), -kept);
        EXPECT_EQ(id->AsInteger(), 5000 - kept);
        q->SetRecNo(5000);
        q->Prior();
        EXPECT_EQ(id->AsInteger(), 4999);
        if (forwardOnly) {
            // The first ones are gone: asking for them says so.
            EXPECT_TRUE(q->ValueAt(0, id).IsNull());
            EXPECT_FALSE(q->BookmarkValid(first));
            EXPECT_THROW(q->GotoBookmark(first), EDatabaseError);
            EXPECT_THROW(q->First(), EDatabaseError);
            EXPECT_THROW(q->SetRecNo(1), EDatabaseError);
            EXPECT_THROW(q->MoveBy(-4000), EDatabaseError);
            EXPECT_THROW(q->Locate("idCausale", Variant(4999)), EDatabaseError);
            EXPECT_EQ(id->AsInteger(), 4999); // a refused move stays put
            // Opening again reads from the start.
            q->Close();
            q->Open();
            EXPECT_EQ(q->RecNo(), 1);
            EXPECT_EQ(q->Fields()->Fields(0)->AsInteger(), 1);
        } else {
            EXPECT_EQ(q->ValueAt(0, id).ToInt(), 1);
            q->GotoBookmark(first);
            EXPECT_EQ(id->AsInteger(), 1);
            EXPECT_TRUE(q->Locate("idCausale", Variant(4999)));
        }
    }
}
