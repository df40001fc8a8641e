#include "utilities/DateFormats.h"

#include "platform/core/Locale.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(DateFormats, RenderingsOfADateAndOfNoDate) {
    const TFormatSettings saved = FormatSettings();
    FormatSettings().DateSeparator = '/';
    const TDateTime date = EncodeDate(2007, 3, 5);
    EXPECT_EQ(RenderDate(date), "05/03/2007");
    EXPECT_EQ(RenderDateShort(date), "05/03/07");
    EXPECT_EQ(RenderDateCBI(date), "050307");
    // The time of day is ignored.
    const TDateTime evening(date.Val + EncodeTime(21, 45, 0).Val);
    EXPECT_EQ(RenderDate(evening), "05/03/2007");
    EXPECT_EQ(RenderDateCBI(evening), "050307");

    EXPECT_EQ(RenderDate(0), "");
    EXPECT_EQ(RenderDateShort(0), "");
    EXPECT_EQ(RenderDateCBI(0), "000000");
    // Only exactly 0 is "no date": noon of day zero is a date.
    EXPECT_EQ(RenderDate(0.5), "30/12/1899");
    EXPECT_EQ(RenderDateCBI(0.5), "301299");
    EXPECT_EQ(RenderDate(EncodeDate(2010, 11, 25)), "25/11/2010");

    FormatSettings().DateSeparator = '.';
    EXPECT_EQ(RenderDate(date), "05.03.2007");
    EXPECT_EQ(RenderDateShort(date), "05.03.07");
    EXPECT_EQ(RenderDateCBI(date), "050307");

    // A value no calendar holds is shown as no date rather than raising.
    EXPECT_EQ(RenderDate(std::nan("")), "");
    EXPECT_EQ(RenderDateCBI(1e12), "000000");
    FormatSettings() = saved;
}

TEST(DateFormats, OnlyTheEuroGetsDecimals) {
    EXPECT_EQ(EditFormatFor('\x80'), "0.00");
    EXPECT_EQ(DisplayFormatFor('\x80'), ",0.00");
    for (char other : {'L', 'E', ' ', '\0', '$', '\x81', '\x7F', '\xFF'}) {
        EXPECT_EQ(EditFormatFor(other), "0") << int(other);
        EXPECT_EQ(DisplayFormatFor(other), ",0") << int(other);
    }
}
