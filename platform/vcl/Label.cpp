#include "platform/vcl/Label.h"

#include "platform/vcl/Menus.h"
#include "platform/vcl/WinControl.h"

const TClassInfo& TLabel::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TLabel", &TGraphicControl::StaticClass(), [](TComponent* o) { return new TLabel(o); });
        c.Add(TypedProperty("Alignment", AlignmentType(), &TLabel::Alignment, &TLabel::SetAlignment));
        c.Add(TypedProperty("Layout", TextLayoutType(), &TLabel::Layout, &TLabel::SetLayout));
        c.Add(Property("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize));
        c.Add(Property("Transparent", &TLabel::Transparent, &TLabel::SetTransparent));
        c.Add(Property("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap));
        c.Add(ObjectProperty("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl));
        return c;
    }();
    return info;
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) { SetBoundsQuiet(0, 0, 65, 13); }

void TLabel::SetAutoSize(bool v) {
    autoSize_ = v;
    AdjustSize();
}

void TLabel::AdjustSize() {
    if (!autoSize_ || wordWrap_) return;
    TCanvas measure;
    measure.Font()->Assign(Font());
    const std::string shown = StripHotkey(Caption());
    SetBounds(Left(), Top(), measure.TextWidth(shown), measure.TextHeight(shown));
}

void TLabel::TextChanged() {
    AdjustSize();
    TGraphicControl::TextChanged();
}

void TLabel::SetFocusControl(TWinControl* c) {
    if (focusControl_) RemoveFreeNotification(focusControl_);
    focusControl_ = c;
    if (c) FreeNotification(c);
}

bool TLabel::DialogChar(char32_t hotkey) {
    if (!focusControl_ || GetHotkey(Caption()) != hotkey || !focusControl_->CanFocus()) return false;
    focusControl_->SetFocus();
    return true;
}

void TLabel::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == focusControl_) focusControl_ = nullptr;
    TGraphicControl::Notification(component, operation);
}

void TLabel::Paint() {
    TCanvas& c = *Canvas();
    const TRect r = ClientRect();
    if (!transparent_) {
        c.Brush()->SetColor(Color());
        c.FillRect(r);
    }
    c.Brush()->SetStyle(TBrushStyle::bsClear);
    if (!EffectivelyEnabled()) c.Font()->SetColor(clGrayText);
    c.AlignedText(r, StripHotkey(Caption()), alignment_, layout_, 0);
    c.Brush()->SetStyle(TBrushStyle::bsSolid);
}
