#include "platform/data/Query.h"

#include "platform/data/Driver.h"
#include "platform/data/Session.h"

#include <algorithm>

using dbengine::DbValue;

class TQuery::Lines : public TStrings {
public:
    explicit Lines(TQuery* query) : query_(query) {}

protected:
    void Changed() override { query_->SqlChanged(); }

private:
    TQuery* query_;
};

TQuery::TQuery(TComponent* owner) : TDBDataSet(owner), sql_(std::make_unique<Lines>(this)) {}

TQuery::~TQuery() {
    try {
        Close();
    } catch (...) {
    }
    StopCursor();
}

TStrings* TQuery::SQL() {
    return sql_.get();
}

void TQuery::SqlChanged() {
    Close();
    UnPrepare();
}

std::string TQuery::StatementText() const {
    // The lines as Text() joins them, built in place.
    const int count = sql_->Count();
    std::size_t size = 0;
    for (int i = 0; i < count; ++i)
        size += static_cast<std::size_t>((*sql_)[i].Length()) + 2;
    std::string text;
    text.reserve(size);
    for (int i = 0; i < count; ++i) {
        text += (*sql_)[i].str();
        text += "\r\n";
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

void TQuery::Prepare() {
    if (statement_) return;
    // One line with nothing to trim, the usual case, goes as it is.
    std::string joined;
    const std::string* text = nullptr;
    if (sql_->Count() == 1) {
        const std::string& line = (*sql_)[0].str();
        const char last = line.empty() ? ' ' : line.back();
        if (last != ' ' && last != '\r' && last != '\n') text = &line;
    }
    if (!text) {
        joined = StatementText();
        text = &joined;
    }
    if (std::all_of(text->begin(), text->end(),
                    [](char c) { return static_cast<unsigned char>(c) <= ' '; }))
        DatabaseError("Nessuna istruzione SQL in " + DisplayName());
    statement_ = LiveConnection().Prepare(*text);
}

bool TQuery::RetryOpen() {
    if (!TDBDataSet::RetryOpen()) return false;
    UnPrepare();
    return true;
}

void TQuery::UnPrepare() {
    StopCursor();
    statement_.reset();
    raw_.clear();
    rawFresh_ = false;
}

void TQuery::ExecSQL() {
    CheckInactive();
    Prepare();
    rowsAffected_ = 0;
    rowsAffected_ = static_cast<int>(LiveConnection().Execute(statement_->Sql(), {}));
}

void TQuery::StopCursor() {
    if (!cursor_) return;
    cursor_->SetBeforeWrite(nullptr);
    cursor_->Reset();
    cursor_.reset();
}

void TQuery::Execute(std::vector<std::vector<DbValue>>& out, std::vector<TFieldDef>& declared,
                     std::vector<std::string>& declTypes) {
    StopCursor();
    Prepare();
    dbengine::Connection& conn = LiveConnection();
    std::shared_ptr<dbengine::Statement> stmt = statement_;
    std::vector<DbValue> params;
    if (const FilterNode* tree = FilterTree()) {
        // The query's rows pass through the filter as a subquery.
        const AnsiString where = FilterToSql(tree, params, [&](const AnsiString& n) {
            // Checked here: SQLite would take an unknown quoted name for text.
            for (int c = 0; c < statement_->ColumnCount(); ++c)
                if (AnsiString(statement_->ColumnName(c)).EqualsIC(n))
                    return AnsiString(conn.QuoteIdentifier(statement_->ColumnName(c)));
            DatabaseError("Campo '" + n + "' del filtro non trovato in " + DisplayName());
        });
        stmt = conn.Prepare("SELECT * FROM (" + statement_->Sql() + ") WHERE " + where.str());
    } else {
        stmt->Reset();
        stmt->ClearBindings();
    }
    for (std::size_t i = 0; i < params.size(); ++i)
        stmt->Bind(static_cast<int>(i + 1), params[i]);
    stmt->SetForwardOnly(UniDirectional());
    const int columns = stmt->ColumnCount();
    if (columns == 0)
        DatabaseError(
            "L'istruzione di " + DisplayName() +
            " non restituisce righe: va eseguita con ExecSQL\nIstruzione: " + statement_->Sql());
    declared = stmt->DeclaredFields();
    // Columns whose type only a value can tell; most statements have none,
    // and then neither list is needed.
    std::size_t unsureCount = 0;
    for (const TFieldDef& def : declared)
        unsureCount += def.DataType == ftUnknown ? 1 : 0;
    std::vector<bool> unsure;
    declTypes.clear();
    if (unsureCount > 0) {
        declTypes.assign(declared.size(), std::string());
        unsure.assign(declared.size(), false);
        for (int c = 0; c < columns; ++c) {
            if (declared[static_cast<std::size_t>(c)].DataType != ftUnknown) continue;
            declTypes[static_cast<std::size_t>(c)] = stmt->ColumnDeclType(c);
            unsure[static_cast<std::size_t>(c)] = true;
        }
    }
    out.clear();
    cursor_ = stmt;
    nextKey_ = 0;
    std::vector<DbValue> row;
    while ((!UniDirectional() || unsureCount > 0) && StepInto(row)) {
        for (std::size_t c = 0; c < unsure.size() && unsureCount > 0; ++c) {
            if (unsure[c] && !dbengine::IsNull(row[c])) {
                unsure[c] = false;
                --unsureCount;
            }
        }
        out.push_back(std::move(row));
    }
}

// One more row of cursor_; false (and the cursor let go) after the last.
bool TQuery::StepInto(std::vector<DbValue>& row) {
    if (!cursor_) return false;
    bool more = false;
    try {
        more = cursor_->Step();
    } catch (...) {
        StopCursor();
        throw;
    }
    if (!more) {
        StopCursor();
        return false;
    }
    const int columns = cursor_->ColumnCount();
    row.clear();
    row.reserve(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c)
        row.push_back(cursor_->Column(c));
    return true;
}

TRecordBuffer TQuery::ToRecord(std::vector<DbValue>& row) {
    const int n = FieldCount();
    TFields* fields = Fields();
    TRecordBuffer record;
    record.Key = nextKey_++;
    record.Values.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        TField* f = fields->Fields(i);
        DbValue& value = row[static_cast<std::size_t>(SourceColumn(f))];
        record.Values.push_back(columnsOnce_ ? f->TakeStorage(std::move(value))
                                             : f->FromStorage(value));
    }
    return record;
}

std::vector<TFieldDef> TQuery::InternalDescribe() {
    OpenDatabase();
    std::vector<TFieldDef> declared;
    std::vector<std::string> declTypes;
    Execute(raw_, declared, declTypes);
    rawFresh_ = true;
    std::vector<TFieldDef> defs;
    defs.reserve(declared.size());
    for (std::size_t c = 0; c < declared.size(); ++c) {
        TFieldDef def = std::move(declared[c]);
        if (def.DataType == ftUnknown) {
            // Without a declared type, the first value's storage tells.
            const DbValue* sample = nullptr;
            for (const auto& row : raw_) {
                if (!dbengine::IsNull(row[c])) {
                    sample = &row[c];
                    break;
                }
            }
            def = dbengine::FieldDefFromDeclType(def.Name.str(), declTypes[c], sample);
        }
        if (def.DataType == ftAutoInc) def.DataType = ftInteger;
        // Two columns of the same name: the platform numbers the second.
        auto taken = [&defs](const AnsiString& name) {
            return std::any_of(defs.begin(), defs.end(),
                               [&name](const TFieldDef& d) { return d.Name.EqualsIC(name); });
        };
        if (taken(def.Name)) {
            const AnsiString base = def.Name;
            for (int n = 1; taken(def.Name); ++n)
                def.Name = base + "_" + IntToStr(n);
        }
        defs.push_back(std::move(def));
    }
    return defs;
}

void TQuery::InternalFetch(std::vector<TRecordBuffer>& rows) {
    SetRowsKeptBehind(UniDirectional() ? RowsKeptBehind : -1);
    columnsOnce_ = true;
    for (int i = 0; i < FieldCount() && columnsOnce_; ++i)
        for (int k = 0; k < i; ++k)
            if (SourceColumn(Fields()->Fields(i)) == SourceColumn(Fields()->Fields(k)))
                columnsOnce_ = false;
    if (!rawFresh_) {
        std::vector<TFieldDef> declared;
        std::vector<std::string> declTypes;
        Execute(raw_, declared, declTypes);
    }
    rawFresh_ = false;
    rows.reserve(raw_.size());
    nextKey_ = 0;
    for (auto& row : raw_)
        rows.push_back(ToRecord(row));
    raw_.clear();
    if (!cursor_) return;
    // The first row now, so that an empty result is at its end at once.
    if (rows.empty()) {
        if (!StepInto(scratch_)) return;
        rows.push_back(ToRecord(scratch_));
    }
    cursor_->SetBeforeWrite([this] { FetchAll(); });
    SetFetchingMore(true);
}

bool TQuery::InternalFetchMore(std::vector<TRecordBuffer>& rows) {
    // One buffer for the rows as they pass: its values are copied out anyway.
    if (!StepInto(scratch_)) return false;
    rows.push_back(ToRecord(scratch_));
    return true;
}

void TQuery::InternalClose() {
    StopCursor();
    raw_.clear();
    rawFresh_ = false;
    TDBDataSet::InternalClose();
}
