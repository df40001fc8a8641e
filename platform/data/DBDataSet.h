#pragma once
// A dataset bound to a database of a session by name, as tables and queries are.

#include "platform/data/DataSet.h"

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

protected:
    // The database, connected, with this dataset registered on it so that
    // disconnecting closes the dataset.
    TDatabase* OpenDatabase();
    void InternalClose() override;

private:
    AnsiString databaseName_;
    AnsiString sessionName_;
    TDatabase* database_ = nullptr; // while open
};
