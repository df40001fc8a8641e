#pragma once
// Record helpers shared by the forms: reopening a dataset in place, a usage
// count kept in the dataset's Tag, the address line, amount formats, saving
// a pending master record, finding a record by integer key, edit errors.

#include "platform/core/AnsiString.h"
#include "platform/data/DataSet.h"

class TDataSource;
class TNumericField;

// Closes and reopens the dataset, back on the same record when it still
// exists, otherwise on the last one. Absorbs every failure; null is ignored.
void Riapri(TDataSet* dataSet);
// Reopens the dataset when its count in Tag is 0, then counts one more user.
void TagRiapri(TDataSet* dataSet);
// Counts one user less and closes the dataset when the count returns to 0.
void TagChiudi(TDataSet* dataSet);

// "CAP Comune (Provincia)" of the current record.
AnsiString Indirizzo(TDataSet* dataSet);
// Two decimals for amounts in euro (code 0x80), none for any other currency.
void ImpostaFormato(TNumericField* field, char currency);
// Posts the data source's dataset when it is editing or inserting; false
// when there is no data source or the post fails.
bool SalvaMasterRecord(TDataSource* source);
// Exact match of an integer key; the dataset is then on the record found.
bool TrovaRecord(TDataSet* dataSet, const AnsiString& keyFields, int value);
// For the dataset error events: shows the error and abandons the operation.
void OnEditError(TDataSet* dataSet, EDatabaseError* error, TDataAction& action);
