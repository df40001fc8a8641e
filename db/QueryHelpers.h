#pragma once
// Statements of the engine's SQL through short-lived queries bound to the
// current database and session (see SetDataBase). Queries returned by Query
// and QueryOpen belong to the caller; the typed readers destroy their own.

#include "platform/core/AnsiString.h"
#include "platform/core/DateTime.h"
#include "platform/core/Types.h"

class TQuery;

// A new prepared query, not yet open; null on any error.
TQuery* Query(const AnsiString& statement, bool forwardOnly);
// A new open query on its first row; null on any error.
TQuery* QueryOpen(const AnsiString& statement, bool forwardOnly);
// As Query and QueryOpen, for callers that must tell why a statement failed:
// the error (EDatabaseError with the engine's message and the statement)
// reaches the caller instead of a null.
TQuery* QueryChecked(const AnsiString& statement, bool forwardOnly);
TQuery* QueryOpenChecked(const AnsiString& statement, bool forwardOnly);

// The first column of the first row, or the type's default on any error or
// an empty result.
int QueryInt(const AnsiString& statement);
bool QueryBool(const AnsiString& statement);
TDateTime QueryDate(const AnsiString& statement); // whole days
AnsiString QueryStr(const AnsiString& statement);
char QueryChar(const AnsiString& statement);
// As the others, but an error while opening or reading reaches the caller.
Currency QueryCurrency(const AnsiString& statement);

// Runs the statement on the one shared command query: rows affected, or -1
// after a beep when the engine refuses it.
int CountQueryExecute(const AnsiString& statement);
bool QueryExecute(const AnsiString& statement);

// The names every query created from now on is bound to. Discards the shared
// command query so that the next statement runs on the new names.
void SetDataBase(const AnsiString& databaseName, const AnsiString& sessionName);
const AnsiString& CurrentDatabaseName();
const AnsiString& CurrentSessionName();
