#pragma once
// The current-account export: every movement of a condominium as one
// tab-separated text, ready to be pasted into a spreadsheet, and the same
// movements as an HTML table for spreadsheets that read one.

#include "platform/core/AnsiString.h"
#include "platform/core/DateTime.h"
#include "quorbase/clsString.h"

class TDataSet;
class TTextBlocks;

// The header line names the five columns of the movement lines.
inline constexpr const char* ContoCorrenteHeader =
    "\"Data\"\t\"Valuta\"\t\"Causale\"\t\"Descrizione\"\t\"Importo\"";
// Between lines only: the text ends with its last line.
inline constexpr const char* ContoCorrenteLineBreak = "\r\n";

// One movement as the export reads it: the texts as the movement table
// renders them, unquoted, and the date's value.
struct ContoCorrenteMovement {
    AnsiString data;         // empty when the date is null
    TDateTime date;          // 0 when null
    AnsiString valuta;
    AnsiString causale;      // the cause's name; empty when Causali has none
    AnsiString descrizione;
    AnsiString importo;      // general form, the locale's separator; empty when null
};

// Writes the export of the current record of condomini: the text to text
// and, when html is given, the HTML table to html, in one reading of the
// archive. The movements come through the query helpers, so SetDataBase must
// have named the archive. When there is no current condominium or its
// movements cannot be read, raises EDatabaseError naming the cause; what was
// written by then is to be thrown away.
void WriteContoCorrente(TDataSet* condomini, TTextBlocks& text, TTextBlocks* html = nullptr);

// The text alone, in one string.
quorbase::clsString BuildContoCorrenteText(TDataSet* condomini);
