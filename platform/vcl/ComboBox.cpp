#include "platform/vcl/ComboBox.h"

#include <algorithm>

#include "platform/core/Strings.h"

const TTypeInfo& ComboBoxStyleType() {
    static const TTypeInfo t("TComboBoxStyle", TTypeKind::tkEnumeration,
                             {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"});
    return t;
}

const TClassInfo& TCustomComboBox::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TCustomComboBox", &TCustomEdit::StaticClass());
        c.Add(ObjectProperty("Items", &TCustomComboBox::Items));
        c.Add(Property("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex));
        c.Add(TypedProperty("Style", ComboBoxStyleType(), &TCustomComboBox::Style, &TCustomComboBox::SetStyle));
        c.Add(Property("ItemHeight", &TCustomComboBox::ItemHeight, &TCustomComboBox::SetItemHeight));
        c.Add(Property("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount));
        c.Add(Property("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted));
        c.Add(Property("DroppedDown", &TCustomComboBox::DroppedDown, &TCustomComboBox::SetDroppedDown));
        c.Add(EventProperty("OnSelect", &TCustomComboBox::OnSelect));
        c.Add(EventProperty("OnDropDown", &TCustomComboBox::OnDropDown));
        c.Add(EventProperty("OnCloseUp", &TCustomComboBox::OnCloseUp));
        c.Add(EventProperty("OnDrawItem", &TCustomComboBox::OnDrawItem));
        c.Add(EventProperty("OnMeasureItem", &TCustomComboBox::OnMeasureItem));
        return c;
    }();
    return info;
}

TCustomComboBox::TCustomComboBox(TComponent* owner) : TCustomEdit(owner), items_(std::make_unique<TStringList>()) {
    SetBoundsQuiet(0, 0, 145, 21);
    items_->OnChange = [this](TObject*) { ItemsChanged(); };
}

TCustomComboBox::~TCustomComboBox() { items_->OnChange = nullptr; }

void TCustomComboBox::SetItemIndex(int index) {
    if (index < -1 || index >= items_->Count()) index = -1;
    choosing_ = silent_ = true;
    try {
        itemIndex_ = index;
        SetText(index >= 0 ? ItemText(index) : std::string());
    } catch (...) {
        choosing_ = silent_ = false;
        throw;
    }
    choosing_ = silent_ = false;
    SelectAll();
}

void TCustomComboBox::Change() {
    // Typed text no longer names a chosen item.
    if (!choosing_) itemIndex_ = -1;
    if (!silent_) TCustomEdit::Change();
}

void TCustomComboBox::ChooseItem(int index) {
    if (index < 0 || index >= items_->Count()) return;
    const bool changed = index != itemIndex_;
    choosing_ = true;
    itemIndex_ = index;
    const std::string old = Text();
    try {
        SetText(ItemText(index));
    } catch (...) {
        choosing_ = false;
        throw;
    }
    choosing_ = false;
    SelectAll();
    // Choosing the item whose text is already shown still counts as a change of choice.
    if (changed && old == Text() && OnChange) OnChange(this);
    SetDroppedDown(false);
    if (OnSelect) OnSelect(this);
}

void TCustomComboBox::SetDroppedDown(bool v) {
    if (v == droppedDown_) return;
    droppedDown_ = v;
    if (v && OnDropDown) OnDropDown(this);
    if (!v && OnCloseUp) OnCloseUp(this);
}

bool TCustomComboBox::WantsKey(uint16_t key, TShiftState) const {
    // An open list takes Enter and Escape to close itself.
    return droppedDown_ && (key == VK_RETURN || key == VK_ESCAPE);
}

void TCustomComboBox::KeyDown(uint16_t& key, TShiftState shift) {
    if (key == VK_F4 || (key == VK_DOWN && shift.Contains(TShiftStateItem::ssAlt))) {
        SetDroppedDown(!droppedDown_);
        key = 0;
        return;
    }
    if ((key == VK_RETURN || key == VK_ESCAPE) && droppedDown_) {
        SetDroppedDown(false);
        key = 0;
        return;
    }
    if (key == VK_UP || key == VK_DOWN) {
        const int to = key == VK_UP ? std::max(itemIndex_ - 1, 0) : std::min(itemIndex_ + 1, items_->Count() - 1);
        if (to >= 0 && to != itemIndex_) {
            const bool open = droppedDown_;
            ChooseItem(to);
            if (open) SetDroppedDown(true);
        }
        key = 0;
        return;
    }
    if (Editable()) TCustomEdit::KeyDown(key, shift);
}

void TCustomComboBox::KeyPress(char32_t& key) {
    if (Editable()) {
        TCustomEdit::KeyPress(key);
        return;
    }
    if (key < U' ') return;
    // The next item (after the current one, wrapping) that starts with the character.
    const std::string prefix = FromChars(std::u32string(1, key));
    const int n = items_->Count();
    for (int k = 1; k <= n; ++k) {
        const int i = (itemIndex_ + k + n) % n;
        const std::string s = ItemText(i);
        if (s.size() >= prefix.size() && SameText(std::string_view(s).substr(0, prefix.size()), prefix)) {
            ChooseItem(i);
            return;
        }
    }
}

void TCustomComboBox::ItemsChanged() {
    if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
}

std::string TCustomComboBox::ItemText(int index) const { return items_->Strings(index); }

int TCustomComboBox::MeasureItem(int index) {
    int h = itemHeight_;
    if (style_ == TComboBoxStyle::csOwnerDrawVariable && OnMeasureItem) OnMeasureItem(this, index, h);
    return h;
}

void TCustomComboBox::DrawItem(TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState state) {
    canvas_ = &canvas;
    canvas.Font()->Assign(Font());
    try {
        const bool ownerDraw =
            style_ == TComboBoxStyle::csOwnerDrawFixed || style_ == TComboBoxStyle::csOwnerDrawVariable;
        if (ownerDraw && OnDrawItem) {
            OnDrawItem(this, index, rect, state);
        } else {
            const bool sel = state.Contains(TOwnerDrawStateItem::odSelected);
            canvas.Brush()->SetColor(sel ? clHighlight : Color());
            canvas.FillRect(rect);
            canvas.Font()->SetColor(sel ? clHighlightText : Font()->Color());
            if (index >= 0 && index < items_->Count())
                canvas.AlignedText(rect, ItemText(index), TAlignment::taLeftJustify);
        }
    } catch (...) {
        canvas_ = nullptr;
        throw;
    }
    canvas_ = nullptr;
}

const TClassInfo& TComboBox::StaticClass() {
    static const TClassInfo info("TComboBox", &TCustomComboBox::StaticClass(),
                                 [](TComponent* o) { return new TComboBox(o); });
    return info;
}
