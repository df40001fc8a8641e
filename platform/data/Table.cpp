#include "platform/data/Table.h"

#include "platform/core/Files.h"
#include "platform/data/DataSource.h"
#include "platform/data/Driver.h"
#include "platform/data/Session.h"

#include <algorithm>

using dbengine::DbValue;

class TTable::MasterLink : public TDataLink {
public:
    explicit MasterLink(TTable* table) : table_(table) {}

protected:
    void ActiveChanged() override {
        // The source may be on its way out: the link has already let go of it.
        table_->masterSource_ = DataSource();
        table_->MasterChanged();
    }
    void DataSetChanged() override { table_->MasterChanged(); }
    void DataSetScrolled(int) override { table_->MasterChanged(); }

private:
    TTable* table_;
};

namespace {

std::vector<AnsiString> SplitFieldNames(const AnsiString& names) {
    std::vector<AnsiString> out;
    std::string current;
    for (char c : names.str() + ";") {
        if (c == ';') {
            const AnsiString name = AnsiString(current).Trim();
            if (!name.IsEmpty()) out.push_back(name);
            current.clear();
        } else {
            current += c;
        }
    }
    return out;
}

} // namespace

TTable::TTable(TComponent* owner) : TDBDataSet(owner) {}

TTable::~TTable() {
    try {
        Close();
    } catch (...) {
    }
}

void TTable::SetTableName(const AnsiString& name) {
    CheckInactive();
    tableName_ = name;
}

void TTable::SetIndexName(const AnsiString& name) {
    if (name == indexName_) return;
    const bool reopen = Active();
    if (reopen) Close();
    indexName_ = name;
    if (reopen) Open();
}

void TTable::SetMasterSource(TDataSource* source) {
    if (source == masterSource_) return;
    if (source && source->DataSet() == this)
        DatabaseError("Una tabella non pu\xF2 essere il master di se stessa (" + DisplayName() +
                      ")");
    masterSource_ = source;
    if (!masterLink_) masterLink_ = std::make_unique<MasterLink>(this);
    masterLink_->SetDataSource(source);
}

void TTable::SetMasterFields(const AnsiString& fields) {
    masterFields_ = fields;
    MasterChanged();
}

void TTable::SetReadOnly(bool readOnly) {
    CheckInactive();
    readOnly_ = readOnly;
}

void TTable::SetExclusive(bool exclusive) {
    CheckInactive();
    exclusive_ = exclusive;
}

bool TTable::CanModify() const {
    if (readOnly_ || !Active()) return false;
    auto* self = const_cast<TTable*>(this);
    // A table whose connection was lost says so rather than "read-only".
    return !self->Database()->ReadOnly() && !self->LiveConnection().ReadOnly();
}

void TTable::MasterChanged() {
    if (!Active() || masterFields_.IsEmpty() || !masterSource_) return;
    Requery(false);
}

std::vector<TFieldDef> TTable::InternalDescribe() {
    TDatabase* db = OpenDatabase();
    dbengine::Connection& conn = LiveConnection();
    // "Condomini.DB" is the table Condomini.
    std::string found;
    const AnsiString ext = ExtractFileExt(tableName_);
    if (!ext.IsEmpty())
        found = conn.FindTable(tableName_.SubString(1, tableName_.Length() - ext.Length()).str());
    if (found.empty() && !tableName_.IsEmpty()) found = conn.FindTable(tableName_.str());
    if (found.empty())
        DatabaseError("Tabella '" + tableName_ + "' non trovata nel database '" + DatabaseName() +
                      "' (" + DisplayName() + ")");
    storedName_ = found;

    // Other programs meet in the table's locks: a lock file, or the server's.
    const AnsiString dir = db->LockDir();
    try {
        lock_ = conn.OpenTableLock(storedName_, dir.str());
    } catch (const EDatabaseError&) {
        // A read-only archive in a folder we cannot write to is read without locks.
        if (!conn.ReadOnly()) throw;
    }
    if (lock_) {
        if (exclusive_ ? !lock_->LockTableExclusive() : !lock_->LockTableShared()) {
            lock_.reset();
            DatabaseError(exclusive_ ? "La tabella '" + tableName_ +
                                           "' \xE8 in uso da un altro utente: impossibile aprirla "
                                           "in modo esclusivo"
                                     : "La tabella '" + tableName_ +
                                           "' \xE8 in uso esclusivo da un altro utente");
        }
    }

    std::vector<TFieldDef> defs;
    columns_.clear();
    for (const dbengine::ColumnInfo& c : conn.Columns(storedName_)) {
        defs.push_back(conn.FieldDefFor(c));
        columns_.push_back(c.Name);
    }
    if (!indexName_.IsEmpty() && conn.IndexColumns(storedName_, indexName_.str()).empty())
        DatabaseError("Indice '" + indexName_ + "' non trovato nella tabella '" + tableName_ + "'");
    return defs;
}

std::string TTable::SelectSql(std::vector<DbValue>& params) {
    dbengine::Connection& conn = LiveConnection();
    auto quote = [&conn](const std::string& n) { return conn.QuoteIdentifier(n); };
    std::string sql = "SELECT " + conn.RowKeyExpression(storedName_);
    for (int i = 0; i < FieldCount(); ++i)
        sql += ", " + quote(columns_[static_cast<std::size_t>(SourceColumn(Fields()->Fields(i)))]);
    sql += " FROM " + quote(storedName_);

    std::vector<std::string> where;
    if (const FilterNode* tree = FilterTree())
        where.push_back(FilterToSql(tree, params, [&](const AnsiString& n) {
                            // Checked here: SQLite would take an unknown quoted name for text.
                            for (const std::string& c : columns_)
                                if (AnsiString(c).EqualsIC(n)) return AnsiString(quote(c));
                            DatabaseError("Campo '" + n + "' del filtro non trovato in " +
                                          DisplayName());
                        }).str());

    std::vector<dbengine::IndexColumn> index;
    if (!indexName_.IsEmpty()) index = conn.IndexColumns(storedName_, indexName_.str());

    if (masterSource_ && !masterFields_.IsEmpty()) {
        const std::vector<AnsiString> masters = SplitFieldNames(masterFields_);
        const std::vector<std::string> details = DetailColumns();
        TDataSet* master = masterSource_->DataSet();
        for (std::size_t i = 0; i < masters.size(); ++i) {
            where.push_back(quote(details[i]) + " = ?");
            DbValue value;
            if (master && master->Active()) {
                TField* f = master->FieldByName(masters[i]);
                value = f->ToStorage(f->AsVariant());
            }
            params.push_back(value);
        }
    }
    for (std::size_t i = 0; i < where.size(); ++i)
        sql += (i == 0 ? " WHERE " : " AND ") + where[i];

    sql += " ORDER BY ";
    for (const dbengine::IndexColumn& c : index)
        sql += conn.OrderTerm(c) + ", ";
    sql += conn.RowKeyExpression(storedName_);
    return sql;
}

void TTable::InternalFetch(std::vector<TRecordBuffer>& rows) {
    std::vector<DbValue> params;
    const std::string sql = SelectSql(params);
    std::shared_ptr<dbengine::Statement> stmt = LiveConnection().Prepare(sql);
    for (std::size_t i = 0; i < params.size(); ++i)
        stmt->Bind(static_cast<int>(i + 1), params[i]);
    const int n = FieldCount();
    try {
        while (stmt->Step()) {
            TRecordBuffer r;
            const DbValue key = stmt->Column(0);
            r.Key = key.index() == 1 ? std::get<std::int64_t>(key) : 0;
            r.Values.reserve(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i)
                r.Values.push_back(Fields()->Fields(i)->FromStorage(stmt->Column(i + 1)));
            rows.push_back(std::move(r));
        }
    } catch (...) {
        stmt->Reset();
        throw;
    }
    stmt->Reset();
}

bool TTable::ReadRecord(std::int64_t key, TRecordBuffer& record) {
    dbengine::Connection& conn = LiveConnection();
    const std::string rowKey = conn.RowKeyExpression(storedName_);
    std::string sql = "SELECT " + rowKey;
    for (int i = 0; i < FieldCount(); ++i)
        sql += ", " + conn.QuoteIdentifier(
                          columns_[static_cast<std::size_t>(SourceColumn(Fields()->Fields(i)))]);
    sql += " FROM " + conn.QuoteIdentifier(storedName_) + " WHERE " + rowKey + " = ?";
    std::shared_ptr<dbengine::Statement> stmt = conn.Prepare(sql);
    stmt->Bind(1, key);
    bool found = false;
    try {
        if (stmt->Step()) {
            found = true;
            record.Key = key;
            record.Values.clear();
            for (int i = 0; i < FieldCount(); ++i)
                record.Values.push_back(Fields()->Fields(i)->FromStorage(stmt->Column(i + 1)));
        }
    } catch (...) {
        stmt->Reset();
        throw;
    }
    stmt->Reset();
    return found;
}

std::vector<std::string> TTable::DetailColumns() {
    // The detail's columns are the leading columns of its index, else the
    // master's names.
    std::vector<dbengine::IndexColumn> index;
    if (!indexName_.IsEmpty())
        index = LiveConnection().IndexColumns(storedName_, indexName_.str());
    std::vector<std::string> out;
    const std::vector<AnsiString> masters = SplitFieldNames(masterFields_);
    for (std::size_t i = 0; i < masters.size(); ++i)
        out.push_back(i < index.size() ? index[i].Name : masters[i].str());
    return out;
}

void TTable::InternalInitRecord(TRecordBuffer& record) {
    if (!masterSource_ || masterFields_.IsEmpty() || !masterSource_->DataSet() ||
        !masterSource_->DataSet()->Active())
        return;
    const std::vector<AnsiString> masters = SplitFieldNames(masterFields_);
    const std::vector<std::string> details = DetailColumns();
    for (std::size_t i = 0; i < masters.size(); ++i) {
        TField* detail = FindField(AnsiString(details[i]));
        if (!detail) continue;
        const Variant value = masterSource_->DataSet()->FieldByName(masters[i])->AsVariant();
        record.Values[static_cast<std::size_t>(detail->Index())] = detail->Coerce(value);
    }
}

void TTable::InternalClose() {
    if (lock_) {
        if (recordLocked_) lock_->UnlockRecord(lockedKey_);
        lock_.reset();
    }
    recordLocked_ = false;
    columns_.clear();
    storedName_.clear();
    TDBDataSet::InternalClose();
}

void TTable::InternalEdit(TRecordBuffer& record) {
    LiveConnection(); // a lost connection says so before its locks do
    if (lock_) {
        if (!lock_->LockRecord(record.Key))
            DatabaseError("Il record \xE8 in uso da un altro utente (tabella '" + tableName_ +
                          "')");
        recordLocked_ = true;
        lockedKey_ = record.Key;
    }
    // Another program may have changed it since it was fetched.
    bool found = false;
    try {
        found = ReadRecord(record.Key, record);
    } catch (...) {
        InternalCancel(record);
        throw;
    }
    if (!found) {
        InternalCancel(record);
        DatabaseError("Il record \xE8 stato cancellato da un altro utente (tabella '" + tableName_ +
                      "')");
    }
}

void TTable::InternalCancel(TRecordBuffer&) {
    if (lock_ && recordLocked_) lock_->UnlockRecord(lockedKey_);
    recordLocked_ = false;
}

void TTable::InternalPost(TRecordBuffer& record, bool inserting, const std::vector<bool>& changed) {
    dbengine::Connection& conn = LiveConnection();
    if (!CanModify())
        DatabaseError("Impossibile modificare " + DisplayName() + ": archivio di sola lettura");
    std::vector<DbValue> params;
    std::string sql;
    if (inserting) {
        std::string names, marks;
        for (int i = 0; i < FieldCount(); ++i) {
            TField* f = Fields()->Fields(i);
            const Variant& v = record.Values[static_cast<std::size_t>(i)];
            if (v.IsNull() && !changed[static_cast<std::size_t>(i)]) continue;
            if (v.IsNull() && f->DataType() == ftAutoInc) continue;
            if (!names.empty()) {
                names += ", ";
                marks += ", ";
            }
            names += conn.QuoteIdentifier(columns_[static_cast<std::size_t>(SourceColumn(f))]);
            marks += "?";
            params.push_back(f->ToStorage(v));
        }
        sql = "INSERT INTO " + conn.QuoteIdentifier(storedName_) +
              (names.empty() ? std::string(" DEFAULT VALUES")
                             : " (" + names + ") VALUES (" + marks + ")");
        conn.Execute(sql, params);
        record.Key = conn.LastInsertKey();
        ReadRecord(record.Key, record);
        return;
    }
    std::string sets;
    for (int i = 0; i < FieldCount(); ++i) {
        if (!changed[static_cast<std::size_t>(i)]) continue;
        TField* f = Fields()->Fields(i);
        if (!sets.empty()) sets += ", ";
        sets += conn.QuoteIdentifier(columns_[static_cast<std::size_t>(SourceColumn(f))]) + " = ?";
        params.push_back(f->ToStorage(record.Values[static_cast<std::size_t>(i)]));
    }
    if (!sets.empty()) {
        params.emplace_back(std::in_place_type<std::int64_t>, record.Key);
        sql = "UPDATE " + conn.QuoteIdentifier(storedName_) + " SET " + sets + " WHERE " +
              conn.RowKeyExpression(storedName_) + " = ?";
        if (conn.Execute(sql, params) == 0)
            DatabaseError("Il record \xE8 stato cancellato da un altro utente (tabella '" +
                          tableName_ + "')");
        ReadRecord(record.Key, record);
    }
    InternalCancel(record);
}

void TTable::InternalDelete(const TRecordBuffer& record) {
    dbengine::Connection& conn = LiveConnection();
    bool locked = false;
    if (lock_) {
        if (!lock_->LockRecord(record.Key))
            DatabaseError("Il record \xE8 in uso da un altro utente (tabella '" + tableName_ +
                          "')");
        locked = true;
    }
    try {
        conn.Execute("DELETE FROM " + conn.QuoteIdentifier(storedName_) + " WHERE " +
                         conn.RowKeyExpression(storedName_) + " = ?",
                     {DbValue(record.Key)});
    } catch (...) {
        if (locked) lock_->UnlockRecord(record.Key);
        throw;
    }
    if (locked) lock_->UnlockRecord(record.Key);
}
