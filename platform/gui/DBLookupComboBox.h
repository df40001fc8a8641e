#pragma once
// TDBLookupComboBox: a drop-down box that sets a field to a key chosen by
// name. The list shows ListField of every record of ListSource's dataset;
// choosing one writes that record's KeyField value into DataField of
// DataSource's dataset (putting it into edit state first). The box shows the
// ListField of the list record whose key equals the field's value, nothing
// when the field is null or no record matches.
//
// Keys: F4 or Alt+Down opens and closes the list; with the list open the
// arrows move in it, Enter takes the highlighted name and Escape closes it
// unchanged; with the list closed the arrows step to the previous or next
// name. Typing a name's first letters chooses it (Backspace or Escape start
// the search again). The user's choice runs OnClick.
//
// A form sets DataSource, DataField, ListSource, ListField and KeyField.
// Without a DataSource the box keeps its own KeyValue.

#include "platform/core/AnsiString.h"
#include "platform/data/FieldDataLink.h"
#include "platform/data/Variant.h"
#include "platform/gui/WinControl.h"

#include <memory>
#include <vector>

class TLookupListLink;
class TLookupListPopup;

class TDBLookupComboBox : public TWinControl {
public:
    explicit TDBLookupComboBox(TComponent* owner = nullptr);
    ~TDBLookupComboBox() override;
    QUOR_CLASS_NAME(TDBLookupComboBox)

    // The edited dataset and its field.
    TDataSource* DataSource() const { return dataLink_.DataSource(); }
    void SetDataSource(TDataSource* source);
    const AnsiString& DataField() const { return dataLink_.FieldName(); }
    void SetDataField(const AnsiString& name);
    TField* Field() const { return dataLink_.Field(); }

    // The list's dataset, the field shown and the field whose value is stored.
    TDataSource* ListSource() const;
    void SetListSource(TDataSource* source);
    const AnsiString& ListField() const { return listField_; }
    void SetListField(const AnsiString& name);
    const AnsiString& KeyField() const { return keyField_; }
    void SetKeyField(const AnsiString& name);

    // The field's value (null when there is none); setting it as the user's
    // choice does, without running OnClick.
    Variant KeyValue() const;
    void SetKeyValue(const Variant& value);
    // The name shown.
    AnsiString Text() const;

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // Names shown at once in the open list.
    int DropDownRows() const { return dropDownRows_; }
    void SetDropDownRows(int rows);

    // The names of the list in its dataset's order.
    int ListCount() const;
    AnsiString ListText(int index) const;
    Variant ListKey(int index) const;

    bool ListVisible() const { return listVisible_; }
    // Opens the list with the current name highlighted; runs OnDropDown.
    void DropDown();
    // Closes the list; with accept the highlighted name is chosen. Runs
    // OnCloseUp.
    void CloseUp(bool accept);
    // The highlighted name of the open list, -1 when none.
    int ListIndex() const { return listIndex_; }
    void SetListIndex(int index);

    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void InitWidget(QWidget* widget) override;
    void DestroyWidget() override;
    void KeyDown(unsigned short& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void DoExit() override;

private:
    friend class TLookupListLink;
    friend class TLookupListPopup;

    void ListChanged();
    void LoadList() const;
    const std::vector<AnsiString>& ListTexts() const;
    int IndexOfKey(const Variant& key) const;
    // Sets the value as the user's choice; false when the field cannot be written.
    bool SelectKeyValue(const Variant& key);
    void ShowValue();
    bool CanModify() const;
    void ShowPopup();
    void HidePopup();

    TFieldDataLink dataLink_;
    std::unique_ptr<TLookupListLink> listLink_;
    AnsiString listField_;
    AnsiString keyField_;
    Variant ownValue_;
    bool readOnly_ = false;
    int dropDownRows_ = 7;
    bool listVisible_ = false;
    int listIndex_ = -1;
    AnsiString searchText_;
    // The list as last read from its dataset.
    mutable bool listLoaded_ = false;
    mutable std::vector<AnsiString> texts_;
    mutable std::vector<Variant> keys_;
    TLookupListPopup* popup_ = nullptr;
};
