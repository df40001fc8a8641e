#include "utilities/TextPieces.h"

#include <cstring>

char CharAtPos(const AnsiString& text, int position) {
    return text[position];
}

AnsiString LeftPart(const AnsiString& text, int count) {
    return count <= 0 ? AnsiString() : text.SubString(1, count);
}

AnsiString RestFrom(const AnsiString& text, int position) {
    if (position <= 0 || position > text.Length()) return AnsiString();
    return text.SubString(position, text.Length() - position + 1);
}

AnsiString NextPiece(const AnsiString& text, const AnsiString& separator, int& position) {
    AnsiString piece;
    if (position <= 0) return piece;
    try {
        const AnsiString rest = RestFrom(text, position);
        const int k = rest.Pos(separator);
        if (k > 0) {
            piece = LeftPart(rest, k - 1);
            position += separator.Length() + k - 1;
        } else {
            piece = rest;
            position = 0;
        }
    } catch (...) {
        position = 0;
    }
    return piece;
}

AnsiString FirstPiece(const AnsiString& text, char separator) {
    int position = 1;
    return NextPiece(text, AnsiString(separator), position);
}

AnsiString AfterLast(const AnsiString& text, char ch) {
    const auto found = text.str().rfind(ch);
    if (found == std::string::npos) return text;
    return RestFrom(text, static_cast<int>(found) + 2);
}

bool IsVowel(char ch) {
    return ch != '\0' && std::strchr("AEIJOUYaeijouy", ch) != nullptr;
}
