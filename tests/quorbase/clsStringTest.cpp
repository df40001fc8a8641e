#include "quorbase/clsString.h"

#include <gtest/gtest.h>

#include <string>

using quorbase::clsString;
using quorbase::StrCmpI;

namespace {

std::string Text(const clsString& s) {
    return s.CStr() ? std::string(s.CStr(), s.Length()) : "";
}

} // namespace

TEST(clsString, ConstructionFormsAndBuffers) {
    clsString none;
    EXPECT_EQ(none.Length(), 0);
    EXPECT_EQ(none.CStr(), nullptr);
    none = "";
    EXPECT_EQ(none.CStr(), nullptr);
    EXPECT_EQ(clsString(static_cast<const char*>(nullptr)).CStr(), nullptr);
    EXPECT_EQ(clsString(static_cast<const clsString*>(nullptr)).CStr(), nullptr);
    EXPECT_EQ(clsString('\0').CStr(), nullptr);
    EXPECT_EQ(Text(clsString('x')), "x");
    EXPECT_EQ(Text(clsString(-2147483647 - 1)), "-2147483648");
    EXPECT_EQ(Text(clsString(0)), "0");
    EXPECT_EQ(Text(clsString("abcdef", 3)), "abc");
    EXPECT_EQ(Text(clsString("abc", -1)), "abc");

    clsString abc("abc");
    EXPECT_EQ(abc.Capacity(), 4);
    clsString copy(abc);
    EXPECT_NE(copy.CStr(), abc.CStr());
    EXPECT_EQ(Text(clsString(&abc)), "abc");
    clsString moved(std::move(copy));
    EXPECT_EQ(Text(moved), "abc");
    EXPECT_EQ(copy.CStr(), nullptr);

    // Sized once for the whole text; even two empty parts get a buffer.
    clsString joined("xy", abc);
    EXPECT_EQ(Text(joined), "xyabc");
    EXPECT_EQ(joined.Capacity(), 6);
    clsString bothEmpty(static_cast<const char*>(nullptr), clsString());
    EXPECT_NE(bothEmpty.CStr(), nullptr);
    EXPECT_EQ(bothEmpty.Length(), 0);
}

TEST(clsString, CapacityGrowsExactlyAndNeverShrinks) {
    clsString s;
    EXPECT_TRUE(s.Reserve(10, false));
    EXPECT_EQ(s.Capacity(), 10);
    s = "abc";
    EXPECT_EQ(s.Capacity(), 10);
    s = "01234567890123456789";
    EXPECT_EQ(s.Capacity(), 21);

    clsString t("abc");
    t.Append("de");
    EXPECT_EQ(Text(t), "abcde");
    EXPECT_EQ(t.Capacity(), 5);
    EXPECT_TRUE(t.Reserve(8, true));
    EXPECT_EQ(Text(t), "abcde");
    EXPECT_TRUE(t.Reserve(3, false));
    EXPECT_EQ(t.Length(), 0);
    EXPECT_EQ(t.Capacity(), 8);
    EXPECT_FALSE(clsString().Reserve(-1, false));

    t = "kept";
    t.MakeEmpty(false);
    EXPECT_NE(t.CStr(), nullptr);
    EXPECT_EQ(t.Capacity(), 8);
    t.MakeEmpty(true);
    EXPECT_EQ(t.CStr(), nullptr);
    EXPECT_EQ(t.Capacity(), 0);
}

TEST(clsString, AppendAndConcatenation) {
    clsString s;
    s.Append(static_cast<const char*>(nullptr));
    EXPECT_EQ(s.CStr(), nullptr);
    s.Append("abc", -1); // on an empty string this is an assignment
    EXPECT_EQ(Text(s), "abc");
    s.Append("xyz", -1).Append(nullptr, 2).Append("xyz", 0);
    EXPECT_EQ(Text(s), "abc");
    s.Append("xyz", 2);
    EXPECT_EQ(Text(s), "abcxy");
    s.Append(s).Append(s.CStr() + 1, 2); // pieces of itself survive growth
    EXPECT_EQ(Text(s), "abcxyabcxybc");
    s = s.CStr() + 3;
    EXPECT_EQ(Text(s), "xyabcxybc");
    const clsString& same = s;
    s = same;
    EXPECT_EQ(Text(s), "xyabcxybc");

    const clsString a("a");
    EXPECT_EQ(Text(a + "b"), "ab");
    EXPECT_EQ(Text("b" + a), "ba");
    EXPECT_EQ(Text(a + a + clsString()), "aa");
}

TEST(clsString, ComparisonIgnoresAsciiCaseOnly) {
    EXPECT_EQ(clsString("ABC").Compare("abc"), 0);
    EXPECT_TRUE(clsString("ABC").Equals(clsString("aBc")));
    EXPECT_LT(clsString().Compare("a"), 0);
    EXPECT_GT(clsString("a").Compare(""), 0);
    EXPECT_GT(clsString("a").Compare(clsString()), 0);
    EXPECT_EQ(clsString().Compare(clsString()), 0);
    EXPECT_EQ(clsString().Compare(""), 0);
    EXPECT_GT(clsString().Compare(static_cast<const char*>(nullptr)), 0);
    EXPECT_LT(clsString("abc").Compare("abd"), 0);
    EXPECT_LT(clsString("ab").Compare("abc"), 0);
    EXPECT_NE(clsString("\xE8").Compare("\xC8"), 0); // only a..z fold
    EXPECT_GT(clsString("\xE8").Compare("z"), 0);    // bytes compare unsigned

    const clsString s("keyVALUE");
    EXPECT_EQ(s.CompareAt(3, "value"), 0);
    EXPECT_EQ(s.CompareAt(-1, "keyvalue"), 1);
    EXPECT_EQ(s.CompareAt(8, ""), 0);
    EXPECT_EQ(s.CompareAt(20, "x"), -1);

    EXPECT_EQ(StrCmpI("abc", "ABD", 2), 0);
    EXPECT_LT(StrCmpI("abc", "ABD", 3), 0);
    EXPECT_EQ(StrCmpI("x", "y", 0), 0);
    EXPECT_EQ(StrCmpI(nullptr, nullptr, -1), 0);
    EXPECT_EQ(StrCmpI(nullptr, "", -1), -1);
    EXPECT_EQ(StrCmpI("", nullptr, -1), 1);
    EXPECT_EQ(StrCmpI("a", "C", -1), 'A' - 'C');
}

TEST(clsString, ToDoubleRules) {
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"12,5", 12.5}, {"-3.25", -3.25}, {"1.234,5", 1234.5}, {"1,234.5", 1234.5}, {"5", 5},
        {"-7", -7},     {"+7", 7},        {".5", 0.5},         {"4.", 4},           {"42", 42},
        {"100.", 100},  {"007", 7},       {"12.50", 12.5},
        // Texts of one or two characters are read by position without looking for digits:
        // one character is its code less the code of '0', two are tens and units so counted.
        {"x", 'x' - '0'}, {"ab", ('a' - '0') * 10 + ('b' - '0')}, {"-a", -('a' - '0')},
        // Longer texts stop at the first character that is no digit, sign or separator, and
        // one that starts there reads as 0; a sign counts wherever it stands.
        {" 12", 0},     {"12a5", 12},     {"1.5a9", 1.5},      {"1-2", -12},        {"-+3.5", 3.5},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(clsString(c.text).ToDouble(-99), c.expected) << c.text;
    EXPECT_EQ(clsString().ToDouble(-99), -99);
    EXPECT_EQ(clsString("").ToDouble(3.5), 3.5);
}

TEST(clsString, TokenWalks) {
    const auto walk = [](const char* text, char sep) {
        std::string out;
        const clsString s(text);
        for (int pos = 0; pos >= 0;) {
            out += "[" + Text(s.Token(sep, pos)) + "]";
            out += std::to_string(pos);
        }
        return out;
    };
    EXPECT_EQ(walk("a;b;c", ';'), "[a]2[b]4[c]-1");
    EXPECT_EQ(walk("a;;b", ';'), "[a]2[]3[b]-1");
    EXPECT_EQ(walk("a;b;", ';'), "[a]2[b]-1");
    EXPECT_EQ(walk(";", ';'), "[]-1");
    EXPECT_EQ(walk("", ';'), "[]-1");
    EXPECT_EQ(walk("a;b", '\0'), "[a;b]-1");

    const clsString s("ab;cd");
    int pos = -5;
    EXPECT_EQ(s.Token(';', pos).Length(), 0);
    EXPECT_EQ(pos, -5);
    pos = 2147483647;
    EXPECT_EQ(s.Token(';', pos).Length(), 0);
    EXPECT_EQ(pos, -1);
    pos = 1;
    EXPECT_EQ(Text(s.Token(';', pos)), "b");
    EXPECT_EQ(pos, 3);
}

TEST(clsString, EditingPieces) {
    clsString s("a=b=c");
    EXPECT_EQ(s.CutAt('='), 1);
    EXPECT_EQ(Text(s), "a");
    EXPECT_EQ(s.Capacity(), 6);
    s = "abc";
    EXPECT_EQ(s.CutAt('x'), 3);

    EXPECT_EQ(Text(clsString("xxaxbxx").Trim('x')), "axb");
    EXPECT_EQ(Text(clsString("  a b").Trim()), "a b");
    EXPECT_EQ(clsString("xxx").Trim('x').Length(), 0);
    EXPECT_EQ(clsString().Trim('x').CStr(), nullptr);

    s.Fill('-', 3);
    EXPECT_EQ(Text(s), "---");
    s.Fill('-', -2147483647);
    EXPECT_EQ(s.Length(), 0);

    const clsString abc("abcdef");
    EXPECT_EQ(Text(abc.Mid(2, 3)), "cde");
    EXPECT_EQ(Text(abc.Mid(2)), "cdef");
    EXPECT_EQ(Text(abc.Mid(4, 2147483647)), "ef");
    EXPECT_EQ(abc.Mid(6).Length(), 0);
    EXPECT_EQ(abc.Mid(-1, 2).Length(), 0);
    EXPECT_EQ(abc.Mid(1, 0).Length(), 0);

    s = "abcdef";
    EXPECT_EQ(Text(s.DeleteFirst(0)), "abcdef");
    EXPECT_EQ(Text(s.DeleteFirst(2)), "cdef");
    EXPECT_EQ(s.DeleteFirst(4).Length(), 0);
    s = "abc";
    EXPECT_EQ(s.DeleteFirst(-1).Length(), 0);

    s = "abc";
    EXPECT_EQ(*s.CharAt(1), 'b');
    EXPECT_EQ(s.CharAt(3), s.CStr() + 3);
    EXPECT_STREQ(s.CharAt(4), "");
    EXPECT_STREQ(s.CharAt(-1), "");
    EXPECT_STREQ(clsString().CharAt(0), "");
    EXPECT_EQ(s.SetChar(0, 'X'), 'X');
    EXPECT_EQ(s.SetChar(3, 'Y'), 'Y');
    EXPECT_EQ(Text(s), "Xbc");

    const clsString quoted = clsString("l'uno").Quote('\'');
    EXPECT_EQ(Text(quoted), "'l''uno'");
    EXPECT_EQ(quoted.Capacity(), 12);
    EXPECT_EQ(Text(clsString().Quote('\'')), "''");
}
