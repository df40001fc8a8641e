#pragma once
// The platform's session and database on the alias "ArchivioBench",
// read-only, bound as the current ones of the query helpers for the
// lifetime of the object.

#include "db/QueryHelpers.h"
#include "platform/data/Session.h"

class BoundArchive {
public:
    BoundArchive() {
        session_.SetSessionName("SessioneBench");
        database_.SetDatabaseName("dbBench");
        database_.SetAliasName("ArchivioBench");
        database_.SetSessionName("SessioneBench");
        database_.SetReadOnly(true);
        database_.SetConnected(true);
        SetDataBase("dbBench", "SessioneBench");
    }
    ~BoundArchive() { SetDataBase("", ""); }
    BoundArchive(const BoundArchive&) = delete;
    BoundArchive& operator=(const BoundArchive&) = delete;

private:
    TSession session_;
    TDatabase database_;
};
