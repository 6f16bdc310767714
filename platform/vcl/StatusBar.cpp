#include "platform/vcl/StatusBar.h"

#include <algorithm>

namespace {
const TTypeInfo& PanelStyleType() {
    static const TTypeInfo t("TStatusPanelStyle", TTypeKind::tkEnumeration, {"psText", "psOwnerDraw"});
    return t;
}
const TTypeInfo& PanelBevelKindType() {
    static const TTypeInfo t("TStatusPanelBevel", TTypeKind::tkEnumeration, {"pbNone", "pbLowered", "pbRaised"});
    return t;
}
}  // namespace

const TClassInfo& TStatusPanel::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TStatusPanel", &TCollectionItem::StaticClass());
        c.Add(Property("Text", &TStatusPanel::Text, &TStatusPanel::SetText));
        c.Add(Property("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth));
        c.Add(TypedProperty("Alignment", AlignmentType(), &TStatusPanel::Alignment, &TStatusPanel::SetAlignment));
        c.Add(TypedProperty("Style", PanelStyleType(), &TStatusPanel::Style, &TStatusPanel::SetStyle));
        c.Add(TypedProperty("Bevel", PanelBevelKindType(), &TStatusPanel::Bevel, &TStatusPanel::SetBevel));
        return c;
    }();
    return info;
}

TStatusPanel::TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}

void TStatusPanel::SetText(const std::string& t) { text_ = t; Changed(false); }
void TStatusPanel::SetWidth(int w) { width_ = std::max(w, 0); Changed(true); }
void TStatusPanel::SetAlignment(TAlignment a) { alignment_ = a; Changed(false); }
void TStatusPanel::SetStyle(TStatusPanelStyle s) { style_ = s; Changed(false); }
void TStatusPanel::SetBevel(TStatusPanelBevel b) { bevel_ = b; Changed(false); }

void TStatusPanel::Assign(const TPersistent* source) {
    auto* p = dynamic_cast<const TStatusPanel*>(source);
    if (!p) {
        TCollectionItem::Assign(source);
        return;
    }
    text_ = p->text_;
    width_ = p->width_;
    alignment_ = p->alignment_;
    style_ = p->style_;
    bevel_ = p->bevel_;
    Changed(true);
}

const TClassInfo& TStatusPanels::StaticClass() {
    static const TClassInfo info("TStatusPanels", &TCollection::StaticClass());
    return info;
}

const TClassInfo& TStatusBar::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TStatusBar", &TWinControl::StaticClass(), [](TComponent* o) { return new TStatusBar(o); });
        c.Add(ObjectProperty("Panels", &TStatusBar::Panels));
        c.Add(Property("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel));
        c.Add(Property("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText));
        c.Add(Property("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip));
        c.Add(EventProperty("OnDrawPanel", &TStatusBar::OnDrawPanel));
        return c;
    }();
    return info;
}

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner), panels_(std::make_unique<TStatusPanels>(this)) {
    SetBoundsQuiet(0, 0, 200, 19);
    SetAlign(TAlign::alBottom);
    panels_->OnUpdate = [this](TCollection*, TCollectionItem*) { Invalidate(); };
}

TStatusBar::~TStatusBar() { panels_->OnUpdate = nullptr; }

TRect TStatusBar::PanelRect(int index) const {
    int x = 0;
    for (int i = 0; i < panels_->Count(); ++i) {
        const bool last = i == panels_->Count() - 1;
        const int w = last ? std::max(Width() - x, 0) : panels_->Items(i)->Width();
        if (i == index) return Rect(x, 0, x + w, Height());
        x += w;
    }
    return TRect{};
}

void TStatusBar::PaintOn(TCanvas& canvas) {
    canvas_ = &canvas;
    canvas.Font()->Assign(Font());
    canvas.Brush()->SetColor(Color());
    canvas.FillRect(ClientRect());
    try {
        if (simplePanel_) {
            canvas.AlignedText(ClientRect(), simpleText_, TAlignment::taLeftJustify);
        } else {
            for (int i = 0; i < panels_->Count(); ++i) {
                TStatusPanel* p = panels_->Items(i);
                const TRect r = PanelRect(i);
                if (p->Style() == TStatusPanelStyle::psOwnerDraw && OnDrawPanel)
                    OnDrawPanel(this, p, r);
                else
                    canvas.AlignedText(r, p->Text(), p->Alignment());
            }
        }
    } catch (...) {
        canvas_ = nullptr;
        throw;
    }
    canvas_ = nullptr;
}
