#include "app/ContoCorrenteHtml.h"

#include "app/ContoCorrenteExport.h"
#include "platform/core/Locale.h"
#include "platform/core/TextBlocks.h"

#include <cmath>
#include <cstdio>

namespace {

// Calc reads sdval in the language of sdnum's first number (US English:
// "12.5" on every machine) and the format in the second's; 0 is the user's
// own, so that amounts show as the user's spreadsheet shows numbers.
constexpr const char* kCalcText = "1033;0;@";
constexpr const char* kCalcNumber = "1033;0;General";

// Cell text: markup characters escaped; TAB, CR, LF and the other controls,
// which a cell cannot show, as spaces.
void AppendEscaped(std::string& out, const AnsiString& text) {
    for (char c : text.view()) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
        }
    }
}

void AppendTextCell(std::string& row, const AnsiString& text) {
    row += "<td sdnum=\"";
    row += kCalcText;
    row += "\">";
    AppendEscaped(row, text);
    row += "</td>";
}

// A typed cell: value is the number as both suites read it ("39146", "12.5").
void AppendTypedCell(std::string& row, const char* excelClass, const std::string& calcFormat,
                     const std::string& value, const AnsiString& shown) {
    row += "<td class=\"";
    row += excelClass;
    row += "\" sdval=\"";
    row += value;
    row += "\" sdnum=\"";
    row += calcFormat;
    row += "\" x:num=\"";
    row += value;
    row += "\">";
    AppendEscaped(row, shown);
    row += "</td>";
}

} // namespace

std::string CalcDateFormat(const AnsiString& pattern, char separator) {
    // The order of day, month and year in the pattern.
    std::string order;
    for (char c : pattern.view()) {
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if ((lower == 'd' || lower == 'm' || lower == 'y') && order.find(lower) == std::string::npos)
            order += lower;
    }
    if (order == "dmy" && separator == '/') return "2057;2057;DD/MM/YYYY"; // English (UK)
    if (order == "dmy" && separator == '.') return "1031;1031;TT.MM.JJJJ"; // German
    if (order == "mdy" && separator == '/') return "1033;1033;MM/DD/YYYY"; // English (US)
    return "1033;1033;YYYY-MM-DD";
}

std::string ExcelDateFormat(const AnsiString& pattern, char separator) {
    std::string format;
    for (char c : pattern.view()) {
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower == 'd' || lower == 'm' || lower == 'y') {
            format += lower;
        } else {
            // A literal: the date separator where the pattern has '/'.
            format += '\\';
            format += c == '/' ? separator : c;
        }
    }
    return format;
}

ContoCorrenteHtml::ContoCorrenteHtml(TTextBlocks& out) : out_(out) {
    const TFormatSettings& settings = FormatSettings();
    decimalSeparator_ = settings.DecimalSeparator;
    calcDate_ = CalcDateFormat(settings.ShortDateFormat, settings.DateSeparator);
    const std::string excelDate = ExcelDateFormat(settings.ShortDateFormat, settings.DateSeparator);
    // Excel takes a cell's format from the class of its style sheet; a cell
    // of no class is text.
    out_.Append("<html xmlns:x=\"urn:schemas-microsoft-com:office:excel\">\r\n<head>\r\n"
                "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"/>\r\n"
                "<style>\r\ntd {mso-number-format:\"\\@\"}\r\ntd.d {mso-number-format:\"");
    out_.Append(excelDate);
    out_.Append("\"}\r\ntd.n {mso-number-format:General}\r\n</style>\r\n</head>\r\n<body>\r\n"
                "<!--StartFragment-->\r\n<table>\r\n"
                "<tr><th>Data</th><th>Valuta</th><th>Causale</th><th>Descrizione</th>"
                "<th>Importo</th></tr>\r\n");
    row_.reserve(512);
}

void ContoCorrenteHtml::Add(const ContoCorrenteMovement& movement) {
    row_.assign("<tr>");
    if (movement.data.IsEmpty()) {
        row_ += "<td></td>";
    } else {
        char serial[32];
        std::snprintf(serial, sizeof serial, "%.0f", std::trunc(movement.date.Val));
        AppendTypedCell(row_, "d", calcDate_, serial, movement.data);
    }
    AppendTextCell(row_, movement.valuta);
    AppendTextCell(row_, movement.causale);
    AppendTextCell(row_, movement.descrizione);
    if (movement.importo.IsEmpty()) {
        row_ += "<td></td>";
    } else {
        // The general form has no thousands separators: only the decimal one differs.
        std::string value = movement.importo.str();
        for (char& c : value)
            if (c == decimalSeparator_) c = '.';
        AppendTypedCell(row_, "n", kCalcNumber, value, movement.importo);
    }
    row_ += "</tr>\r\n";
    out_.Append(row_);
}

void ContoCorrenteHtml::Finish() {
    out_.Append("</table>\r\n<!--EndFragment-->\r\n</body>\r\n</html>\r\n");
}
