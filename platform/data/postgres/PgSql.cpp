#include "platform/data/postgres/PgSql.h"

#include "platform/data/Driver.h"

#include <algorithm>
#include <cstdlib>

namespace dbengine::pg {

namespace {

// --- tokens ------------------------------------------------------------------

struct Token {
    enum Kind { Space, Comment, Word, Name, String, Number, Param, Punct } kind = Punct;
    std::string text;  // as written
    std::string value; // a quoted name without its quotes; a word in upper case
};

bool IsWordStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool IsWordChar(char c) {
    return IsWordStart(c) || (c >= '0' && c <= '9') || c == '$';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// The end of a quoted run opened at begin; a doubled closing quote stays
// inside. The text's end when it is never closed.
std::size_t QuotedEnd(const std::string& s, std::size_t begin, char close) {
    for (std::size_t i = begin + 1; i < s.size(); ++i) {
        if (s[i] != close) continue;
        if (close != ']' && i + 1 < s.size() && s[i + 1] == close) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return s.size();
}

std::vector<Token> Tokenize(const std::string& s) {
    std::vector<Token> out;
    std::size_t i = 0;
    const std::size_t n = s.size();
    auto push = [&](Token::Kind kind, std::size_t end) {
        Token t;
        t.kind = kind;
        t.text = s.substr(i, end - i);
        out.push_back(std::move(t));
        i = end;
    };
    while (i < n) {
        const char c = s[i];
        const char next = i + 1 < n ? s[i + 1] : '\0';
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            std::size_t end = i;
            while (end < n && (s[end] == ' ' || s[end] == '\t' || s[end] == '\r' ||
                               s[end] == '\n' || s[end] == '\f' || s[end] == '\v'))
                ++end;
            push(Token::Space, end);
        } else if (c == '-' && next == '-') {
            const std::size_t end = s.find('\n', i);
            push(Token::Comment, end == std::string::npos ? n : end);
        } else if (c == '/' && next == '*') {
            const std::size_t end = s.find("*/", i + 2);
            push(Token::Comment, end == std::string::npos ? n : end + 2);
        } else if (c == '\'') {
            push(Token::String, QuotedEnd(s, i, '\''));
        } else if (c == '"' || c == '`' || c == '[') {
            const char close = c == '[' ? ']' : c;
            const std::size_t end = QuotedEnd(s, i, close);
            Token t;
            t.kind = Token::Name;
            t.text = s.substr(i, end - i);
            const std::size_t inner =
                end - i >= 2 && s[end - 1] == close ? end - i - 2 : end - i - 1;
            for (std::size_t k = i + 1; k < i + 1 + inner; ++k) {
                t.value += s[k];
                if (close != ']' && s[k] == close) ++k;
            }
            out.push_back(std::move(t));
            i = end;
        } else if (IsWordStart(c)) {
            std::size_t end = i;
            while (end < n && IsWordChar(s[end]))
                ++end;
            push(Token::Word, end);
            out.back().value = Upper(out.back().text);
        } else if (IsDigit(c) || (c == '.' && IsDigit(next))) {
            std::size_t end = i;
            while (end < n &&
                   (IsWordChar(s[end]) || s[end] == '.' ||
                    ((s[end] == '+' || s[end] == '-') && (s[end - 1] == 'e' || s[end - 1] == 'E') &&
                     !(s[i] == '0' && i + 1 < n && (s[i + 1] == 'x' || s[i + 1] == 'X')))))
                ++end;
            push(Token::Number, end);
        } else if (c == '?') {
            std::size_t end = i + 1;
            while (end < n && IsDigit(s[end]))
                ++end;
            push(Token::Param, end);
        } else {
            std::size_t length = 1;
            static const char* const pairs[] = {
                "<>", "<=", ">=", "==", "!=", "||", "::", "<<", ">>", "->"};
            for (const char* p : pairs)
                if (c == p[0] && next == p[1]) length = 2;
            push(Token::Punct, i + length);
        }
    }
    return out;
}

bool Significant(const Token& t) {
    return t.kind != Token::Space && t.kind != Token::Comment;
}

bool IsWord(const Token& t, const char* upper) {
    return t.kind == Token::Word && t.value == upper;
}

bool IsPunct(const Token& t, const char* text) {
    return t.kind == Token::Punct && t.text == text;
}

// The next significant token at or after i, tokens.size() when none.
std::size_t NextSignificant(const std::vector<Token>& tokens, std::size_t i) {
    while (i < tokens.size() && !Significant(tokens[i]))
        ++i;
    return i;
}

// The index of the ')' that closes the '(' at open (end when unclosed).
std::size_t Closing(const std::vector<Token>& tokens, std::size_t open, std::size_t end) {
    int depth = 0;
    for (std::size_t i = open; i < end; ++i) {
        if (IsPunct(tokens[i], "(")) ++depth;
        if (IsPunct(tokens[i], ")") && --depth == 0) return i;
    }
    return end;
}

// Words after which a parenthesised query has no alias yet.
bool EndsSubqueryAlias(const Token& t) {
    if (t.kind == Token::Name) return false;
    if (t.kind != Token::Word) return true;
    static const char* const clauses[] = {
        "WHERE",  "GROUP",  "ORDER", "LIMIT", "OFFSET", "UNION",    "EXCEPT",  "INTERSECT",
        "JOIN",   "INNER",  "LEFT",  "RIGHT", "FULL",   "CROSS",    "NATURAL", "ON",
        "HAVING", "WINDOW", "FETCH", "FOR",   "USING",  "RETURNING"};
    return std::any_of(std::begin(clauses), std::end(clauses),
                       [&](const char* w) { return t.value == w; });
}

// --- types -----------------------------------------------------------------------

bool OneOf(const std::string& base, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(), [&](const char* n) { return base == n; });
}

// The server's type, without collation; family as DeclFamily.
std::string PlainServerType(const std::string& declType, char& family) {
    const DeclTypeParts t = SplitDeclType(declType);
    const std::string& b = t.Base;
    family = 'i';
    if (b.empty()) {
        family = 't';
        return "text";
    }
    if (OneOf(b, {"INTEGER", "INT", "INT4", "MEDIUMINT", "WORD", "AUTOINC", "COUNTER", "SERIAL",
                  "LONGINT", "LONG"}))
        return "integer";
    if (OneOf(b, {"SMALLINT", "INT2", "TINYINT", "SHORTINT", "SHORT", "BOOLEAN", "BOOL", "LOGICAL",
                  "BIT"}))
        return "smallint";
    if (OneOf(b, {"BIGINT", "LARGEINT", "INT64", "INT8", "BIGSERIAL"})) return "bigint";
    family = 't';
    if (OneOf(b, {"VARCHAR", "CHAR", "CHARACTER", "NVARCHAR", "NCHAR", "VARYING CHARACTER",
                  "CHARACTER VARYING", "STRING", "ALPHA", "BPCHAR"}))
        return t.Args.empty() || t.Args[0] <= 0 ? "varchar"
                                                : "varchar(" + std::to_string(t.Args[0]) + ")";
    if (OneOf(b, {"TEXT", "MEMO", "FMTMEMO", "CLOB", "LONGTEXT", "NTEXT", "MEDIUMTEXT"}))
        return "text";
    family = 'b';
    if (OneOf(b, {"BLOB", "BINARY", "GRAPHIC", "BYTES", "VARBINARY", "BYTEA", "OLE"}))
        return "bytea";
    family = 'd';
    if (b == "DATE") return "date";
    family = 's';
    if (OneOf(b, {"DATETIME", "TIMESTAMP"})) return "timestamp";
    family = 'h';
    if (b == "TIME") return "time";
    family = 'n';
    if (OneOf(b, {"NUMERIC", "DECIMAL", "BCD", "NUMBER"})) {
        if (t.Args.empty() || t.Args[0] < 1 || t.Args[0] > 1000) return "numeric";
        const int scale = t.Args.size() >= 2 ? t.Args[1] : 0;
        if (scale < 0 || scale > t.Args[0]) return "numeric";
        return "numeric(" + std::to_string(t.Args[0]) + "," + std::to_string(scale) + ")";
    }
    if (OneOf(b, {"CURRENCY", "MONEY"})) return "numeric(19,4)";
    family = 'f';
    if (OneOf(b, {"REAL", "DOUBLE", "DOUBLE PRECISION", "FLOAT", "FLOAT8", "FLOAT4"}))
        return "double precision";
    // SQLite's affinity rules for any other declaration.
    if (b.find("INT") != std::string::npos) {
        family = 'i';
        return "integer";
    }
    if (b.find("CHAR") != std::string::npos || b.find("CLOB") != std::string::npos ||
        b.find("TEXT") != std::string::npos) {
        family = 't';
        return "text";
    }
    if (b.find("REAL") != std::string::npos || b.find("FLOA") != std::string::npos ||
        b.find("DOUB") != std::string::npos)
        return "double precision";
    family = 'n';
    return "numeric";
}

// --- the translation ------------------------------------------------------------

class Translator {
public:
    explicit Translator(const std::string& sql) : tokens_(Tokenize(sql)) {}

    Translated Run() {
        Translated out;
        // One statement: nothing but a ';' and blanks may follow it.
        std::size_t end = tokens_.size();
        for (std::size_t i = 0; i < tokens_.size(); ++i) {
            if (!IsPunct(tokens_[i], ";")) continue;
            for (std::size_t k = i + 1; k < tokens_.size(); ++k)
                if (Significant(tokens_[k]) && !IsPunct(tokens_[k], ";")) {
                    out.Error = "una sola istruzione alla volta";
                    return out;
                }
            end = i;
            break;
        }
        end_ = end;
        for (std::size_t i = 0; i < end_; ++i) {
            if (tokens_[i].kind == Token::Word) out.Names.push_back(tokens_[i].text);
            if (tokens_[i].kind == Token::Name) out.Names.push_back(tokens_[i].value);
        }
        const std::size_t first = NextSignificant(tokens_, 0);
        if (first >= end_) {
            out.Error = "istruzione vuota";
            return out;
        }
        const Token& head = tokens_[first];
        const std::size_t second = NextSignificant(tokens_, first + 1);
        const Token* next = second < end_ ? &tokens_[second] : nullptr;
        if (IsWord(head, "SELECT") || IsWord(head, "VALUES") || IsWord(head, "WITH") ||
            IsPunct(head, "(")) {
            out.Kind = StatementKind::Select;
        } else if (IsWord(head, "INSERT") || IsWord(head, "REPLACE")) {
            out.Kind = StatementKind::Insert;
        } else if (IsWord(head, "UPDATE")) {
            out.Kind = StatementKind::Update;
        } else if (IsWord(head, "DELETE")) {
            out.Kind = StatementKind::Delete;
        } else if (IsWord(head, "DROP")) {
            out.Kind = StatementKind::Drop;
        } else if (IsWord(head, "ALTER") && next && IsWord(*next, "TABLE")) {
            out.Kind = StatementKind::AlterTable;
            if (AlterAdd(second + 1, out)) return out;
        } else if (IsWord(head, "CREATE")) {
            if (CreateTable(first + 1, out) || CreateIndex(first + 1, out)) return out;
        }
        out.Sql = Rewrite(0, end_, &out);
        out.Params = params_;
        out.NamesHiddenKey = namesHidden_;
        if (IsWord(head, "SELECT")) out.NaturalOrderTable = SingleTable(first + 1);
        return out;
    }

private:
    // Writes the tokens [begin, end) for the server. With a statement given,
    // an INSERT's table and column list are noted on it.
    std::string Rewrite(std::size_t begin, std::size_t end, Translated* statement = nullptr) {
        std::string sql;
        struct Open {
            bool query = false; // a parenthesised query after FROM or JOIN
            bool cast = false;
        };
        std::vector<Open> opens;
        const Token* previous = nullptr;
        bool afterInto = false;
        for (std::size_t i = begin; i < end; ++i) {
            const Token& t = tokens_[i];
            if (!Significant(t)) {
                sql += t.text;
                continue;
            }
            const Token* before = previous;
            previous = &t;
            if (statement && statement->Kind == StatementKind::Insert) {
                if (IsWord(t, "INTO")) {
                    afterInto = true;
                } else if (afterInto && (t.kind == Token::Word || t.kind == Token::Name)) {
                    afterInto = false;
                    statement->Table = t.kind == Token::Name ? FoldName(t.value) : FoldName(t.text);
                    sql += t.kind == Token::Name ? QuoteName(t.value) : t.text;
                    statement->InsertListAt = sql.size();
                    const std::size_t k = NextSignificant(tokens_, i + 1);
                    if (k < end && IsPunct(tokens_[k], "(")) {
                        const std::size_t j = NextSignificant(tokens_, k + 1);
                        statement->InsertHasColumns = j < end && !IsWord(tokens_[j], "SELECT") &&
                                                      !IsWord(tokens_[j], "WITH") &&
                                                      !IsWord(tokens_[j], "VALUES");
                    }
                    continue;
                }
                if (opens.empty() && IsWord(t, "RETURNING")) statement->InsertReturns = true;
            }
            switch (t.kind) {
            case Token::Name: {
                const std::string folded = FoldName(t.value);
                if (folded == kHiddenKey) namesHidden_ = true;
                sql += QuoteName(t.value);
                break;
            }
            case Token::Word:
                if (t.value == "TRUE") {
                    sql += "1";
                } else if (t.value == "FALSE") {
                    sql += "0";
                } else if (t.value == "IFNULL") {
                    sql += "coalesce";
                } else if (t.value == "LIKE") {
                    // SQLite's LIKE ignores the case of ASCII letters.
                    sql += "ILIKE";
                } else if (t.value == "AS" && !opens.empty() && opens.back().cast) {
                    // The type of a CAST: the archive's names become the server's.
                    const std::size_t close = Closing(tokens_, OpenOf(i, begin), end);
                    std::string decl;
                    for (std::size_t k = i + 1; k < close; ++k)
                        decl += tokens_[k].text;
                    char family;
                    sql += t.text + " " + PlainServerType(decl, family);
                    i = close - 1;
                } else {
                    if (FoldName(t.text) == kHiddenKey) namesHidden_ = true;
                    sql += t.text;
                }
                break;
            case Token::Param:
                sql += "$" + std::to_string(++params_);
                break;
            case Token::Punct:
                if (t.text == "(") {
                    Open open;
                    const std::size_t k = NextSignificant(tokens_, i + 1);
                    open.query = before && (IsWord(*before, "FROM") || IsWord(*before, "JOIN")) &&
                                 k < end &&
                                 (IsWord(tokens_[k], "SELECT") || IsWord(tokens_[k], "VALUES") ||
                                  IsWord(tokens_[k], "WITH"));
                    open.cast = before && IsWord(*before, "CAST");
                    opens.push_back(open);
                    sql += t.text;
                } else if (t.text == ")") {
                    sql += t.text;
                    if (!opens.empty()) {
                        const bool query = opens.back().query;
                        opens.pop_back();
                        const std::size_t k = NextSignificant(tokens_, i + 1);
                        if (query && (k >= end ||
                                      (EndsSubqueryAlias(tokens_[k]) && !IsWord(tokens_[k], "AS"))))
                            sql += " AS quor_sub" + std::to_string(++aliases_);
                    }
                } else if (t.text == "==") {
                    sql += "=";
                } else {
                    sql += t.text;
                }
                break;
            default:
                sql += t.text;
                break;
            }
        }
        return sql;
    }

    // The table of "SELECT ... FROM table [alias] [WHERE ...]" with nothing
    // that groups, orders, joins or combines; empty for any other SELECT.
    std::string SingleTable(std::size_t i) const {
        static const char* const refused[] = {
            "ORDER",   "GROUP",     "HAVING",       "LIMIT",      "OFFSET",    "UNION",
            "EXCEPT",  "INTERSECT", "DISTINCT",     "JOIN",       "FOR",       "WINDOW",
            "FETCH",   "INTO",      "COUNT",        "SUM",        "AVG",       "MIN",
            "MAX",     "TOTAL",     "GROUP_CONCAT", "STRING_AGG", "ARRAY_AGG", "BOOL_AND",
            "BOOL_OR", "EVERY",     "STDDEV",       "VARIANCE",   "JSON_AGG"};
        std::string table;
        int depth = 0;
        bool afterFrom = false, named = false;
        for (; i < end_; ++i) {
            const Token& t = tokens_[i];
            if (!Significant(t)) continue;
            if (IsPunct(t, "(")) ++depth;
            if (IsPunct(t, ")")) --depth;
            if (t.kind == Token::Word && std::any_of(std::begin(refused), std::end(refused),
                                                     [&](const char* w) { return t.value == w; }))
                return {};
            if (depth != 0) continue;
            if (IsWord(t, "FROM")) {
                if (afterFrom) return {};
                afterFrom = true;
                continue;
            }
            if (!afterFrom || named) {
                if (afterFrom && (IsPunct(t, ",") || IsPunct(t, "("))) return {};
                if (IsWord(t, "WHERE")) break;
                continue;
            }
            if (t.kind != Token::Word && t.kind != Token::Name) return {};
            table = FoldName(t.kind == Token::Name ? t.value : t.text);
            named = true;
        }
        return table;
    }

    // The '(' that the token at i is inside of.
    std::size_t OpenOf(std::size_t i, std::size_t begin) const {
        int depth = 0;
        for (std::size_t k = i; k-- > begin;) {
            if (IsPunct(tokens_[k], ")")) ++depth;
            if (IsPunct(tokens_[k], "(")) {
                if (depth == 0) return k;
                --depth;
            }
        }
        return begin;
    }

    // A name token at i: its spelling, and i moved past it. False when there is none.
    bool NameAt(std::size_t& i, std::string& spelling) const {
        i = NextSignificant(tokens_, i);
        if (i >= end_) return false;
        const Token& t = tokens_[i];
        if (t.kind == Token::Name) {
            spelling = t.value;
        } else if (t.kind == Token::Word) {
            spelling = t.text;
        } else {
            return false;
        }
        ++i;
        return true;
    }

    bool WordAt(std::size_t& i, const char* upper) const {
        const std::size_t k = NextSignificant(tokens_, i);
        if (k < end_ && IsWord(tokens_[k], upper)) {
            i = k + 1;
            return true;
        }
        return false;
    }

    static bool ConstraintWord(const Token& t) {
        static const char* const words[] = {"CONSTRAINT", "PRIMARY",   "NOT",     "NULL",
                                            "UNIQUE",     "CHECK",     "DEFAULT", "COLLATE",
                                            "REFERENCES", "GENERATED", "AS",      "FOREIGN"};
        return t.kind == Token::Word && std::any_of(std::begin(words), std::end(words),
                                                    [&](const char* w) { return t.value == w; });
    }

    // One column definition in [begin, end): its server text and comment data.
    // pkColumn: the single column named by a table-level PRIMARY KEY.
    ColumnDefinition Column(std::size_t begin, std::size_t end, const std::string& pkColumn,
                            bool& integerKey) {
        ColumnDefinition c;
        std::size_t i = begin;
        NameAt(i, c.Spelling);
        // The type: words up to a constraint, then numbers in parentheses.
        std::string decl;
        for (i = NextSignificant(tokens_, i); i < end; i = NextSignificant(tokens_, i + 1)) {
            const Token& t = tokens_[i];
            if (t.kind == Token::Word && !ConstraintWord(t)) {
                decl += (decl.empty() ? "" : " ") + t.value;
            } else if (IsPunct(t, "(") && !decl.empty()) {
                const std::size_t close = Closing(tokens_, i, end);
                decl += "(";
                for (std::size_t k = i + 1; k < close; ++k)
                    if (Significant(tokens_[k])) decl += tokens_[k].text;
                decl += ")";
                i = close;
            } else {
                break;
            }
        }
        c.DeclType = decl;
        // The constraints, without what only SQLite reads.
        bool primary = FoldName(c.Spelling) == pkColumn;
        std::string constraints;
        while (i < end) {
            const Token& t = tokens_[i];
            if (IsWord(t, "PRIMARY")) {
                std::size_t k = i + 1;
                WordAt(k, "KEY");
                primary = true;
                constraints += " PRIMARY KEY";
                if (!WordAt(k, "ASC")) WordAt(k, "DESC");
                SkipConflict(k);
                if (WordAt(k, "AUTOINCREMENT")) c.AutoIncrement = true;
                i = k;
            } else if (IsWord(t, "AUTOINCREMENT")) {
                c.AutoIncrement = true;
                ++i;
            } else if (IsWord(t, "COLLATE")) {
                // Text sorts by the column's own collation ("C"); case-insensitive
                // order is the business of indexes.
                std::size_t k = i + 1;
                std::string ignored;
                NameAt(k, ignored);
                i = k;
            } else if (IsWord(t, "UNIQUE") || (IsWord(t, "NOT") && NotNullAt(i))) {
                std::size_t k = i + 1;
                if (IsWord(t, "NOT")) WordAt(k, "NULL");
                constraints += IsWord(t, "NOT") ? " NOT NULL" : " UNIQUE";
                SkipConflict(k);
                i = k;
            } else {
                // DEFAULT, CHECK, REFERENCES...: up to the next constraint word
                // at the top level.
                std::size_t k = i + 1;
                for (; k < end; ++k) {
                    if (IsPunct(tokens_[k], "(")) {
                        k = Closing(tokens_, k, end);
                        continue;
                    }
                    if (ConstraintWord(tokens_[k]) && !IsWord(tokens_[k], "NULL") &&
                        (!IsWord(tokens_[k], "NOT") || NotNullAt(k)))
                        break;
                }
                std::string part = Rewrite(i, k);
                while (!part.empty() && (part.back() == ' ' || part.back() == '\n' ||
                                         part.back() == '\r' || part.back() == '\t'))
                    part.pop_back();
                constraints += " " + part;
                i = k;
            }
            i = NextSignificant(tokens_, i);
        }
        const std::string upper = SplitDeclType(decl).Base;
        c.Identity = (primary && upper == "INTEGER") || c.AutoIncrement ||
                     OneOf(upper, {"AUTOINC", "COUNTER", "SERIAL"});
        if (OneOf(upper, {"AUTOINC", "COUNTER", "SERIAL"})) c.AutoIncrement = true;
        char family;
        PlainServerType(decl, family);
        if (primary && family == 'i' && !OneOf(upper, {"BOOLEAN", "BOOL", "LOGICAL", "BIT"}))
            integerKey = true;
        c.Sql = QuoteName(c.Spelling) + " " + ServerType(decl, c.Identity) + constraints;
        return c;
    }

    bool NotNullAt(std::size_t i) const {
        std::size_t k = i + 1;
        return WordAt(k, "NULL");
    }

    void SkipConflict(std::size_t& k) const {
        std::size_t j = k;
        if (WordAt(j, "ON") && WordAt(j, "CONFLICT")) {
            std::string ignored;
            NameAt(j, ignored);
            k = j;
        }
    }

    std::string Comments(const std::string& table, const std::vector<ColumnDefinition>& columns) {
        std::string sql;
        for (const ColumnDefinition& c : columns)
            sql += ";\nCOMMENT ON COLUMN " + table + "." + QuoteName(c.Spelling) + " IS " +
                   QuoteText(ColumnComment(c.Spelling, c.DeclType, c.AutoIncrement));
        return sql;
    }

    static std::string KeyTrigger(const std::string& table, const std::string& column) {
        // An explicit key beyond the sequence moves the sequence on, as SQLite
        // numbers after the largest key given.
        return ";\nCREATE OR REPLACE FUNCTION quor_follow_key() RETURNS trigger "
               "LANGUAGE plpgsql AS $quor$\n"
               "DECLARE seq text := pg_get_serial_sequence(format('%I.%I', TG_TABLE_SCHEMA, "
               "TG_TABLE_NAME), TG_ARGV[0]); top bigint; last bigint;\n"
               "BEGIN\n"
               "  EXECUTE format('SELECT max(%I) FROM quor_new_rows', TG_ARGV[0]) INTO top;\n"
               "  IF top IS NULL OR seq IS NULL THEN RETURN NULL; END IF;\n"
               "  EXECUTE format('SELECT CASE WHEN is_called THEN last_value END FROM %s', seq) "
               "INTO last;\n"
               "  IF last IS NULL OR top > last THEN PERFORM setval(seq, top); END IF;\n"
               "  RETURN NULL;\n"
               "END $quor$;\n"
               "CREATE TRIGGER quor_key AFTER INSERT ON " +
               table +
               " REFERENCING NEW TABLE AS quor_new_rows FOR EACH STATEMENT "
               "EXECUTE FUNCTION quor_follow_key(" +
               QuoteText(FoldName(column)) + ")";
    }

    // CREATE [TEMP] TABLE [IF NOT EXISTS] name (...) [WITHOUT ROWID]
    bool CreateTable(std::size_t i, Translated& out) {
        bool temporary = WordAt(i, "TEMP") || WordAt(i, "TEMPORARY");
        if (!WordAt(i, "TABLE")) return false;
        bool ifNotExists = false;
        {
            std::size_t k = i;
            if (WordAt(k, "IF") && WordAt(k, "NOT") && WordAt(k, "EXISTS")) {
                ifNotExists = true;
                i = k;
            }
        }
        std::string spelling;
        if (!NameAt(i, spelling)) return false;
        const std::size_t open = NextSignificant(tokens_, i);
        if (open >= end_ || !IsPunct(tokens_[open], "(")) return false; // CREATE TABLE ... AS
        const std::size_t close = Closing(tokens_, open, end_);
        // The elements, split at the top-level commas.
        std::vector<std::pair<std::size_t, std::size_t>> parts;
        std::size_t from = open + 1;
        int depth = 0;
        for (std::size_t k = open + 1; k < close; ++k) {
            if (IsPunct(tokens_[k], "(")) ++depth;
            if (IsPunct(tokens_[k], ")")) --depth;
            if (depth == 0 && IsPunct(tokens_[k], ",")) {
                parts.emplace_back(from, k);
                from = k + 1;
            }
        }
        parts.emplace_back(from, close);
        // A table-level PRIMARY KEY of one column makes that column the key.
        std::string pkColumn;
        std::vector<std::pair<std::size_t, std::size_t>> constraints;
        for (const auto& [b, e] : parts) {
            const std::size_t k = NextSignificant(tokens_, b);
            if (k >= e) continue;
            const Token& t = tokens_[k];
            if (IsWord(t, "CONSTRAINT") || IsWord(t, "PRIMARY") || IsWord(t, "UNIQUE") ||
                IsWord(t, "CHECK") || IsWord(t, "FOREIGN")) {
                constraints.emplace_back(b, e);
                std::size_t j = k;
                if (IsWord(t, "CONSTRAINT")) {
                    std::string ignored;
                    ++j;
                    NameAt(j, ignored);
                }
                if (WordAt(j, "PRIMARY") && WordAt(j, "KEY")) {
                    const std::size_t p = NextSignificant(tokens_, j);
                    if (p < e && IsPunct(tokens_[p], "(")) {
                        const std::size_t q = Closing(tokens_, p, e);
                        std::size_t n = p + 1;
                        std::string column;
                        if (NameAt(n, column) && NextSignificant(tokens_, n) >= q)
                            pkColumn = FoldName(column);
                    }
                }
            }
        }
        const std::string table = QuoteName(spelling);
        out.Kind = StatementKind::CreateTable;
        out.Table = FoldName(spelling);
        out.IfNotExists = ifNotExists;
        bool integerKey = false;
        std::string identity;
        std::string body;
        for (const auto& [b, e] : parts) {
            if (std::find(constraints.begin(), constraints.end(), std::make_pair(b, e)) !=
                constraints.end())
                continue;
            if (NextSignificant(tokens_, b) >= e) continue;
            ColumnDefinition c = Column(b, e, pkColumn, integerKey);
            if (c.Identity && identity.empty()) identity = c.Spelling;
            body += (body.empty() ? "\n  " : ",\n  ") + c.Sql;
            out.Columns.push_back(std::move(c));
        }
        if (!integerKey) {
            body += std::string(",\n  ") + kHiddenKey +
                    " bigint GENERATED BY DEFAULT AS IDENTITY UNIQUE";
            if (identity.empty()) identity = kHiddenKey;
        }
        for (const auto& [b, e] : constraints) {
            std::string part = Rewrite(b, e);
            body += ",\n  " + part.substr(part.find_first_not_of(" \t\r\n"));
        }
        out.Sql = "CREATE " + std::string(temporary ? "TEMPORARY " : "") + "TABLE " + table + " (" +
                  body + "\n);\nCOMMENT ON TABLE " + table + " IS " +
                  QuoteText(NameComment(spelling)) + Comments(table, out.Columns);
        if (!identity.empty()) out.Sql += KeyTrigger(table, identity);
        out.NamesHiddenKey = namesHidden_;
        out.Params = params_;
        return true;
    }

    // ALTER TABLE name ADD [COLUMN] definition
    bool AlterAdd(std::size_t i, Translated& out) {
        std::string spelling;
        if (!NameAt(i, spelling) || !WordAt(i, "ADD")) return false;
        WordAt(i, "COLUMN");
        const std::size_t k = NextSignificant(tokens_, i);
        if (k >= end_ || IsWord(tokens_[k], "CONSTRAINT") || IsWord(tokens_[k], "PRIMARY") ||
            IsWord(tokens_[k], "UNIQUE") || IsWord(tokens_[k], "CHECK") ||
            IsWord(tokens_[k], "FOREIGN"))
            return false;
        bool integerKey = false;
        ColumnDefinition c = Column(k, end_, std::string(), integerKey);
        const std::string table = QuoteName(spelling);
        out.Table = FoldName(spelling);
        out.Sql = "ALTER TABLE " + table + " ADD COLUMN " + c.Sql;
        out.Columns.push_back(std::move(c));
        out.Sql += Comments(table, out.Columns);
        out.Params = params_;
        return true;
    }

    // CREATE [UNIQUE] INDEX [IF NOT EXISTS] name ON table (column [COLLATE x] [ASC|DESC], ...)
    bool CreateIndex(std::size_t i, Translated& out) {
        const bool unique = WordAt(i, "UNIQUE");
        if (!WordAt(i, "INDEX")) return false;
        bool ifNotExists = false;
        {
            std::size_t k = i;
            if (WordAt(k, "IF") && WordAt(k, "NOT") && WordAt(k, "EXISTS")) {
                ifNotExists = true;
                i = k;
            }
        }
        std::string name, table;
        if (!NameAt(i, name) || !WordAt(i, "ON") || !NameAt(i, table)) return false;
        const std::size_t open = NextSignificant(tokens_, i);
        if (open >= end_ || !IsPunct(tokens_[open], "(")) return false;
        const std::size_t close = Closing(tokens_, open, end_);
        std::vector<IndexKey> keys;
        std::size_t k = open + 1;
        while (k < close) {
            IndexKey key;
            if (!NameAt(k, key.Column)) return false; // an expression: as written
            if (WordAt(k, "COLLATE")) {
                std::string collation;
                if (!NameAt(k, collation)) return false;
                key.NoCase = Upper(collation) == "NOCASE";
            }
            if (WordAt(k, "DESC"))
                key.Descending = true;
            else
                WordAt(k, "ASC");
            keys.push_back(std::move(key));
            k = NextSignificant(tokens_, k);
            if (k < close && IsPunct(tokens_[k], ",")) {
                ++k;
                continue;
            }
            if (k != close) return false;
        }
        if (keys.empty()) return false;
        out.Kind = StatementKind::CreateIndex;
        out.IndexSpelling = name;
        out.IndexUnique = unique;
        out.IndexKeys = std::move(keys);
        out.IfNotExists = ifNotExists;
        out.Table = FoldName(table);
        const std::size_t rest = NextSignificant(tokens_, close + 1);
        out.Sql = rest < end_ ? Rewrite(close + 1, end_) : std::string();
        out.Params = params_;
        return true;
    }

    std::vector<Token> tokens_;
    std::size_t end_ = 0;
    int params_ = 0;
    int aliases_ = 0;
    bool namesHidden_ = false;
};

} // namespace

std::string FoldName(const std::string& name) {
    std::string out = name;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string QuoteName(const std::string& name) {
    std::string out = "\"";
    for (char c : FoldName(name)) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string QuoteText(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}

Translated Translate(const std::string& sql) {
    return Translator(sql).Run();
}

std::vector<std::string> SplitStatements(const std::string& script) {
    std::vector<std::string> out;
    std::string current;
    bool any = false;
    for (const Token& t : Tokenize(script)) {
        if (IsPunct(t, ";")) {
            if (any) out.push_back(current);
            current.clear();
            any = false;
            continue;
        }
        current += t.text;
        any = any || Significant(t);
    }
    if (any) out.push_back(current);
    return out;
}

std::string CreateIndexSql(const Translated& index,
                           const std::function<bool(const std::string& folded)>& isText) {
    const std::string name = QuoteName(index.IndexSpelling);
    std::string sql = std::string("CREATE ") + (index.IndexUnique ? "UNIQUE " : "") + "INDEX " +
                      (index.IfNotExists ? "IF NOT EXISTS " : "") + name + " ON " +
                      QuoteName(index.Table) + " (";
    for (std::size_t i = 0; i < index.IndexKeys.size(); ++i) {
        const IndexKey& key = index.IndexKeys[i];
        const std::string column = QuoteName(key.Column);
        // The column's collation is "C": lower() folds ASCII letters only, as
        // SQLite's NOCASE does, and sorts byte by byte.
        sql += (i ? ", " : "") +
               (key.NoCase && isText(FoldName(key.Column)) ? "lower(" + column + ")" : column);
        if (key.Descending) sql += " DESC";
    }
    sql += ")" + index.Sql + ";\nCOMMENT ON INDEX " + name + " IS " +
           QuoteText(NameComment(index.IndexSpelling));
    return sql;
}

std::string ServerType(const std::string& declType, bool identity) {
    char family;
    const std::string type = PlainServerType(declType, family);
    if (identity)
        return type == "bigint" ? "bigint GENERATED BY DEFAULT AS IDENTITY"
                                : "integer GENERATED BY DEFAULT AS IDENTITY";
    return family == 't' ? type + " COLLATE \"C\"" : type;
}

std::string ColumnComment(const std::string& spelling, const std::string& declType,
                          bool autoIncrement) {
    std::string out = "\"";
    for (char c : spelling) {
        if (c == '"') out += '"';
        out += c;
    }
    out += "\"";
    if (!declType.empty()) out += " " + declType;
    if (autoIncrement) out += " AUTOINCREMENT";
    return out;
}

bool ParseColumnComment(const std::string& comment, std::string& spelling, std::string& declType,
                        bool& autoIncrement) {
    if (comment.size() < 2 || comment[0] != '"') return false;
    spelling.clear();
    std::size_t i = 1;
    for (; i < comment.size(); ++i) {
        if (comment[i] == '"') {
            if (i + 1 < comment.size() && comment[i + 1] == '"') {
                spelling += '"';
                ++i;
                continue;
            }
            break;
        }
        spelling += comment[i];
    }
    if (i >= comment.size() || spelling.empty()) return false;
    std::string rest = comment.substr(i + 1);
    while (!rest.empty() && rest.front() == ' ')
        rest.erase(rest.begin());
    autoIncrement = false;
    const std::string marker = "AUTOINCREMENT";
    if (rest.size() >= marker.size() &&
        rest.compare(rest.size() - marker.size(), marker.size(), marker) == 0) {
        autoIncrement = true;
        rest.erase(rest.size() - marker.size());
        while (!rest.empty() && rest.back() == ' ')
            rest.pop_back();
    }
    declType = rest;
    return true;
}

std::string NameComment(const std::string& spelling) {
    return ColumnComment(spelling, std::string(), false);
}

bool ParseNameComment(const std::string& comment, std::string& spelling) {
    std::string decl;
    bool autoIncrement = false;
    return ParseColumnComment(comment, spelling, decl, autoIncrement) && decl.empty();
}

char DeclFamily(const std::string& declType) {
    char family;
    PlainServerType(declType, family);
    return family;
}

} // namespace dbengine::pg
