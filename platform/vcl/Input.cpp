#include "platform/vcl/Input.h"

#include "platform/vcl/Application.h"
#include "platform/vcl/Menus.h"

namespace {
// Runs one piece of input as the event loop would: an error goes to the
// application's handler, and messages posted meanwhile run afterwards.
template <typename F>
void Deliver(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        Application()->HandleException(e);
    }
    Application()->ProcessMessages();
}

TWinControl& KeyTarget(TCustomForm& form) {
    TWinControl* c = form.ActiveControl();
    return c ? *c : form;
}

bool Reachable(const TControl& c) {
    if (!c.EffectivelyEnabled()) return false;
    if (auto* form = dynamic_cast<const TCustomForm*>(&c)) return form->Showing();
    return c.Showing();
}

// A press of any button closes an open menu, as a press outside it does on the screen.
void CloseOpenMenu() {
    if (TMenu* open = TMenu::OpenMenu()) open->CloseUp();
}

// A press of the left button moves the focus to a window control that takes it.
void FocusOnPress(TControl& control) {
    auto* w = dynamic_cast<TWinControl*>(&control);
    if (w && w->TabStop() && w->CanFocus() && !w->Focused()) w->SetFocus();
}
}  // namespace

bool KeyDown(TCustomForm& form, uint16_t key, TShiftState shift) {
    bool consumed = false;
    Deliver([&] { consumed = KeyTarget(form).KeyDownInput(key, shift); });
    return consumed;
}

void KeyPress(TCustomForm& form, char32_t ch) {
    Deliver([&] { KeyTarget(form).KeyPressInput(ch); });
}

void KeyUp(TCustomForm& form, uint16_t key, TShiftState shift) {
    Deliver([&] { KeyTarget(form).KeyUpInput(key, shift); });
}

void Click(TControl& control, int x, int y, TShiftState shift) {
    if (!Reachable(control)) return;
    Deliver([&] {
        CloseOpenMenu();
        FocusOnPress(control);
        control.MouseDown(TMouseButton::mbLeft, shift + TShiftState{TShiftStateItem::ssLeft}, x, y);
        control.UserClick();
        control.MouseUp(TMouseButton::mbLeft, shift, x, y);
    });
}

void DoubleClick(TControl& control, int x, int y) {
    if (!Reachable(control)) return;
    Deliver([&] {
        CloseOpenMenu();
        FocusOnPress(control);
        control.MouseDown(TMouseButton::mbLeft, {TShiftStateItem::ssLeft, TShiftStateItem::ssDouble}, x, y);
        control.DblClick();
        control.MouseUp(TMouseButton::mbLeft, {}, x, y);
    });
}

void MouseDown(TControl& control, TMouseButton button, int x, int y, TShiftState shift) {
    if (!Reachable(control)) return;
    Deliver([&] {
        CloseOpenMenu();
        if (button == TMouseButton::mbLeft) FocusOnPress(control);
        control.MouseDown(button, shift, x, y);
    });
}

void MouseMove(TControl& control, int x, int y, TShiftState shift) {
    if (!Reachable(control)) return;
    Deliver([&] {
        const std::string& hint = control.Hint();
        const auto bar = hint.find('|');
        Application()->SetHint(bar == std::string::npos ? hint : hint.substr(bar + 1));
        control.MouseMove(shift, x, y);
    });
}

void MouseUp(TControl& control, TMouseButton button, int x, int y, TShiftState shift) {
    if (!Reachable(control)) return;
    Deliver([&] { control.MouseUp(button, shift, x, y); });
}

void ContextClick(TControl& control, int x, int y) {
    if (!Reachable(control)) return;
    Deliver([&] {
        CloseOpenMenu();
        control.MouseDown(TMouseButton::mbRight, {TShiftStateItem::ssRight}, x, y);
        control.MouseUp(TMouseButton::mbRight, {}, x, y);
        // The nearest popup menu, from the control outwards.
        for (TControl* c = &control; c; c = c->Parent())
            if (TPopupMenu* menu = c->PopupMenu(); menu && menu->AutoPopup()) {
                menu->SetPopupComponent(&control);
                menu->Popup(control.Left() + x, control.Top() + y);
                break;
            }
    });
}
