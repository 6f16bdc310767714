#include "platform/vcl/SpeedButton.h"

#include "platform/vcl/WinControl.h"

const TClassInfo& TSpeedButton::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TSpeedButton", &TGraphicControl::StaticClass(), [](TComponent* o) { return new TSpeedButton(o); });
        c.Add(ObjectProperty("Glyph", &TSpeedButton::Glyph));
        c.Add(Property("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs));
        c.Add(Property("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex));
        c.Add(Property("Down", &TSpeedButton::Down, &TSpeedButton::SetDown));
        c.Add(Property("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp));
        c.Add(Property("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat));
        c.Add(TypedProperty("Layout", ButtonLayoutType(), &TSpeedButton::Layout, &TSpeedButton::SetLayout));
        return c;
    }();
    return info;
}

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), glyph_(std::make_unique<TBitmap>()) {
    SetBoundsQuiet(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetDown(bool v) {
    if (groupIndex_ == 0) v = false;   // only grouped buttons stay down
    if (v == down_) return;
    if (!v && !allowAllUp_) {
        // The last button down of a group stays down unless all may be up.
        bool otherDown = false;
        if (TWinControl* p = Parent())
            for (int i = 0; i < p->ControlCount(); ++i)
                if (auto* b = dynamic_cast<TSpeedButton*>(p->Controls(i)); b && b != this && b->groupIndex_ == groupIndex_ && b->down_)
                    otherDown = true;
        if (!otherDown) return;
    }
    down_ = v;
    if (v)
        if (TWinControl* p = Parent())
            for (int i = 0; i < p->ControlCount(); ++i)
                if (auto* b = dynamic_cast<TSpeedButton*>(p->Controls(i)); b && b != this && b->groupIndex_ == groupIndex_)
                    b->down_ = false;
    Invalidate();
}

void TSpeedButton::UserClick() {
    if (groupIndex_ != 0) {
        if (!down_)
            SetDown(true);
        else if (allowAllUp_)
            SetDown(false);
    }
    Click();
}

void TSpeedButton::Paint() {
    TCanvas& c = *Canvas();
    c.Brush()->SetColor(clBtnFace);
    c.FillRect(ClientRect());
    if (!glyph_->Empty()) {
        const int w = glyph_->Width() / numGlyphs_;
        int image = 0;
        if (!EffectivelyEnabled() && numGlyphs_ > 1) image = 1;
        else if (down_ && numGlyphs_ > 3) image = 3;
        else if (down_ && numGlyphs_ > 2) image = 2;
        TBitmap part(w, glyph_->Height());
        for (int y = 0; y < glyph_->Height(); ++y)
            for (int x = 0; x < w; ++x) part.SetPixels(x, y, glyph_->Pixels(image * w + x, y));
        c.Draw((Width() - w) / 2, (Height() - glyph_->Height()) / 2, part, glyph_->TransparentColor());
    }
    if (!Caption().empty()) c.AlignedText(ClientRect(), Caption(), TAlignment::taCenter);
}
