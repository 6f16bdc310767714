#pragma once
// `TWinControl`: a control that holds child controls, lays them out by `Align`
// and can take the keyboard focus. Keys go to the focused window control (after
// the form's key preview); Tab, Enter and Escape that no handler swallowed become
// dialog keys of the form.
//
// Layout: the client area is filled in the order top, bottom, left, right, client.
// Controls of one alignment are stacked by their current position (top-aligned by
// Top, bottom-aligned from the bottom up, left by Left, right from the right),
// ties broken in favour of the control just placed or changed, then by creation
// order; invisible controls take no room.
#include <vector>

#include "platform/vcl/Control.h"

class TWinControl : public TControl {
    VELMORA_CLASS(TWinControl)
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // The native window handle, made on first use: unique in the process, never 0.
    // The screen maps it to its own window; headless it only identifies the control.
    intptr_t Handle() const;
    bool HandleAllocated() const noexcept { return handle_ != 0; }

    int ControlCount() const noexcept { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const;   // EListError out of range
    bool ContainsControl(const TControl* control) const;   // any depth

    // Position among the parent's window controls in tab order; setting moves it
    // there (clamped). -1 without a parent.
    int TabOrder() const;
    void SetTabOrder(int order);
    bool TabStop() const noexcept { return tabStop_; }
    void SetTabStop(bool value) { tabStop_ = value; }

    // Showing and enabled, and on a form that is showing.
    virtual bool CanFocus() const;
    // Gives this control the focus (through its form: exit and enter events run).
    // Raises EInvalidOperation "Cannot focus a disabled or invisible window".
    virtual void SetFocus();
    bool Focused() const;

    // Every window control below this one in tab order, containers before their children.
    void GetTabOrderList(std::vector<TWinControl*>& list) const;
    // The next (or previous) control after `current` in tab order that can take the
    // focus (and has TabStop when asked; is a direct child when asked), wrapping round.
    TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop, bool checkParent) const;
    // Focuses the next control in tab order after `current`.
    void SelectNext(TWinControl* current, bool forward, bool checkTabStop);

    void DisableAlign() { ++alignDisabled_; }
    void EnableAlign();
    // Lays the children out again (see above). `trigger`, the control whose change
    // asked for the layout, goes first among controls at the same position.
    void Realign(TControl* trigger = nullptr);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

    // Key input of the focused control (see Input.h). The form's preview runs first;
    // a handler swallows a key by setting it to 0. KeyDownInput returns true when a
    // menu shortcut or a dialog key consumed the key (so it types no character).
    bool KeyDownInput(uint16_t& key, TShiftState shift);
    void KeyPressInput(char32_t& key);
    // A key a container hands on to a control it just opened for it (a grid's
    // in-place control): the control's handlers run, the form's preview already has.
    void ForwardKeyPress(char32_t& key);
    void KeyUpInput(uint16_t& key, TShiftState shift);

    // Offers the accelerator to the showing, enabled controls inside this one in
    // order (a control that clicks on its accelerator takes the focus and clicks).
    bool DialogChar(char32_t hotkey) override;

    // A dialog key of a control inside this one (Ctrl+Tab for a page control); true
    // when handled. The form asks the containers of the focused control, innermost first.
    virtual bool ContainerDialogKey(uint16_t key, TShiftState shift);

    // Raised by the form around focus changes.
    virtual void DoEnter();
    virtual void DoExit();

protected:
    // The control's own handling, after its events, of a key nobody swallowed.
    virtual void KeyDown(uint16_t& key, TShiftState shift);
    virtual void KeyPress(char32_t& key);
    virtual void KeyUp(uint16_t& key, TShiftState shift);
    // True for keys the control handles itself instead of the form (an edit wants
    // arrows; a memo wants Enter).
    virtual bool WantsKey(uint16_t key, TShiftState shift) const;
    // True for controls that take typed characters (edits, lists, grids): a plain
    // letter typed there is input, not an accelerator.
    virtual bool WantsChars() const { return false; }
    // True for controls that a matching accelerator focuses and clicks (buttons,
    // check boxes, radio buttons).
    virtual bool ClicksOnAccelerator() const { return false; }
    // Told after a child control was added or removed (tool bars arrange their buttons).
    virtual void ControlListChanged() {}
    // Shrinks the client area for borders and bevels.
    virtual void AdjustClientRect(TRect& rect) const;
    void Resize() override;

private:
    friend class TControl;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void RequestAlign(TControl* trigger = nullptr);

    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;
    bool tabStop_ = false;
    int alignDisabled_ = 0;
    bool aligning_ = false;
    mutable intptr_t handle_ = 0;
};
