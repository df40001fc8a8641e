#include "platform/core/Types.h"

#include <gtest/gtest.h>

#include <limits>

TEST(Types, MulDivRoundsHalfAwayFromZeroInSixtyFourBits) {
    EXPECT_EQ(MulDiv(10, 96, 72), 13); // 13.33
    EXPECT_EQ(MulDiv(3, 1, 2), 2);     // 1.5
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(3, -1, 2), -2);
    EXPECT_EQ(MulDiv(3, 1, -2), -2);
    EXPECT_EQ(MulDiv(-3, -1, -2), -2);
    EXPECT_EQ(MulDiv(5, 2, 3), 3);                     // 3.33
    EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000); // product beyond 32 bits
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(std::numeric_limits<int>::max(), 2, 1), -1); // result does not fit
    EXPECT_EQ(MulDiv(0, 7, 3), 0);
}

TEST(Types, CurrencyAndColours) {
    EXPECT_EQ(Currency::FromDouble(12.34).Value, 123400);
    EXPECT_EQ(Currency::FromDouble(0.00005).Value, 1);
    EXPECT_EQ(Currency::FromDouble(-0.00005).Value, -1);
    EXPECT_EQ(Currency::FromDouble(-1.23456).Value, -12346);
    EXPECT_DOUBLE_EQ(Currency::FromUnits(25).ToDouble(), 0.0025);
    EXPECT_EQ(Currency::FromDouble(1e300).Value, std::numeric_limits<std::int64_t>::max());
    EXPECT_TRUE(Currency::FromDouble(1.5) < Currency::FromDouble(1.5001));
    const TColor c = RGB(0x12, 0x34, 0x56);
    EXPECT_EQ(c, 0x563412);
    EXPECT_EQ(GetRValue(c), 0x12);
    EXPECT_EQ(GetGValue(c), 0x34);
    EXPECT_EQ(GetBValue(c), 0x56);
}
