#pragma once
// The platform's numeric format patterns: "0", "0.00", ",0.00", "#,##0.00",
// up to three sections "positive;negative;zero", quoted literals kept.
// A comma anywhere before the decimal point turns on thousands separators;
// zeros are required digits, '#' optional ones.

#include "platform/core/AnsiString.h"
#include "platform/core/Types.h"

// Uses FormatSettings() for the decimal and thousands separators. An empty
// pattern gives the general number form.
AnsiString FormatFloat(const AnsiString& pattern, double value);
// Exact for amounts: the digits come from the fixed-point value, not a double.
AnsiString FormatCurr(const AnsiString& pattern, Currency value);
