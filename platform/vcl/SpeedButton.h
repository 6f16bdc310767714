#pragma once
// `TSpeedButton`: a flat button without focus, with a glyph of NumGlyphs images
// side by side (up, disabled, down, stay-down). With a GroupIndex it stays down;
// pressing one button of a group releases the others (AllowAllUp lets the last
// one come up again).
#include <memory>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Control.h"

class TSpeedButton : public TGraphicControl {
    VELMORA_CLASS(TSpeedButton)
public:
    explicit TSpeedButton(TComponent* owner);
    ~TSpeedButton() override;

    TBitmap* Glyph() const noexcept { return glyph_.get(); }
    int NumGlyphs() const noexcept { return numGlyphs_; }
    void SetNumGlyphs(int n) { numGlyphs_ = n < 1 ? 1 : (n > 4 ? 4 : n); }
    int GroupIndex() const noexcept { return groupIndex_; }
    void SetGroupIndex(int g) { groupIndex_ = g; }
    bool Down() const noexcept { return down_; }
    void SetDown(bool v);
    bool AllowAllUp() const noexcept { return allowAllUp_; }
    void SetAllowAllUp(bool v) { allowAllUp_ = v; }
    bool Flat() const noexcept { return flat_; }
    void SetFlat(bool v) { flat_ = v; }
    TButtonLayout Layout() const noexcept { return layout_; }
    void SetLayout(TButtonLayout l) { layout_ = l; }

    // A user's click: grouped buttons go down (or up with AllowAllUp), then OnClick.
    void UserClick() override;

protected:
    // Draws the glyph image for the state (disabled: the second image when there is one).
    void Paint() override;

private:
    std::unique_ptr<TBitmap> glyph_;
    int numGlyphs_ = 1;
    int groupIndex_ = 0;
    bool down_ = false;
    bool allowAllUp_ = false;
    bool flat_ = false;
    TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
};
