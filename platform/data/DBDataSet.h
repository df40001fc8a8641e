#pragma once
// A dataset bound to a database of a session by name, as tables and queries are.

#include "platform/data/DataSet.h"

#include <cstdint>

namespace dbengine {
class Connection;
}
class TDatabase;
class TSession;

class TDBDataSet : public TDataSet {
public:
    explicit TDBDataSet(TComponent* owner = nullptr);
    ~TDBDataSet() override;
    QUOR_CLASS_NAME(TDBDataSet)

    const AnsiString& DatabaseName() const { return databaseName_; }
    void SetDatabaseName(const AnsiString& name);
    // Empty: the default session.
    const AnsiString& SessionName() const { return sessionName_; }
    void SetSessionName(const AnsiString& name);

    // The database named by DatabaseName in the session (created for an
    // alias of that name when the session has none), connected.
    TDatabase* Database();
    // True when the dataset is open on a connection that is gone (the server
    // restarted): it can only be closed and opened again.
    bool ConnectionLost();

protected:
    // The database, connected, with this dataset registered on it so that
    // disconnecting closes the dataset.
    TDatabase* OpenDatabase();
    // The database's connection for this dataset's work. Opening, it
    // connects again when the old connection was lost; open, a dataset whose
    // connection was lost fails with a message that says so.
    dbengine::Connection& LiveConnection();
    void InternalClose() override;
    // An open that found the connection lost (the server restarted) tries
    // once more, on a new connection.
    bool RetryOpen() override;

private:
    AnsiString databaseName_;
    AnsiString sessionName_;
    TDatabase* database_ = nullptr; // while open
    std::uint64_t connectionSerial_ = 0; // of the connection it opened on
};
