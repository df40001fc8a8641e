#include "platform/gui/DBEdit.h"

#include "platform/data/Field.h"
#include "platform/data/FormatFloat.h"

AnsiString FieldEditText(const TField* field) {
    if (!field) return AnsiString();
    const auto* numeric = dynamic_cast<const TNumericField*>(field);
    if (!numeric || numeric->EditFormat().IsEmpty() || field->IsNull()) return field->AsString();
    if (field->DataType() == ftBCD || field->DataType() == ftCurrency)
        return FormatCurr(numeric->EditFormat(), field->AsCurrency());
    return FormatFloat(numeric->EditFormat(), field->AsFloat());
}

TDBEdit::TDBEdit(TComponent* owner) : TEdit(owner) {
    link_.OnDataChange = [this] { DataChange(); };
    link_.OnActiveChange = [this] { ApplyReadOnly(); };
    link_.OnEditingChange = [this] { ApplyReadOnly(); };
    link_.OnUpdateData = [this] { UpdateData(); };
}

TDBEdit::~TDBEdit() {
    // The link must not call back into a half-destroyed control.
    link_.OnDataChange = nullptr;
    link_.OnActiveChange = nullptr;
    link_.OnEditingChange = nullptr;
    link_.OnUpdateData = nullptr;
}

void TDBEdit::SetDataSource(TDataSource* source) {
    link_.SetDataSource(source);
}

void TDBEdit::SetDataField(const AnsiString& name) {
    link_.SetFieldName(name);
}

void TDBEdit::DataChange() {
    TField* field = link_.Field();
    AnsiString text;
    if (field) text = inside_ && link_.CanModify() ? FieldEditText(field) : field->DisplayText();
    loading_ = true;
    try {
        SetText(text);
    } catch (...) {
        loading_ = false;
        throw;
    }
    loading_ = false;
    ApplyReadOnly();
}

void TDBEdit::Change() {
    if (!loading_) link_.Modified();
    TEdit::Change();
}

void TDBEdit::UpdateRecord() {
    link_.UpdateRecord();
}

void TDBEdit::UpdateData() {
    if (TField* field = link_.Field()) field->SetAsString(Text());
}

void TDBEdit::KeyDown(unsigned short& key, TShiftState shift) {
    TEdit::KeyDown(key, shift);
    const bool ctrl = shift.Contains(ssCtrl);
    const bool edits = key == VK_DELETE || (key == VK_INSERT && shift.Contains(ssShift)) ||
                       (ctrl && (key == 'V' || key == 'X'));
    if (edits && !ReadOnly() && !link_.Edit()) key = 0;
}

void TDBEdit::KeyPress(char& key) {
    TEdit::KeyPress(key);
    const auto c = static_cast<unsigned char>(key);
    if (key == 27) {
        link_.Reset();
        SelectAll();
        key = 0;
    } else if (key == 8 || key == 22 || key == 24 || c >= 32) {
        // A key that would change the text needs the record in edit state.
        if (ReadOnly() || !link_.Edit()) key = 0;
    }
}

void TDBEdit::DoEnter() {
    inside_ = true;
    TEdit::DoEnter();
    // Inside the control the field is shown as it is edited.
    if (!link_.IsModified()) DataChange();
}

void TDBEdit::DoExit() {
    inside_ = false;
    try {
        UpdateRecord();
    } catch (...) {
        SelectAll();
        throw;
    }
    TEdit::DoExit();
    if (!link_.IsModified()) DataChange();
}

void TDBEdit::SetWidgetReadOnly(bool readOnly) {
    TEdit::SetWidgetReadOnly(readOnly || !link_.CanModify());
}

void TDBEdit::ApplyReadOnly() {
    if (ExistingWidget()) SetWidgetReadOnly(ReadOnly());
}
