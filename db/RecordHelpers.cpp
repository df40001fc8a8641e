#include "db/RecordHelpers.h"

#include "db/FieldHelpers.h"
#include "platform/core/Application.h"
#include "platform/core/Exception.h"
#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/data/Variant.h"
#include "utilities/DateFormats.h"

void Riapri(TDataSet* dataSet) {
    if (!dataSet) return;
    TBookmark bookmark{};
    bool haveBookmark = false;
    bool disabled = false;
    try {
        bookmark = dataSet->GetBookmark();
        haveBookmark = true;
        dataSet->DisableControls();
        disabled = true;
        dataSet->SetActive(false);
        dataSet->SetActive(true);
        if (bookmark && dataSet->BookmarkValid(bookmark))
            dataSet->GotoBookmark(bookmark);
        else
            dataSet->Last();
    } catch (...) {
    }
    if (haveBookmark) {
        try {
            dataSet->FreeBookmark(bookmark);
        } catch (...) {
        }
    }
    if (disabled) {
        try {
            dataSet->EnableControls();
        } catch (...) {
        }
    }
}

void TagRiapri(TDataSet* dataSet) {
    if (!dataSet) return;
    if (dataSet->Tag() == 0) Riapri(dataSet);
    dataSet->SetTag(dataSet->Tag() + 1);
}

void TagChiudi(TDataSet* dataSet) {
    if (!dataSet) return;
    dataSet->SetTag(dataSet->Tag() - 1);
    if (dataSet->Tag() == 0) dataSet->Close();
}

AnsiString Indirizzo(TDataSet* dataSet) {
    return StrField(dataSet, "CAP") + " " + StrField(dataSet, "Comune") + " (" +
           StrField(dataSet, "Provincia") + ")";
}

void ImpostaFormato(TNumericField* field, char currency) {
    if (!field) throw EDatabaseError("Nessun campo numerico indicato");
    field->SetEditFormat(EditFormatFor(currency));
    field->SetDisplayFormat(DisplayFormatFor(currency));
}

bool SalvaMasterRecord(TDataSource* source) {
    if (!source) return false;
    TDataSet* dataSet = source->DataSet();
    if (!dataSet) return true;
    const TDataSetState state = dataSet->State();
    if (state == dsEdit || state == dsInsert) {
        try {
            dataSet->Post();
        } catch (...) {
            return false;
        }
    }
    return true;
}

bool TrovaRecord(TDataSet* dataSet, const AnsiString& keyFields, int value) {
    if (!dataSet)
        throw EDatabaseError("Nessun archivio indicato per la ricerca su '" + keyFields + "'");
    return dataSet->Locate(keyFields, Variant(value), TLocateOptions());
}

void OnEditError(TDataSet*, EDatabaseError* error, TDataAction& action) {
    ShowMessage("Verificare i dati inseriti\n\n" + (error ? error->Message() : AnsiString()));
    action = daAbort;
}
