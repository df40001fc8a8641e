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

// The date format of a pattern such as "dd/MM/yyyy" with the date separator,
// as a spreadsheet's format code: Calc's ("DD/MM/YYYY") or Excel's, whose
// literal characters are escaped ("dd\/mm\/yyyy").
std::string SpreadsheetDateFormat(const AnsiString& pattern, char separator, bool excel);
