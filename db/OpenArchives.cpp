#include "db/OpenArchives.h"

#include "platform/core/Application.h"
#include "platform/core/Exception.h"
#include "platform/data/DataModule.h"
#include "platform/data/Query.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"
#include "utilities/AppServices.h"

namespace {

void OpenOrClose(TDataSet* dataSet, bool open) {
    if (open) {
        dataSet->Open();
        dataSet->SetActive(true);
    } else {
        dataSet->SetActive(false);
    }
}

// Handles one component; returns the table being opened, if it is one, so
// that a failure can name it.
void Handle(TComponent* component, bool open, TTable*& table) {
    if (component->ClassNameIs("TTable")) {
        if (auto* t = dynamic_cast<TTable*>(component)) {
            table = t;
            OpenOrClose(t, open);
        }
    } else if (component->ClassNameIs("TQuery")) {
        if (auto* q = dynamic_cast<TQuery*>(component)) OpenOrClose(q, open);
    } else if (component->ClassNameIs("TDatabase")) {
        if (auto* d = dynamic_cast<TDatabase*>(component)) d->SetConnected(open);
    }
}

AnsiString FailureText(TComponent* component, TTable* table, const Exception& error) {
    AnsiString text = "Non riesco ad aprire l'archivio \"";
    if (table) text += table->TableName() + "\"\n\n(";
    text += component->Name() + ": " + error.Message() + ")\nProseguo?";
    return text;
}

} // namespace

void OpenData(TDataModule* module, bool open) {
    if (!module) return;
    try {
        for (int i = 0; i < module->ComponentCount(); ++i) {
            TComponent* component = module->Components(i);
            if (!component || (component->Tag() & 1) == 0) continue;
            TTable* table = nullptr;
            try {
                Handle(component, open, table);
            } catch (const Exception& error) {
                const int answer =
                    AskUser(FailureText(component, table, error), false, 0x23, AnsiString());
                if (answer == IDNO) throw Exception("Archivio non disponibile");
            }
        }
    } catch (...) {
        try {
            ShowMessage("Errore durante l'apertura degli archivi (" + module->Name() + ")");
        } catch (...) {
        }
    }
}
