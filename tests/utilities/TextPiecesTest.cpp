#include "utilities/TextPieces.h"

#include "platform/core/Exception.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Step {
    AnsiString piece;
    int position;
    friend bool operator==(const Step&, const Step&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Step& s) {
        return out << '"' << s.piece << "\"@" << s.position;
    }
};

std::vector<Step> Walk(const AnsiString& text, const AnsiString& separator, int position = 1) {
    std::vector<Step> steps;
    for (int guard = 0; position > 0 && guard < 100; ++guard) {
        AnsiString piece = NextPiece(text, separator, position);
        steps.push_back({piece, position});
    }
    return steps;
}

} // namespace

TEST(TextPieces, NextPieceWalksEveryPiece) {
    EXPECT_EQ(Walk("a;bb;c", ";"), (std::vector<Step>{{"a", 3}, {"bb", 6}, {"c", 0}}));
    EXPECT_EQ(Walk("x::y", "::"), (std::vector<Step>{{"x", 4}, {"y", 0}}));
    // A final separator yields a last empty piece.
    EXPECT_EQ(Walk("a;", ";"), (std::vector<Step>{{"a", 3}, {"", 0}}));
    EXPECT_EQ(Walk(";;", ";"), (std::vector<Step>{{"", 2}, {"", 3}, {"", 0}}));
    EXPECT_EQ(Walk("abc", ";"), (std::vector<Step>{{"abc", 0}}));
    EXPECT_EQ(Walk("a;b", ";", 3), (std::vector<Step>{{"b", 0}}));
    EXPECT_EQ(Walk("abc", ";", 9), (std::vector<Step>{{"", 0}}));
    EXPECT_EQ(Walk("", ";"), (std::vector<Step>{{"", 0}}));
    EXPECT_EQ(Walk("a;b", ""), (std::vector<Step>{{"a;b", 0}}));
    int position = 0;
    EXPECT_EQ(NextPiece("a;b", ";", position), "");
    EXPECT_EQ(position, 0);
    position = -3;
    EXPECT_EQ(NextPiece("a;b", ";", position), "");
    EXPECT_EQ(position, -3);
}

TEST(TextPieces, FirstPieceAndAfterLast) {
    EXPECT_EQ(FirstPiece("Col1\t120", '\t'), "Col1");
    EXPECT_EQ(FirstPiece("Col1", '\t'), "Col1");
    EXPECT_EQ(FirstPiece("\tx", '\t'), "");
    EXPECT_EQ(FirstPiece("", '\t'), "");
    EXPECT_EQ(AfterLast("a/b/c", '/'), "c");
    EXPECT_EQ(AfterLast("abc", '/'), "abc");
    EXPECT_EQ(AfterLast("abc/", '/'), "");
    EXPECT_EQ(AfterLast("", '/'), "");
    EXPECT_EQ(AfterLast("/x", '/'), "x");
    EXPECT_EQ(AfterLast("C:\\Prog\\BracUtil.exe", '\\'), "BracUtil.exe");
}

TEST(TextPieces, LeftRestAndCharAt) {
    EXPECT_EQ(LeftPart("abc", 5), "abc");
    EXPECT_EQ(LeftPart("abc", 2), "ab");
    EXPECT_EQ(LeftPart("abc", 0), "");
    EXPECT_EQ(LeftPart("abc", -1), "");
    EXPECT_EQ(RestFrom("abc", 3), "c");
    EXPECT_EQ(RestFrom("abc", 1), "abc");
    EXPECT_EQ(RestFrom("abc", 4), "");
    EXPECT_EQ(RestFrom("abc", 0), "");
    EXPECT_EQ(RestFrom("abc", -2), "");
    EXPECT_EQ(CharAtPos("abc", 1), 'a');
    EXPECT_EQ(CharAtPos("abc", 3), 'c');
    EXPECT_THROW(CharAtPos("abc", 0), ERangeError);
    EXPECT_THROW(CharAtPos("abc", 4), ERangeError);
    EXPECT_THROW(CharAtPos("", 1), ERangeError);
}

TEST(TextPieces, VowelsIncludeJAndY) {
    AnsiString vowels;
    for (int c = 0; c < 256; ++c)
        if (IsVowel(static_cast<char>(c))) vowels += static_cast<char>(c);
    EXPECT_EQ(vowels, "AEIJOUYaeijouy");
}
