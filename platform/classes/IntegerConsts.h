#pragma once
// Integer types with named constants: colours (`TColor`, "clRed", "clBtnFace"),
// cursors (`TCursor`, "crHourGlass") and font character sets (`TFontCharset`,
// "GB2312_CHARSET"). Their type infos carry the constant tables, so that a
// property of one of these types can be set from the constant's name.
#include <cstdint>
#include <string>

#include "platform/classes/TypeInfo.h"

// A colour: 0x00BBGGRR for an explicit colour; 0x80000000 | index for a system
// colour (the screen's scheme decides it); clNone and clDefault are markers.
using TColor = int32_t;

constexpr TColor RGB(int r, int g, int b) noexcept {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clLtGray = 0xC0C0C0, clDkGray = 0x808080, clMoneyGreen = 0xC0DCC0, clSkyBlue = 0xF0CAA6,
                 clCream = 0xF0FBFF, clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;

constexpr TColor SystemColor(int index) noexcept { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index)); }
constexpr TColor clScrollBar = SystemColor(0), clBackground = SystemColor(1), clActiveCaption = SystemColor(2),
                 clInactiveCaption = SystemColor(3), clMenu = SystemColor(4), clWindow = SystemColor(5),
                 clWindowFrame = SystemColor(6), clMenuText = SystemColor(7), clWindowText = SystemColor(8),
                 clCaptionText = SystemColor(9), clActiveBorder = SystemColor(10), clInactiveBorder = SystemColor(11),
                 clAppWorkSpace = SystemColor(12), clHighlight = SystemColor(13), clHighlightText = SystemColor(14),
                 clBtnFace = SystemColor(15), clBtnShadow = SystemColor(16), clGrayText = SystemColor(17),
                 clBtnText = SystemColor(18), clInactiveCaptionText = SystemColor(19), clBtnHighlight = SystemColor(20),
                 cl3DDkShadow = SystemColor(21), cl3DLight = SystemColor(22), clInfoText = SystemColor(23),
                 clInfoBk = SystemColor(24);

// The 0x00BBGGRR value of a colour; system colours resolve through the classic
// grey scheme (clBtnFace = RGB(212, 208, 200), clWindow = white, ...).
TColor ColorToRGB(TColor color) noexcept;
// "clRed" for a named colour, else "$00BBGGRR" as the property system writes it.
std::string ColorToString(TColor color);
// A colour name, "$BBGGRR" hexadecimal or a decimal number; raises EConvertError.
TColor StringToColor(const std::string& text);

using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
                  crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11, crDrag = -12,
                  crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16, crSQLWait = -17, crNo = -18,
                  crAppStart = -19, crHelp = -20, crHandPoint = -21, crSizeAll = -22;

using TFontCharset = int;
constexpr TFontCharset ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, MAC_CHARSET = 77,
                       SHIFTJIS_CHARSET = 128, HANGEUL_CHARSET = 129, JOHAB_CHARSET = 130, GB2312_CHARSET = 134,
                       CHINESEBIG5_CHARSET = 136, GREEK_CHARSET = 161, TURKISH_CHARSET = 162,
                       VIETNAMESE_CHARSET = 163, HEBREW_CHARSET = 177, ARABIC_CHARSET = 178, BALTIC_CHARSET = 186,
                       RUSSIAN_CHARSET = 204, THAI_CHARSET = 222, EASTEUROPE_CHARSET = 238, OEM_CHARSET = 255;

const TTypeInfo& ColorType();     // "TColor"
const TTypeInfo& CursorType();    // "TCursor"
const TTypeInfo& CharsetType();   // "TFontCharset"
