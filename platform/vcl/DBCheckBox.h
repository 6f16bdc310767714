#pragma once
// Value-mapped data-aware controls. `TDBCheckBox` maps the field's code to a
// state: a null value is grayed, a boolean field its value, any other field
// checked when its edit text equals (any case) one of the ";"-separated codes of
// ValueChecked, unchecked for one of ValueUnchecked, grayed otherwise; back to the
// field, grayed clears it and checked or unchecked write the first code.
// `TDBRadioGroup` maps the field's text to the item whose Values entry (or caption,
// without Values) equals it.
//
// A user's change first puts the dataset into edit state, and is refused when
// that is not possible; the field gets the value when the record is updated.
#include <memory>

#include "platform/vcl/CheckBox.h"
#include "platform/vcl/DBControl.h"

class TDBCheckBox : public TFieldLinked<TCheckBox> {
    VELMORA_CLASS(TDBCheckBox)
public:
    explicit TDBCheckBox(TComponent* owner);
    const std::string& ValueChecked() const noexcept { return valueChecked_; }
    void SetValueChecked(const std::string& v);
    const std::string& ValueUnchecked() const noexcept { return valueUnchecked_; }
    void SetValueUnchecked(const std::string& v);
    bool ReadOnly() const noexcept { return link_->ReadOnly(); }
    void SetReadOnly(bool v) { link_->SetReadOnly(v); }
    // The state a field value maps to, by the rules above.
    TCheckBoxState StateOf(const TField* field) const;

    void Toggle() override;
    void Click() override;
    void DoExit() override;

private:
    void DataChange();
    std::string valueChecked_ = "True";
    std::string valueUnchecked_ = "False";
    bool redisplaying_ = false;
};

class TDBRadioGroup : public TFieldLinked<TCustomRadioGroup> {
    VELMORA_CLASS(TDBRadioGroup)
public:
    explicit TDBRadioGroup(TComponent* owner);
    ~TDBRadioGroup() override;
    // Codes parallel to Items.
    TStrings* Values() const noexcept { return values_.get(); }
    bool ReadOnly() const noexcept { return link_->ReadOnly(); }
    void SetReadOnly(bool v) { link_->SetReadOnly(v); }
    // The code of item i: its Values entry, or its caption without Values.
    std::string ValueOf(int index) const;

    void DoExit() override;

protected:
    bool CanModify() const override;
    void Changed() override;

private:
    void DataChange();
    std::unique_ptr<TStringList> values_;
    bool redisplaying_ = false;
};
