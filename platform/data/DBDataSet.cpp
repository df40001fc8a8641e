#include "platform/data/DBDataSet.h"

#include "platform/data/Session.h"

TDBDataSet::TDBDataSet(TComponent* owner) : TDataSet(owner) {}

TDBDataSet::~TDBDataSet() = default;

void TDBDataSet::SetDatabaseName(const AnsiString& name) {
    CheckInactive();
    databaseName_ = name;
}

void TDBDataSet::SetSessionName(const AnsiString& name) {
    CheckInactive();
    sessionName_ = name;
}

TDatabase* TDBDataSet::Database() {
    if (database_) return database_;
    if (databaseName_.IsEmpty()) DatabaseError("Database non indicato per " + DisplayName());
    TDatabase* db = Sessions->SessionByName(sessionName_)->OpenDatabase(databaseName_);
    if (!db->Connected()) db->SetConnected(true);
    return db;
}

TDatabase* TDBDataSet::OpenDatabase() {
    TDatabase* db = Database();
    db->RegisterDataSet(this);
    database_ = db;
    return db;
}

dbengine::Connection& TDBDataSet::LiveConnection() {
    TDatabase* db = Database();
    dbengine::Connection& conn = db->Connection(this);
    if (!Active())
        connectionSerial_ = db->ConnectionSerial();
    else if (connectionSerial_ != db->ConnectionSerial())
        DatabaseError(db->LostConnectionMessage() + " (" + DisplayName() + ")");
    return conn;
}

bool TDBDataSet::ConnectionLost() {
    if (!Active() || !database_) return false;
    return database_->ConnectionLost() || connectionSerial_ != database_->ConnectionSerial();
}

bool TDBDataSet::RetryOpen() {
    TDatabase* db = Sessions->SessionByName(sessionName_)->FindDatabase(databaseName_);
    return db && db->ConnectionLost();
}

void TDBDataSet::InternalClose() {
    if (database_) database_->UnregisterDataSet(this);
    database_ = nullptr;
}
