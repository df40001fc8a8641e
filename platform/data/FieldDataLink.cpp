#include "platform/data/FieldDataLink.h"

#include "platform/data/Field.h"

void TFieldDataLink::SetFieldName(const AnsiString& name) {
    if (name == fieldName_) return;
    fieldName_ = name;
    modified_ = false;
    DataChanged();
}

TField* TFieldDataLink::Field() const {
    if (!Active() || fieldName_.IsEmpty()) return nullptr;
    return DataSet()->FindField(fieldName_);
}

bool TFieldDataLink::CanModify() const {
    TField* field = Field();
    return field && !field->ReadOnly() && DataSet()->CanModify();
}

bool TFieldDataLink::Edit() {
    if (!Active()) return false;
    if (DataSource()->State() == dsBrowse && CanModify()) DataSource()->Edit();
    return Editing();
}

bool TFieldDataLink::Editing() const {
    const TDataSetState state = DataSource() ? DataSource()->State() : dsInactive;
    return state == dsEdit || state == dsInsert;
}

void TFieldDataLink::Reset() {
    modified_ = false;
    DataChanged();
}

void TFieldDataLink::UpdateRecord() {
    if (!modified_) return;
    if (OnUpdateData) OnUpdateData();
    modified_ = false;
}

void TFieldDataLink::DataChanged() {
    if (OnDataChange) OnDataChange();
}

void TFieldDataLink::ActiveChanged() {
    modified_ = false;
    editing_ = Editing();
    if (OnActiveChange) OnActiveChange();
    DataChanged();
}

void TFieldDataLink::DataSetChanged() {
    modified_ = false;
    DataChanged();
}

void TFieldDataLink::DataSetScrolled(int) {
    modified_ = false;
    DataChanged();
}

void TFieldDataLink::RecordChanged(TField* field) {
    // Another field of the record changing leaves the control's value alone.
    if (field && field != Field()) return;
    modified_ = false;
    DataChanged();
}

void TFieldDataLink::EditingChanged() {
    const bool editing = Editing();
    if (editing == editing_) return;
    editing_ = editing;
    if (OnEditingChange) OnEditingChange();
}
