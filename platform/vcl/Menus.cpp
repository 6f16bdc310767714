#include "platform/vcl/Menus.h"

#include <algorithm>

#include "platform/classes/Collection.h"
#include "platform/core/Strings.h"
#include "platform/vcl/ImageList.h"

namespace {
struct KeyName {
    uint16_t key;
    const char* name;
};
constexpr KeyName kKeyNames[] = {
    {VK_BACK, "BkSp"}, {VK_TAB, "Tab"},   {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},  {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"}, {VK_END, "End"},     {VK_HOME, "Home"},   {VK_LEFT, "Left"},
    {VK_UP, "Up"},     {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},  {VK_INSERT, "Ins"},  {VK_DELETE, "Del"},
};

std::string KeyText(uint16_t key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F12) return "F" + std::to_string(key - VK_F1 + 1);
    for (const auto& k : kKeyNames)
        if (k.key == key) return k.name;
    return {};
}
}  // namespace

TShortCut ShortCut(uint16_t key, TShiftState shift) {
    TShortCut s = key & 0xFF;
    if (shift.Contains(TShiftStateItem::ssShift)) s |= scShift;
    if (shift.Contains(TShiftStateItem::ssCtrl)) s |= scCtrl;
    if (shift.Contains(TShiftStateItem::ssAlt)) s |= scAlt;
    return s;
}

std::string ShortCutToText(TShortCut s) {
    const std::string key = KeyText(s & 0xFF);
    if (key.empty()) return {};
    std::string out;
    if (s & scShift) out += "Shift+";
    if (s & scCtrl) out += "Ctrl+";
    if (s & scAlt) out += "Alt+";
    return out + key;
}

TShortCut TextToShortCut(const std::string& text) {
    TShortCut mods = 0;
    std::string_view rest = text;
    for (;;) {
        if (rest.size() > 6 && SameText(rest.substr(0, 6), "Shift+")) { mods |= scShift; rest.remove_prefix(6); }
        else if (rest.size() > 5 && SameText(rest.substr(0, 5), "Ctrl+")) { mods |= scCtrl; rest.remove_prefix(5); }
        else if (rest.size() > 4 && SameText(rest.substr(0, 4), "Alt+")) { mods |= scAlt; rest.remove_prefix(4); }
        else break;
    }
    for (uint16_t key = 1; key < 256; ++key) {
        const std::string name = KeyText(key);
        if (!name.empty() && SameText(name, rest)) return static_cast<TShortCut>(key | mods);
    }
    return 0;
}

std::string StripHotkey(const std::string& caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

char32_t GetHotkey(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        const char c = caption[i + 1];
        return static_cast<char32_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : static_cast<unsigned char>(c));
    }
    return 0;
}

namespace {
TMenu* openMenu = nullptr;

bool Selectable(const TMenuItem* item) { return item->Enabled() && item->Visible() && !item->IsLine(); }

// The index of the next selectable sub-item of `parent` after `from` in direction
// `step`, wrapping round; -1 when there is none.
int NextSelectable(const TMenuItem* parent, int from, int step) {
    const int count = parent->Count();
    for (int n = 1; n <= count; ++n) {
        const int i = ((from + step * n) % count + count) % count;
        if (Selectable(parent->Items(i))) return i;
    }
    return -1;
}
}  // namespace

// ---- TMenuItem ----

const TClassInfo& TMenuItem::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TMenuItem", &TComponent::StaticClass(), [](TComponent* o) { return new TMenuItem(o); });
        c.Add(Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption));
        c.Add(Property("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut));
        c.Add(Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked));
        c.Add(Property("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem));
        c.Add(Property("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex));
        c.Add(Property("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck));
        c.Add(Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled));
        c.Add(Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible));
        c.Add(Property("Hint", &TMenuItem::Hint, &TMenuItem::SetHint));
        c.Add(Property("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex));
        c.Add(EventProperty("OnClick", &TMenuItem::OnClick));
        c.Add(EventProperty("OnDrawItem", &TMenuItem::OnDrawItem));
        c.Add(EventProperty("OnMeasureItem", &TMenuItem::OnMeasureItem));
        return c;
    }();
    return info;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
    MarkDestroying();
    if (openMenu && openMenu->OpenItem() == this) openMenu->CloseUp();
    Clear();
    if (parent_) parent_->Remove(this);
}

void TMenuItem::SetChecked(bool v) {
    checked_ = v;
    if (v && radioItem_ && parent_)
        for (TMenuItem* sibling : parent_->items_)
            if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_) sibling->checked_ = false;
}

TMenuItem* TMenuItem::Items(int index) const {
    if (index < 0 || index >= Count()) throw EListError("Menu index out of range (" + std::to_string(index) + ")");
    return items_[static_cast<size_t>(index)];
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item) return;
    if (item->parent_) throw EInvalidOperation("Menu inserted twice");
    for (TMenuItem* p = this; p; p = p->parent_)
        if (p == item) throw EInvalidOperation("A menu item cannot hold itself");
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
}

void TMenuItem::Delete(int index) { delete Items(index); }

void TMenuItem::Clear() {
    while (!items_.empty()) delete items_.back();
}

TMenuItem* TMenuItem::Find(const std::string& caption) const {
    for (TMenuItem* i : items_)
        if (SameText(StripHotkey(i->caption_), StripHotkey(caption))) return i;
    return nullptr;
}

void TMenuItem::Click() {
    if (!enabled_) return;
    if (TMenu* open = TMenu::OpenMenu()) {
        const TMenuItem* root = this;
        while (root->parent_) root = root->parent_;
        if (root == open->Items()) open->CloseUp();
    }
    if (autoCheck_) SetChecked(!checked_);
    if (OnClick) OnClick(this);
}

TMenuItem* TMenuItem::FindShortCut(TShortCut shortCut) {
    if (shortCut == 0 || !enabled_ || !visible_) return nullptr;
    if (shortCut_ == shortCut) return this;
    for (TMenuItem* i : items_)
        if (TMenuItem* found = i->FindShortCut(shortCut)) return found;
    return nullptr;
}

void TMenuItem::DrawItem(TCanvas& canvas, const TRect& rect, bool selected) {
    if (OnDrawItem) {
        OnDrawItem(this, &canvas, rect, selected);
        return;
    }
    canvas.Brush()->SetColor(selected ? clHighlight : clMenu);
    canvas.FillRect(rect);
    canvas.Font()->SetColor(selected ? clHighlightText : (enabled_ ? clMenuText : clGrayText));
    canvas.AlignedText(rect, StripHotkey(caption_), TAlignment::taLeftJustify);
}

void TMenuItem::MeasureItem(TCanvas& canvas, int& width, int& height) {
    width = canvas.TextWidth(StripHotkey(caption_)) + 16;
    height = IsLine() ? 8 : canvas.TextHeight(caption_) + 6;
    if (OnMeasureItem) OnMeasureItem(this, &canvas, width, height);
}

// ---- menus ----

const TClassInfo& TMenu::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TMenu", &TComponent::StaticClass());
        c.Add(Property("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw));
        c.Add(ObjectProperty("Images", &TMenu::Images, &TMenu::SetImages));
        c.Add(ObjectProperty("Items", &TMenu::Items));
        return c;
    }();
    return info;
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(this)) {}

TMenu::~TMenu() {   // the root item is owned and freed with its sub-items
    CloseUp();
}

TMenu* TMenu::OpenMenu() noexcept { return openMenu; }

void TMenu::DropDown(TMenuItem* item) {
    if (openMenu && openMenu != this) openMenu->CloseUp();
    openMenu = this;
    openItem_ = item;
    selected_ = NextSelectable(item, -1, 1);
}

void TMenu::CloseUp() {
    if (openMenu != this) return;
    openMenu = nullptr;
    openItem_ = nullptr;
    selected_ = -1;
}

void TMenu::Choose(TMenuItem* item) {
    if (item->Count() > 0) {
        DropDown(item);
        return;
    }
    CloseUp();
    item->Click();
}

void TMenu::MenuKey(uint16_t key) {
    if (!IsOpen()) return;
    const int count = openItem_->Count();
    if (selected_ >= count) selected_ = -1;
    switch (key) {
        case VK_ESCAPE: CloseUp(); return;
        case VK_UP:
        case VK_DOWN: selected_ = NextSelectable(openItem_, selected_, key == VK_DOWN ? 1 : -1); return;
        case VK_RETURN:
            if (selected_ >= 0 && Selectable(openItem_->Items(selected_))) Choose(openItem_->Items(selected_));
            return;
        case VK_RIGHT:
            if (selected_ >= 0 && Selectable(openItem_->Items(selected_)) && openItem_->Items(selected_)->Count() > 0)
                DropDown(openItem_->Items(selected_));
            return;
        case VK_LEFT: {
            // Back to the level above, with the item we came from selected; a main
            // menu has no level above its dropped-down top-level items.
            TMenuItem* from = openItem_;
            const bool topOfMainMenu = from->Parent() == items_ && dynamic_cast<TMainMenu*>(this);
            if (from->Parent() && !topOfMainMenu) {
                DropDown(from->Parent());
                selected_ = from->MenuIndex();
            }
            return;
        }
        default:
            for (int i = 0; i < count; ++i) {
                TMenuItem* item = openItem_->Items(i);
                if (Selectable(item) && GetHotkey(item->Caption()) == key) {
                    Choose(item);
                    return;
                }
            }
    }
}

bool TMenu::Accelerate(char32_t hotkey) {
    for (int i = 0; i < items_->Count(); ++i) {
        TMenuItem* item = items_->Items(i);
        if (Selectable(item) && GetHotkey(item->Caption()) == hotkey) {
            Choose(item);
            return true;
        }
    }
    return false;
}

void TMenu::SetImages(TImageList* images) {
    if (images_) RemoveFreeNotification(images_);
    images_ = images;
    if (images) FreeNotification(images);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == images_) images_ = nullptr;
    TComponent::Notification(component, operation);
}

bool TMenu::IsShortCut(TShortCut shortCut) {
    TMenuItem* item = items_->FindShortCut(shortCut);
    if (!item || item == items_) return false;
    item->Click();
    return true;
}

const TClassInfo& TMainMenu::StaticClass() {
    static const TClassInfo info("TMainMenu", &TMenu::StaticClass(), [](TComponent* o) { return new TMainMenu(o); });
    return info;
}

const TClassInfo& TPopupMenu::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TPopupMenu", &TMenu::StaticClass(), [](TComponent* o) { return new TPopupMenu(o); });
        c.Add(Property("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup));
        c.Add(EventProperty("OnPopup", &TPopupMenu::OnPopup));
        return c;
    }();
    return info;
}

void TPopupMenu::SetPopupComponent(TComponent* c) {
    if (popupComponent_) RemoveFreeNotification(popupComponent_);
    popupComponent_ = c;
    if (c) FreeNotification(c);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == popupComponent_) popupComponent_ = nullptr;
    TMenu::Notification(component, operation);
}

void TPopupMenu::Popup(int x, int y) {
    point_ = {x, y};
    DropDown(Items());
    if (OnPopup) OnPopup(this);
}
