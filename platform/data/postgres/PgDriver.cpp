#include "platform/data/postgres/PgDriver.h"

#include "platform/data/EngineConfig.h"
#include "platform/data/postgres/PgLocks.h"
#include "platform/data/postgres/PgSql.h"
#include "platform/data/postgres/PgTypes.h"
#include "platform/data/SqlLiterals.h"

#include "platform/core/Encoding.h"
#include "platform/core/Exception.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <unordered_map>

namespace dbengine {

namespace {

using pg::FoldName;
using pg::QuoteName;
using pg::StatementKind;

// A result that clears itself.
class Result {
public:
    explicit Result(PGresult* result = nullptr) : result_(result) {}
    ~Result() { PQclear(result_); }
    Result(Result&& other) noexcept : result_(other.result_) { other.result_ = nullptr; }
    Result& operator=(Result&& other) noexcept {
        std::swap(result_, other.result_);
        return *this;
    }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    PGresult* get() const { return result_; }
    bool Ok() const {
        const ExecStatusType s = PQresultStatus(result_);
        return result_ && (s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK);
    }
    int Rows() const { return PQntuples(result_); }
    bool IsNull(int row, int column) const { return PQgetisnull(result_, row, column) != 0; }
    std::string Text(int row, int column) const {
        return PQgetisnull(result_, row, column) ? std::string()
                                                 : std::string(PQgetvalue(result_, row, column));
    }
    std::string SqlState() const {
        const char* state = result_ ? PQresultErrorField(result_, PG_DIAG_SQLSTATE) : nullptr;
        return state ? state : "";
    }

private:
    PGresult* result_;
};

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\r'))
        text.pop_back();
    return text;
}

// What a catalog column of a table says: its name on the server, and the
// spelling and declared type the archive gave it (from its comment, when
// the comment still describes it).
struct CatalogColumn {
    int Number = 0;
    std::string Folded;
    unsigned Type = 0;
    int Modifier = -1;
    std::string Spelling;
    std::string DeclType;
    bool AutoIncrement = false;
};

CatalogColumn ReadCatalogColumn(int number, const std::string& name, unsigned type, int modifier,
                                const std::string& comment) {
    CatalogColumn c;
    c.Number = number;
    c.Folded = name;
    c.Type = type;
    c.Modifier = modifier;
    std::string spelling, decl;
    bool autoIncrement = false;
    bool declared = false;
    if (pg::ParseColumnComment(Utf8ToCp1252(comment), spelling, decl, autoIncrement) &&
        FoldName(spelling) == Utf8ToCp1252(name)) {
        c.Spelling = spelling;
        // A column changed on the server since keeps its own type.
        if (pg::DeclFamily(decl) == pg::FamilyOfType(type)) {
            c.DeclType = decl;
            c.AutoIncrement = autoIncrement;
            declared = true;
        }
    }
    if (c.Spelling.empty()) c.Spelling = Utf8ToCp1252(name);
    if (!declared) c.DeclType = pg::DeclTypeOfType(type, modifier, false);
    return c;
}

// A table as the connection needs to know it.
struct TableInfo {
    unsigned Oid = 0;
    std::string Spelling;
    std::string Key; // the row key expression
    bool Hidden = false;
    std::vector<ColumnInfo> Columns;
    std::vector<CatalogColumn> Catalog; // visible columns, in order
};

// The session with the server, shared by the connection, its statements
// and its locks.
struct Session {
    PGconn* conn = nullptr;
    std::string alias;
    std::string conninfo;  // UTF-8, as the connection was made
    std::string settings;  // what every connection of the session is set to
    // A second connection for the forward-only read in progress: its rows
    // come one by one while the statements between them (lookups) run on
    // conn. Made when first needed; one read at a time.
    PGconn* reader = nullptr;
    bool readerBusy = false;
    // Moves on whenever this session changes the schema: statements prepared
    // before are prepared again.
    std::uint64_t generation = 0;
    int nextName = 0;
    std::vector<std::string> unused; // prepared statements no one holds
    std::int64_t lastKey = 0;
    std::map<std::string, TableInfo> tables;                         // by folded name
    std::map<unsigned, std::map<int, CatalogColumn>> columnsByTable; // by table number
    std::shared_ptr<pg::SessionLocks> locks;

    ~Session() {
        if (reader) PQfinish(reader);
        if (conn) PQfinish(conn);
    }

    // The reader connection, idle; null when it cannot be had (the read then
    // goes on conn, in one piece).
    PGconn* Reader() {
        if (readerBusy) return nullptr;
        if (reader && PQstatus(reader) != CONNECTION_OK) {
            PQfinish(reader);
            reader = nullptr;
        }
        if (!reader) {
            reader = PQconnectdb(conninfo.c_str());
            PQsetNoticeProcessor(
                reader, [](void*, const char*) {}, nullptr);
            if (PQstatus(reader) != CONNECTION_OK ||
                PQsetClientEncoding(reader, "UTF8") != 0 ||
                PQresultStatus(Result(PQexec(reader, settings.c_str())).get()) != PGRES_COMMAND_OK) {
                PQfinish(reader);
                reader = nullptr;
                return nullptr;
            }
        }
        return reader;
    }

    [[noreturn]] void Fail(const Result* result, const std::string& sql) const {
        FailOn(conn, result, sql);
    }

    [[noreturn]] void FailOn(PGconn* on, const Result* result, const std::string& sql) const {
        std::string message;
        std::string state;
        if (result && result->get()) {
            state = result->SqlState();
            const char* primary = PQresultErrorField(result->get(), PG_DIAG_MESSAGE_PRIMARY);
            const char* detail = PQresultErrorField(result->get(), PG_DIAG_MESSAGE_DETAIL);
            message = primary ? primary : Trimmed(PQresultErrorMessage(result->get()));
            if (detail) message += std::string(" (") + detail + ")";
        }
        if (message.empty()) message = Trimmed(PQerrorMessage(on));
        message = Utf8ToCp1252(message);
        if (PQstatus(on) != CONNECTION_OK)
            message =
                "connessione al server dell'alias '" + alias + "' interrotta (" + message + ")";
        else if (state == "55P03" || state == "40P01" || state == "40001")
            message = "archivio bloccato da un altro utente (" + message + ")";
        else if (state == "23505")
            message = "valore gi\xE0 presente in un campo UNIQUE (" + message + ")";
        else if (state == "25006")
            message = "archivio di sola lettura (" + message + ")";
        throw EDatabaseError(AnsiString("Errore SQL: " + message + "\nIstruzione: " + sql));
    }

    // Runs a statement of the server's own SQL with text parameters.
    Result Exec(const std::string& sql, const std::vector<std::string>& params = {},
                const std::string& shownSql = std::string()) {
        DropUnused();
        std::vector<const char*> values;
        for (const std::string& p : params)
            values.push_back(p.c_str());
        Result r(params.empty() ? PQexec(conn, sql.c_str())
                                : PQexecParams(conn, sql.c_str(), static_cast<int>(values.size()),
                                               nullptr, values.data(), nullptr, nullptr, 0));
        if (!r.Ok()) Fail(&r, shownSql.empty() ? sql : shownSql);
        return r;
    }

    void Changed() {
        ++generation;
        tables.clear();
        columnsByTable.clear();
    }

    void DropUnused() {
        if (unused.size() < 16 || PQtransactionStatus(conn) != PQTRANS_IDLE) return;
        std::string sql;
        for (const std::string& name : unused)
            sql += "DEALLOCATE " + name + ";";
        unused.clear();
        PQclear(PQexec(conn, sql.c_str()));
    }

    // The table, or null when the server has none of that name.
    const TableInfo* Table(const std::string& name) {
        const std::string folded = FoldName(name);
        if (auto it = tables.find(folded); it != tables.end())
            return it->second.Oid ? &it->second : nullptr;
        Result r = Exec(
            "SELECT c.oid, obj_description(c.oid, 'pg_class'), a.attnum, a.attname, a.atttypid, "
            "a.atttypmod, a.attnotnull, a.atthasdef OR a.attidentity <> '', a.attidentity <> '', "
            "col_description(c.oid, a.attnum), pg_get_expr(d.adbin, d.adrelid), "
            "coalesce(a.attnum = ANY (p.conkey), false), coalesce(array_length(p.conkey, 1), 0) "
            "FROM pg_class c "
            "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
            "LEFT JOIN pg_attrdef d ON d.adrelid = c.oid AND d.adnum = a.attnum "
            "LEFT JOIN pg_constraint p ON p.conrelid = c.oid AND p.contype = 'p' "
            "WHERE c.oid = to_regclass($1) ORDER BY a.attnum",
            {Cp1252ToUtf8(QuoteName(name))});
        TableInfo& info = tables[folded];
        if (r.Rows() == 0) return nullptr;
        info.Oid = static_cast<unsigned>(std::strtoul(r.Text(0, 0).c_str(), nullptr, 10));
        std::string spelling;
        if (pg::ParseNameComment(Utf8ToCp1252(r.Text(0, 1)), spelling) &&
            FoldName(spelling) == folded)
            info.Spelling = spelling;
        else
            info.Spelling = folded;
        std::string integerKey;
        bool hidden = false;
        for (int row = 0; row < r.Rows(); ++row) {
            const std::string name = r.Text(row, 3);
            const unsigned type =
                static_cast<unsigned>(std::strtoul(r.Text(row, 4).c_str(), nullptr, 10));
            if (name == pg::kHiddenKey) {
                hidden = true;
                continue;
            }
            CatalogColumn c = ReadCatalogColumn(std::atoi(r.Text(row, 2).c_str()), name, type,
                                                std::atoi(r.Text(row, 5).c_str()), r.Text(row, 9));
            ColumnInfo column;
            column.Name = c.Spelling;
            column.DeclType = c.DeclType;
            column.NotNull = r.Text(row, 6) == "t";
            column.HasDefault = r.Text(row, 7) == "t";
            column.PrimaryKey = r.Text(row, 11) == "t";
            const bool identity = r.Text(row, 8) == "t";
            // A column made here says in its comment whether it counts on;
            // one made on the server counts on when the server fills it in.
            column.AutoIncrement =
                c.AutoIncrement ||
                (identity && c.Spelling == Utf8ToCp1252(name) && r.IsNull(row, 9));
            if (!r.IsNull(row, 10)) column.Default = DefaultText(Utf8ToCp1252(r.Text(row, 10)));
            if (column.PrimaryKey && r.Text(row, 12) == "1" && pg::FamilyOfType(type) == 'i')
                integerKey = QuoteName(Utf8ToCp1252(c.Folded));
            column.RowKey = column.PrimaryKey && r.Text(row, 12) == "1" && column.HasDefault &&
                            pg::FamilyOfType(type) == 'i';
            info.Columns.push_back(std::move(column));
            info.Catalog.push_back(std::move(c));
        }
        info.Hidden = hidden;
        if (!integerKey.empty())
            info.Key = integerKey;
        else if (hidden)
            info.Key = pg::kHiddenKey;
        else
            // No key of its own: the row's place, good until the row moves.
            info.Key = "((ctid::text::point)[0]::bigint * 65536 + (ctid::text::point)[1]::bigint)";
        return &info;
    }

    // A column default as the engine's SQL writes it: a literal without the
    // server's cast ('A'::character varying, (-1)::integer). A sequence's
    // next number is the column counting on by itself: no default to copy.
    static std::string DefaultText(const std::string& expression) {
        std::string text = expression;
        if (text.rfind("nextval(", 0) == 0) return {};
        std::size_t end = 0;
        if (!text.empty() && text[0] == '\'') {
            // The literal's own end, past doubled quotes.
            for (end = 1; end < text.size(); ++end) {
                if (text[end] != '\'') continue;
                if (end + 1 < text.size() && text[end + 1] == '\'') {
                    ++end;
                    continue;
                }
                ++end;
                break;
            }
        } else if (!text.empty() && text[0] == '(') {
            end = text.find(')');
            if (end != std::string::npos) {
                text = text.substr(1, end - 1) + text.substr(end + 1);
                end -= 1;
            }
        } else {
            end = text.find("::");
        }
        if (end != std::string::npos && text.compare(end, 2, "::") == 0) text.erase(end);
        return text;
    }

    // The columns of the table with that number, by column number.
    const std::map<int, CatalogColumn>& ColumnsOf(unsigned oid) {
        if (auto it = columnsByTable.find(oid); it != columnsByTable.end()) return it->second;
        Result r = Exec("SELECT a.attnum, a.attname, a.atttypid, a.atttypmod, "
                        "col_description(a.attrelid, a.attnum) FROM pg_attribute a "
                        "WHERE a.attrelid = $1 AND a.attnum > 0 AND NOT a.attisdropped",
                        {std::to_string(oid)});
        std::map<int, CatalogColumn>& columns = columnsByTable[oid];
        for (int row = 0; row < r.Rows(); ++row) {
            const int number = std::atoi(r.Text(row, 0).c_str());
            columns[number] = ReadCatalogColumn(
                number, r.Text(row, 1),
                static_cast<unsigned>(std::strtoul(r.Text(row, 2).c_str(), nullptr, 10)),
                std::atoi(r.Text(row, 3).c_str()), r.Text(row, 4));
        }
        return columns;
    }
};

// One statement as the server has it prepared, with its result columns
// described once. The statements of one shape share it.
struct Compiled {
    std::shared_ptr<Session> session;
    std::string shape; // the engine's text it was made from
    pg::Translated text;
    std::string sql;      // the server's text
    std::string plainSql; // the server's text without the key order added
    std::string name;     // of the prepared statement; empty: run as it comes
    std::uint64_t generation = 0;
    bool returnsKey = false;
    struct Column {
        int source = 0; // in the server's result
        std::string name;
        std::string declType;
        pg::ValueKind kind = pg::ValueKind::Text;
    };
    std::vector<Column> columns;
    std::vector<TFieldDef> fields;

    ~Compiled() {
        if (!name.empty()) session->unused.push_back(name);
    }

    // Everything but the scripts made for a table or an index goes to the
    // server to be parsed when it is prepared.
    bool Prepared() const {
        return text.Kind != StatementKind::CreateTable && text.Kind != StatementKind::CreateIndex &&
               !(text.Kind == StatementKind::AlterTable && !text.Columns.empty());
    }

    // Whether running it may change what tables there are and how they look.
    bool ChangesSchema() const {
        return text.Kind != StatementKind::Select && text.Kind != StatementKind::Insert &&
               text.Kind != StatementKind::Update && text.Kind != StatementKind::Delete;
    }

    // Hands the text to the server (again, after a change of schema) and
    // describes its result; errors name the statement as its user wrote it.
    void Prepare(const std::string& userSql) {
        if (!Prepared()) return;
        if (!name.empty()) session->unused.push_back(name);
        name.clear();
        const std::string candidate = "quor_" + std::to_string(++session->nextName);
        session->DropUnused();
        Result prepared(
            PQprepare(session->conn, candidate.c_str(), Cp1252ToUtf8(sql).c_str(), 0, nullptr));
        if (!prepared.Ok() && !plainSql.empty() &&
            PQtransactionStatus(session->conn) == PQTRANS_IDLE) {
            // The key order did not fit the statement (an aggregate...): as written.
            sql = plainSql;
            plainSql.clear();
            prepared = Result(
                PQprepare(session->conn, candidate.c_str(), Cp1252ToUtf8(sql).c_str(), 0, nullptr));
        }
        if (!prepared.Ok()) session->Fail(&prepared, userSql);
        name = candidate;
        generation = session->generation;
        Result described(PQdescribePrepared(session->conn, name.c_str()));
        if (!described.Ok()) session->Fail(&described, userSql);
        columns.clear();
        fields.clear();
        if (returnsKey) return;
        const int n = PQnfields(described.get());
        for (int c = 0; c < n; ++c) {
            const std::string folded = PQfname(described.get(), c);
            const unsigned type = PQftype(described.get(), c);
            const unsigned table = PQftable(described.get(), c);
            const int number = PQftablecol(described.get(), c);
            if (table != 0 && folded == pg::kHiddenKey && !text.NamesHiddenKey) continue;
            Column column;
            column.source = c;
            column.kind = pg::KindOfType(type);
            column.name = Written(Utf8ToCp1252(folded));
            column.declType = pg::DeclTypeOfType(type, PQfmod(described.get(), c), table == 0);
            if (table != 0 && number > 0) {
                const auto& catalog = session->ColumnsOf(table);
                if (auto it = catalog.find(number);
                    it != catalog.end() && it->second.Folded == folded) {
                    column.name = it->second.Spelling;
                    column.declType = it->second.DeclType;
                }
            }
            fields.push_back(FieldDefFromDeclType(column.name, column.declType));
            columns.push_back(std::move(column));
        }
    }

    // A result name as the statement wrote it, when it did.
    std::string Written(const std::string& folded) const {
        for (const std::string& spelling : text.Names)
            if (FoldName(spelling) == folded) return spelling;
        return folded;
    }
};

class PgStatement : public Statement {
public:
    PgStatement(std::shared_ptr<Compiled> compiled, std::string sql, std::vector<DbValue> literals)
        : compiled_(std::move(compiled)), sql_(std::move(sql)), literals_(std::move(literals)) {}

    const std::string& Sql() const override { return sql_; }
    int ParamCount() const override {
        return compiled_->text.Params - static_cast<int>(literals_.size());
    }
    void Bind(int index, const DbValue& value) override {
        if (index < 1) return;
        if (bound_.size() < static_cast<std::size_t>(index))
            bound_.resize(static_cast<std::size_t>(index));
        bound_[static_cast<std::size_t>(index - 1)] = value;
    }
    void ClearBindings() override { bound_.clear(); }

    ~PgStatement() override { EndStream(); }

    bool Step() override {
        if (!result_.get()) Run();
        ++row_;
        if (row_ >= rows_ && streaming_) {
            NextStreamRow();
            row_ = 0;
        }
        return row_ < rows_;
    }

    void Reset() override {
        EndStream();
        result_ = Result();
        row_ = -1;
        rows_ = 0;
    }

    void SetForwardOnly(bool forwardOnly) override { forwardOnly_ = forwardOnly; }

    int ColumnCount() const override { return static_cast<int>(compiled_->columns.size()); }
    std::string ColumnName(int column) const override {
        return InRange(column) ? compiled_->columns[static_cast<std::size_t>(column)].name
                               : std::string();
    }
    std::string ColumnDeclType(int column) const override {
        return InRange(column) ? compiled_->columns[static_cast<std::size_t>(column)].declType
                               : std::string();
    }
    const std::vector<TFieldDef>& DeclaredFields() const override { return compiled_->fields; }

    DbValue Column(int column) const override {
        if (!InRange(column) || row_ < 0 || row_ >= rows_) return DbValue();
        const Compiled::Column& c = compiled_->columns[static_cast<std::size_t>(column)];
        if (PQgetisnull(result_.get(), row_, c.source)) return DbValue();
        return pg::ValueFromText(c.kind, PQgetvalue(result_.get(), row_, c.source),
                                 PQgetlength(result_.get(), row_, c.source));
    }

    bool ReadOnly() const override { return compiled_->text.Kind == StatementKind::Select; }
    // Rows are read in one piece when the statement runs: nothing waits.
    void SetBeforeWrite(std::function<void()>) override {}

    std::int64_t Changed() const { return changed_; }

private:
    bool InRange(int column) const {
        return column >= 0 && column < static_cast<int>(compiled_->columns.size());
    }

    void Run() {
        Session& session = *compiled_->session;
        std::vector<std::string> texts;
        std::vector<const char*> values;
        std::vector<DbValue> all = literals_;
        all.insert(all.end(), bound_.begin(), bound_.end());
        all.resize(static_cast<std::size_t>(std::max(compiled_->text.Params, 0)));
        texts.resize(all.size());
        for (std::size_t i = 0; i < all.size(); ++i)
            values.push_back(pg::ValueToText(all[i], texts[i]) ? texts[i].c_str() : nullptr);
        if (!compiled_->Prepared()) {
            RunScript(session, values.empty());
            return;
        }
        if (forwardOnly_ && compiled_->text.Kind == StatementKind::Select &&
            !compiled_->returnsKey && StartStream(session, values))
            return;
        for (int attempt = 0;; ++attempt) {
            if (compiled_->generation != session.generation) compiled_->Prepare(sql_);
            result_ = Result(PQexecPrepared(session.conn, compiled_->name.c_str(),
                                            static_cast<int>(values.size()), values.data(), nullptr,
                                            nullptr, 0));
            if (result_.Ok()) break;
            // Another program changed a table under a prepared statement:
            // prepare it again, once, where nothing else is lost by it.
            const std::string state = result_.SqlState();
            if (attempt == 0 && (state == "0A000" || state == "26000") &&
                PQtransactionStatus(session.conn) == PQTRANS_IDLE) {
                session.Changed();
                continue;
            }
            Result failed = std::move(result_);
            result_ = Result();
            session.Fail(&failed, sql_);
        }
        Finish(session);
    }

    // A forward-only read, outside any transaction of the program, comes
    // row by row over the session's reader connection: the rows never all
    // sit in the program at once, and the program's other statements run on
    // in between. Inside a transaction it must see what the transaction
    // wrote: it runs on the session's own connection, in one piece.
    bool StartStream(Session& session, const std::vector<const char*>& values) {
        if (PQtransactionStatus(session.conn) != PQTRANS_IDLE) return false;
        PGconn* reader = session.Reader();
        if (!reader) return false;
        if (!PQsendQueryParams(reader, Cp1252ToUtf8(compiled_->sql).c_str(),
                               static_cast<int>(values.size()), nullptr, values.data(), nullptr,
                               nullptr, 0) ||
            !PQsetSingleRowMode(reader))
            session.FailOn(reader, nullptr, sql_);
        session.readerBusy = true;
        streaming_ = true;
        NextStreamRow();
        return true;
    }

    void NextStreamRow() {
        Session& session = *compiled_->session;
        result_ = Result(PQgetResult(session.reader));
        const ExecStatusType status = PQresultStatus(result_.get());
        if (result_.get() && status == PGRES_SINGLE_TUPLE) {
            rows_ = 1;
            row_ = -1;
            return;
        }
        // The end, or an error: what remains of the read is collected.
        Result failed = std::move(result_);
        result_ = Result(PQmakeEmptyPGresult(nullptr, PGRES_TUPLES_OK));
        rows_ = 0;
        row_ = -1;
        EndStream();
        if (!failed.get() || status != PGRES_TUPLES_OK) session.FailOn(session.reader, &failed, sql_);
    }

    // Stops a read still under way, so that the reader connection is free.
    void EndStream() {
        if (!streaming_) return;
        streaming_ = false;
        Session& session = *compiled_->session;
        if (PQisBusy(session.reader) || PQtransactionStatus(session.reader) == PQTRANS_ACTIVE) {
            if (PGcancel* cancel = PQgetCancel(session.reader)) {
                char error[256];
                PQcancel(cancel, error, sizeof error);
                PQfreeCancel(cancel);
            }
        }
        while (PGresult* rest = PQgetResult(session.reader))
            PQclear(rest);
        session.readerBusy = false;
    }

    void RunScript(Session& session, bool noParams) {
        if (!noParams)
            throw EDatabaseError(AnsiString(
                "Errore SQL: parametri non ammessi in questa istruzione\nIstruzione: " + sql_));
        const pg::Translated& text = compiled_->text;
        std::string sql = compiled_->sql;
        if (text.Kind == StatementKind::CreateIndex) {
            const TableInfo* table = session.Table(text.Table);
            sql = pg::CreateIndexSql(text, [table](const std::string& folded) {
                if (!table) return false;
                for (const CatalogColumn& c : table->Catalog)
                    if (c.Folded == folded) return pg::FamilyOfType(c.Type) == 't';
                return false;
            });
        } else if (text.Kind == StatementKind::CreateTable && text.IfNotExists &&
                   session.Table(text.Table)) {
            sql = "SELECT 1 WHERE false";
        }
        result_ = Result(PQexec(session.conn, Cp1252ToUtf8(sql).c_str()));
        if (!result_.Ok()) {
            Result failed = std::move(result_);
            result_ = Result();
            session.Changed();
            session.Fail(&failed, sql_);
        }
        Finish(session);
    }

    void Finish(Session& session) {
        rows_ = PQntuples(result_.get());
        row_ = -1;
        const std::string status = PQcmdStatus(result_.get());
        // Anything but a transaction's own statements may change the schema.
        if (compiled_->ChangesSchema() && status.rfind("BEGIN", 0) != 0 &&
            status.rfind("COMMIT", 0) != 0 && status.rfind("ROLLBACK", 0) != 0 &&
            status.rfind("SET", 0) != 0 && status.rfind("SHOW", 0) != 0 &&
            status.rfind("SELECT", 0) != 0)
            session.Changed();
        changed_ = status.rfind("SELECT", 0) == 0 ? 0 : std::atoll(PQcmdTuples(result_.get()));
        if (compiled_->returnsKey && rows_ > 0 && !PQgetisnull(result_.get(), rows_ - 1, 0))
            session.lastKey = std::atoll(PQgetvalue(result_.get(), rows_ - 1, 0));
        if (compiled_->returnsKey) rows_ = 0;
    }

    std::shared_ptr<Compiled> compiled_;
    std::string sql_;
    std::vector<DbValue> literals_;
    std::vector<DbValue> bound_;
    Result result_;
    int row_ = -1;
    int rows_ = 0;
    std::int64_t changed_ = 0;
    bool forwardOnly_ = false;
    bool streaming_ = false; // rows still to come over the reader connection
};

class PgConnection : public Connection {
public:
    PgConnection(std::shared_ptr<Session> session, bool readOnly, std::string identity)
        : session_(std::move(session)), readOnly_(readOnly), identity_(std::move(identity)) {}
    ~PgConnection() override {
        lastCompiled_.reset();
        cache_.clear();
    }

    bool ReadOnly() const override { return readOnly_; }

    std::shared_ptr<Statement> Prepare(const std::string& sql) override {
        return PrepareStatement(sql);
    }

    std::int64_t Execute(const std::string& sql, const std::vector<DbValue>& params) override {
        std::shared_ptr<PgStatement> stmt = PrepareStatement(sql);
        for (std::size_t i = 0; i < params.size(); ++i)
            stmt->Bind(static_cast<int>(i + 1), params[i]);
        stmt->Step();
        const std::int64_t changed = stmt->Changed();
        stmt->Reset();
        return changed;
    }

    std::int64_t LastInsertKey() const override { return session_->lastKey; }

    void Begin() override { session_->Exec("BEGIN"); }
    void Commit() override { session_->Exec("COMMIT"); }
    void Rollback() override {
        // A transaction on a connection that is gone went with it.
        if (PQstatus(session_->conn) == CONNECTION_OK &&
            PQtransactionStatus(session_->conn) != PQTRANS_IDLE)
            session_->Exec("ROLLBACK");
        // What the transaction made is gone: so is what was learnt of it.
        session_->Changed();
    }

    std::string FindTable(const std::string& name) override {
        const TableInfo* table = session_->Table(name);
        return table ? table->Spelling : std::string();
    }

    std::vector<std::string> Tables() override {
        Result r = session_->Exec("SELECT c.relname FROM pg_class c "
                                  "WHERE c.relnamespace = current_schema()::regnamespace "
                                  "AND c.relkind IN ('r', 'p') ORDER BY c.oid");
        std::vector<std::string> out;
        for (int row = 0; row < r.Rows(); ++row)
            if (const TableInfo* table = session_->Table(Utf8ToCp1252(r.Text(row, 0))))
                out.push_back(table->Spelling);
        return out;
    }

    std::vector<ColumnInfo> Columns(const std::string& table) override {
        const TableInfo* info = session_->Table(table);
        return info ? info->Columns : std::vector<ColumnInfo>();
    }

    std::vector<IndexColumn> IndexColumns(const std::string& table,
                                          const std::string& index) override {
        for (IndexInfo& i : ReadIndexes(table, true))
            if (FoldName(i.Name) == FoldName(index)) return i.Columns;
        return {};
    }

    std::vector<IndexInfo> Indexes(const std::string& table) override {
        return ReadIndexes(table, false);
    }

    std::string RowKeyExpression(const std::string& table) override {
        const TableInfo* info = session_->Table(table);
        if (!info)
            throw EDatabaseError(AnsiString("Tabella '" + table + "' non trovata sul server"));
        return info->Key;
    }

    std::string QuoteIdentifier(const std::string& name) const override { return QuoteName(name); }

    std::string OrderTerm(const IndexColumn& column) const override {
        std::string term = QuoteName(column.Name);
        if (column.Collation == "NOCASE") term = "lower(" + term + ")";
        return column.Descending ? term + " DESC" : term;
    }

    TFieldDef FieldDefFor(const ColumnInfo& column) const override {
        TFieldDef def = FieldDefFromDeclType(column.Name, column.DeclType);
        if (column.AutoIncrement) def.DataType = ftAutoInc;
        def.Required = column.NotNull && !column.HasDefault && !column.RowKey;
        return def;
    }

    std::string Identity() const override { return identity_; }

    bool Broken() const override { return PQstatus(session_->conn) != CONNECTION_OK; }

    std::unique_ptr<TableLock> OpenTableLock(const std::string& table,
                                             const std::string&) override {
        const TableInfo* info = session_->Table(table);
        if (!info)
            throw EDatabaseError(AnsiString("Tabella '" + table + "' non trovata sul server"));
        return session_->locks->Open(info->Oid);
    }

private:
    static constexpr std::size_t kCacheLimit = 256;

    std::shared_ptr<PgStatement> PrepareStatement(const std::string& sql) {
        LiftedStatement lifted;
        bool sameShape = false;
        const bool any = lifter_.Lift(sql, lifted, sameShape);
        std::shared_ptr<Compiled> compiled;
        // A lookup repeated with another key, the usual case, has the
        // compiled statement of the one before.
        if (sameShape && lastCompiled_ && lastCompiled_->generation == session_->generation) {
            compiled = lastCompiled_;
        } else {
            lastCompiled_.reset();
            const std::string shape = sameShape ? lifter_.KeptShape() : any ? lifted.Shape : sql;
            auto it = cache_.find(shape);
            if (it != cache_.end() && it->second->generation == session_->generation) {
                compiled = it->second;
            } else {
                if (it != cache_.end()) cache_.erase(it);
                compiled = Compile(shape, sql);
                if (cache_.size() >= kCacheLimit) Trim();
                cache_.emplace(shape, compiled);
            }
            if (lifter_.Kept()) lastCompiled_ = compiled;
        }
        return std::make_shared<PgStatement>(std::move(compiled), sql, std::move(lifted.Values));
    }

    std::shared_ptr<Compiled> Compile(const std::string& shape, const std::string& userSql) {
        auto compiled = std::make_shared<Compiled>();
        compiled->session = session_;
        compiled->shape = shape;
        compiled->text = pg::Translate(shape);
        compiled->generation = session_->generation;
        const pg::Translated& text = compiled->text;
        if (!text.Error.empty())
            throw EDatabaseError(
                AnsiString("Errore SQL: " + text.Error + "\nIstruzione: " + userSql));
        compiled->sql = text.Sql;
        if (!text.NaturalOrderTable.empty()) {
            // Rows in the order of their keys, as SQLite reads a table.
            if (const TableInfo* table = session_->Table(text.NaturalOrderTable)) {
                compiled->plainSql = compiled->sql;
                compiled->sql += " ORDER BY " + table->Key;
            }
        }
        if (text.Kind == StatementKind::Insert && !text.Table.empty()) {
            if (const TableInfo* table = session_->Table(text.Table)) {
                // Rows given without names fill the table's own columns, not
                // its hidden key.
                if (table->Hidden && !text.InsertHasColumns) {
                    std::string list = " (";
                    for (std::size_t i = 0; i < table->Catalog.size(); ++i)
                        list += (i ? ", " : "") + QuoteName(Utf8ToCp1252(table->Catalog[i].Folded));
                    compiled->sql.insert(text.InsertListAt, list + ")");
                }
                if (!text.InsertReturns) {
                    compiled->sql += " RETURNING " + table->Key;
                    compiled->returnsKey = true;
                }
            }
        }
        compiled->Prepare(userSql);
        return compiled;
    }

    void Trim() {
        for (auto it = cache_.begin(); it != cache_.end();) {
            if (it->second.use_count() == 1)
                it = cache_.erase(it);
            else
                ++it;
        }
    }

    std::vector<IndexInfo> ReadIndexes(const std::string& table, bool withKeys) {
        const TableInfo* info = session_->Table(table);
        if (!info) return {};
        Result r = session_->Exec(
            "SELECT i.relname, ix.indisunique, obj_description(i.oid, 'pg_class'), a.attname, "
            "pg_get_indexdef(ix.indexrelid, k.n, true), (ix.indoption[k.n - 1] & 1) = 1, "
            "EXISTS (SELECT 1 FROM pg_constraint c WHERE c.conindid = ix.indexrelid) "
            "FROM pg_index ix JOIN pg_class i ON i.oid = ix.indexrelid "
            "CROSS JOIN LATERAL generate_series(1, ix.indnkeyatts) AS k(n) "
            "LEFT JOIN pg_attribute a ON a.attrelid = ix.indrelid AND a.attnum = ix.indkey[k.n - "
            "1] "
            "WHERE ix.indrelid = $1 ORDER BY i.oid, k.n",
            {std::to_string(info->Oid)});
        std::vector<IndexInfo> out;
        std::string current;
        for (int row = 0; row < r.Rows(); ++row) {
            if (!withKeys && r.Text(row, 6) == "t") continue;
            const std::string folded = Utf8ToCp1252(r.Text(row, 0));
            if (out.empty() || folded != current) {
                current = folded;
                IndexInfo index;
                std::string spelling;
                index.Name = pg::ParseNameComment(Utf8ToCp1252(r.Text(row, 2)), spelling) &&
                                     FoldName(spelling) == folded
                                 ? spelling
                                 : folded;
                index.Unique = r.Text(row, 1) == "t";
                out.push_back(std::move(index));
            }
            IndexColumn column;
            std::string key = Utf8ToCp1252(r.IsNull(row, 3) ? r.Text(row, 4) : r.Text(row, 3));
            if (r.IsNull(row, 3)) {
                // lower(name) or lower((name)::text): case-insensitive order.
                if (key.rfind("lower(", 0) == 0) column.Collation = "NOCASE";
                std::string bare;
                for (char c : key.substr(key.rfind("lower(", 0) == 0 ? 6 : 0)) {
                    if (c == ':' || c == ')') break;
                    if (c != '(' && c != '"') bare += c;
                }
                key = bare;
            }
            column.Name = key;
            for (const CatalogColumn& c : info->Catalog)
                if (c.Folded == Cp1252ToUtf8(key)) column.Name = c.Spelling;
            column.Descending = r.Text(row, 5) == "t";
            out.back().Columns.push_back(std::move(column));
        }
        return out;
    }

    std::shared_ptr<Session> session_;
    bool readOnly_;
    std::string identity_;
    std::unordered_map<std::string, std::shared_ptr<Compiled>> cache_;
    LiteralLifter lifter_;
    // The compiled statement of the lifter's kept shape.
    std::shared_ptr<Compiled> lastCompiled_;
};

class PgDriver : public Driver {
public:
    std::unique_ptr<Connection> Connect(const ConnectParams& params) override {
        const std::string alias = "dell'alias '" + params.AliasName + "'";
        const std::string where = " (file di configurazione '" + EngineConfigPath() + "')";
        const std::string conninfo = Cp1252ToUtf8(params.Connection);
        char* error = nullptr;
        PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &error);
        if (!options) {
            const std::string why = error ? Utf8ToCp1252(Trimmed(error)) : "memoria insufficiente";
            PQfreemem(error);
            throw EDatabaseError(AnsiString("Connection " + alias + " non valida: " + why + where));
        }
        bool password = false;
        for (PQconninfoOption* o = options; o->keyword; ++o)
            password = password || (std::string(o->keyword) == "password" && o->val && *o->val);
        PQconninfoFree(options);
        if (password)
            throw EDatabaseError(AnsiString(
                "La password " + alias +
                " non va scritta nel file di configurazione: libpq la legge da ~/.pgpass o da "
                "PGPASSWORD" +
                where));

        auto session = std::make_shared<Session>();
        session->alias = params.AliasName;
        session->conn = PQconnectdb(conninfo.c_str());
        // The server's notices ("drop cascades to...") are not the user's business.
        PQsetNoticeProcessor(
            session->conn, [](void*, const char*) {}, nullptr);
        if (PQstatus(session->conn) != CONNECTION_OK)
            throw EDatabaseError(
                AnsiString("Impossibile connettersi al server " + alias + " (" + params.Connection +
                           "): " + Utf8ToCp1252(Trimmed(PQerrorMessage(session->conn))) + where));
        if (PQserverVersion(session->conn) < 110000)
            throw EDatabaseError(AnsiString(
                "Il server " + alias + " \xE8 troppo vecchio: serve PostgreSQL 11 o successivo"));
        PQsetClientEncoding(session->conn, "UTF8");
        // Dates as the archive writes them; a lock held elsewhere waits as
        // long as SQLite would, then fails.
        session->conninfo = conninfo;
        session->settings = std::string("SET datestyle = 'ISO, YMD'; SET lock_timeout = '5s'") +
                            (params.ReadOnly ? "; SET default_transaction_read_only = on" : "");
        session->Exec(session->settings);
        std::weak_ptr<Session> weak = session;
        session->locks = std::make_shared<pg::SessionLocks>(
            [weak](const std::string& sql, const std::string& a, const std::string& b) {
                std::shared_ptr<Session> s = weak.lock();
                if (!s) return false;
                std::vector<std::string> values{a};
                if (!b.empty()) values.push_back(b);
                Result r = s->Exec(sql, values);
                return r.Rows() == 1 && r.Text(0, 0) == "t";
            },
            [weak] {
                std::shared_ptr<Session> s = weak.lock();
                return s && PQstatus(s->conn) == CONNECTION_OK;
            });
        Result place = session->Exec("SELECT current_database(), current_schema()");
        const std::string identity = "postgres://" + Utf8ToCp1252(PQhost(session->conn)) + ":" +
                                     PQport(session->conn) + "/" + Utf8ToCp1252(place.Text(0, 0)) +
                                     "/" + Utf8ToCp1252(place.Text(0, 1));
        return std::make_unique<PgConnection>(std::move(session), params.ReadOnly, identity);
    }
};

} // namespace

std::unique_ptr<Driver> MakePgDriver() {
    return std::make_unique<PgDriver>();
}

} // namespace dbengine
