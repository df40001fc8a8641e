#pragma once
// TDBEdit: a one-line edit bound to a field of a data source's dataset. It
// shows the field of the current record and follows it as the record moves
// or the field changes: the field's display text, or its edit text while the
// user is in the control. Typing puts the dataset into edit state; the text
// is written into the field when the user leaves the control. Escape drops
// what was typed. The OnChange event runs for every change of the text, the
// ones that come from the field included.
//
// A form sets DataSource and DataField.

#include "platform/data/FieldDataLink.h"
#include "platform/gui/Edit.h"

class TDBEdit : public TEdit {
public:
    explicit TDBEdit(TComponent* owner = nullptr);
    ~TDBEdit() override;
    QUOR_CLASS_NAME(TDBEdit)

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source);
    const AnsiString& DataField() const { return link_.FieldName(); }
    void SetDataField(const AnsiString& name);
    // The bound field while its dataset is open, else null.
    TField* Field() const { return link_.Field(); }

    // Writes the text into the field when the user has changed it.
    void UpdateRecord();

protected:
    void Change() override;
    void KeyDown(unsigned short& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void DoEnter() override;
    void DoExit() override;
    void SetWidgetReadOnly(bool readOnly) override;

private:
    void DataChange();
    void UpdateData();
    void ApplyReadOnly();

    TFieldDataLink link_;
    bool loading_ = false;
    // The user is in the control (between entering and leaving it).
    bool inside_ = false;
};

// The text a field is edited in: its EditFormat for a number that has one,
// else its AsString.
AnsiString FieldEditText(const TField* field);
