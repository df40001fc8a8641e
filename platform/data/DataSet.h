#pragma once
// TDataSet: rows of a table or a query, fetched into memory when opened, with
// a current record, editing, filters, bookmarks and the links that keep
// data-aware controls in step.

#include "platform/core/AnsiString.h"
#include "platform/core/Component.h"
#include "platform/core/Exception.h"
#include "platform/data/Field.h"
#include "platform/data/Variant.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TDataSource;

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };
enum TDataAction { daFail, daAbort, daRetry };

enum TLocateOption { loCaseInsensitive = 1, loPartialKey = 2 };
// A set of TLocateOption bits.
using TLocateOptions = int;

// A position that survives a reopen: the record's key for tables, its row
// number for queries. Empty (false) when there was no current record.
class TBookmark {
public:
    TBookmark() = default;
    explicit operator bool() const { return valid_; }
    friend bool operator==(const TBookmark&, const TBookmark&) = default;

private:
    friend class TDataSet;
    bool valid_ = false;
    std::int64_t key_ = 0;
};

// Handler of a failing Edit, Post or Delete: sets the action to take.
using TDataSetErrorEvent = std::function<void(TDataSet*, EDatabaseError*, TDataAction&)>;
using TDataSetNotifyEvent = std::function<void(TDataSet*)>;

// One fetched record: values in field order, and the key that finds the
// record again in its table (the row number for a query).
struct TRecordBuffer {
    std::vector<Variant> Values;
    std::int64_t Key = 0;
};

class TDataSet : public TComponent {
public:
    explicit TDataSet(TComponent* owner = nullptr);
    ~TDataSet() override;
    QUOR_CLASS_NAME(TDataSet)

    // Opening and closing. Opening a dataset that is loading (IsLoading()) is
    // done in Loaded(), as the platform does for streamed components.
    void Open();
    void Close();
    bool Active() const { return state_ != dsInactive; }
    void SetActive(bool active);
    TDataSetState State() const { return state_; }

    // Navigation. Eof/Bof are true on an empty dataset.
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    void First();
    void Next();
    void Prior();
    void Last();
    int MoveBy(int distance); // the distance actually moved
    // 1-based position of the current record, 0 with none.
    int RecNo() const;
    void SetRecNo(int recNo);
    int RecordCount() const;
    bool IsEmpty() const { return RecordCount() == 0; }

    // Fields.
    TFields* Fields() { return &fields_; }
    const TFields* Fields() const { return &fields_; }
    int FieldCount() const { return fields_.Count(); }
    TField* FindField(const AnsiString& name) const { return fields_.FindField(name); }
    // EDatabaseError "Campo 'X' non trovato in <dataset>" when absent.
    TField* FieldByName(const AnsiString& name) const;

    // The persistent field list: once a field is added, only the listed
    // fields exist, in that order, bound to the columns by name when the
    // dataset opens (a missing column is an EDatabaseError naming it). The
    // dataset owns the field. Without persistent fields, fields come from
    // the columns at every open. The dataset must be closed.
    TField* AddField(TField* field);
    TField* AddPersistentField(const AnsiString& fieldName, TFieldType type,
                               const AnsiString& displayLabel = AnsiString(), bool visible = true,
                               int displayWidth = 0, bool readOnly = false);
    bool HasPersistentFields() const { return !persistent_.empty(); }
    // Without persistent fields: the fields made from the columns are kept
    // when the dataset closes, and taken again when it opens on the same
    // columns, instead of being made anew. For a dataset opened over and
    // over whose fields no one changes (a lookup's): a kept field keeps
    // whatever was set on it.
    void SetReuseFields(bool reuse);

    // Editing. Raise EDatabaseError when the dataset cannot be modified.
    virtual bool CanModify() const;
    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();
    // Fetches the rows again, staying on the same record when it still exists.
    void Refresh();
    bool Modified() const { return modified_; }

    // Filter: comparisons Field='text' or Field=number (also <>, <, >, <=,
    // >=, "is null"), joined with and / or / not and parentheses. A malformed
    // filter raises EDatabaseError when the dataset opens.
    const AnsiString& Filter() const { return filter_; }
    void SetFilter(const AnsiString& filter);
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool filtered);

    // Moves to the first matching record; false (and no move) when none.
    // Several key fields are separated by ';' with a VarArrayOf value.
    bool Locate(const AnsiString& keyFields, const Variant& keyValues, TLocateOptions options = 0);
    Variant Lookup(const AnsiString& keyFields, const Variant& keyValues,
                   const AnsiString& resultFields);

    TBookmark GetBookmark() const;
    bool BookmarkValid(const TBookmark& bookmark) const;
    void GotoBookmark(const TBookmark& bookmark); // EDatabaseError when not valid
    void FreeBookmark(TBookmark& bookmark) { bookmark = TBookmark(); }

    // While disabled, data links hear nothing; the last EnableControls tells
    // them once that the data changed.
    void DisableControls() { ++disableCount_; }
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }

    // For grids: the rows in memory, read without moving the current record.
    // row is 0-based; null outside the rows.
    Variant ValueAt(int row, const TField* field) const;
    AnsiString DisplayTextAt(int row, const TField* field) const;
    // The current row, 0-based, -1 with none.
    int CurrentRow() const { return HasCurrent() ? dropped_ + cur_ : -1; }

    // The current record's value of a field (internal to fields), valid
    // until the dataset moves or changes.
    const Variant& FieldValue(const TField* field) const;
    void SetFieldValue(TField* field, const Variant& value);

    TDataSetErrorEvent OnEditError;
    TDataSetErrorEvent OnPostError;
    TDataSetErrorEvent OnDeleteError;
    TDataSetNotifyEvent AfterOpen;
    TDataSetNotifyEvent BeforeClose;
    TDataSetNotifyEvent AfterScroll;
    TDataSetNotifyEvent BeforePost;
    TDataSetNotifyEvent AfterPost;
    TDataSetNotifyEvent OnNewRecord;

    // The name used in messages: Name, else the class name.
    AnsiString DisplayName() const;

    // A parsed filter expression (opaque outside the engine).
    struct FilterNode;

protected:
    void Loaded() override;

    // Hooks of a concrete dataset. InternalDescribe gives the columns (with
    // the filter applied where the rows are fetched), InternalFetch the rows
    // for the bound fields (FieldsBound() in order, column indexes are the
    // fields' positions).
    virtual std::vector<TFieldDef> InternalDescribe() = 0;
    virtual void InternalFetch(std::vector<TRecordBuffer>& rows) = 0;
    // A dataset that reads its rows as the caller moves on says so after
    // InternalFetch with SetFetchingMore(true); InternalFetchMore then appends
    // the next rows and answers whether any may remain. Everything that needs
    // a row not read yet (moving on, counting, searching) reads up to it.
    virtual bool InternalFetchMore(std::vector<TRecordBuffer>& rows);
    void SetFetchingMore(bool more) { more_ = more; }
    // Such a dataset may also let go of the rows it has passed, keeping only
    // the last `rows` behind the current one, so that a long scan holds a
    // bounded number of rows. Row numbers still count from the first row;
    // moving back past the rows kept, or searching from the first row, then
    // raises EDatabaseError. -1, the default: every row read stays.
    void SetRowsKeptBehind(int rows) { keptBehind_ = rows; }
    bool FetchingMore() const { return more_; }
    // Reads every row not read yet.
    void FetchAll() const;
    virtual void InternalClose() {}
    // After an open failed: true when trying once more may succeed.
    virtual bool RetryOpen() { return false; }
    // Before Edit: lock the record and read it again (the values may be
    // replaced). Default: nothing.
    virtual void InternalEdit(TRecordBuffer& record);
    // Writes the record; for an insert, record.Key receives the new key and
    // Values may be refreshed. changed[i] tells the fields that were set.
    virtual void InternalPost(TRecordBuffer& record, bool inserting,
                              const std::vector<bool>& changed);
    virtual void InternalCancel(TRecordBuffer& record);
    // Fills a new record before OnNewRecord (a detail's link to its master).
    virtual void InternalInitRecord(TRecordBuffer& record);
    virtual void InternalDelete(const TRecordBuffer& record);

    // Re-reads the rows and tells the links (a detail after its master
    // moved): on the same record when asked and it still exists, else first.
    void Requery(bool keepPosition);
    // The column of InternalDescribe's list a field is bound to.
    static int SourceColumn(const TField* field) { return field->column_; }
    // Raises EDatabaseError naming this dataset.
    [[noreturn]] void DatabaseError(const AnsiString& message) const;
    void CheckActive() const;
    void CheckInactive() const;
    bool HasCurrent() const { return cur_ >= 0 && cur_ < static_cast<int>(rows_.size()); }
    const std::vector<TRecordBuffer>& Rows() const { return rows_; }
    // The parsed filter, for InternalFetch (empty when not filtered).
    const FilterNode* FilterTree() const { return filterTree_.get(); }
    // A WHERE condition for the parsed filter with its bound values, the
    // field names quoted by quote().
    static AnsiString FilterToSql(const FilterNode* node, std::vector<dbengine::DbValue>& params,
                                  const std::function<AnsiString(const AnsiString&)>& quote);

private:
    friend class TDataSource;
    friend class TField;

    enum class LinkEvent { ActiveChanged, DataSetChanged, Scrolled, RecordChanged, EditingChanged };
    void Notify(LinkEvent event, int distance = 0, TField* field = nullptr);
    void AddDataSource(TDataSource* source);
    void RemoveDataSource(TDataSource* source);
    void DoOpen();
    void BindFields(const std::vector<TFieldDef>& defs);
    void ClearDynamicFields();
    // Deletes the fields kept by SetReuseFields.
    void DropSpareFields();
    void SetState(TDataSetState state);
    void MoveTo(int row);
    void CheckBrowseForMove();
    void RunWithErrorEvent(const TDataSetErrorEvent& handler, const std::function<void()>& action);
    int FindRowByKey(std::int64_t key) const;
    // Reads one more row; false when there was none.
    bool FetchNext() const;
    // Reads rows until the 0-based row exists or there are no more.
    void FetchUpTo(int row) const;
    // The first row matching Locate's arguments, -1 when none.
    int FindMatch(const AnsiString& keyFields, const Variant& keyValues,
                  TLocateOptions options) const;
    void ParseFilter();
    void RemoveField(TField* field);
    // Lets go of passed rows, as SetRowsKeptBehind allows.
    void DropPassedRows();
    // Raises when rows were let go of: what follows needs the first row.
    void CheckFromFirstRow() const;

    TDataSetState state_ = dsInactive;
    TFields fields_;
    std::vector<TField*> persistent_; // owned
    std::vector<TField*> dynamic_;    // owned, recreated at every open
    bool reuseFields_ = false;
    std::vector<TField*> spare_;        // owned: dynamic_ kept after closing
    std::vector<TFieldDef> spareDefs_;  // the columns they were made for
    std::vector<TRecordBuffer> rows_;
    bool more_ = false; // rows remain to be read
    int keptBehind_ = -1;
    int dropped_ = 0; // rows let go of before rows_[0]
    int cur_ = -1;
    bool eof_ = true;
    bool bof_ = true;
    // Edit state: the record before the change, the fields set since.
    TRecordBuffer saved_;
    std::vector<bool> changed_;
    bool modified_ = false;
    int insertedRow_ = -1;
    AnsiString filter_;
    bool filtered_ = false;
    std::shared_ptr<FilterNode> filterTree_;
    int disableCount_ = 0;
    bool pendingChange_ = false;
    bool openWhenLoaded_ = false;
    std::vector<TDataSource*> sources_;
};
