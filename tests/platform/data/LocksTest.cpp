// Several programs on one archive: a table held exclusively, records locked
// while edited, and locks that vanish with a program that dies. The other
// program is a forked child with its own connection and lock files.

#include "OtherProgram.h"
#include "TestArchive.h"

#include "platform/core/Exception.h"
#include "platform/data/LockFile.h"
#include "platform/data/Query.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

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

namespace {

// The lock files in the network folder.
std::set<std::string> LockFiles(const TestArchive& archive) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(archive.NetDir()))
        if (entry.path().extension() == ".lck") names.insert(entry.path().filename().string());
    return names;
}

// A child that opens a table on "apri", closes it on "chiudi", and waits.
OtherProgram TableHolder(const char* tableName) {
    return OtherProgram([tableName](OtherProgram& self) {
        ChildSide side(tableName);
        for (std::string order = self.Hear(); order == "apri" || order == "chiudi";
             order = self.Hear()) {
            if (order == "apri")
                side.table.Open();
            else
                side.table.Close();
            self.Say(order == "apri" ? "aperta" : "chiusa");
        }
    });
}

} // namespace

TEST(LocksTest, ALockFileGoesWithItsLastLiveHolder) {
    if (testengine::OnServer()) GTEST_SKIP() << "lock files are the SQLite engine's own";
    TestArchive archive;
    archive.Populate();
    OtherProgram other = TableHolder("Condomini");
    TTable mine;
    archive.Bind(&mine);
    mine.SetTableName("Condomini");

    other.Say("apri");
    ASSERT_EQ(other.Hear(), "aperta");
    const auto held = LockFiles(archive);
    ASSERT_EQ(held.size(), 1u);
    mine.Open();
    EXPECT_EQ(LockFiles(archive), held);
    mine.Close();
    EXPECT_EQ(LockFiles(archive), held) << "removed while another program holds it";
    other.Say("chiudi");
    ASSERT_EQ(other.Hear(), "chiusa");
    EXPECT_TRUE(LockFiles(archive).empty()) << "the last holder left its file";

    // A holder that dies leaves the file to the one still alive.
    mine.Open();
    other.Say("apri");
    ASSERT_EQ(other.Hear(), "aperta");
    other.Kill();
    EXPECT_EQ(LockFiles(archive), held);
    mine.Close();
    EXPECT_TRUE(LockFiles(archive).empty());
    // And the table is as free as before.
    mine.SetExclusive(true);
    EXPECT_EQ(OpenError(mine), "");
}

TEST(LocksTest, FilesOfProgramsThatDiedGoWhenAProgramStarts) {
    if (testengine::OnServer()) GTEST_SKIP() << "lock files are the SQLite engine's own";
    TestArchive archive;
    archive.Populate();
    archive.Exec("CREATE TABLE Contatori (Contatore VARCHAR(20), Valore INTEGER);");
    // Each program that starts tidies the folder: the dead one's file is
    // left after the last start.
    OtherProgram alive = TableHolder("Contatori");
    alive.Say("apri");
    ASSERT_EQ(alive.Hear(), "aperta");
    const auto kept = LockFiles(archive);
    OtherProgram dead = TableHolder("Causali");
    dead.Say("apri");
    ASSERT_EQ(dead.Hear(), "aperta");
    dead.Kill();
    ASSERT_EQ(LockFiles(archive).size(), 2u);
    ASSERT_EQ(kept.size(), 1u);
    // Files that only look like lock files stay.
    const std::filesystem::path net = archive.NetDir();
    std::ofstream(net / "appunti.lck") << "x";
    std::ofstream(net / "quor_0123456789abcdef_note.txt") << "x";

    archive.Database()->Open();
    EXPECT_EQ(LockFiles(archive), (std::set<std::string>{"appunti.lck", *kept.begin()}));
    EXPECT_TRUE(std::filesystem::exists(net / "quor_0123456789abcdef_note.txt"));

    // The live program still holds its table.
    TTable contatori;
    archive.Bind(&contatori);
    contatori.SetTableName("Contatori");
    contatori.SetExclusive(true);
    EXPECT_NE(OpenError(contatori), "");
}

TEST(LocksTest, RemovingAndReopeningNeverLetsTwoProgramsHoldOneTable) {
    if (testengine::OnServer()) GTEST_SKIP() << "lock files are the SQLite engine's own";
    // Two programs take and leave a table's lock exclusively, round after
    // round, so that its file is removed while the other is opening it. A
    // marker file made with O_EXCL while a program holds the lock tells when
    // both held it at once. They go through the rounds in batches, starting
    // each batch together, so that they overlap however the machine schedules
    // them; the test is bounded by the rounds, never by the clock.
    TestArchive archive;
    const std::string path =
        dbengine::LockFilePath(archive.NetDir(), archive.DbPath(), "Condomini");
    const std::string marker = (archive.Dir() / "tengo").string();
    constexpr int kBatches = 20, kRounds = 100;
    // Each round waits for the lock, giving up only after a number of tries far
    // beyond what the other program's short holds can take: -1 when both held
    // it at once, -2 when the lock never came.
    const auto work = [&path, &marker](int rounds) {
        for (int i = 0; i < rounds; ++i) {
            bool held = false;
            for (int attempt = 0; attempt < 1000000 && !held; ++attempt) {
                try {
                    dbengine::LockFile lock(path);
                    if (!lock.LockTableExclusive()) continue;
                    held = true;
                    const int fd = open(marker.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
                    if (fd < 0) return -1;
                    close(fd);
                    unlink(marker.c_str());
                } catch (const EDatabaseError&) {
                    // The file kept vanishing under this opening; the next try opens anew.
                }
            }
            if (!held) return -2;
        }
        return rounds;
    };
    OtherProgram other([&work](OtherProgram& self) {
        for (int batch = 0; batch < kBatches; ++batch) {
            if (self.HearWhenDone() != "via") return;
            self.Say(std::to_string(work(kRounds)));
        }
    });
    for (int batch = 0; batch < kBatches; ++batch) {
        SCOPED_TRACE(batch);
        other.Say("via");
        const int mine = work(kRounds);
        const std::string theirs = other.HearWhenDone();
        ASSERT_NE(mine, -1) << "both programs held the lock at once";
        ASSERT_NE(theirs, "-1") << "both programs held the lock at once";
        ASSERT_EQ(mine, kRounds) << "the lock never came";
        ASSERT_EQ(theirs, std::to_string(kRounds));
    }
    EXPECT_TRUE(LockFiles(archive).empty());
}
