#include "platform/data/FormatFloat.h"

#include "platform/core/Locale.h"
#include "platform/data/Decimal.h"
#include "platform/data/Variant.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<std::string> SplitSections(const std::string& pattern) {
    std::vector<std::string> out(1);
    char quote = 0;
    for (char c : pattern) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';') {
            out.emplace_back();
            continue;
        }
        out.back() += c;
    }
    return out;
}

// Renders one section; digitsFor(decimals) gives the absolute value rounded
// to that many decimals as "123.45" (or "123" for none).
std::string RenderSection(const std::string& section,
                          const std::function<std::string(int)>& digitsFor) {
    int intZeros = 0, fracZeros = 0, fracHashes = 0;
    bool thousands = false, seenPoint = false, seenDigit = false;
    std::string prefix, suffix;
    char quote = 0;
    for (char c : section) {
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                (seenDigit ? suffix : prefix) += c;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '0' || c == '#') {
            if (!suffix.empty()) {
                // Literal text between placeholders goes before the number.
                prefix += suffix;
                suffix.clear();
            }
            seenDigit = true;
            if (!seenPoint) {
                if (c == '0') ++intZeros;
            } else if (c == '0') {
                fracZeros += 1 + fracHashes; // a zero after a '#' makes it required too
                fracHashes = 0;
            } else {
                ++fracHashes;
            }
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
            seenDigit = true;
        } else if (c == ',' && !seenPoint) {
            thousands = true;
            seenDigit = true;
        } else {
            (seenDigit ? suffix : prefix) += c;
        }
    }
    const TFormatSettings& fs = FormatSettings();
    const std::string text = digitsFor(fracZeros + fracHashes);
    const std::size_t point = text.find('.');
    std::string intPart = text.substr(0, point);
    std::string frac = point == std::string::npos ? "" : text.substr(point + 1);
    while (static_cast<int>(frac.size()) > fracZeros && frac.back() == '0')
        frac.pop_back();
    if (intPart == "0" && intZeros == 0) intPart.clear();
    while (static_cast<int>(intPart.size()) < intZeros)
        intPart.insert(0, 1, '0');
    if (thousands && intPart.size() > 3) {
        std::string grouped;
        const std::size_t lead = intPart.size() % 3;
        for (std::size_t i = 0; i < intPart.size(); ++i) {
            if (i != 0 && (i - lead) % 3 == 0 && i >= lead) grouped += fs.ThousandSeparator;
            grouped += intPart[i];
        }
        intPart = grouped;
    }
    std::string out = prefix + intPart;
    if (!frac.empty()) out += fs.DecimalSeparator + frac;
    return out + suffix;
}

bool AllZero(const std::string& digits) {
    for (char c : digits)
        if (c >= '1' && c <= '9') return false;
    return true;
}

AnsiString Render(const AnsiString& pattern, bool negative,
                  const std::function<std::string(int)>& digitsFor) {
    const std::vector<std::string> sections = SplitSections(pattern.str());
    // The zero section applies to a value that rounds to zero in the first section.
    std::string first = RenderSection(sections[0], digitsFor);
    std::string roundedDigits;
    for (char c : first)
        if (c >= '0' && c <= '9') roundedDigits += c;
    if (AllZero(roundedDigits)) {
        if (sections.size() >= 3 && !sections[2].empty())
            return AnsiString(RenderSection(sections[2], digitsFor));
        return AnsiString(first);
    }
    if (!negative) return AnsiString(first);
    if (sections.size() >= 2 && !sections[1].empty())
        return AnsiString(RenderSection(sections[1], digitsFor));
    return AnsiString("-" + first);
}

} // namespace

AnsiString FormatFloat(const AnsiString& pattern, double value) {
    if (pattern.IsEmpty()) return AnsiString(value);
    if (!std::isfinite(value)) return AnsiString(value);
    const double magnitude = std::fabs(value);
    return Render(pattern, value < 0, [magnitude](int decimals) {
        std::int64_t units;
        // Decimal rounding of the value as written, not of its binary form.
        if (decimals <= 8 && magnitude < 1e15 &&
            dbengine::DoubleToUnits(magnitude, decimals, units))
            return dbengine::FormatUnits(units, decimals, '.', decimals);
        char buffer[400];
        std::snprintf(buffer, sizeof buffer, "%.*f", decimals, magnitude);
        return std::string(buffer);
    });
}

AnsiString FormatCurr(const AnsiString& pattern, Currency value) {
    if (pattern.IsEmpty()) return CurrToStr(value);
    const std::int64_t units = value.Value;
    const bool negative = units < 0;
    return Render(pattern, negative, [units, negative](int decimals) {
        const int kept = decimals > 4 ? 4 : decimals;
        std::int64_t scaled = dbengine::Rescale(units, 4, kept);
        if (negative) scaled = -scaled;
        std::string text = dbengine::FormatUnits(scaled, kept, '.', kept);
        if (decimals > 4) text.append(static_cast<std::size_t>(decimals - 4), '0');
        return text;
    });
}
