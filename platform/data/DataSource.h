#pragma once
// TDataSource joins a dataset to its data-aware controls; a TDataLink is one
// control's observer on a data source.

#include "platform/core/Component.h"
#include "platform/data/DataSet.h"

#include <functional>
#include <vector>

class TDataLink;

using TDataChangeEvent = std::function<void(TObject* sender, TField* field)>;

class TDataSource : public TComponent {
public:
    explicit TDataSource(TComponent* owner = nullptr);
    ~TDataSource() override;
    QUOR_CLASS_NAME(TDataSource)

    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* dataSet);
    // A disabled source tells its links that the dataset is inactive.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // The dataset's state, dsInactive without dataset or when disabled.
    TDataSetState State() const;
    // While true (the default) the controls may put the dataset into edit
    // state themselves, through Edit.
    bool AutoEdit() const { return autoEdit_; }
    void SetAutoEdit(bool autoEdit) { autoEdit_ = autoEdit; }
    // Puts a browsing dataset into edit state when AutoEdit is on.
    void Edit();

    // Raised when the record's data changed: field is the changed field, or
    // null when the whole record or dataset changed or the dataset scrolled.
    TDataChangeEvent OnDataChange;
    std::function<void(TObject*)> OnStateChange;

private:
    friend class TDataLink;
    friend class TDataSet;
    void AddLink(TDataLink* link);
    void RemoveLink(TDataLink* link);
    void DataEvent(int event, int distance, TField* field);
    void DataSetDestroyed();

    TDataSet* dataSet_ = nullptr;
    bool enabled_ = true;
    bool autoEdit_ = true;
    std::vector<TDataLink*> links_;
};

class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return source_; }
    void SetDataSource(TDataSource* source);
    TDataSet* DataSet() const { return source_ ? source_->DataSet() : nullptr; }
    // The dataset is open and the source enabled.
    bool Active() const;

protected:
    // The dataset opened or closed (or the link changed source).
    virtual void ActiveChanged() {}
    // Rows changed: reopened, filtered, posted, deleted, master moved.
    virtual void DataSetChanged() {}
    // The current record moved by distance rows.
    virtual void DataSetScrolled(int distance) { (void)distance; }
    // A field of the current record was set.
    virtual void RecordChanged(TField* field) { (void)field; }
    // The dataset entered or left edit or insert state.
    virtual void EditingChanged() {}

private:
    friend class TDataSource;
    TDataSource* source_ = nullptr;
};
