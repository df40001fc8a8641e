#pragma once
// The current-account export: every movement of a condominium as one
// tab-separated text, ready to be pasted into a spreadsheet.

#include "quorbase/clsString.h"

class TDataSet;

// The header line names the five columns of the movement lines.
inline constexpr const char* ContoCorrenteHeader =
    "\"Data\"\t\"Valuta\"\t\"Causale\"\t\"Descrizione\"\t\"Importo\"";
// Between lines only: the text ends with its last line.
inline constexpr const char* ContoCorrenteLineBreak = "\r\n";

// The header and one line per movement of the current record of condomini:
// date, currency, cause name and description (both apostrophe-quoted) and
// amount, as the movement table renders them. The movements come through the
// query helpers, so SetDataBase must have named the archive. Only the header
// when the movements cannot be read (no current condominium); an error while
// reading a field reaches the caller.
quorbase::clsString BuildContoCorrenteText(TDataSet* condomini);
