#include "tools/demoarchive/DemoArchive.h"

#include "tools/demoarchive/ChartOfAccounts.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace demoarchive {
namespace {

namespace fs = std::filesystem;

// A small generator of our own: the standard distributions differ between
// libraries, and the archive must be the same everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [low, high].
    int Between(int low, int high) {
        return low + static_cast<int>(Next() % static_cast<std::uint64_t>(high - low + 1));
    }
    // True with the given chance in a thousand.
    bool PerMille(int chance) { return Between(0, 999) < chance; }
    template <typename T> const T& Pick(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(Between(0, static_cast<int>(items.size()) - 1))];
    }
    std::string Digits(int count) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += static_cast<char>('0' + Between(0, 9));
        return text;
    }

private:
    std::uint64_t state_;
};

const char* const kSchema = R"sql(
CREATE TABLE "Condomini" (
  IdCondominio INTEGER PRIMARY KEY AUTOINCREMENT,
  IdAmministratore INTEGER,
  Nome VARCHAR(50) NOT NULL,
  Indirizzo VARCHAR(50),
  Indirizzo2 VARCHAR(50),
  CAP VARCHAR(5),
  Comune VARCHAR(50),
  Provincia VARCHAR(2),
  Portiere VARCHAR(50),
  Telefono VARCHAR(15),
  Fax VARCHAR(15),
  EMail VARCHAR(40),
  CF VARCHAR(16),
  CodNat VARCHAR(10),
  Note MEMO,
  NumeroConto VARCHAR(20),
  ABI VARCHAR(7),
  CAB VARCHAR(8),
  TelBanca VARCHAR(20),
  Icona INTEGER,
  idBanca INTEGER,
  DosCodTco VARCHAR(5),
  Chiave INTEGER,
  Interno VARCHAR(20),
  Riscaldamento BOOLEAN,
  Ascensore BOOLEAN,
  idTabellaAssemblea INTEGER,
  idUltimaGestione INTEGER,
  idUltimoEsercizio INTEGER,
  idModulo INTEGER,
  idCliente INTEGER,
  idAssicurazione INTEGER
);
CREATE UNIQUE INDEX tblCondominiIndex1 ON "Condomini" (IdCondominio);
CREATE INDEX idxNome ON "Condomini" (Nome COLLATE NOCASE);
CREATE INDEX idxAmministratore ON "Condomini" (IdAmministratore COLLATE NOCASE);

CREATE TABLE "MovConti" (
  idMovConti INTEGER PRIMARY KEY AUTOINCREMENT,
  idCondominio INTEGER,
  idMovimento INTEGER,
  idCausale INTEGER,
  Data DATE,
  Importo NUMERIC(32,2),
  Valuta VARCHAR(1),
  Descrizione VARCHAR(50)
);
CREATE UNIQUE INDEX tblMovContiIndex1 ON "MovConti" (idMovConti);
CREATE INDEX idxCondominio ON "MovConti" (idCondominio COLLATE NOCASE);

CREATE TABLE "Causali" (
  idCausale INTEGER PRIMARY KEY AUTOINCREMENT,
  Nome VARCHAR(50)
);
)sql";

struct Place {
    const char* comune;
    const char* cap;
    const char* provincia;
    const char* prefix; // telephone
};

const std::vector<Place> kPlaces = {
    {"Milano", "20121", "MI", "02"},
    {"Torino", "10121", "TO", "011"},
    {"Bologna", "40121", "BO", "051"},
    {"Firenze", "50122", "FI", "055"},
    {"Roma", "00184", "RM", "06"},
    {"Napoli", "80133", "NA", "081"},
    {"Forlì", "47121", "FC", "0543"},
    {"Cantù", "22063", "CO", "031"},
    {"Genova", "16121", "GE", "010"},
    {"Verona", "37121", "VR", "045"},
    {"Padova", "35122", "PD", "049"},
    {"L'Aquila", "67100", "AQ", "0862"},
    {"Cefalù", "90015", "PA", "0921"},
    {"Mondovì", "12084", "CN", "0174"},
    {"Sant'Agata Bolognese", "40019", "BO", "051"},
};

const std::vector<std::string> kBuildingKinds = {"Condominio", "Residenza", "Palazzo", "Complesso",
                                                 "Supercondominio"};

const std::vector<std::string> kBuildingNames = {
    "Le Magnolie", "Sant'Anna",     "I Gelsi",      "Belvedere",  "Città Giardino", "San Michele",
    "dei Tigli",   "L'Oasi",        "Primavera",    "Aurora",     "Il Castagno",    "Porta Nuova",
    "Santa Lucia", "dei Fiori",     "Bellavista",   "Le Querce",  "Il Mulino",      "Dell'Orologio",
    "San Giorgio", "Villa Serena",  "I Platani",    "Le Rondini", "Monte Rosa",     "Mirafiori",
    "dei Pini",    "Sole e Luna",   "L'Ulivo",      "Ca' Bianca", "Borgo Antico",   "Il Faro",
    "Le Vele",     "San Francesco", "Piazza Verdi", "Gli Ontani", "Il Poggio",      "Nuovo Ponte",
};

const std::vector<std::string> kStreets = {
    "Via Giuseppe Garibaldi",  "Corso Vittorio Emanuele II", "Viale dell'Università",
    "Piazza della Libertà",    "Via Sant'Antonio",           "Via Cavour",
    "Via XX Settembre",        "Via Nazario Sauro",          "Largo Tosi",
    "Via Niccolò Machiavelli", "Via Dante Alighieri",        "Viale Giosuè Carducci",
};

const std::vector<std::string> kPeople = {
    "Mario Rossi",       "Giuseppe Bianchi", "Anna Colombo",   "Luca Ferrari",
    "Giovanna D'Angelo", "Niccolò Esposito", "Lucia Romano",   "Paolo Ricci",
    "Teresa Marino",     "Andrea Greco",     "Federica Bruno", "Salvatore Gallo",
};

const std::vector<std::string> kNotes = {
    "Caldaia sostituita nel 2019; verificare la pressione all'inizio dell'inverno.",
    "Chiavi del locale contatori presso il portiere.",
    "Assemblea ordinaria di solito a maggio. Più condòmini chiedono la convocazione via e-mail.",
    "Lavori di rifacimento della facciata deliberati: attendere l'esito dei preventivi.",
};

struct Cause {
    const char* name;
    int sign;      // +1 income, -1 expense
    int low, high; // amount range in euro
};

const std::vector<Cause> kCauses = {
    {"Quote condominiali", +1, 80, 900},
    {"Spese di pulizia", -1, 120, 650},
    {"Manutenzione ascensore", -1, 90, 1800},
    {"Energia elettrica parti comuni", -1, 40, 480},
    {"Riscaldamento", -1, 300, 5200},
    {"Acqua potabile", -1, 60, 1400},
    {"Assicurazione fabbricato", -1, 500, 2600},
    {"Compenso amministratore", -1, 200, 1500},
    {"Spese bancarie", -1, 1, 35},
    {"Interessi attivi", +1, 0, 12},
    {"Ritenuta d'acconto", -1, 20, 300},
    {"Lavori straordinari", -1, 800, 15000},
    {"Giardinaggio", -1, 70, 600},
    {"Rimborso spese", +1, 10, 250},
    {"Imposta di bollo", -1, 2, 100},
};
// A cause number that Causali does not hold: old movements still carry it.
constexpr int kMissingCause = 99;

// At most `limit` characters of UTF-8 text, never cutting one in two.
std::string Cut(const std::string& text, std::size_t limit) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == limit)
            return text.substr(0, i);
    }
    return text;
}

std::string Description(Random& random, const Cause& cause, int number) {
    const std::string name = cause.name;
    switch (random.Between(0, 9)) {
    case 0:
        return "Rata n. " + std::to_string(number % 12 + 1) + " dell'esercizio";
    case 1:
        return "Fattura n. " + std::to_string(random.Between(1, 999)) + " - " + name;
    case 2:
        return "Bonifico dall'inquilino dell'interno " + std::to_string(random.Between(1, 40));
    case 3:
        return "Versamento di " + random.Pick(kPeople);
    case 4:
        return "Pagamento F24 ritenute";
    case 5:
        return "Riparazione portone d'ingresso";
    case 6:
        return "Sostituzione lampadine nell'androne";
    case 7:
        return "Più ore di lavoro del manutentore";
    case 8:
        return name + " - saldo";
    default:
        return name;
    }
}

std::string Amount(Random& random, const Cause& cause) {
    const long long cents = static_cast<long long>(random.Between(cause.low, cause.high)) * 100 +
                            (random.PerMille(300) ? 0 : random.Between(0, 99));
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld.%02lld", cause.sign < 0 ? "-" : "", cents / 100,
                  cents % 100);
    return text;
}

std::string IsoDate(Random& random) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", random.Between(2019, 2024),
                  random.Between(1, 12), random.Between(1, 28));
    return text;
}

class Db {
public:
    explicit Db(sqlite3* db) : db_(db) {}
    ~Db() { sqlite3_close(db_); }
    sqlite3* get() const { return db_; }

private:
    sqlite3* db_;
};

class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) stmt_ = nullptr;
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    bool ok() const { return stmt_ != nullptr; }
    void Text(int index, const std::optional<std::string>& value) {
        if (value)
            sqlite3_bind_text(stmt_, index, value->c_str(), static_cast<int>(value->size()),
                              SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(stmt_, index);
    }
    void Int(int index, std::optional<long long> value) {
        if (value)
            sqlite3_bind_int64(stmt_, index, *value);
        else
            sqlite3_bind_null(stmt_, index);
    }
    bool Run() {
        const int rc = sqlite3_step(stmt_);
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
        return rc == SQLITE_DONE;
    }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

bool Fail(std::string& error, const std::string& what, sqlite3* db) {
    error = what + (db ? std::string(": ") + sqlite3_errmsg(db) : std::string());
    return false;
}

bool WriteCauses(sqlite3* db, std::string& error) {
    Statement insert(db, "INSERT INTO Causali (idCausale, Nome) VALUES (?, ?)");
    if (!insert.ok()) return Fail(error, "Causali", db);
    for (std::size_t i = 0; i < kCauses.size(); ++i) {
        insert.Int(1, static_cast<long long>(i + 1));
        insert.Text(2, std::string(kCauses[i].name));
        if (!insert.Run()) return Fail(error, "Causali", db);
    }
    return true;
}

bool WriteCondominiums(sqlite3* db, Random& random, std::string& error) {
    Statement insert(db, R"sql(INSERT INTO Condomini (IdAmministratore, Nome, Indirizzo,
        Indirizzo2, CAP, Comune, Provincia, Portiere, Telefono, Fax, EMail, CF, CodNat, Note,
        NumeroConto, ABI, CAB, TelBanca, Icona, idBanca, DosCodTco, Chiave, Interno,
        Riscaldamento, Ascensore, idTabellaAssemblea, idUltimaGestione, idUltimoEsercizio,
        idModulo, idCliente, idAssicurazione)
        VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?))sql");
    if (!insert.ok()) return Fail(error, "Condomini", db);
    using Text = std::optional<std::string>;
    const std::vector<std::string> abi = {"03069", "02008", "05034", "03111", "06230"};
    for (std::size_t i = 0; i < kBuildingNames.size(); ++i) {
        const Place& place = random.Pick(kPlaces);
        const std::string street =
            random.Pick(kStreets) + " " + std::to_string(random.Between(1, 180));
        int col = 1;
        insert.Int(col++, random.Between(1, 4));
        insert.Text(col++, kBuildingKinds[i % kBuildingKinds.size()] + " " + kBuildingNames[i]);
        insert.Text(col++, street);
        insert.Text(col++, random.PerMille(300)
                               ? Text("Scala " + std::string(1, 'A' + random.Between(0, 3)))
                               : Text());
        insert.Text(col++, std::string(place.cap));
        insert.Text(col++, std::string(place.comune));
        insert.Text(col++, std::string(place.provincia));
        insert.Text(col++, random.PerMille(600) ? Text(random.Pick(kPeople)) : Text());
        insert.Text(col++, std::string(place.prefix) + " " + random.Digits(7));
        insert.Text(col++, random.PerMille(500)
                               ? Text(std::string(place.prefix) + " " + random.Digits(7))
                               : Text());
        insert.Text(col++, "condominio" + std::to_string(i + 1) + "@studioquor.it");
        insert.Text(col++, "9" + random.Digits(10));
        insert.Text(col++, "CN" + random.Digits(4));
        insert.Text(col++, random.PerMille(400) ? Text(random.Pick(kNotes)) : Text());
        insert.Text(col++, "IT" + random.Digits(2) + "X" + random.Digits(12));
        insert.Text(col++, random.Pick(abi));
        insert.Text(col++, random.Digits(5));
        insert.Text(col++, std::string(place.prefix) + " " + random.Digits(6));
        insert.Int(col++, random.Between(0, 3));
        insert.Int(col++, random.Between(1, 5));
        insert.Text(col++, "T" + random.Digits(4));
        insert.Int(col++, random.Between(1000, 9999));
        insert.Text(col++, "Interno " + std::to_string(random.Between(1, 30)));
        insert.Int(col++, random.Between(0, 1));
        insert.Int(col++, random.Between(0, 1));
        for (int k = 0; k < 6; ++k)
            insert.Int(col++, random.Between(1, 50));
        if (!insert.Run()) return Fail(error, "Condomini", db);
    }
    return true;
}

// Condominium 1 gets `busiest` movements; the last one none; the others a
// few dozen each. Returns the total written, or -1.
int WriteMovements(sqlite3* db, Random& random, int condominiums, int busiest, std::string& error) {
    Statement insert(db, R"sql(INSERT INTO MovConti (idCondominio, idMovimento, idCausale, Data,
        Importo, Valuta, Descrizione) VALUES (?,?,?,?,?,?,?))sql");
    if (!insert.ok()) {
        Fail(error, "MovConti", db);
        return -1;
    }
    int total = 0;
    for (int condominium = 1; condominium <= condominiums; ++condominium) {
        const int count = condominium == 1              ? busiest
                          : condominium == condominiums ? 0
                                                        : random.Between(15, 90);
        for (int n = 1; n <= count; ++n) {
            const bool missingCause = random.PerMille(10);
            const Cause& cause = random.Pick(kCauses);
            const int causeId =
                missingCause ? kMissingCause : static_cast<int>(&cause - kCauses.data()) + 1;
            insert.Int(1, condominium);
            insert.Int(2, n);
            insert.Int(3, causeId);
            insert.Text(4, random.PerMille(20) ? std::optional<std::string>() : IsoDate(random));
            insert.Text(5,
                        random.PerMille(20) ? std::optional<std::string>() : Amount(random, cause));
            insert.Text(6, std::string("€"));
            insert.Text(7, random.PerMille(15) ? std::string()
                                               : Cut(Description(random, cause, n), 50));
            if (!insert.Run()) {
                Fail(error, "MovConti", db);
                return -1;
            }
            ++total;
        }
    }
    return total;
}

int CountRows(sqlite3* db, const char* table) {
    const std::string sql = std::string("SELECT count(*) FROM \"") + table + "\"";
    sqlite3_stmt* stmt = nullptr;
    int count = 0;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        count = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    return count;
}

} // namespace

bool MakeDemoArchive(const std::string& folder, const Options& options, Result& result,
                     std::string& error) {
    if (options.movements < 0)
        return Fail(error, "Il numero di movimenti non può essere negativo", nullptr);
    std::error_code ec;
    const fs::path root = fs::absolute(folder, ec);
    if (ec) return Fail(error, "Cartella non valida: " + folder, nullptr);
    fs::create_directories(root / "Archivi", ec);
    if (ec)
        return Fail(error, "Non riesco a creare la cartella " + (root / "Archivi").string(),
                    nullptr);

    const fs::path archive = root / "Archivi" / "Bracotene.db";
    fs::remove(archive, ec);
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        fs::remove(archive.string() + suffix, ec);

    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(archive.string().c_str(), &handle,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Db db(handle);
    if (rc != SQLITE_OK)
        return Fail(error, "Non riesco a creare l'archivio " + archive.string(), handle);
    char* message = nullptr;
    if (sqlite3_exec(db.get(), kSchema, nullptr, nullptr, &message) != SQLITE_OK) {
        error = std::string("Schema: ") + (message ? message : "");
        sqlite3_free(message);
        return false;
    }
    sqlite3_exec(db.get(), "BEGIN", nullptr, nullptr, nullptr);
    Random random(20040312);
    if (!WriteCauses(db.get(), error) || !WriteCondominiums(db.get(), random, error)) return false;
    const int condominiums = static_cast<int>(kBuildingNames.size());
    const int movements = WriteMovements(db.get(), random, condominiums, options.movements, error);
    if (movements < 0 || !WriteChartOfAccounts(db.get(), error)) return false;
    if (sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        return Fail(error, "Commit", db.get());

    const fs::path config = root / "engine.ini";
    std::ofstream ini(config, std::ios::binary | std::ios::trunc);
    ini << "[Bracotene]\nDriver=SQLITE\nPath=Archivi/Bracotene.db\n";
    ini.close();
    if (!ini) return Fail(error, "Non riesco a scrivere " + config.string(), nullptr);

    result.archive = archive.string();
    result.engineConfig = config.string();
    result.condominiums = condominiums;
    result.movements = movements;
    result.accounts = CountRows(db.get(), "PianoConti");
    return true;
}

} // namespace demoarchive
