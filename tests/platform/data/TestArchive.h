#pragma once
// A real SQLite archive in a fresh folder, an engine configuration naming it
// as the alias "Prova", and a session and database bound to it.

#include "platform/core/Locale.h"
#include "platform/data/Session.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "tests/PosixOnWindows.h"

// The archive used by most tests: condominiums, their movements, causes.
inline const char* const kSchema = R"SQL(
CREATE TABLE Condomini (
  IdCondominio INTEGER PRIMARY KEY AUTOINCREMENT,
  Nome VARCHAR(50) NOT NULL,
  Comune VARCHAR(50),
  CAP VARCHAR(5),
  Provincia VARCHAR(2),
  Note MEMO,
  Riscaldamento BOOLEAN,
  Icona INTEGER);
CREATE INDEX idxNome ON Condomini (Nome COLLATE NOCASE);
CREATE TABLE MovConti (
  idMovConti INTEGER PRIMARY KEY AUTOINCREMENT,
  idCondominio INTEGER,
  idCausale INTEGER,
  Data DATE,
  Importo NUMERIC(32,2),
  Valuta CHAR(1),
  Descrizione VARCHAR(50),
  Registrato DATETIME,
  Saldo CURRENCY,
  Cambio REAL);
CREATE INDEX idxCondominio ON MovConti (idCondominio);
CREATE TABLE Causali (idCausale INTEGER PRIMARY KEY, Nome VARCHAR(30));
)SQL";

class TestArchive {
public:
    explicit TestArchive(const std::string& schema = kSchema) {
        std::string pattern = (std::filesystem::temp_directory_path() / "quordataXXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
        dir_ = pattern;
        std::filesystem::create_directories(dir_ / "Archivi");
        std::filesystem::create_directories(dir_ / "Net");
        dbPath_ = (dir_ / "Archivi" / "Prova.db").string();
        Exec(schema);
        configPath_ = (dir_ / "engine.ini").string();
        std::ofstream(configPath_) << "[Prova]\nDriver=SQLITE\nPath=Archivi/Prova.db\n";
        if (const char* old = std::getenv("QUOR_ENGINE_CONFIG")) oldConfig_ = old;
        setenv("QUOR_ENGINE_CONFIG", configPath_.c_str(), 1);

        TFormatSettings& fs = FormatSettings();
        savedSettings_ = fs;
        fs.DecimalSeparator = ',';
        fs.ThousandSeparator = '.';
        fs.DateSeparator = '/';
        fs.ShortDateFormat = "dd/MM/yyyy";

        session_ = new TSession(nullptr);
        session_->SetSessionName("SessioneProva");
        session_->SetNetFileDir(NetDir().c_str());
        database_ = new TDatabase(nullptr);
        database_->SetDatabaseName("dbProva");
        database_->SetAliasName("Prova");
        database_->SetSessionName("SessioneProva");
    }

    ~TestArchive() {
        delete database_;
        delete session_;
        FormatSettings() = savedSettings_;
        if (oldConfig_.empty())
            unsetenv("QUOR_ENGINE_CONFIG");
        else
            setenv("QUOR_ENGINE_CONFIG", oldConfig_.c_str(), 1);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    TestArchive(const TestArchive&) = delete;
    TestArchive& operator=(const TestArchive&) = delete;

    // Runs statements straight on the file, outside the engine.
    void Exec(const std::string& sql) const {
        sqlite3* db = nullptr;
        sqlite3_open(dbPath_.c_str(), &db);
        char* error = nullptr;
        const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
        const std::string message = error ? error : "";
        sqlite3_free(error);
        sqlite3_close(db);
        if (rc != SQLITE_OK) throw std::runtime_error("sqlite: " + message);
    }

    // The first column of the first row as text ("NULL" for null), and its
    // storage class after a '|' when asked.
    std::string Scalar(const std::string& sql, bool withType = false) const {
        sqlite3* db = nullptr;
        sqlite3_open_v2(dbPath_.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* stmt = nullptr;
        std::string out = "<no row>";
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW) {
            const unsigned char* text = sqlite3_column_text(stmt, 0);
            out = text ? reinterpret_cast<const char*>(text) : "NULL";
            if (withType) {
                static const char* names[] = {"?", "integer", "real", "text", "blob", "null"};
                out += std::string("|") + names[sqlite3_column_type(stmt, 0)];
            }
        }
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        return out;
    }

    std::string FileBytes() const {
        std::ifstream in(dbPath_, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    const std::string& DbPath() const { return dbPath_; }
    const std::string& ConfigPath() const { return configPath_; }
    std::string NetDir() const { return (dir_ / "Net").string(); }
    const std::filesystem::path& Dir() const { return dir_; }
    TSession* Session() const { return session_; }
    TDatabase* Database() const { return database_; }

    // Binds a dataset to the test's database and session.
    template <class DataSet> DataSet* Bind(DataSet* ds) const {
        ds->SetDatabaseName("dbProva");
        ds->SetSessionName("SessioneProva");
        return ds;
    }

    // A few condominiums with movements, for the tests that only read.
    void Populate() const {
        Exec(R"SQL(
INSERT INTO Condomini (Nome, Comune, CAP, Provincia, Riscaldamento, Icona) VALUES
  ('bianchi', 'Milano', '20100', 'MI', 1, 1),
  ('Alfa', 'Roma', '00100', 'RM', 0, 2),
  ('Zeta', 'Milano', '20121', 'MI', NULL, 1),
  ('alfa due', 'Torino', '10100', 'TO', 1, 3);
INSERT INTO MovConti (idCondominio, idCausale, Data, Importo, Valuta, Descrizione) VALUES
  (1, 1, '2004-03-12', 12.50, 'E', 'Acqua'),
  (1, 2, '2004-03-13', 100.00, 'E', 'l''uno'),
  (2, 1, '2004-04-01', -7.25, 'L', 'Luce'),
  (3, 3, NULL, NULL, 'E', NULL);
INSERT INTO Causali VALUES (1, 'Spese'), (2, 'Rate'), (3, 'Varie');
)SQL");
    }

private:
    std::filesystem::path dir_;
    std::string dbPath_;
    std::string configPath_;
    std::string oldConfig_;
    TFormatSettings savedSettings_;
    TSession* session_ = nullptr;
    TDatabase* database_ = nullptr;
};
