#include "controls/Register.h"

#include "controls/DBQuorLookupComboBox.h"
#include "controls/QuorDbEdit.h"
#include "controls/QuorTreeView.h"

void RegisterQuorControls() {
    Quordbedit::Register();
    Dbquorlookupcombobox::Register();
    Quortreeview::Register();
}
