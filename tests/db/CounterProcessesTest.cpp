// Several processes issue numbers from one counter table opened Exclusive,
// answering the retry question with OK, while another holds the table and
// is killed.

#include "db/Counters.h"
#include "db/EngineDirs.h"
#include "tests/db/DbFixture.h"

#include "platform/core/ScriptedDialogs.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kWorkers = 8;
constexpr int kNumbersEach = 100;
const char* const kAlias = "ArchivioContatori";

// What a child process needs to reach the shared table: its own session
// pointed at the common network folder, a database, the counter table.
class ChildArchive {
public:
    explicit ChildArchive(const std::string& dir) {
        session_.SetSessionName("SessioneFiglio");
        CreaBdeDir(&session_, AnsiString(dir) + "Net/",
                   AnsiString(dir) + "Priv" + AnsiString(static_cast<int>(getpid())) + "/");
        database_.SetDatabaseName("dbContatori");
        database_.SetAliasName(kAlias);
        database_.SetSessionName("SessioneFiglio");
        table_.SetDatabaseName("dbContatori");
        table_.SetSessionName("SessioneFiglio");
        table_.SetTableName("Contatori.DB");
        table_.SetExclusive(true);
    }
    ~ChildArchive() {
        table_.Close();
        database_.SetConnected(false);
    }
    TTable& Table() { return table_; }

private:
    TSession session_;
    TDatabase database_;
    TTable table_;
};

// Runs body in a child process and gives its pid; the child's exit code is
// body's result.
template <typename Body> pid_t Spawn(Body body) {
    const pid_t pid = fork();
    if (pid == 0) {
        int code = 99;
        try {
            code = body();
        } catch (...) {
        }
        _exit(code);
    }
    return pid;
}

// The exit code, or -1 when the child does not end within the limit (it is
// then killed): a guard against a hang, not a measure.
int Wait(pid_t pid, std::chrono::seconds limit = std::chrono::seconds(120)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CounterProcessesTest, ConcurrentProcessesReceiveEachNumberOnce) {
    dbtest::TempDir dir;
    dbtest::WriteEngineConfig(dir.Path(), {{kAlias, "contatori.db"}});
    dbtest::Exec(dir.Path() + "contatori.db",
                 "create table Contatori (Contatore varchar(40) primary key, Valore integer)");

    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = Spawn([&] {
        ChildArchive archive(dir.Path());
        archive.Table().Open();
        const char byte = 'r';
        if (write(ready[1], &byte, 1) != 1) return 1;
        for (;;)
            pause();
    });
    ASSERT_GT(holder, 0);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    close(ready[1]);

    // While the table is held, a user who cancels gets no number.
    const pid_t probe = Spawn([&] {
        ChildArchive archive(dir.Path());
        ScopedScriptedDialogs dialogs;
        dialogs->AnswerButton(IDCANCEL);
        const int number = SetCounter(&archive.Table(), "Fatture");
        const auto& q = dialogs->Questions();
        const bool asked = q.size() == 1 && q[0].flags == 0x41 &&
                           q[0].text == "L'archivio \xE8 utilizzato da un altro utente, premere "
                                        "Ok per riprovare...";
        return number == 0 && asked && !archive.Table().Active() ? 0 : 1;
    });
    EXPECT_EQ(Wait(probe), 0) << "the held table must be refused with the retry question";

    std::vector<pid_t> workers;
    for (int w = 0; w < kWorkers; ++w) {
        workers.push_back(Spawn([&, w] {
            ChildArchive archive(dir.Path());
            ScopedScriptedDialogs dialogs; // every retry question answered OK
            std::ofstream out(dir.Path() + "numeri-" + std::to_string(w) + ".txt");
            for (int i = 0; i < kNumbersEach; ++i) {
                const int number = SetCounter(&archive.Table(), "Fatture");
                if (number == 0 || archive.Table().Active()) return 2;
                out << number << "\n";
                dialogs->Reset();
            }
            return 0;
        }));
    }
    // The holder dies holding the table; the others must get past it.
    kill(holder, SIGKILL);
    EXPECT_EQ(Wait(holder), -1);
    for (pid_t worker : workers)
        EXPECT_EQ(Wait(worker), 0);

    std::vector<int> numbers;
    for (int w = 0; w < kWorkers; ++w) {
        std::ifstream in(dir.Path() + "numeri-" + std::to_string(w) + ".txt");
        for (int n; in >> n;)
            numbers.push_back(n);
    }
    std::sort(numbers.begin(), numbers.end());
    std::vector<int> expected(kWorkers * kNumbersEach);
    for (int i = 0; i < static_cast<int>(expected.size()); ++i)
        expected[i] = i + 1;
    EXPECT_EQ(numbers, expected);
    EXPECT_EQ(dbtest::Scalar(dir.Path() + "contatori.db",
                             "select Valore from Contatori where Contatore='Fatture'"),
              std::to_string(kWorkers * kNumbersEach));
}

} // namespace
