#include "platform/core/DateTime.h"
#include "platform/core/Exception.h"
#include "platform/core/Locale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

namespace {

// Italian settings for the duration of a test.
class ItalianDates : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = FormatSettings();
        FormatSettings() = TFormatSettings::ForLocale("it_IT.UTF-8");
    }
    void TearDown() override { FormatSettings() = saved_; }

private:
    TFormatSettings saved_;
};

} // namespace

TEST(DateTime, SerialNumbersMatchThePlatform) {
    EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30).Val, 0.0);
    EXPECT_DOUBLE_EQ(EncodeDate(1900, 1, 1).Val, 2.0);
    EXPECT_DOUBLE_EQ(EncodeDate(2007, 3, 5).Val, 39146.0);
    EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 29).Val, -1.0);
    EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0).Val, 0.5);
    EXPECT_DOUBLE_EQ(EncodeTime(6, 0, 0).Val, 0.25);
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_THROW(EncodeDate(2007, 2, 29), EConvertError);
    EXPECT_THROW(EncodeDate(2007, 13, 1), EConvertError);
    EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(1, 60, 0), EConvertError);
    TDateTime out(-5);
    EXPECT_FALSE(TryEncodeDate(2023, 2, 29, out));
    EXPECT_DOUBLE_EQ(out.Val, -5.0);
    EXPECT_TRUE(TryEncodeDate(2024, 2, 29, out));
}

TEST(DateTime, DecodeInvertsEncodeAcrossTheCalendar) {
    for (int year : {1, 1600, 1899, 1900, 1999, 2000, 2024, 9999})
        for (int month = 1; month <= 12; ++month)
            for (int day : {1, 28, month == 2 ? (IsLeapYear(year) ? 29 : 28) : 30}) {
                int y, m, d;
                DecodeDate(EncodeDate(year, month, day), y, m, d);
                ASSERT_EQ(y * 10000 + m * 100 + d, year * 10000 + month * 100 + day);
            }
    int h, n, s, ms;
    DecodeTime(EncodeDate(2007, 3, 5).Val + EncodeTime(23, 59, 58, 999).Val, h, n, s, ms);
    EXPECT_EQ(h * 1000000 + n * 10000 + s * 100, 23595800);
    EXPECT_EQ(ms, 999);
    // Before day zero the time of day still counts forward: 29 December 1899, 06:00.
    int y, m, d;
    DecodeDate(TDateTime(-1.25), y, m, d);
    DecodeTime(TDateTime(-1.25), h, n, s, ms);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
    EXPECT_EQ(h, 6);
    // A hair before midnight rounds to the next day, not to 24:00.
    const double almost = EncodeDate(2007, 3, 5).Val + 0.99999999999;
    DecodeDate(TDateTime(almost), y, m, d);
    DecodeTime(TDateTime(almost), h, n, s, ms);
    EXPECT_EQ(d, 6);
    EXPECT_EQ(h + n + s + ms, 0);
}

TEST_F(ItalianDates, PatternsFollowThePlatform) {
    const TDateTime date = EncodeDate(2007, 3, 5);
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy", date), "05/03/2007");
    EXPECT_EQ(FormatDateTime("dd/mm/yy", date), "05/03/07");
    EXPECT_EQ(FormatDateTime("ddmmyy", date), "050307");
    EXPECT_EQ(FormatDateTime("d/m/yyyy", date), "5/3/2007");
    EXPECT_EQ(DateToStr(date), "05/03/2007");
    FormatSettings().DateSeparator = '.';
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy", date), "05.03.2007");
    EXPECT_EQ(FormatDateTime("ddmmyy", date), "050307");

    const TDateTime moment(date.Val + EncodeTime(9, 7, 3).Val);
    EXPECT_EQ(FormatDateTime("hh:mm:ss", moment), "09:07:03"); // minutes after an hour
    EXPECT_EQ(FormatDateTime("h:nn 'alle' dd", moment), "9:07 alle 05");
    EXPECT_EQ(FormatDateTime("dddd d mmmm yyyy", moment), "luned\xEC 5 marzo 2007");
    EXPECT_EQ(FormatDateTime("ddddd", moment), "05.03.2007");
    EXPECT_EQ(FormatDateTime("\"yyyy\"yyyy", moment), "yyyy2007");
    EXPECT_EQ(DateTimeToStr(moment), "05.03.2007 09:07:03");
    EXPECT_EQ(DateTimeToStr(date), "05.03.2007");
}

TEST_F(ItalianDates, ParsesTheShortFormat) {
    EXPECT_DOUBLE_EQ(StrToDate("05/03/2007").Val, 39146.0);
    EXPECT_DOUBLE_EQ(StrToDate(" 5/3/2007 ").Val, 39146.0);
    EXPECT_DOUBLE_EQ(StrToDate("5/3/07").Val, 39146.0);
    TDateTime out;
    EXPECT_FALSE(TryStrToDate("31/02/2007", out));
    EXPECT_FALSE(TryStrToDate("05-03-2007", out));
    EXPECT_FALSE(TryStrToDate("05/03/2007x", out));
    EXPECT_FALSE(TryStrToDate("", out));
    EXPECT_THROW(StrToDate("ieri"), EConvertError);
    FormatSettings().ShortDateFormat = "M/d/yyyy";
    EXPECT_DOUBLE_EQ(StrToDate("3/5/2007").Val, 39146.0);
}

TEST(DateTime, IsoForms) {
    const TDateTime moment(EncodeDate(2007, 3, 5).Val + EncodeTime(14, 30, 15).Val);
    EXPECT_EQ(DateToISO(moment), "2007-03-05");
    EXPECT_EQ(DateTimeToISO(moment), "2007-03-05 14:30:15");
    TDateTime back;
    ASSERT_TRUE(TryISOToDateTime("2007-03-05 14:30:15", back));
    EXPECT_NEAR(back.Val, moment.Val, 1e-9);
    ASSERT_TRUE(TryISOToDateTime("2007-03-05T14:30:15.5", back));
    EXPECT_NEAR(back.Val, moment.Val + 0.5 / 86400, 1e-9);
    ASSERT_TRUE(TryISOToDateTime("2007-03-05", back));
    EXPECT_DOUBLE_EQ(back.Val, 39146.0);
    for (const char* bad : {"2007-3-05", "2007-02-30", "2007-03-05 25:00:00", "2007-03-05 ",
                            "07-03-05", "2007-03-05 14:30:15Z", ""})
        EXPECT_FALSE(TryISOToDateTime(bad, back)) << bad;
}

namespace {

int LocalDay(std::time_t t) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    return (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
}

} // namespace

TEST(DateTime, TodayIsTheLocalCalendarDay) {
    // The clock is read several times; readings that midnight falls between
    // are taken again, which can happen once at most.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int dayBefore = LocalDay(std::time(nullptr));
        const TDateTime today = Date();
        const TDateTime now = Now();
        const TDateTime todayAgain = Date();
        if (LocalDay(std::time(nullptr)) != dayBefore || todayAgain.Val != today.Val) continue;
        int y, m, d;
        DecodeDate(today, y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, dayBefore);
        EXPECT_EQ(today.Val, std::floor(today.Val));
        const double sinceMidnight = now.Val - today.Val;
        EXPECT_GE(sinceMidnight, 0.0);
        EXPECT_LT(sinceMidnight, 1.0);
        return;
    }
    FAIL() << "the day changed twice while the clock was read";
}

TEST_F(ItalianDates, NumericDatePatternsGiveWhatTheGeneralReadingGives) {
    // An empty quoted text in front sends a pattern through the general
    // reading, which must agree with the short way numeric patterns take.
    const char* const patterns[] = {"dd/mm/yyyy", "d/m/yy", "yyyy-mm-dd", "mm.dd.yyyy", "d m y",
                                    "ddmmyyyyy", "dd/mm", "/", "yy", "d \xE8 m"};
    const TDateTime dates[] = {EncodeDate(2007, 3, 5),  EncodeDate(1899, 12, 30),
                               EncodeDate(1, 1, 1),     EncodeDate(9999, 12, 31),
                               EncodeDate(2020, 2, 29), TDateTime(-700000.75),
                               TDateTime(45000.5)};
    for (char separator : {'/', '-'}) {
        FormatSettings().DateSeparator = separator;
        for (const char* pattern : patterns) {
            for (const TDateTime& date : dates) {
                EXPECT_EQ(FormatDateTime(pattern, date),
                          FormatDateTime(AnsiString("''") + pattern, date))
                    << pattern << " " << date.Val;
            }
        }
    }
    EXPECT_EQ(FormatDateTime("d/m/yy", EncodeDate(2007, 3, 5)), "5-3-07");
    EXPECT_EQ(FormatDateTime("yyyy", TDateTime(-700000.75)).str().front(), '-');
    // Patterns with more than numbers keep the general reading.
    FormatSettings().TimeSeparator = '.';
    EXPECT_EQ(FormatDateTime("dd:mm", EncodeDate(2007, 3, 5)), "05.03");
    EXPECT_EQ(FormatDateTime("ddd dd", EncodeDate(2007, 3, 5)), "lun 05");
    EXPECT_EQ(FormatDateTime("mmm", EncodeDate(2007, 3, 5)), "mar");
}
