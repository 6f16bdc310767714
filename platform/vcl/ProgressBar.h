#pragma once
// `TProgressBar`: a gauge from Min to Max; Position is kept within the range.
#include "platform/vcl/WinControl.h"

class TProgressBar : public TWinControl {
    VELMORA_CLASS(TProgressBar)
public:
    explicit TProgressBar(TComponent* owner);
    int Min() const noexcept { return min_; }
    void SetMin(int v);
    int Max() const noexcept { return max_; }
    void SetMax(int v);
    int Position() const noexcept { return position_; }
    void SetPosition(int v);
    int Step() const noexcept { return step_; }
    void SetStep(int v) { step_ = v; }
    void StepIt() { SetPosition(position_ + step_); }
    void StepBy(int delta) { SetPosition(position_ + delta); }
    // The filled share of the bar (0..1).
    double Fraction() const noexcept;
    void PaintOn(TCanvas& canvas) override;

private:
    int min_ = 0, max_ = 100, position_ = 0, step_ = 10;
};
