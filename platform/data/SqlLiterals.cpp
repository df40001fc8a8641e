#include "platform/data/SqlLiterals.h"

#include <cctype>
#include <cstdlib>

namespace dbengine {

namespace {

// ASCII classes by hand: the locale's functions cost a call per character.
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsWordStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool IsWordChar(char c) {
    return IsWordStart(c) || IsDigit(c) || c == '$';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// word is upper case and length long.
bool KeywordIs(const std::string& sql, std::size_t begin, std::size_t end, const char* word,
               std::size_t length) {
    if (length != end - begin) return false;
    for (std::size_t i = begin; i < end; ++i, ++word)
        if ((sql[i] & ~0x20) != *word) return false;
    return true;
}

template <std::size_t N>
bool KeywordIs(const std::string& sql, std::size_t begin, std::size_t end, const char (&word)[N]) {
    return KeywordIs(sql, begin, end, word, N - 1);
}

// A clause that ends a WHERE, or a compound operator.
bool EndsWhere(const std::string& sql, std::size_t begin, std::size_t end) {
    switch (end - begin) {
    case 5:
        return KeywordIs(sql, begin, end, "GROUP") || KeywordIs(sql, begin, end, "ORDER") ||
               KeywordIs(sql, begin, end, "LIMIT") || KeywordIs(sql, begin, end, "UNION");
    case 6:
        return KeywordIs(sql, begin, end, "WINDOW") || KeywordIs(sql, begin, end, "EXCEPT") ||
               KeywordIs(sql, begin, end, "HAVING");
    case 9:
        return KeywordIs(sql, begin, end, "INTERSECT");
    default:
        return false;
    }
}

// The end of the quoted run that starts at begin with quote (a doubled quote
// stays inside); npos when it is not closed.
std::size_t QuotedEnd(const std::string& sql, std::size_t begin, char close) {
    for (std::size_t i = begin + 1; i < sql.size(); ++i) {
        if (sql[i] != close) continue;
        if (close != ']' && i + 1 < sql.size() && sql[i + 1] == close) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return std::string::npos;
}

enum class Previous { Other, Comparison };

} // namespace

namespace {

// Where a lifted constant stood in the text.
struct Place {
    std::size_t Begin, End;
};

bool Lift(const std::string& sql, LiftedStatement& out, std::vector<Place>* places) {
    const std::size_t n = sql.size();
    std::size_t i = 0;
    int depth = 0;
    bool first = true;    // no word seen yet
    bool inWhere = false; // in the top-level WHERE clause
    bool done = false;    // past it: copy the rest as written
    Previous previous = Previous::Other;
    // The text is copied in runs, up to each constant lifted.
    std::string shape;
    std::size_t copied = 0;
    const auto Mark = [&](std::size_t begin, std::size_t end) {
        if (places) places->push_back({begin, end});
        shape.append(sql, copied, begin - copied);
        shape += '?';
        copied = end;
    };
    while (i < n) {
        const char c = sql[i];
        const char next = i + 1 < n ? sql[i + 1] : '\0';
        // Blanks and comments do not separate an operator from its operand.
        if (IsBlank(c)) {
            ++i;
            continue;
        }
        if (c == '-' && next == '-') {
            std::size_t end = sql.find('\n', i);
            end = end == std::string::npos ? n : end;
            i = end;
            continue;
        }
        if (c == '/' && next == '*') {
            std::size_t end = sql.find("*/", i + 2);
            end = end == std::string::npos ? n : end + 2;
            i = end;
            continue;
        }
        const bool lift = inWhere && !done && depth == 0 && previous == Previous::Comparison;
        previous = Previous::Other;
        if (c == '\'') {
            const std::size_t end = QuotedEnd(sql, i, '\'');
            if (end == std::string::npos) return false;
            if (lift) {
                std::string text;
                for (std::size_t k = i + 1; k + 1 < end; ++k) {
                    text += sql[k];
                    if (sql[k] == '\'') ++k;
                }
                out.Values.emplace_back(std::move(text));
                Mark(i, end);
            }
            i = end;
            continue;
        }
        if (c == '"' || c == '`' || c == '[') {
            const std::size_t end = QuotedEnd(sql, i, c == '[' ? ']' : c);
            if (end == std::string::npos) return false;
            i = end;
            first = false;
            continue;
        }
        if (IsWordStart(c)) {
            std::size_t end = i;
            while (end < n && IsWordChar(sql[end]))
                ++end;
            if (first && !KeywordIs(sql, i, end, "SELECT")) return false;
            first = false;
            if (depth == 0 && !done) {
                if (KeywordIs(sql, i, end, "WHERE")) {
                    inWhere = true;
                } else {
                    // A clause after WHERE ends it; so does a compound operator
                    // before it, whose own SELECT names no columns of the result.
                    done = EndsWhere(sql, i, end);
                }
            }
            i = end;
            continue;
        }
        const bool negative = c == '-' && IsDigit(next);
        if (IsDigit(c) || (negative && lift)) {
            std::size_t end = negative ? i + 1 : i;
            while (end < n && (IsWordChar(sql[end]) || sql[end] == '.'))
                ++end;
            bool integer = true;
            for (std::size_t k = negative ? i + 1 : i; k < end; ++k)
                integer = integer && IsDigit(sql[k]);
            // Up to 18 digits always fit a 64-bit integer, as the engine reads it.
            if (lift && integer && end - i - (negative ? 1 : 0) <= 18) {
                out.Values.emplace_back(std::int64_t{std::strtoll(sql.c_str() + i, nullptr, 10)});
                Mark(i, end);
            }
            i = end;
            continue;
        }
        // Parameters already marked: the caller binds them by position.
        if (c == '?' || c == ':' || c == '@' || c == '$' || c == '#') return false;
        if (c == ';') {
            break;
        }
        if (c == '(') ++depth;
        if (c == ')') --depth;
        std::size_t length = 1;
        if ((c == '<' && (next == '=' || next == '>' || next == '<')) ||
            (c == '>' && (next == '=' || next == '>')) || (c == '=' && next == '=') ||
            (c == '!' && next == '=') || (c == '|' && next == '|') || (c == '-' && next == '>'))
            length = 2;
        if (c == '-' && next == '>' && i + 2 < n && sql[i + 2] == '>') length = 3;
        const bool comparison = length == 1
                                    ? c == '=' || c == '<' || c == '>'
                                    : (c == '=' && next == '=') || (c == '<' && next == '>') ||
                                          (c == '!' && next == '=') || (c == '<' && next == '=') ||
                                          (c == '>' && next == '=');
        if (comparison) previous = Previous::Comparison;
        i += length;
    }
    if (out.Values.empty()) return false;
    shape.append(sql, copied, n - copied);
    out.Shape = std::move(shape);
    return true;
}

} // namespace

bool LiftLiterals(const std::string& sql, LiftedStatement& out) {
    out.Shape.clear();
    out.Values.clear();
    if (Lift(sql, out, nullptr)) return true;
    out.Shape.clear();
    out.Values.clear();
    return false;
}

// The reading of the text up to a constant depends only on the text before
// it, and the reading after it only on the text after it and the kind of
// constant: so when sql has the same text as sql_ around each constant, and
// unsigned integers where sql_ has them, it lifts into the same shape.
bool LiteralLifter::Relift(const std::string& sql, std::vector<DbValue>& values) {
    const std::size_t n = sql.size();
    next_.clear();
    std::size_t at = 0, pos = 0;
    for (const Span& span : spans_) {
        const std::size_t same = span.Begin - at;
        if (n - pos < same || sql.compare(pos, same, sql_, at, same) != 0) return false;
        pos += same;
        const std::size_t begin = pos;
        std::int64_t value = 0;
        while (pos < n && IsDigit(sql[pos]))
            value = value * 10 + (sql[pos++] - '0');
        // As Lift reads a number: the whole run of word characters and dots.
        if (pos == begin || pos - begin > 18 || (pos < n && (IsWordChar(sql[pos]) || sql[pos] == '.')))
            return false;
        values.emplace_back(value);
        next_.push_back({begin, pos});
        at = span.End;
    }
    if (n - pos != sql_.size() - at || sql.compare(pos, n - pos, sql_, at, n - pos) != 0)
        return false;
    spans_.swap(next_);
    return true;
}

bool LiteralLifter::Lift(const std::string& sql, LiftedStatement& out, bool& sameShape) {
    out.Shape.clear();
    out.Values.clear();
    sameShape = false;
    if (kept_) {
        if (Relift(sql, out.Values)) {
            sql_ = sql;
            sameShape = true;
            return true;
        }
        out.Values.clear();
    }
    std::vector<Place> places;
    kept_ = false;
    if (!dbengine::Lift(sql, out, &places)) {
        out.Shape.clear();
        out.Values.clear();
        return false;
    }
    // Kept only when every constant is an unsigned integer, as Relift reads them.
    kept_ = true;
    for (const Place& place : places)
        kept_ = kept_ && IsDigit(sql[place.Begin]);
    if (kept_) {
        sql_ = sql;
        shape_ = out.Shape;
        spans_.clear();
        for (const Place& place : places)
            spans_.push_back({place.Begin, place.End});
    }
    return true;
}

} // namespace dbengine
