#pragma once
// The maker's fixed text forms for dates and amounts.

#include "platform/core/AnsiString.h"
#include "platform/core/DateTime.h"

// The date 0 means "no date" in all three.
AnsiString RenderDate(TDateTime date);      // dd/mm/yyyy, empty for no date
AnsiString RenderDateShort(TDateTime date); // dd/mm/yy, empty for no date
AnsiString RenderDateCBI(TDateTime date);   // ddmmyy for bank files, "000000" for no date

// Numeric field formats by the amount's currency mark: the euro sign (code 128)
// gets two decimals, every other mark none.
AnsiString EditFormatFor(char currency);
AnsiString DisplayFormatFor(char currency);
