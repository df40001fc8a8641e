#pragma once
// TFieldDataLink: a data-aware control's link to one field of a data
// source's dataset. It finds the field by name whenever the dataset opens
// (fields are recreated at every open) and tells the control when the
// field's value may have changed, when editing starts or ends, and when the
// dataset opens or closes.

#include "platform/core/AnsiString.h"
#include "platform/data/DataSource.h"

#include <functional>

class TFieldDataLink : public TDataLink {
public:
    TFieldDataLink() = default;

    const AnsiString& FieldName() const { return fieldName_; }
    // Rebinds at once and tells the control.
    void SetFieldName(const AnsiString& name);
    // The field while the dataset is open and has it, else null.
    TField* Field() const;

    // The dataset is open, the field exists and can be written.
    bool CanModify() const;
    // Puts a browsing dataset into edit state through the data source;
    // true when the dataset is then editing or inserting.
    bool Edit();
    bool Editing() const;

    // The control holds a value the field does not have yet.
    bool IsModified() const { return modified_; }
    void Modified() { modified_ = true; }
    // Drops the control's pending value: the control reloads the field.
    void Reset();
    // Hands a pending value to the control's OnUpdateData, which writes it.
    void UpdateRecord();

    // Reload the control from the field (record moved, field set, reopened).
    std::function<void()> OnDataChange;
    std::function<void()> OnEditingChange;
    std::function<void()> OnActiveChange;
    // Write the control's value into the field.
    std::function<void()> OnUpdateData;

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int distance) override;
    void RecordChanged(TField* field) override;
    void EditingChanged() override;

private:
    void DataChanged();

    AnsiString fieldName_;
    bool modified_ = false;
    bool editing_ = false;
};
