#include "platform/vcl/CheckBox.h"

#include <algorithm>

const TTypeInfo& CheckBoxStateType() {
    static const TTypeInfo t("TCheckBoxState", TTypeKind::tkEnumeration, {"cbUnchecked", "cbChecked", "cbGrayed"});
    return t;
}

const TClassInfo& TCheckBox::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TCheckBox", &TWinControl::StaticClass(), [](TComponent* o) { return new TCheckBox(o); });
        c.Add(TypedProperty("State", CheckBoxStateType(), &TCheckBox::State, &TCheckBox::SetState));
        c.Add(Property("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked));
        c.Add(Property("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed));
        c.Add(TypedProperty("Alignment", AlignmentType(), &TCheckBox::Alignment, &TCheckBox::SetAlignment));
        return c;
    }();
    return info;
}

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
    SetBoundsQuiet(0, 0, 97, 17);
    SetTabStop(true);
}

void TCheckBox::SetState(TCheckBoxState s) {
    if (s == state_) return;
    state_ = s;
    Invalidate();
    Click();
}

void TCheckBox::Toggle() {
    switch (state_) {
        case TCheckBoxState::cbUnchecked: SetState(TCheckBoxState::cbChecked); break;
        case TCheckBoxState::cbChecked:
            SetState(allowGrayed_ ? TCheckBoxState::cbGrayed : TCheckBoxState::cbUnchecked);
            break;
        case TCheckBoxState::cbGrayed: SetState(TCheckBoxState::cbUnchecked); break;
    }
}

void TCheckBox::KeyPress(char32_t& key) {
    if (key == U' ') {
        key = 0;
        UserClick();
    }
}

const TClassInfo& TRadioButton::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TRadioButton", &TWinControl::StaticClass(), [](TComponent* o) { return new TRadioButton(o); });
        c.Add(Property("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked));
        return c;
    }();
    return info;
}

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner) {
    SetBoundsQuiet(0, 0, 113, 17);
    SetTabStop(true);
}

void TRadioButton::SetChecked(bool v) {
    if (v == checked_) return;
    checked_ = v;
    Invalidate();
    if (!v) return;
    if (TWinControl* p = Parent())
        for (int i = 0; i < p->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(p->Controls(i)); other && other != this)
                other->SetChecked(false);
    Click();
}

// ---- radio groups ----

const TClassInfo& TCustomRadioGroup::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TCustomRadioGroup", &TWinControl::StaticClass());
        c.Add(ObjectProperty("Items", &TCustomRadioGroup::Items));
        c.Add(Property("ItemIndex", &TCustomRadioGroup::ItemIndex, &TCustomRadioGroup::SetItemIndex));
        c.Add(Property("Columns", &TCustomRadioGroup::Columns, &TCustomRadioGroup::SetColumns));
        c.Add(EventProperty("OnChange", &TCustomRadioGroup::OnChange));
        return c;
    }();
    return info;
}

TCustomRadioGroup::TCustomRadioGroup(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TStringList>()) {
    SetBoundsQuiet(0, 0, 185, 105);
    items_->OnChange = [this](TObject*) { RebuildButtons(); };
}

TCustomRadioGroup::~TCustomRadioGroup() {
    items_->OnChange = nullptr;
    MarkDestroying();
}

void TCustomRadioGroup::RebuildButtons() {
    while (static_cast<int>(buttons_.size()) > items_->Count()) {
        delete buttons_.back();
        buttons_.pop_back();
    }
    while (static_cast<int>(buttons_.size()) < items_->Count()) {
        auto* b = new TRadioButton(nullptr);
        b->SetParent(this);
        const size_t index = buttons_.size();
        b->OnClick = [this, index](TObject*) {
            if (updating_) return;
            if (!CanModify()) {
                // A refused change puts the check back where it was.
                updating_ = true;
                for (size_t i = 0; i < buttons_.size(); ++i)
                    buttons_[i]->SetChecked(static_cast<int>(i) == itemIndex_);
                updating_ = false;
                return;
            }
            SetItemIndex(static_cast<int>(index));
        };
        buttons_.push_back(b);
    }
    for (size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->SetCaption(items_->Strings(static_cast<int>(i)));
    if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
    ArrangeButtons();
}

void TCustomRadioGroup::ArrangeButtons() {
    if (buttons_.empty()) return;
    const int rows = (static_cast<int>(buttons_.size()) + columns_ - 1) / columns_;
    const int top = std::abs(Font()->Height()) + 2;
    const int colWidth = std::max((Width() - 8) / columns_, 0);
    const int rowHeight = std::max((Height() - top - 4) / std::max(rows, 1), 0);
    updating_ = true;
    for (size_t i = 0; i < buttons_.size(); ++i) {
        const int col = static_cast<int>(i) / rows, row = static_cast<int>(i) % rows;
        buttons_[i]->SetBounds(4 + col * colWidth, top + row * rowHeight, colWidth, rowHeight);
        buttons_[i]->SetChecked(static_cast<int>(i) == itemIndex_);
    }
    updating_ = false;
}

void TCustomRadioGroup::SetColumns(int n) {
    columns_ = std::clamp(n, 1, 16);
    ArrangeButtons();
}

TRadioButton* TCustomRadioGroup::Buttons(int index) const {
    if (index < 0 || index >= ButtonCount()) return nullptr;
    return buttons_[static_cast<size_t>(index)];
}

void TCustomRadioGroup::SetItemIndex(int index) {
    if (index < -1 || index >= items_->Count()) index = -1;
    if (index == itemIndex_) return;
    itemIndex_ = index;
    updating_ = true;
    for (size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->SetChecked(static_cast<int>(i) == index);
    updating_ = false;
    Changed();
}

void TCustomRadioGroup::Changed() {
    if (OnChange) OnChange(this);
    Click();
}

const TClassInfo& TRadioGroup::StaticClass() {
    static const TClassInfo info("TRadioGroup", &TCustomRadioGroup::StaticClass(),
                                 [](TComponent* o) { return new TRadioGroup(o); });
    return info;
}
