#include "platform/vcl/Control.h"

#include <algorithm>

#include "platform/vcl/Application.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/WinControl.h"

const TTypeInfo& AlignType() {
    static const TTypeInfo t("TAlign", TTypeKind::tkEnumeration,
                             {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"});
    return t;
}

const TClassInfo& TControl::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TControl", &TComponent::StaticClass());
        c.Add(Property("Left", &TControl::Left, &TControl::SetLeft));
        c.Add(Property("Top", &TControl::Top, &TControl::SetTop));
        c.Add(Property("Width", &TControl::Width, &TControl::SetWidth));
        c.Add(Property("Height", &TControl::Height, &TControl::SetHeight));
        c.Add(Property("ClientWidth", &TControl::ClientWidth, &TControl::SetClientWidth));
        c.Add(Property("ClientHeight", &TControl::ClientHeight, &TControl::SetClientHeight));
        c.Add(TypedProperty("Align", AlignType(), &TControl::Align, &TControl::SetAlign));
        c.Add(Property("Visible", &TControl::Visible, &TControl::SetVisible));
        c.Add(Property("Enabled", &TControl::Enabled, &TControl::SetEnabled));
        c.Add(Property("Caption", &TControl::Caption, &TControl::SetCaption));
        c.Add(Property("Text", &TControl::Text, &TControl::SetText));
        c.Add(TypedProperty("Color", ColorType(), &TControl::Color, &TControl::SetColor));
        c.Add(Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor));
        c.Add(ObjectProperty("Font", &TControl::Font));
        c.Add(Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont));
        c.Add(Property("Hint", &TControl::Hint, &TControl::SetHint));
        c.Add(Property("ShowHint", &TControl::ShowHint, &TControl::SetShowHint));
        c.Add(Property("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint));
        c.Add(ObjectProperty("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu));
        c.Add(TypedProperty("Cursor", CursorType(), &TControl::Cursor, &TControl::SetCursor));
        c.Add(EventProperty("OnClick", &TControl::OnClick));
        c.Add(EventProperty("OnDblClick", &TControl::OnDblClick));
        c.Add(EventProperty("OnMouseDown", &TControl::OnMouseDown));
        c.Add(EventProperty("OnMouseMove", &TControl::OnMouseMove));
        c.Add(EventProperty("OnMouseUp", &TControl::OnMouseUp));
        c.Add(EventProperty("OnResize", &TControl::OnResize));
        return c;
    }();
    return info;
}

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
    font_->OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
    MarkDestroying();
    Application()->PurgeMessages(this);
    if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (auto* self = dynamic_cast<TWinControl*>(this); self && parent && self->ContainsControl(parent))
        throw EInvalidOperation("A control cannot have one of its children as its parent");
    if (parent_) parent_->RemoveControl(this);
    if (parent) {
        parent->InsertControl(this);
        if (parentFont_) ParentFontChanged();
        if (parentColor_) ParentColorChanged();
        if (parentShowHint_) showHint_ = parent->ShowHint();
    }
}

void TControl::SetBoundsQuiet(int left, int top, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    const bool resized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (resized) Resize();
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && std::max(width, 0) == width_ && std::max(height, 0) == height_) return;
    SetBoundsQuiet(left, top, width, height);
    if (parent_ && align_ != TAlign::alNone) parent_->RequestAlign(this);
    Invalidate();
}

void TControl::Resize() {
    if (OnResize && !Destroying()) OnResize(this);
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    if (parent_) parent_->RequestAlign(this);
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (parent_ && align_ != TAlign::alNone) parent_->RequestAlign(this);
    Invalidate();
}

bool TControl::Showing() const {
    if (!visible_) return false;
    return parent_ ? parent_->Showing() : false;
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Invalidate();
}

bool TControl::EffectivelyEnabled() const {
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->enabled_) return false;
    return true;
}

void TControl::SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    Invalidate();
    TextChanged();
}

void TControl::SetColor(TColor color) {
    parentColor_ = false;
    if (color == color_) return;
    color_ = color;
    ColorChanged();
}

void TControl::ColorChanged() {
    Invalidate();
    if (auto* w = dynamic_cast<TWinControl*>(this))
        for (TControl* c : w->controls_) c->ParentColorChanged();
}

void TControl::SetParentColor(bool value) {
    parentColor_ = value;
    if (value && parent_) ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (parentColor_ && parent_ && color_ != parent_->Color()) {
        color_ = parent_->Color();
        ColorChanged();
    }
}

void TControl::SetParentFont(bool value) {
    parentFont_ = value;
    if (value && parent_) ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!parentFont_ || !parent_) return;
    updatingFont_ = true;
    font_->Assign(parent_->Font());
    updatingFont_ = false;
}

void TControl::FontChanged() {
    // A font set on the control itself stops it following its parent's.
    if (!updatingFont_) parentFont_ = false;
    Invalidate();
    if (auto* w = dynamic_cast<TWinControl*>(this))
        for (TControl* c : w->controls_) c->ParentFontChanged();
}

void TControl::SetShowHint(bool value) {
    showHint_ = value;
    parentShowHint_ = false;
}

void TControl::SetParentShowHint(bool value) {
    parentShowHint_ = value;
    if (value && parent_) showHint_ = parent_->ShowHint();
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
    if (menu == popupMenu_) return;
    if (popupMenu_) RemoveFreeNotification(popupMenu_);
    popupMenu_ = menu;
    if (menu) FreeNotification(menu);
}

void TControl::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == popupMenu_) popupMenu_ = nullptr;
    TComponent::Notification(component, operation);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

intptr_t TControl::Perform(unsigned msg, intptr_t wParam, intptr_t lParam) {
    TMessage m{msg, wParam, lParam, 0};
    WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage&) {}

void TControl::PaintOn(TCanvas&) {}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

const TClassInfo& TGraphicControl::StaticClass() {
    static const TClassInfo info("TGraphicControl", &TControl::StaticClass());
    return info;
}

void TGraphicControl::PaintOn(TCanvas& canvas) {
    canvas_ = &canvas;
    canvas.Font()->Assign(Font());
    try {
        Paint();
    } catch (...) {
        canvas_ = nullptr;
        throw;
    }
    canvas_ = nullptr;
}

TCustomForm* GetParentForm(const TControl* control) {
    const TControl* c = control;
    while (c && c->Parent()) c = c->Parent();
    return const_cast<TCustomForm*>(dynamic_cast<const TCustomForm*>(c));
}
