#include "platform/vcl/ProgressBar.h"

#include <algorithm>

const TClassInfo& TProgressBar::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TProgressBar", &TWinControl::StaticClass(), [](TComponent* o) { return new TProgressBar(o); });
        c.Add(Property("Min", &TProgressBar::Min, &TProgressBar::SetMin));
        c.Add(Property("Max", &TProgressBar::Max, &TProgressBar::SetMax));
        c.Add(Property("Position", &TProgressBar::Position, &TProgressBar::SetPosition));
        c.Add(Property("Step", &TProgressBar::Step, &TProgressBar::SetStep));
        return c;
    }();
    return info;
}

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) { SetBoundsQuiet(0, 0, 150, 16); }

void TProgressBar::SetMin(int v) {
    min_ = v;
    max_ = std::max(max_, min_);
    SetPosition(position_);
}

void TProgressBar::SetMax(int v) {
    max_ = v;
    min_ = std::min(min_, max_);
    SetPosition(position_);
}

void TProgressBar::SetPosition(int v) {
    v = std::clamp(v, min_, max_);
    if (v == position_) return;
    position_ = v;
    Invalidate();
}

double TProgressBar::Fraction() const noexcept {
    return max_ == min_ ? 0.0 : static_cast<double>(position_ - min_) / (max_ - min_);
}

void TProgressBar::PaintOn(TCanvas& canvas) {
    canvas.Brush()->SetColor(clBtnFace);
    canvas.FillRect(ClientRect());
    canvas.Brush()->SetColor(clHighlight);
    canvas.FillRect(Rect(0, 0, static_cast<int>(Width() * Fraction()), Height()));
}
