#pragma once
// TQuery: a statement of the engine's SQL (SQLite's, passed through as is).
// A SELECT opens as a read-only dataset; other statements run with ExecSQL.

#include "platform/core/Strings.h"
#include "platform/data/DBDataSet.h"

#include <memory>

namespace dbengine {
class Statement;
}

class TQuery : public TDBDataSet {
public:
    explicit TQuery(TComponent* owner = nullptr);
    ~TQuery() override;
    QUOR_CLASS_NAME(TQuery)

    // The statement's text; changing it closes the query and unprepares it.
    TStrings* SQL();
    // Forward-only: the rows are read as the query moves on rather than all
    // when it opens (until its last row is read, or it closes, the archive
    // stays open for reading), and the query keeps only the last
    // RowsKeptBehind rows it has passed: a scan of any length holds a few
    // rows. Moving back works over those; further back it raises.
    bool UniDirectional() const { return uniDirectional_; }
    void SetUniDirectional(bool value) { uniDirectional_ = value; }
    // Whether ":name" marks a parameter. Parameters are not bound by this
    // dataset, so with ParamCheck the engine sees them as nulls.
    bool ParamCheck() const { return paramCheck_; }
    void SetParamCheck(bool value) { paramCheck_ = value; }

    // Hands the text to the engine: a malformed statement or a missing table
    // is rejected here with EDatabaseError carrying the engine's message and
    // the statement.
    void Prepare();
    void UnPrepare();
    bool Prepared() const { return statement_ != nullptr; }
    // Runs a statement that returns no rows (as one transaction).
    void ExecSQL();
    // Rows changed by the last ExecSQL.
    int RowsAffected() const { return rowsAffected_; }

    bool CanModify() const override { return false; }

    static constexpr int RowsKeptBehind = 1024;

protected:
    std::vector<TFieldDef> InternalDescribe() override;
    void InternalFetch(std::vector<TRecordBuffer>& rows) override;
    bool InternalFetchMore(std::vector<TRecordBuffer>& rows) override;
    void InternalClose() override;
    // The statement prepared on a lost connection is prepared again.
    bool RetryOpen() override;

private:
    class Lines;
    void SqlChanged();
    std::string StatementText() const;

    std::unique_ptr<Lines> sql_;
    bool uniDirectional_ = false;
    bool paramCheck_ = true;
    int rowsAffected_ = 0;
    std::shared_ptr<dbengine::Statement> statement_;
    // The statement whose rows are being read (the query's own or its
    // filtered form), while rows remain.
    std::shared_ptr<dbengine::Statement> cursor_;
    // Rows read while describing, handed over by the fetch that follows.
    std::vector<std::vector<dbengine::DbValue>> raw_;
    bool rawFresh_ = false;
    std::vector<dbengine::DbValue> scratch_;
    std::int64_t nextKey_ = 0;
    // Starts the statement and reads its rows into out: all of them, or for
    // a forward-only query those that tell the types of the columns declared
    // without one (leaving cursor_ on the rest).
    void Execute(std::vector<std::vector<dbengine::DbValue>>& out, std::vector<TFieldDef>& declared,
                 std::vector<std::string>& declTypes);
    bool StepInto(std::vector<dbengine::DbValue>& row);
    // Takes the values out of row, which is left to be cleared.
    TRecordBuffer ToRecord(std::vector<dbengine::DbValue>& row);
    // No two fields read the same column, so a value may be moved into its field.
    bool columnsOnce_ = false;
    void StopCursor();
};
