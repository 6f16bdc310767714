#include "tests/support/vcl/UserInput.h"

#include "platform/vcl/EditMask.h"

namespace {
char32_t CharOfKey(uint16_t key) {
    switch (key) {
        case VK_RETURN: return U'\r';
        case VK_ESCAPE: return 27;
        case VK_BACK: return U'\b';
        case VK_SPACE: return U' ';
        case VK_TAB: return U'\t';
        default: return 0;
    }
}
}  // namespace

void PressKey(TCustomForm& form, uint16_t key, TShiftState shift) {
    // As on the screen, a key handler that swallows a key down does not stop its
    // character; only a consumed shortcut or dialog key does.
    const bool consumed = KeyDown(form, key, shift);
    const char32_t ch = CharOfKey(key);
    if (!consumed && ch && !shift.Contains(TShiftStateItem::ssCtrl) && !shift.Contains(TShiftStateItem::ssAlt) &&
        form.Showing())
        KeyPress(form, ch);
    if (form.Showing()) KeyUp(form, key, shift);
}

void TypeText(TCustomForm& form, std::string_view text) {
    for (char32_t ch : ToChars(text)) {
        uint16_t key = 0;
        if ((ch >= U'0' && ch <= U'9') || (ch >= U'A' && ch <= U'Z')) key = static_cast<uint16_t>(ch);
        else if (ch >= U'a' && ch <= U'z') key = static_cast<uint16_t>(ch - 32);
        // A key that an accelerator or an open menu consumed types nothing.
        if (key && KeyDown(form, key)) {
            KeyUp(form, key);
            continue;
        }
        KeyPress(form, ch);
        if (key) KeyUp(form, key);
    }
}

void ClickNamed(TCustomForm& form, const std::string& name) {
    auto* control = dynamic_cast<TControl*>(form.FindComponent(name));
    if (!control) throw EInvalidOperation("No control named " + name + " on " + form.Name());
    Click(*control);
}
