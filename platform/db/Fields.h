#pragma once
// The field classes, one per kind of column, registered by class name so that
// stored definitions naming them can be loaded (RegisterFieldClasses).
//
//   TStringField                      text cut to Size characters
//   TNumericField                     DisplayFormat / EditFormat ("#,##0.00")
//     TIntegerField (TSmallintField, TWordField, TAutoIncField), TLargeintField
//     TFloatField (TCurrencyField), TBCDField
//   TBooleanField                     text "True" / "False"
//   TDateTimeField (TDateField, TTimeField)
//   TBinaryField (TBytesField, TVarBytesField)   raw bytes
//   TBlobField (TMemoField, TGraphicField)
//   TObjectField (TADTField, TArrayField, TReferenceField, TDataSetField)
//   TAggregateField                   SUM/MIN/MAX/AVG/COUNT of a field over the records
#include <string>

#include "platform/db/Field.h"

class TStringField : public TField {
    VELMORA_CLASS(TStringField)
public:
    explicit TStringField(TComponent* owner);
protected:
    Variant Convert(const Variant& value) const override;
};

class TNumericField : public TField {
    VELMORA_CLASS(TNumericField)
public:
    using TField::TField;
    const std::string& DisplayFormat() const noexcept { return displayFormat_; }
    void SetDisplayFormat(const std::string& format);
    const std::string& EditFormat() const noexcept { return editFormat_; }
    void SetEditFormat(const std::string& format) { editFormat_ = format; }
protected:
    // Display uses DisplayFormat; editing uses EditFormat, else DisplayFormat.
    std::string FormatText(const Variant& value, bool displayText) const override;
    // An empty text clears the field.
    void SetTextValue(const std::string& text) override;
private:
    std::string displayFormat_;
    std::string editFormat_;
};

class TIntegerField : public TNumericField {
    VELMORA_CLASS(TIntegerField)
public:
    explicit TIntegerField(TComponent* owner);
protected:
    Variant Convert(const Variant& value) const override;   // whole numbers in the type's range
    int64_t minValue_ = -2147483648LL;
    int64_t maxValue_ = 2147483647LL;
};

class TSmallintField : public TIntegerField {
    VELMORA_CLASS(TSmallintField)
public:
    explicit TSmallintField(TComponent* owner);
};

class TWordField : public TIntegerField {
    VELMORA_CLASS(TWordField)
public:
    explicit TWordField(TComponent* owner);
};

class TAutoIncField : public TIntegerField {
    VELMORA_CLASS(TAutoIncField)
public:
    explicit TAutoIncField(TComponent* owner);
};

class TLargeintField : public TNumericField {
    VELMORA_CLASS(TLargeintField)
public:
    explicit TLargeintField(TComponent* owner);
protected:
    Variant Convert(const Variant& value) const override;
};

class TFloatField : public TNumericField {
    VELMORA_CLASS(TFloatField)
public:
    explicit TFloatField(TComponent* owner);
protected:
    Variant Convert(const Variant& value) const override;
};

class TCurrencyField : public TFloatField {
    VELMORA_CLASS(TCurrencyField)
public:
    explicit TCurrencyField(TComponent* owner);
};

class TBCDField : public TNumericField {
    VELMORA_CLASS(TBCDField)
public:
    explicit TBCDField(TComponent* owner);
protected:
    Variant Convert(const Variant& value) const override;
};

class TBooleanField : public TField {
    VELMORA_CLASS(TBooleanField)
public:
    explicit TBooleanField(TComponent* owner);
protected:
    Variant Convert(const Variant& value) const override;
    std::string FormatText(const Variant& value, bool displayText) const override;
};

class TDateTimeField : public TField {
    VELMORA_CLASS(TDateTimeField)
public:
    explicit TDateTimeField(TComponent* owner);
protected:
    Variant Convert(const Variant& value) const override;
    std::string FormatText(const Variant& value, bool displayText) const override;
    void SetTextValue(const std::string& text) override;   // empty clears
};

class TDateField : public TDateTimeField {
    VELMORA_CLASS(TDateField)
public:
    explicit TDateField(TComponent* owner);
protected:
    Variant Convert(const Variant& value) const override;   // drops the time of day
};

class TTimeField : public TDateTimeField {
    VELMORA_CLASS(TTimeField)
public:
    explicit TTimeField(TComponent* owner);
protected:
    Variant Convert(const Variant& value) const override;   // keeps the time of day only
    std::string FormatText(const Variant& value, bool displayText) const override;
};

class TBinaryField : public TField {
    VELMORA_CLASS(TBinaryField)
public:
    using TField::TField;
protected:
    Variant Convert(const Variant& value) const override;
    std::string FormatText(const Variant& value, bool displayText) const override;
};

class TBytesField : public TBinaryField {
    VELMORA_CLASS(TBytesField)
public:
    explicit TBytesField(TComponent* owner);
};

class TVarBytesField : public TBytesField {
    VELMORA_CLASS(TVarBytesField)
public:
    explicit TVarBytesField(TComponent* owner);
};

class TBlobField : public TField {
    VELMORA_CLASS(TBlobField)
public:
    explicit TBlobField(TComponent* owner);
protected:
    Variant Convert(const Variant& value) const override;
    std::string FormatText(const Variant& value, bool displayText) const override;
};

class TMemoField : public TBlobField {
    VELMORA_CLASS(TMemoField)
public:
    explicit TMemoField(TComponent* owner);
protected:
    std::string FormatText(const Variant& value, bool displayText) const override;   // the text itself
};

class TGraphicField : public TBlobField {
    VELMORA_CLASS(TGraphicField)
public:
    explicit TGraphicField(TComponent* owner);
};

// Fields whose value is made of several values (an array Variant).
class TObjectField : public TField {
    VELMORA_CLASS(TObjectField)
public:
    using TField::TField;
protected:
    Variant Convert(const Variant& value) const override;   // arrays only
    std::string FormatText(const Variant& value, bool displayText) const override;
};

class TADTField : public TObjectField {
    VELMORA_CLASS(TADTField)
public:
    explicit TADTField(TComponent* owner);
};

class TArrayField : public TObjectField {
    VELMORA_CLASS(TArrayField)
public:
    explicit TArrayField(TComponent* owner);
};

class TReferenceField : public TObjectField {
    VELMORA_CLASS(TReferenceField)
public:
    explicit TReferenceField(TComponent* owner);
};

// The nested detail records of the current record, reached as a dataset.
class TDataSetField : public TObjectField {
    VELMORA_CLASS(TDataSetField)
public:
    explicit TDataSetField(TComponent* owner);
    // The dataset that shows this field's records (created by the master's
    // dataset when it opens, unless one was attached); nullptr while closed.
    TDataSet* NestedDataSet() const noexcept { return nested_; }
    void SetNestedDataSet(TDataSet* dataSet) noexcept { nested_ = dataSet; }
    Variant Value() const override;   // Null: the records are reached through NestedDataSet
protected:
    std::string FormatText(const Variant& value, bool displayText) const override;
private:
    TDataSet* nested_ = nullptr;
};

// A summary over all records of its dataset: Expression is "SUM(FIELD)", "MIN(..)",
// "MAX(..)", "AVG(..)" or "COUNT(..)" (COUNT counts values that are not null).
class TAggregateField : public TField {
    VELMORA_CLASS(TAggregateField)
public:
    explicit TAggregateField(TComponent* owner);
    const std::string& Expression() const noexcept { return expression_; }
    void SetExpression(const std::string& expression) { expression_ = expression; }
    Variant Value() const override;   // Null without records; EDatabaseError for a bad expression
private:
    std::string expression_;
};

// Creates the field class that holds values of a data type, owned by owner.
TField* CreateField(TFieldType type, TComponent* owner);
// Registers the 26 field classes with the class registry.
void RegisterFieldClasses();
// Takes them out of the class registry again.
void UnregisterFieldClasses();
