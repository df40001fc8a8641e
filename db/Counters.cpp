#include "db/Counters.h"

#include "db/FieldHelpers.h"
#include "db/RecordHelpers.h"
#include "platform/core/Application.h"
#include "platform/core/Exception.h"
#include "platform/data/DataSet.h"
#include "platform/data/Field.h"

namespace {

// The name as a quoted literal of a filter: apostrophes doubled, so that a
// name such as L'Aquila neither breaks the filter nor rewrites it.
AnsiString FilterLiteral(const AnsiString& name) {
    AnsiString literal = "'";
    for (int i = 1; i <= name.Length(); ++i) {
        literal += name[i];
        if (name[i] == '\'') literal += '\'';
    }
    return literal + "'";
}

// Opens the table, asking to retry while the engine refuses; false when the
// user cancels.
bool OpenWithRetry(TDataSet* counters) {
    for (;;) {
        try {
            counters->SetActive(true);
            return true;
        } catch (const Exception&) {
            const int answer = Application->MessageBox(
                "L'archivio \xE8 utilizzato da un altro utente, premere Ok per riprovare...",
                Application->Title(), 0x41);
            if (answer == IDCANCEL) return false;
        }
    }
}

void CloseQuietly(TDataSet* counters) {
    try {
        const TDataSetState state = counters->State();
        if (state == dsEdit || state == dsInsert) counters->Cancel();
    } catch (...) {
    }
    try {
        counters->SetActive(false);
    } catch (...) {
    }
}

} // namespace

int SetCounter(TDataSet* counters, AnsiString name) {
    if (!counters) return 0;
    int number = 0;
    try {
        counters->SetFilter("Contatore=" + FilterLiteral(name));
        counters->SetFiltered(true);
        if (OpenWithRetry(counters)) {
            int next;
            if (counters->Eof()) {
                counters->Insert();
                counters->FieldByName("Contatore")->SetAsString(name);
                next = 1;
            } else {
                counters->Edit();
                next = IntField(counters, "Valore") + 1;
            }
            counters->FieldByName("Valore")->SetAsInteger(next);
            counters->Post();
            // Only a stored number is handed out.
            number = next;
            Riapri(counters);
        }
    } catch (...) {
        number = 0;
    }
    CloseQuietly(counters);
    return number;
}
