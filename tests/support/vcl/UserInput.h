#pragma once
// Test helpers that act like a user on the input road of platform/vcl/Input.h.
#include <string>
#include <string_view>

#include "platform/vcl/Input.h"

// Key down, the character it types (Enter, Escape, Backspace, Space, Tab), key up.
void PressKey(TCustomForm& form, uint16_t key, TShiftState shift = {});
// Types each character of a UTF-8 text as key down (for ASCII letters and digits),
// key press and key up.
void TypeText(TCustomForm& form, std::string_view text);
// Clicks the form's component of that name; raises EInvalidOperation when there is
// no such control.
void ClickNamed(TCustomForm& form, const std::string& name);

// The form's component of that name as T, or nullptr.
template <typename T>
T* Find(const TComponent& owner, const std::string& name) {
    return dynamic_cast<T*>(owner.FindComponent(name));
}
