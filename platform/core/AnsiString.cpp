#include "platform/core/AnsiString.h"

#include "platform/core/Exception.h"
#include "platform/core/Locale.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <ostream>

namespace {

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

[[noreturn]] void RaiseIndex(int index, int length) {
    throw ERangeError("Indice " + IntToStr(index) + " fuori dai limiti della stringa (lunghezza " +
                      IntToStr(length) + ")");
}

// Parses an optionally signed decimal or hexadecimal ("0x" or "$") integer, with leading
// blanks allowed, as the platform does.
bool ParseInt(std::string_view text, long long& out) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return false;
    unsigned long long value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * base + digit;
        if (value > 0xFFFFFFFFull) return false;
    }
    long long signedValue =
        negative ? -static_cast<long long>(value) : static_cast<long long>(value);
    // Hexadecimal text may spell a negative 32-bit value (0xFFFFFFFF is -1).
    if (base == 16 && !negative && signedValue > std::numeric_limits<int>::max())
        signedValue = static_cast<int>(static_cast<unsigned int>(value));
    if (signedValue < std::numeric_limits<int>::min() ||
        signedValue > std::numeric_limits<int>::max())
        return false;
    out = signedValue;
    return true;
}

} // namespace

AnsiString::AnsiString(const char* text) : data_(text ? text : "") {}

AnsiString::AnsiString(const char* text, int length) {
    if (text && length > 0) data_.assign(text, static_cast<std::size_t>(length));
}

AnsiString::AnsiString(int value) : data_(std::to_string(value)) {}

AnsiString::AnsiString(long long value) : data_(std::to_string(value)) {}

AnsiString::AnsiString(double value) {
    if (std::isnan(value)) {
        data_ = "NAN";
        return;
    }
    if (std::isinf(value)) {
        data_ = value > 0 ? "INF" : "-INF";
        return;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    data_ = buffer;
    // The platform writes exponents as "1E20" and "1E-5", without sign or padding.
    if (const auto e = data_.find('E'); e != std::string::npos) {
        std::size_t digits = e + 1;
        if (data_[digits] == '+')
            data_.erase(digits, 1);
        else if (data_[digits] == '-')
            ++digits;
        while (digits + 1 < data_.size() && data_[digits] == '0')
            data_.erase(digits, 1);
    }
    const char sep = FormatSettings().DecimalSeparator;
    for (char& c : data_)
        if (c == '.') c = sep;
}

char AnsiString::operator[](int index) const {
    if (index < 1 || index > Length()) RaiseIndex(index, Length());
    return data_[static_cast<std::size_t>(index - 1)];
}

char& AnsiString::operator[](int index) {
    if (index < 1 || index > Length()) RaiseIndex(index, Length());
    return data_[static_cast<std::size_t>(index - 1)];
}

AnsiString AnsiString::SubString(int start, int count) const {
    if (start < 1) start = 1;
    if (count <= 0 || start > Length()) return AnsiString();
    const int available = Length() - start + 1;
    return AnsiString(
        data_.substr(static_cast<std::size_t>(start - 1),
                     static_cast<std::size_t>(count < available ? count : available)));
}

int AnsiString::Pos(const AnsiString& sub) const {
    if (sub.IsEmpty()) return 0;
    const auto found = data_.find(sub.data_);
    return found == std::string::npos ? 0 : static_cast<int>(found) + 1;
}

int AnsiString::LastDelimiter(const AnsiString& delimiters) const {
    if (delimiters.IsEmpty()) return 0;
    const auto found = data_.find_last_of(delimiters.data_);
    return found == std::string::npos ? 0 : static_cast<int>(found) + 1;
}

AnsiString AnsiString::UpperCase() const {
    std::string out = data_;
    for (char& c : out)
        c = AsciiUpper(c);
    return AnsiString(std::move(out));
}

AnsiString AnsiString::LowerCase() const {
    std::string out = data_;
    for (char& c : out)
        c = AsciiLower(c);
    return AnsiString(std::move(out));
}

static bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

AnsiString AnsiString::Trim() const {
    return TrimLeft().TrimRight();
}

AnsiString AnsiString::TrimLeft() const {
    std::size_t i = 0;
    while (i < data_.size() && IsBlank(data_[i]))
        ++i;
    return AnsiString(data_.substr(i));
}

AnsiString AnsiString::TrimRight() const {
    std::size_t n = data_.size();
    while (n > 0 && IsBlank(data_[n - 1]))
        --n;
    return AnsiString(data_.substr(0, n));
}

int AnsiString::ToInt() const {
    long long value = 0;
    if (!ParseInt(data_, value))
        throw EConvertError("'" + *this + "' non \xE8 un valore intero valido");
    return static_cast<int>(value);
}

int AnsiString::ToIntDef(int fallback) const {
    long long value = 0;
    return ParseInt(data_, value) ? static_cast<int>(value) : fallback;
}

double AnsiString::ToDouble() const {
    const AnsiString trimmed = Trim();
    const char sep = FormatSettings().DecimalSeparator;
    std::string text;
    for (char c : trimmed.data_) {
        if (c == sep)
            text += '.';
        else if (c == '.' || c == ',' || c == ' ')
            text += '#'; // a separator of the wrong kind makes the text invalid
        else
            text += c;
    }
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const double value = text.empty() ? 0.0 : std::strtod(begin, &end);
    if (text.empty() || end != begin + text.size() || errno == ERANGE ||
        text.find_first_of("xXpP") != std::string::npos || std::isnan(value) || std::isinf(value))
        throw EConvertError("'" + *this + "' non \xE8 un valore in virgola mobile valido");
    return value;
}

AnsiString& AnsiString::Insert(const AnsiString& text, int index) {
    if (index < 1) index = 1;
    if (index > Length() + 1) index = Length() + 1;
    data_.insert(static_cast<std::size_t>(index - 1), text.data_);
    return *this;
}

AnsiString& AnsiString::Delete(int index, int count) {
    if (index < 1 || index > Length() || count <= 0) return *this;
    data_.erase(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count));
    return *this;
}

void AnsiString::SetLength(int length) {
    data_.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
}

AnsiString& AnsiString::operator+=(const char* other) {
    if (other) data_ += other;
    return *this;
}

std::strong_ordering operator<=>(const AnsiString& a, const AnsiString& b) {
    const std::size_t n = a.data_.size() < b.data_.size() ? a.data_.size() : b.data_.size();
    const int c = n ? std::memcmp(a.data_.data(), b.data_.data(), n) : 0;
    if (c != 0) return c < 0 ? std::strong_ordering::less : std::strong_ordering::greater;
    return a.data_.size() <=> b.data_.size();
}

int AnsiString::CompareIC(const AnsiString& other) const {
    const std::size_t n = data_.size() < other.data_.size() ? data_.size() : other.data_.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(AsciiLower(data_[i]));
        const auto y = static_cast<unsigned char>(AsciiLower(other.data_[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (data_.size() == other.data_.size()) return 0;
    return data_.size() < other.data_.size() ? -1 : 1;
}

std::ostream& operator<<(std::ostream& out, const AnsiString& text) {
    return out << text.str();
}

AnsiString IntToStr(long long value) {
    return AnsiString(value);
}

int StrToInt(const AnsiString& text) {
    return text.ToInt();
}

int StrToIntDef(const AnsiString& text, int fallback) {
    return text.ToIntDef(fallback);
}

std::size_t AnsiStringHashIC::operator()(const AnsiString& s) const noexcept {
    // FNV-1a over the lower-cased bytes, so that keys equal by CompareIC hash alike.
    std::size_t hash = 14695981039346656037ull;
    for (char c : s.view()) {
        hash ^= static_cast<unsigned char>(AsciiLower(c));
        hash *= 1099511628211ull;
    }
    return hash;
}
