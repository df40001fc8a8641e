#include "quorbase/clsString.h"

#include <cstdio>

namespace quorbase {

namespace {

// Character codes are those of the code page, never negative.
int Code(char c) noexcept {
    return static_cast<unsigned char>(c);
}

} // namespace

clsString::clsString(int value) noexcept {
    SetInt(value);
}

void clsString::SetInt(int value) noexcept {
    char digits[16];
    const int n = std::snprintf(digits, sizeof digits, "%d", value);
    Assign(digits, n > 0 ? n : 0);
}

double clsString::ToDouble(double fallback) const noexcept {
    const int length = Length();
    if (length == 0) return fallback;
    const int zero = '0';
    if (length == 1) return Code(buffer_[0]) - zero;
    if (length == 2) {
        // Two characters are read without checking that they are digits.
        const char c = buffer_[0];
        const int d = Code(buffer_[1]) - zero;
        if (c == '+') return d;
        if (c == '-') return -d;
        if (c == '.') return d * 0.1;
        if (buffer_[1] == '.') return Code(c) - zero;
        return (Code(c) - zero) * 10.0 + d;
    }
    double value = 0;
    double scale = 0;
    bool negative = false;
    for (const char* p = buffer_; *p; ++p) {
        if (scale != 0) scale *= 10;
        const char c = *p;
        if (c >= '0' && c <= '9') {
            value = value * 10 + (c - '0');
        } else if (c == '+') {
            negative = false;
        } else if (c == '-') {
            negative = true;
        } else if (c == ',' || c == '.') {
            // The last mark wins, so both 1.234,5 and 1,234.5 read 1234.5.
            scale = 1;
        } else {
            scale *= 0.1;
            break;
        }
    }
    if (scale > 1) value /= scale;
    return negative ? -value : value;
}

} // namespace quorbase
