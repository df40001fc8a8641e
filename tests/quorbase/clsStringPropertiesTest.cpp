// Randomised checks with a fixed seed: thousands of generated inputs per rule.
#include "quorbase/clsCollection.h"
#include "quorbase/clsConfig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace quorbase;

namespace {

class Gen {
public:
    explicit Gen(unsigned seed) : rng_(seed) {}
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool Chance(int percent) { return Int(1, 100) <= percent; }
    // Bytes 1..255, often the ones the operations treat specially.
    char Byte() {
        static const char special[] = ";'= {}\t,.-+0123456789";
        if (Chance(50)) return special[Int(0, sizeof special - 2)];
        return static_cast<char>(Int(1, 255));
    }
    std::string Text(int maxLength) {
        std::string s(static_cast<std::size_t>(Int(0, maxLength)), ' ');
        for (char& c : s)
            c = Byte();
        return s;
    }
    // Counts and positions, huge and negative ones included.
    int Count(int length) {
        const int pick[] = {INT_MIN, -1000000, -2, -1, 0, 1, INT_MAX - 1, INT_MAX};
        return Chance(40) ? pick[Int(0, 7)] : Int(0, length + 2);
    }

private:
    std::mt19937 rng_;
};

std::string Str(const clsString& s) {
    return s.CStr() ? std::string(s.CStr(), s.Length()) : "";
}

void ExpectSound(const clsString& s) {
    ASSERT_LE(s.Length(), s.Capacity());
    if (s.CStr()) {
        ASSERT_EQ(s.CStr()[s.Length()], 0);
    }
}

std::vector<std::string> TokenWalk(const std::string& text, char sep) {
    std::vector<std::string> pieces;
    const clsString s(text.c_str());
    int previous = -1;
    for (int pos = 0; pos >= 0;) {
        pieces.push_back(Str(s.Token(sep, pos)));
        if (pos >= 0) {
            EXPECT_GT(pos, previous);
            previous = pos;
        }
    }
    return pieces;
}

std::string JoinStd(const std::vector<std::string>& pieces, char sep) {
    std::string out;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        out += (i ? std::string(1, sep) : "") + pieces[i];
    return out;
}

std::vector<std::string> Values(const clsStrings& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.GetCount(); ++i)
        out.push_back(list.GetValue(i) ? Str(*list.GetValue(i)) : "<null>");
    return out;
}

} // namespace

TEST(Properties, TokenWalkAndSplitCutTheSamePieces) {
    Gen gen(20261209);
    for (int round = 0; round < 4000; ++round) {
        const std::string text = gen.Text(gen.Chance(10) ? 200 : 24);
        const char sep = gen.Chance(5) ? '\0' : gen.Chance(70) ? ';' : gen.Byte();
        const std::vector<std::string> pieces = TokenWalk(text, sep);
        if (sep == 0) {
            ASSERT_EQ(pieces, std::vector<std::string>{text});
            continue;
        }
        const bool trailing = !text.empty() && text.back() == sep;
        ASSERT_EQ(JoinStd(pieces, sep) + (trailing ? std::string(1, sep) : ""), text);
        for (const std::string& piece : pieces)
            ASSERT_EQ(piece.find(sep), std::string::npos);

        clsStrings list;
        list.Split(text.c_str(), sep, 0);
        if (text.empty()) {
            ASSERT_EQ(list.GetCount(), 0);
        } else {
            ASSERT_EQ(Values(list), pieces) << text;
        }

        list.Split(text.c_str(), sep, 0, true);
        std::vector<std::string> trimmed = pieces;
        for (std::string& piece : trimmed) {
            piece.erase(0, piece.find_first_not_of(' '));
            piece.erase(piece.find_last_not_of(' ') + 1);
        }
        if (!text.empty()) {
            ASSERT_EQ(Values(list), trimmed) << text;
        }

        list.Split(text.c_str(), sep, 2);
        ASSERT_EQ(list.GetCount(), text.empty() ? 0 : static_cast<int>(pieces.size()));
        for (int i = 0; i < list.GetCount(); ++i) {
            const std::string key = Str(list.GetKey(i));
            const std::string& piece = pieces[i];
            const bool hasEquals = piece.find('=') != std::string::npos;
            ASSERT_EQ(key + (hasEquals ? "=" + Values(list)[i] : ""), piece);
        }

        // Quote-aware splitting never cuts inside apostrophes.
        if (sep != '\'') {
            list.Split(text.c_str(), sep, 0, false, true);
            const std::vector<std::string> values = Values(list);
            const std::string joined = JoinStd(values, sep);
            ASSERT_TRUE(joined == text || joined + sep == text) << text;
            for (std::size_t i = 0; i + 1 < values.size(); ++i) {
                const auto quotes = std::count(values[i].begin(), values[i].end(), '\'');
                ASSERT_EQ(quotes % 2, 0) << values[i];
            }
        }
    }
}

TEST(Properties, ToDoubleReadsGroupedNumbers) {
    Gen gen(7);
    for (int round = 0; round < 5000; ++round) {
        std::string text;
        const int sign = gen.Int(0, 2);
        text += sign == 1 ? "-" : sign == 2 ? "+" : "";
        const char group = gen.Chance(50) ? '.' : ',';
        const char decimal = group == '.' ? ',' : '.';
        const int groups = gen.Int(1, 4);
        for (int g = 0; g < groups; ++g) {
            if (g > 0) text += group;
            for (int d = gen.Int(g == 0 ? 1 : 3, 3); d > 0; --d)
                text += static_cast<char>('0' + gen.Int(0, 9));
        }
        if (gen.Chance(60)) {
            text += decimal;
            for (int d = gen.Int(0, 4); d > 0; --d)
                text += static_cast<char>('0' + gen.Int(0, 9));
        }
        // The last mark is the decimal point, whichever it is.
        std::string digits;
        int decimals = -1;
        for (char c : text) {
            if (c >= '0' && c <= '9') {
                digits += c;
                if (decimals >= 0) ++decimals;
            } else if (c == ',' || c == '.') {
                decimals = 0;
            }
        }
        double expected = std::stod(digits) / std::pow(10.0, decimals > 0 ? decimals : 0);
        if (sign == 1) expected = -expected;
        if (text.size() < 3) continue;
        const std::string withTail = text + (gen.Chance(30) ? "x9,5" : "");
        const double got = clsString(withTail.c_str()).ToDouble(-12345);
        ASSERT_NEAR(got, expected, 1e-9 * (1 + std::fabs(expected))) << withTail;
        ASSERT_EQ(clsString((" " + text).c_str()).ToDouble(-1), 0);
    }
    // Every short text made of digits, signs and points reads as the number it spells.
    const std::string alphabet = "0123456789+-.";
    for (char c : alphabet) {
        for (char d : alphabet) {
            const std::string two{c, d};
            char* end = nullptr;
            const double spelled = std::strtod(two.c_str(), &end);
            if (end != two.c_str() + 2) continue;
            ASSERT_DOUBLE_EQ(clsString(two.c_str()).ToDouble(), spelled) << two;
        }
    }
    for (int round = 0; round < 3000; ++round) {
        const std::string text = gen.Text(12);
        ASSERT_TRUE(std::isfinite(clsString(text.c_str()).ToDouble(0))) << text;
    }
}

TEST(Properties, QuoteDoublesAndRoundTrips) {
    Gen gen(99);
    for (int round = 0; round < 4000; ++round) {
        const std::string text = gen.Text(gen.Chance(5) ? 300 : 20);
        const char q = gen.Chance(60) ? '\'' : static_cast<char>(gen.Int(1, 255));
        const clsString quoted = clsString(text.c_str()).Quote(q);
        ExpectSound(quoted);
        const std::string out = Str(quoted);
        ASSERT_EQ(quoted.Capacity(), 2 * static_cast<int>(text.size()) + 2);
        ASSERT_EQ(out.size(), text.size() + std::count(text.begin(), text.end(), q) + 2);
        ASSERT_TRUE(out.front() == q && out.back() == q);
        std::string back;
        for (std::size_t i = 1; i + 1 < out.size(); ++i) {
            if (out[i] == q) {
                ASSERT_EQ(out[i + 1], q) << "lone quote inside";
                ++i;
            }
            back += out[i];
        }
        ASSERT_EQ(back, text);
    }
}

TEST(Properties, ExtractBlockStopsAtTheMatchingClose) {
    Gen gen(4242);
    const char* pool[] = {"{", "}", "x", " {", "{ ", "}}", "y=1"};
    for (int round = 0; round < 3000; ++round) {
        clsConfig config;
        std::vector<std::string> lines;
        for (int n = gen.Int(0, 30); n > 0; --n) {
            lines.push_back(pool[gen.Int(0, 6)]);
            Add(config, lines.back().c_str());
        }
        const int count = static_cast<int>(lines.size());
        for (int start = -2; start <= count + 1; ++start) {
            std::unique_ptr<clsConfig> block(config.ExtractBlock(start));
            const int n = block->GetCount();
            if (start < 0 || start >= count) {
                ASSERT_EQ(n, 0);
                continue;
            }
            ASSERT_GE(n, 1);
            ASSERT_LE(start + n, count);
            int depth = 0;
            for (int i = 0; i < n; ++i) {
                ASSERT_EQ(Str(*block->GetItem(i)), lines[start + i]);
                depth += lines[start + i] == "{" ? 1 : lines[start + i] == "}" ? -1 : 0;
                if (i + 1 < n) {
                    ASSERT_NE(depth, 0) << "block runs past its close";
                }
            }
            ASSERT_TRUE(depth == 0 || start + n == count);
        }
        // Readers step over whole blocks and land exactly on the end.
        int at = 0;
        while (at < count) {
            std::unique_ptr<clsConfig> block(config.ExtractBlock(at));
            at += block->GetCount();
        }
        ASSERT_EQ(at, count);
    }
}

TEST(Properties, OutOfRangeArgumentsStayInsideTheBuffer) {
    Gen gen(31337);
    for (int round = 0; round < 5000; ++round) {
        const std::string text = gen.Text(30);
        clsString s(text.c_str());
        const int length = static_cast<int>(text.size());
        const int a = gen.Count(length);
        const int b = gen.Count(length);

        const std::string mid = Str(s.Mid(a, b));
        const std::string expected =
            a < 0 || a >= length ? "" : text.substr(a, b < 0 ? std::string::npos : b);
        ASSERT_EQ(mid, expected);
        ASSERT_EQ(std::string(s.CharAt(a)), a >= 0 && a <= length ? text.substr(a) : "");

        int pos = a;
        const clsString piece = s.Token(';', pos);
        ExpectSound(piece);
        if (a < 0) {
            ASSERT_EQ(pos, a);
        } else {
            ASSERT_TRUE(pos == -1 || (pos > a && pos < length));
        }

        switch (gen.Int(0, 4)) {
        case 0:
            s.DeleteFirst(a);
            ASSERT_EQ(Str(s), a < 0 || a >= length ? "" : text.substr(a));
            break;
        case 1:
            s.SetChar(a, 'Z');
            ASSERT_EQ(s.Length(), length);
            break;
        case 2:
            s.Append(text.c_str(), a < 0 ? a : std::min(a, length));
            break;
        case 3:
            s.Fill('f', a < 0 ? a : std::min(a, 64));
            ASSERT_EQ(s.Length(), a < 0 ? 0 : std::min(a, 64));
            break;
        default:
            s.Trim(text.empty() ? ' ' : text[0]);
            break;
        }
        ExpectSound(s);
    }
}
