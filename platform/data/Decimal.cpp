#include "platform/data/Decimal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace dbengine {

namespace {

constexpr std::int64_t kPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

bool MulAdd(std::int64_t& acc, int digit) {
    if (acc > (std::numeric_limits<std::int64_t>::max() - digit) / 10) return false;
    acc = acc * 10 + digit;
    return true;
}

} // namespace

bool ParseDecimal(std::string_view text, char separator, int scale, std::int64_t& units) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    std::size_t end = text.size();
    while (end > i && text[end - 1] == ' ')
        --end;
    text = text.substr(i, end - i);
    if (text.empty()) return false;
    i = 0;
    bool negative = false;
    if (text[i] == '-' || text[i] == '+') {
        negative = text[i] == '-';
        ++i;
    }
    std::string digits; // all significant digits
    int intDigits = 0;
    bool seenSep = false, any = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits += c;
            if (!seenSep) ++intDigits;
            any = true;
        } else if (c == separator && !seenSep) {
            seenSep = true;
        } else {
            break;
        }
    }
    if (!any) return false;
    if (i < text.size()) {
        if (text[i] != 'e' && text[i] != 'E') return false;
        ++i;
        bool expNeg = false;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
            expNeg = text[i] == '-';
            ++i;
        }
        if (i >= text.size()) return false;
        int exp = 0;
        for (; i < text.size(); ++i) {
            if (text[i] < '0' || text[i] > '9' || exp > 400) return false;
            exp = exp * 10 + (text[i] - '0');
        }
        intDigits += expNeg ? -exp : exp;
    }
    // Digits before the point (padding with zeros when the exponent moved it).
    std::int64_t acc = 0;
    const int wanted = intDigits + scale; // digits kept
    for (int k = 0; k < wanted; ++k) {
        const int d = (k >= 0 && k < static_cast<int>(digits.size())) ? digits[k] - '0' : 0;
        if (k < 0) continue;
        if (!MulAdd(acc, d)) return false;
    }
    if (wanted < 0) acc = 0;
    // Round on the first dropped digit.
    const int next = wanted;
    if (next >= 0 && next < static_cast<int>(digits.size()) && digits[next] >= '5') {
        if (acc == std::numeric_limits<std::int64_t>::max()) return false;
        ++acc;
    }
    units = negative ? -acc : acc;
    return true;
}

bool DoubleToUnits(double value, int scale, std::int64_t& units) {
    if (!std::isfinite(value)) return false;
    // Fast path: a value that is exactly the nearest double of a decimal with
    // at most scale digits (12.5, 0.25); small enough that no rounding
    // boundary lies within one unit of the last place.
    if (std::fabs(value) < 1e12) {
        const double p = static_cast<double>(kPow10[scale]);
        const double r = std::nearbyint(value * p);
        if (r / p == value) {
            units = static_cast<std::int64_t>(r);
            return true;
        }
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    // The shortest form that reads back the same value avoids 12.499999...
    for (int precision = 1; precision <= 17; ++precision) {
        char shorter[64];
        std::snprintf(shorter, sizeof shorter, "%.*g", precision, value);
        if (std::strtod(shorter, nullptr) == value) {
            return ParseDecimal(shorter, '.', scale, units);
        }
    }
    return ParseDecimal(buffer, '.', scale, units);
}

std::string FormatUnits(std::int64_t units, int scale, char separator, int minDecimals) {
    // Digits written backwards into a buffer: an amount is formatted for
    // every row shown or exported.
    const bool negative = units < 0;
    // Unsigned, so that the smallest value negates safely.
    std::uint64_t magnitude =
        negative ? ~static_cast<std::uint64_t>(units) + 1 : static_cast<std::uint64_t>(units);
    char digits[32];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count <= scale)
        digits[count++] = '0';
    // digits[scale - 1 .. 0] are the decimals, most significant first.
    int decimals = scale;
    int lowest = 0; // index of the last decimal kept
    while (decimals > minDecimals && digits[lowest] == '0') {
        --decimals;
        ++lowest;
    }
    std::string out;
    out.reserve(static_cast<std::size_t>(count + 2 + (minDecimals > scale ? minDecimals - scale : 0)));
    const bool zero = std::all_of(digits, digits + count, [](char c) { return c == '0'; });
    if (negative && !zero) out += '-';
    for (int i = count - 1; i >= scale; --i)
        out += digits[i];
    if (decimals > 0 || minDecimals > 0) {
        const int shown = decimals > 0 ? decimals : 0;
        if (shown > 0 || minDecimals > 0) out += separator;
        for (int i = scale - 1; i >= scale - shown; --i)
            out += digits[i];
        for (int i = shown; i < minDecimals; ++i)
            out += '0';
    }
    return out;
}

std::string FormatDouble(double value, int maxDecimals, char separator) {
    if (!std::isfinite(value)) return std::string();
    // The shortest digits that read back the same value, as d.ddde+x.
    char buffer[64];
    for (int precision = 0; precision <= 16; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*e", precision, value);
        if (std::strtod(buffer, nullptr) == value) break;
    }
    std::string text = buffer;
    const bool negative = text[0] == '-';
    if (negative) text.erase(0, 1);
    const std::size_t e = text.find('e');
    const int exponent = std::atoi(text.c_str() + e + 1);
    std::string digits;
    for (std::size_t i = 0; i < e; ++i)
        if (text[i] != '.') digits += text[i];
    // digits with the point after intDigits of them.
    int intDigits = exponent + 1;
    if (intDigits <= 0) {
        digits.insert(0, static_cast<std::size_t>(1 - intDigits), '0');
        intDigits = 1;
    } else if (intDigits > static_cast<int>(digits.size())) {
        digits.append(static_cast<std::size_t>(intDigits) - digits.size(), '0');
    }
    if (maxDecimals < 0) maxDecimals = 0;
    const std::size_t kept = static_cast<std::size_t>(intDigits + maxDecimals);
    if (digits.size() > kept) {
        const bool up = digits[kept] >= '5';
        digits.resize(kept);
        for (std::size_t i = kept; up; --i) {
            if (i == 0) {
                digits.insert(0, 1, '1');
                ++intDigits;
                break;
            }
            if (digits[i - 1] == '9') {
                digits[i - 1] = '0';
            } else {
                ++digits[i - 1];
                break;
            }
        }
    }
    std::string frac = digits.substr(static_cast<std::size_t>(intDigits));
    while (!frac.empty() && frac.back() == '0')
        frac.pop_back();
    std::string out = digits.substr(0, static_cast<std::size_t>(intDigits));
    if (!frac.empty()) {
        out += separator;
        out += frac;
    }
    const bool zero = out.find_first_not_of("0" + std::string(1, separator)) == std::string::npos;
    return negative && !zero ? "-" + out : out;
}

std::int64_t Rescale(std::int64_t units, int fromScale, int toScale) {
    if (toScale >= fromScale) {
        const std::int64_t f = kPow10[toScale - fromScale];
        if (units > std::numeric_limits<std::int64_t>::max() / f)
            return std::numeric_limits<std::int64_t>::max();
        if (units < std::numeric_limits<std::int64_t>::min() / f)
            return std::numeric_limits<std::int64_t>::min();
        return units * f;
    }
    const std::int64_t f = kPow10[fromScale - toScale];
    const std::int64_t q = units / f, r = units % f;
    if (2 * (r < 0 ? -r : r) >= f) return units < 0 ? q - 1 : q + 1;
    return q;
}

} // namespace dbengine
