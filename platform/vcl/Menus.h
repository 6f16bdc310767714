#pragma once
// Menus: `TMenuItem` (caption with an "&" accelerator, "-" for a separator,
// shortcut, checked and radio items, enabled, visible, owner draw, click), the
// main menu of a form and popup menus of controls. Items hold their sub-items and
// free them when they go.
//
// Shortcuts: a key code with the modifier bits scShift, scCtrl and scAlt. A key
// down first looks for the shortcut in the popup menus of the focused control and
// its parents, then in the form's main menu; an enabled, visible item with that
// shortcut is clicked and the key is consumed.
//
// Open menus: at most one menu is open at a time (a popup menu, or a main menu
// item dropped down by its accelerator). While one is open it takes every key:
// Up and Down move the selection over the enabled, visible items (lines skipped,
// wrapping round), Enter clicks the selected item (or opens its sub-items), Right
// opens the selected item's sub-items and Left goes back to the level above them
// (a main menu's top level is not stepped through with Left and Right),
// Escape closes the menu, and an item's accelerator letter clicks (or opens) it.
// Clicking an item of the open menu, or pressing a mouse button, closes it.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/vcl/Control.h"

class TImageList;

using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
TShortCut ShortCut(uint16_t key, TShiftState shift);
// "Ctrl+S", "F2", "Shift+Del", "Ctrl+Alt+V"; "" for 0.
std::string ShortCutToText(TShortCut shortCut);
// The inverse; 0 for text it does not know.
TShortCut TextToShortCut(const std::string& text);
// The caption without its "&" markers ("&&" stays one "&").
std::string StripHotkey(const std::string& caption);
// The accelerator character of a caption (upper-cased), or 0.
char32_t GetHotkey(const std::string& caption);

using TMenuDrawItemEvent = std::function<void(TObject* sender, TCanvas* canvas, TRect rect, bool selected)>;
using TMenuMeasureItemEvent = std::function<void(TObject* sender, TCanvas* canvas, int& width, int& height)>;

class TMenuItem : public TComponent {
    VELMORA_CLASS(TMenuItem)
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(const std::string& c) { caption_ = c; }
    bool IsLine() const noexcept { return caption_ == "-"; }
    TShortCut ShortCut() const noexcept { return shortCut_; }
    void SetShortCut(TShortCut s) { shortCut_ = s; }
    // Checking a radio item unchecks the other radio items of its group under the same parent.
    bool Checked() const noexcept { return checked_; }
    void SetChecked(bool v);
    bool RadioItem() const noexcept { return radioItem_; }
    void SetRadioItem(bool v) { radioItem_ = v; }
    int GroupIndex() const noexcept { return groupIndex_; }
    void SetGroupIndex(int g) { groupIndex_ = g; }
    bool AutoCheck() const noexcept { return autoCheck_; }
    void SetAutoCheck(bool v) { autoCheck_ = v; }
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    const std::string& Hint() const noexcept { return hint_; }
    void SetHint(const std::string& h) { hint_ = h; }
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int i) { imageIndex_ = i; }

    TMenuItem* Parent() const noexcept { return parent_; }
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const;   // EListError out of range
    int IndexOf(const TMenuItem* item) const;
    int MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    void Delete(int index);   // frees the item
    void Clear();             // frees every sub-item
    // The sub-item whose caption without accelerators equals `caption` (any case).
    TMenuItem* Find(const std::string& caption) const;

    // Runs the item's action: AutoCheck toggles, then OnClick. Disabled items do nothing.
    virtual void Click();
    // The enabled, visible item with this shortcut in this item's tree, or nullptr.
    TMenuItem* FindShortCut(TShortCut shortCut);
    // Owner drawing through OnDrawItem (or the default: caption with the accelerator stripped).
    void DrawItem(TCanvas& canvas, const TRect& rect, bool selected);
    void MeasureItem(TCanvas& canvas, int& width, int& height);

    TNotifyEvent OnClick;
    TMenuDrawItemEvent OnDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;

private:
    std::string caption_;
    TShortCut shortCut_ = 0;
    bool checked_ = false, radioItem_ = false, autoCheck_ = false, enabled_ = true, visible_ = true;
    int groupIndex_ = 0;
    std::string hint_;
    int imageIndex_ = -1;
    TMenuItem* parent_ = nullptr;
    std::vector<TMenuItem*> items_;
};

class TMenu : public TComponent {
    VELMORA_CLASS(TMenu)
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;
    // The invisible root whose sub-items are the menu's items.
    TMenuItem* Items() const noexcept { return items_; }
    bool OwnerDraw() const noexcept { return ownerDraw_; }
    void SetOwnerDraw(bool v) { ownerDraw_ = v; }
    TImageList* Images() const noexcept { return images_; }
    void SetImages(TImageList* images);
    // Clicks the item with the shortcut; true when one was found.
    bool IsShortCut(TShortCut shortCut);
    // Clicks the enabled, visible top-level item with that accelerator, or opens
    // it when it has sub-items; true when one matched.
    bool Accelerate(char32_t hotkey);

    // The menu that is open now, or nullptr.
    static TMenu* OpenMenu() noexcept;
    bool IsOpen() const noexcept { return OpenMenu() == this; }
    // The item whose sub-items show while open (nullptr when closed), and the
    // index of the selected one among them (-1 for none).
    TMenuItem* OpenItem() const noexcept { return openItem_; }
    int Selected() const noexcept { return selected_; }
    // Shows the sub-items of `item` (an item of this menu, or Items() itself) with
    // the first selectable one selected; another open menu closes first.
    void DropDown(TMenuItem* item);
    void CloseUp();
    // A key while this menu is open (see above); always consumed.
    void MenuKey(uint16_t key);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void Choose(TMenuItem* item);
    TMenuItem* items_;
    bool ownerDraw_ = false;
    TImageList* images_ = nullptr;
    TMenuItem* openItem_ = nullptr;
    int selected_ = -1;
};

class TMainMenu : public TMenu {
    VELMORA_CLASS(TMainMenu)
public:
    using TMenu::TMenu;
};

class TPopupMenu : public TMenu {
    VELMORA_CLASS(TPopupMenu)
public:
    using TMenu::TMenu;
    bool AutoPopup() const noexcept { return autoPopup_; }
    void SetAutoPopup(bool v) { autoPopup_ = v; }
    // The control the menu was opened for.
    TComponent* PopupComponent() const noexcept { return popupComponent_; }
    void SetPopupComponent(TComponent* c);
    // Opens the menu at a screen point: raises OnPopup; the screen shows it (headless:
    // it stays open, taking the keys, until it closes as an open menu does).
    void Popup(int x, int y);
    TPoint PopupPoint() const noexcept { return point_; }
    TNotifyEvent OnPopup;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    bool autoPopup_ = true;
    TComponent* popupComponent_ = nullptr;
    TPoint point_;
};
