#include "platform/data/Query.h"

#include "platform/data/Driver.h"
#include "platform/data/Session.h"

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
}

TStrings* TQuery::SQL() {
    return sql_.get();
}

void TQuery::SqlChanged() {
    Close();
    UnPrepare();
}

std::string TQuery::StatementText() const {
    std::string text = sql_->Text().str();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

void TQuery::Prepare() {
    if (statement_) return;
    const std::string text = StatementText();
    if (AnsiString(text).Trim().IsEmpty())
        DatabaseError("Nessuna istruzione SQL in " + DisplayName());
    statement_ = Database()->Connection().Prepare(text);
}

void TQuery::UnPrepare() {
    statement_.reset();
    raw_.clear();
    rawFresh_ = false;
}

void TQuery::ExecSQL() {
    CheckInactive();
    Prepare();
    rowsAffected_ = 0;
    rowsAffected_ = static_cast<int>(Database()->Connection().Execute(statement_->Sql(), {}));
}

void TQuery::Execute(std::vector<std::vector<DbValue>>& out, std::vector<std::string>& names,
                     std::vector<std::string>& declTypes) {
    Prepare();
    dbengine::Connection& conn = Database()->Connection();
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
    const int columns = stmt->ColumnCount();
    if (columns == 0)
        DatabaseError(
            "L'istruzione di " + DisplayName() +
            " non restituisce righe: va eseguita con ExecSQL\nIstruzione: " + statement_->Sql());
    names.clear();
    declTypes.clear();
    for (int c = 0; c < columns; ++c) {
        names.push_back(stmt->ColumnName(c));
        declTypes.push_back(stmt->ColumnDeclType(c));
    }
    out.clear();
    try {
        while (stmt->Step()) {
            std::vector<DbValue> row;
            row.reserve(static_cast<std::size_t>(columns));
            for (int c = 0; c < columns; ++c)
                row.push_back(stmt->Column(c));
            out.push_back(std::move(row));
        }
    } catch (...) {
        stmt->Reset();
        throw;
    }
    stmt->Reset();
}

std::vector<TFieldDef> TQuery::InternalDescribe() {
    OpenDatabase();
    std::vector<std::string> names, declTypes;
    Execute(raw_, names, declTypes);
    rawFresh_ = true;
    std::vector<TFieldDef> defs;
    for (std::size_t c = 0; c < names.size(); ++c) {
        // Without a declared type, the first value's storage tells.
        const DbValue* sample = nullptr;
        for (const auto& row : raw_) {
            if (!dbengine::IsNull(row[c])) {
                sample = &row[c];
                break;
            }
        }
        TFieldDef def = dbengine::FieldDefFromDeclType(names[c], declTypes[c], sample);
        if (def.DataType == ftAutoInc) def.DataType = ftInteger;
        // Two columns of the same name: the platform numbers the second.
        AnsiString name = def.Name;
        for (int n = 1;; ++n) {
            bool clash = false;
            for (const TFieldDef& d : defs)
                clash = clash || d.Name.EqualsIC(name);
            if (!clash) break;
            name = def.Name + "_" + IntToStr(n);
        }
        def.Name = name;
        defs.push_back(def);
    }
    return defs;
}

void TQuery::InternalFetch(std::vector<TRecordBuffer>& rows) {
    if (!rawFresh_) {
        std::vector<std::string> names, declTypes;
        Execute(raw_, names, declTypes);
    }
    rawFresh_ = false;
    const int n = FieldCount();
    rows.reserve(raw_.size());
    for (std::size_t r = 0; r < raw_.size(); ++r) {
        TRecordBuffer record;
        record.Key = static_cast<std::int64_t>(r);
        record.Values.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            TField* f = Fields()->Fields(i);
            record.Values.push_back(
                f->FromStorage(raw_[r][static_cast<std::size_t>(SourceColumn(f))]));
        }
        rows.push_back(std::move(record));
    }
    raw_.clear();
}

void TQuery::InternalClose() {
    raw_.clear();
    rawFresh_ = false;
    TDBDataSet::InternalClose();
}
