#include "platform/vcl/HintWindow.h"

#include <algorithm>

#include "platform/vcl/Application.h"

const TClassInfo& THintWindow::StaticClass() {
    static const TClassInfo info("THintWindow", &TWinControl::StaticClass(),
                                 [](TComponent* o) { return new THintWindow(o); });
    return info;
}

THintWindow::THintWindow(TComponent* owner) : TWinControl(owner) {
    TControl::SetVisible(false);
    Font()->Assign(Screen()->HintFont());
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& hint) const {
    TCanvas measure;
    measure.Font()->Assign(Font());
    return Rect(0, 0, std::min(measure.TextWidth(hint) + 8, maxWidth), measure.TextHeight(hint) + 4);
}

void THintWindow::ActivateHint(const TRect& rect, const std::string& hint) {
    SetColor(Application()->HintColor());
    SetCaption(hint);
    SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
    active_ = true;
    TControl::SetVisible(true);
}

void THintWindow::ReleaseHint() {
    active_ = false;
    TControl::SetVisible(false);
}

void THintWindow::PaintOn(TCanvas& canvas) {
    canvas.Brush()->SetColor(Color());
    canvas.FillRect(ClientRect());
    canvas.Font()->Assign(Font());
    canvas.AlignedText(ClientRect(), Caption(), TAlignment::taLeftJustify, TTextLayout::tlCenter);
}
