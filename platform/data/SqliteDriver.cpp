#include "platform/data/SqliteDriver.h"

#include "platform/core/Encoding.h"
#include "platform/core/Exception.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <unordered_map>

namespace dbengine {

namespace {

// Closed when the connection and every statement prepared on it are gone.
struct Handle {
    sqlite3* db = nullptr;
    ~Handle() { sqlite3_close_v2(db); }
};

[[noreturn]] void Fail(sqlite3* db, const std::string& sql) {
    std::string message = db ? Utf8ToCp1252(sqlite3_errmsg(db)) : "errore sconosciuto";
    const int code = db ? sqlite3_errcode(db) : SQLITE_ERROR;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        message = "archivio bloccato da un altro utente (" + message + ")";
    throw EDatabaseError(AnsiString("Errore SQL: " + message + "\nIstruzione: " + sql));
}

class SqliteStatement : public Statement {
public:
    SqliteStatement(std::shared_ptr<Handle> handle, sqlite3_stmt* stmt, std::string sql)
        : handle_(std::move(handle)), stmt_(stmt), sql_(std::move(sql)) {}
    ~SqliteStatement() override { sqlite3_finalize(stmt_); }

    const std::string& Sql() const override { return sql_; }
    int ParamCount() const override { return sqlite3_bind_parameter_count(stmt_); }

    void Bind(int index, const DbValue& value) override {
        int rc = SQLITE_OK;
        switch (value.index()) {
        case 0:
            rc = sqlite3_bind_null(stmt_, index);
            break;
        case 1:
            rc = sqlite3_bind_int64(stmt_, index, std::get<std::int64_t>(value));
            break;
        case 2:
            rc = sqlite3_bind_double(stmt_, index, std::get<double>(value));
            break;
        case 3: {
            const std::string utf8 = Cp1252ToUtf8(std::get<std::string>(value));
            rc = sqlite3_bind_text64(stmt_, index, utf8.data(), utf8.size(), SQLITE_TRANSIENT,
                                     SQLITE_UTF8);
            break;
        }
        }
        if (rc != SQLITE_OK) Fail(handle_->db, sql_);
    }

    void ClearBindings() override { sqlite3_clear_bindings(stmt_); }

    bool Step() override {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        sqlite3_reset(stmt_);
        Fail(handle_->db, sql_);
    }

    void Reset() override { sqlite3_reset(stmt_); }
    int ColumnCount() const override { return sqlite3_column_count(stmt_); }

    std::string ColumnName(int column) const override {
        const char* n = sqlite3_column_name(stmt_, column);
        return n ? Utf8ToCp1252(n) : std::string();
    }

    std::string ColumnDeclType(int column) const override {
        const char* t = sqlite3_column_decltype(stmt_, column);
        return t ? std::string(t) : std::string();
    }

    DbValue Column(int column) const override {
        switch (sqlite3_column_type(stmt_, column)) {
        case SQLITE_INTEGER:
            return std::int64_t{sqlite3_column_int64(stmt_, column)};
        case SQLITE_FLOAT:
            return sqlite3_column_double(stmt_, column);
        case SQLITE_TEXT: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
            const int n = sqlite3_column_bytes(stmt_, column);
            return Utf8ToCp1252(std::string_view(text ? text : "", static_cast<std::size_t>(n)));
        }
        case SQLITE_BLOB: {
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
            const int n = sqlite3_column_bytes(stmt_, column);
            return std::string(bytes ? bytes : "", static_cast<std::size_t>(n));
        }
        default:
            return DbValue();
        }
    }

    bool ReadOnly() const override { return sqlite3_stmt_readonly(stmt_) != 0; }

private:
    std::shared_ptr<Handle> handle_;
    sqlite3_stmt* stmt_;
    std::string sql_;
};

std::string UpperAscii(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

class SqliteConnection : public Connection {
public:
    SqliteConnection(std::shared_ptr<Handle> handle, bool readOnly, std::string identity)
        : handle_(std::move(handle)), readOnly_(readOnly), identity_(std::move(identity)) {}
    ~SqliteConnection() override { cache_.clear(); }

    bool ReadOnly() const override { return readOnly_; }

    std::shared_ptr<Statement> Prepare(const std::string& sql) override {
        auto it = cache_.find(sql);
        if (it != cache_.end()) {
            it->second->Reset();
            it->second->ClearBindings();
            return it->second;
        }
        const std::string utf8 = Cp1252ToUtf8(sql);
        sqlite3_stmt* stmt = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(handle_->db, utf8.c_str(), static_cast<int>(utf8.size()), &stmt,
                               &tail) != SQLITE_OK)
            Fail(handle_->db, sql);
        if (!stmt)
            throw EDatabaseError(AnsiString("Errore SQL: istruzione vuota\nIstruzione: " + sql));
        // A second statement after the first would be silently ignored.
        for (const char* p = tail; p && *p; ++p) {
            if (!std::isspace(static_cast<unsigned char>(*p)) && *p != ';') {
                sqlite3_finalize(stmt);
                throw EDatabaseError(
                    AnsiString("Errore SQL: una sola istruzione alla volta\nIstruzione: " + sql));
            }
        }
        auto statement = std::make_shared<SqliteStatement>(handle_, stmt, sql);
        if (cache_.size() >= kCacheLimit) Trim();
        cache_.emplace(sql, statement);
        return statement;
    }

    std::int64_t Execute(const std::string& sql, const std::vector<DbValue>& params) override {
        std::shared_ptr<Statement> stmt = Prepare(sql);
        for (std::size_t i = 0; i < params.size(); ++i)
            stmt->Bind(static_cast<int>(i + 1), params[i]);
        const sqlite3_int64 before = sqlite3_total_changes64(handle_->db);
        try {
            while (stmt->Step()) {
            }
        } catch (...) {
            stmt->Reset();
            stmt->ClearBindings();
            throw;
        }
        stmt->Reset();
        stmt->ClearBindings();
        if (sqlite3_total_changes64(handle_->db) == before) return 0;
        return sqlite3_changes64(handle_->db);
    }

    std::int64_t LastInsertKey() const override { return sqlite3_last_insert_rowid(handle_->db); }

    void Begin() override { Execute("BEGIN IMMEDIATE", {}); }
    void Commit() override { Execute("COMMIT", {}); }
    void Rollback() override {
        if (!sqlite3_get_autocommit(handle_->db)) Execute("ROLLBACK", {});
    }

    std::string FindTable(const std::string& name) override {
        auto stmt = Prepare("SELECT name FROM sqlite_master WHERE type IN ('table','view') AND "
                            "name = ? COLLATE NOCASE");
        stmt->Bind(1, name);
        std::string found;
        if (stmt->Step()) {
            const DbValue v = stmt->Column(0);
            if (v.index() == 3) found = std::get<std::string>(v);
        }
        stmt->Reset();
        return found;
    }

    std::vector<ColumnInfo> Columns(const std::string& table) override {
        // The table's own text tells whether its key is AUTOINCREMENT.
        bool autoinc = false;
        {
            auto stmt = Prepare("SELECT sql FROM sqlite_master WHERE name = ? COLLATE NOCASE");
            stmt->Bind(1, table);
            if (stmt->Step()) {
                const DbValue v = stmt->Column(0);
                if (v.index() == 3)
                    autoinc = UpperAscii(std::get<std::string>(v)).find("AUTOINCREMENT") !=
                              std::string::npos;
            }
            stmt->Reset();
        }
        std::vector<ColumnInfo> out;
        auto stmt = Prepare("PRAGMA table_info(" + QuoteIdentifier(table) + ")");
        while (stmt->Step()) {
            ColumnInfo c;
            const DbValue name = stmt->Column(1), type = stmt->Column(2);
            if (name.index() == 3) c.Name = std::get<std::string>(name);
            if (type.index() == 3) c.DeclType = std::get<std::string>(type);
            const DbValue nn = stmt->Column(3), pk = stmt->Column(5);
            c.NotNull = nn.index() == 1 && std::get<std::int64_t>(nn) != 0;
            c.PrimaryKey = pk.index() == 1 && std::get<std::int64_t>(pk) != 0;
            c.HasDefault = stmt->Column(4).index() != 0;
            out.push_back(std::move(c));
        }
        stmt->Reset();
        // An INTEGER PRIMARY KEY alone is the rowid: SQLite assigns it.
        const auto keys =
            std::count_if(out.begin(), out.end(), [](const ColumnInfo& c) { return c.PrimaryKey; });
        for (ColumnInfo& c : out) {
            c.RowKey = keys == 1 && c.PrimaryKey && UpperAscii(c.DeclType) == "INTEGER";
            c.AutoIncrement = autoinc && c.RowKey;
        }
        return out;
    }

    std::vector<IndexColumn> IndexColumns(const std::string& table,
                                          const std::string& index) override {
        std::string stored;
        {
            auto stmt = Prepare("SELECT name FROM sqlite_master WHERE type = 'index' AND "
                                "tbl_name = ? COLLATE NOCASE AND name = ? COLLATE NOCASE");
            stmt->Bind(1, table);
            stmt->Bind(2, index);
            if (stmt->Step()) {
                const DbValue v = stmt->Column(0);
                if (v.index() == 3) stored = std::get<std::string>(v);
            }
            stmt->Reset();
        }
        std::vector<IndexColumn> out;
        if (stored.empty()) return out;
        auto stmt = Prepare("PRAGMA index_xinfo(" + QuoteIdentifier(stored) + ")");
        while (stmt->Step()) {
            const DbValue key = stmt->Column(5), name = stmt->Column(2);
            if (key.index() != 1 || std::get<std::int64_t>(key) == 0 || name.index() != 3) continue;
            IndexColumn c;
            c.Name = std::get<std::string>(name);
            const DbValue desc = stmt->Column(3), coll = stmt->Column(4);
            c.Descending = desc.index() == 1 && std::get<std::int64_t>(desc) != 0;
            if (coll.index() == 3) c.Collation = std::get<std::string>(coll);
            out.push_back(std::move(c));
        }
        stmt->Reset();
        return out;
    }

    std::string RowKeyExpression() const override { return "_rowid_"; }

    std::string QuoteIdentifier(const std::string& name) const override {
        std::string out = "\"";
        for (char c : name) {
            if (c == '"') out += '"';
            out += c;
        }
        return out + "\"";
    }

    TFieldDef FieldDefFor(const ColumnInfo& column) const override {
        TFieldDef def = FieldDefFromDeclType(column.Name, column.DeclType);
        if (column.AutoIncrement) def.DataType = ftAutoInc;
        def.Required = column.NotNull && !column.HasDefault && !column.RowKey;
        return def;
    }

    std::string Identity() const override { return identity_; }

private:
    static constexpr std::size_t kCacheLimit = 256;

    void Trim() {
        // Drop the statements no one else holds.
        for (auto it = cache_.begin(); it != cache_.end();) {
            if (it->second.use_count() == 1)
                it = cache_.erase(it);
            else
                ++it;
        }
    }

    std::shared_ptr<Handle> handle_;
    bool readOnly_;
    std::string identity_;
    std::unordered_map<std::string, std::shared_ptr<Statement>> cache_;
};

class SqliteDriver : public Driver {
public:
    std::unique_ptr<Connection> Connect(const ConnectParams& params) override {
        auto handle = std::make_shared<Handle>();
        const int flags =
            (params.ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
        const std::string path = Cp1252ToUtf8(params.Path);
        if (sqlite3_open_v2(path.c_str(), &handle->db, flags, nullptr) != SQLITE_OK) {
            const std::string message =
                handle->db ? Utf8ToCp1252(sqlite3_errmsg(handle->db)) : "memoria insufficiente";
            throw EDatabaseError(AnsiString("Impossibile aprire l'archivio '" + params.Path +
                                            "' dell'alias '" + params.AliasName + "': " + message));
        }
        sqlite3_busy_timeout(handle->db, 5000);
        sqlite3_extended_result_codes(handle->db, 0);
        std::string identity = params.Path;
#ifndef _WIN32
        if (char* real = realpath(path.c_str(), nullptr)) {
            identity = Utf8ToCp1252(real);
            std::free(real);
        }
#endif
        auto connection =
            std::make_unique<SqliteConnection>(std::move(handle), params.ReadOnly, identity);
        // A file that is not a database fails on its first read: find out now.
        connection->Execute("SELECT count(*) FROM sqlite_master", {});
        return connection;
    }
};

} // namespace

std::unique_ptr<Driver> MakeSqliteDriver() {
    return std::make_unique<SqliteDriver>();
}

} // namespace dbengine
