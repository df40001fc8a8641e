#include "tools/archivecopy/ArchiveCopy.h"

#include "platform/core/Encoding.h"
#include "platform/core/Exception.h"
#include "platform/core/Files.h"
#include "platform/data/Driver.h"
#include "platform/data/EngineConfig.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <vector>

namespace archivecopy {

namespace {

using dbengine::ColumnInfo;
using dbengine::Connection;
using dbengine::DbValue;

[[noreturn]] void Fail(const std::string& message) {
    throw EDatabaseError(AnsiString(message));
}

std::unique_ptr<Connection> Open(const std::string& alias, bool readOnly) {
    dbengine::ConnectParams params = dbengine::ResolveAlias(alias);
    params.ReadOnly = readOnly;
    return dbengine::FindDriver(params.Driver)->Connect(params);
}

// A name in the engine's SQL, spelled as the archive spells it: each engine
// keeps or records that spelling.
std::string Quote(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// The table as the engine's SQL declares it.
std::string CreateTableSql(const std::string& table, const std::vector<ColumnInfo>& columns) {
    const auto keys = std::count_if(columns.begin(), columns.end(),
                                    [](const ColumnInfo& c) { return c.PrimaryKey; });
    std::string sql = "CREATE TABLE " + Quote(table) + " (";
    std::vector<std::string> keyNames;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const ColumnInfo& c = columns[i];
        std::string type = c.DeclType;
        // The engine numbers a key of its own only when it is declared so.
        if (c.RowKey && keys == 1) {
            const std::string upper = Upper(type);
            if (upper.find("INT") != std::string::npos || upper == "AUTOINC" ||
                upper == "COUNTER" || upper == "SERIAL")
                type = "INTEGER";
        }
        sql += (i ? ", " : "") + Quote(c.Name) + (type.empty() ? "" : " " + type);
        if (c.PrimaryKey && keys == 1) {
            sql += " PRIMARY KEY";
            if (c.AutoIncrement) sql += " AUTOINCREMENT";
        } else if (c.PrimaryKey) {
            keyNames.push_back(Quote(c.Name));
        }
        if (c.NotNull && !c.RowKey) sql += " NOT NULL";
        if (!c.Default.empty()) sql += " DEFAULT " + c.Default;
    }
    if (!keyNames.empty()) {
        sql += ", PRIMARY KEY (";
        for (std::size_t i = 0; i < keyNames.size(); ++i)
            sql += (i ? ", " : "") + keyNames[i];
        sql += ")";
    }
    return sql + ")";
}

std::string CreateIndexSql(const std::string& table, const dbengine::IndexInfo& index) {
    std::string sql = std::string("CREATE ") + (index.Unique ? "UNIQUE " : "") + "INDEX " +
                      Quote(index.Name) + " ON " + Quote(table) + " (";
    for (std::size_t i = 0; i < index.Columns.size(); ++i) {
        const dbengine::IndexColumn& c = index.Columns[i];
        sql += (i ? ", " : "") + Quote(c.Name);
        if (Upper(c.Collation) == "NOCASE") sql += " COLLATE NOCASE";
        if (c.Descending) sql += " DESC";
    }
    return sql + ")";
}

std::int64_t CountRows(Connection& source, const std::string& table) {
    auto stmt = source.Prepare("SELECT count(*) FROM " + source.QuoteIdentifier(table));
    std::int64_t count = 0;
    if (stmt->Step()) {
        const DbValue v = stmt->Column(0);
        if (v.index() == 1) count = std::get<std::int64_t>(v);
    }
    stmt->Reset();
    return count;
}

class Copier {
public:
    Copier(Connection& source, Connection& target, const Progress& progress)
        : source_(source), target_(target), progress_(progress) {}

    std::int64_t Table(const std::string& table) {
        const std::vector<ColumnInfo> columns = source_.Columns(table);
        if (columns.empty()) Fail("La tabella '" + table + "' non ha colonne");
        target_.Execute(CreateTableSql(table, columns), {});
        // A key the engine keeps out of sight travels too, in the target's
        // own hidden key, so that rows keep their numbers and their order.
        const std::string sourceKey = source_.RowKeyExpression(table);
        const bool keyIsColumn =
            std::any_of(columns.begin(), columns.end(), [&](const ColumnInfo& c) {
                return c.RowKey || source_.QuoteIdentifier(c.Name) == sourceKey;
            });
        std::string select = "SELECT " + sourceKey;
        std::string names;
        for (const ColumnInfo& c : columns) {
            select += ", " + source_.QuoteIdentifier(c.Name);
            names += (names.empty() ? "" : ", ") + Quote(c.Name);
        }
        if (!keyIsColumn) names += ", " + target_.RowKeyExpression(table);
        select += " FROM " + source_.QuoteIdentifier(table) + " ORDER BY " + sourceKey;
        const std::size_t width = columns.size() + (keyIsColumn ? 0 : 1);
        // As many rows a statement as both engines take parameters for.
        const std::size_t batch =
            std::max<std::size_t>(1, std::min<std::size_t>(500, 30000 / width));
        const std::int64_t total = CountRows(source_, table);

        auto rows = source_.Prepare(select);
        std::vector<DbValue> values;
        std::int64_t done = 0;
        std::size_t pending = 0;
        auto flush = [&] {
            if (pending == 0) return;
            std::string sql = "INSERT INTO " + Quote(table) + " (" + names + ") VALUES ";
            std::string row = "(";
            for (std::size_t i = 0; i < width; ++i)
                row += i ? ", ?" : "?";
            row += ")";
            for (std::size_t r = 0; r < pending; ++r)
                sql += (r ? ", " : "") + row;
            target_.Execute(sql, values);
            done += static_cast<std::int64_t>(pending);
            values.clear();
            pending = 0;
            if (progress_ && total >= kProgressRows) progress_(table, done, total);
        };
        try {
            while (rows->Step()) {
                for (std::size_t c = 0; c < columns.size(); ++c)
                    values.push_back(rows->Column(static_cast<int>(c + 1)));
                if (!keyIsColumn) values.push_back(rows->Column(0));
                if (++pending == batch) flush();
            }
            flush();
        } catch (...) {
            rows->Reset();
            throw;
        }
        rows->Reset();

        for (const dbengine::IndexInfo& index : source_.Indexes(table))
            target_.Execute(CreateIndexSql(table, index), {});
        return done;
    }

private:
    Connection& source_;
    Connection& target_;
    const Progress& progress_;
};

Result Copy(Connection& source, const std::string& fromAlias, const std::string& toAlias,
            const Options& options, const Progress& progress) {
    std::unique_ptr<Connection> target = Open(toAlias, false);
    const std::vector<std::string> tables = source.Tables();
    if (tables.empty()) Fail("L'archivio dell'alias '" + fromAlias + "' non ha tabelle da copiare");
    std::vector<std::string> existing(tables.size());
    std::string clash;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        existing[i] = target->FindTable(tables[i]);
        if (!existing[i].empty()) clash += (clash.empty() ? "" : ", ") + existing[i];
    }
    if (!clash.empty() && !options.replace)
        Fail("L'archivio dell'alias '" + toAlias + "' ha gi\xE0 le tabelle " + clash +
             ": nulla \xE8 stato copiato (--sostituisci per rimpiazzarle)");

    Result result;
    Copier copier(source, *target, progress);
    target->Begin();
    std::string current;
    try {
        for (std::size_t i = 0; i < tables.size(); ++i) {
            current = tables[i];
            if (!existing[i].empty())
                target->Execute("DROP TABLE " + target->QuoteIdentifier(existing[i]), {});
            result.rows += copier.Table(tables[i]);
            ++result.tables;
        }
        current.clear();
        target->Commit();
    } catch (const std::exception& e) {
        try {
            target->Rollback();
        } catch (...) {
        }
        const auto* own = dynamic_cast<const Exception*>(&e);
        Fail("Copia " + (current.empty() ? std::string() : "della tabella '" + current + "' ") +
             "dall'alias '" + fromAlias + "' all'alias '" + toAlias +
             "' non riuscita, l'archivio di destinazione non \xE8 cambiato: " +
             (own ? own->Message().str() : std::string(e.what())));
    }
    return result;
}

} // namespace

Result CopyArchive(const std::string& fromAlias, const std::string& toAlias, const Options& options,
                   const Progress& progress) {
    if (AnsiString(fromAlias).EqualsIC(AnsiString(toAlias)))
        Fail("L'alias di origine e quello di destinazione sono lo stesso ('" + fromAlias + "')");
    std::unique_ptr<Connection> source = Open(fromAlias, true);
    // A file archive may be new: an empty file is an empty SQLite archive.
    // Made here, it goes again when the copy fails.
    std::string made;
    const dbengine::ConnectParams to = dbengine::ResolveAlias(toAlias, true);
    if (AnsiString(to.Driver).EqualsIC("SQLITE") && !FileExistsOnDisk(AnsiString(to.Path))) {
        if (!std::ofstream(Cp1252ToUtf8(to.Path), std::ios::binary))
            Fail("Impossibile creare l'archivio '" + to.Path + "' dell'alias '" + toAlias + "'");
        made = to.Path;
    }
    try {
        return Copy(*source, fromAlias, toAlias, options, progress);
    } catch (...) {
        if (!made.empty()) std::remove(Cp1252ToUtf8(made).c_str());
        throw;
    }
}

} // namespace archivecopy
