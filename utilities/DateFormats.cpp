#include "utilities/DateFormats.h"

#include "platform/core/Exception.h"

namespace {

constexpr char kEuro = '\x80';

AnsiString Render(TDateTime date, const char* pattern, const char* none) {
    if (date.Val == 0.0) return AnsiString(none);
    try {
        return FormatDateTime(pattern, date);
    } catch (const EConvertError&) {
        // A value no calendar can show is treated as no date, as callers do not expect errors.
        return AnsiString(none);
    }
}

} // namespace

AnsiString RenderDate(TDateTime date) {
    return Render(date, "dd/mm/yyyy", "");
}

AnsiString RenderDateShort(TDateTime date) {
    return Render(date, "dd/mm/yy", "");
}

AnsiString RenderDateCBI(TDateTime date) {
    return Render(date, "ddmmyy", "000000");
}

AnsiString EditFormatFor(char currency) {
    return currency == kEuro ? "0.00" : "0";
}

AnsiString DisplayFormatFor(char currency) {
    return currency == kEuro ? ",0.00" : ",0";
}
