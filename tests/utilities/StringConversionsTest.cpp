#include "utilities/StringConversions.h"

#include <gtest/gtest.h>

TEST(StringConversions, KeepEveryCharacterAndTheEmptyForm) {
    const AnsiString text("Saldo \x80 1.234,56 \xE8\xFF");
    const quorbase::clsString converted = ToClsString(text);
    ASSERT_NE(converted.CStr(), nullptr);
    EXPECT_EQ(converted.Length(), text.Length());
    EXPECT_STREQ(converted.CStr(), text.c_str());
    EXPECT_EQ(ToAnsiString(converted), text);

    const quorbase::clsString empty = ToClsString(AnsiString());
    EXPECT_EQ(empty.CStr(), nullptr);
    EXPECT_EQ(empty.Length(), 0);
    EXPECT_EQ(ToAnsiString(quorbase::clsString()), "");
    EXPECT_EQ(ToAnsiString(quorbase::clsString("x")), "x");
}
