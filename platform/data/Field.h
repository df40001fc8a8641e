#pragma once
// Fields of a dataset: typed access to one column of the current record.
// A field holds no value itself; it reads and writes the dataset's record.

#include "platform/core/AnsiString.h"
#include "platform/core/Component.h"
#include "platform/core/DateTime.h"
#include "platform/core/Types.h"
#include "platform/data/DbValue.h"
#include "platform/data/Variant.h"

#include <vector>

class TDataSet;

enum TFieldType {
    ftUnknown,
    ftString,
    ftInteger,
    ftLargeint,
    ftAutoInc,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftDateTime,
    ftMemo,
};

// The description of a column as a dataset finds it when opening.
struct TFieldDef {
    AnsiString Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;      // characters of a string column
    int Precision = 0; // digits of a BCD column
    int Scale = 0;     // decimals of a BCD column
    bool Required = false;
};

class TField : public TComponent {
public:
    explicit TField(TComponent* owner = nullptr);
    ~TField() override;
    QUOR_CLASS_NAME(TField)

    const AnsiString& FieldName() const { return fieldName_; }
    void SetFieldName(const AnsiString& name) { fieldName_ = name; }
    // Defaults to the field name.
    AnsiString DisplayLabel() const { return displayLabel_.IsEmpty() ? fieldName_ : displayLabel_; }
    void SetDisplayLabel(const AnsiString& label) { displayLabel_ = label; }
    // Characters a grid column shows; defaults by type (Size for strings).
    int DisplayWidth() const;
    void SetDisplayWidth(int width) { displayWidth_ = width; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool Required() const { return required_; }
    void SetRequired(bool required) { required_ = required; }
    int Size() const { return size_; }
    void SetSize(int size) { size_ = size; }
    TFieldType DataType() const { return dataType_; }
    bool IsNumeric() const;

    // Position in the dataset's Fields, -1 when not in a dataset.
    int Index() const;
    TDataSet* DataSet() const { return dataSet_; }
    // Adds the field to the dataset's persistent field list (at its end), or
    // removes it with null. The dataset must be closed.
    void SetDataSet(TDataSet* dataSet);

    // Values of the current record; with no current record, the null value
    // of the type (0, false, empty text, date 0).
    AnsiString AsString() const;
    int AsInteger() const;
    std::int64_t AsLargeInt() const;
    bool AsBoolean() const;
    TDateTime AsDateTime() const;
    Currency AsCurrency() const;
    double AsFloat() const;
    Variant AsVariant() const;
    Variant Value() const { return AsVariant(); }
    bool IsNull() const;

    // Writes need the dataset in edit or insert state and a writable field;
    // otherwise EDatabaseError. Text that does not fit the type raises
    // EConvertError; an empty text makes a non-text field null.
    void SetAsString(const AnsiString& value);
    void SetAsInteger(int value);
    void SetAsLargeInt(std::int64_t value);
    void SetAsBoolean(bool value);
    void SetAsDateTime(TDateTime value);
    void SetAsCurrency(Currency value);
    void SetAsFloat(double value);
    void SetAsVariant(const Variant& value);
    void SetValue(const Variant& value) { SetAsVariant(value); }
    void Clear();

    // What a grid shows for the current record, and for any value.
    AnsiString DisplayText() const;
    virtual AnsiString DisplayTextOf(const Variant& value) const;
    // The text of a value as AsString gives it.
    virtual AnsiString TextOf(const Variant& value) const;

    // Converts a value to the field's own representation (EConvertError or
    // EVariantError when it cannot). Null stays null.
    virtual Variant Coerce(const Variant& value) const;
    // From and to the driver's storage.
    virtual Variant FromStorage(const dbengine::DbValue& value) const;
    // The same from a value the caller no longer needs: text is moved, not copied.
    virtual Variant TakeStorage(dbengine::DbValue&& value) const { return FromStorage(value); }
    virtual dbengine::DbValue ToStorage(const Variant& value) const;

    // Copies the column's description (type checks happen in the dataset).
    void ApplyDef(const TFieldDef& def);

protected:
    TField(TComponent* owner, TFieldType type);
    void SetDataType(TFieldType type) { dataType_ = type; }
    // The value of the current record in the field's own representation,
    // valid until the dataset moves or changes.
    const Variant& CurrentValue() const;
    AnsiString FieldError(const char* what) const;

private:
    friend class TDataSet;
    AnsiString fieldName_;
    AnsiString displayLabel_;
    int displayWidth_ = 0;
    bool visible_ = true;
    bool readOnly_ = false;
    bool required_ = false;
    int size_ = 0;
    TFieldType dataType_ = ftUnknown;
    TDataSet* dataSet_ = nullptr;
    int column_ = -1;   // the column it is bound to, in the dataset's description
    int position_ = -1; // index in the dataset's record
};

class TStringField : public TField {
public:
    explicit TStringField(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TStringField)
    Variant Coerce(const Variant& value) const override;
    Variant FromStorage(const dbengine::DbValue& value) const override;
    Variant TakeStorage(dbengine::DbValue&& value) const override;
    dbengine::DbValue ToStorage(const Variant& value) const override;

protected:
    TStringField(TComponent* owner, TFieldType type);
};

class TMemoField : public TStringField {
public:
    explicit TMemoField(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TMemoField)
};

class TBooleanField : public TField {
public:
    explicit TBooleanField(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TBooleanField)
    AnsiString TextOf(const Variant& value) const override; // "True" / "False"
    Variant Coerce(const Variant& value) const override;
    Variant FromStorage(const dbengine::DbValue& value) const override;
    dbengine::DbValue ToStorage(const Variant& value) const override;
};

class TDateTimeField : public TField {
public:
    explicit TDateTimeField(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TDateTimeField)
    // FormatDateTime pattern for DisplayText; empty: as AsString.
    const AnsiString& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(const AnsiString& format) { displayFormat_ = format; }
    AnsiString TextOf(const Variant& value) const override;
    AnsiString DisplayTextOf(const Variant& value) const override;
    Variant Coerce(const Variant& value) const override;
    Variant FromStorage(const dbengine::DbValue& value) const override;
    dbengine::DbValue ToStorage(const Variant& value) const override;

protected:
    TDateTimeField(TComponent* owner, TFieldType type);

private:
    AnsiString displayFormat_;
};

// Whole days only: the time of day is dropped when stored.
class TDateField : public TDateTimeField {
public:
    explicit TDateField(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TDateField)
};

class TNumericField : public TField {
public:
    QUOR_CLASS_NAME(TNumericField)
    // FormatFloat patterns; DisplayFormat is what DisplayText applies.
    const AnsiString& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(const AnsiString& format) { displayFormat_ = format; }
    const AnsiString& EditFormat() const { return editFormat_; }
    void SetEditFormat(const AnsiString& format) { editFormat_ = format; }
    AnsiString DisplayTextOf(const Variant& value) const override;

protected:
    TNumericField(TComponent* owner, TFieldType type);

private:
    AnsiString displayFormat_;
    AnsiString editFormat_;
};

class TIntegerField : public TNumericField {
public:
    explicit TIntegerField(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TIntegerField)
    AnsiString TextOf(const Variant& value) const override;
    Variant Coerce(const Variant& value) const override;
    Variant FromStorage(const dbengine::DbValue& value) const override;
    dbengine::DbValue ToStorage(const Variant& value) const override;

protected:
    TIntegerField(TComponent* owner, TFieldType type);
};

class TLargeintField : public TIntegerField {
public:
    explicit TLargeintField(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TLargeintField)
};

class TAutoIncField : public TIntegerField {
public:
    explicit TAutoIncField(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TAutoIncField)
};

class TFloatField : public TNumericField {
public:
    explicit TFloatField(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TFloatField)
    AnsiString TextOf(const Variant& value) const override;
    Variant Coerce(const Variant& value) const override;
    Variant FromStorage(const dbengine::DbValue& value) const override;
    dbengine::DbValue ToStorage(const Variant& value) const override;

protected:
    TFloatField(TComponent* owner, TFieldType type);
};

// Exact decimal amounts, kept as Currency (four decimals at most). Stored as
// decimal text so that no cent is lost; integer, real or text storage reads.
class TBCDField : public TNumericField {
public:
    explicit TBCDField(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TBCDField)
    int Precision() const { return precision_; }
    void SetPrecision(int precision) { precision_ = precision; }
    // Decimals kept (0..4); values are rounded to them.
    int Scale() const { return scale_; }
    void SetScale(int scale);
    AnsiString TextOf(const Variant& value) const override;
    Variant Coerce(const Variant& value) const override;
    Variant FromStorage(const dbengine::DbValue& value) const override;
    dbengine::DbValue ToStorage(const Variant& value) const override;

protected:
    TBCDField(TComponent* owner, TFieldType type);

private:
    int precision_ = 32;
    int scale_ = 4;
};

// An amount in the currency: four exact decimals.
class TCurrencyField : public TBCDField {
public:
    explicit TCurrencyField(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TCurrencyField)
};

// The fields of a dataset in order. Does not own them: the dataset does.
class TFields {
public:
    int Count() const { return static_cast<int>(fields_.size()); }
    // ERangeError outside 0..Count()-1.
    TField* operator[](int index) const { return Fields(index); }
    TField* Fields(int index) const;
    // Case-insensitive; null when absent.
    TField* FindField(const AnsiString& name) const;
    int IndexOf(const TField* field) const;

private:
    friend class TDataSet;
    std::vector<TField*> fields_;
};

// A new field of the class that holds values of the type (owner may be null).
TField* CreateField(TFieldType type, TComponent* owner);
const char* FieldTypeName(TFieldType type);
