#pragma once
// `TCodeConverter`: fits a window and the values it shows to the configured code
// pages. Program texts are Simplified script ("GB", 936); the interface may be
// Traditional script ("Big5", 950) and the database either one.
//
// Settings are read once, from the client configuration, when the converter is
// made, and stay fixed for its life:
//   UIConvertMode 0: nothing is converted and fonts stay;
//                 2: program texts are shown GB to Big5, fonts use character set 136;
//                 4: texts stay GB on a Big5 system, fonts use character set 134.
//   DBConvertMode 0: database and interface share a code page;
//                 1: database Big5 under a GB interface; 2: database GB under Big5.
// The translator (the script conversion) is made only when UIConvertMode is not 0;
// without it every conversion returns its input.
//
// Conversion directions: 0 none, 1 Big5 to GB, 2 GB to Big5, anything else none.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/core/Variant.h"
#include "platform/vcl/Dialogs.h"
#include "src/language/LanguageController.h"

class TCustomForm;
class TFont;
class TTranslator;

class TCodeConverter : public TComponent {
    VELMORA_CLASS(TCodeConverter)
public:
    // Reads the client configuration; with a conversion mode it loads the translator,
    // whose failure (ETranslatorError "Load Library %s Error!") leaves no converter.
    explicit TCodeConverter(TComponent* owner);
    ~TCodeConverter() override;

    const std::string& SysCodePage() const noexcept { return sysCodePage_; }
    const std::string& UICodePage() const noexcept { return uiCodePage_; }
    const std::string& DBCodePage() const noexcept { return dbCodePage_; }
    uint8_t UIConvertMode() const noexcept { return uiConvertMode_; }
    uint8_t DBConvertMode() const noexcept { return dbConvertMode_; }
    // Set from a window definition; the settings are read before it is applied, so it
    // does not change them.
    TDesignType DesignType() const noexcept { return designType_; }
    void SetDesignType(TDesignType value) { designType_ = value; }
    bool HasTranslator() const noexcept { return translator_ != nullptr; }

    // ---- values ----
    // A copy of `value`, converted in `direction` when a translator exists and the
    // value is neither Empty nor Null. Arrays (any dimensions, nested) are converted
    // element by element, Empty and Null elements kept; a scalar comes back as
    // converted text, so numbers and dates turn into their text form. Automation
    // objects are kept.
    Variant ConvertValue(int direction, const Variant& value) const;
    // Program text for display: direction UIConvertMode.
    Variant ProgramToUI(const Variant& value) const;
    // Displayed text back to program text (Big5 to GB in mode 2). Never raises: an
    // error gives the value unchanged.
    Variant UIToProgram(const Variant& value) const noexcept;
    // Database value for display: direction DBConvertMode.
    Variant DBToUI(const Variant& value) const;
    // Displayed value for the database (mode 1: GB to Big5, mode 2: Big5 to GB).
    // Never raises.
    Variant UIToDB(const Variant& value) const noexcept;
    // Straight through the translator; raises EInvalidOperation without one.
    std::string Big5ToGB(std::string_view text) const;
    std::string GBToBig5(std::string_view text) const;

    // ---- windows ----
    // Converts the window's texts for the interface once (not reversible): caption,
    // hints, item lists, memo lines, status panels, list-view, tree-view and grid
    // texts; fonts become "SimSun" with the mode's character set; combo boxes, list
    // boxes and menus become owner-drawn. With `useExceptList` the components named
    // in the exception list (see ConvertFormExcept) are treated as it says.
    // Does nothing without a translator.
    void ConvertForm(TCustomForm* form, bool useExceptList, bool includeGridsAndTrees);
    // ConvertForm with an exception list built from `list`, a variant array whose
    // elements are either a component name (the component keeps all its texts) or
    // an array of a component name followed by the properties it keeps unconverted
    // ("Caption", "Hint", "Font", "TitleFont", "Items", "Lines", "Style", "Panels").
    // A listed component also stops following its parent's font.
    void ConvertFormExcept(TCustomForm* form, const Variant& list, bool includeGridsAndTrees);
    // On a Big5 system the caption is shown GB to Big5 whatever the interface mode.
    void ConvertFormCaption(TCustomForm* form) const;
    // Mode 0, 1, 4: "SimSun" with GB2312_CHARSET; 2, 3: "SimSun" with
    // CHINESEBIG5_CHARSET; any other mode leaves the font as it is.
    static void SetModeFont(int mode, TFont* font);

    // ---- messages ----
    // Shows a message dialog with the owning window's caption and the mode's font
    // (restoring a minimised owner first) and returns its modal result; an empty
    // text shows nothing and gives 0. Under a GB interface or system six blanks are
    // appended to the text.
    int ShowMessageDlg(const std::string& text, TMsgDlgType type, const TMsgDlgButtons& buttons);

private:
    struct ExceptLine;
    const ExceptLine* FindException(std::string_view componentName) const;

    std::unique_ptr<TTranslator> translator_;
    std::string sysCodePage_ = "936", uiCodePage_ = "936", dbCodePage_ = "936";
    uint8_t uiConvertMode_ = 0, dbConvertMode_ = 0;
    TDesignType designType_ = TDesignType::dtClient;
    std::vector<ExceptLine> exceptList_;
};
