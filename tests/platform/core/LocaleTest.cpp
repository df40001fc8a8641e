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
