#pragma once
// The engine's SQL as PostgreSQL reads it. Statements are written for the
// engine as SQLite takes them: names match whatever their case (quoted or
// not), "?" marks a parameter, types carry the archive's names (MEMO,
// CURRENCY, BOOLEAN, INTEGER PRIMARY KEY AUTOINCREMENT...). On the server
// every name is kept in lower case, each column's comment remembers its
// spelling and declared type, booleans are 0/1 like SQLite's, text sorts
// byte by byte (collation "C"), and a table without an integer key gets a
// hidden one (quor_rowid).

#include <functional>
#include <string>
#include <vector>

namespace dbengine::pg {

// The column that identifies a row when a table has no integer key of its own.
inline constexpr const char* kHiddenKey = "quor_rowid";

// A name as the server keeps it: ASCII letters in lower case.
std::string FoldName(const std::string& name);
// FoldName, quoted.
std::string QuoteName(const std::string& name);
// A text literal.
std::string QuoteText(const std::string& text);

enum class StatementKind {
    Select, // SELECT, VALUES, WITH
    Insert,
    Update,
    Delete,
    CreateTable,
    CreateIndex,
    AlterTable,
    Drop,
    Other, // anything else: runs as written (once translated)
};

// A column of CREATE TABLE or ALTER TABLE ... ADD.
struct ColumnDefinition {
    std::string Spelling; // as written, unquoted
    std::string DeclType; // as written ("VARCHAR(50)"), upper case; empty when none
    std::string Sql;      // the column's definition for the server
    bool Identity = false;
    bool AutoIncrement = false;
};

struct IndexKey {
    std::string Column; // as written, unquoted
    bool NoCase = false;
    bool Descending = false;
};

struct Translated {
    StatementKind Kind = StatementKind::Other;
    // The text for the server, "$n" for each "?". For CREATE TABLE and ALTER
    // TABLE ... ADD, the whole script with the comments and key triggers.
    std::string Sql;
    int Params = 0;
    // Error in Italian when the text cannot be taken (two statements...).
    std::string Error;
    // The table an INSERT, UPDATE, DELETE, CREATE or ALTER names (folded).
    std::string Table;
    // INSERT: where a column list may go, and whether there is one; whether
    // it returns rows of its own.
    std::size_t InsertListAt = 0;
    bool InsertHasColumns = false;
    bool InsertReturns = false;
    // CREATE TABLE / CREATE INDEX ... IF NOT EXISTS.
    bool IfNotExists = false;
    // A SELECT of one table with no order of its own: the table, whose key
    // order the rows may follow (SQLite returns such rows in key order).
    std::string NaturalOrderTable;
    // Whether the text names the hidden key itself.
    bool NamesHiddenKey = false;
    // Every name and word as written, in order: result columns are spelled
    // as the statement spells them.
    std::vector<std::string> Names;
    // CREATE TABLE / ALTER TABLE ... ADD.
    std::vector<ColumnDefinition> Columns;
    // CREATE INDEX.
    std::string IndexSpelling;
    bool IndexUnique = false;
    std::vector<IndexKey> IndexKeys;
};

// Translates one statement. Never throws: failures are in Error.
Translated Translate(const std::string& sql);
// The statements of a script, split at the semicolons between them.
std::vector<std::string> SplitStatements(const std::string& script);

// The CREATE INDEX script for the server, told which columns hold text.
std::string CreateIndexSql(const Translated& index,
                           const std::function<bool(const std::string& folded)>& isText);

// The server's type for a declared type ("MEMO" -> "text"); text columns
// come with collation "C". Identity: an integer key the server fills in.
std::string ServerType(const std::string& declType, bool identity = false);
// A column comment: its spelling and declared type, and the way back.
std::string ColumnComment(const std::string& spelling, const std::string& declType,
                          bool autoIncrement);
bool ParseColumnComment(const std::string& comment, std::string& spelling, std::string& declType,
                        bool& autoIncrement);
// A table or index comment: its spelling.
std::string NameComment(const std::string& spelling);
bool ParseNameComment(const std::string& comment, std::string& spelling);

// What a declared type holds, to tell whether a comment still describes its
// column: 'i' integer, 'f' real, 'n' exact number, 't' text, 'd' date,
// 's' date and time, 'h' time, 'b' bytes, '?' other.
char DeclFamily(const std::string& declType);

} // namespace dbengine::pg
