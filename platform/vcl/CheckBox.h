#pragma once
// Check boxes (two or three states), radio buttons (checking one unchecks its
// siblings on the same parent) and radio groups (one radio button per item).
//
// Window definitions rely on this: a change of Checked or State raises
// OnClick whether the user clicked or code set it.
#include <memory>

#include "platform/classes/StringList.h"
#include "platform/vcl/WinControl.h"

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
const TTypeInfo& CheckBoxStateType();

class TCheckBox : public TWinControl {
    VELMORA_CLASS(TCheckBox)
public:
    explicit TCheckBox(TComponent* owner);

    TCheckBoxState State() const noexcept { return state_; }
    virtual void SetState(TCheckBoxState s);
    bool Checked() const noexcept { return state_ == TCheckBoxState::cbChecked; }
    void SetChecked(bool v) { SetState(v ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }
    bool AllowGrayed() const noexcept { return allowGrayed_; }
    void SetAllowGrayed(bool v) { allowGrayed_ = v; }
    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment a) { alignment_ = a; }

    // The next state: unchecked -> checked -> grayed (when allowed) -> unchecked.
    virtual void Toggle();
    // A user's click toggles.
    void UserClick() override { Toggle(); }

protected:
    void KeyPress(char32_t& key) override;   // Space toggles
    bool ClicksOnAccelerator() const override { return true; }

private:
    TCheckBoxState state_ = TCheckBoxState::cbUnchecked;
    bool allowGrayed_ = false;
    TAlignment alignment_ = TAlignment::taRightJustify;
};

class TRadioButton : public TWinControl {
    VELMORA_CLASS(TRadioButton)
public:
    explicit TRadioButton(TComponent* owner);
    bool Checked() const noexcept { return checked_; }
    void SetChecked(bool v);
    // A user's click checks the button.
    void UserClick() override { SetChecked(true); }

protected:
    bool ClicksOnAccelerator() const override { return true; }

private:
    bool checked_ = false;
};

class TCustomRadioGroup : public TWinControl {
    VELMORA_CLASS(TCustomRadioGroup)
public:
    explicit TCustomRadioGroup(TComponent* owner);
    ~TCustomRadioGroup() override;

    // One radio button per item; -1 for none.
    TStrings* Items() const noexcept { return items_.get(); }
    int ItemIndex() const noexcept { return itemIndex_; }
    virtual void SetItemIndex(int index);
    int Columns() const noexcept { return columns_; }
    void SetColumns(int n);
    // The radio button of item i (for input and tests); nullptr out of range.
    TRadioButton* Buttons(int index) const;
    int ButtonCount() const noexcept { return static_cast<int>(buttons_.size()); }

    // Raised after the selected item changed.
    TNotifyEvent OnChange;

protected:
    // Whether the user may change the selection (data-aware groups ask their field).
    virtual bool CanModify() const { return true; }
    virtual void Changed();

private:
    void RebuildButtons();
    void ArrangeButtons();
    std::unique_ptr<TStringList> items_;
    std::vector<TRadioButton*> buttons_;
    int itemIndex_ = -1;
    int columns_ = 1;
    bool updating_ = false;
};

class TRadioGroup : public TCustomRadioGroup {
    VELMORA_CLASS(TRadioGroup)
public:
    using TCustomRadioGroup::TCustomRadioGroup;
};
