#pragma once
// TSession: a user's engine session, with the folders the engine shares with
// other programs (NetFileDir) and keeps for itself (PrivateDir). TDatabase: a
// connection to an alias, found by its DatabaseName in its session.

#include "platform/core/AnsiString.h"
#include "platform/core/Component.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace dbengine {
class Connection;
}
class TDatabase;
class TDataSet;

class TSession : public TComponent {
public:
    explicit TSession(TComponent* owner = nullptr);
    ~TSession() override;
    QUOR_CLASS_NAME(TSession)

    // Unique in Sessions; the default session is "Default".
    const AnsiString& SessionName() const { return sessionName_; }
    void SetSessionName(const AnsiString& name);

    bool Active() const { return active_; }
    // Activating raises OnStartup first, then starts. While loading, the
    // activation waits for Loaded(). Deactivating closes its databases.
    void SetActive(bool active);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }

    // Existing folders only: EDatabaseError otherwise. Stored with a final
    // path delimiter; empty for none.
    const AnsiString& NetFileDir() const { return netFileDir_; }
    void SetNetFileDir(const AnsiString& dir);
    const AnsiString& PrivateDir() const { return privateDir_; }
    void SetPrivateDir(const AnsiString& dir);

    std::function<void(TObject*)> OnStartup;

    // Databases of this session.
    int DatabaseCount() const;
    TDatabase* Databases(int index) const;
    TDatabase* FindDatabase(const AnsiString& databaseName) const;
    // The database of that name; one is created (owned by the session,
    // connected to the alias of the same name) when none exists.
    TDatabase* OpenDatabase(const AnsiString& databaseName);

protected:
    void Loaded() override;

private:
    AnsiString sessionName_;
    AnsiString netFileDir_;
    AnsiString privateDir_;
    bool active_ = false;
    bool activateWhenLoaded_ = false;
};

class TSessionList {
public:
    int Count() const { return static_cast<int>(sessions_.size()); }
    TSession* Sessions(int index) const;
    // Case-insensitive; an empty name is the default session; null when none.
    TSession* FindSession(const AnsiString& name) const;
    // FindSession, or EDatabaseError "Sessione 'X' non trovata".
    TSession* SessionByName(const AnsiString& name) const;

private:
    friend class TSession;
    std::vector<TSession*> sessions_;
};

// The process's sessions and the default session ("Default").
extern TSessionList* const Sessions;
extern TSession* const Session;

enum TTransIsolation { tiDirtyRead, tiReadCommitted, tiRepeatableRead };

class TDatabase : public TComponent {
public:
    explicit TDatabase(TComponent* owner = nullptr);
    ~TDatabase() override;
    QUOR_CLASS_NAME(TDatabase)

    // The name datasets use; unique within its session.
    const AnsiString& DatabaseName() const { return databaseName_; }
    void SetDatabaseName(const AnsiString& name);
    const AnsiString& AliasName() const { return aliasName_; }
    void SetAliasName(const AnsiString& alias);
    const AnsiString& SessionName() const { return sessionName_; }
    void SetSessionName(const AnsiString& name);
    // The session it belongs to (the default one for an empty name).
    TSession* Session() const;

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    TTransIsolation TransIsolation() const { return transIsolation_; }
    void SetTransIsolation(TTransIsolation isolation) { transIsolation_ = isolation; }

    bool Connected() const { return connection_ != nullptr; }
    // Connecting activates the session when needed. While loading, the
    // connection waits for Loaded(). Disconnecting closes its datasets.
    void SetConnected(bool connected);
    void Open() { SetConnected(true); }
    void Close() { SetConnected(false); }

    // The live connection; connects when needed. A connection found broken
    // is dropped first: every open dataset but keep is closed (their locks
    // died with it), and a new connection is made.
    dbengine::Connection& Connection(TDataSet* keep = nullptr);
    // Moves on with every new connection: a dataset opened on an older one
    // has lost it.
    std::uint64_t ConnectionSerial() const { return connectionSerial_; }
    // True when the connection is known to be gone: the next use drops it.
    bool ConnectionLost() const;
    // What an open dataset says once its connection is gone.
    AnsiString LostConnectionMessage() const;
    // The folder where the lock files of this database's tables are kept.
    AnsiString LockDir() const;

    // Datasets using this database (they register while open).
    void RegisterDataSet(TDataSet* dataSet);
    void UnregisterDataSet(TDataSet* dataSet);

protected:
    void Loaded() override;

private:
    AnsiString databaseName_;
    AnsiString aliasName_;
    AnsiString sessionName_;
    bool readOnly_ = false;
    TTransIsolation transIsolation_ = tiReadCommitted;
    bool connectWhenLoaded_ = false;
    std::unique_ptr<dbengine::Connection> connection_;
    std::uint64_t connectionSerial_ = 0;
    std::vector<TDataSet*> dataSets_;

    void DropBrokenConnection(TDataSet* keep);
};
