#pragma once
// The export as an HTML table for spreadsheets: a header row and one row of
// five cells per movement. Dates and amounts are typed cells, with their
// values in the markup LibreOffice Calc (sdval, sdnum) and Excel (x:num,
// mso-number-format) read, so that a date stays a date and an amount a
// number whatever the spreadsheet's locale; the texts are marked as text so
// that no spreadsheet takes them for numbers. The document is written in
// Windows-1252 and declares UTF-8: it is meant to be converted on its way
// out, as the clipboard does.

#include "platform/core/AnsiString.h"

class TTextBlocks;
struct ContoCorrenteMovement;

class ContoCorrenteHtml {
public:
    // Writes the document's head and the header row to out.
    explicit ContoCorrenteHtml(TTextBlocks& out);
    void Add(const ContoCorrenteMovement& movement);
    // Closes the table and the document.
    void Finish();

private:
    TTextBlocks& out_;
    std::string row_; // reused for every row
    char decimalSeparator_;
    std::string calcDate_; // sdnum of a date cell
};

// Calc's sdnum of the date cells for a date pattern such as "dd/MM/yyyy"
// with its separator. Calc takes only the formats it has built in from
// pasted HTML, so this is the built-in format of a language that writes
// dates in that order with that separator ("2057;2057;DD/MM/YYYY"), or
// else ISO 8601, which every language has.
std::string CalcDateFormat(const AnsiString& pattern, char separator);
// Excel's mso-number-format for the same pattern, its literal characters
// escaped ("dd\/mm\/yyyy").
std::string ExcelDateFormat(const AnsiString& pattern, char separator);
