#pragma once
// `THintWindow`: the small window that shows a hint text near the mouse. It sizes
// itself to the text (headless metrics plus a 4-pixel margin) and shows until
// ReleaseHint. The application's hint colour is its colour.
#include "platform/vcl/WinControl.h"

class THintWindow : public TWinControl {
    VELMORA_CLASS(THintWindow)
public:
    explicit THintWindow(TComponent* owner);
    // The rectangle a hint text needs, at (0, 0), no wider than maxWidth.
    TRect CalcHintRect(int maxWidth, const std::string& hint) const;
    // Shows the text at the rectangle (screen coordinates).
    void ActivateHint(const TRect& rect, const std::string& hint);
    void ReleaseHint();
    bool Active() const noexcept { return active_; }
    bool Showing() const override { return active_; }
    void PaintOn(TCanvas& canvas) override;

private:
    bool active_ = false;
};
