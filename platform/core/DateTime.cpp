#include "platform/core/DateTime.h"

#include "platform/core/Exception.h"
#include "platform/core/Locale.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
// Days from 1 January 1970 back to the platform's day zero, 30 December 1899.
constexpr std::int64_t kUnixToSerial = 25569;

// Howard Hinnant's civil calendar conversions (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// The day number and the milliseconds of the day. Before day zero the platform
// keeps the time positive: -1.25 is 29 December 1899 at 06:00.
struct Split {
    std::int64_t day;
    std::int64_t ms;
};

Split SplitValue(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 3.0e6)
        throw EConvertError("Valore di data e ora non valido");
    double whole = std::trunc(value);
    auto ms = static_cast<std::int64_t>(std::llround(std::fabs(value - whole) * kMsPerDay));
    auto day = static_cast<std::int64_t>(whole);
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        day += value < 0 ? -1 : 1;
    }
    return {day, ms};
}

struct Parts {
    int year, month, day, hour, minute, second, msec, weekday; // weekday 1 = Sunday
};

Parts Decode(double value) {
    const Split s = SplitValue(value);
    Parts p{};
    CivilFromDays(s.day - kUnixToSerial, p.year, p.month, p.day);
    p.hour = static_cast<int>(s.ms / 3600000);
    p.minute = static_cast<int>(s.ms / 60000 % 60);
    p.second = static_cast<int>(s.ms / 1000 % 60);
    p.msec = static_cast<int>(s.ms % 1000);
    // Day zero was a Saturday.
    p.weekday = static_cast<int>(((s.day % 7) + 7 + 6) % 7) + 1;
    return p;
}

const char* const kMonthShort[12] = {"gen", "feb", "mar", "apr", "mag", "giu",
                                     "lug", "ago", "set", "ott", "nov", "dic"};
const char* const kMonthLong[12] = {"gennaio",   "febbraio", "marzo",    "aprile",
                                    "maggio",    "giugno",   "luglio",   "agosto",
                                    "settembre", "ottobre",  "novembre", "dicembre"};
const char* const kDayShort[7] = {"dom", "lun", "mar", "mer", "gio", "ven", "sab"};
const char* const kDayLong[7] = {"domenica",   "luned\xEC",  "marted\xEC", "mercoled\xEC",
                                 "gioved\xEC", "venerd\xEC", "sabato"};

// The digits by hand, appended in place: a date is formatted for every row
// of a grid or an export, and the printf family costs many times more.
void AppendPadded(AnsiString& out, int value, int width) {
    char buffer[16];
    char* end = buffer + sizeof buffer;
    char* p = end;
    const bool negative = value < 0;
    unsigned magnitude = negative ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (end - p < width - (negative ? 1 : 0) && p > buffer + 1)
        *--p = '0';
    if (negative) *--p = '-';
    for (; p < end; ++p)
        out += *p; // no temporary text per number
}

AnsiString Pad(int value, int width) {
    AnsiString out;
    AppendPadded(out, value, width);
    return out;
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

void FormatInto(AnsiString& out, const std::string& pattern, const Parts& p, int depth) {
    const TFormatSettings& fs = FormatSettings();
    // Only letters count as the previous token: "hh:mm" still means minutes.
    char lastToken = 0;
    std::size_t i = 0;
    const std::size_t n = pattern.size();
    auto run = [&](char letter) {
        std::size_t k = i;
        while (k < n && Lower(pattern[k]) == letter)
            ++k;
        const auto count = static_cast<int>(k - i);
        i = k;
        return count;
    };
    while (i < n) {
        const char c = pattern[i];
        const char lc = Lower(c);
        if (c == '"' || c == '\'') {
            const std::size_t close = pattern.find(c, i + 1);
            const std::size_t end = close == std::string::npos ? n : close;
            out += AnsiString(pattern.substr(i + 1, end - i - 1));
            i = end == n ? n : end + 1;
            continue;
        }
        switch (lc) {
        case 'd': {
            const int count = run('d');
            if (count == 1)
                AppendPadded(out, p.day, 1);
            else if (count == 2)
                AppendPadded(out, p.day, 2);
            else if (count == 3)
                out += kDayShort[p.weekday - 1];
            else if (count == 4)
                out += kDayLong[p.weekday - 1];
            else if (depth == 0)
                FormatInto(out, fs.ShortDateFormat.str(), p, depth + 1);
            break;
        }
        case 'm': {
            const int count = run('m');
            if (lastToken == 'h' && count <= 2)
                AppendPadded(out, p.minute, count == 1 ? 1 : 2);
            else if (count == 1)
                AppendPadded(out, p.month, 1);
            else if (count == 2)
                AppendPadded(out, p.month, 2);
            else if (count == 3)
                out += kMonthShort[p.month - 1];
            else
                out += kMonthLong[p.month - 1];
            break;
        }
        case 'y': {
            const int count = run('y');
            AppendPadded(out, count <= 2 ? p.year % 100 : p.year, count <= 2 ? 2 : 4);
            break;
        }
        case 'h': {
            const int count = run('h');
            AppendPadded(out, p.hour, count == 1 ? 1 : 2);
            break;
        }
        case 'n': {
            const int count = run('n');
            AppendPadded(out, p.minute, count == 1 ? 1 : 2);
            break;
        }
        case 's': {
            const int count = run('s');
            AppendPadded(out, p.second, count == 1 ? 1 : 2);
            break;
        }
        case 'z': {
            const int count = run('z');
            AppendPadded(out, p.msec, count >= 3 ? 3 : 1);
            break;
        }
        case 't': {
            run('t');
            if (depth == 0) FormatInto(out, fs.LongTimeFormat.str(), p, depth + 1);
            break;
        }
        case '/':
            out += fs.DateSeparator;
            ++i;
            break;
        case ':':
            out += fs.TimeSeparator;
            ++i;
            break;
        default:
            out += c;
            ++i;
            break;
        }
        if (lc >= 'a' && lc <= 'z') lastToken = lc;
    }
}

// Which of day, month and year comes first, second and third in a date pattern.
void FieldOrder(const AnsiString& pattern, char order[3]) {
    int filled = 0;
    for (char c : pattern.view()) {
        const char lc = Lower(c);
        if ((lc == 'd' || lc == 'm' || lc == 'y') && filled < 3) {
            bool seen = false;
            for (int k = 0; k < filled; ++k)
                seen = seen || order[k] == lc;
            if (!seen) order[filled++] = lc;
        }
    }
    if (filled != 3) {
        order[0] = 'm';
        order[1] = 'd';
        order[2] = 'y';
    }
}

int CurrentYear() {
    int y, m, d;
    DecodeDate(Date(), y, m, d);
    return y;
}

bool ParseDigits(const std::string& s, std::size_t& i, int maxDigits, int& value, int& digits) {
    value = 0;
    digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < maxDigits) {
        value = value * 10 + (s[i] - '0');
        ++i;
        ++digits;
    }
    return digits > 0;
}

} // namespace

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return false;
    result = TDateTime(static_cast<double>(
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
        kUnixToSerial));
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime result;
    if (!TryEncodeDate(year, month, day, result))
        throw EConvertError("Data non valida: giorno " + IntToStr(day) + ", mese " +
                            IntToStr(month) + ", anno " + IntToStr(year));
    return result;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        msec < 0 || msec > 999)
        throw EConvertError("Ora non valida: " + IntToStr(hour) + ":" + IntToStr(minute) + ":" +
                            IntToStr(second) + "." + IntToStr(msec));
    const std::int64_t ms = ((hour * 60LL + minute) * 60 + second) * 1000 + msec;
    return TDateTime(static_cast<double>(ms) / kMsPerDay);
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
    const Parts p = Decode(value.Val);
    year = p.year;
    month = p.month;
    day = p.day;
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec) {
    const Parts p = Decode(value.Val);
    hour = p.hour;
    minute = p.minute;
    second = p.second;
    msec = p.msec;
}

TDateTime Date() {
    return TDateTime(std::floor(Now().Val));
}

TDateTime Now() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    const TDateTime day = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const TDateTime time =
        EncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                   static_cast<int>(ms.count()));
    return TDateTime(day.Val + time.Val);
}

namespace {

// A pattern of day, month and year numbers and separators only, as short
// dates are, formatted in one pass without the general reading of
// FormatInto (a date is formatted for every row of an export); false, with
// nothing written, for any other pattern.
bool FormatNumericDate(char* out, std::size_t room, std::size_t& length, const std::string& pattern,
                       double value) {
    const std::size_t n = pattern.size();
    if (n == 0) return false;
    for (std::size_t i = 0; i < n; ++i) {
        const char lc = Lower(pattern[i]);
        if (lc == '"' || lc == '\'' || lc == ':') return false;
        if (lc >= 'a' && lc <= 'z' && lc != 'd' && lc != 'm' && lc != 'y') return false;
    }
    int year = 0, month = 0, day = 0;
    CivilFromDays(SplitValue(value).day - kUnixToSerial, year, month, day);
    const char separator = FormatSettings().DateSeparator;
    length = 0;
    auto put = [&](char c) {
        if (length < room) out[length] = c;
        ++length;
    };
    auto number = [&](int v, int width) {
        char digits[16];
        int k = 0;
        unsigned magnitude = v < 0 ? 0u - static_cast<unsigned>(v) : static_cast<unsigned>(v);
        do {
            digits[k++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0 && k < 15);
        if (v < 0) put('-');
        for (int pad = k + (v < 0 ? 1 : 0); pad < width; ++pad)
            put('0');
        while (k > 0)
            put(digits[--k]);
    };
    for (std::size_t i = 0; i < n;) {
        const char c = pattern[i];
        const char lc = Lower(c);
        if (lc != 'd' && lc != 'm' && lc != 'y') {
            put(c == '/' ? separator : c);
            ++i;
            continue;
        }
        std::size_t k = i;
        while (k < n && Lower(pattern[k]) == lc)
            ++k;
        const std::size_t count = k - i;
        i = k;
        // Names of days and months, and the short date itself, are the general reading's.
        if (lc != 'y' && count > 2) return false;
        if (lc == 'd') number(day, static_cast<int>(count));
        if (lc == 'm') number(month, static_cast<int>(count));
        if (lc == 'y') number(count <= 2 ? year % 100 : year, count <= 2 ? 2 : 4);
    }
    return length <= room;
}

} // namespace

AnsiString FormatDateTime(const AnsiString& pattern, TDateTime value) {
    char buffer[64];
    std::size_t length = 0;
    if (FormatNumericDate(buffer, sizeof buffer, length, pattern.str(), value.Val))
        return AnsiString(std::string_view(buffer, length));
    const Parts p = Decode(value.Val);
    AnsiString out;
    if (pattern.IsEmpty()) {
        // The platform's "c": short date, and the time when there is one.
        return DateTimeToStr(value);
    }
    FormatInto(out, pattern.str(), p, 0);
    return out;
}

AnsiString DateToStr(TDateTime value) {
    return FormatDateTime(FormatSettings().ShortDateFormat, value);
}

AnsiString DateTimeToStr(TDateTime value) {
    AnsiString out = DateToStr(value);
    const Parts p = Decode(value.Val);
    if (p.hour || p.minute || p.second || p.msec)
        out += " " + FormatDateTime(FormatSettings().LongTimeFormat, value);
    return out;
}

bool TryStrToDate(const AnsiString& text, TDateTime& result) {
    const TFormatSettings& fs = FormatSettings();
    char order[3];
    FieldOrder(fs.ShortDateFormat, order);
    const std::string s = text.Trim().str();
    int numbers[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int count = 0;
    std::size_t i = 0;
    while (count < 3) {
        if (!ParseDigits(s, i, 4, numbers[count], digits[count])) return false;
        ++count;
        if (i >= s.size()) break;
        if (s[i] != fs.DateSeparator) return false;
        ++i;
    }
    if (i < s.size() || count < 2) return false;
    int day = 0, month = 0, year = 0, yearDigits = 0;
    int slot = 0;
    for (int k = 0; k < 3; ++k) {
        if (count == 2 && order[k] == 'y')
            continue; // two numbers: day and month of the current year
        if (order[k] == 'd')
            day = numbers[slot];
        else if (order[k] == 'm')
            month = numbers[slot];
        else {
            year = numbers[slot];
            yearDigits = digits[slot];
        }
        ++slot;
    }
    if (count == 2) {
        year = CurrentYear();
    } else if (yearDigits <= 2) {
        // Two-digit years fall within fifty years before today.
        const int now = CurrentYear();
        const int pivot = now - 50;
        year += pivot / 100 * 100;
        if (year < pivot) year += 100;
    }
    return TryEncodeDate(year, month, day, result);
}

TDateTime StrToDate(const AnsiString& text) {
    TDateTime result;
    if (!TryStrToDate(text, result)) throw EConvertError("'" + text + "' non \xE8 una data valida");
    return result;
}

AnsiString DateToISO(TDateTime value) {
    const Parts p = Decode(value.Val);
    return Pad(p.year, 4) + "-" + Pad(p.month, 2) + "-" + Pad(p.day, 2);
}

AnsiString DateTimeToISO(TDateTime value) {
    const Parts p = Decode(value.Val);
    return DateToISO(value) + " " + Pad(p.hour, 2) + ":" + Pad(p.minute, 2) + ":" +
           Pad(p.second, 2);
}

bool TryISOToDateTime(const std::string& text, TDateTime& result) {
    std::size_t i = 0;
    int year, month, day, digits;
    auto expect = [&](char c) {
        if (i < text.size() && text[i] == c) {
            ++i;
            return true;
        }
        return false;
    };
    if (!ParseDigits(text, i, 4, year, digits) || digits != 4 || !expect('-') ||
        !ParseDigits(text, i, 2, month, digits) || digits != 2 || !expect('-') ||
        !ParseDigits(text, i, 2, day, digits) || digits != 2)
        return false;
    TDateTime date;
    if (!TryEncodeDate(year, month, day, date)) return false;
    if (i == text.size()) {
        result = date;
        return true;
    }
    if (!expect(' ') && !expect('T')) return false;
    int hour, minute, second = 0, msec = 0;
    if (!ParseDigits(text, i, 2, hour, digits) || digits != 2 || !expect(':') ||
        !ParseDigits(text, i, 2, minute, digits) || digits != 2)
        return false;
    if (expect(':') && (!ParseDigits(text, i, 2, second, digits) || digits != 2)) return false;
    if (expect('.')) {
        int fraction;
        if (!ParseDigits(text, i, 3, fraction, digits)) return false;
        msec = digits == 1 ? fraction * 100 : digits == 2 ? fraction * 10 : fraction;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i;
    }
    if (i != text.size()) return false;
    if (hour > 23 || minute > 59 || second > 59) return false;
    const TDateTime time = EncodeTime(hour, minute, second, msec);
    // Before day zero the time still counts forward from midnight.
    result = TDateTime(date.Val >= 0 ? date.Val + time.Val : date.Val - time.Val);
    return true;
}
