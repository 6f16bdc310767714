#include "platform/vcl/ToolBar.h"

#include <algorithm>

#include "platform/vcl/ImageList.h"
#include "platform/vcl/Menus.h"

namespace {
const TTypeInfo& ToolButtonStyleType() {
    static const TTypeInfo t("TToolButtonStyle", TTypeKind::tkEnumeration,
                             {"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider"});
    return t;
}
constexpr int kArrowWidth = 13;
constexpr int kSeparatorWidth = 8;
}  // namespace

const TClassInfo& TToolButton::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TToolButton", &TGraphicControl::StaticClass(), [](TComponent* o) { return new TToolButton(o); });
        c.Add(TypedProperty("Style", ToolButtonStyleType(), &TToolButton::Style, &TToolButton::SetStyle));
        c.Add(Property("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex));
        c.Add(Property("Down", &TToolButton::Down, &TToolButton::SetDown));
        c.Add(Property("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped));
        c.Add(ObjectProperty("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu));
        c.Add(ObjectProperty("MenuItem", &TToolButton::MenuItem, &TToolButton::SetMenuItem));
        return c;
    }();
    return info;
}

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner) { SetBoundsQuiet(0, 0, 23, 22); }

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

void TToolButton::SetStyle(TToolButtonStyle s) {
    style_ = s;
    if (TToolBar* bar = ToolBar()) bar->ArrangeButtons();
}

void TToolButton::SetDown(bool v) {
    if (v == down_) return;
    down_ = v;
    // Grouped check buttons next to each other act as radio buttons.
    if (v && grouped_ && style_ == TToolButtonStyle::tbsCheck)
        if (TToolBar* bar = ToolBar()) {
            const int n = bar->ButtonCount();
            int me = 0;
            while (me < n && bar->Buttons(me) != this) ++me;
            for (int step : {-1, 1})
                for (int i = me + step; i >= 0 && i < n; i += step) {
                    TToolButton* b = bar->Buttons(i);
                    if (!b->grouped_ || b->style_ != TToolButtonStyle::tbsCheck) break;
                    b->down_ = false;
                }
        }
    Invalidate();
}

void TToolButton::SetDropdownMenu(TPopupMenu* m) {
    if (dropdownMenu_) RemoveFreeNotification(dropdownMenu_);
    dropdownMenu_ = m;
    if (m) FreeNotification(m);
}

void TToolButton::SetMenuItem(TMenuItem* m) {
    if (menuItem_) RemoveFreeNotification(menuItem_);
    menuItem_ = m;
    if (m) {
        FreeNotification(m);
        SetCaption(m->Caption());
        SetImageIndex(m->ImageIndex());
    }
}

void TToolButton::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove) {
        if (component == dropdownMenu_) dropdownMenu_ = nullptr;
        if (component == menuItem_) menuItem_ = nullptr;
    }
    TGraphicControl::Notification(component, operation);
}

void TToolButton::Click() {
    if (!OnClick && menuItem_) {
        menuItem_->Click();
        return;
    }
    TGraphicControl::Click();
}

void TToolButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    arrowPressed_ = style_ == TToolButtonStyle::tbsDropDown && x >= Width() - kArrowWidth;
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TToolButton::UserClick() {
    if (style_ == TToolButtonStyle::tbsSeparator || style_ == TToolButtonStyle::tbsDivider) return;
    if (arrowPressed_) {
        arrowPressed_ = false;
        if (dropdownMenu_) {
            dropdownMenu_->SetPopupComponent(this);
            dropdownMenu_->Popup(Left(), Top() + Height());
        }
        return;
    }
    if (style_ == TToolButtonStyle::tbsCheck) {
        if (!down_) SetDown(true);
        else if (!grouped_) SetDown(false);
    }
    Click();
}

void TToolButton::Paint() {
    TCanvas& c = *Canvas();
    if (style_ == TToolButtonStyle::tbsSeparator || style_ == TToolButtonStyle::tbsDivider) {
        if (style_ == TToolButtonStyle::tbsDivider) {
            c.Pen()->SetColor(clBtnShadow);
            c.MoveTo(Width() / 2, 0);
            c.LineTo(Width() / 2, Height());
        }
        return;
    }
    c.Brush()->SetColor(down_ ? clBtnHighlight : clBtnFace);
    c.FillRect(ClientRect());
    if (TToolBar* bar = ToolBar(); bar && bar->Images())
        bar->Images()->Draw(c, 3, 3, imageIndex_, EffectivelyEnabled());
    if (TToolBar* bar = ToolBar(); bar && bar->ShowCaptions()) c.AlignedText(ClientRect(), Caption(), TAlignment::taCenter,
                                                                             TTextLayout::tlBottom);
}

// ---- TToolBar ----

const TClassInfo& TToolBar::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TToolBar", &TWinControl::StaticClass(), [](TComponent* o) { return new TToolBar(o); });
        c.Add(ObjectProperty("Images", &TToolBar::Images, &TToolBar::SetImages));
        c.Add(Property("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth));
        c.Add(Property("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight));
        c.Add(Property("Flat", &TToolBar::Flat, &TToolBar::SetFlat));
        c.Add(Property("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions));
        return c;
    }();
    return info;
}

TToolBar::TToolBar(TComponent* owner) : TWinControl(owner) {
    SetBoundsQuiet(0, 0, 150, 29);
    SetAlign(TAlign::alTop);
}

void TToolBar::SetImages(TImageList* images) {
    if (images_) RemoveFreeNotification(images_);
    images_ = images;
    if (images) FreeNotification(images);
}

void TToolBar::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == images_) images_ = nullptr;
    TWinControl::Notification(component, operation);
}

void TToolBar::SetButtonWidth(int w) {
    buttonWidth_ = std::max(w, 1);
    ArrangeButtons();
}

void TToolBar::SetButtonHeight(int h) {
    buttonHeight_ = std::max(h, 1);
    ArrangeButtons();
}

int TToolBar::ButtonCount() const {
    int n = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (dynamic_cast<TToolButton*>(Controls(i))) ++n;
    return n;
}

TToolButton* TToolBar::Buttons(int index) const {
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* b = dynamic_cast<TToolButton*>(Controls(i)); b && index-- == 0) return b;
    return nullptr;
}

void TToolBar::ControlListChanged() { ArrangeButtons(); }

void TToolBar::ArrangeButtons() {
    int x = 0;
    for (int i = 0; i < ButtonCount(); ++i) {
        TToolButton* b = Buttons(i);
        if (!b->Visible()) continue;
        int w = buttonWidth_;
        if (b->Style() == TToolButtonStyle::tbsSeparator || b->Style() == TToolButtonStyle::tbsDivider)
            w = kSeparatorWidth;
        else if (b->Style() == TToolButtonStyle::tbsDropDown)
            w += kArrowWidth;
        b->SetBounds(x, 2, w, buttonHeight_);
        x += w;
    }
}
