#pragma once
// The seam between the datasets and a database engine. The datasets speak
// only to these interfaces; a driver per engine (a SQLite file, a PostgreSQL
// server) implements them. Text crosses this seam in Windows-1252; the driver
// converts at its own boundary.

#include "platform/data/DbValue.h"
#include "platform/data/Field.h"
#include "platform/data/TableLock.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dbengine {

// A prepared statement. Errors raise EDatabaseError with the engine's
// message and the statement.
class Statement {
public:
    virtual ~Statement() = default;
    virtual const std::string& Sql() const = 0;
    virtual int ParamCount() const = 0;
    // 1-based, as SQL parameters are numbered.
    virtual void Bind(int index, const DbValue& value) = 0;
    virtual void ClearBindings() = 0;
    // True while a row is available.
    virtual bool Step() = 0;
    virtual void Reset() = 0;
    virtual int ColumnCount() const = 0;
    virtual std::string ColumnName(int column) const = 0;
    // The declared type of a result column, empty when the engine knows none.
    virtual std::string ColumnDeclType(int column) const = 0;
    virtual DbValue Column(int column) const = 0;
    // The field of each result column as its declared type alone gives it,
    // named as the column; DataType ftUnknown where only a value can tell.
    // Worked out once per compiled statement.
    virtual const std::vector<TFieldDef>& DeclaredFields() const = 0;
    // True when the statement does not write.
    virtual bool ReadOnly() const = 0;
    // Called before any connection runs a statement that writes while this
    // one is in the middle of its rows: its holder reads the rest then, so
    // they stay the rows of the moment it started and no connection waits
    // for this one's read to end. Empty: no call.
    virtual void SetBeforeWrite(std::function<void()> readRest) = 0;
    // Set before the first Step: the holder reads the rows once, front to
    // back, and lets each go as it moves on. A driver that would otherwise
    // hold every row at once may then hand them over in blocks.
    virtual void SetForwardOnly(bool forwardOnly) { (void)forwardOnly; }
};

struct ColumnInfo {
    std::string Name;
    std::string DeclType;
    bool NotNull = false;
    bool PrimaryKey = false;
    bool AutoIncrement = false;
    bool HasDefault = false;
    // The key that the engine fills in itself when it is left null.
    bool RowKey = false;
    // The default's SQL text as the engine keeps it, empty when none.
    std::string Default;
};

struct IndexColumn {
    std::string Name;
    std::string Collation; // empty: the column's own
    bool Descending = false;
};

// An index made by CREATE INDEX (not one that backs a key constraint).
struct IndexInfo {
    std::string Name;
    bool Unique = false;
    std::vector<IndexColumn> Columns;
};

class Connection {
public:
    virtual ~Connection() = default;
    virtual bool ReadOnly() const = 0;
    // A prepared statement for the text; statements are cached per text, so
    // preparing the same text again is cheap. The statement is reset and its
    // bindings cleared. Valid until the connection is destroyed.
    virtual std::shared_ptr<Statement> Prepare(const std::string& sql) = 0;
    // Runs a statement that returns no rows; the rows it changed.
    virtual std::int64_t Execute(const std::string& sql, const std::vector<DbValue>& params) = 0;
    virtual std::int64_t LastInsertKey() const = 0;
    virtual void Begin() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;

    // Schema. FindTable answers the stored spelling of a table name
    // (matched case-insensitively), empty when there is none.
    virtual std::string FindTable(const std::string& name) = 0;
    // The tables in the order they were made.
    virtual std::vector<std::string> Tables() = 0;
    virtual std::vector<ColumnInfo> Columns(const std::string& table) = 0;
    // Columns of a named index of the table; empty when there is no such index.
    virtual std::vector<IndexColumn> IndexColumns(const std::string& table,
                                                  const std::string& index) = 0;
    virtual std::vector<IndexInfo> Indexes(const std::string& table) = 0;
    // The expression that identifies a row of the table in SELECT, UPDATE
    // and DELETE (an integer), and a quoted identifier.
    virtual std::string RowKeyExpression(const std::string& table) = 0;
    virtual std::string QuoteIdentifier(const std::string& name) const = 0;
    // An ORDER BY term that sorts as the index column does.
    virtual std::string OrderTerm(const IndexColumn& column) const;
    // The locks of one owner on a table, seen by every program that uses the
    // archive. By default they live in a lock file in lockDir.
    virtual std::unique_ptr<TableLock> OpenTableLock(const std::string& table,
                                                     const std::string& lockDir);
    // The field type for a declared column type (and whether it autoincrements).
    virtual TFieldDef FieldDefFor(const ColumnInfo& column) const = 0;
    // A text that names the archive the same way in every program (for locks).
    virtual std::string Identity() const = 0;
    // True once the connection is known to be gone (the server restarted, the
    // network fell): nothing more can run on it, and its locks are gone too.
    virtual bool Broken() const { return false; }
};

struct ConnectParams {
    std::string Driver;     // "SQLITE", "POSTGRES"
    std::string Path;       // a file for SQLite
    std::string Connection; // a libpq connection string for PostgreSQL
    std::string AliasName;
    bool ReadOnly = false;
};

class Driver {
public:
    virtual ~Driver() = default;
    virtual std::unique_ptr<Connection> Connect(const ConnectParams& params) = 0;
};

// The driver registered under a name (case-insensitive), null when none.
Driver* FindDriver(const std::string& name);
void RegisterDriver(const std::string& name, std::unique_ptr<Driver> driver);

// A declared SQL type taken apart: "numeric ( 32, 2 )" is NUMERIC and 32, 2.
struct DeclTypeParts {
    std::string Base; // upper-case words, one space between them
    std::vector<int> Args;
};
DeclTypeParts SplitDeclType(const std::string& declType);

// Field definition from a declared SQL type such as "VARCHAR(50)" or
// "NUMERIC(32,2)"; storage gives the type when the declaration is empty.
TFieldDef FieldDefFromDeclType(const std::string& name, const std::string& declType,
                               const DbValue* storage = nullptr);

} // namespace dbengine
