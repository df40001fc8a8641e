#pragma once
// Conversions at the library's boundaries: Windows-1252 inside, UTF-8 in
// files and the archive, UTF-16 at the toolkit.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// The length of the run of ASCII bytes (below 0x80) that text starts with,
// which reads the same in every encoding here. Eight bytes at a time: it is
// asked of every text that crosses a boundary.
inline std::size_t AsciiPrefix(std::string_view text) {
    const char* p = text.data();
    const std::size_t n = text.size();
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        if (word & 0x8080808080808080ull) break;
    }
    while (i < n && static_cast<unsigned char>(p[i]) < 0x80)
        ++i;
    return i;
}

// Every Windows-1252 byte maps to one code point; the five undefined bytes
// (0x81 0x8D 0x8F 0x90 0x9D) map to the C1 controls of the same value.
std::string Cp1252ToUtf8(std::string_view text);
std::u16string Cp1252ToUtf16(std::string_view text);
// As Windows converts with best fit: a letter outside the code page becomes
// its plain letter ("\u0141ukasz" gives "Lukasz"); what has none becomes '?',
// one for each character, as do malformed UTF-8 bytes.
std::string Utf8ToCp1252(std::string_view text);
std::string Utf16ToCp1252(std::u16string_view text);
