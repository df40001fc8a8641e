#pragma once
// Piece extraction on platform strings; positions start at 1.

#include "platform/core/AnsiString.h"

// Raises ERangeError outside 1..Length().
char CharAtPos(const AnsiString& text, int position);
// The first count characters; empty when count <= 0.
AnsiString LeftPart(const AnsiString& text, int count);
// From position to the end; empty when position is outside 1..Length().
AnsiString RestFrom(const AnsiString& text, int position);
// The piece from position up to the next separator. position moves just past
// the separator, and becomes 0 once the last piece has been returned: "a;"
// gives "a", then "", then position 0.
AnsiString NextPiece(const AnsiString& text, const AnsiString& separator, int& position);
// The text before the first separator, or the whole text without one.
AnsiString FirstPiece(const AnsiString& text, char separator);
// The text after the last ch; the whole text when ch does not occur.
AnsiString AfterLast(const AnsiString& text, char ch);
// A, E, I, J, O, U, Y in either case.
bool IsVowel(char ch);
