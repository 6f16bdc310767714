#pragma once
// `TControl`: a component that sits on a parent window control and has a place
// (bounds, alignment), a look (caption, colour, font, cursor, hint) and mouse
// input. Window controls that hold children and take focus are `TWinControl`s;
// `TGraphicControl`s are painted by their parent's surface and never take focus.
//
// Input reaches controls only through the entry points of Input.h, which both the
// screen and tests call; handlers never need to be called directly.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/classes/Component.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Types.h"

class TWinControl;
class TCustomForm;
class TPopupMenu;

VELMORA_DECLARE_EXCEPTION(EInvalidOperation, Exception);

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
const TTypeInfo& AlignType();

enum class TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;
enum class TMouseButton { mbLeft, mbRight, mbMiddle };

using TKeyEvent = std::function<void(TObject* sender, uint16_t& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char32_t& key)>;
using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;

// Virtual key codes used by the framework.
enum : uint16_t {
    VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17, VK_MENU = 18, VK_ESCAPE = 27,
    VK_SPACE = 32, VK_PRIOR = 33, VK_NEXT = 34, VK_END = 35, VK_HOME = 36, VK_LEFT = 37, VK_UP = 38,
    VK_RIGHT = 39, VK_DOWN = 40, VK_INSERT = 45, VK_DELETE = 46, VK_F1 = 112, VK_F2 = 113, VK_F3 = 114,
    VK_F4 = 115, VK_F5 = 116, VK_F6 = 117, VK_F7 = 118, VK_F8 = 119, VK_F9 = 120, VK_F10 = 121, VK_F11 = 122,
    VK_F12 = 123
};

// A window message: posted to the application's queue or sent straight to a control.
struct TMessage {
    unsigned Msg = 0;
    intptr_t WParam = 0;
    intptr_t LParam = 0;
    intptr_t Result = 0;
};
constexpr unsigned WM_USER = 0x0400;

class TControl : public TComponent {
    VELMORA_CLASS(TControl)
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const noexcept { return parent_; }
    // Moves the control to another parent (or none); the old and new parents realign.
    virtual void SetParent(TWinControl* parent);

    int Left() const noexcept { return left_; }
    int Top() const noexcept { return top_; }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    // Sets all four at once; negative sizes become 0. An aligned control is put
    // back in its place by its parent's layout.
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const noexcept { return Bounds(left_, top_, width_, height_); }
    // The area children are laid out in, in the control's own coordinates.
    virtual TRect ClientRect() const { return Rect(0, 0, width_, height_); }
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    void SetClientWidth(int w) { SetWidth(width_ - ClientWidth() + w); }
    void SetClientHeight(int h) { SetHeight(height_ - ClientHeight() + h); }

    TAlign Align() const noexcept { return align_; }
    void SetAlign(TAlign align);

    bool Visible() const noexcept { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent showing (a form shows when it is visible).
    virtual bool Showing() const;
    bool Enabled() const noexcept { return enabled_; }
    virtual void SetEnabled(bool enabled);
    // Enabled, and every parent enabled.
    bool EffectivelyEnabled() const;

    // Caption and Text are one text (a label's Caption is an edit's Text).
    const std::string& Caption() const noexcept { return text_; }
    void SetCaption(const std::string& text) { SetText(text); }
    const std::string& Text() const noexcept { return text_; }
    virtual void SetText(const std::string& text);

    TColor Color() const noexcept { return color_; }
    void SetColor(TColor color);
    bool ParentColor() const noexcept { return parentColor_; }
    void SetParentColor(bool value);
    TFont* Font() const noexcept { return font_.get(); }
    bool ParentFont() const noexcept { return parentFont_; }
    void SetParentFont(bool value);

    const std::string& Hint() const noexcept { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    bool ShowHint() const noexcept { return showHint_; }
    void SetShowHint(bool value);
    bool ParentShowHint() const noexcept { return parentShowHint_; }
    void SetParentShowHint(bool value);

    TPopupMenu* PopupMenu() const noexcept { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);
    TCursor Cursor() const noexcept { return cursor_; }
    void SetCursor(TCursor cursor) { cursor_ = cursor; }

    // Raises the click event (OnClick); buttons override to add their action.
    virtual void Click();
    // What a user's click does (Input.h calls it): Click, unless the control
    // reacts otherwise (a check box toggles, which then raises Click).
    virtual void UserClick() { Click(); }
    virtual void DblClick();
    // An accelerator key (the upper-cased character after "&" in a caption) that
    // reached the form: true when this control, or one inside it, acted on it.
    virtual bool DialogChar(char32_t hotkey) { (void)hotkey; return false; }

    // Sends a message straight to the control; returns its result.
    intptr_t Perform(unsigned msg, intptr_t wParam = 0, intptr_t lParam = 0);
    // Handles one message; overrides handle their own numbers and pass the rest on.
    virtual void WndProc(TMessage& message);

    // Painting: a repaint request, counted so that tests can see it; the screen
    // paints on its next cycle.
    void Invalidate() { ++invalidations_; }
    int Invalidations() const noexcept { return invalidations_; }
    // Paints the control on the given canvas (custom-painted controls draw here).
    virtual void PaintOn(TCanvas& canvas);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnResize;

    // Input entry points (see Input.h), overridden where a control reacts itself.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // Told after the text changed.
    virtual void TextChanged() {}
    // Told when the parent's font or colour changed (for ParentFont/ParentColor).
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    void SetBoundsQuiet(int left, int top, int width, int height);   // no realign request
    virtual void Resize();

private:
    friend class TWinControl;
    void FontChanged();
    void ColorChanged();
    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = TAlign::alNone;
    bool visible_ = true;
    bool enabled_ = true;
    std::string text_;
    TColor color_ = clBtnFace;
    bool parentColor_ = false;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    bool updatingFont_ = false;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TPopupMenu* popupMenu_ = nullptr;
    TCursor cursor_ = crDefault;
    int invalidations_ = 0;
};

// A control without a window of its own (labels, bevels, speed buttons).
class TGraphicControl : public TControl {
    VELMORA_CLASS(TGraphicControl)
public:
    using TControl::TControl;
    // The canvas being painted on, valid inside Paint only.
    TCanvas* Canvas() const noexcept { return canvas_; }
    void PaintOn(TCanvas& canvas) override;

protected:
    virtual void Paint() {}

private:
    TCanvas* canvas_ = nullptr;
};

// The form a control sits on (walking up the parents), or nullptr.
TCustomForm* GetParentForm(const TControl* control);
