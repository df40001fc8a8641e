// Several programs on one archive: a table held exclusively, records locked
// while edited, and locks that vanish with a program that dies. The other
// program is a forked child with its own connection and lock files.

#include "TestArchive.h"

#include "platform/data/Query.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <string>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class OtherProgram {
public:
    // body runs in the child with Say/Hear for talking to the parent.
    explicit OtherProgram(const std::function<void(OtherProgram&)>& body) {
        int down[2], up[2];
        if (pipe(down) != 0 || pipe(up) != 0) throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            close(down[1]);
            close(up[0]);
            in_ = down[0];
            out_ = up[1];
            try {
                body(*this);
            } catch (const std::exception& e) {
                Say(std::string("errore: ") + e.what());
            }
            _exit(0);
        }
        close(down[0]);
        close(up[1]);
        in_ = up[0];
        out_ = down[1];
    }
    ~OtherProgram() {
        Kill();
        close(in_);
        close(out_);
    }

    void Say(const std::string& line) {
        const std::string text = line + "\n";
        if (write(out_, text.data(), text.size()) < 0) _exit(3);
    }
    // The next line, or "<timeout>" after 20 seconds.
    std::string Hear() {
        std::string line;
        char c;
        for (;;) {
            pollfd p{in_, POLLIN, 0};
            if (poll(&p, 1, 20000) <= 0) return "<timeout>";
            if (read(in_, &c, 1) != 1) return line.empty() ? "<closed>" : line;
            if (c == '\n') return line;
            line += c;
        }
    }
    void Kill() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            int status;
            waitpid(pid_, &status, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
};

// The child's own database on the same alias and network folder.
struct ChildSide {
    // The server's number for the child's session, empty on SQLite: the
    // parent waits for the server to see the session end after a kill.
    std::string ServerSession() {
        if (!testengine::OnServer()) return "";
        TQuery q;
        q.SetDatabaseName("dbFiglio");
        q.SetSessionName("SessioneProva");
        q.SQL()->Add("select pg_backend_pid()");
        q.Open();
        return q.Fields()->Fields(0)->AsString().str();
    }
    TDatabase db;
    TTable table;
    explicit ChildSide(const char* tableName, bool exclusive = false) {
        db.SetDatabaseName("dbFiglio");
        db.SetAliasName("Prova");
        db.SetSessionName("SessioneProva");
        table.SetDatabaseName("dbFiglio");
        table.SetSessionName("SessioneProva");
        table.SetTableName(tableName);
        table.SetExclusive(exclusive);
    }
};

TEST(LocksTest, AnExclusiveTableShutsOutOtherProgramsUntilItsHolderDies) {
    TestArchive archive;
    archive.Populate();
    archive.Exec("CREATE TABLE Contatori (Contatore VARCHAR(20), Valore INTEGER);");
    OtherProgram holder([](OtherProgram& self) {
        ChildSide side("Contatori.db", true);
        side.table.Open();
        self.Say("aperta " + side.ServerSession());
        self.Hear(); // until killed
    });
    const std::string opened = holder.Hear();
    ASSERT_EQ(opened.rfind("aperta ", 0), 0u) << opened;

    TTable mine;
    archive.Bind(&mine);
    mine.SetTableName("Contatori");
    const std::string shared = OpenError(mine);
    EXPECT_NE(shared.find("in uso esclusivo da un altro utente"), std::string::npos) << shared;
    EXPECT_NE(shared.find("Contatori"), std::string::npos) << shared;
    mine.SetExclusive(true);
    EXPECT_NE(OpenError(mine), "");
    EXPECT_FALSE(mine.Active());
    // The rest of the archive is free.
    TTable causali;
    archive.Bind(&causali);
    causali.SetTableName("Causali");
    EXPECT_NO_THROW(causali.Open());

    holder.Kill();
    archive.Raw().AwaitSessionEnd(opened.substr(7));
    EXPECT_EQ(OpenError(mine), "");
    ASSERT_TRUE(mine.Active());

    // Now this program holds it: the other one fails at once.
    OtherProgram latecomer([](OtherProgram& self) {
        ChildSide side("Contatori", false);
        self.Say(OpenError(side.table));
    });
    const std::string refused = latecomer.Hear();
    EXPECT_NE(refused.find("esclusivo"), std::string::npos) << refused;
    // A forked child shares this program's open lock files until it is gone.
    latecomer.Kill();
    mine.Close();
    OtherProgram after([](OtherProgram& self) {
        ChildSide side("Contatori", true);
        self.Say(OpenError(side.table).empty() ? "ok" : "rifiutata");
    });
    EXPECT_EQ(after.Hear(), "ok");
}

TEST(LocksTest, AnEditedRecordIsLockedForOthersUntilPostOrDeath) {
    TestArchive archive;
    archive.Populate();
    OtherProgram editor([](OtherProgram& self) {
        ChildSide side("Condomini");
        side.table.Open();
        side.table.Locate("IdCondominio", 1);
        side.table.Edit();
        side.table.FieldByName("Nome")->SetAsString("DalFiglio");
        self.Say("modifica");
        if (self.Hear() != "salva") return;
        side.table.Post();
        self.Say("salvato");
        side.table.Locate("IdCondominio", 2);
        side.table.Edit();
        self.Say("tengo 2 " + side.ServerSession());
        self.Hear(); // until killed
    });
    ASSERT_EQ(editor.Hear(), "modifica");

    TTable mine;
    archive.Bind(&mine);
    mine.SetTableName("Condomini");
    mine.Open(); // editing elsewhere does not keep the table closed
    ASSERT_TRUE(mine.Locate("IdCondominio", 1));
    try {
        mine.Edit();
        FAIL() << "a record being edited elsewhere was edited here";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().Pos("in uso da un altro utente"), 0) << e.Message().c_str();
    }
    EXPECT_EQ(mine.State(), dsBrowse);
    EXPECT_THROW(mine.Delete(), EDatabaseError);
    // Other records stay free.
    mine.Locate("IdCondominio", 3);
    mine.Edit();
    mine.FieldByName("Comune")->SetAsString("Pavia");
    mine.Post();
    EXPECT_EQ(archive.Scalar("SELECT Comune FROM Condomini WHERE IdCondominio=3"), "Pavia");

    editor.Say("salva");
    ASSERT_EQ(editor.Hear(), "salvato");
    mine.Locate("IdCondominio", 1);
    mine.Edit(); // free again, and read afresh
    EXPECT_EQ(mine.FieldByName("Nome")->AsString(), "DalFiglio");
    mine.Cancel();

    const std::string holding = editor.Hear();
    ASSERT_EQ(holding.rfind("tengo 2 ", 0), 0u) << holding;
    mine.Locate("IdCondominio", 2);
    EXPECT_THROW(mine.Edit(), EDatabaseError);
    editor.Kill();
    archive.Raw().AwaitSessionEnd(holding.substr(8));
    EXPECT_NO_THROW(mine.Edit());
    mine.Cancel();
}

TEST(LocksTest, TwoTablesOfOneProgramAlsoExcludeEachOther) {
    TestArchive archive;
    archive.Populate();
    TTable a, b;
    for (TTable* t : {&a, &b}) {
        archive.Bind(t);
        t->SetTableName("Condomini");
        t->Open();
        t->Locate("IdCondominio", 1);
    }
    a.Edit();
    EXPECT_THROW(b.Edit(), EDatabaseError);
    a.Cancel();
    EXPECT_NO_THROW(b.Edit());
    b.Cancel();

    TTable exclusive;
    archive.Bind(&exclusive);
    exclusive.SetTableName("Condomini");
    exclusive.SetExclusive(true);
    EXPECT_NE(OpenError(exclusive), "");
    a.Close();
    b.Close();
    EXPECT_EQ(OpenError(exclusive), "");
    if (archive.OnServer()) {
        // The server keeps them, for every computer to see.
        EXPECT_GT(archive.Raw().ServerLocks(), 0);
        exclusive.Close();
        EXPECT_EQ(archive.Raw().ServerLocks(), 0);
        return;
    }
    // Lock files live in the session's network folder.
    bool found = false;
    for (const auto& entry : std::filesystem::directory_iterator(archive.NetDir()))
        found = found || entry.path().extension() == ".lck";
    EXPECT_TRUE(found);
}

} // namespace

