#include "platform/classes/IntegerConsts.h"

#include <cstdio>

#include "platform/core/Strings.h"

const TTypeInfo& ColorType() {
    static const TTypeInfo t("TColor", TTypeKind::tkInteger, {},
                             {{clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"},
                              {clOlive, "clOlive"}, {clNavy, "clNavy"}, {clPurple, "clPurple"},
                              {clTeal, "clTeal"}, {clGray, "clGray"}, {clSilver, "clSilver"},
                              {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
                              {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"},
                              {clWhite, "clWhite"}, {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"},
                              {clCream, "clCream"}, {clMedGray, "clMedGray"},
                              {clLtGray, "clLtGray"}, {clDkGray, "clDkGray"},
                              {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"},
                              {clActiveCaption, "clActiveCaption"}, {clInactiveCaption, "clInactiveCaption"},
                              {clMenu, "clMenu"}, {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"},
                              {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"},
                              {clCaptionText, "clCaptionText"}, {clActiveBorder, "clActiveBorder"},
                              {clInactiveBorder, "clInactiveBorder"}, {clAppWorkSpace, "clAppWorkSpace"},
                              {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"},
                              {clBtnFace, "clBtnFace"}, {clBtnShadow, "clBtnShadow"},
                              {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
                              {clInactiveCaptionText, "clInactiveCaptionText"},
                              {clBtnHighlight, "clBtnHighlight"}, {cl3DDkShadow, "cl3DDkShadow"},
                              {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"}, {clInfoBk, "clInfoBk"},
                              {clNone, "clNone"}, {clDefault, "clDefault"}});
    return t;
}

const TTypeInfo& CursorType() {
    static const TTypeInfo t("TCursor", TTypeKind::tkInteger, {},
                             {{crDefault, "crDefault"}, {crNone, "crNone"}, {crArrow, "crArrow"},
                              {crCross, "crCross"}, {crIBeam, "crIBeam"}, {crSizeNESW, "crSizeNESW"},
                              {crSizeNS, "crSizeNS"}, {crSizeNWSE, "crSizeNWSE"}, {crSizeWE, "crSizeWE"},
                              {crUpArrow, "crUpArrow"}, {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
                              {crNoDrop, "crNoDrop"}, {crHSplit, "crHSplit"}, {crVSplit, "crVSplit"},
                              {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"}, {crNo, "crNo"},
                              {crAppStart, "crAppStart"}, {crHelp, "crHelp"}, {crHandPoint, "crHandPoint"},
                              {crSizeAll, "crSizeAll"}, {crSizeAll, "crSize"}});
    return t;
}

const TTypeInfo& CharsetType() {
    static const TTypeInfo t("TFontCharset", TTypeKind::tkInteger, {},
                             {{ANSI_CHARSET, "ANSI_CHARSET"}, {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
                              {SYMBOL_CHARSET, "SYMBOL_CHARSET"}, {MAC_CHARSET, "MAC_CHARSET"},
                              {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"}, {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
                              {JOHAB_CHARSET, "JOHAB_CHARSET"}, {GB2312_CHARSET, "GB2312_CHARSET"},
                              {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"}, {GREEK_CHARSET, "GREEK_CHARSET"},
                              {TURKISH_CHARSET, "TURKISH_CHARSET"}, {VIETNAMESE_CHARSET, "VIETNAMESE_CHARSET"},
                              {HEBREW_CHARSET, "HEBREW_CHARSET"}, {ARABIC_CHARSET, "ARABIC_CHARSET"},
                              {BALTIC_CHARSET, "BALTIC_CHARSET"}, {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
                              {THAI_CHARSET, "THAI_CHARSET"}, {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
                              {OEM_CHARSET, "OEM_CHARSET"}});
    return t;
}

TColor ColorToRGB(TColor color) noexcept {
    if (color >= 0) return color & 0xFFFFFF;
    // The classic scheme, index by index from clScrollBar.
    static constexpr TColor scheme[] = {
        RGB(212, 208, 200), RGB(58, 110, 165), RGB(10, 36, 106),    RGB(128, 128, 128), RGB(212, 208, 200),
        RGB(255, 255, 255), RGB(0, 0, 0),      RGB(0, 0, 0),        RGB(0, 0, 0),       RGB(255, 255, 255),
        RGB(212, 208, 200), RGB(212, 208, 200), RGB(128, 128, 128), RGB(10, 36, 106),   RGB(255, 255, 255),
        RGB(212, 208, 200), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(212, 208, 200),
        RGB(255, 255, 255), RGB(64, 64, 64),    RGB(212, 208, 200), RGB(0, 0, 0),       RGB(255, 255, 225)};
    const unsigned index = static_cast<unsigned>(color) & 0xFF;
    if ((static_cast<unsigned>(color) & 0xFF000000u) == 0x80000000u && index < std::size(scheme)) return scheme[index];
    return 0;
}

std::string ColorToString(TColor color) {
    std::string ident;
    if (ColorType().IntToIdent(color, ident)) return ident;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%.8X", static_cast<unsigned>(color));
    return buf;
}

TColor StringToColor(const std::string& text) {
    int64_t v;
    if (ColorType().IdentToInt(text, v)) return static_cast<TColor>(v);
    const std::string t = Trim(text);
    if (!t.empty() && t[0] == '$') {
        try {
            size_t used = 0;
            const auto n = std::stoull(t.substr(1), &used, 16);
            if (used == t.size() - 1 && n <= 0xFFFFFFFFull) return static_cast<TColor>(static_cast<uint32_t>(n));
        } catch (const std::exception&) {
        }
        throw EConvertError("'" + text + "' is not a valid colour");
    }
    return static_cast<TColor>(Variant(t).AsInteger());
}
