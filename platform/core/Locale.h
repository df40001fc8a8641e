#pragma once
// The user's number and date settings, read from the environment's locale
// name (LC_ALL, then LC_NUMERIC / LC_TIME, then LANG) whether or not that
// locale is installed. Tests assign the fields directly.

#include "platform/core/AnsiString.h"

#include <string>

struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '/';
    AnsiString ShortDateFormat = "M/d/yyyy";
    char TimeSeparator = ':';
    AnsiString LongTimeFormat = "hh:nn:ss";
    AnsiString CurrencyString = "$";

    // The settings of a locale name such as "it_IT.UTF-8" or "C".
    static TFormatSettings ForLocale(const std::string& name);
    // The name the environment gives, "C" when it gives none.
    static std::string EnvironmentLocale(const char* category);
    // Numbers from LC_NUMERIC, dates and times from LC_TIME, the currency from
    // LC_MONETARY, each as the environment names it now.
    static TFormatSettings FromEnvironment();
    // The same, but a category for which the environment chooses no locale
    // (none named, or the C or POSIX locale, also as "C.UTF-8") takes the
    // settings of the fallback locale: a program's own default.
    static TFormatSettings FromEnvironment(const std::string& fallback);
    // True for a name that chooses no locale: "", "C", "POSIX", "C.UTF-8"...
    static bool ChoosesNoLocale(const std::string& name);
    // The settings of the locale the environment names for a category ("LC_NUMERIC").
    static TFormatSettings ForLocaleOf(const char* category) {
        return ForLocale(EnvironmentLocale(category));
    }
};

// The process-wide settings, initialised from the environment on first use.
TFormatSettings& FormatSettings();
