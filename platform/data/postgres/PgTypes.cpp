#include "platform/data/postgres/PgTypes.h"

#include "platform/core/Encoding.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace dbengine::pg {

namespace {

// The server's type numbers (pg_type.oid), fixed since long ago.
enum : unsigned {
    kBool = 16,
    kBytea = 17,
    kName = 19,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kText = 25,
    kOid = 26,
    kFloat4 = 700,
    kFloat8 = 701,
    kUnknown = 705,
    kBpchar = 1042,
    kVarchar = 1043,
    kDate = 1082,
    kTime = 1083,
    kTimestamp = 1114,
    kTimestampTz = 1184,
    kTimeTz = 1266,
    kNumeric = 1700,
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// An exact number as SQLite would store it: a whole number as an integer,
// up to 15 digits as a real (exact through its shortest form), else text.
DbValue ExactValue(const char* text, int length) {
    const std::string s(text, static_cast<std::size_t>(length));
    int digits = 0;
    bool fraction = false, whole = true, plain = true;
    for (char c : s) {
        if (c >= '0' && c <= '9') {
            digits += (digits > 0 || c != '0') ? 1 : 0;
            if (fraction && c != '0') whole = false;
        } else if (c == '.') {
            fraction = true;
        } else if (c != '-' && c != '+') {
            plain = false; // NaN, exponents
        }
    }
    if (plain && whole) {
        // Beyond 64 bits the range error leaves it to the forms below.
        errno = 0;
        const long long v = std::strtoll(s.c_str(), nullptr, 10);
        if (errno == 0) return std::int64_t{v};
    }
    if (!plain || digits <= 15) return std::strtod(s.c_str(), nullptr);
    return s;
}

} // namespace

ValueKind KindOfType(unsigned typeOid) {
    switch (typeOid) {
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
        return ValueKind::Integer;
    case kFloat4:
    case kFloat8:
        return ValueKind::Real;
    case kNumeric:
        return ValueKind::Exact;
    case kBool:
        return ValueKind::Boolean;
    case kBytea:
        return ValueKind::Bytes;
    case kTimestampTz:
    case kTimeTz:
        return ValueKind::ZonedTime;
    default:
        return ValueKind::Text;
    }
}

char FamilyOfType(unsigned typeOid) {
    switch (typeOid) {
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
    case kBool:
        return 'i';
    case kFloat4:
    case kFloat8:
        return 'f';
    case kNumeric:
        return 'n';
    case kText:
    case kVarchar:
    case kBpchar:
    case kName:
    case kUnknown:
        return 't';
    case kDate:
        return 'd';
    case kTimestamp:
    case kTimestampTz:
        return 's';
    case kTime:
    case kTimeTz:
        return 'h';
    case kBytea:
        return 'b';
    default:
        return '?';
    }
}

std::string DeclTypeOfType(unsigned typeOid, int typeModifier, bool computed) {
    switch (typeOid) {
    case kInt2:
        return computed ? "INTEGER" : "SMALLINT";
    case kInt4:
    case kOid:
        return "INTEGER";
    case kInt8:
        return computed ? "INTEGER" : "BIGINT";
    case kBool:
        return computed ? "INTEGER" : "BOOLEAN";
    case kFloat4:
    case kFloat8:
        return "DOUBLE";
    case kNumeric:
        if (typeModifier >= 4) {
            const int precision = ((typeModifier - 4) >> 16) & 0xFFFF;
            const int scale = (typeModifier - 4) & 0xFFFF;
            return "NUMERIC(" + std::to_string(precision) + "," + std::to_string(scale) + ")";
        }
        return "NUMERIC";
    case kVarchar:
        if (typeModifier >= 4) return "VARCHAR(" + std::to_string(typeModifier - 4) + ")";
        return computed ? "VARCHAR" : "TEXT";
    case kBpchar:
        if (typeModifier >= 4) return "CHAR(" + std::to_string(typeModifier - 4) + ")";
        return "VARCHAR";
    case kName:
        return "VARCHAR(63)";
    case kText:
        return computed ? "VARCHAR" : "TEXT";
    case kDate:
        return "DATE";
    case kTimestamp:
    case kTimestampTz:
        return "DATETIME";
    case kTime:
    case kTimeTz:
        return "TIME";
    case kBytea:
        return "BLOB";
    default:
        return computed ? "VARCHAR" : "TEXT";
    }
}

DbValue ValueFromText(ValueKind kind, const char* text, int length) {
    switch (kind) {
    case ValueKind::Integer:
        return std::int64_t{std::strtoll(text, nullptr, 10)};
    case ValueKind::Real:
        return std::strtod(text, nullptr);
    case ValueKind::Exact:
        return ExactValue(text, length);
    case ValueKind::Boolean:
        return std::int64_t{length > 0 && text[0] == 't' ? 1 : 0};
    case ValueKind::Bytes: {
        // "\x" and two hex digits a byte.
        std::string bytes;
        if (length >= 2 && text[0] == '\\' && text[1] == 'x') {
            bytes.reserve(static_cast<std::size_t>(length - 2) / 2);
            for (int i = 2; i + 1 < length; i += 2) {
                const int hi = HexDigit(text[i]), lo = HexDigit(text[i + 1]);
                if (hi < 0 || lo < 0) break;
                bytes += static_cast<char>(hi * 16 + lo);
            }
        }
        return bytes;
    }
    case ValueKind::ZonedTime: {
        // The session's own time: the zone's offset after the time goes.
        std::string s(text, static_cast<std::size_t>(length));
        const std::size_t zone =
            s.find_first_of("+-", s.find(':') == std::string::npos ? 0 : s.find(':'));
        if (zone != std::string::npos) s.erase(zone);
        return s;
    }
    case ValueKind::Text:
        break;
    }
    const std::string_view utf8(text, static_cast<std::size_t>(length));
    // Plain ASCII reads the same in both encodings.
    for (char c : utf8)
        if (static_cast<unsigned char>(c) >= 0x80) return Utf8ToCp1252(utf8);
    return std::string(utf8);
}

bool ValueToText(const DbValue& value, std::string& text) {
    switch (value.index()) {
    case 1:
        text = std::to_string(std::get<std::int64_t>(value));
        return true;
    case 2: {
        const double d = std::get<double>(value);
        if (std::isnan(d)) {
            text = "NaN";
        } else if (std::isinf(d)) {
            text = d > 0 ? "Infinity" : "-Infinity";
        } else {
            // The shortest form that reads back the same value.
            char buffer[32];
            for (int precision = 1; precision <= 17; ++precision) {
                std::snprintf(buffer, sizeof buffer, "%.*g", precision, d);
                if (std::strtod(buffer, nullptr) == d) break;
            }
            text = buffer;
        }
        return true;
    }
    case 3:
        text = Cp1252ToUtf8(std::get<std::string>(value));
        return true;
    default:
        return false;
    }
}

} // namespace dbengine::pg
