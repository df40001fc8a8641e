#include "controls/DBQuorLookupComboBox.h"

#include "platform/core/Palette.h"
#include "platform/data/DataSource.h"
#include "platform/data/Field.h"

void TDBQuorLookupComboBox::KeyPress(char& key) {
    TDBLookupComboBox::KeyPress(key);
    if ((key != 8 && key != ' ') || !Enabled() || !DataSource()) return;
    try {
        TDataSource* source = DataSource();
        if (source->State() != dsEdit && source->State() != dsInsert) source->Edit();
        TField* field = Field();
        if (!field) return;
        field->Clear();
        CloseUp(false);
    } catch (...) {
        // The value stays as it was.
    }
}

void Dbquorlookupcombobox::Register() {
    RegisterComponent<TDBQuorLookupComboBox>("Quor", "TDBQuorLookupComboBox");
}
