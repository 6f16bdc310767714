#include "platform/vcl/TabSet.h"

#include <algorithm>

namespace {
const TTypeInfo& TabStyleType() {
    static const TTypeInfo t("TTabStyle", TTypeKind::tkEnumeration, {"tsStandard", "tsOwnerDraw"});
    return t;
}
}  // namespace

const TClassInfo& TTabSet::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TTabSet", &TWinControl::StaticClass(), [](TComponent* o) { return new TTabSet(o); });
        c.Add(ObjectProperty("Tabs", &TTabSet::Tabs));
        c.Add(Property("TabIndex", &TTabSet::TabIndex, &TTabSet::SetTabIndex));
        c.Add(TypedProperty("Style", TabStyleType(), &TTabSet::Style, &TTabSet::SetStyle));
        c.Add(EventProperty("OnChange", &TTabSet::OnChange));
        c.Add(EventProperty("OnDrawTab", &TTabSet::OnDrawTab));
        c.Add(EventProperty("OnMeasureTab", &TTabSet::OnMeasureTab));
        return c;
    }();
    return info;
}

TTabSet::TTabSet(TComponent* owner) : TWinControl(owner), tabs_(std::make_unique<TStringList>()) {
    SetBoundsQuiet(0, 0, 185, 21);
    tabs_->OnChange = [this](TObject*) {
        if (tabIndex_ >= tabs_->Count()) tabIndex_ = tabs_->Count() - 1;
        Invalidate();
    };
}

TTabSet::~TTabSet() { tabs_->OnChange = nullptr; }

void TTabSet::SetTabIndex(int index) {
    if (index < -1 || index >= tabs_->Count()) index = -1;
    tabIndex_ = index;
    Invalidate();
}

bool TTabSet::ChangeTab(int index) {
    if (index < 0 || index >= tabs_->Count() || index == tabIndex_) return false;
    bool allow = true;
    if (OnChange) OnChange(this, index, allow);
    if (!allow) return false;
    tabIndex_ = index;
    Invalidate();
    Click();
    return true;
}

void TTabSet::SelectNext(bool forward) {
    const int n = tabs_->Count();
    if (n == 0) return;
    ChangeTab(((tabIndex_ < 0 ? (forward ? -1 : 0) : tabIndex_) + (forward ? 1 : n - 1)) % n);
}

TRect TTabSet::TabRect(int index) {
    TCanvas measure;
    measure.Font()->Assign(Font());
    int x = 4;
    for (int i = 0; i < tabs_->Count(); ++i) {
        int w = measure.TextWidth(tabs_->Strings(i)) + 12;
        if (style_ == TTabStyle::tsOwnerDraw && OnMeasureTab) OnMeasureTab(this, i, w);
        if (i == index) return Rect(x, 0, x + w, Height());
        x += w;
    }
    return TRect{};
}

void TTabSet::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TWinControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft) return;
    for (int i = 0; i < tabs_->Count(); ++i)
        if (TabRect(i).Contains({x, y})) {
            ChangeTab(i);
            return;
        }
}

void TTabSet::PaintOn(TCanvas& canvas) {
    canvas.Font()->Assign(Font());
    for (int i = 0; i < tabs_->Count(); ++i) {
        const TRect r = TabRect(i);
        if (style_ == TTabStyle::tsOwnerDraw && OnDrawTab) {
            OnDrawTab(this, &canvas, r, i, i == tabIndex_);
            continue;
        }
        canvas.Brush()->SetColor(i == tabIndex_ ? clWindow : clBtnFace);
        canvas.FillRect(r);
        canvas.AlignedText(r, tabs_->Strings(i), TAlignment::taCenter);
    }
}
