#include "tools/demoarchive/ChartOfAccounts.h"

#include <sqlite3.h>

#include <string>
#include <vector>

namespace demoarchive {
namespace {

struct Group {
    const char* name;
    std::vector<const char*> accounts;
};

struct Category {
    const char* name;
    ChartIcon accountIcon;
    // What the accounts are split into, one level further down.
    std::vector<const char*> details;
    std::vector<Group> groups;
};

const std::vector<const char*> kScale = {"Scala A", "Scala B", "Scala C", "Box e cantine",
                                         "Parti comuni"};
const std::vector<const char*> kRate = {"Prima rata", "Seconda rata", "Terza rata",
                                        "Quarta rata"};
const std::vector<const char*> kEsercizi = {"Esercizio 2022", "Esercizio 2023",
                                            "Esercizio 2024"};
// Under some of the staircases, one level further still.
const std::vector<const char*> kInterni = {"Interni dal 1 all'8", "Interni dal 9 al 16"};

const std::vector<Category> kChart = {
    {"Spese generali",
     iconSpesa,
     kScale,
     {{"Assicurazioni",
       {"Polizza globale fabbricati", "Responsabilità civile", "Infortuni dipendenti",
        "Tutela legale"}},
      {"Imposte e tasse",
       {"Imposta di bollo", "Ritenute d'acconto", "Tassa passi carrai", "IMU parti comuni"}},
      {"Spese bancarie", {"Canone conto corrente", "Commissioni bonifici", "Interessi passivi"}},
      {"Posta e cancelleria", {"Raccomandate", "Fotocopie", "Cancelleria"}}}},
    {"Manutenzioni",
     iconSpesa,
     kScale,
     {{"Manutenzione ordinaria", {"Idraulico", "Elettricista", "Fabbro", "Vetraio", "Falegname"}},
      {"Ascensore",
       {"Canone di manutenzione", "Verifica biennale", "Riparazioni", "Telefono di emergenza"}},
      {"Facciate e coperture", {"Tetto", "Grondaie e pluviali", "Intonaci", "Tinteggiatura"}},
      {"Impianti",
       {"Citofono", "Antenna centralizzata", "Cancello automatico", "Impianto antincendio"}},
      {"Aree verdi", {"Potatura", "Taglio dell'erba", "Irrigazione"}}}},
    {"Servizi comuni",
     iconSpesa,
     kScale,
     {{"Pulizia", {"Impresa di pulizie", "Prodotti per la pulizia", "Sgombero neve"}},
      {"Energia elettrica", {"Luce scale", "Luce garage", "Luce cortile"}},
      {"Acqua", {"Acqua potabile", "Depurazione", "Letture dei contatori"}},
      {"Portineria", {"Stipendio del portiere", "Contributi INPS", "TFR", "Alloggio del portiere"}},
      {"Rifiuti", {"Raccolta differenziata", "Bidoni e contenitori"}}}},
    {"Riscaldamento",
     iconSpesa,
     kScale,
     {{"Combustibile", {"Gas metano", "Gasolio"}},
      {"Conduzione della caldaia", {"Terzo responsabile", "Controllo fumi", "Libretto d'impianto"}},
      {"Contabilizzazione", {"Ripartitori", "Letture e riparto"}},
      {"Centrale termica", {"Bruciatore", "Pompe di circolazione", "Canna fumaria"}}}},
    {"Spese amministrative",
     iconSpesa,
     kScale,
     {{"Compensi",
       {"Compenso dell'amministratore", "Compenso del revisore", "Consulenze legali",
        "Consulenze tecniche"}},
      {"Assemblee", {"Affitto della sala", "Convocazioni", "Verbali"}},
      {"Programmi e archivi", {"Programma di contabilità", "Archiviazione documenti"}}}},
    {"Entrate",
     iconEntrata,
     kRate,
     {{"Quote condominiali", {"Rate ordinarie", "Rate straordinarie", "Conguagli"}},
      {"Affitti", {"Locale della portineria", "Antenna telefonica", "Posti auto"}},
      {"Interessi e rimborsi", {"Interessi attivi", "Rimborsi assicurativi", "Rimborsi diversi"}}}},
    {"Fondi e riserve",
     iconFondo,
     kEsercizi,
     {{"Fondo cassa", {"Fondo cassa ordinario"}},
      {"Fondo lavori straordinari",
       {"Rifacimento della facciata", "Rifacimento del tetto", "Adeguamento dell'ascensore"}},
      {"Fondo TFR del portiere", {"Accantonamenti annuali"}}}},
};

const char* const kSchema = R"sql(
CREATE TABLE "PianoConti" (
  IdConto INTEGER PRIMARY KEY AUTOINCREMENT,
  Padre INTEGER,
  Descrizione VARCHAR(60),
  Icona INTEGER,
  Ordine INTEGER
);
CREATE INDEX idxPadre ON "PianoConti" (Padre, Ordine);
)sql";

class Writer {
public:
    Writer(sqlite3* db, std::string& error) : db_(db), error_(error) {
        if (sqlite3_prepare_v2(db, "INSERT INTO PianoConti VALUES (?, ?, ?, ?, ?)", -1, &insert_,
                               nullptr) != SQLITE_OK)
            Failed();
    }
    ~Writer() { sqlite3_finalize(insert_); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    bool ok() const { return insert_ != nullptr && error_.empty(); }

    // Writes one account and answers its key (0 after a failure).
    int Add(int parent, const char* caption, int icon, int order) {
        if (!ok()) return 0;
        const int key = ++lastKey_;
        sqlite3_bind_int(insert_, 1, key);
        sqlite3_bind_int(insert_, 2, parent);
        sqlite3_bind_text(insert_, 3, caption, -1, SQLITE_STATIC);
        sqlite3_bind_int(insert_, 4, icon);
        sqlite3_bind_int(insert_, 5, order);
        const int rc = sqlite3_step(insert_);
        sqlite3_reset(insert_);
        if (rc != SQLITE_DONE) {
            Failed();
            return 0;
        }
        return key;
    }

private:
    void Failed() {
        if (error_.empty()) error_ = std::string("PianoConti: ") + sqlite3_errmsg(db_);
    }

    sqlite3* db_;
    std::string& error_;
    sqlite3_stmt* insert_ = nullptr;
    int lastKey_ = 0;
};

} // namespace

bool WriteChartOfAccounts(sqlite3* db, std::string& error) {
    error.clear();
    char* message = nullptr;
    if (sqlite3_exec(db, kSchema, nullptr, nullptr, &message) != SQLITE_OK) {
        error = std::string("PianoConti: ") + (message ? message : "");
        sqlite3_free(message);
        return false;
    }
    Writer writer(db, error);
    // Accounts are numbered across the whole chart, so that how many details
    // each gets varies from one to the next without a random generator.
    int accountNumber = 0;
    for (std::size_t c = 0; c < kChart.size(); ++c) {
        const Category& category = kChart[c];
        const int top = writer.Add(0, category.name, iconCategoria, static_cast<int>(c) + 1);
        for (std::size_t g = 0; g < category.groups.size(); ++g) {
            const Group& group = category.groups[g];
            const int middle =
                writer.Add(top, group.name, iconSottocategoria, static_cast<int>(g) + 1);
            for (std::size_t a = 0; a < group.accounts.size(); ++a) {
                ++accountNumber;
                const int account = writer.Add(middle, group.accounts[a], category.accountIcon,
                                               static_cast<int>(a) + 1);
                const std::size_t details =
                    (static_cast<std::size_t>(accountNumber) * 7 + 3) % (category.details.size() + 1);
                for (std::size_t d = 0; d < details; ++d) {
                    const int detail = writer.Add(account, category.details[d], iconDettaglio,
                                                  static_cast<int>(d) + 1);
                    // The first two staircases of every third account go one level deeper.
                    if (category.details == kScale && d < 2 && accountNumber % 3 == 0)
                        for (std::size_t i = 0; i < kInterni.size(); ++i)
                            writer.Add(detail, kInterni[i], iconDettaglio, static_cast<int>(i) + 1);
                }
            }
        }
    }
    return writer.ok();
}

bool AddChartOfAccounts(const std::string& archive, std::string& error) {
    error.clear();
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(archive.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        error = "Non riesco ad aprire l'archivio " + archive + ": " +
                (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close(db);
        return false;
    }
    bool ok = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok) error = "Non riesco a scrivere nell'archivio " + archive + ": " + sqlite3_errmsg(db);
    bool present = false;
    if (ok) {
        sqlite3_stmt* find = nullptr;
        ok = sqlite3_prepare_v2(db,
                                "SELECT 1 FROM sqlite_master WHERE type = 'table' AND "
                                "name = 'PianoConti' COLLATE NOCASE",
                                -1, &find, nullptr) == SQLITE_OK;
        if (ok) present = sqlite3_step(find) == SQLITE_ROW;
        else error = "L'archivio " + archive + " non si legge: " + sqlite3_errmsg(db);
        sqlite3_finalize(find);
    }
    if (ok && !present) {
        ok = WriteChartOfAccounts(db, error);
        if (!ok) error = "Non riesco ad aggiungere il piano dei conti a " + archive + ": " + error;
    }
    if (ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        error = "Non riesco a scrivere nell'archivio " + archive + ": " + sqlite3_errmsg(db);
        ok = false;
    }
    if (!ok) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return ok;
}

} // namespace demoarchive
