#include "graphics/TextFit.h"
#include "platform/graphics/ImageCanvas.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

std::string RandomText(std::mt19937& rng, int length) {
    // Vowels, consonants, spaces, wide and narrow letters, breaks, accents.
    static const std::string alphabet = "aeiouyjbcdfglmnprstvzWMil  .,AEIOU\xE8\xE0\x80";
    std::uniform_int_distribution<int> pick(0, static_cast<int>(alphabet.size()) - 1);
    std::uniform_int_distribution<int> breakChance(0, 60);
    std::string s;
    for (int i = 0; i < length; ++i) {
        int r = breakChance(rng);
        if (r == 0)
            s += '\n';
        else if (r == 1)
            s += "\r\n";
        else
            s += alphabet[pick(rng)];
    }
    return s;
}

} // namespace

TEST(TextFit, SearchGivesTheSameLinesAsOneByOne) {
    TImageCanvas c(10, 10);
    c.Font()->SetName("DejaVu Sans");
    c.Font()->SetHeight(-13);
    std::mt19937 rng(20261209);
    std::uniform_int_distribution<int> length(0, 300), room(-3, 180);
    for (int trial = 0; trial < 150; ++trial) {
        const std::string text = RandomText(rng, length(rng));
        const int avail = room(rng);
        ASSERT_EQ(WrapText(&c, text, avail, TextFitMethod::Search),
                  WrapText(&c, text, avail, TextFitMethod::OneByOne))
            << "trial " << trial << " avail " << avail;
    }
}

TEST(TextFit, FitTakesTheLongestPrefixThatFits) {
    TImageCanvas c(10, 10);
    c.Font()->SetName("DejaVu Sans");
    c.Font()->SetHeight(-13);
    std::mt19937 rng(7);
    for (int trial = 0; trial < 200; ++trial) {
        const std::string text = RandomText(rng, 1 + trial);
        const int avail = static_cast<int>(rng() % 200);
        const int w = FitPrefix(&c, text, avail, TextFitMethod::Search);
        ASSERT_GE(w, 1);
        ASSERT_LE(w, static_cast<int>(text.size()));
        if (w > 1) {
            ASSERT_LE(c.TextWidth(AnsiString(text.substr(0, w))), avail);
        }
        if (w < static_cast<int>(text.size())) {
            ASSERT_GT(c.TextWidth(AnsiString(text.substr(0, w + 1))), avail);
        }
    }
    EXPECT_EQ(FitPrefix(&c, "", 50, TextFitMethod::Search), 0);
    EXPECT_EQ(FitPrefix(&c, "W", 0, TextFitMethod::Search), 1);
}

TEST(TextFit, BothMethodsPaintTheSamePixels) {
    std::mt19937 rng(99);
    for (int trial = 0; trial < 12; ++trial) {
        const std::string text = RandomText(rng, 150 + 40 * trial);
        TImageCanvas a(260, 900), b(260, 900);
        clsTextOut t;
        t.Text = text.c_str();
        t.Rect = Rect(5, 5, 60 + 15 * trial, 40);
        t.Style = 0x00A00954 | (trial % 2 ? tsAlternate : 0);
        t.ShadowWidth = 3;
        t.BackColor = clYellow;
        t.Canvas = &a;
        const int ha = TextDraw(t, TextFitMethod::Search);
        t.Canvas = &b;
        const int hb = TextDraw(t, TextFitMethod::OneByOne);
        EXPECT_EQ(ha, hb) << trial;
        EXPECT_GT(ha, 40) << trial;
        EXPECT_TRUE(a.Image() == b.Image()) << trial;
    }
}
