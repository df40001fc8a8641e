#include "tools/gallery/GalleryArchive.h"
#include "tools/gallery/GalleryFolder.h"

#include "platform/core/Encoding.h"
#include "platform/core/Exception.h"
#include "platform/data/EngineConfig.h"
#include "tools/demoarchive/ChartOfAccounts.h"

#include <QByteArray>
#include <QtGlobal>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>

namespace gallery {
namespace {

namespace fs = std::filesystem;

// Removes a file with the journals SQLite may have left beside it.
void RemoveArchive(const fs::path& file) {
    std::error_code ec;
    fs::remove(file, ec);
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        fs::remove(file.string() + suffix, ec);
}

// An archive opened read-only: nothing it does can change the file.
class Source {
public:
    explicit Source(const fs::path& file) {
        if (sqlite3_open_v2(file.string().c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) !=
            SQLITE_OK) {
            error_ = "non riesco ad aprire l'archivio " + Quoted(file);
            return;
        }
        // Opening reads nothing yet: the first statement tells a file that is
        // not an archive.
        const int rc = sqlite3_exec(db_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr,
                                    nullptr);
        if (rc == SQLITE_NOTADB)
            error_ = "il file " + Quoted(file) + " non è un archivio SQLite";
        else if (rc != SQLITE_OK)
            error_ = "non riesco a leggere l'archivio " + Quoted(file) + ": " + sqlite3_errmsg(db_);
    }
    ~Source() { sqlite3_close(db_); }
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;

    sqlite3* db() const { return db_; }
    const std::string& error() const { return error_; }

private:
    sqlite3* db_ = nullptr;
    std::string error_;
};

// The whole archive through SQLite's backup, so that a copy taken while the
// utility has the file open is consistent.
bool CopyArchive(const Source& source, const fs::path& target, std::string& error) {
    sqlite3* to = nullptr;
    bool ok = sqlite3_open_v2(target.string().c_str(), &to,
                              SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK;
    if (!ok) error = "non riesco a creare la copia " + Quoted(target);
    if (ok) {
        sqlite3_backup* backup = sqlite3_backup_init(to, "main", source.db(), "main");
        int rc = backup ? sqlite3_backup_step(backup, -1) : sqlite3_errcode(to);
        const int finish = backup ? sqlite3_backup_finish(backup) : SQLITE_OK;
        if (rc == SQLITE_DONE) rc = finish;
        ok = rc == SQLITE_OK || rc == SQLITE_DONE;
        if (!ok) error = "non riesco a scrivere la copia " + Quoted(target) + ": " + sqlite3_errstr(rc);
    }
    sqlite3_close(to);
    return ok;
}

} // namespace

bool UtilityArchive(std::string& archive, std::string& error) {
    try {
        archive = Cp1252ToUtf8(dbengine::ResolveAlias("Bracotene").Path);
        return true;
    } catch (const Exception& e) {
        error = Cp1252ToUtf8(e.Message().view());
    }
    return false;
}

bool MakeGalleryCopy(const std::string& source, const std::string& folder, GalleryCopy& copy,
                     std::string& error) {
    std::error_code ec;
    const fs::path from = fs::absolute(source, ec);
    if (ec || !fs::is_regular_file(from, ec)) {
        error = "l'archivio da copiare " + Quoted(source) + " non esiste";
        return false;
    }
    const Source archive(from);
    if (!archive.error().empty()) {
        error = archive.error();
        return false;
    }
    fs::path dir;
    if (!MakeGalleryFolder(folder, dir, error)) return false;
    const fs::path target = dir / kCopyName;
    const fs::path config = dir / kConfigName;
    if (fs::equivalent(from, target, ec) || fs::equivalent(from, config, ec)) {
        error = "l'archivio " + Quoted(source) +
                " è già la copia della galleria: indica un'altra cartella";
        return false;
    }

    // Written aside and renamed, so that an older copy stays whole until
    // the new one is.
    const fs::path aside = dir / (std::string(kCopyName) + ".nuovo");
    RemoveArchive(aside);
    if (!CopyArchive(archive, aside, error)) {
        RemoveArchive(aside);
        return false;
    }
    if (!demoarchive::AddChartOfAccounts(aside.string(), error)) {
        RemoveArchive(aside);
        return false;
    }
    // A journal left by an older copy must not be applied to the new one.
    RemoveArchive(target);
    fs::rename(aside, target, ec);
    if (ec) {
        RemoveArchive(aside);
        error = "non riesco a scrivere la copia " + Quoted(target);
        return false;
    }

    std::ofstream ini(config, std::ios::binary | std::ios::trunc);
    ini << "[" << kAlias << "]\nDriver=SQLITE\nPath=" << kCopyName << "\n";
    ini.close();
    if (!ini) {
        error = "non riesco a scrivere la configurazione " + Quoted(config);
        return false;
    }
    copy.archive = target.string();
    copy.engineConfig = config.string();
    return true;
}

void UseGalleryCopy(const GalleryCopy& copy) {
    qputenv("QUOR_ENGINE_CONFIG", QByteArray::fromStdString(copy.engineConfig));
}

} // namespace gallery
