#pragma once
// `TToolBar` with `TToolButton`s laid out left to right in the order they were
// added: buttons (Click), check buttons (toggle Down), drop-down buttons (a click
// on the arrow, the rightmost 13 pixels, opens DropdownMenu), separators and
// dividers (no input). Images come from the tool bar's image list.
#include "platform/vcl/Control.h"
#include "platform/vcl/WinControl.h"

class TImageList;
class TPopupMenu;
class TMenuItem;
class TToolBar;

enum class TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolButton : public TGraphicControl {
    VELMORA_CLASS(TToolButton)
public:
    explicit TToolButton(TComponent* owner);

    TToolButtonStyle Style() const noexcept { return style_; }
    void SetStyle(TToolButtonStyle s);
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int i) { imageIndex_ = i; Invalidate(); }
    bool Down() const noexcept { return down_; }
    void SetDown(bool v);
    bool Grouped() const noexcept { return grouped_; }
    void SetGrouped(bool v) { grouped_ = v; }
    TPopupMenu* DropdownMenu() const noexcept { return dropdownMenu_; }
    void SetDropdownMenu(TPopupMenu* m);
    // A menu item whose click the button runs when it has no OnClick of its own.
    TMenuItem* MenuItem() const noexcept { return menuItem_; }
    void SetMenuItem(TMenuItem* m);
    TToolBar* ToolBar() const;

    void Click() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void UserClick() override;

protected:
    void Paint() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    TToolButtonStyle style_ = TToolButtonStyle::tbsButton;
    int imageIndex_ = -1;
    bool down_ = false;
    bool grouped_ = false;
    bool arrowPressed_ = false;
    TPopupMenu* dropdownMenu_ = nullptr;
    TMenuItem* menuItem_ = nullptr;
};

class TToolBar : public TWinControl {
    VELMORA_CLASS(TToolBar)
public:
    explicit TToolBar(TComponent* owner);

    TImageList* Images() const noexcept { return images_; }
    void SetImages(TImageList* images);
    int ButtonWidth() const noexcept { return buttonWidth_; }
    void SetButtonWidth(int w);
    int ButtonHeight() const noexcept { return buttonHeight_; }
    void SetButtonHeight(int h);
    bool Flat() const noexcept { return flat_; }
    void SetFlat(bool v) { flat_ = v; }
    bool ShowCaptions() const noexcept { return showCaptions_; }
    void SetShowCaptions(bool v) { showCaptions_ = v; }
    int ButtonCount() const;
    TToolButton* Buttons(int index) const;   // nullptr out of range

protected:
    void ControlListChanged() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TToolButton;
    void ArrangeButtons();
    TImageList* images_ = nullptr;
    int buttonWidth_ = 23, buttonHeight_ = 22;
    bool flat_ = true;
    bool showCaptions_ = false;
};
