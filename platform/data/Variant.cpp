#include "platform/data/Variant.h"

#include "platform/core/Locale.h"
#include "platform/data/Decimal.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

const char* TypeName(TVarType t) {
    switch (t) {
    case TVarType::varNull:
        return "Null";
    case TVarType::varInteger:
        return "Integer";
    case TVarType::varDouble:
        return "Double";
    case TVarType::varBoolean:
        return "Boolean";
    case TVarType::varString:
        return "String";
    case TVarType::varDate:
        return "Date";
    case TVarType::varCurrency:
        return "Currency";
    case TVarType::varArray:
        return "Array";
    }
    return "?";
}

[[noreturn]] void CastError(TVarType from, const char* to) {
    throw EVariantError(AnsiString("Impossibile convertire un Variant di tipo (") + TypeName(from) +
                        ") nel tipo (" + to + ")");
}

std::int64_t RoundToInt64(double v, TVarType from) {
    const double r = std::nearbyint(v); // half to even, as the platform rounds
    if (!std::isfinite(r) || r >= 9.2233720368547758e18 || r < -9.2233720368547758e18)
        CastError(from, "Integer");
    return static_cast<std::int64_t>(r);
}

bool TextToBool(const AnsiString& s, bool& out) {
    const AnsiString t = s.Trim();
    if (t.EqualsIC("True")) {
        out = true;
        return true;
    }
    if (t.EqualsIC("False")) {
        out = false;
        return true;
    }
    return false;
}

} // namespace

Variant::Variant(std::vector<Variant> items)
    : value_(std::make_shared<const std::vector<Variant>>(std::move(items))) {}

TVarType Variant::Type() const {
    switch (value_.index()) {
    case 0:
        return TVarType::varNull;
    case 1:
        return TVarType::varInteger;
    case 2:
        return TVarType::varDouble;
    case 3:
        return TVarType::varBoolean;
    case 4:
        return TVarType::varString;
    case 5:
        return TVarType::varDate;
    case 6:
        return TVarType::varCurrency;
    default:
        return TVarType::varArray;
    }
}

std::int64_t Variant::ToInt64() const {
    switch (Type()) {
    case TVarType::varInteger:
        return std::get<std::int64_t>(value_);
    case TVarType::varDouble:
        return RoundToInt64(std::get<double>(value_), Type());
    case TVarType::varDate:
        return RoundToInt64(std::get<TDateTime>(value_).Val, Type());
    case TVarType::varBoolean:
        return std::get<bool>(value_) ? -1 : 0;
    case TVarType::varCurrency:
        return dbengine::Rescale(std::get<Currency>(value_).Value, 4, 0);
    case TVarType::varString: {
        const AnsiString& s = std::get<AnsiString>(value_);
        const AnsiString t = s.Trim();
        errno = 0;
        char* end = nullptr;
        const long long v = std::strtoll(t.c_str(), &end, 10);
        if (!t.IsEmpty() && end == t.c_str() + t.Length() && errno == 0) return v;
        bool b;
        if (TextToBool(s, b)) return b ? -1 : 0;
        // "12,0" and the like: a number with decimals rounds.
        return RoundToInt64(s.ToDouble(), Type());
    }
    default:
        CastError(Type(), "Integer");
    }
}

int Variant::ToInt() const {
    const std::int64_t v = ToInt64();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        CastError(Type(), "Integer");
    return static_cast<int>(v);
}

double Variant::ToDouble() const {
    switch (Type()) {
    case TVarType::varInteger:
        return static_cast<double>(std::get<std::int64_t>(value_));
    case TVarType::varDouble:
        return std::get<double>(value_);
    case TVarType::varDate:
        return std::get<TDateTime>(value_).Val;
    case TVarType::varBoolean:
        return std::get<bool>(value_) ? -1.0 : 0.0;
    case TVarType::varCurrency:
        return std::get<Currency>(value_).ToDouble();
    case TVarType::varString: {
        const AnsiString& s = std::get<AnsiString>(value_);
        bool b;
        if (TextToBool(s, b)) return b ? -1.0 : 0.0;
        return s.ToDouble();
    }
    default:
        CastError(Type(), "Double");
    }
}

bool Variant::ToBool() const {
    switch (Type()) {
    case TVarType::varInteger:
        return std::get<std::int64_t>(value_) != 0;
    case TVarType::varDouble:
        return std::get<double>(value_) != 0.0;
    case TVarType::varDate:
        return std::get<TDateTime>(value_).Val != 0.0;
    case TVarType::varBoolean:
        return std::get<bool>(value_);
    case TVarType::varCurrency:
        return std::get<Currency>(value_).Value != 0;
    case TVarType::varString: {
        const AnsiString& s = std::get<AnsiString>(value_);
        bool b;
        if (TextToBool(s, b)) return b;
        try {
            return s.ToDouble() != 0.0;
        } catch (const EConvertError&) {
            throw EConvertError("'" + s + "' non \xE8 un valore booleano valido");
        }
    }
    default:
        CastError(Type(), "Boolean");
    }
}

AnsiString Variant::ToString() const {
    switch (Type()) {
    case TVarType::varNull:
        return AnsiString();
    case TVarType::varInteger:
        return IntToStr(std::get<std::int64_t>(value_));
    case TVarType::varDouble:
        return AnsiString(std::get<double>(value_));
    case TVarType::varDate:
        return DateTimeToStr(std::get<TDateTime>(value_));
    case TVarType::varBoolean:
        return std::get<bool>(value_) ? "True" : "False";
    case TVarType::varCurrency:
        return CurrToStr(std::get<Currency>(value_));
    case TVarType::varString:
        return std::get<AnsiString>(value_);
    default:
        CastError(Type(), "String");
    }
}

TDateTime Variant::ToDateTime() const {
    switch (Type()) {
    case TVarType::varDate:
        return std::get<TDateTime>(value_);
    case TVarType::varString: {
        const AnsiString& s = std::get<AnsiString>(value_);
        TDateTime result;
        if (TryISOToDateTime(s.str(), result)) return result;
        // Short date, optionally followed by a time.
        const int space = s.Trim().Pos(" ");
        if (space == 0) return StrToDate(s.Trim());
        const AnsiString t = s.Trim();
        TDateTime day = StrToDate(t.SubString(1, space - 1));
        const AnsiString time = t.SubString(space + 1, t.Length());
        int h = 0, m = 0, sec = 0;
        if (std::sscanf(time.c_str(), "%d:%d:%d", &h, &m, &sec) < 2)
            throw EConvertError("'" + s + "' non \xE8 una data valida");
        const TDateTime tm = EncodeTime(h, m, sec);
        return TDateTime(day.Val >= 0 ? day.Val + tm.Val : day.Val - tm.Val);
    }
    case TVarType::varNull:
    case TVarType::varArray:
        CastError(Type(), "Date");
    default:
        return TDateTime(ToDouble());
    }
}

Currency Variant::ToCurrency() const {
    switch (Type()) {
    case TVarType::varCurrency:
        return std::get<Currency>(value_);
    case TVarType::varInteger: {
        const std::int64_t v = std::get<std::int64_t>(value_);
        if (v > std::numeric_limits<std::int64_t>::max() / 10000 ||
            v < std::numeric_limits<std::int64_t>::min() / 10000)
            CastError(Type(), "Currency");
        return Currency::FromUnits(v * 10000);
    }
    case TVarType::varDouble: {
        std::int64_t units;
        if (!dbengine::DoubleToUnits(std::get<double>(value_), 4, units))
            CastError(Type(), "Currency");
        return Currency::FromUnits(units);
    }
    case TVarType::varString: {
        const AnsiString& s = std::get<AnsiString>(value_);
        std::int64_t units;
        if (!dbengine::ParseDecimal(s.str(), FormatSettings().DecimalSeparator, 4, units))
            throw EConvertError("'" + s + "' non \xE8 un importo valido");
        return Currency::FromUnits(units);
    }
    case TVarType::varBoolean:
        return Currency::FromUnits(std::get<bool>(value_) ? -10000 : 0);
    case TVarType::varDate:
        return Currency::FromDouble(std::get<TDateTime>(value_).Val);
    default:
        CastError(Type(), "Currency");
    }
}

int Variant::ArrayCount() const {
    if (!IsArray()) return 0;
    return static_cast<int>(std::get<Items>(value_)->size());
}

const Variant& Variant::ArrayItem(int index) const {
    if (index < 0 || index >= ArrayCount())
        throw ERangeError("Indice " + IntToStr(index) + " fuori dai limiti del Variant");
    return (*std::get<Items>(value_))[static_cast<std::size_t>(index)];
}

bool operator==(const Variant& a, const Variant& b) {
    const TVarType ta = a.Type(), tb = b.Type();
    if (ta == TVarType::varNull || tb == TVarType::varNull) return ta == tb;
    if (ta == TVarType::varArray || tb == TVarType::varArray) {
        if (ta != tb || a.ArrayCount() != b.ArrayCount()) return false;
        for (int i = 0; i < a.ArrayCount(); ++i)
            if (!(a.ArrayItem(i) == b.ArrayItem(i))) return false;
        return true;
    }
    if (ta == TVarType::varString && tb == TVarType::varString)
        return std::get<AnsiString>(a.value_) == std::get<AnsiString>(b.value_);
    if (ta == TVarType::varString || tb == TVarType::varString) {
        // A text against a number compares as text, as the field would render it.
        return a.ToString() == b.ToString();
    }
    if (ta == TVarType::varCurrency || tb == TVarType::varCurrency) {
        try {
            return a.ToCurrency() == b.ToCurrency();
        } catch (const Exception&) {
            return false;
        }
    }
    if (ta == TVarType::varInteger && tb == TVarType::varInteger)
        return std::get<std::int64_t>(a.value_) == std::get<std::int64_t>(b.value_);
    if (ta == TVarType::varBoolean && tb == TVarType::varBoolean)
        return std::get<bool>(a.value_) == std::get<bool>(b.value_);
    return a.ToDouble() == b.ToDouble();
}

Variant VarArrayOf(std::initializer_list<Variant> items) {
    return Variant(std::vector<Variant>(items));
}

AnsiString CurrToStr(Currency value) {
    return AnsiString(dbengine::FormatUnits(value.Value, 4, FormatSettings().DecimalSeparator, 0));
}
