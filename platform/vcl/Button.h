#pragma once
// Push buttons: `TButton` (default and cancel buttons answer Enter and Escape;
// a modal result closes a modal form) and `TBitBtn` (a button with a glyph).
#include <memory>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/WinControl.h"

class TButton : public TWinControl {
    VELMORA_CLASS(TButton)
public:
    explicit TButton(TComponent* owner);

    bool Default() const noexcept { return default_; }
    void SetDefault(bool v) { default_ = v; }
    bool Cancel() const noexcept { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    int ModalResult() const noexcept { return modalResult_; }
    void SetModalResult(int r) { modalResult_ = r; }

    // Sets the form's ModalResult (when the button has one), then raises OnClick.
    void Click() override;

protected:
    void KeyPress(char32_t& key) override;   // Space clicks
    bool ClicksOnAccelerator() const override { return true; }

private:
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
};

enum class TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A glyph holding NumGlyphs images side by side (normal, disabled, ...).
class TBitBtn : public TButton {
    VELMORA_CLASS(TBitBtn)
public:
    explicit TBitBtn(TComponent* owner);
    ~TBitBtn() override;

    TBitmap* Glyph() const noexcept { return glyph_.get(); }
    int NumGlyphs() const noexcept { return numGlyphs_; }
    void SetNumGlyphs(int n) { numGlyphs_ = n < 1 ? 1 : (n > 4 ? 4 : n); }
    TBitBtnKind Kind() const noexcept { return kind_; }
    // A kind other than custom sets the caption and the modal result that go with it.
    void SetKind(TBitBtnKind kind);
    TButtonLayout Layout() const noexcept { return layout_; }
    void SetLayout(TButtonLayout l) { layout_ = l; }

private:
    std::unique_ptr<TBitmap> glyph_;
    int numGlyphs_ = 1;
    TBitBtnKind kind_ = TBitBtnKind::bkCustom;
    TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
};

const TTypeInfo& ButtonLayoutType();
