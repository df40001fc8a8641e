#include "platform/data/Field.h"

#include "platform/core/Exception.h"
#include "platform/core/Locale.h"
#include "platform/data/DataSet.h"
#include "platform/data/Decimal.h"
#include "platform/data/FormatFloat.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

using dbengine::DbValue;

namespace {

bool TextIsEmpty(const Variant& v) {
    return v.Type() == TVarType::varString && v.ToString().Trim().IsEmpty();
}

} // namespace

// --- TField ---------------------------------------------------------------

TField::TField(TComponent* owner) : TComponent(owner) {}

TField::TField(TComponent* owner, TFieldType type) : TComponent(owner), dataType_(type) {}

TField::~TField() {
    if (dataSet_) dataSet_->RemoveField(this);
}

int TField::DisplayWidth() const {
    if (displayWidth_ > 0) return displayWidth_;
    switch (dataType_) {
    case ftString:
        return size_ > 0 ? size_ : 20;
    case ftBoolean:
        return 5;
    case ftDateTime:
        return 18;
    default:
        return 10;
    }
}

bool TField::IsNumeric() const {
    switch (dataType_) {
    case ftInteger:
    case ftLargeint:
    case ftAutoInc:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
        return true;
    default:
        return false;
    }
}

int TField::Index() const {
    return dataSet_ ? dataSet_->Fields()->IndexOf(this) : -1;
}

void TField::SetDataSet(TDataSet* dataSet) {
    if (dataSet == dataSet_) return;
    if (dataSet_) dataSet_->RemoveField(this);
    if (dataSet) dataSet->AddField(this);
}

const Variant& TField::CurrentValue() const {
    static const Variant null;
    return dataSet_ ? dataSet_->FieldValue(this) : null;
}

AnsiString TField::FieldError(const char* what) const {
    AnsiString msg = AnsiString(what) + " '" + fieldName_ + "'";
    if (dataSet_) msg += " di " + dataSet_->DisplayName();
    return msg;
}

AnsiString TField::AsString() const {
    return TextOf(CurrentValue());
}

int TField::AsInteger() const {
    const Variant& v = CurrentValue();
    return v.IsNull() ? 0 : v.ToInt();
}

std::int64_t TField::AsLargeInt() const {
    const Variant& v = CurrentValue();
    return v.IsNull() ? 0 : v.ToInt64();
}

bool TField::AsBoolean() const {
    const Variant& v = CurrentValue();
    return v.IsNull() ? false : v.ToBool();
}

TDateTime TField::AsDateTime() const {
    const Variant& v = CurrentValue();
    return v.IsNull() ? TDateTime(0.0) : v.ToDateTime();
}

Currency TField::AsCurrency() const {
    const Variant& v = CurrentValue();
    return v.IsNull() ? Currency{} : v.ToCurrency();
}

double TField::AsFloat() const {
    const Variant& v = CurrentValue();
    return v.IsNull() ? 0.0 : v.ToDouble();
}

Variant TField::AsVariant() const {
    return CurrentValue();
}

bool TField::IsNull() const {
    return CurrentValue().IsNull();
}

void TField::SetAsVariant(const Variant& value) {
    if (!dataSet_) throw EDatabaseError(FieldError("Nessun dataset per il campo"));
    dataSet_->SetFieldValue(this, Coerce(value));
}

void TField::SetAsString(const AnsiString& value) {
    SetAsVariant(Variant(value));
}
void TField::SetAsInteger(int value) {
    SetAsVariant(Variant(value));
}
void TField::SetAsLargeInt(std::int64_t value) {
    SetAsVariant(Variant(static_cast<long long>(value)));
}
void TField::SetAsBoolean(bool value) {
    SetAsVariant(Variant(value));
}
void TField::SetAsDateTime(TDateTime value) {
    SetAsVariant(Variant(value));
}
void TField::SetAsCurrency(Currency value) {
    SetAsVariant(Variant(value));
}
void TField::SetAsFloat(double value) {
    SetAsVariant(Variant(value));
}
void TField::Clear() {
    SetAsVariant(Variant());
}

AnsiString TField::DisplayText() const {
    return DisplayTextOf(CurrentValue());
}

AnsiString TField::DisplayTextOf(const Variant& value) const {
    return TextOf(value);
}

AnsiString TField::TextOf(const Variant& value) const {
    return value.ToString();
}

Variant TField::Coerce(const Variant& value) const {
    return value;
}

Variant TField::FromStorage(const DbValue& value) const {
    switch (value.index()) {
    case 1:
        return Variant(static_cast<long long>(std::get<std::int64_t>(value)));
    case 2:
        return Variant(std::get<double>(value));
    case 3:
        return Variant(AnsiString(std::get<std::string>(value)));
    default:
        return Variant();
    }
}

DbValue TField::ToStorage(const Variant& value) const {
    if (value.IsNull()) return DbValue();
    return DbValue(value.ToString().str());
}

void TField::ApplyDef(const TFieldDef& def) {
    if (size_ == 0) size_ = def.Size;
    if (def.Required) required_ = true;
}

// --- strings ----------------------------------------------------------------

TStringField::TStringField(TComponent* owner) : TField(owner, ftString) {}
TStringField::TStringField(TComponent* owner, TFieldType type) : TField(owner, type) {}

Variant TStringField::Coerce(const Variant& value) const {
    if (value.IsNull()) return value;
    AnsiString text = value.ToString();
    if (DataType() == ftString && Size() > 0 && text.Length() > Size()) text.SetLength(Size());
    return Variant(text);
}

Variant TStringField::FromStorage(const DbValue& value) const {
    switch (value.index()) {
    case 1:
        return Variant(IntToStr(std::get<std::int64_t>(value)));
    case 2:
        return Variant(AnsiString(std::get<double>(value)));
    case 3:
        return Variant(AnsiString(std::get<std::string>(value)));
    default:
        return Variant();
    }
}

Variant TStringField::TakeStorage(DbValue&& value) const {
    if (value.index() == 3) return Variant(AnsiString(std::move(std::get<std::string>(value))));
    return FromStorage(value);
}

DbValue TStringField::ToStorage(const Variant& value) const {
    if (value.IsNull()) return DbValue();
    return DbValue(value.ToString().str());
}

TMemoField::TMemoField(TComponent* owner) : TStringField(owner, ftMemo) {}

// --- booleans ---------------------------------------------------------------

TBooleanField::TBooleanField(TComponent* owner) : TField(owner, ftBoolean) {}

AnsiString TBooleanField::TextOf(const Variant& value) const {
    if (value.IsNull()) return AnsiString();
    return value.ToBool() ? "True" : "False";
}

Variant TBooleanField::Coerce(const Variant& value) const {
    if (value.IsNull() || TextIsEmpty(value)) return Variant();
    if (value.Type() == TVarType::varString) {
        const AnsiString t = value.ToString().Trim();
        for (const char* yes : {"T", "S", "Y", "Si", "S\xEC", "Yes"})
            if (t.EqualsIC(yes)) return Variant(true);
        for (const char* no : {"F", "N", "No"})
            if (t.EqualsIC(no)) return Variant(false);
    }
    return Variant(value.ToBool());
}

Variant TBooleanField::FromStorage(const DbValue& value) const {
    switch (value.index()) {
    case 1:
        return Variant(std::get<std::int64_t>(value) != 0);
    case 2:
        return Variant(std::get<double>(value) != 0.0);
    case 3: {
        try {
            return Coerce(Variant(AnsiString(std::get<std::string>(value))));
        } catch (const Exception&) {
            return Variant();
        }
    }
    default:
        return Variant();
    }
}

DbValue TBooleanField::ToStorage(const Variant& value) const {
    if (value.IsNull()) return DbValue();
    return DbValue(std::int64_t{value.ToBool() ? 1 : 0});
}

// --- dates --------------------------------------------------------------------

TDateTimeField::TDateTimeField(TComponent* owner) : TField(owner, ftDateTime) {}
TDateTimeField::TDateTimeField(TComponent* owner, TFieldType type) : TField(owner, type) {}

AnsiString TDateTimeField::TextOf(const Variant& value) const {
    if (value.IsNull()) return AnsiString();
    const TDateTime d = value.ToDateTime();
    return DataType() == ftDate ? DateToStr(d) : DateTimeToStr(d);
}

AnsiString TDateTimeField::DisplayTextOf(const Variant& value) const {
    if (value.IsNull() || displayFormat_.IsEmpty()) return TextOf(value);
    return FormatDateTime(displayFormat_, value.ToDateTime());
}

Variant TDateTimeField::Coerce(const Variant& value) const {
    if (value.IsNull() || TextIsEmpty(value)) return Variant();
    TDateTime d = value.ToDateTime();
    if (DataType() == ftDate) d = TDateTime(std::trunc(d.Val));
    return Variant(d);
}

Variant TDateTimeField::FromStorage(const DbValue& value) const {
    switch (value.index()) {
    case 1:
        return Coerce(Variant(TDateTime(static_cast<double>(std::get<std::int64_t>(value)))));
    case 2:
        return Coerce(Variant(TDateTime(std::get<double>(value))));
    case 3: {
        TDateTime d;
        if (!TryISOToDateTime(std::get<std::string>(value), d)) return Variant();
        return Coerce(Variant(d));
    }
    default:
        return Variant();
    }
}

DbValue TDateTimeField::ToStorage(const Variant& value) const {
    if (value.IsNull()) return DbValue();
    const TDateTime d = value.ToDateTime();
    return DbValue((DataType() == ftDate ? DateToISO(d) : DateTimeToISO(d)).str());
}

TDateField::TDateField(TComponent* owner) : TDateTimeField(owner, ftDate) {}

// --- numbers ----------------------------------------------------------------

TNumericField::TNumericField(TComponent* owner, TFieldType type) : TField(owner, type) {}

AnsiString TNumericField::DisplayTextOf(const Variant& value) const {
    if (value.IsNull() || displayFormat_.IsEmpty()) return TextOf(value);
    if ((DataType() == ftBCD || DataType() == ftCurrency) && value.Type() == TVarType::varCurrency)
        return FormatCurr(displayFormat_, value.ToCurrency());
    return FormatFloat(displayFormat_, value.ToDouble());
}

TIntegerField::TIntegerField(TComponent* owner) : TNumericField(owner, ftInteger) {}
TIntegerField::TIntegerField(TComponent* owner, TFieldType type) : TNumericField(owner, type) {}

AnsiString TIntegerField::TextOf(const Variant& value) const {
    if (value.IsNull()) return AnsiString();
    return IntToStr(value.ToInt64());
}

Variant TIntegerField::Coerce(const Variant& value) const {
    if (value.IsNull() || TextIsEmpty(value)) return Variant();
    // What the field keeps must read back as its type: a 32-bit integer
    // unless it is a large integer.
    const auto fits = [this](long long v) {
        return DataType() == ftLargeint || (v >= std::numeric_limits<std::int32_t>::min() &&
                                            v <= std::numeric_limits<std::int32_t>::max());
    };
    if (value.Type() == TVarType::varString) {
        // Whole numbers only: "12,5" in an integer field is a mistake, not 12.
        const AnsiString t = value.ToString().Trim();
        char* end = nullptr;
        errno = 0;
        const long long v = std::strtoll(t.c_str(), &end, 10);
        if (end != t.c_str() + t.Length() || errno == ERANGE || !fits(v))
            throw EConvertError("'" + t + "' non \xE8 un valore intero valido");
        return Variant(v);
    }
    const long long v = value.ToInt64();
    if (!fits(v)) throw EConvertError("'" + IntToStr(v) + "' non \xE8 un valore intero valido");
    return Variant(v);
}

Variant TIntegerField::FromStorage(const DbValue& value) const {
    switch (value.index()) {
    case 1:
        return Variant(static_cast<long long>(std::get<std::int64_t>(value)));
    case 2:
        return Variant(static_cast<long long>(std::llround(std::get<double>(value))));
    case 3: {
        const std::string& s = std::get<std::string>(value);
        char* end = nullptr;
        const long long v = std::strtoll(s.c_str(), &end, 10);
        if (s.empty() || end != s.c_str() + s.size()) return Variant();
        return Variant(v);
    }
    default:
        return Variant();
    }
}

DbValue TIntegerField::ToStorage(const Variant& value) const {
    if (value.IsNull()) return DbValue();
    return DbValue(value.ToInt64());
}

TLargeintField::TLargeintField(TComponent* owner) : TIntegerField(owner, ftLargeint) {}
TAutoIncField::TAutoIncField(TComponent* owner) : TIntegerField(owner, ftAutoInc) {}

TFloatField::TFloatField(TComponent* owner) : TNumericField(owner, ftFloat) {}
TFloatField::TFloatField(TComponent* owner, TFieldType type) : TNumericField(owner, type) {}

AnsiString TFloatField::TextOf(const Variant& value) const {
    if (value.IsNull()) return AnsiString();
    return AnsiString(value.ToDouble());
}

Variant TFloatField::Coerce(const Variant& value) const {
    if (value.IsNull() || TextIsEmpty(value)) return Variant();
    return Variant(value.ToDouble());
}

Variant TFloatField::FromStorage(const DbValue& value) const {
    switch (value.index()) {
    case 1:
        return Variant(static_cast<double>(std::get<std::int64_t>(value)));
    case 2:
        return Variant(std::get<double>(value));
    case 3: {
        const std::string& s = std::get<std::string>(value);
        char* end = nullptr;
        const double v = std::strtod(s.c_str(), &end);
        if (s.empty() || end != s.c_str() + s.size()) return Variant();
        return Variant(v);
    }
    default:
        return Variant();
    }
}

DbValue TFloatField::ToStorage(const Variant& value) const {
    if (value.IsNull()) return DbValue();
    return DbValue(value.ToDouble());
}

TBCDField::TBCDField(TComponent* owner) : TNumericField(owner, ftBCD) {}
TBCDField::TBCDField(TComponent* owner, TFieldType type) : TNumericField(owner, type) {}

void TBCDField::SetScale(int scale) {
    scale_ = std::clamp(scale, 0, 4);
}

namespace {

// An amount in units of 10^-4, when a Currency holds it.
bool FitsCurrency(std::int64_t units, int scale) {
    static constexpr std::int64_t pow10[] = {10000, 1000, 100, 10, 1};
    const std::int64_t factor = pow10[scale];
    return units <= INT64_MAX / factor && units >= INT64_MIN / factor;
}

} // namespace

// Amounts beyond what a Currency holds stay the integer or the real the file
// gave, so that every value of a wide column still reads and renders.
AnsiString TBCDField::TextOf(const Variant& value) const {
    switch (value.Type()) {
    case TVarType::varNull:
        return AnsiString();
    case TVarType::varInteger:
        return IntToStr(value.ToInt64());
    case TVarType::varDouble:
        return AnsiString(dbengine::FormatDouble(value.ToDouble(), scale_,
                                                 FormatSettings().DecimalSeparator));
    default:
        return CurrToStr(value.ToCurrency());
    }
}

Variant TBCDField::Coerce(const Variant& value) const {
    if (value.IsNull() || TextIsEmpty(value)) return Variant();
    const TVarType type = value.Type();
    if (type == TVarType::varInteger) {
        const std::int64_t v = value.ToInt64();
        if (!FitsCurrency(v, 0)) return value;
    } else if (type == TVarType::varDouble) {
        std::int64_t units = 0;
        if (!dbengine::DoubleToUnits(value.ToDouble(), scale_, units) ||
            !FitsCurrency(units, scale_))
            return Variant(std::strtod(
                dbengine::FormatDouble(value.ToDouble(), scale_, '.').c_str(), nullptr));
    }
    const Currency c = value.ToCurrency();
    const std::int64_t kept = dbengine::Rescale(dbengine::Rescale(c.Value, 4, scale_), scale_, 4);
    return Variant(Currency::FromUnits(kept));
}

Variant TBCDField::FromStorage(const DbValue& value) const {
    std::int64_t units = 0;
    switch (value.index()) {
    case 1: {
        const std::int64_t v = std::get<std::int64_t>(value);
        if (!FitsCurrency(v, 0)) return Variant(static_cast<long long>(v));
        return Variant(Currency::FromUnits(v * 10000));
    }
    case 2: {
        const double v = std::get<double>(value);
        if (!std::isfinite(v)) return Variant();
        if (!dbengine::DoubleToUnits(v, scale_, units) || !FitsCurrency(units, scale_))
            return Coerce(Variant(v));
        break;
    }
    case 3: {
        const std::string& s = std::get<std::string>(value);
        if (!dbengine::ParseDecimal(s, '.', scale_, units) || !FitsCurrency(units, scale_)) {
            // Too long for a Currency: the nearest real.
            char* end = nullptr;
            const double v = std::strtod(s.c_str(), &end);
            if (s.empty() || end != s.c_str() + s.size() || !std::isfinite(v)) return Variant();
            return Coerce(Variant(v));
        }
        break;
    }
    default:
        return Variant();
    }
    return Variant(Currency::FromUnits(dbengine::Rescale(units, scale_, 4)));
}

DbValue TBCDField::ToStorage(const Variant& value) const {
    if (value.IsNull()) return DbValue();
    if (value.Type() == TVarType::varInteger) return DbValue(value.ToInt64());
    if (value.Type() == TVarType::varDouble) return DbValue(value.ToDouble());
    const std::int64_t units = dbengine::Rescale(value.ToCurrency().Value, 4, scale_);
    // Numeric columns turn decimal text into a real anyway; a whole amount
    // goes as an integer, and a real holds up to 15 digits exactly.
    static constexpr std::int64_t pow10[] = {1, 10, 100, 1000, 10000};
    if (units % pow10[scale_] == 0) return DbValue(units / pow10[scale_]);
    const std::string text = dbengine::FormatUnits(units, scale_, '.', scale_);
    int digits = 0;
    for (char c : text)
        digits += c >= '0' && c <= '9';
    if (digits <= 15) return DbValue(std::strtod(text.c_str(), nullptr));
    return DbValue(text);
}

TCurrencyField::TCurrencyField(TComponent* owner) : TBCDField(owner, ftCurrency) {}

// --- TFields ----------------------------------------------------------------

TField* TFields::Fields(int index) const {
    if (index < 0 || index >= Count())
        throw ERangeError("Indice di campo " + IntToStr(index) + " fuori dai limiti");
    return fields_[static_cast<std::size_t>(index)];
}

TField* TFields::FindField(const AnsiString& name) const {
    for (TField* f : fields_)
        if (f->FieldName().Length() == name.Length() && f->FieldName().EqualsIC(name)) return f;
    return nullptr;
}

int TFields::IndexOf(const TField* field) const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i] == field) return static_cast<int>(i);
    return -1;
}

// --- factory ------------------------------------------------------------------

TField* CreateField(TFieldType type, TComponent* owner) {
    switch (type) {
    case ftString:
        return new TStringField(owner);
    case ftMemo:
        return new TMemoField(owner);
    case ftInteger:
        return new TIntegerField(owner);
    case ftLargeint:
        return new TLargeintField(owner);
    case ftAutoInc:
        return new TAutoIncField(owner);
    case ftBoolean:
        return new TBooleanField(owner);
    case ftFloat:
        return new TFloatField(owner);
    case ftCurrency:
        return new TCurrencyField(owner);
    case ftBCD:
        return new TBCDField(owner);
    case ftDate:
        return new TDateField(owner);
    case ftDateTime:
        return new TDateTimeField(owner);
    case ftUnknown:
        break;
    }
    return new TStringField(owner);
}

const char* FieldTypeName(TFieldType type) {
    switch (type) {
    case ftUnknown:
        return "Unknown";
    case ftString:
        return "String";
    case ftInteger:
        return "Integer";
    case ftLargeint:
        return "Largeint";
    case ftAutoInc:
        return "AutoInc";
    case ftBoolean:
        return "Boolean";
    case ftFloat:
        return "Float";
    case ftCurrency:
        return "Currency";
    case ftBCD:
        return "BCD";
    case ftDate:
        return "Date";
    case ftDateTime:
        return "DateTime";
    case ftMemo:
        return "Memo";
    }
    return "?";
}
