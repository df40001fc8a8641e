// Our Windows-1252 conversions against Windows' own, character by character:
// WideCharToMultiByte with best fit and MultiByteToWideChar for code page 1252.

#include "platform/core/Cp1252BestFit.h"
#include "platform/core/Encoding.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string WindowsNarrow(const std::u16string& text) {
    if (text.empty()) return std::string();
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int n = WideCharToMultiByte(1252, 0, wide, static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(1252, 0, wide, static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::u16string WindowsWide(const std::string& text, UINT codePage) {
    if (text.empty()) return std::u16string();
    const int n =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::u16string out(static_cast<std::size_t>(n), u'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()),
                        reinterpret_cast<wchar_t*>(out.data()), n);
    return out;
}

bool IsBaseLetterAddition(char16_t c) {
    return std::any_of(std::begin(kCp1252BaseLetters), std::end(kCp1252BaseLetters),
                       [c](const Cp1252Pair& pair) { return pair.from == c; });
}

} // namespace

TEST(WindowsEncoding, EveryByteDecodesAsWindowsDecodesIt) {
    for (int b = 1; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(Cp1252ToUtf16(byte), WindowsWide(byte, 1252)) << b;
        // And back, both ways.
        EXPECT_EQ(WindowsNarrow(Cp1252ToUtf16(byte)), byte) << b;
    }
}

TEST(WindowsEncoding, EveryCharacterOfThePlaneBecomesWhatWindowsGives) {
    int additions = 0;
    for (char32_t cp = 1; cp <= 0xFFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        const std::u16string one(1, static_cast<char16_t>(cp));
        const std::string ours = Utf16ToCp1252(one);
        const std::string windows = WindowsNarrow(one);
        if (IsBaseLetterAddition(one[0])) {
            // Letters Windows' table lacks (U+0218 S with comma below...): it gives '?', we the letter.
            EXPECT_EQ(windows, "?") << std::hex << static_cast<unsigned>(cp);
            EXPECT_NE(ours, "?") << std::hex << static_cast<unsigned>(cp);
            ++additions;
            continue;
        }
        ASSERT_EQ(ours, windows) << std::hex << static_cast<unsigned>(cp);
    }
    EXPECT_EQ(additions, static_cast<int>(std::size(kCp1252BaseLetters)));
}

TEST(WindowsEncoding, NamesFromUtf8AsWindowsConvertsThem) {
    const char* const names[] = {
        "\xC4\x8C" "apek", "\xC5\x81" "ukasz", "G\xC5\x91" "d\xC3\xB6r", "\xC5\x9E" "tefan",
        "Dvo\xC5\x99\xC3\xA1k", "Wa\xC5\x82\xC4\x99sa", "Erd\xC5\x91s P\xC3\xA1l",
        "\xC4\xB0stanbul \xC5\x9F" "ehir", "Sm\xC3\xB8rrebr\xC3\xB8" "d", "\xC3\x86sir \xC5\x92uvre",
        "\xE2\x80\x9C" "citazione\xE2\x80\x9D \xE2\x80\x93 \xE2\x82\xAC 5",
        "\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82 \xD0\x96\xD0\xB8\xD0\xB7\xD0\xBD\xD1\x8C",
        "\xEF\xBC\xA1\xEF\xBC\xA2 \xE2\x88\x9E \xE2\x89\xA4",
    };
    for (const char* name : names) {
        const std::u16string wide = WindowsWide(name, CP_UTF8);
        EXPECT_EQ(Utf8ToCp1252(name), WindowsNarrow(wide)) << name;
        EXPECT_EQ(Utf16ToCp1252(wide), WindowsNarrow(wide)) << name;
    }
    // Beyond the plane Windows writes a '?' for each half of the pair; we write one.
    EXPECT_EQ(WindowsNarrow(u"a\U0001F600b"), "a??b");
    EXPECT_EQ(Utf16ToCp1252(u"a\U0001F600b"), "a?b");
}
