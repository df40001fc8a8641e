// The server restarts under the program (pg_ctl restart -m fast, as an
// administrator does it). On a throwaway server of the test's own, started
// and restarted by tools/pg-cluster.sh, so that the other tests' sessions
// do not end with it.

#include "tests/platform/data/TestArchive.h"

#include "platform/data/Query.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::string Run(const std::string& command, int& status) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        std::size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        status = pclose(pipe);
    } else {
        status = -1;
    }
    return out;
}

// The value of one "export NAME='value'" line of pg-cluster.sh start.
std::string Exported(const std::string& exports, const std::string& name) {
    const std::string key = "export " + name + "='";
    const std::size_t at = exports.find(key);
    if (at == std::string::npos) return {};
    const std::size_t from = at + key.size();
    return exports.substr(from, exports.find('\'', from) - from);
}

class OwnServer {
public:
    OwnServer() {
        if (const char* old = std::getenv("QUOR_TEST_PG")) old_ = old;
        int status = 0;
        const std::string exports = Run(script_ + " start", status);
        dir_ = Exported(exports, "QUOR_PG_CLUSTER");
        const std::string connection = Exported(exports, "QUOR_TEST_PG");
        if (status != 0 || dir_.empty() || connection.empty()) return;
        setenv("QUOR_TEST_PG", connection.c_str(), 1);
        started_ = true;
    }
    ~OwnServer() {
        if (!dir_.empty()) std::system((script_ + " stop '" + dir_ + "'").c_str());
        if (old_.empty())
            unsetenv("QUOR_TEST_PG");
        else
            setenv("QUOR_TEST_PG", old_.c_str(), 1);
    }
    bool Started() const { return started_; }
    bool Restart() const {
        return std::system((script_ + " restart '" + dir_ + "'").c_str()) == 0;
    }

private:
    std::string script_ = std::string(QUOR_SOURCE_ROOT) + "/tools/pg-cluster.sh";
    std::string dir_;
    std::string old_;
    bool started_ = false;
};

// The message of the error an action raises, empty when it raises none.
template <class Action> std::string ErrorOf(Action&& action) {
    try {
        action();
    } catch (const EDatabaseError& e) {
        return e.Message().str();
    }
    return {};
}

bool SaysConnectionLost(const std::string& message) {
    return message.find("interrotta") != std::string::npos &&
           message.find("'Prova'") != std::string::npos;
}

// Read through the engine: the archive's own connection ended with the server.
std::string ScalarOf(const TestArchive& archive, const std::string& sql) {
    TQuery q;
    archive.Bind(&q);
    q.SQL()->Add(sql.c_str());
    q.Open();
    return q.Fields()->Fields(0)->AsString().str();
}

TEST(PgRestartTest, OpenTablesFailClearlyCancelAndCloseWorkAndTheNextOpenConnectsAgain) {
    OwnServer server;
    ASSERT_TRUE(server.Started()) << "tools/pg-cluster.sh start failed";
    TestArchive archive;
    archive.Populate();
    TTable editing, browsing;
    archive.Bind(&editing);
    editing.SetTableName("Condomini");
    editing.Open();
    editing.Edit();
    editing.FieldByName("Comune")->SetAsString("Pavia");
    archive.Bind(&browsing);
    browsing.SetTableName("MovConti");
    browsing.Open();

    ASSERT_TRUE(server.Restart());

    // The record in edit cannot be written: the message says why, once.
    const std::string post = ErrorOf([&] { editing.Post(); });
    EXPECT_TRUE(SaysConnectionLost(post)) << post;
    // "Annulla" works: the record lock died with the session.
    EXPECT_EQ(ErrorOf([&] { editing.Cancel(); }), "");
    EXPECT_EQ(editing.State(), dsBrowse);

    // The table hears of it at its next request too: the database drops the
    // connection and closes its other datasets; this one says so until closed.
    const std::string refresh = ErrorOf([&] { editing.Refresh(); });
    EXPECT_TRUE(SaysConnectionLost(refresh)) << refresh;
    EXPECT_FALSE(browsing.Active());
    EXPECT_EQ(ErrorOf([&] { editing.Edit(); }), refresh);
    EXPECT_EQ(ErrorOf([&] { editing.Close(); }), "");

    // Opening connects again, with the tables' locks on the new connection.
    EXPECT_EQ(ScalarOf(archive, "select count(*) from Condomini"), "4");
    editing.Open();
    editing.Edit();
    EXPECT_EQ(ScalarOf(archive, "select count(*) from pg_locks where locktype = 'advisory'"), "2")
        << "the table's lock and the record's";
    editing.FieldByName("Comune")->SetAsString("Pavia");
    editing.Post();
    EXPECT_EQ(ScalarOf(archive, "select Comune from Condomini where IdCondominio = " +
                                    editing.FieldByName("IdCondominio")->AsString().str()),
              "Pavia");
    EXPECT_EQ(ErrorOf([&] { browsing.Open(); }), "");
    EXPECT_EQ(browsing.RecordCount(), 4);
}

TEST(PgRestartTest, TheFirstOpenAfterARestartConnectsAgainAndClosesTheOldTables) {
    OwnServer server;
    ASSERT_TRUE(server.Started()) << "tools/pg-cluster.sh start failed";
    TestArchive archive;
    archive.Populate();
    TTable browsing;
    archive.Bind(&browsing);
    browsing.SetTableName("MovConti");
    browsing.SetExclusive(true);
    browsing.Open();
    ASSERT_TRUE(server.Restart());
    // Nothing had been lost on the way: the open goes through, on a new
    // connection, and the table whose lock went with the old one is closed.
    EXPECT_EQ(ScalarOf(archive, "select count(*) from Condomini"), "4");
    EXPECT_FALSE(browsing.Active());
    EXPECT_EQ(ErrorOf([&] { browsing.Open(); }), "");
    EXPECT_EQ(ScalarOf(archive, "select count(*) from pg_locks where locktype = 'advisory'"), "1");
}

TEST(PgRestartTest, AnExportCutShortSaysSoAndTheNextOneReadsEverything) {
    OwnServer server;
    ASSERT_TRUE(server.Started()) << "tools/pg-cluster.sh start failed";
    TestArchive archive;
    archive.Populate();
    ASSERT_TRUE(archive.Raw().ServerExec(
        "insert into movconti (idcondominio, idcausale, importo, valuta, descrizione) "
        "select 1, 1, g, 'E', 'Movimento numero ' || g from generate_series(1, 20000) g"));
    auto read = [&archive](const std::function<void(int)>& atRow) {
        TQuery q;
        archive.Bind(&q);
        q.SetUniDirectional(true);
        q.SQL()->Add("select * from MovConti where idCondominio=1");
        q.Open();
        int rows = 0;
        while (!q.Eof()) {
            atRow(rows++);
            q.Next();
        }
        return rows;
    };

    int rows = 0;
    const std::string cut = ErrorOf([&] {
        rows = read([&server](int row) {
            if (row == 10) {
                ASSERT_TRUE(server.Restart());
            }
        });
    });
    // The rows come in blocks as they are read: the reader hears why they stopped.
    EXPECT_TRUE(SaysConnectionLost(cut)) << cut << " after " << rows << " rows";
    EXPECT_EQ(read([](int) {}), 20002);
}

} // namespace
