#pragma once
// `TLabel`: a caption painted on its parent. Its FocusControl (cleared when that
// control goes) is where an accelerator of the caption sends the focus.
#include "platform/vcl/Control.h"

class TWinControl;

class TLabel : public TGraphicControl {
    VELMORA_CLASS(TLabel)
public:
    explicit TLabel(TComponent* owner);

    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment a) { alignment_ = a; Invalidate(); }
    TTextLayout Layout() const noexcept { return layout_; }
    void SetLayout(TTextLayout l) { layout_ = l; Invalidate(); }
    // With AutoSize, the width and height follow the caption (headless metrics).
    bool AutoSize() const noexcept { return autoSize_; }
    void SetAutoSize(bool v);
    bool Transparent() const noexcept { return transparent_; }
    void SetTransparent(bool v) { transparent_ = v; }
    bool WordWrap() const noexcept { return wordWrap_; }
    void SetWordWrap(bool v) { wordWrap_ = v; }
    TWinControl* FocusControl() const noexcept { return focusControl_; }
    void SetFocusControl(TWinControl* c);
    // The caption's accelerator focuses FocusControl (when it can take the focus).
    bool DialogChar(char32_t hotkey) override;

protected:
    void Paint() override;
    void TextChanged() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void AdjustSize();
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TTextLayout layout_ = TTextLayout::tlTop;
    bool autoSize_ = true;
    bool transparent_ = false;
    bool wordWrap_ = false;
    TWinControl* focusControl_ = nullptr;
};
