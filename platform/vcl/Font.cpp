#include "platform/vcl/Font.h"

#include <cmath>

const TTypeInfo& FontStylesType() {
    static const TTypeInfo t("TFontStyles", TTypeKind::tkSet, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
    return t;
}

namespace {
const TTypeInfo& PitchType() {
    static const TTypeInfo t("TFontPitch", TTypeKind::tkEnumeration, {"fpDefault", "fpVariable", "fpFixed"});
    return t;
}
}  // namespace

const TClassInfo& TFont::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TFont", &TPersistent::StaticClass());
        c.Add(TypedProperty("Charset", CharsetType(), &TFont::Charset, &TFont::SetCharset));
        c.Add(TypedProperty("Color", ColorType(), &TFont::Color, &TFont::SetColor));
        c.Add(Property("Height", &TFont::Height, &TFont::SetHeight));
        c.Add(Property("Name", &TFont::Name, &TFont::SetName));
        c.Add(TypedProperty("Pitch", PitchType(), &TFont::Pitch, &TFont::SetPitch));
        c.Add(Property("Size", &TFont::Size, &TFont::SetSize));
        c.Add(TypedProperty("Style", FontStylesType(), &TFont::Style, &TFont::SetStyle));
        return c;
    }();
    return info;
}

void TFont::Changed() {
    if (OnChange) OnChange(this);
}

void TFont::SetName(std::string name) {
    if (name.empty() || name == name_) return;   // an empty name keeps the face
    name_ = std::move(name);
    Changed();
}

void TFont::SetHeight(int height) {
    if (height == height_) return;
    height_ = height;
    Changed();
}

int TFont::Size() const noexcept { return static_cast<int>(std::lround(-height_ * 72.0 / 96.0)); }

void TFont::SetSize(int size) { SetHeight(-static_cast<int>(std::lround(size * 96.0 / 72.0))); }

void TFont::SetStyle(TFontStyles style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TFont::SetCharset(TFontCharset charset) {
    if (charset == charset_) return;
    charset_ = charset;
    Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
    if (pitch == pitch_) return;
    pitch_ = pitch;
    Changed();
}

void TFont::Assign(const TPersistent* source) {
    auto* f = dynamic_cast<const TFont*>(source);
    if (!f) {
        TPersistent::Assign(source);
        return;
    }
    if (SameAs(*f)) return;
    name_ = f->name_;
    height_ = f->height_;
    style_ = f->style_;
    color_ = f->color_;
    charset_ = f->charset_;
    pitch_ = f->pitch_;
    Changed();
}

bool TFont::SameAs(const TFont& o) const noexcept {
    return name_ == o.name_ && height_ == o.height_ && style_ == o.style_ && color_ == o.color_ &&
           charset_ == o.charset_ && pitch_ == o.pitch_;
}
