#include "db/FieldHelpers.h"

#include "platform/core/Exception.h"
#include "platform/data/DataSet.h"
#include "platform/data/Field.h"
#include "platform/data/Variant.h"

#include <cmath>

TField* FieldOf(TDataSet* dataSet, const AnsiString& fieldName) {
    if (!dataSet) throw EDatabaseError("Nessun archivio indicato per il campo '" + fieldName + "'");
    return dataSet->FieldByName(fieldName);
}

char ChrField(TDataSet* dataSet, const AnsiString& fieldName) {
    if (!dataSet) return 0;
    try {
        const AnsiString text = FieldOf(dataSet, fieldName)->AsString();
        return text.IsEmpty() ? 0 : text[1];
    } catch (...) {
        return 0;
    }
}

int IntField(TDataSet* dataSet, const AnsiString& fieldName) {
    if (fieldName.IsEmpty()) return 0;
    try {
        return FieldOf(dataSet, fieldName)->AsInteger();
    } catch (...) {
        return 0;
    }
}

bool BoolField(TDataSet* dataSet, const AnsiString& fieldName) {
    return FieldOf(dataSet, fieldName)->AsBoolean();
}

TDateTime DateTimeField(TDataSet* dataSet, const AnsiString& fieldName) {
    return FieldOf(dataSet, fieldName)->AsDateTime();
}

TDateTime DateField(TDataSet* dataSet, const AnsiString& fieldName) {
    return TDateTime(std::trunc(FieldOf(dataSet, fieldName)->AsDateTime().Val));
}

Currency CurField(TDataSet* dataSet, const AnsiString& fieldName) {
    return FieldOf(dataSet, fieldName)->AsCurrency();
}

double DblField(TDataSet* dataSet, const AnsiString& fieldName) {
    return FieldOf(dataSet, fieldName)->AsFloat();
}

AnsiString StrField(TDataSet* dataSet, const AnsiString& fieldName) {
    return FieldOf(dataSet, fieldName)->AsString();
}

bool IsNullField(TDataSet* dataSet, const AnsiString& fieldName) {
    try {
        return FieldOf(dataSet, fieldName)->IsNull();
    } catch (...) {
        return true;
    }
}

void SetCurField(TDataSet* dataSet, const AnsiString& fieldName, const Currency& value) {
    FieldOf(dataSet, fieldName)->SetAsCurrency(value);
}

void SetDblField(TDataSet* dataSet, const AnsiString& fieldName, const double& value) {
    FieldOf(dataSet, fieldName)->SetAsFloat(value);
}

void SetIntField(TDataSet* dataSet, const AnsiString& fieldName, const int& value) {
    FieldOf(dataSet, fieldName)->SetAsInteger(value);
}

void SetBoolField(TDataSet* dataSet, const AnsiString& fieldName, const bool& value) {
    FieldOf(dataSet, fieldName)->SetAsBoolean(value);
}

void SetStrField(TDataSet* dataSet, const AnsiString& fieldName, const AnsiString value) {
    FieldOf(dataSet, fieldName)->SetAsString(value);
}

void SetDateField(TDataSet* dataSet, const AnsiString& fieldName, const TDateTime& value) {
    FieldOf(dataSet, fieldName)->SetAsDateTime(value);
}

void SetNullField(TDataSet* dataSet, const AnsiString& fieldName) {
    try {
        FieldOf(dataSet, fieldName)->Clear();
    } catch (...) {
    }
}

bool CopyField(TDataSet* source, const AnsiString& sourceField, TDataSet* target,
               const AnsiString& targetField) {
    try {
        const Variant value = FieldOf(source, sourceField)->AsVariant();
        FieldOf(target, targetField)->SetAsVariant(value);
        return true;
    } catch (...) {
        return false;
    }
}

bool CopyField(TDataSet* source, const AnsiString& fieldName, TDataSet* target) {
    return CopyField(source, fieldName, target, fieldName);
}

void CopiaCampo(TDataSet* target, const char* targetField, TDataSet* source, const char* value) {
    TField* field = FieldOf(target, AnsiString(targetField));
    if (source)
        field->SetAsVariant(FieldOf(source, AnsiString(value))->AsVariant());
    else
        field->SetAsVariant(Variant(AnsiString(value)));
}
