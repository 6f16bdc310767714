#include "platform/vcl/Button.h"

#include "platform/vcl/Form.h"

const TTypeInfo& ButtonLayoutType() {
    static const TTypeInfo t("TButtonLayout", TTypeKind::tkEnumeration,
                             {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"});
    return t;
}

namespace {
const TTypeInfo& BitBtnKindType() {
    static const TTypeInfo t("TBitBtnKind", TTypeKind::tkEnumeration,
                             {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort",
                              "bkRetry", "bkIgnore", "bkAll"});
    return t;
}
}  // namespace

const TClassInfo& TButton::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TButton", &TWinControl::StaticClass(), [](TComponent* o) { return new TButton(o); });
        c.Add(Property("Default", &TButton::Default, &TButton::SetDefault));
        c.Add(Property("Cancel", &TButton::Cancel, &TButton::SetCancel));
        c.Add(Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult));
        return c;
    }();
    return info;
}

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    SetBoundsQuiet(0, 0, 75, 25);
    SetTabStop(true);
}

void TButton::Click() {
    if (modalResult_ != 0)
        if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
    TWinControl::Click();
}

void TButton::KeyPress(char32_t& key) {
    if (key == U' ') {
        key = 0;
        Click();
    }
}

const TClassInfo& TBitBtn::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TBitBtn", &TButton::StaticClass(), [](TComponent* o) { return new TBitBtn(o); });
        c.Add(ObjectProperty("Glyph", &TBitBtn::Glyph));
        c.Add(Property("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs));
        c.Add(TypedProperty("Kind", BitBtnKindType(), &TBitBtn::Kind, &TBitBtn::SetKind));
        c.Add(TypedProperty("Layout", ButtonLayoutType(), &TBitBtn::Layout, &TBitBtn::SetLayout));
        return c;
    }();
    return info;
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), glyph_(std::make_unique<TBitmap>()) {}

TBitBtn::~TBitBtn() = default;

void TBitBtn::SetKind(TBitBtnKind kind) {
    kind_ = kind;
    static const struct {
        const char* caption;
        int result;
    } table[] = {{"", mrNone},         {"OK", mrOk},       {"Cancel", mrCancel}, {"&Help", mrNone},
                 {"&Yes", mrYes},      {"&No", mrNo},      {"&Close", mrNone},   {"Abort", mrAbort},
                 {"&Retry", mrRetry},  {"&Ignore", mrIgnore}, {"&All", mrAll}};
    if (kind == TBitBtnKind::bkCustom) return;
    const auto& k = table[static_cast<int>(kind)];
    SetCaption(k.caption);
    SetModalResult(k.result);
    SetDefault(kind == TBitBtnKind::bkOK || kind == TBitBtnKind::bkYes);
    SetCancel(kind == TBitBtnKind::bkCancel || kind == TBitBtnKind::bkNo);
}
