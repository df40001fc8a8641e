#pragma once
// TDBQuorLookupComboBox: the data-aware lookup combo box that the user can
// also empty. Backspace or the space bar (on an enabled box with a data
// source) puts the dataset into edit state when it is not already editing
// or inserting, makes the field null and closes the list; the box then
// shows nothing. A dataset that refuses the edit leaves the value as it was,
// without a message.
//
// A form sets what TDBLookupComboBox needs: DataSource, DataField,
// ListSource, ListField and KeyField.

#include "platform/gui/DBLookupComboBox.h"

class TDBQuorLookupComboBox : public TDBLookupComboBox {
public:
    using TDBLookupComboBox::TDBLookupComboBox;
    QUOR_CLASS_NAME(TDBQuorLookupComboBox)

protected:
    void KeyPress(char& key) override;
};

namespace Dbquorlookupcombobox {
// Puts TDBQuorLookupComboBox on the palette page "Quor".
void Register();
} // namespace Dbquorlookupcombobox
