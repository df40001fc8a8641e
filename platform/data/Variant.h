#pragma once
// Variant: the platform's tagged value, used for field values, Locate keys
// and copies between fields. A default-constructed Variant is null.

#include "platform/core/AnsiString.h"
#include "platform/core/DateTime.h"
#include "platform/core/Exception.h"
#include "platform/core/Types.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <variant>
#include <vector>

// Raised when a variant cannot be converted to the requested type (a null
// read as a number, an array read as text...).
QUOR_DECLARE_EXCEPTION(EVariantError, Exception);

enum class TVarType {
    varNull,
    varInteger,
    varDouble,
    varBoolean,
    varString,
    varDate,
    varCurrency,
    varArray
};

class Variant {
public:
    Variant() = default;
    Variant(int value) : value_(static_cast<std::int64_t>(value)) {}
    Variant(long value) : value_(static_cast<std::int64_t>(value)) {}
    Variant(long long value) : value_(static_cast<std::int64_t>(value)) {}
    Variant(double value) : value_(value) {}
    Variant(bool value) : value_(value) {}
    Variant(const AnsiString& value) : value_(value) {}
    Variant(AnsiString&& value) : value_(std::move(value)) {}
    Variant(const char* value) : value_(AnsiString(value)) {}
    Variant(TDateTime value) : value_(value) {}
    Variant(Currency value) : value_(value) {}
    explicit Variant(std::vector<Variant> items);

    static Variant Null() { return Variant(); }

    TVarType Type() const;
    bool IsNull() const { return value_.index() == 0; }
    bool IsArray() const { return Type() == TVarType::varArray; }

    // The platform's conversions. A null raises EVariantError; text that is not
    // a number or date raises EConvertError; a double rounds half to even.
    int ToInt() const;
    std::int64_t ToInt64() const;
    double ToDouble() const;
    bool ToBool() const;         // text "True"/"False" or a number, non-zero is true
    AnsiString ToString() const; // null gives the empty text
    TDateTime ToDateTime() const;
    Currency ToCurrency() const;

    // Elements of an array variant; 0 for any other.
    int ArrayCount() const;
    const Variant& ArrayItem(int index) const; // ERangeError outside the array

    // Same kind and value; numbers of different kinds compare by value; two
    // nulls are equal.
    friend bool operator==(const Variant& a, const Variant& b);

private:
    using Items = std::shared_ptr<const std::vector<Variant>>;
    std::variant<std::monostate, std::int64_t, double, bool, AnsiString, TDateTime, Currency, Items>
        value_;
};

Variant VarArrayOf(std::initializer_list<Variant> items);
inline bool VarIsNull(const Variant& v) {
    return v.IsNull();
}
inline Variant Null() {
    return Variant();
}

// Exact text of a currency amount: general form, the locale's decimal
// separator, no trailing zeros ("12,5", "100", "-0,0001").
AnsiString CurrToStr(Currency value);
