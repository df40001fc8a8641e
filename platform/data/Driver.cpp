#include "platform/data/Driver.h"

#include "platform/data/sqlite/SqliteDriver.h"
#ifdef QUOR_WITH_POSTGRES
#include "platform/data/postgres/PgDriver.h"
#endif

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>

namespace dbengine {

namespace {

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::map<std::string, std::unique_ptr<Driver>>& Registry() {
    static std::map<std::string, std::unique_ptr<Driver>> drivers = [] {
        std::map<std::string, std::unique_ptr<Driver>> m;
        m["SQLITE"] = MakeSqliteDriver();
#ifdef QUOR_WITH_POSTGRES
        m["POSTGRES"] = MakePgDriver();
#endif
        return m;
    }();
    return drivers;
}

} // namespace

std::string Connection::OrderTerm(const IndexColumn& column) const {
    std::string term = QuoteIdentifier(column.Name);
    if (!column.Collation.empty()) term += " COLLATE " + column.Collation;
    if (column.Descending) term += " DESC";
    return term;
}

std::unique_ptr<TableLock> Connection::OpenTableLock(const std::string& table,
                                                     const std::string& lockDir) {
    return OpenLockFileTableLock(lockDir, Identity(), table);
}

Driver* FindDriver(const std::string& name) {
    auto& r = Registry();
    auto it = r.find(Upper(name));
    return it == r.end() ? nullptr : it->second.get();
}

void RegisterDriver(const std::string& name, std::unique_ptr<Driver> driver) {
    Registry()[Upper(name)] = std::move(driver);
}

DeclTypeParts SplitDeclType(const std::string& declType) {
    DeclTypeParts parts;
    const std::string decl = Upper(declType);
    const std::size_t paren = decl.find('(');
    bool space = false;
    for (char c : decl.substr(0, paren)) {
        if (c == ' ' || c == '\t') {
            space = !parts.Base.empty();
            continue;
        }
        if (space) parts.Base += ' ';
        space = false;
        parts.Base += c;
    }
    if (paren != std::string::npos) {
        const char* p = decl.c_str() + paren + 1;
        while (*p && *p != ')') {
            char* end = nullptr;
            const long v = std::strtol(p, &end, 10);
            if (end == p) {
                ++p;
                continue;
            }
            parts.Args.push_back(static_cast<int>(v));
            p = end;
        }
    }
    return parts;
}

TFieldDef FieldDefFromDeclType(const std::string& name, const std::string& declType,
                               const DbValue* storage) {
    TFieldDef def;
    def.Name = AnsiString(name);
    const std::string decl = Upper(declType);
    const DeclTypeParts parts = SplitDeclType(declType);
    const std::string& base = parts.Base;
    const std::vector<int>& args = parts.Args;
    auto is = [&](std::initializer_list<const char*> names) {
        return std::any_of(names.begin(), names.end(), [&](const char* n) { return base == n; });
    };
    if (decl.find("AUTOINCREMENT") != std::string::npos || is({"AUTOINC", "COUNTER", "SERIAL"})) {
        def.DataType = ftAutoInc;
    } else if (is({"INTEGER", "INT", "SMALLINT", "TINYINT", "MEDIUMINT", "SHORTINT", "WORD"})) {
        def.DataType = ftInteger;
    } else if (is({"BIGINT", "LARGEINT", "INT64", "INT8"})) {
        def.DataType = ftLargeint;
    } else if (is({"VARCHAR", "CHAR", "CHARACTER", "NVARCHAR", "NCHAR", "VARYING CHARACTER",
                   "CHARACTER VARYING", "STRING", "ALPHA"})) {
        def.DataType = ftString;
        def.Size = args.empty() ? 255 : args[0];
    } else if (is({"TEXT", "MEMO", "CLOB", "LONGTEXT", "NTEXT", "BLOB"})) {
        def.DataType = ftMemo;
    } else if (is({"BOOLEAN", "BOOL", "LOGICAL", "BIT"})) {
        def.DataType = ftBoolean;
    } else if (base == "DATE") {
        def.DataType = ftDate;
    } else if (is({"DATETIME", "TIMESTAMP", "TIME"})) {
        def.DataType = ftDateTime;
    } else if (is({"NUMERIC", "DECIMAL", "BCD", "NUMBER"})) {
        // Beyond four decimals an exact amount cannot be kept: a real then.
        const int scale = args.size() >= 2 ? args[1] : 0;
        if (args.empty() || scale > 4) {
            def.DataType = ftFloat;
        } else {
            def.DataType = ftBCD;
            def.Precision = args[0];
            def.Scale = scale;
        }
    } else if (is({"CURRENCY", "MONEY"})) {
        def.DataType = ftCurrency;
        def.Precision = 19;
        def.Scale = 4;
    } else if (is({"REAL", "DOUBLE", "DOUBLE PRECISION", "FLOAT", "FLOAT8", "NUMBER"})) {
        def.DataType = ftFloat;
    } else if (!decl.empty()) {
        // SQLite's affinity rules for any other declaration.
        if (decl.find("INT") != std::string::npos)
            def.DataType = ftInteger;
        else if (decl.find("CHAR") != std::string::npos || decl.find("CLOB") != std::string::npos ||
                 decl.find("TEXT") != std::string::npos)
            def.DataType = ftMemo;
        else if (decl.find("REAL") != std::string::npos || decl.find("FLOA") != std::string::npos ||
                 decl.find("DOUB") != std::string::npos)
            def.DataType = ftFloat;
    }
    if (def.DataType == ftUnknown) {
        switch (storage ? storage->index() : 0) {
        case 1:
            def.DataType = ftInteger;
            break;
        case 2:
            def.DataType = ftFloat;
            break;
        default:
            def.DataType = ftString;
            break;
        }
    }
    return def;
}

} // namespace dbengine
