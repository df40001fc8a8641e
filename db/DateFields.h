#pragma once
// A date field of the current record as text in the three house forms; a
// null or missing field gives the empty text.

#include "platform/core/AnsiString.h"

class TDataSet;

AnsiString FormattaData(TDataSet* dataSet, const AnsiString& fieldName);      // dd/mm/yyyy
AnsiString FormattaDataBreve(TDataSet* dataSet, const AnsiString& fieldName); // dd/mm/yy
AnsiString FormattaDataCBI(TDataSet* dataSet, const AnsiString& fieldName);   // ddmmyy
