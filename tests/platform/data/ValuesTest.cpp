// Variants, exact decimals and numeric format patterns.

#include "platform/core/Locale.h"
#include "platform/data/Decimal.h"
#include "platform/data/FormatFloat.h"
#include "platform/data/Variant.h"

#include <gtest/gtest.h>

namespace {

class ItalianSettings : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = FormatSettings();
        FormatSettings().DecimalSeparator = ',';
        FormatSettings().ThousandSeparator = '.';
        FormatSettings().ShortDateFormat = "dd/MM/yyyy";
    }
    void TearDown() override { FormatSettings() = saved_; }
    TFormatSettings saved_;
};

using VariantTest = ItalianSettings;
using FormatFloatTest = ItalianSettings;

TEST_F(VariantTest, ConvertsWithThePlatformRulesAndRejectsTheImpossible) {
    EXPECT_TRUE(Variant().IsNull());
    EXPECT_THROW(Variant().ToInt(), EVariantError);
    EXPECT_THROW(Variant().ToDateTime(), EVariantError);
    EXPECT_EQ(Variant().ToString(), "");

    EXPECT_EQ(Variant("42").ToInt(), 42);
    EXPECT_EQ(Variant(" -7 ").ToInt(), -7);
    EXPECT_THROW(Variant("abc").ToInt(), EConvertError);
    EXPECT_THROW(Variant("1.5").ToDouble(), EConvertError); // '.' is not the separator here
    EXPECT_DOUBLE_EQ(Variant("1,5").ToDouble(), 1.5);
    // Doubles round half to even, as the platform's variants do.
    EXPECT_EQ(Variant(2.5).ToInt(), 2);
    EXPECT_EQ(Variant(3.5).ToInt(), 4);
    EXPECT_THROW(Variant(1e30).ToInt(), EVariantError);

    EXPECT_EQ(Variant(true).ToString(), "True");
    EXPECT_TRUE(Variant("true").ToBool());
    EXPECT_FALSE(Variant("0").ToBool());
    EXPECT_THROW(Variant("forse").ToBool(), EConvertError);

    EXPECT_EQ(Variant("12,5").ToCurrency().Value, 125000);
    EXPECT_EQ(Variant(0.1).ToCurrency().Value, 1000);
    EXPECT_EQ(Variant(Currency::FromUnits(125000)).ToString(), "12,5");
    EXPECT_EQ(Variant(Currency::FromUnits(1000000)).ToString(), "100");
    EXPECT_EQ(Variant(Currency::FromUnits(-1)).ToString(), "-0,0001");

    const TDateTime day = EncodeDate(2004, 3, 12);
    EXPECT_EQ(Variant(day).ToString(), "12/03/2004");
    EXPECT_DOUBLE_EQ(Variant("2004-03-12").ToDateTime().Val, day.Val);
    EXPECT_DOUBLE_EQ(Variant("12/03/2004").ToDateTime().Val, day.Val);
    EXPECT_THROW(Variant("31/02/2004").ToDateTime(), EConvertError);
}

TEST_F(VariantTest, ComparesAcrossNumericKindsAndHoldsArrays) {
    EXPECT_TRUE(Variant(1) == Variant(1.0));
    EXPECT_TRUE(Variant(Currency::FromUnits(10000)) == Variant(1));
    EXPECT_FALSE(Variant(1) == Variant(2));
    EXPECT_TRUE(Variant() == Variant());
    EXPECT_FALSE(Variant() == Variant(0));
    EXPECT_FALSE(Variant("a") == Variant("A"));

    const Variant a = VarArrayOf({1, "due", Variant()});
    EXPECT_TRUE(a.IsArray());
    ASSERT_EQ(a.ArrayCount(), 3);
    EXPECT_EQ(a.ArrayItem(1).ToString(), "due");
    EXPECT_TRUE(a.ArrayItem(2).IsNull());
    EXPECT_THROW(a.ArrayItem(3), ERangeError);
    EXPECT_THROW(a.ToString(), EVariantError);
    EXPECT_TRUE(a == VarArrayOf({1, "due", Variant()}));
    EXPECT_FALSE(a == VarArrayOf({1, "tre", Variant()}));
}

TEST(DecimalTest, ParsesAndFormatsExactAmounts) {
    std::int64_t u = 0;
    ASSERT_TRUE(dbengine::ParseDecimal("12.345", '.', 2, u));
    EXPECT_EQ(u, 1235); // half away from zero
    ASSERT_TRUE(dbengine::ParseDecimal("-0.005", '.', 2, u));
    EXPECT_EQ(u, -1);
    ASSERT_TRUE(dbengine::ParseDecimal("1e3", '.', 2, u));
    EXPECT_EQ(u, 100000);
    ASSERT_TRUE(dbengine::ParseDecimal("5E-3", '.', 2, u));
    EXPECT_EQ(u, 1);
    ASSERT_TRUE(dbengine::ParseDecimal("92233720368547.75", '.', 4, u));
    EXPECT_EQ(u, 922337203685477500);
    EXPECT_FALSE(dbengine::ParseDecimal("922337203685477580.8", '.', 4, u)); // overflow
    EXPECT_FALSE(dbengine::ParseDecimal("1.2.3", '.', 2, u));
    EXPECT_FALSE(dbengine::ParseDecimal("", '.', 2, u));
    EXPECT_FALSE(dbengine::ParseDecimal("12,5", '.', 2, u));

    // The binary form of 0.1 + 0.2 is 0.30000000000000004: still 30 cents.
    ASSERT_TRUE(dbengine::DoubleToUnits(0.1 + 0.2, 2, u));
    EXPECT_EQ(u, 30);
    ASSERT_TRUE(dbengine::DoubleToUnits(1.005, 2, u));
    EXPECT_EQ(u, 101);

    EXPECT_EQ(dbengine::FormatUnits(1250, 2, ',', 0), "12,5");
    EXPECT_EQ(dbengine::FormatUnits(10000, 2, ',', 0), "100");
    EXPECT_EQ(dbengine::FormatUnits(-5, 2, ',', 2), "-0,05");
    EXPECT_EQ(dbengine::FormatUnits(INT64_MIN, 4, '.', 0), "-922337203685477.5808");
    EXPECT_EQ(dbengine::Rescale(125, 2, 0), 1);
    EXPECT_EQ(dbengine::Rescale(-150, 2, 0), -2);
    EXPECT_EQ(dbengine::Rescale(7, 0, 4), 70000);
    // Reals in plain notation, for amounts past the units.
    EXPECT_EQ(dbengine::FormatDouble(1e18, 2, ','), "1000000000000000000");
    EXPECT_EQ(dbengine::FormatDouble(1.23456789012346e29, 2, ','),
              "123456789012346000000000000000");
    EXPECT_EQ(dbengine::FormatDouble(12.5, 2, ','), "12,5");
    EXPECT_EQ(dbengine::FormatDouble(0.1 + 0.2, 2, '.'), "0.3");
    EXPECT_EQ(dbengine::FormatDouble(9.999, 2, '.'), "10");
    EXPECT_EQ(dbengine::FormatDouble(0.000123, 4, '.'), "0.0001");
    EXPECT_EQ(dbengine::FormatDouble(-0.004, 2, '.'), "0");
    EXPECT_EQ(dbengine::FormatDouble(-1234.5678, 2, ','), "-1234,57");
    EXPECT_EQ(dbengine::FormatDouble(0.0, 2, ','), "0");

}

TEST_F(FormatFloatTest, AppliesThePlatformPatterns) {
    EXPECT_EQ(FormatFloat("0.00", 12.5), "12,50");
    EXPECT_EQ(FormatFloat(",0.00", 1234567.891), "1.234.567,89");
    EXPECT_EQ(FormatFloat(",0", 999), "999");
    EXPECT_EQ(FormatFloat(",0", 1000), "1.000");
    EXPECT_EQ(FormatFloat(",0", -1234567), "-1.234.567");
    EXPECT_EQ(FormatFloat("0", 2.5), "3");
    EXPECT_EQ(FormatFloat("#,##0.00", 0.5), "0,50");
    EXPECT_EQ(FormatFloat("#.##", 0.5), ",5");
    EXPECT_EQ(FormatFloat("0.0#", 1.256), "1,26");
    EXPECT_EQ(FormatFloat("0.0#", 1.2), "1,2");
    // A value that rounds to zero shows no sign.
    EXPECT_EQ(FormatFloat("0.00", -0.004), "0,00");
    EXPECT_EQ(FormatFloat("0.00;(0.00);'zero'", -1.5), "(1,50)");
    EXPECT_EQ(FormatFloat("0.00;(0.00);'zero'", 0.0), "zero");
    EXPECT_EQ(FormatFloat("'\x80 ',0.00", 1234.5), "\x80 1.234,50");
    EXPECT_EQ(FormatFloat("", 12.5), "12,5");
    EXPECT_EQ(FormatCurr(",0.00", Currency::FromUnits(12345000)), "1.234,50");
    EXPECT_EQ(FormatCurr(",0", Currency::FromUnits(-15000)), "-2");
    EXPECT_EQ(FormatCurr(",0.00", Currency::FromUnits(9223372036854775807LL)),
              "922.337.203.685.477,58");
}

} // namespace
