#include "platform/data/SqlLiterals.h"

#include <cctype>
#include <cstdlib>

namespace dbengine {

namespace {

bool IsWordStart(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalpha(u) || c == '_' || u >= 0x80;
}

bool IsWordChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || c == '$' || u >= 0x80;
}

// word is upper case.
bool KeywordIs(const std::string& sql, std::size_t begin, std::size_t end, const char* word) {
    if (std::char_traits<char>::length(word) != end - begin) return false;
    for (std::size_t i = begin; i < end; ++i, ++word)
        if ((sql[i] & ~0x20) != *word) return false;
    return true;
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

bool Lift(const std::string& sql, LiftedStatement& out) {
    const std::size_t n = sql.size();
    std::size_t i = 0;
    int depth = 0;
    bool first = true;    // no word seen yet
    bool inWhere = false; // in the top-level WHERE clause
    bool done = false;    // past it: copy the rest as written
    Previous previous = Previous::Other;
    std::string shape;
    shape.reserve(n);
    while (i < n) {
        const char c = sql[i];
        const char next = i + 1 < n ? sql[i + 1] : '\0';
        // Blanks and comments do not separate an operator from its operand.
        if (std::isspace(static_cast<unsigned char>(c))) {
            shape += c;
            ++i;
            continue;
        }
        if (c == '-' && next == '-') {
            std::size_t end = sql.find('\n', i);
            end = end == std::string::npos ? n : end;
            shape.append(sql, i, end - i);
            i = end;
            continue;
        }
        if (c == '/' && next == '*') {
            std::size_t end = sql.find("*/", i + 2);
            end = end == std::string::npos ? n : end + 2;
            shape.append(sql, i, end - i);
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
                shape += '?';
            } else {
                shape.append(sql, i, end - i);
            }
            i = end;
            continue;
        }
        if (c == '"' || c == '`' || c == '[') {
            const std::size_t end = QuotedEnd(sql, i, c == '[' ? ']' : c);
            if (end == std::string::npos) return false;
            shape.append(sql, i, end - i);
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
                    static const char* const kEnd[] = {"GROUP", "ORDER",  "LIMIT",     "WINDOW",
                                                       "UNION", "EXCEPT", "INTERSECT", "HAVING"};
                    for (const char* word : kEnd)
                        done = done || KeywordIs(sql, i, end, word);
                }
            }
            shape.append(sql, i, end - i);
            i = end;
            continue;
        }
        const bool negative = c == '-' && std::isdigit(static_cast<unsigned char>(next));
        if (std::isdigit(static_cast<unsigned char>(c)) || (negative && lift)) {
            std::size_t end = negative ? i + 1 : i;
            while (end < n && (IsWordChar(sql[end]) || sql[end] == '.'))
                ++end;
            bool integer = true;
            for (std::size_t k = negative ? i + 1 : i; k < end; ++k)
                integer = integer && std::isdigit(static_cast<unsigned char>(sql[k]));
            // Up to 18 digits always fit a 64-bit integer, as the engine reads it.
            if (lift && integer && end - i - (negative ? 1 : 0) <= 18) {
                out.Values.emplace_back(std::int64_t{std::strtoll(sql.c_str() + i, nullptr, 10)});
                shape += '?';
            } else {
                shape.append(sql, i, end - i);
            }
            i = end;
            continue;
        }
        // Parameters already marked: the caller binds them by position.
        if (c == '?' || c == ':' || c == '@' || c == '$' || c == '#') return false;
        if (c == ';') {
            shape.append(sql, i, n - i);
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
        shape.append(sql, i, length);
        i += length;
    }
    if (out.Values.empty()) return false;
    out.Shape = std::move(shape);
    return true;
}

} // namespace

bool LiftLiterals(const std::string& sql, LiftedStatement& out) {
    out.Shape.clear();
    out.Values.clear();
    if (Lift(sql, out)) return true;
    out.Shape.clear();
    out.Values.clear();
    return false;
}

} // namespace dbengine
