#include "platform/db/Field.h"

#include <algorithm>

#include "platform/core/Strings.h"
#include "platform/db/DataSet.h"

const TTypeInfo& FieldKindType() {
    static const TTypeInfo info("TFieldKind", TTypeKind::tkEnumeration,
                                {"fkData", "fkCalculated", "fkLookup", "fkInternalCalc", "fkAggregate"});
    return info;
}

const TClassInfo& TField::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TField", &TComponent::StaticClass());
        c.Add(Property("FieldName", &TField::FieldName, &TField::SetFieldName));
        c.Add(TypedProperty("FieldKind", FieldKindType(), &TField::FieldKind, &TField::SetFieldKind));
        c.Add(Property("DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel));
        c.Add(Property("DisplayWidth", &TField::DisplayWidth, &TField::SetDisplayWidth));
        c.Add(Property("Visible", &TField::Visible, &TField::SetVisible));
        c.Add(Property("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly));
        c.Add(Property("Required", &TField::Required, &TField::SetRequired));
        c.Add(Property("Size", &TField::Size, &TField::SetSize));
        c.Add(Property("Index", &TField::Index, &TField::SetIndex));
        c.Add(Property("EditMask", &TField::EditMask, &TField::SetEditMask));
        c.Add(EventProperty("OnGetText", &TField::OnGetText));
        c.Add(EventProperty("OnSetText", &TField::OnSetText));
        c.Add(EventProperty("OnValidate", &TField::OnValidate));
        c.Add(EventProperty("OnChange", &TField::OnChange));
        return c;
    }();
    return info;
}

TField::TField(TComponent* owner) : TComponent(owner) {}

TField::~TField() {
    if (dataSet_) dataSet_->RemoveField(this);
}

void TField::SetDataSet(TDataSet* dataSet) {
    if (dataSet == dataSet_) return;
    if (dataSet_ && dataSet_->Active())
        throw EDatabaseError(dataSet_->Name() + ": Cannot perform this operation on an open dataset");
    if (dataSet) dataSet->AddField(this);   // may refuse (open dataset, duplicate name)
    if (dataSet_) dataSet_->RemoveField(this);
    dataSet_ = dataSet;
}

void TField::SetFieldName(const std::string& name) {
    if (dataSet_ && dataSet_->Active())
        throw EDatabaseError(dataSet_->Name() + ": Cannot perform this operation on an open dataset");
    if (dataSet_) {
        TField* other = dataSet_->FindField(name);
        if (other && other != this) throw EDatabaseError(dataSet_->Name() + ": Duplicate field name '" + name + "'");
    }
    fieldName_ = name;
}

void TField::SetFieldKind(TFieldKind kind) {
    if (dataSet_ && dataSet_->Active())
        throw EDatabaseError(dataSet_->Name() + ": Cannot perform this operation on an open dataset");
    fieldKind_ = kind;
}

void TField::Changed() {
    if (dataSet_ && dataSet_->Active()) dataSet_->DataEvent(TDataEvent::deLayoutChange, this);
}

void TField::SetDisplayLabel(const std::string& label) {
    displayLabel_ = label == fieldName_ ? std::string() : label;
    Changed();
}

int TField::DisplayWidth() const {
    if (displayWidth_ >= 0) return displayWidth_;
    if (ValueKindOf(dataType_) == TValueKind::Text && size_ > 0) return std::max<int>(size_, static_cast<int>(Utf8Length(DisplayLabel())));
    return 10;
}

void TField::SetDisplayWidth(int width) {
    displayWidth_ = std::max(width, 0);
    Changed();
}

void TField::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    Changed();
}

void TField::SetReadOnly(bool readOnly) {
    if (readOnly_ == readOnly) return;
    readOnly_ = readOnly;
    Changed();
}

void TField::SetSize(int size) {
    if (dataSet_ && dataSet_->Active())
        throw EDatabaseError(dataSet_->Name() + ": Cannot perform this operation on an open dataset");
    size_ = std::max(size, 0);
}

int TField::Index() const {
    if (!dataSet_) return -1;
    for (int i = 0; i < dataSet_->FieldCount(); ++i)
        if (dataSet_->Fields(i) == this) return i;
    return -1;
}

void TField::SetIndex(int index) {
    if (dataSet_) dataSet_->MoveField(this, index);
}

// ---------------------------------------------------------------- values

Variant TField::Value() const { return dataSet_ ? dataSet_->GetFieldValue(this) : Variant::Null(); }

Variant TField::OldValue() const { return dataSet_ ? dataSet_->GetOldFieldValue(this) : Variant::Null(); }

void TField::SetValue(const Variant& value) {
    if (!dataSet_) throw EDatabaseError("Field '" + DisplayName() + "' has no dataset");
    const TDataSetState state = dataSet_->State();
    const bool calculating = state == TDataSetState::dsCalcFields || state == TDataSetState::dsInternalCalc;
    if (calculating ? fieldKind_ == TFieldKind::fkData
                    : (readOnly_ || fieldKind_ != TFieldKind::fkData)) {
        if (!calculating && state != TDataSetState::dsEdit && state != TDataSetState::dsInsert)
            throw EDatabaseError(dataSet_->Name() + ": Dataset not in edit or insert mode");
        throw EDatabaseError("Field '" + DisplayName() + "' cannot be modified");
    }
    if (!calculating && state != TDataSetState::dsEdit && state != TDataSetState::dsInsert)
        throw EDatabaseError(dataSet_->Name() + ": Dataset not in edit or insert mode");
    const Variant converted = value.IsClear() ? Variant::Null() : Convert(value);
    if (OnValidate && !calculating) {
        // The handler reads the new value through the field; raising keeps the old.
        struct Pending {
            TDataSet* ds;
            ~Pending() { ds->validating_ = nullptr; ds->validatingValue_ = Variant(); }
        } pending{dataSet_};
        dataSet_->validating_ = this;
        dataSet_->validatingValue_ = converted;
        OnValidate(this);
    }
    dataSet_->SetFieldValue(this, converted);
}

Variant TField::Convert(const Variant& value) const { return value; }

std::string TField::AsString() const {
    const Variant v = Value();
    return v.IsClear() ? std::string() : v.AsString();
}

void TField::SetAsString(const std::string& text) { SetValue(Variant(text)); }

int64_t TField::AsInteger() const {
    const Variant v = Value();
    return v.IsClear() ? 0 : v.AsInteger();
}

double TField::AsFloat() const {
    const Variant v = Value();
    return v.IsClear() ? 0.0 : v.AsDouble();
}

bool TField::AsBoolean() const {
    const Variant v = Value();
    return v.IsClear() ? false : v.AsBoolean();
}

TDateTime TField::AsDateTime() const {
    const Variant v = Value();
    return v.IsClear() ? TDateTime() : v.AsDate();
}

std::string TField::FormatText(const Variant& value, bool) const { return value.AsString(); }

std::string TField::Text() const {
    std::string text;
    if (OnGetText) {
        OnGetText(const_cast<TField*>(this), text, false);
        return text;
    }
    const Variant v = Value();
    return v.IsClear() ? std::string() : FormatText(v, false);
}

std::string TField::DisplayText() const {
    std::string text;
    if (OnGetText) {
        OnGetText(const_cast<TField*>(this), text, true);
        return text;
    }
    const Variant v = Value();
    return v.IsClear() ? std::string() : FormatText(v, true);
}

void TField::SetText(const std::string& text) {
    if (OnSetText) OnSetText(this, text);
    else SetTextValue(text);
}

bool TField::CanModify() const {
    return !readOnly_ && dataSet_ && dataSet_->CanModify() &&
           (fieldKind_ == TFieldKind::fkData || fieldKind_ == TFieldKind::fkCalculated);
}

void TField::FocusControl() {
    if (dataSet_) dataSet_->DataEvent(TDataEvent::deFocusControl, this);
}
