#pragma once
// TTable: one table of a database, in the order of an index, optionally the
// detail of a master dataset. Editing locks the record for other programs;
// Exclusive holds the whole table.

#include "platform/data/DBDataSet.h"

#include <memory>

class TDataSource;
namespace dbengine {
class TableLock;
}

class TTable : public TDBDataSet {
public:
    explicit TTable(TComponent* owner = nullptr);
    ~TTable() override;
    QUOR_CLASS_NAME(TTable)

    // "Condomini.DB" names the table Condomini (extension dropped, matched
    // case-insensitively).
    const AnsiString& TableName() const { return tableName_; }
    void SetTableName(const AnsiString& name);
    // Rows in the order of this index; empty: primary key order.
    const AnsiString& IndexName() const { return indexName_; }
    void SetIndexName(const AnsiString& name);

    // The detail follows the master's current record: its rows are those
    // whose first columns of the current index (or the same-named columns
    // without an index) equal the master's MasterFields ("A;B").
    TDataSource* MasterSource() const { return masterSource_; }
    void SetMasterSource(TDataSource* source);
    const AnsiString& MasterFields() const { return masterFields_; }
    void SetMasterFields(const AnsiString& fields);

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    // Held by this program until closed: other programs cannot open it.
    bool Exclusive() const { return exclusive_; }
    void SetExclusive(bool exclusive);

    bool CanModify() const override;

protected:
    std::vector<TFieldDef> InternalDescribe() override;
    void InternalFetch(std::vector<TRecordBuffer>& rows) override;
    void InternalClose() override;
    void InternalEdit(TRecordBuffer& record) override;
    void InternalPost(TRecordBuffer& record, bool inserting,
                      const std::vector<bool>& changed) override;
    void InternalCancel(TRecordBuffer& record) override;
    // A new detail record starts linked to the master's current record.
    void InternalInitRecord(TRecordBuffer& record) override;
    void InternalDelete(const TRecordBuffer& record) override;

private:
    class MasterLink;
    friend class MasterLink;
    void MasterChanged();
    std::string SelectSql(std::vector<dbengine::DbValue>& params);
    // The detail's columns that follow the master's MasterFields, in order.
    std::vector<std::string> DetailColumns();
    bool ReadRecord(std::int64_t key, TRecordBuffer& record);

    AnsiString tableName_;
    AnsiString indexName_;
    AnsiString masterFields_;
    TDataSource* masterSource_ = nullptr;
    std::unique_ptr<MasterLink> masterLink_;
    bool readOnly_ = false;
    bool exclusive_ = false;
    // While open.
    std::string storedName_;
    std::vector<std::string> columns_; // stored column names in field order
    std::unique_ptr<dbengine::TableLock> lock_;
    std::int64_t lockedKey_ = 0;
    bool recordLocked_ = false;
};
