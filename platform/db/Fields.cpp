#include "platform/db/Fields.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "platform/core/Strings.h"
#include "platform/db/DataSet.h"
#include "platform/db/NumberFormat.h"

#define VELMORA_FIELD_CLASS(NAME, PARENT)                                                     \
    const TClassInfo& NAME::StaticClass() {                                                   \
        static const TClassInfo info(#NAME, &PARENT::StaticClass(),                            \
                                     [](TComponent* owner) -> TComponent* { return new NAME(owner); }); \
        return info;                                                                          \
    }

VELMORA_FIELD_CLASS(TStringField, TField)
VELMORA_FIELD_CLASS(TIntegerField, TNumericField)
VELMORA_FIELD_CLASS(TSmallintField, TIntegerField)
VELMORA_FIELD_CLASS(TWordField, TIntegerField)
VELMORA_FIELD_CLASS(TAutoIncField, TIntegerField)
VELMORA_FIELD_CLASS(TLargeintField, TNumericField)
VELMORA_FIELD_CLASS(TFloatField, TNumericField)
VELMORA_FIELD_CLASS(TCurrencyField, TFloatField)
VELMORA_FIELD_CLASS(TBCDField, TNumericField)
VELMORA_FIELD_CLASS(TBooleanField, TField)
VELMORA_FIELD_CLASS(TDateTimeField, TField)
VELMORA_FIELD_CLASS(TDateField, TDateTimeField)
VELMORA_FIELD_CLASS(TTimeField, TDateTimeField)
VELMORA_FIELD_CLASS(TBinaryField, TField)
VELMORA_FIELD_CLASS(TBytesField, TBinaryField)
VELMORA_FIELD_CLASS(TVarBytesField, TBytesField)
VELMORA_FIELD_CLASS(TBlobField, TField)
VELMORA_FIELD_CLASS(TMemoField, TBlobField)
VELMORA_FIELD_CLASS(TGraphicField, TBlobField)
VELMORA_FIELD_CLASS(TObjectField, TField)
VELMORA_FIELD_CLASS(TADTField, TObjectField)
VELMORA_FIELD_CLASS(TArrayField, TObjectField)
VELMORA_FIELD_CLASS(TReferenceField, TObjectField)
VELMORA_FIELD_CLASS(TDataSetField, TObjectField)

const TClassInfo& TNumericField::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TNumericField", &TField::StaticClass(),
                     [](TComponent* owner) -> TComponent* { return new TNumericField(owner); });
        c.Add(Property("DisplayFormat", &TNumericField::DisplayFormat, &TNumericField::SetDisplayFormat));
        c.Add(Property("EditFormat", &TNumericField::EditFormat, &TNumericField::SetEditFormat));
        return c;
    }();
    return info;
}

const TClassInfo& TAggregateField::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TAggregateField", &TField::StaticClass(),
                     [](TComponent* owner) -> TComponent* { return new TAggregateField(owner); });
        c.Add(Property("Expression", &TAggregateField::Expression, &TAggregateField::SetExpression));
        return c;
    }();
    return info;
}

namespace {

std::string UpperTypeText(TFieldType type) { return "(" + UpperCase(FieldTypeName(type)) + ")"; }

}  // namespace

// ---------------------------------------------------------------- text

TStringField::TStringField(TComponent* owner) : TField(owner) {
    SetDataType(TFieldType::ftString);
    SetSize(20);
}

Variant TStringField::Convert(const Variant& value) const {
    const std::string text = value.AsString();
    if (Size() > 0) return Variant(Utf8Left(text, static_cast<size_t>(Size())));
    return Variant(text);
}

// ---------------------------------------------------------------- numbers

void TNumericField::SetDisplayFormat(const std::string& format) {
    displayFormat_ = format;
    Changed();
}

std::string TNumericField::FormatText(const Variant& value, bool displayText) const {
    const std::string& format = (displayText || editFormat_.empty()) ? displayFormat_ : editFormat_;
    if (format.empty()) return value.AsString();
    return FormatFloat(format, value.AsDouble());
}

void TNumericField::SetTextValue(const std::string& text) {
    if (TrimView(text).empty()) Clear();
    else SetAsString(text);
}

TIntegerField::TIntegerField(TComponent* owner) : TNumericField(owner) { SetDataType(TFieldType::ftInteger); }

Variant TIntegerField::Convert(const Variant& value) const {
    int64_t n = 0;
    if (value.IsString()) {
        const std::string_view t = TrimView(value.StringRef());
        const char* begin = t.data() + (!t.empty() && t.front() == '+' ? 1 : 0);
        const auto r = std::from_chars(begin, t.data() + t.size(), n);
        if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size())
            throw EConvertError(VarQuote(value) + " is not a valid integer value");
    } else {
        n = value.AsInteger();
    }
    if (n < minValue_ || n > maxValue_)
        throw EDatabaseError(std::to_string(n) + " is not a valid value for field '" + DisplayName() +
                             "'. The allowed range is " + std::to_string(minValue_) + " to " +
                             std::to_string(maxValue_));
    return Variant(n);
}

TSmallintField::TSmallintField(TComponent* owner) : TIntegerField(owner) {
    SetDataType(TFieldType::ftSmallint);
    minValue_ = -32768;
    maxValue_ = 32767;
}

TWordField::TWordField(TComponent* owner) : TIntegerField(owner) {
    SetDataType(TFieldType::ftWord);
    minValue_ = 0;
    maxValue_ = 65535;
}

TAutoIncField::TAutoIncField(TComponent* owner) : TIntegerField(owner) { SetDataType(TFieldType::ftAutoInc); }

TLargeintField::TLargeintField(TComponent* owner) : TNumericField(owner) { SetDataType(TFieldType::ftLargeint); }

Variant TLargeintField::Convert(const Variant& value) const {
    if (value.IsString()) {
        int64_t n = 0;
        const std::string_view t = TrimView(value.StringRef());
        const char* begin = t.data() + (!t.empty() && t.front() == '+' ? 1 : 0);
        const auto r = std::from_chars(begin, t.data() + t.size(), n);
        if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size())
            throw EConvertError(VarQuote(value) + " is not a valid integer value");
        return Variant(n);
    }
    return Variant(value.AsInteger());
}

TFloatField::TFloatField(TComponent* owner) : TNumericField(owner) { SetDataType(TFieldType::ftFloat); }

Variant TFloatField::Convert(const Variant& value) const {
    const double d = value.AsDouble();   // EConvertError for text that is not a number
    if (!std::isfinite(d)) throw EConvertError(VarQuote(value) + " is not a valid floating point value");
    return Variant(d);
}

TCurrencyField::TCurrencyField(TComponent* owner) : TFloatField(owner) { SetDataType(TFieldType::ftCurrency); }

TBCDField::TBCDField(TComponent* owner) : TNumericField(owner) { SetDataType(TFieldType::ftBCD); }

Variant TBCDField::Convert(const Variant& value) const {
    const double d = value.AsDouble();
    if (!std::isfinite(d)) throw EConvertError(VarQuote(value) + " is not a valid BCD value");
    return Variant(d);
}

// ---------------------------------------------------------------- booleans and dates

TBooleanField::TBooleanField(TComponent* owner) : TField(owner) { SetDataType(TFieldType::ftBoolean); }

Variant TBooleanField::Convert(const Variant& value) const {
    if (value.IsString()) {
        const std::string_view t = TrimView(value.StringRef());
        if (SameText(t, "true")) return Variant(true);
        if (SameText(t, "false")) return Variant(false);
        throw EConvertError(VarQuote(value) + " is not a valid boolean value");
    }
    return Variant(value.AsBoolean());
}

std::string TBooleanField::FormatText(const Variant& value, bool) const {
    return value.AsBoolean() ? "True" : "False";
}

TDateTimeField::TDateTimeField(TComponent* owner) : TField(owner) { SetDataType(TFieldType::ftDateTime); }

Variant TDateTimeField::Convert(const Variant& value) const {
    if (value.IsString()) {
        TDateTime dt;
        if (!TextToDateTime(TrimView(value.StringRef()), dt))
            throw EConvertError(VarQuote(value) + " is not a valid date and time");
        return Variant(dt);
    }
    return Variant(value.AsDate());
}

std::string TDateTimeField::FormatText(const Variant& value, bool) const { return DateTimeToText(value.AsDate()); }

void TDateTimeField::SetTextValue(const std::string& text) {
    if (TrimView(text).empty()) Clear();
    else SetAsString(text);
}

TDateField::TDateField(TComponent* owner) : TDateTimeField(owner) { SetDataType(TFieldType::ftDate); }

Variant TDateField::Convert(const Variant& value) const {
    return Variant(TDateTime(std::floor(TDateTimeField::Convert(value).AsDate().Value)));
}

TTimeField::TTimeField(TComponent* owner) : TDateTimeField(owner) { SetDataType(TFieldType::ftTime); }

Variant TTimeField::Convert(const Variant& value) const {
    const double d = TDateTimeField::Convert(value).AsDate().Value;
    return Variant(TDateTime(d - std::floor(d)));
}

std::string TTimeField::FormatText(const Variant& value, bool) const {
    int h, m, s, ms;
    DecodeTime(value.AsDate(), h, m, s, ms);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, m, s);
    return buf;
}

// ---------------------------------------------------------------- bytes and blobs

Variant TBinaryField::Convert(const Variant& value) const { return Variant(value.AsString()); }
std::string TBinaryField::FormatText(const Variant&, bool) const { return UpperTypeText(DataType()); }

TBytesField::TBytesField(TComponent* owner) : TBinaryField(owner) { SetDataType(TFieldType::ftBytes); }
TVarBytesField::TVarBytesField(TComponent* owner) : TBytesField(owner) { SetDataType(TFieldType::ftVarBytes); }

TBlobField::TBlobField(TComponent* owner) : TField(owner) { SetDataType(TFieldType::ftBlob); }
Variant TBlobField::Convert(const Variant& value) const { return Variant(value.AsString()); }
std::string TBlobField::FormatText(const Variant&, bool) const { return UpperTypeText(DataType()); }

TMemoField::TMemoField(TComponent* owner) : TBlobField(owner) { SetDataType(TFieldType::ftMemo); }
std::string TMemoField::FormatText(const Variant& value, bool) const { return value.AsString(); }

TGraphicField::TGraphicField(TComponent* owner) : TBlobField(owner) { SetDataType(TFieldType::ftGraphic); }

// ---------------------------------------------------------------- objects

Variant TObjectField::Convert(const Variant& value) const {
    if (!value.IsArray()) throw EConvertError("Field '" + DisplayName() + "' takes an array value");
    return value;
}

std::string TObjectField::FormatText(const Variant&, bool) const { return UpperTypeText(DataType()); }

TADTField::TADTField(TComponent* owner) : TObjectField(owner) { SetDataType(TFieldType::ftADT); }
TArrayField::TArrayField(TComponent* owner) : TObjectField(owner) { SetDataType(TFieldType::ftArray); }
TReferenceField::TReferenceField(TComponent* owner) : TObjectField(owner) { SetDataType(TFieldType::ftReference); }

TDataSetField::TDataSetField(TComponent* owner) : TObjectField(owner) { SetDataType(TFieldType::ftDataSet); }
Variant TDataSetField::Value() const { return Variant::Null(); }
std::string TDataSetField::FormatText(const Variant&, bool) const { return UpperTypeText(DataType()); }

// ---------------------------------------------------------------- aggregates

TAggregateField::TAggregateField(TComponent* owner) : TField(owner) {
    SetFieldKind(TFieldKind::fkAggregate);
    SetVisible(false);
}

Variant TAggregateField::Value() const {
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active()) return Variant::Null();
    const size_t open = expression_.find('('), close = expression_.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open)
        throw EDatabaseError("Invalid aggregate expression '" + expression_ + "'");
    const std::string function = UpperCase(Trim(std::string_view(expression_).substr(0, open)));
    TField* source = ds->FieldByName(Trim(std::string_view(expression_).substr(open + 1, close - open - 1)));
    if (function != "SUM" && function != "MIN" && function != "MAX" && function != "AVG" && function != "COUNT")
        throw EDatabaseError("Invalid aggregate expression '" + expression_ + "'");
    Variant result = Variant::Null();
    double sum = 0;
    int64_t count = 0;
    struct Restore {
        TDataSet* ds;
        ~Restore() { ds->SetDisplayPosition(-1); }
    } restore{ds};
    for (int i = 0; i < ds->RecordCount(); ++i) {
        ds->SetDisplayPosition(i);
        const Variant v = source->Value();
        if (v.IsClear()) continue;
        ++count;
        if (function == "SUM" || function == "AVG") sum += v.AsDouble();
        else if (function == "MIN" && (result.IsNull() || Variant::Compare(v, result) < 0)) result = v;
        else if (function == "MAX" && (result.IsNull() || Variant::Compare(v, result) > 0)) result = v;
    }
    if (function == "COUNT") return Variant(count);
    if (count == 0) return Variant::Null();
    if (function == "SUM") return Variant(sum);
    if (function == "AVG") return Variant(sum / static_cast<double>(count));
    return result;
}

// ---------------------------------------------------------------- creation

TField* CreateField(TFieldType type, TComponent* owner) {
    using enum TFieldType;
    switch (type) {
        case ftString: return new TStringField(owner);
        case ftSmallint: return new TSmallintField(owner);
        case ftInteger: return new TIntegerField(owner);
        case ftWord: return new TWordField(owner);
        case ftBoolean: return new TBooleanField(owner);
        case ftFloat: return new TFloatField(owner);
        case ftCurrency: return new TCurrencyField(owner);
        case ftBCD: case ftFMTBcd: return new TBCDField(owner);
        case ftDate: return new TDateField(owner);
        case ftTime: return new TTimeField(owner);
        case ftDateTime: return new TDateTimeField(owner);
        case ftBytes: return new TBytesField(owner);
        case ftVarBytes: return new TVarBytesField(owner);
        case ftAutoInc: return new TAutoIncField(owner);
        case ftBlob: return new TBlobField(owner);
        case ftMemo: return new TMemoField(owner);
        case ftGraphic: return new TGraphicField(owner);
        case ftLargeint: return new TLargeintField(owner);
        case ftADT: return new TADTField(owner);
        case ftArray: return new TArrayField(owner);
        case ftReference: return new TReferenceField(owner);
        case ftDataSet: return new TDataSetField(owner);
        case ftUnknown: break;
    }
    throw EDatabaseError(std::string("No field class for type ") + FieldTypeName(type));
}

namespace {
// The 26 classes that stored definitions may name.
const std::vector<const TClassInfo*>& FieldClasses() {
    static const std::vector<const TClassInfo*> classes = {
        &TADTField::StaticClass(), &TAggregateField::StaticClass(), &TArrayField::StaticClass(),
        &TAutoIncField::StaticClass(), &TBCDField::StaticClass(), &TBinaryField::StaticClass(),
        &TBlobField::StaticClass(), &TBooleanField::StaticClass(), &TBytesField::StaticClass(),
        &TCurrencyField::StaticClass(), &TDateField::StaticClass(), &TDataSetField::StaticClass(),
        &TDateTimeField::StaticClass(), &TFloatField::StaticClass(), &TGraphicField::StaticClass(),
        &TIntegerField::StaticClass(), &TLargeintField::StaticClass(), &TMemoField::StaticClass(),
        &TNumericField::StaticClass(), &TObjectField::StaticClass(), &TReferenceField::StaticClass(),
        &TSmallintField::StaticClass(), &TStringField::StaticClass(), &TTimeField::StaticClass(),
        &TVarBytesField::StaticClass(), &TWordField::StaticClass()};
    return classes;
}
}  // namespace

void RegisterFieldClasses() {
    for (const TClassInfo* info : FieldClasses()) RegisterClass(*info);
}

void UnregisterFieldClasses() {
    for (const TClassInfo* info : FieldClasses()) UnregisterClass(*info);
}
