#include "platform/data/Session.h"

#include "platform/core/Exception.h"
#include "platform/core/Files.h"
#include "platform/data/DataSet.h"
#include "platform/data/Driver.h"
#include "platform/data/EngineConfig.h"
#include "platform/data/LockFile.h"

#include <algorithm>

// Sessions must exist before the default session registers in it.
TSessionList* const Sessions = new TSessionList;
TSession* const Session = [] {
    auto* s = new TSession(nullptr);
    s->SetSessionName("Default");
    return s;
}();

namespace {

// Every database of the process; a session finds its own by name.
std::vector<TDatabase*>& AllDatabases() {
    static std::vector<TDatabase*> all;
    return all;
}

AnsiString CheckedDir(const AnsiString& dir, const char* what) {
    if (dir.IsEmpty()) return dir;
    const AnsiString normal = NormalizePath(dir);
    if (!DirectoryExists(normal))
        throw EDatabaseError("Cartella '" + dir + "' non trovata: non pu\xF2 essere la " + what +
                             " della sessione");
    return IncludeTrailingPathDelimiter(normal);
}

} // namespace

// --- TSessionList ------------------------------------------------------------

TSession* TSessionList::Sessions(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return sessions_[static_cast<std::size_t>(index)];
}

TSession* TSessionList::FindSession(const AnsiString& name) const {
    if (name.IsEmpty()) return Session;
    for (TSession* s : sessions_)
        if (s->SessionName().Length() == name.Length() && s->SessionName().EqualsIC(name)) return s;
    return nullptr;
}

TSession* TSessionList::SessionByName(const AnsiString& name) const {
    TSession* s = FindSession(name);
    if (!s) throw EDatabaseError("Sessione '" + name + "' non trovata");
    return s;
}

// --- TSession ------------------------------------------------------------------

TSession::TSession(TComponent* owner) : TComponent(owner) {
    Sessions->sessions_.push_back(this);
}

TSession::~TSession() {
    try {
        SetActive(false);
    } catch (...) {
    }
    auto& list = Sessions->sessions_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TSession::SetSessionName(const AnsiString& name) {
    if (name.EqualsIC(sessionName_)) {
        sessionName_ = name;
        return;
    }
    if (active_)
        throw EDatabaseError("Impossibile rinominare la sessione attiva '" + sessionName_ + "'");
    for (TSession* s : Sessions->sessions_)
        if (s != this && !name.IsEmpty() && s->SessionName().EqualsIC(name))
            throw EDatabaseError("Sessione '" + name + "' gi\xE0 esistente");
    sessionName_ = name;
}

void TSession::SetActive(bool active) {
    if (active) {
        if (IsLoading()) {
            activateWhenLoaded_ = true;
            return;
        }
        if (active_) return;
        if (OnStartup) OnStartup(this);
        active_ = true;
    } else {
        activateWhenLoaded_ = false;
        if (!active_) return;
        for (int i = DatabaseCount() - 1; i >= 0; --i)
            Databases(i)->SetConnected(false);
        active_ = false;
    }
}

void TSession::Loaded() {
    if (activateWhenLoaded_) {
        activateWhenLoaded_ = false;
        SetActive(true);
    }
}

void TSession::SetNetFileDir(const AnsiString& dir) {
    netFileDir_ = CheckedDir(dir, "cartella di rete");
}

void TSession::SetPrivateDir(const AnsiString& dir) {
    privateDir_ = CheckedDir(dir, "cartella privata");
}

TDatabase* TSession::Databases(int index) const {
    int n = 0;
    for (TDatabase* db : AllDatabases())
        if (db->Session() == this && n++ == index) return db;
    return nullptr;
}

int TSession::DatabaseCount() const {
    return static_cast<int>(std::count_if(AllDatabases().begin(), AllDatabases().end(),
                                          [this](TDatabase* db) { return db->Session() == this; }));
}

TDatabase* TSession::FindDatabase(const AnsiString& databaseName) const {
    if (databaseName.IsEmpty()) return nullptr;
    for (TDatabase* db : AllDatabases())
        // The name first: finding a database's session is a lookup of its own.
        if (db->DatabaseName().Length() == databaseName.Length() &&
            db->DatabaseName().EqualsIC(databaseName) && db->Session() == this)
            return db;
    return nullptr;
}

TDatabase* TSession::OpenDatabase(const AnsiString& databaseName) {
    if (databaseName.IsEmpty()) throw EDatabaseError("Nome del database non indicato");
    if (TDatabase* db = FindDatabase(databaseName)) return db;
    // A dataset naming an alias directly gets a database of its own, kept by the session.
    auto* db = new TDatabase(this);
    db->SetDatabaseName(databaseName);
    db->SetAliasName(databaseName);
    db->SetSessionName(sessionName_);
    return db;
}

// --- TDatabase ---------------------------------------------------------------------

TDatabase::TDatabase(TComponent* owner) : TComponent(owner) {
    AllDatabases().push_back(this);
}

TDatabase::~TDatabase() {
    try {
        SetConnected(false);
    } catch (...) {
    }
    auto& all = AllDatabases();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

void TDatabase::SetDatabaseName(const AnsiString& name) {
    if (Connected())
        throw EDatabaseError("Impossibile cambiare il nome del database connesso '" +
                             databaseName_ + "'");
    databaseName_ = name;
}

void TDatabase::SetAliasName(const AnsiString& alias) {
    if (Connected())
        throw EDatabaseError("Impossibile cambiare l'alias del database connesso '" +
                             databaseName_ + "'");
    aliasName_ = alias;
}

void TDatabase::SetSessionName(const AnsiString& name) {
    if (Connected())
        throw EDatabaseError("Impossibile cambiare la sessione del database connesso '" +
                             databaseName_ + "'");
    sessionName_ = name;
}

TSession* TDatabase::Session() const {
    return Sessions->FindSession(sessionName_);
}

void TDatabase::SetReadOnly(bool readOnly) {
    if (Connected() && readOnly != readOnly_)
        throw EDatabaseError("Impossibile cambiare la sola lettura del database connesso '" +
                             databaseName_ + "'");
    readOnly_ = readOnly;
}

void TDatabase::SetConnected(bool connected) {
    if (connected) {
        if (IsLoading()) {
            connectWhenLoaded_ = true;
            return;
        }
        if (connection_) return;
        TSession* session = Sessions->SessionByName(sessionName_);
        if (!session->Active()) session->SetActive(true);
        const AnsiString alias = aliasName_.IsEmpty() ? databaseName_ : aliasName_;
        if (alias.IsEmpty()) throw EDatabaseError(AnsiString("Alias del database non indicato"));
        dbengine::ConnectParams params = dbengine::ResolveAlias(alias.str());
        params.ReadOnly = readOnly_;
        connection_ = dbengine::FindDriver(params.Driver)->Connect(params);
        ++connectionSerial_;
        // Lock files left by programs that died go when a program starts on the archive.
        dbengine::LockFile::RemoveUnheld(LockDir().str());
    } else {
        connectWhenLoaded_ = false;
        if (!connection_) return;
        for (TDataSet* ds : std::vector<TDataSet*>(dataSets_))
            ds->Close();
        dataSets_.clear();
        connection_.reset();
    }
}

void TDatabase::Loaded() {
    if (connectWhenLoaded_) {
        connectWhenLoaded_ = false;
        SetConnected(true);
    }
}

dbengine::Connection& TDatabase::Connection(TDataSet* keep) {
    if (connection_ && connection_->Broken()) DropBrokenConnection(keep);
    if (!connection_) SetConnected(true);
    if (!connection_)
        throw EDatabaseError("Database '" + databaseName_ +
                             "' non connesso durante il caricamento");
    return *connection_;
}

void TDatabase::DropBrokenConnection(TDataSet* keep) {
    const bool keepRegistered =
        keep && std::find(dataSets_.begin(), dataSets_.end(), keep) != dataSets_.end();
    for (TDataSet* ds : std::vector<TDataSet*>(dataSets_)) {
        if (ds == keep) continue;
        // Nothing of theirs is left on the server to release.
        try {
            ds->Close();
        } catch (...) {
        }
    }
    dataSets_.clear();
    if (keepRegistered) dataSets_.push_back(keep);
    connection_.reset();
}

bool TDatabase::ConnectionLost() const {
    return connection_ && connection_->Broken();
}

AnsiString TDatabase::LostConnectionMessage() const {
    const AnsiString alias = aliasName_.IsEmpty() ? databaseName_ : aliasName_;
    return "La connessione al server dell'alias '" + alias +
           "' \xE8 stata interrotta: chiudere e riaprire l'archivio per riconnettersi";
}

AnsiString TDatabase::LockDir() const {
    if (TSession* s = Session(); s && !s->NetFileDir().IsEmpty()) return s->NetFileDir();
    if (connection_) return ExtractFilePath(AnsiString(connection_->Identity()));
    return AnsiString();
}

void TDatabase::RegisterDataSet(TDataSet* dataSet) {
    if (std::find(dataSets_.begin(), dataSets_.end(), dataSet) == dataSets_.end())
        dataSets_.push_back(dataSet);
}

void TDatabase::UnregisterDataSet(TDataSet* dataSet) {
    dataSets_.erase(std::remove(dataSets_.begin(), dataSets_.end(), dataSet), dataSets_.end());
}
