#pragma once
// `TField`: one column of a dataset as the program sees it: its name, label,
// display settings, the value of the current record in every conversion, its text
// for display and for editing, and the events around a change.
//
// A change through Value/AsX/Text runs, in this order: the set-text handler
// (OnSetText, for Text only), the conversion to the field's type (EConvertError
// leaves the old value), the cut of text to Size characters, OnValidate (it sees
// the new value; raising keeps the old one), the store, then OnChange. Changing a
// value needs the dataset in edit or insert state (EDatabaseError otherwise); a
// read-only field refuses changes except while calculated fields are computed.
//
// Fields are components: a field created in code is owned by its owner (usually
// the data module) and joins a dataset with SetDataSet; fields a dataset creates
// itself from its field definitions are owned by the dataset and go when it closes.
#include <functional>
#include <string>

#include "platform/classes/Component.h"
#include "platform/core/DateTime.h"
#include "platform/db/FieldDefs.h"

class TDataSet;
class TField;

enum class TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };
const TTypeInfo& FieldKindType();

using TFieldNotifyEvent = std::function<void(TField* sender)>;
// text: set by the handler; displayText: true for display, false for editing.
using TFieldGetTextEvent = std::function<void(TField* sender, std::string& text, bool displayText)>;
using TFieldSetTextEvent = std::function<void(TField* sender, const std::string& text)>;

class TField : public TComponent {
    VELMORA_CLASS(TField)
public:
    explicit TField(TComponent* owner);
    ~TField() override;

    TDataSet* DataSet() const noexcept { return dataSet_; }
    // Joins (or with nullptr leaves) a dataset's field list; the dataset must be closed.
    void SetDataSet(TDataSet* dataSet);

    const std::string& FieldName() const noexcept { return fieldName_; }
    void SetFieldName(const std::string& name);
    TFieldType DataType() const noexcept { return dataType_; }
    TFieldKind FieldKind() const noexcept { return fieldKind_; }
    void SetFieldKind(TFieldKind kind);
    // 1-based position among the dataset's field definitions; 0 for other kinds.
    int FieldNo() const noexcept { return fieldNo_; }

    std::string DisplayLabel() const { return displayLabel_.empty() ? fieldName_ : displayLabel_; }
    void SetDisplayLabel(const std::string& label);
    std::string DisplayName() const { return DisplayLabel(); }
    int DisplayWidth() const;   // characters; the type's default until set
    void SetDisplayWidth(int width);
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool visible);
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool readOnly);
    bool Required() const noexcept { return required_; }
    void SetRequired(bool required) { required_ = required; }
    int Size() const noexcept { return size_; }
    void SetSize(int size);
    // Position in the dataset's field list; setting it moves the field there.
    int Index() const;
    void SetIndex(int index);
    const std::string& EditMask() const noexcept { return editMask_; }
    void SetEditMask(const std::string& mask) { editMask_ = mask; }

    // The current record's value (Null when the dataset has none).
    virtual Variant Value() const;
    void SetValue(const Variant& value);
    Variant AsVariant() const { return Value(); }
    void SetAsVariant(const Variant& value) { SetValue(value); }
    std::string AsString() const;
    void SetAsString(const std::string& text);
    int64_t AsInteger() const;
    void SetAsInteger(int64_t value) { SetValue(Variant(value)); }
    double AsFloat() const;
    void SetAsFloat(double value) { SetValue(Variant(value)); }
    bool AsBoolean() const;
    void SetAsBoolean(bool value) { SetValue(Variant(value)); }
    TDateTime AsDateTime() const;
    void SetAsDateTime(TDateTime value) { SetValue(Variant(value)); }
    // The value as fetched, before the pending change of the current record.
    Variant OldValue() const;

    // Editing text (OnGetText with displayText false) and its assignment (OnSetText).
    std::string Text() const;
    void SetText(const std::string& text);
    // Display text (OnGetText with displayText true).
    std::string DisplayText() const;

    bool IsNull() const { return Value().IsClear(); }
    void Clear() { SetValue(Variant::Null()); }
    // True when a control may change the value now (dataset open and modifiable,
    // field not read-only, a data or calculated field).
    bool CanModify() const;
    // Asks the data-aware control showing this field to take the focus.
    void FocusControl();

    // Events (published under these names).
    TFieldGetTextEvent OnGetText;
    TFieldSetTextEvent OnSetText;
    TFieldNotifyEvent OnValidate;
    TFieldNotifyEvent OnChange;

protected:
    // The type's text of a value that is not null. Numeric fields apply their formats.
    virtual std::string FormatText(const Variant& value, bool displayText) const;
    // Text assignment without a handler; the base converts through SetAsString.
    virtual void SetTextValue(const std::string& text) { SetAsString(text); }
    // The value converted to the type's kind; Null stays Null. Raises EConvertError.
    virtual Variant Convert(const Variant& value) const;
    // Used by derived classes for their type.
    void SetDataType(TFieldType type) noexcept { dataType_ = type; }
    void Changed();   // layout change: tells the dataset's data links

private:
    friend class TDataSet;
    TDataSet* dataSet_ = nullptr;
    std::string fieldName_;
    TFieldType dataType_ = TFieldType::ftUnknown;
    TFieldKind fieldKind_ = TFieldKind::fkData;
    int fieldNo_ = 0;
    int slot_ = -1;   // value slot in the dataset's records (data and internal-calculated)
    std::string displayLabel_;
    int displayWidth_ = -1;
    bool visible_ = true;
    bool readOnly_ = false;
    bool required_ = false;
    int size_ = 0;
    std::string editMask_;
};
