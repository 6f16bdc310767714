#include "platform/vcl/Panel.h"

#include <algorithm>

const TTypeInfo& PanelBevelType() {
    static const TTypeInfo t("TPanelBevel", TTypeKind::tkEnumeration, {"bvNone", "bvLowered", "bvRaised", "bvSpace"});
    return t;
}

namespace {
const TTypeInfo& BevelShapeType() {
    static const TTypeInfo t("TBevelShape", TTypeKind::tkEnumeration,
                             {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"});
    return t;
}
const TTypeInfo& BevelStyleType() {
    static const TTypeInfo t("TBevelStyle", TTypeKind::tkEnumeration, {"bsLowered", "bsRaised"});
    return t;
}
}  // namespace

const TClassInfo& TCustomPanel::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TCustomPanel", &TWinControl::StaticClass());
        c.Add(TypedProperty("BevelOuter", PanelBevelType(), &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter));
        c.Add(TypedProperty("BevelInner", PanelBevelType(), &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner));
        c.Add(Property("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth));
        c.Add(Property("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth));
        c.Add(TypedProperty("Alignment", AlignmentType(), &TCustomPanel::Alignment, &TCustomPanel::SetAlignment));
        return c;
    }();
    return info;
}

TCustomPanel::TCustomPanel(TComponent* owner) : TWinControl(owner) { SetBoundsQuiet(0, 0, 185, 41); }

void TCustomPanel::SetBevelOuter(TPanelBevel b) {
    bevelOuter_ = b;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel b) {
    bevelInner_ = b;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int w) {
    bevelWidth_ = std::max(w, 1);
    Realign();
}

void TCustomPanel::SetBorderWidth(int w) {
    borderWidth_ = std::max(w, 0);
    Realign();
}

void TCustomPanel::AdjustClientRect(TRect& r) const {
    int inset = borderWidth_;
    if (bevelOuter_ != TPanelBevel::bvNone) inset += bevelWidth_;
    if (bevelInner_ != TPanelBevel::bvNone) inset += bevelWidth_;
    r = Rect(r.Left + inset, r.Top + inset, std::max(r.Left + inset, r.Right - inset),
             std::max(r.Top + inset, r.Bottom - inset));
}

void TCustomPanel::PaintOn(TCanvas& canvas) {
    const TRect r = ClientRect();
    canvas.Brush()->SetColor(Color());
    canvas.FillRect(r);
    if (bevelOuter_ != TPanelBevel::bvNone) {
        canvas.Brush()->SetColor(bevelOuter_ == TPanelBevel::bvLowered ? clBtnShadow : clBtnHighlight);
        canvas.FrameRect(r);
    }
    canvas.Font()->Assign(Font());
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    if (!Caption().empty()) canvas.AlignedText(r, Caption(), alignment_);
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
}

const TClassInfo& TPanel::StaticClass() {
    static const TClassInfo info("TPanel", &TCustomPanel::StaticClass(), [](TComponent* o) { return new TPanel(o); });
    return info;
}

const TClassInfo& TGroupBox::StaticClass() {
    static const TClassInfo info("TGroupBox", &TWinControl::StaticClass(),
                                 [](TComponent* o) { return new TGroupBox(o); });
    return info;
}

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) { SetBoundsQuiet(0, 0, 185, 105); }

void TGroupBox::AdjustClientRect(TRect& r) const {
    const int top = std::abs(Font()->Height()) + 2;
    r = Rect(r.Left + 2, r.Top + top, std::max(r.Left + 2, r.Right - 2), std::max(r.Top + top, r.Bottom - 2));
}

const TClassInfo& TScrollBox::StaticClass() {
    static const TClassInfo info("TScrollBox", &TWinControl::StaticClass(),
                                 [](TComponent* o) { return new TScrollBox(o); });
    return info;
}

TScrollBox::TScrollBox(TComponent* owner) : TWinControl(owner) {
    SetBoundsQuiet(0, 0, 185, 41);
    SetColor(clBtnFace);
}

const TClassInfo& TBevel::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TBevel", &TGraphicControl::StaticClass(), [](TComponent* o) { return new TBevel(o); });
        c.Add(TypedProperty("Shape", BevelShapeType(), &TBevel::Shape, &TBevel::SetShape));
        c.Add(TypedProperty("Style", BevelStyleType(), &TBevel::Style, &TBevel::SetStyle));
        return c;
    }();
    return info;
}

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) { SetBoundsQuiet(0, 0, 50, 50); }

void TBevel::Paint() {
    const TColor first = style_ == TBevelStyle::bsLowered ? clBtnShadow : clBtnHighlight;
    const TColor second = style_ == TBevelStyle::bsLowered ? clBtnHighlight : clBtnShadow;
    TCanvas& c = *Canvas();
    const int w = Width(), h = Height();
    auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
        c.Pen()->SetColor(color);
        c.MoveTo(x1, y1);
        c.LineTo(x2, y2);
    };
    switch (shape_) {
        case TBevelShape::bsBox:
        case TBevelShape::bsFrame:
            c.Brush()->SetColor(first);
            c.FrameRect(Rect(0, 0, w, h));
            break;
        case TBevelShape::bsTopLine: line(first, 0, 0, w, 0); line(second, 0, 1, w, 1); break;
        case TBevelShape::bsBottomLine: line(first, 0, h - 2, w, h - 2); line(second, 0, h - 1, w, h - 1); break;
        case TBevelShape::bsLeftLine: line(first, 0, 0, 0, h); line(second, 1, 0, 1, h); break;
        case TBevelShape::bsRightLine: line(first, w - 2, 0, w - 2, h); line(second, w - 1, 0, w - 1, h); break;
        case TBevelShape::bsSpacer: break;
    }
}

const TClassInfo& TSplitter::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TSplitter", &TGraphicControl::StaticClass(), [](TComponent* o) { return new TSplitter(o); });
        c.Add(Property("MinSize", &TSplitter::MinSize, &TSplitter::SetMinSize));
        c.Add(Property("Beveled", &TSplitter::Beveled, &TSplitter::SetBeveled));
        c.Add(EventProperty("OnMoved", &TSplitter::OnMoved));
        return c;
    }();
    return info;
}

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner) {
    SetBoundsQuiet(0, 0, 3, 100);
    SetAlign(TAlign::alLeft);
    SetCursor(crHSplit);
}

TControl* TSplitter::FindControl() const {
    TWinControl* p = Parent();
    if (!p) return nullptr;
    // The control whose edge touches the splitter's near edge, aligned the same way.
    for (int i = 0; i < p->ControlCount(); ++i) {
        TControl* c = p->Controls(i);
        if (c == this || !c->Visible() || c->Align() != Align()) continue;
        switch (Align()) {
            case TAlign::alLeft: if (c->Left() + c->Width() == Left()) return c; break;
            case TAlign::alRight: if (c->Left() == Left() + Width()) return c; break;
            case TAlign::alTop: if (c->Top() + c->Height() == Top()) return c; break;
            case TAlign::alBottom: if (c->Top() == Top() + Height()) return c; break;
            default: break;
        }
    }
    return nullptr;
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    TControl* c = FindControl();
    if (button != TMouseButton::mbLeft || !c) return;
    dragging_ = true;
    downAt_ = {x, y};
    const bool horizontal = Align() == TAlign::alLeft || Align() == TAlign::alRight;
    startSize_ = horizontal ? c->Width() : c->Height();
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (!dragging_) return;
    TControl* c = FindControl();
    if (!c) return;
    int delta = 0;
    switch (Align()) {
        case TAlign::alLeft: delta = x - downAt_.X; break;
        case TAlign::alRight: delta = downAt_.X - x; break;
        case TAlign::alTop: delta = y - downAt_.Y; break;
        case TAlign::alBottom: delta = downAt_.Y - y; break;
        default: return;
    }
    const int size = std::max(minSize_, startSize_ + delta);
    const int applied = size - startSize_;
    if (Align() == TAlign::alLeft || Align() == TAlign::alRight)
        c->SetWidth(size);
    else
        c->SetHeight(size);
    // The splitter moved with the control's edge: keep the press point under the mouse.
    startSize_ = size;
    switch (Align()) {
        case TAlign::alLeft: downAt_ = {x - applied, y}; break;
        case TAlign::alRight: downAt_ = {x + applied, y}; break;
        case TAlign::alTop: downAt_ = {x, y - applied}; break;
        default: downAt_ = {x, y + applied}; break;
    }
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!dragging_) return;
    dragging_ = false;
    if (OnMoved) OnMoved(this);
}
