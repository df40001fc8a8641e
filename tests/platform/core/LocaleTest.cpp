#include "platform/core/Locale.h"
#include "platform/core/DateTime.h"

#include "TempDir.h"

#include <gtest/gtest.h>

TEST(Locale, TableCoversCommonLocalesWhetherInstalledOrNot) {
    const TFormatSettings it = TFormatSettings::ForLocale("it_IT.UTF-8");
    EXPECT_EQ(it.DecimalSeparator, ',');
    EXPECT_EQ(it.ThousandSeparator, '.');
    EXPECT_EQ(it.DateSeparator, '/');
    EXPECT_EQ(it.ShortDateFormat, "dd/MM/yyyy");
    EXPECT_EQ(it.CurrencyString, "\x80");
    EXPECT_EQ(TFormatSettings::ForLocale("it@euro").ShortDateFormat, "dd/MM/yyyy");

    const TFormatSettings de = TFormatSettings::ForLocale("de_AT.ISO-8859-15");
    EXPECT_EQ(de.DecimalSeparator, ',');
    EXPECT_EQ(de.DateSeparator, '.');

    const TFormatSettings us = TFormatSettings::ForLocale("en_US.UTF-8");
    EXPECT_EQ(us.DecimalSeparator, '.');
    EXPECT_EQ(us.ShortDateFormat, "M/d/yyyy");
    EXPECT_EQ(TFormatSettings::ForLocale("en_GB").ShortDateFormat, "dd/MM/yyyy");
    EXPECT_EQ(TFormatSettings::ForLocale("fr_FR").DecimalSeparator, ',');
    EXPECT_EQ(TFormatSettings::ForLocale("es_ES").ThousandSeparator, '.');

    for (const char* plain : {"C", "POSIX", "C.UTF-8", "xx_YY", ""}) {
        const TFormatSettings c = TFormatSettings::ForLocale(plain);
        EXPECT_EQ(c.DecimalSeparator, '.') << plain;
        EXPECT_EQ(c.ShortDateFormat, "M/d/yyyy") << plain;
    }
}

TEST(Locale, EnvironmentOrderIsLcAllThenCategoryThenLang) {
    ScopedEnv all("LC_ALL", nullptr);
    ScopedEnv numeric("LC_NUMERIC", nullptr);
    ScopedEnv lang("LANG", nullptr);
    EXPECT_EQ(TFormatSettings::EnvironmentLocale("LC_NUMERIC"), "C");
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(TFormatSettings::EnvironmentLocale("LC_NUMERIC"), "de_DE.UTF-8");
    setenv("LC_NUMERIC", "it_IT.UTF-8", 1);
    EXPECT_EQ(TFormatSettings::EnvironmentLocale("LC_NUMERIC"), "it_IT.UTF-8");
    EXPECT_EQ(TFormatSettings::EnvironmentLocale("LC_TIME"), "de_DE.UTF-8");
    setenv("LC_ALL", "", 1); // empty counts as unset
    EXPECT_EQ(TFormatSettings::EnvironmentLocale("LC_NUMERIC"), "it_IT.UTF-8");
    setenv("LC_ALL", "en_GB.UTF-8", 1);
    EXPECT_EQ(TFormatSettings::EnvironmentLocale("LC_NUMERIC"), "en_GB.UTF-8");
    EXPECT_EQ(TFormatSettings::ForLocaleOf("LC_TIME").ShortDateFormat, "dd/MM/yyyy");
}

TEST(Locale, ItalianUserGetsItalianSettingsEvenWithoutTheLocaleInstalled) {
    ScopedEnv all("LC_ALL", nullptr);
    ScopedEnv numeric("LC_NUMERIC", nullptr);
    ScopedEnv time("LC_TIME", "it_IT.UTF-8");
    ScopedEnv money("LC_MONETARY", nullptr);
    ScopedEnv lang("LANG", "en_US.UTF-8");
    TFormatSettings fromEnv = TFormatSettings::FromEnvironment();
    EXPECT_EQ(fromEnv.DecimalSeparator, '.'); // numbers still follow LANG
    EXPECT_EQ(fromEnv.ShortDateFormat, "dd/MM/yyyy");
    EXPECT_EQ(fromEnv.CurrencyString, "$");

    setenv("LANG", "it_IT.UTF-8", 1);
    fromEnv = TFormatSettings::FromEnvironment();
    EXPECT_EQ(fromEnv.DecimalSeparator, ',');
    EXPECT_EQ(fromEnv.ThousandSeparator, '.');
    EXPECT_EQ(fromEnv.DateSeparator, '/');
    EXPECT_EQ(fromEnv.CurrencyString, "\x80");
    const TFormatSettings saved = FormatSettings();
    FormatSettings() = fromEnv;
    EXPECT_EQ(DateToStr(EncodeDate(2007, 3, 5)), "05/03/2007");
    FormatSettings() = saved;
}

TEST(Locale, TheCAndPosixLocalesChooseNoneAndTakeTheProgramsDefault) {
    ScopedEnv all("LC_ALL", nullptr);
    ScopedEnv numeric("LC_NUMERIC", nullptr);
    ScopedEnv time("LC_TIME", nullptr);
    ScopedEnv money("LC_MONETARY", nullptr);
    ScopedEnv lang("LANG", nullptr);
    for (const char* none : {"C", "POSIX", "C.UTF-8", "C.utf8", "POSIX.UTF-8", ""})
        EXPECT_TRUE(TFormatSettings::ChoosesNoLocale(none)) << none;
    for (const char* chosen : {"it_IT.UTF-8", "en_US", "Catalan", "ca_ES.UTF-8"})
        EXPECT_FALSE(TFormatSettings::ChoosesNoLocale(chosen)) << chosen;

    // Nothing set at all, then each way of saying "no locale".
    for (const char* none : {static_cast<const char*>(nullptr), "C.UTF-8", "POSIX", "C"}) {
        if (none) setenv("LANG", none, 1);
        const TFormatSettings s = TFormatSettings::FromEnvironment("it_IT.UTF-8");
        EXPECT_EQ(s.DecimalSeparator, ',') << (none ? none : "unset");
        EXPECT_EQ(s.ShortDateFormat, "dd/MM/yyyy");
        EXPECT_EQ(s.CurrencyString, "\x80");
        // Without a default the platform's own settings stay.
        EXPECT_EQ(TFormatSettings::FromEnvironment().DecimalSeparator, '.');
    }
    // A chosen locale wins, category by category.
    setenv("LANG", "C.UTF-8", 1);
    setenv("LC_TIME", "en_US.UTF-8", 1);
    const TFormatSettings mixed = TFormatSettings::FromEnvironment("it_IT.UTF-8");
    EXPECT_EQ(mixed.DecimalSeparator, ',');
    EXPECT_EQ(mixed.ShortDateFormat, "M/d/yyyy");
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    EXPECT_EQ(TFormatSettings::FromEnvironment("it_IT.UTF-8").DateSeparator, '.');
}
