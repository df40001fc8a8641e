#include "platform/core/Encoding.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string Utf8Of(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

} // namespace

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
    EXPECT_EQ(Utf8ToCp1252("\xCE\xBB"), "?");             // Greek lambda
    EXPECT_EQ(Utf8ToCp1252("a\xF0\x9F\x98\x80z"), "a?z"); // outside the basic plane
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");               // cut short
    EXPECT_EQ(Utf8ToCp1252("\xC3(x"), "?(x");             // bad continuation keeps what follows
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "?");             // overlong slash
    EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "?");         // encoded surrogate
    EXPECT_EQ(Utf8ToCp1252("\xFF\xBF"), "??");
    EXPECT_EQ(Utf8ToCp1252("\xF4\x90\x80\x80"), "?"); // past U+10FFFF
    EXPECT_EQ(Utf16ToCp1252(u"a\U0001F600b"), "a?b");
    EXPECT_EQ(Utf16ToCp1252(std::u16string(1, char16_t(0xD800)) + u"x"), "?x");
    EXPECT_EQ(Utf16ToCp1252(u"x" + std::u16string(1, char16_t(0xDC00))), "x?");
    EXPECT_EQ(Utf8ToCp1252(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Encoding, LettersOutsideTheCodePageLoseTheirAccentsAsOnWindows) {
    struct Case {
        const char* utf8;
        const char16_t* utf16;
        const char* cp1252;
    };
    const Case cases[] = {
        {"\xC4\x8C" "apek", u"\u010Capek", "Capek"},
        {"\xC5\x81" "ukasz", u"\u0141ukasz", "Lukasz"},
        {"\xC8\x98" "tefan", u"\u0218tefan", "Stefan"},          // S with comma below
        {"\xC5\x9E" "tefan", u"\u015Etefan", "Stefan"},          // S with cedilla
        // o with double acute; the o with diaeresis is the code page's own.
        {"G\xC5\x91" "d\xC3\xB6r", u"G\u0151d\u00F6r", "God\xF6r"},
        {"Nguy\xE1\xBB\x85n", u"Nguy\u1EC5n", "Nguyen"},
        {"\xC5\x81\xC3\xB3" "d\xC5\xBA", u"\u0141\u00F3d\u017A", "L\xF3" "dz"}, // Latin-1 stays
        {"\xC5\xA0" "koda \xC5\x92uvre", u"\u0160koda \u0152uvre", "\x8Akoda \x8Cuvre"},
        {"\xC7\xBA", u"\u01FA", "A"},                       // A with ring and acute
        {"\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82", u"\u03BB\u03CC\u03B3\u03BF\u03C2", "?????"},
        {"\xD0\x96\xD0\xB9", u"\u0416\u0439", "??"}, // Cyrillic, short i included
        {"\xF0\x9F\x98\x80", u"\U0001F600", "?"},
        // Windows' own substitutes for symbols.
        {"\xE2\x89\xA4 \xE2\x88\x9E", u"\u2264 \u221E", "= 8"},
        {"\xEF\xBC\xA1\xEF\xBC\x91", u"\uFF21\uFF11", "A1"}, // full-width
        {"\xCE\xA9 \xCE\xBC", u"\u03A9 \u03BC", "O \xB5"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
        EXPECT_EQ(Utf16ToCp1252(c.utf16), c.cp1252) << c.utf8;
    }
}

TEST(Encoding, Utf8AndUtf16AgreeOnEveryCharacter) {
    int own = 0;
    int replaced = 0;
    for (char32_t cp = 1; cp <= 0xFFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        const std::u16string utf16(1, static_cast<char16_t>(cp));
        const std::string narrow = Utf16ToCp1252(utf16);
        ASSERT_EQ(narrow.size(), 1u) << std::hex << static_cast<unsigned>(cp);
        ASSERT_EQ(Utf8ToCp1252(Utf8Of(cp)), narrow) << std::hex << static_cast<unsigned>(cp);
        if (Cp1252ToUtf16(narrow) == utf16) ++own;
        if (narrow == "?") ++replaced;
    }
    // Each byte but NUL stands for exactly one character; the rest are substitutes.
    EXPECT_EQ(own, 255);
    EXPECT_GT(replaced, 60000);
}

TEST(Encoding, AsciiPrefixStopsAtTheFirstByteAboveTheAsciiRange) {
    // Every length around the eight bytes read at a time, the byte at every place.
    for (std::size_t length = 0; length <= 20; ++length) {
        const std::string plain(length, 'a');
        EXPECT_EQ(AsciiPrefix(plain), length);
        for (std::size_t at = 0; at < length; ++at) {
            for (char high : {'\x80', '\xE8', '\xFF'}) {
                std::string text = plain;
                text[at] = high;
                EXPECT_EQ(AsciiPrefix(text), at) << length << " " << at;
                // A view that ends before the byte does not see it.
                EXPECT_EQ(AsciiPrefix(std::string_view(text).substr(0, at)), at);
            }
        }
    }
    EXPECT_EQ(AsciiPrefix("\x7F\x01 ok"), 5u);
}
