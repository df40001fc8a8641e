// Archives a user meets damaged or out of reach: a file that is not a
// database, a damaged one, and write-ahead-log archives in a folder the user
// cannot write. The user without rights is a child process that gives up
// root's rights, as root passes every permission check.

#include "tests/platform/data/OtherProgram.h"
#include "tests/platform/data/TestArchive.h"

#include "platform/core/Exception.h"
#include "platform/data/Driver.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

namespace {

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// What a reader of the archive gets: "righe N" (and " sola lettura" when the
// connection is read-only) or "errore MESSAGE".
std::string ReadMovements(TDatabase* database) {
    try {
        dbengine::Connection& connection = database->Connection();
        auto statement = connection.Prepare("SELECT count(*) FROM MovConti");
        statement->Step();
        const dbengine::DbValue count = statement->Column(0);
        statement->Reset();
        return "righe " + std::to_string(std::get<std::int64_t>(count)) +
               (connection.ReadOnly() ? " sola lettura" : "");
    } catch (const Exception& e) {
        return std::string("errore ") + e.what();
    }
}

// The archive's folder closed to writing, and the user who cannot write it.
class UnwritableFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() == 0 && !getpwnam("nobody"))
            GTEST_SKIP() << "running as root without a user 'nobody' to run the reader as";
        archive_ = std::make_unique<TestArchive>();
        archive_->Exec("PRAGMA journal_mode=WAL;");
        archive_->Populate();
        folder_ = archive_->Dir() / "Archivi";
        // The user reaches the archive and its configuration, and writes nothing there.
        std::filesystem::permissions(archive_->Dir(), std::filesystem::perms::owner_all |
                                                          std::filesystem::perms::group_read |
                                                          std::filesystem::perms::group_exec |
                                                          std::filesystem::perms::others_read |
                                                          std::filesystem::perms::others_exec);
    }
    void TearDown() override {
        if (archive_) Open(true);
    }

    void Open(bool writable) { chmod(folder_.c_str(), writable ? 0755 : 0555); }

    // Reads the archive as a user who cannot write its folder; "" when that
    // cannot be arranged here.
    std::string ReadAsAnotherUser() {
        Open(false);
        OtherProgram reader([this](OtherProgram& self) {
            if (geteuid() == 0) {
                const passwd* nobody = getpwnam("nobody");
                if (setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 ||
                    setuid(nobody->pw_uid) != 0) {
                    self.Say("senza utente");
                    return;
                }
            }
            if (access(folder_.c_str(), W_OK) == 0) {
                self.Say("cartella scrivibile");
                return;
            }
            archive_->Database()->SetReadOnly(true);
            self.Say(ReadMovements(archive_->Database()));
        });
        const std::string heard = reader.Hear();
        Open(true);
        return heard;
    }

    std::set<std::string> FolderFiles() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_))
            names.insert(entry.path().filename().string());
        return names;
    }

    std::unique_ptr<TestArchive> archive_;
    std::filesystem::path folder_;
};

#define READ_AS_ANOTHER_USER(result)                                                               \
    const std::string result = ReadAsAnotherUser();                                                \
    if (result == "senza utente" || result == "cartella scrivibile")                               \
    GTEST_SKIP() << "a user who cannot write the folder cannot be arranged here: " << result

TEST_F(UnwritableFolderTest, AClosedArchiveIsReadAsItIs) {
    ASSERT_EQ(FolderFiles(), std::set<std::string>{"Prova.db"});
    const std::string before = archive_->FileBytes();
    READ_AS_ANOTHER_USER(read);
    EXPECT_EQ(read, "righe 4 sola lettura");
    EXPECT_EQ(FolderFiles(), std::set<std::string>{"Prova.db"});
    EXPECT_EQ(archive_->FileBytes(), before);
}

TEST_F(UnwritableFolderTest, ChangesStillInTheLogAreReadWhileItsWriterWorks) {
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(archive_->DbPath().c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer,
                           "PRAGMA wal_autocheckpoint=0;"
                           "INSERT INTO MovConti (idCondominio, Importo) VALUES (1, 5), (2, 6);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    ASSERT_TRUE(std::filesystem::exists(archive_->DbPath() + "-shm"));
    READ_AS_ANOTHER_USER(read);
    EXPECT_EQ(read, "righe 6 sola lettura");
    sqlite3_close(writer);
}

TEST_F(UnwritableFolderTest, ALogWithoutItsIndexNamesTheFolder) {
    // A writer that died leaves its log; the index beside it is then lost.
    OtherProgram writer([this](OtherProgram& self) {
        sqlite3* db = nullptr;
        sqlite3_open(archive_->DbPath().c_str(), &db);
        sqlite3_exec(db,
                     "PRAGMA wal_autocheckpoint=0;"
                     "INSERT INTO MovConti (idCondominio, Importo) VALUES (1, 5);",
                     nullptr, nullptr, nullptr);
        self.Say("scritto");
        self.Hear();
    });
    ASSERT_EQ(writer.Hear(), "scritto");
    writer.Kill();
    ASSERT_GT(std::filesystem::file_size(archive_->DbPath() + "-wal"), 0u);
    std::filesystem::remove(archive_->DbPath() + "-shm");

    READ_AS_ANOTHER_USER(read);
    EXPECT_TRUE(Has(read, "errore L'archivio '" + archive_->DbPath() + "' dell'alias 'Prova'"))
        << read;
    EXPECT_TRUE(Has(read, "nella cartella '" + folder_.string() + "/'")) << read;
    EXPECT_TRUE(Has(read, "Prova.db-shm")) << read;
    EXPECT_FALSE(std::filesystem::exists(archive_->DbPath() + "-shm"));

    // Whoever may write the folder reads the log as usual.
    EXPECT_EQ(ReadMovements(archive_->Database()), "righe 5");
}

TEST(SqliteDriverTest, AFileThatIsNotADatabaseIsNamed) {
    TestArchive archive;
    std::ofstream(archive.DbPath(), std::ios::binary | std::ios::trunc)
        << "Condominio;Importo\nAurora;12,50\n";
    const std::string read = ReadMovements(archive.Database());
    EXPECT_TRUE(Has(read, "errore Il file '" + archive.DbPath() +
                              "' dell'alias 'Prova' non \xE8 un archivio SQLite"))
        << read;
    EXPECT_TRUE(Has(read, "file is not a database")) << read;
}

TEST(SqliteDriverTest, ADamagedArchiveIsNamedWhereverTheDamageIsMet) {
    TestArchive archive;
    archive.Populate();
    const int page = std::stoi(archive.Scalar("PRAGMA page_size"));
    // The table and its index, so that no plan reads around the damage.
    for (const char* name : {"MovConti", "idxCondominio"}) {
        const int root = std::stoi(archive.Scalar(
            std::string("SELECT rootpage FROM sqlite_master WHERE name = '") + name + "'"));
        std::fstream file(archive.DbPath(), std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(static_cast<std::streamoff>(root - 1) * page);
        const std::string garbage(static_cast<std::size_t>(page), '\x5A');
        file.write(garbage.data(), page);
    }
    // The first page is whole: the archive opens and the damage shows on reading.
    const std::string read = ReadMovements(archive.Database());
    EXPECT_TRUE(
        Has(read, "L'archivio '" + archive.DbPath() + "' dell'alias 'Prova' \xE8 danneggiato"))
        << read;
    EXPECT_TRUE(Has(read, "Istruzione: SELECT count(*) FROM MovConti")) << read;
}

} // namespace
