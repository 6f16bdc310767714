#pragma once
// `TFont`: name, height (pixels; negative = character height) and size (points at
// 96 dpi), style, colour and character set. A control owns its font; a change
// raises OnChange so that the owner can repaint and stop following its parent.
#include <string>

#include "platform/classes/IntegerConsts.h"
#include "platform/classes/Persistent.h"

enum class TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
const TTypeInfo& FontStylesType();

enum class TFontPitch { fpDefault, fpVariable, fpFixed };

class TFont : public TPersistent {
    VELMORA_CLASS(TFont)
public:
    TFont() = default;

    const std::string& Name() const noexcept { return name_; }
    void SetName(std::string name);
    int Height() const noexcept { return height_; }
    void SetHeight(int height);
    // Size in points: -Height * 72 / 96, rounded; setting it sets Height.
    int Size() const noexcept;
    void SetSize(int size);
    TFontStyles Style() const noexcept { return style_; }
    void SetStyle(TFontStyles style);
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor color);
    TFontCharset Charset() const noexcept { return charset_; }
    void SetCharset(TFontCharset charset);
    TFontPitch Pitch() const noexcept { return pitch_; }
    void SetPitch(TFontPitch pitch);

    // Copies every attribute from another TFont (one OnChange).
    void Assign(const TPersistent* source) override;
    bool SameAs(const TFont& other) const noexcept;

    TNotifyEvent OnChange;

private:
    void Changed();
    std::string name_ = "MS Sans Serif";
    int height_ = -11;
    TFontStyles style_;
    TColor color_ = clWindowText;
    TFontCharset charset_ = DEFAULT_CHARSET;
    TFontPitch pitch_ = TFontPitch::fpDefault;
};
