#pragma once
// One-call typed access to a named field of a dataset's current record, and
// copying a value between datasets. Readers marked "absorbs" answer a neutral
// value on any error; the others let the platform's error through.

#include "platform/core/AnsiString.h"
#include "platform/core/DateTime.h"
#include "platform/core/Types.h"

class TDataSet;
class TField;

// The field, raising EDatabaseError when the dataset is null or has no such field.
TField* FieldOf(TDataSet* dataSet, const AnsiString& fieldName);

// Absorbs: 0 for a null dataset, an empty text or any error.
char ChrField(TDataSet* dataSet, const AnsiString& fieldName);
// Absorbs: 0 for an empty name (the dataset is not touched) or any error.
int IntField(TDataSet* dataSet, const AnsiString& fieldName);
bool BoolField(TDataSet* dataSet, const AnsiString& fieldName);
TDateTime DateTimeField(TDataSet* dataSet, const AnsiString& fieldName);
// The date without its time of day.
TDateTime DateField(TDataSet* dataSet, const AnsiString& fieldName);
Currency CurField(TDataSet* dataSet, const AnsiString& fieldName);
double DblField(TDataSet* dataSet, const AnsiString& fieldName);
AnsiString StrField(TDataSet* dataSet, const AnsiString& fieldName);
// Absorbs: a field that cannot be read, or does not exist, counts as null.
bool IsNullField(TDataSet* dataSet, const AnsiString& fieldName);

// Writers only assign: the dataset must already be editing or inserting.
void SetCurField(TDataSet* dataSet, const AnsiString& fieldName, const Currency& value);
void SetDblField(TDataSet* dataSet, const AnsiString& fieldName, const double& value);
void SetIntField(TDataSet* dataSet, const AnsiString& fieldName, const int& value);
void SetBoolField(TDataSet* dataSet, const AnsiString& fieldName, const bool& value);
void SetStrField(TDataSet* dataSet, const AnsiString& fieldName, const AnsiString value);
void SetDateField(TDataSet* dataSet, const AnsiString& fieldName, const TDateTime& value);
// Absorbs: makes the field null, or does nothing.
void SetNullField(TDataSet* dataSet, const AnsiString& fieldName);

// target := source as a Variant (a null source makes the target null);
// false on any error.
bool CopyField(TDataSet* source, const AnsiString& sourceField, TDataSet* target,
               const AnsiString& targetField);
bool CopyField(TDataSet* source, const AnsiString& fieldName, TDataSet* target);
// Target first. With a null source the fourth argument is the value itself,
// stored as text; otherwise it names the source field. Errors pass on.
void CopiaCampo(TDataSet* target, const char* targetField, TDataSet* source, const char* value);
