#include "platform/vcl/ListBox.h"

#include <algorithm>

#include "platform/classes/Collection.h"

namespace {
const TTypeInfo& ListBoxStyleType() {
    static const TTypeInfo t("TListBoxStyle", TTypeKind::tkEnumeration,
                             {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable"});
    return t;
}
}  // namespace

const TClassInfo& TCustomListBox::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TCustomListBox", &TWinControl::StaticClass());
        c.Add(ObjectProperty("Items", &TCustomListBox::Items));
        c.Add(Property("ItemIndex", &TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex));
        c.Add(Property("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect));
        c.Add(Property("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted));
        c.Add(TypedProperty("Style", ListBoxStyleType(), &TCustomListBox::Style, &TCustomListBox::SetStyle));
        c.Add(Property("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight));
        c.Add(Property("TopIndex", &TCustomListBox::TopIndex, &TCustomListBox::SetTopIndex));
        c.Add(Property("SelCount", &TCustomListBox::SelCount));
        c.Add(EventProperty("OnDrawItem", &TCustomListBox::OnDrawItem));
        c.Add(EventProperty("OnMeasureItem", &TCustomListBox::OnMeasureItem));
        return c;
    }();
    return info;
}

TCustomListBox::TCustomListBox(TComponent* owner) : TWinControl(owner), items_(std::make_unique<TStringList>()) {
    SetBoundsQuiet(0, 0, 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
    items_->OnChange = [this](TObject*) { ItemsChanged(); };
}

TCustomListBox::~TCustomListBox() { items_->OnChange = nullptr; }

void TCustomListBox::ItemsChanged() {
    // The list changed under the selection: keep what still exists.
    selected_.resize(static_cast<size_t>(items_->Count()), false);
    if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
    topIndex_ = std::clamp(topIndex_, 0, std::max(items_->Count() - 1, 0));
    Invalidate();
}

void TCustomListBox::SetItemIndex(int index) {
    if (index < -1 || index >= items_->Count()) index = -1;
    std::fill(selected_.begin(), selected_.end(), false);
    itemIndex_ = index;
    if (index >= 0) selected_[static_cast<size_t>(index)] = true;
    // Keep the current item in view.
    const int rows = std::max(ClientHeight() / itemHeight_, 1);
    if (index >= 0 && index < topIndex_) topIndex_ = index;
    if (index >= topIndex_ + rows) topIndex_ = index - rows + 1;
    Invalidate();
}

void TCustomListBox::SetMultiSelect(bool v) {
    multiSelect_ = v;
    if (!v) SetItemIndex(itemIndex_);
}

bool TCustomListBox::Selected(int index) const {
    if (index < 0 || index >= items_->Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return selected_[static_cast<size_t>(index)];
}

void TCustomListBox::SetSelected(int index, bool selected) {
    if (index < 0 || index >= items_->Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    if (!multiSelect_) {
        SetItemIndex(selected ? index : (index == itemIndex_ ? -1 : itemIndex_));
        return;
    }
    selected_[static_cast<size_t>(index)] = selected;
    Invalidate();
}

int TCustomListBox::SelCount() const {
    if (!multiSelect_) return -1;
    return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

void TCustomListBox::ClearSelection() {
    std::fill(selected_.begin(), selected_.end(), false);
    if (!multiSelect_) itemIndex_ = -1;
    Invalidate();
}

void TCustomListBox::SelectAll() {
    if (!multiSelect_) return;
    std::fill(selected_.begin(), selected_.end(), true);
    Invalidate();
}

void TCustomListBox::SetTopIndex(int i) { topIndex_ = std::clamp(i, 0, std::max(items_->Count() - 1, 0)); }

int TCustomListBox::ItemAtPos(TPoint p) const {
    if (p.Y < 0 || p.X < 0 || p.X >= Width()) return -1;
    const int index = topIndex_ + p.Y / itemHeight_;
    return index < items_->Count() ? index : -1;
}

TRect TCustomListBox::ItemRect(int index) const {
    return Bounds(0, (index - topIndex_) * itemHeight_, ClientWidth(), itemHeight_);
}

void TCustomListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TWinControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft) return;
    const int index = ItemAtPos({x, y});
    if (index < 0) return;
    if (multiSelect_ && shift.Contains(TShiftStateItem::ssCtrl)) {
        selected_[static_cast<size_t>(index)] = !selected_[static_cast<size_t>(index)];
        itemIndex_ = index;
    } else {
        SetItemIndex(index);
    }
    Click();
}

void TCustomListBox::KeyDown(uint16_t& key, TShiftState) {
    int to = itemIndex_;
    switch (key) {
        case VK_UP: to = std::max(itemIndex_ - 1, 0); break;
        case VK_DOWN: to = std::min(itemIndex_ + 1, items_->Count() - 1); break;
        case VK_HOME: to = 0; break;
        case VK_END: to = items_->Count() - 1; break;
        default: return;
    }
    if (to == itemIndex_ || to < 0) return;
    SetItemIndex(to);
    Click();
}

void TCustomListBox::KeyPress(char32_t& key) {
    if (key == U' ' && multiSelect_ && itemIndex_ >= 0) {
        selected_[static_cast<size_t>(itemIndex_)] = !selected_[static_cast<size_t>(itemIndex_)];
        Click();
    }
}

void TCustomListBox::PaintOn(TCanvas& canvas) {
    canvas_ = &canvas;
    canvas.Font()->Assign(Font());
    const int rows = std::max(ClientHeight() / itemHeight_, 1);
    for (int i = topIndex_; i < items_->Count() && i < topIndex_ + rows; ++i) {
        TOwnerDrawState state;
        if (selected_[static_cast<size_t>(i)]) state.Include(TOwnerDrawStateItem::odSelected);
        if (i == itemIndex_ && Focused()) state.Include(TOwnerDrawStateItem::odFocused);
        if (!EffectivelyEnabled()) state.Include(TOwnerDrawStateItem::odDisabled);
        const TRect r = ItemRect(i);
        if (style_ != TListBoxStyle::lbStandard && OnDrawItem) {
            OnDrawItem(this, i, r, state);
            continue;
        }
        const bool sel = state.Contains(TOwnerDrawStateItem::odSelected);
        canvas.Brush()->SetColor(sel ? clHighlight : Color());
        canvas.FillRect(r);
        canvas.Font()->SetColor(sel ? clHighlightText : Font()->Color());
        canvas.AlignedText(r, items_->Strings(i), TAlignment::taLeftJustify);
    }
    canvas_ = nullptr;
}

const TClassInfo& TListBox::StaticClass() {
    static const TClassInfo info("TListBox", &TCustomListBox::StaticClass(), [](TComponent* o) { return new TListBox(o); });
    return info;
}
