#include "platform/data/sqlite/SqliteDriver.h"

#include "platform/data/SqlLiterals.h"

#include "platform/core/Encoding.h"
#include "platform/core/Exception.h"
#include "platform/core/Files.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unordered_map>

namespace dbengine {

namespace {

class SqliteStatement;

// Statements that want to hear of a write while they are reading, on any
// connection: a write through a second connection to the same archive would
// otherwise wait for the first one's read to end.
std::vector<SqliteStatement*>& Readers() {
    static std::vector<SqliteStatement*> readers;
    return readers;
}

// Closed when the connection and every statement prepared on it are gone.
struct Handle {
    sqlite3* db = nullptr;
    // The archive as its user knows it, for messages.
    std::string path;
    std::string alias;
    ~Handle() { sqlite3_close_v2(db); }
};

std::string Capitalised(std::string text) {
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

// "l'archivio 'P' dell'alias 'A'": what a message about the file names.
std::string Archive(const Handle& handle) {
    return "l'archivio '" + handle.path + "' dell'alias '" + handle.alias + "'";
}

// A file that is not a database, or one damaged, is the user's to see to:
// the message names it, whatever statement met the damage.
std::string Damage(const Handle& handle, int code) {
    if (code == SQLITE_NOTADB)
        return "il file '" + handle.path + "' dell'alias '" + handle.alias +
               "' non \xE8 un archivio SQLite";
    if (code == SQLITE_CORRUPT) return Archive(handle) + " \xE8 danneggiato";
    return std::string();
}

[[noreturn]] void Fail(const Handle& handle, const std::string& sql) {
    sqlite3* db = handle.db;
    std::string message = db ? Utf8ToCp1252(sqlite3_errmsg(db)) : "errore sconosciuto";
    const int code = db ? sqlite3_errcode(db) : SQLITE_ERROR;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        message = "archivio bloccato da un altro utente (" + message + ")";
    const std::string damage = Damage(handle, code);
    if (!damage.empty()) message = Capitalised(damage) + " (" + message + ")";
    throw EDatabaseError(AnsiString("Errore SQL: " + message + "\nIstruzione: " + sql));
}

// One compiled statement of the engine, with the description of its result
// columns read once. Several statements of the same shape share it in turn.
struct Compiled {
    std::shared_ptr<Handle> handle;
    sqlite3_stmt* stmt = nullptr;
    // The text it was compiled from, to compile another when this one is busy.
    std::string shape;
    // The statement whose rows or bindings it holds now, null when none.
    const void* user = nullptr;
    // Stepped since it was last reset: a reset of a statement at its start
    // costs as much as any other, and every lookup would pay several.
    bool stepped = false;
    bool described = false;
    std::vector<std::string> names;
    std::vector<std::string> declTypes;
    std::vector<TFieldDef> fields;
    ~Compiled() { sqlite3_finalize(stmt); }

    void Rewind() {
        if (!stepped) return;
        sqlite3_reset(stmt);
        stepped = false;
    }

    void Describe() {
        if (described) return;
        const int n = sqlite3_column_count(stmt);
        names.resize(static_cast<std::size_t>(n));
        declTypes.resize(static_cast<std::size_t>(n));
        for (int c = 0; c < n; ++c) {
            const char* name = sqlite3_column_name(stmt, c);
            const char* type = sqlite3_column_decltype(stmt, c);
            names[static_cast<std::size_t>(c)] = name ? Utf8ToCp1252(name) : std::string();
            declTypes[static_cast<std::size_t>(c)] = type ? std::string(type) : std::string();
            const DbValue integer = std::int64_t{0}, real = 0.0;
            TFieldDef def = FieldDefFromDeclType(names[static_cast<std::size_t>(c)],
                                                 declTypes[static_cast<std::size_t>(c)], &integer);
            // A declaration that decides gives the same field whatever the value.
            if (FieldDefFromDeclType("", declTypes[static_cast<std::size_t>(c)], &real).DataType !=
                def.DataType)
                def.DataType = ftUnknown;
            fields.push_back(std::move(def));
        }
        described = true;
    }
};

// Compiles utf8; errors name the statement as its user wrote it.
std::shared_ptr<Compiled> Compile(const std::shared_ptr<Handle>& handle, std::string shape,
                                  const std::string& sql) {
    const std::string utf8 = Cp1252ToUtf8(shape);
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(handle->db, utf8.c_str(), static_cast<int>(utf8.size()), &stmt, &tail) !=
        SQLITE_OK)
        Fail(*handle, sql);
    if (!stmt) throw EDatabaseError(AnsiString("Errore SQL: istruzione vuota\nIstruzione: " + sql));
    // A second statement after the first would be silently ignored.
    for (const char* p = tail; p && *p; ++p) {
        if (!std::isspace(static_cast<unsigned char>(*p)) && *p != ';') {
            sqlite3_finalize(stmt);
            throw EDatabaseError(
                AnsiString("Errore SQL: una sola istruzione alla volta\nIstruzione: " + sql));
        }
    }
    auto compiled = std::make_shared<Compiled>();
    compiled->handle = handle;
    compiled->stmt = stmt;
    compiled->shape = std::move(shape);
    return compiled;
}

// A statement as its user wrote it: the compiled statement of its shape and
// the constants lifted out of its text, bound again whenever it takes the
// compiled statement back from another user.
class SqliteStatement : public Statement {
public:
    SqliteStatement(std::shared_ptr<Compiled> compiled, std::string sql,
                    std::vector<DbValue> literals)
        : compiled_(std::move(compiled)), sql_(std::move(sql)), literals_(std::move(literals)) {}
    ~SqliteStatement() override { Release(); }

    // What its user letting go of it ends: rows left unread would keep the
    // archive's read lock.
    void Release() {
        SetBeforeWrite(nullptr);
        if (compiled_->user == this) {
            compiled_->Rewind();
            compiled_->user = nullptr;
        }
    }

    // A statement let go of, made the statement of another text with the
    // same compiled statement; Claim binds its constants.
    void Retext(const std::string& sql, const std::vector<DbValue>& literals) {
        sql_ = sql;
        literals_ = literals;
        bound_ = false;
    }
    const Compiled* CompiledStatement() const { return compiled_.get(); }

    const std::string& Sql() const override { return sql_; }
    int ParamCount() const override {
        return sqlite3_bind_parameter_count(compiled_->stmt) - static_cast<int>(literals_.size());
    }

    void Bind(int index, const DbValue& value) override {
        Claim();
        bound_ = true;
        BindAt(index + static_cast<int>(literals_.size()), value);
    }

    void ClearBindings() override {
        // Taken back clear, see Claim; and with none bound since, the constants are all there is.
        if (compiled_->user != this || !bound_) return;
        sqlite3_clear_bindings(compiled_->stmt);
        BindLiterals();
        bound_ = false;
    }

    bool Step() override {
        Claim();
        compiled_->stepped = true;
        const int rc = sqlite3_step(compiled_->stmt);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        compiled_->Rewind();
        Fail(*compiled_->handle, sql_);
    }

    void Reset() override {
        if (compiled_->user == this) compiled_->Rewind();
    }
    int ColumnCount() const override { return sqlite3_column_count(compiled_->stmt); }

    std::string ColumnName(int column) const override {
        compiled_->Describe();
        return column >= 0 && column < static_cast<int>(compiled_->names.size())
                   ? compiled_->names[static_cast<std::size_t>(column)]
                   : std::string();
    }

    std::string ColumnDeclType(int column) const override {
        compiled_->Describe();
        return column >= 0 && column < static_cast<int>(compiled_->declTypes.size())
                   ? compiled_->declTypes[static_cast<std::size_t>(column)]
                   : std::string();
    }

    const std::vector<TFieldDef>& DeclaredFields() const override {
        compiled_->Describe();
        return compiled_->fields;
    }

    DbValue Column(int column) const override {
        sqlite3_stmt* stmt = compiled_->stmt;
        switch (sqlite3_column_type(stmt, column)) {
        case SQLITE_INTEGER:
            return std::int64_t{sqlite3_column_int64(stmt, column)};
        case SQLITE_FLOAT:
            return sqlite3_column_double(stmt, column);
        case SQLITE_TEXT: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
            const auto n = static_cast<std::size_t>(sqlite3_column_bytes(stmt, column));
            const std::string_view utf8(text ? text : "", n);
            // Plain ASCII reads the same in both encodings.
            if (AsciiPrefix(utf8) != n) return Utf8ToCp1252(utf8);
            return std::string(utf8);
        }
        case SQLITE_BLOB: {
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, column));
            const int n = sqlite3_column_bytes(stmt, column);
            return std::string(bytes ? bytes : "", static_cast<std::size_t>(n));
        }
        default:
            return DbValue();
        }
    }

    bool ReadOnly() const override { return sqlite3_stmt_readonly(compiled_->stmt) != 0; }

    void SetBeforeWrite(std::function<void()> readRest) override {
        auto& readers = Readers();
        readers.erase(std::remove(readers.begin(), readers.end(), this), readers.end());
        beforeWrite_ = std::move(readRest);
        if (beforeWrite_) readers.push_back(this);
    }

    // Lets the holder read the rest of the rows this statement is in the middle of.
    void BeforeWrite() {
        if (beforeWrite_ && compiled_->user == this && sqlite3_stmt_busy(compiled_->stmt))
            beforeWrite_();
    }

    // Makes the compiled statement this one's, reset with the constants
    // bound. One still in the middle of another user's rows is left to it:
    // this statement gets a compiled statement of its own.
    void Claim() {
        if (compiled_->user == this) return;
        if (compiled_->user && sqlite3_stmt_busy(compiled_->stmt))
            compiled_ = Compile(compiled_->handle, compiled_->shape, sql_);
        compiled_->user = this;
        compiled_->Rewind();
        sqlite3_clear_bindings(compiled_->stmt);
        BindLiterals();
        bound_ = false;
    }

private:
    void BindLiterals() {
        for (std::size_t i = 0; i < literals_.size(); ++i)
            BindAt(static_cast<int>(i + 1), literals_[i]);
    }

    void BindAt(int index, const DbValue& value) {
        sqlite3_stmt* stmt = compiled_->stmt;
        int rc = SQLITE_OK;
        switch (value.index()) {
        case 0:
            rc = sqlite3_bind_null(stmt, index);
            break;
        case 1:
            rc = sqlite3_bind_int64(stmt, index, std::get<std::int64_t>(value));
            break;
        case 2:
            rc = sqlite3_bind_double(stmt, index, std::get<double>(value));
            break;
        case 3: {
            const std::string& text = std::get<std::string>(value);
            const std::string utf8 = Cp1252ToUtf8(text);
            rc = sqlite3_bind_text64(stmt, index, utf8.data(), utf8.size(), SQLITE_TRANSIENT,
                                     SQLITE_UTF8);
            break;
        }
        }
        if (rc != SQLITE_OK) Fail(*compiled_->handle, sql_);
    }

    std::shared_ptr<Compiled> compiled_;
    std::string sql_;
    // Bound again whenever the statement takes the compiled one back.
    std::vector<DbValue> literals_;
    std::function<void()> beforeWrite_;
    // Values bound by Bind since the constants were.
    bool bound_ = false;
};

std::string UpperAscii(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Where a statement that its user let go of waits for the next statement of
// its compiled one: a lookup run once per row then makes no statement of its
// own each time. Shared with the statements handed out, which may outlive
// the connection.
struct Recycler {
    std::unique_ptr<SqliteStatement> spare;
    bool open = true;

    static void Park(const std::shared_ptr<Recycler>& recycler, SqliteStatement* statement) {
        statement->Release();
        // The last one let go of is the likeliest to be asked for again.
        if (recycler->open)
            recycler->spare.reset(statement);
        else
            delete statement;
    }
};

class SqliteConnection : public Connection {
public:
    SqliteConnection(std::shared_ptr<Handle> handle, bool readOnly, std::string identity)
        : handle_(std::move(handle)), readOnly_(readOnly), identity_(std::move(identity)) {}
    ~SqliteConnection() override {
        recycler_->open = false;
        recycler_->spare.reset();
        lastCompiled_.reset();
        cache_.clear();
    }

    bool ReadOnly() const override { return readOnly_; }

    std::shared_ptr<Statement> Prepare(const std::string& sql) override {
        LiftedStatement& lifted = lifted_;
        bool sameShape = false;
        const bool any = lifter_.Lift(sql, lifted, sameShape);
        std::shared_ptr<Compiled> compiled;
        // A lookup repeated with another key, the usual case, has the
        // compiled statement of the one before.
        if (sameShape && lastCompiled_) {
            compiled = lastCompiled_;
        } else {
            lastCompiled_.reset();
            const std::string& shape = sameShape ? lifter_.KeptShape() : any ? lifted.Shape : sql;
            auto it = cache_.find(shape);
            if (it != cache_.end()) {
                compiled = it->second;
            } else {
                compiled = Compile(handle_, shape, sql);
                if (cache_.size() >= kCacheLimit) Trim();
                cache_.emplace(shape, compiled);
            }
            if (lifter_.Kept()) lastCompiled_ = compiled;
        }
        SqliteStatement* made = nullptr;
        if (recycler_->spare && recycler_->spare->CompiledStatement() == compiled.get()) {
            made = recycler_->spare.release();
            made->Retext(sql, lifted.Values);
        } else {
            made = new SqliteStatement(std::move(compiled), sql, lifted.Values);
        }
        std::shared_ptr<SqliteStatement> statement(
            made, [recycler = recycler_](SqliteStatement* s) { Recycler::Park(recycler, s); });
        statement->Claim();
        return statement;
    }

    std::int64_t Execute(const std::string& sql, const std::vector<DbValue>& params) override {
        for (SqliteStatement* reader : std::vector<SqliteStatement*>(Readers()))
            if (std::find(Readers().begin(), Readers().end(), reader) != Readers().end())
                reader->BeforeWrite();
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
            const DbValue dflt = stmt->Column(4);
            c.HasDefault = dflt.index() != 0;
            if (dflt.index() == 3) c.Default = std::get<std::string>(dflt);
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

    std::vector<std::string> Tables() override {
        std::vector<std::string> out;
        auto stmt = Prepare("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                            "name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid");
        while (stmt->Step()) {
            const DbValue v = stmt->Column(0);
            if (v.index() == 3) out.push_back(std::get<std::string>(v));
        }
        stmt->Reset();
        return out;
    }

    std::vector<IndexInfo> Indexes(const std::string& table) override {
        // Only the indexes made by CREATE INDEX: origin 'c'.
        std::vector<IndexInfo> out;
        auto stmt = Prepare("SELECT name, \"unique\" FROM pragma_index_list(?) WHERE origin = 'c' "
                            "ORDER BY seq DESC");
        stmt->Bind(1, table);
        while (stmt->Step()) {
            IndexInfo index;
            const DbValue name = stmt->Column(0), unique = stmt->Column(1);
            if (name.index() != 3) continue;
            index.Name = std::get<std::string>(name);
            index.Unique = unique.index() == 1 && std::get<std::int64_t>(unique) != 0;
            out.push_back(std::move(index));
        }
        stmt->Reset();
        for (IndexInfo& index : out)
            index.Columns = IndexColumns(table, index.Name);
        return out;
    }

    std::string RowKeyExpression(const std::string&) override { return "_rowid_"; }

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
            if (it->second.use_count() == 1 && !it->second->user)
                it = cache_.erase(it);
            else
                ++it;
        }
    }

    std::shared_ptr<Handle> handle_;
    bool readOnly_;
    std::string identity_;
    std::unordered_map<std::string, std::shared_ptr<Compiled>> cache_;
    LiteralLifter lifter_;
    LiftedStatement lifted_; // the lifter's answer, its room kept between statements
    std::shared_ptr<Recycler> recycler_ = std::make_shared<Recycler>();
    // The compiled statement of the lifter's kept shape.
    std::shared_ptr<Compiled> lastCompiled_;
};

std::filesystem::path FsPath(const std::string& path) {
    return std::filesystem::path(Cp1252ToUtf16(path));
}

// Byte 18 of a database's header is 2 in write-ahead-log mode.
bool InWalMode(const std::string& path) {
    std::ifstream in(FsPath(path), std::ios::binary);
    char header[20] = {};
    return in.read(header, sizeof header) && header[18] == 2;
}

// The size of a file, -1 when there is none.
std::intmax_t FileSize(const std::string& path) {
    std::error_code failed;
    const auto size = std::filesystem::file_size(FsPath(path), failed);
    return failed ? -1 : static_cast<std::intmax_t>(size);
}

// A file name as an SQLite URI, which treats '?', '#' and '%' as its own.
std::string FileUri(const std::string& utf8Path) {
    std::string uri = "file:";
#ifdef _WIN32
    uri += '/';
#endif
    for (char c : utf8Path) {
        if (c == '%' || c == '?' || c == '#') {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            uri += escaped;
        } else {
            uri += c == '\\' ? '/' : c;
        }
    }
    return uri;
}

// An open connection whose first read succeeded, or the code of its failure.
int Open(Handle& handle, const std::string& uri, int flags) {
    if (handle.db) sqlite3_close_v2(handle.db);
    handle.db = nullptr;
    if (sqlite3_open_v2(uri.c_str(), &handle.db, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
        return handle.db ? sqlite3_extended_errcode(handle.db) : SQLITE_NOMEM;
    sqlite3_busy_timeout(handle.db, 5000);
    sqlite3_extended_result_codes(handle.db, 1);
    // A file that is not a database fails on its first read: find out now.
    const int rc =
        sqlite3_exec(handle.db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    const int code = rc == SQLITE_OK ? SQLITE_OK : sqlite3_extended_errcode(handle.db);
    sqlite3_extended_result_codes(handle.db, 0);
    return code;
}

class SqliteDriver : public Driver {
public:
    std::unique_ptr<Connection> Connect(const ConnectParams& params) override {
        auto handle = std::make_shared<Handle>();
        handle->path = params.Path;
        handle->alias = params.AliasName;
        const std::string path = Cp1252ToUtf8(params.Path);
        int code =
            Open(*handle, path, params.ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
        if (code != SQLITE_OK && WalFilesMissing(code) && InWalMode(params.Path)) {
            // A log that is absent or empty holds nothing the file does not:
            // the file alone is the archive, and SQLite can read it as it is.
            if (FileSize(params.Path + "-wal") <= 0)
                code = Open(*handle, FileUri(path) + "?immutable=1",
                            SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
            else
                throw EDatabaseError(AnsiString(WalMessage(*handle)));
        }
        if (code != SQLITE_OK) {
            const std::string damage = Damage(*handle, code & 0xFF);
            const std::string message =
                handle->db ? Utf8ToCp1252(sqlite3_errmsg(handle->db)) : "memoria insufficiente";
            throw EDatabaseError(AnsiString(
                damage.empty() ? "Impossibile aprire " + Archive(*handle) + ": " + message
                               : Capitalised(damage) + " (" + message + ")"));
        }
        std::string identity = params.Path;
#ifndef _WIN32
        if (char* real = realpath(path.c_str(), nullptr)) {
            identity = Utf8ToCp1252(real);
            std::free(real);
        }
#endif
        // SQLite opens read-only what the user may not write.
        const bool readOnly = params.ReadOnly || sqlite3_db_readonly(handle->db, "main") == 1;
        return std::make_unique<SqliteConnection>(std::move(handle), readOnly, identity);
    }

private:
    // What SQLite answers when it needs the log's companion files of a
    // write-ahead-log archive and cannot create them.
    static bool WalFilesMissing(int code) {
        return (code & 0xFF) == SQLITE_CANTOPEN || code == SQLITE_READONLY_DIRECTORY ||
               code == SQLITE_READONLY_CANTINIT || code == SQLITE_READONLY_CANTLOCK;
    }

    static std::string WalMessage(const Handle& handle) {
        const std::string folder = ExtractFilePath(AnsiString(handle.path)).str();
        return Capitalised(Archive(handle)) +
               " \xE8 in modalit\xE0 WAL e ha modifiche ancora nel file '" + handle.path +
               "-wal': per leggerle SQLite deve creare il file '" + handle.path +
               "-shm' nella cartella '" + folder +
               "', dove non si pu\xF2 scrivere. Serve il permesso di scrittura sulla cartella, "
               "oppure che il programma che scrive l'archivio lo chiuda.";
    }
};

} // namespace

std::unique_ptr<Driver> MakeSqliteDriver() {
    return std::make_unique<SqliteDriver>();
}

} // namespace dbengine
