#pragma once
// The input road: the one way keys, typing, clicks and mouse moves reach forms
// and controls. The screen calls these for real input; tests call them (directly
// or through the test support helpers) to act like a user. Nothing here is ever
// bypassed by calling event handlers directly.
//
// Keys go to the form's focused control, or to the form itself when nothing has
// the focus: menu shortcuts first, then dialog keys (Tab, Enter, Escape) that the
// control does not want, then the form's key preview, then the control.
// Mouse input goes to an enabled, showing control; a disabled or hidden one
// ignores it. Coordinates are the control's own.
#include <cstdint>
#include <string_view>

#include "platform/vcl/Form.h"

// True when a menu shortcut or a dialog key consumed the key: then it types no character.
bool KeyDown(TCustomForm& form, uint16_t key, TShiftState shift = {});
void KeyPress(TCustomForm& form, char32_t ch);
void KeyUp(TCustomForm& form, uint16_t key, TShiftState shift = {});

// Left button down and up over the control: focus moves to a window control that
// takes focus, then the control's click action runs (UserClick).
void Click(TControl& control, int x = 1, int y = 1, TShiftState shift = {});
void DoubleClick(TControl& control, int x = 1, int y = 1);
void MouseDown(TControl& control, TMouseButton button, int x, int y, TShiftState shift = {});
// Moving over a control also makes its hint (the part after "|", or all of it)
// the application's current hint, which OnHint reports (status bars show it).
void MouseMove(TControl& control, int x, int y, TShiftState shift = {});
void MouseUp(TControl& control, TMouseButton button, int x, int y, TShiftState shift = {});
// The right button on a control with a popup menu (AutoPopup) opens that menu.
void ContextClick(TControl& control, int x = 1, int y = 1);
