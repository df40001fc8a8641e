#include "platform/core/Locale.h"

#include <cstdlib>
#include <cstring>

namespace {

struct LocaleRow {
    const char* name; // language, or language_COUNTRY
    char decimal;
    char thousand;
    char dateSep;
    const char* shortDate;
    const char* currency;
};

// Our own table: the machine may not have the user's locale installed, and the
// settings must not depend on that.
constexpr LocaleRow kLocales[] = {
    {"it", ',', '.', '/', "dd/MM/yyyy", "\x80"},    {"it_CH", '.', '\'', '.', "dd.MM.yyyy", "CHF"},
    {"en", '.', ',', '/', "M/d/yyyy", "$"},         {"en_US", '.', ',', '/', "M/d/yyyy", "$"},
    {"en_GB", '.', ',', '/', "dd/MM/yyyy", "\xA3"}, {"en_IE", '.', ',', '/', "dd/MM/yyyy", "\x80"},
    {"de", ',', '.', '.', "dd.MM.yyyy", "\x80"},    {"de_CH", '.', '\'', '.', "dd.MM.yyyy", "CHF"},
    {"fr", ',', '\xA0', '/', "dd/MM/yyyy", "\x80"}, {"fr_CH", '.', '\'', '.', "dd.MM.yyyy", "CHF"},
    {"es", ',', '.', '/', "dd/MM/yyyy", "\x80"},
};

const LocaleRow* Find(const std::string& key) {
    for (const LocaleRow& row : kLocales)
        if (key == row.name) return &row;
    return nullptr;
}

const char* NonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);
    return (value && *value) ? value : nullptr;
}

} // namespace

TFormatSettings TFormatSettings::ForLocale(const std::string& name) {
    TFormatSettings settings;
    // "it_IT.UTF-8@euro" -> "it_IT"
    std::string base = name.substr(0, name.find_first_of(".@"));
    const LocaleRow* row = Find(base);
    if (!row) row = Find(base.substr(0, base.find('_')));
    if (!row) return settings; // C, POSIX and anything unknown
    settings.DecimalSeparator = row->decimal;
    settings.ThousandSeparator = row->thousand;
    settings.DateSeparator = row->dateSep;
    settings.ShortDateFormat = row->shortDate;
    settings.CurrencyString = row->currency;
    return settings;
}

std::string TFormatSettings::EnvironmentLocale(const char* category) {
    if (const char* all = NonEmptyEnv("LC_ALL")) return all;
    if (category)
        if (const char* value = NonEmptyEnv(category)) return value;
    if (const char* lang = NonEmptyEnv("LANG")) return lang;
    return "C";
}

bool TFormatSettings::ChoosesNoLocale(const std::string& name) {
    const std::string base = name.substr(0, name.find_first_of(".@"));
    return base.empty() || base == "C" || base == "POSIX";
}

TFormatSettings TFormatSettings::FromEnvironment() {
    return FromEnvironment(std::string());
}

TFormatSettings TFormatSettings::FromEnvironment(const std::string& fallback) {
    auto of = [&fallback](const char* category) {
        const std::string name = EnvironmentLocale(category);
        return ForLocale(!fallback.empty() && ChoosesNoLocale(name) ? fallback : name);
    };
    const TFormatSettings numeric = of("LC_NUMERIC");
    const TFormatSettings time = of("LC_TIME");
    const TFormatSettings money = of("LC_MONETARY");
    TFormatSettings s;
    s.DecimalSeparator = numeric.DecimalSeparator;
    s.ThousandSeparator = numeric.ThousandSeparator;
    s.DateSeparator = time.DateSeparator;
    s.ShortDateFormat = time.ShortDateFormat;
    s.TimeSeparator = time.TimeSeparator;
    s.LongTimeFormat = time.LongTimeFormat;
    s.CurrencyString = money.CurrencyString;
    return s;
}

TFormatSettings& FormatSettings() {
    static TFormatSettings settings = TFormatSettings::FromEnvironment();
    return settings;
}
