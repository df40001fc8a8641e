#include "platform/core/Encoding.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(Encoding, EveryByteRoundTripsThroughUtf8AndUtf16) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_EQ(Utf8ToCp1252(utf8), all);
    const std::u16string utf16 = Cp1252ToUtf16(all);
    ASSERT_EQ(utf16.size(), all.size());
    EXPECT_EQ(Utf16ToCp1252(utf16), all);
    EXPECT_EQ(std::count(utf8.begin(), utf8.end(), '?'), 1); // only the '?' byte itself
}

TEST(Encoding, UpperHalfMapsToTheRightCharacters) {
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC"); // euro sign
    EXPECT_EQ(Cp1252ToUtf16("\x80"), u"\u20AC");
    EXPECT_EQ(Cp1252ToUtf8("L'archivio \xE8 utilizzato"), "L'archivio \xC3\xA8 utilizzato");
    EXPECT_EQ(Cp1252ToUtf16("\x8A\x9C\x9F\xA0\xFF"), u"\u0160\u0153\u0178\u00A0\u00FF");
    EXPECT_EQ(Cp1252ToUtf16("\x91\x92\x93\x94\x96\x97\x85\x99"),
              u"\u2018\u2019\u201C\u201D\u2013\u2014\u2026\u2122");
    // The five undefined bytes stand for the C1 controls of the same value.
    EXPECT_EQ(Cp1252ToUtf16("\x81\x8D\x8F\x90\x9D"), u"\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC 10"), "\x80 10");
    EXPECT_EQ(Utf16ToCp1252(u"perch\u00E9 \u20AC"), "perch\xE9 \x80");
}

TEST(Encoding, UnmappableAndMalformedInputBecomesQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1252("\xCE\xA9"), "?");             // Greek omega
    EXPECT_EQ(Utf8ToCp1252("a\xF0\x9F\x98\x80z"), "a?z"); // outside the basic plane
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");               // cut short
    EXPECT_EQ(Utf8ToCp1252("\xC3(x"), "?(x");             // bad continuation keeps what follows
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "?");             // overlong slash
    EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "?");         // encoded surrogate
    EXPECT_EQ(Utf8ToCp1252("\xFF\xBF"), "??");
    EXPECT_EQ(Utf16ToCp1252(u"a\U0001F600b"), "a?b");
    EXPECT_EQ(Utf16ToCp1252(std::u16string(1, char16_t(0xD800)) + u"x"), "?x");
    EXPECT_EQ(Utf16ToCp1252(u"\u0100"), "?");
    EXPECT_EQ(Utf8ToCp1252(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}
