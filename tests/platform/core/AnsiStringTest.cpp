#include "platform/core/AnsiString.h"
#include "platform/core/Exception.h"
#include "platform/core/Locale.h"

#include <gtest/gtest.h>

#include <unordered_set>

TEST(AnsiString, IndexIsOneBasedAndChecked) {
    AnsiString s("abc");
    EXPECT_EQ(s[1], 'a');
    EXPECT_EQ(s[3], 'c');
    EXPECT_THROW(s[0], ERangeError);
    EXPECT_THROW(s[4], ERangeError);
    EXPECT_THROW(AnsiString()[1], ERangeError);
    s[2] = 'X';
    EXPECT_EQ(s, "aXc");
    try {
        (void)s[7];
        FAIL() << "no range error";
    } catch (const ERangeError& e) {
        EXPECT_NE(e.Message().Pos("7"), 0) << e.what();
    }
}

TEST(AnsiString, SubStringAndPositions) {
    const AnsiString s("Net\\Priv\\file.db");
    EXPECT_EQ(s.SubString(1, 3), "Net");
    EXPECT_EQ(s.SubString(5, 100), "Priv\\file.db");
    EXPECT_EQ(s.SubString(0, 2), "Ne");
    EXPECT_EQ(s.SubString(17, 1), "");
    EXPECT_EQ(s.SubString(2, 0), "");
    EXPECT_EQ(s.SubString(2, -1), "");
    EXPECT_EQ(s.Pos("\\"), 4);
    EXPECT_EQ(s.Pos("xyz"), 0);
    EXPECT_EQ(s.Pos(""), 0);
    EXPECT_EQ(s.LastDelimiter("\\."), 14);
    EXPECT_EQ(s.LastDelimiter("#"), 0);
    EXPECT_EQ(AnsiString(static_cast<const char*>(nullptr)), "");
    EXPECT_EQ(AnsiString("abcdef", 3), "abc");
}

TEST(AnsiString, EditingClampsToTheText) {
    AnsiString s("abef");
    s.Insert("cd", 3);
    EXPECT_EQ(s, "abcdef");
    s.Insert("<", 0);
    s.Insert(">", 100);
    EXPECT_EQ(s, "<abcdef>");
    s.Delete(1, 1).Delete(7, 5);
    EXPECT_EQ(s, "abcdef");
    s.Delete(0, 3).Delete(9, 1);
    EXPECT_EQ(s, "abcdef");
    s.SetLength(2);
    EXPECT_EQ(s, "ab");
    s.SetLength(-1);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(AnsiString(" \t x y \r\n").Trim(), "x y");
    EXPECT_EQ(AnsiString("  x ").TrimLeft(), "x ");
    EXPECT_EQ(AnsiString("  x ").TrimRight(), "  x");
}

TEST(AnsiString, CaseChangesAndComparisonsAreAsciiOnly) {
    EXPECT_EQ(AnsiString("Citt\xE0 abc").UpperCase(), "CITT\xE0 ABC");
    EXPECT_EQ(AnsiString("\xC8XY").LowerCase(), "\xC8xy");
    EXPECT_TRUE(AnsiString("Bracotene").EqualsIC("BRACOTENE"));
    EXPECT_FALSE(AnsiString("\xE8").EqualsIC("\xC8"));
    EXPECT_LT(AnsiString("abc").CompareIC("ABD"), 0);
    EXPECT_GT(AnsiString("abcd").CompareIC("ABC"), 0);
    // Bytes compare unsigned: an accented letter sorts after every ASCII one.
    EXPECT_TRUE(AnsiString("z") < AnsiString("\xE8"));
    EXPECT_TRUE(AnsiString("ab") < AnsiString("abc"));
    EXPECT_TRUE(AnsiString("b") > AnsiString("abc"));
    AnsiStringHashIC hash;
    EXPECT_EQ(hash("Net"), hash("NET"));
    std::unordered_set<AnsiString, AnsiStringHashIC> set{"a", "b", "c", "d"};
    EXPECT_EQ(set.size(), 4u);
}

TEST(AnsiString, IntegerConversion) {
    EXPECT_EQ(AnsiString("42").ToInt(), 42);
    EXPECT_EQ(AnsiString("  -17").ToInt(), -17);
    EXPECT_EQ(AnsiString("0x1F").ToInt(), 31);
    EXPECT_EQ(AnsiString("$ff").ToInt(), 255);
    EXPECT_EQ(AnsiString("0xFFFFFFFF").ToInt(), -1);
    EXPECT_EQ(AnsiString("2147483647").ToInt(), 2147483647);
    EXPECT_EQ(AnsiString("-2147483648").ToInt(), -2147483647 - 1);
    EXPECT_THROW(AnsiString("2147483648").ToInt(), EConvertError);
    EXPECT_THROW(AnsiString("99999999999999999999").ToInt(), EConvertError);
    EXPECT_THROW(AnsiString("12 ").ToInt(), EConvertError);
    EXPECT_THROW(AnsiString("").ToInt(), EConvertError);
    EXPECT_THROW(AnsiString("-").ToInt(), EConvertError);
    EXPECT_EQ(AnsiString("1.5").ToIntDef(-9), -9);
    EXPECT_EQ(StrToIntDef("7", 0), 7);
    EXPECT_EQ(IntToStr(-1234567890123LL), "-1234567890123");
    try {
        StrToInt("abc");
        FAIL() << "no conversion error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'abc' non \xE8 un valore intero valido");
    }
}

TEST(AnsiString, FloatsUseTheDecimalSeparator) {
    TFormatSettings saved = FormatSettings();
    FormatSettings().DecimalSeparator = ',';
    EXPECT_EQ(AnsiString(2.5), "2,5");
    EXPECT_EQ(AnsiString(-0.125), "-0,125");
    EXPECT_EQ(AnsiString(100.0), "100");
    EXPECT_EQ(AnsiString(1e20), "1E20");
    EXPECT_EQ(AnsiString(-1.5e-7), "-1,5E-7");
    EXPECT_EQ(AnsiString(123456789012345.0), "123456789012345");
    EXPECT_DOUBLE_EQ(AnsiString(" 3,25 ").ToDouble(), 3.25);
    EXPECT_THROW(AnsiString("3.25").ToDouble(), EConvertError);
    EXPECT_THROW(AnsiString("").ToDouble(), EConvertError);
    EXPECT_THROW(AnsiString("1,2x").ToDouble(), EConvertError);
    FormatSettings().DecimalSeparator = '.';
    EXPECT_EQ(AnsiString(2.5), "2.5");
    EXPECT_DOUBLE_EQ(AnsiString("-1e3").ToDouble(), -1000.0);
    EXPECT_THROW(AnsiString("3,25").ToDouble(), EConvertError);
    EXPECT_THROW(AnsiString("0x10").ToDouble(), EConvertError);
    FormatSettings() = saved;
}
